#pragma once

#include <cstdint>

namespace valvida {

struct Entorno;

/*!
 * \brief Rebuilds the commutation columns of a mortality table at a technical rate (percent) in
 * T_Conmutado: the old rows of that table and rate are deleted, then one row is inserted per
 * detail row of T_DetalleMortalidad (see CalculaColumnas for the formulas). Rows of other rates
 * are left alone.
 *
 * Errors show "Rutina: CalculaConmutados" and end the routine; what was done stays: the old rows
 * are gone whatever fails after their delete, and a failing detail row (age outside the
 * catalogue's range, empty qx) leaves no new row. The hourglass shows meanwhile.
 * \test TestAlmacenConmutados
 */
void CalculaConmutados(Entorno& entorno, std::int16_t tabla, double tasa);

} // namespace valvida
