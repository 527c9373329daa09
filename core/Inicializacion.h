#pragma once

namespace valvida {

struct Entorno;

/*!
 * Empties the six data tables after the user's Yes, each table before the ones it refers to.
 * A failing delete is reported ("Rutina: Inizializar") and the next ones still run; the two
 * fixed catalogues are never touched. True when the user answered Yes and the deletes ran: the rows
 * the open forms show may then be gone.
 */
bool Inizializar(Entorno& entorno);

} // namespace valvida
