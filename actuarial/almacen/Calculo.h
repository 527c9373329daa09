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
 * A failure of its own steps (the delete, reading the scenario's table and rate) shows
 * "Rutina: CalculaEscenario" and ends it; the two routines report their own errors. All of it
 * is committed once, at the end.
 * \test TestAlmacenGeneracion::calculaEscenario
 */
void CalculaEscenario(Entorno& entorno, std::int32_t escenario);

} // namespace valvida
