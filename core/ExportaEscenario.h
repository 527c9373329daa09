#pragma once

#include <QString>

#include <cstdint>

namespace valvida {

struct Entorno;

/*!
 * Writes everything a scenario's results rest on into one comma-separated file, in five
 * sections: T_Escenario (the scenario), T_Resultado (its rows), T_DetalleMortalidad (the qx of
 * table `tabla`), T_Conmutado (the columns of `tabla` at rate `tasa`, found by equality) and
 * T_Comision (its schedule). Each section is its title line, then, when it has rows, the column
 * names and one line per row; every line ends in CR LF.
 *
 * The file is written beside the target under a temporary name and put in its place only when
 * complete, so a failure leaves the old file as it was. A file that cannot be written (marked
 * read-only, missing folder, full disk) throws ErrorVV, and so does the open database itself by
 * any name, links followed (error 70, "Permiso denegado: ARCHIVO es la base de datos abierta").
 * A query that fails inside a section shows the loader's box and ends that section; the file is
 * still written.
 */
void ExportaEscenario(Entorno& entorno, std::int32_t escenario, std::int16_t tabla, double tasa,
                      const QString& archivo);

//! Whether a file is written as a workbook: its name ends in ".xlsx", in any case.
bool EsLibro(const QString& archivo);

/*!
 * The scenario as a workbook (libxlsxwriter), written whole or not at all as the CSV is, with the
 * same refusals. Sheet "Resultado": the CSV's T_Resultado header (bold, frozen) and rows, every
 * value a number cell holding the stored double, shown as the grid shows it (years and ages
 * whole, values per unit to 8 decimals), and beside it the results form's two charts as native
 * line charts of those cells. Sheet "Escenario": the scenario's fields by name, its surrender
 * terms, its premiums per unit and for the sum insured, its commission schedule. ErrorVV when the
 * scenario is not there, a value is null or the file cannot be written.
 */
void ExportaLibroEscenario(Entorno& entorno, std::int32_t escenario, const QString& archivo);

//! The same, with the table and rate of the scenario's own row: a workbook when EsLibro(archivo),
//! else the CSV; ErrorVV when there is no such scenario.
void ExportaEscenario(Entorno& entorno, std::int32_t escenario, const QString& archivo);

/*!
 * The export as the user asks for it: the save dialog in the program's folder with two types,
 * "Libro de Excel" (first) and "Texto CSV", the window's dialog adding the chosen type's
 * extension to a name typed without one; ".csv" added to a name that still comes without one; the hourglass while
 * writing; the scenario's table and rate as its row stores them. A cancelled dialog writes nothing. A file that cannot
 * be written (the database among them) or a scenario that is not there shows the error box "Rutina: cmdVaciar_Click".
 * Returns whether the file was written.
 */
bool DescargaEscenario(Entorno& entorno, std::int32_t escenario);

} // namespace valvida
