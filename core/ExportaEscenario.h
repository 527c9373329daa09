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

//! The same, with the table and rate of the scenario's own row; ErrorVV when there is no such scenario.
void ExportaEscenario(Entorno& entorno, std::int32_t escenario, const QString& archivo);

/*!
 * The export as the user asks for it: the save dialog in the program's folder, filtered to CSV
 * files; ".csv" added to a name typed without extension; the hourglass while writing; the
 * scenario's table and rate as its row stores them. A cancelled dialog writes nothing. A file
 * that cannot be written (the database among them) or a scenario that is not there shows the
 * error box "Rutina: cmdVaciar_Click". Returns whether the file was written.
 */
bool DescargaEscenario(Entorno& entorno, std::int32_t escenario);

} // namespace valvida
