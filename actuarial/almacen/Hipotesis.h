#pragma once

#include "actuarial/motor/Proyeccion.h"

#include <QSqlDatabase>

#include <cstdint>
#include <optional>

namespace valvida {

/*!
 * An assumption set as the projection uses it: its row of T_Hipotesis, the qx of its table from
 * the table's first age, its lapse rates of T_Caida by policy year (a year without a row takes the
 * nearest earlier one's). Nothing when there is no such set; ErrorVV when a statement fails or a
 * value it needs is empty.
 */
std::optional<HipotesisProyeccion> LeeHipotesis(const QSqlDatabase& db, std::int32_t hipotesis);

//! A stored yield curve's rates by maturity; nothing when there is no such curve.
std::optional<CurvaTipos> LeeCurva(const QSqlDatabase& db, std::int32_t curva);

} // namespace valvida
