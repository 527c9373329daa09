#pragma once

#include <cstdint>

namespace valvida {

struct Entorno;

/*!
 * \brief The calculation of one scenario, as "&Resultado" and `valvida-lote calcular` run it:
 * deletes the scenario's rows of T_Resultado, rebuilds the commutation columns of the scenario's
 * own stored table and rate (CalculaConmutados; skipped when the scenario does not exist), then
 * generates its results (fGeneraResultado). The hourglass shows for the whole calculation.
 *
 * The first failure shows one box and ends the calculation: its own steps (the delete, reading
 * the scenario's table and rate) under "Rutina: CalculaEscenario", the columns' and the
 * generation's under their routine lines. When the columns cannot be rebuilt no results are
 * generated. All of it is committed once, at the end: a failure of the rules keeps what was
 * written before it, a failure of the store (full disk, lock) leaves the database as before.
 * Returns whether the results were generated and stored (the premium functions' own boxes do
 * not stop it).
 * \test TestAlmacen::calculaEscenario
 */
bool CalculaEscenario(Entorno& entorno, std::int32_t escenario);

} // namespace valvida
