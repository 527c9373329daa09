#pragma once

#include <QString>

#include <memory>

namespace valvida {

class Dialogos;
class MDIForm1;

//! Installs Qt's own Spanish texts, so the boxes' buttons read "Sí", "No", "Cancelar"; false if missing.
bool InstalaTraduccionQt();

//! Name of the one connection the program works through.
inline const QString ConexionPrincipal = QStringLiteral("cavi");

/*!
 * Start-up: opens cavi.mdb in the program's folder and shows the main window. When the file is
 * missing, unreadable or not a database of this system (a table, a column or a catalogue code
 * missing: AbreBaseDatos), the error box "Rutina: main" is shown, the file is left as it was
 * and no window is returned.
 */
std::unique_ptr<MDIForm1> Arranca(Dialogos& dialogos, const QString& carpeta,
                                  const QString& conexion = ConexionPrincipal);

} // namespace valvida
