#pragma once

#include <QString>
#include <QStringList>

namespace valvida {

//! The file beside the program that may name the database to open instead of cavi.mdb.
inline const QString NombreConfiguracion = QStringLiteral("valvida.conf");

/*!
 * The database the window program opens: `--bd NOMBRE` among `argumentos` (the words after the
 * program name); else the line `bd=NOMBRE` of valvida.conf in `carpetaPrograma` (blank lines and
 * lines starting with '#' ignored); else cavi.mdb in that folder. NOMBRE is a server's URI
 * (postgresql://...), kept as given, or a file's path, made absolute: a path in the
 * configuration from the program's folder, one on the command line from the current folder.
 * Error 5 for anything else on the command line, `--bd` without a name, a line of the
 * configuration that is not `bd=NOMBRE` or a second such line; 75 for a configuration that
 * cannot be read. A URI holding a password is refused by AbreBaseDatos, before any title shows it.
 */
QString BaseElegida(const QStringList& argumentos, const QString& carpetaPrograma);

} // namespace valvida
