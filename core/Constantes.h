#pragma once

#include <QString>

namespace valvida {

//! Caption of the main window and of every message box of the system.
inline const QString TituloAplicacion = QStringLiteral("Valvida - Valuación actuarial de seguros de vida individual");

//! Name of the database file, kept beside the program.
inline const QString NombreBaseDatos = QStringLiteral("cavi.mdb");

} // namespace valvida
