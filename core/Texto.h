#pragma once

#include <QByteArray>
#include <QString>

namespace valvida {

/*!
 * Text of a file as users have it: UTF-8 (a leading byte-order mark is dropped) or, when the
 * bytes are not valid UTF-8, Windows-1252, the code page spreadsheets on Windows save in.
 */
QString DecodificaTexto(const QByteArray& bytes);

//! Text in Windows-1252 for files read by spreadsheets; characters it lacks become "?".
QByteArray CodificaWindows1252(const QString& texto);

/*!
 * A text cell as every CSV file we write holds it: a spreadsheet runs a cell that starts with
 * "=", "+", "-", "@", a tab or a carriage return as a formula, so such a cell gets a leading "'".
 * A number ("-5", "+1E3") is left as it is.
 */
QString CeldaCsv(const QString& celda);

} // namespace valvida
