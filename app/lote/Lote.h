#pragma once

#include <QStringList>
#include <QTextStream>

namespace valvida {

/*!
 * The command-line tool over the program's own code. `argumentos` are the words after the
 * program name. Returns the exit status: 0 done, 1 the work failed (its messages on `err`),
 * 2 a usage error (a one-line usage text on `err`).
 */
int EjecutaLote(const QStringList& argumentos, QTextStream& out, QTextStream& err);

//! The one-line usage text.
QString UsoLote();

//! Writes the usage text to `err` and gives the status of a usage error, 2.
int ErrorDeUso(QTextStream& err);

} // namespace valvida
