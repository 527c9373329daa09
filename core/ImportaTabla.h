#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace valvida {

struct Entorno;

//! Routine line of the import's error box (the menu handler that starts it).
inline const QString RutinaImportaTabla = QStringLiteral("Rutina: mnuTablaExcel_Click");

//! The notice that ends a successful import.
inline const QString AvisoCargaFinalizada = QStringLiteral("Carga finalizada con exito");

/*!
 * Splits a line at every exact occurrence of the separator. "a,,b" gives a, "" and b; a separator
 * at the very end adds no empty last piece ("a,b," gives two); an empty text gives no pieces.
 */
QStringList SeparaCampos(const QString& texto, const QString& separador);

/*!
 * The lines of a text file as an import reads them: a regular file only, UTF-8 or Windows-1252,
 * lines ended by CR LF, LF or CR, the last with or without its end. Error 6 at the 32,768th line
 * or a line over 4096 bytes; the file errors 53, 57, 75.
 */
QStringList LeeLineasArchivo(const QString& ruta);

//! Number for a new mortality table: the largest stored plus 1, or 1 for an empty catalogue (error 6 past 32767).
std::int16_t NuevaTablaMortalidad(const QSqlDatabase& db);

/*!
 * Creates a new mortality table from a comma-separated file: one line per age with the age,
 * its qx and the description (the last line's description names the table). The whole file is
 * read (UTF-8, or Windows-1252 when it is not valid UTF-8; lines ended by CR LF, LF or CR) and
 * checked before anything is written; the catalogue row and every detail row are written in
 * one transaction. Only a regular file is read (error 75 for a device, a pipe, a folder), and
 * reading stops at the 32768th line or at a line of more than 4096 bytes (error 6), so a file
 * cannot hold more of the memory than a table of 32767 lines takes. Messages: "La qx debe ser
 * numerica", "La edad debe ser numerica" or "La qx debe estar entre 0 y 1" for the first failing
 * line, each followed by its place (": línea 3, campo qx (abc)"), the error box
 * (RutinaImportaTabla) for anything else, and AvisoCargaFinalizada with ": tabla N" at the end. Returns the new
 * table number, nothing when it stopped.
 */
std::optional<int> ImportaTabla(Entorno& entorno, const QString& archivo);

} // namespace valvida
