#pragma once

#include <QString>

#include <cstdint>

namespace valvida {

struct Entorno;

/*!
 * The report of a calculated scenario as an A4 PDF, the document an actuary attaches to a
 * product's technical note: a title with the scenario's number, description and the date; the
 * technical bases (table by name and number, rate, age, terms, sum insured, insurance and
 * commission types, commission schedule, surrender charge and year); the annual level net and
 * tariff premiums per unit and for the sum insured; the results form's two charts as vector
 * lines; and the results table of every year in the grid's columns and screen formats, over as
 * many pages as it needs with its header on each, every page numbered "Página i de N". Numbers
 * read as on screen (TextoPantalla under the user's locale); text is text.
 *
 * Written whole or not at all, with the refusals of every file we write (ArchivoAtomico): the
 * open database, a device, a FIFO, a read-only file. Needs a QGuiApplication (fonts). ErrorVV
 * when the scenario is not there or a value is null, and when the file cannot be written.
 */
void InformeEscenario(Entorno& entorno, std::int32_t escenario, const QString& archivo);

/*!
 * The report as the user asks for it: the save dialog in the program's folder for a PDF file,
 * ".pdf" added to a name typed without extension, the hourglass while writing. A cancelled
 * dialog writes nothing; a failure shows the error box "Rutina: cmdInforme_Click". Returns
 * whether the file was written.
 */
bool DescargaInforme(Entorno& entorno, std::int32_t escenario);

} // namespace valvida
