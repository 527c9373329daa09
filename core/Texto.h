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

} // namespace valvida
