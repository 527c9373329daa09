#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace valvida {

class Dialogos;
class MDIForm1;

//! Installs Qt's own Spanish texts, so the boxes' buttons read "Sí", "No", "Cancelar"; false if missing.
bool InstalaTraduccionQt();

//! Name of the one connection the program works through.
inline const QString ConexionPrincipal = QStringLiteral("cavi");

/*!
 * Start-up: opens the database that BaseElegida chooses from `argumentos` (the words after the
 * program name) and the program's folder `carpeta` (cavi.mdb there unless --bd or valvida.conf
 * names another) and shows the main window, its title naming that database. When the choice is
 * refused, or the database is missing, unreadable or not one of this system (a table, a column or
 * a catalogue code missing: AbreBaseDatos), the error box "Rutina: main" is shown, the database is
 * left as it was and no window is returned.
 */
std::unique_ptr<MDIForm1> Arranca(Dialogos& dialogos, const QStringList& argumentos, const QString& carpeta,
                                  const QString& conexion = ConexionPrincipal);

} // namespace valvida
