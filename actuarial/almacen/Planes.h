#pragma once

#include "actuarial/motor/Plan.h"

#include <QSqlDatabase>

#include <cstdint>
#include <optional>

namespace valvida {

/*!
 * \brief A stored scenario as a plan: its row of T_Escenario, its table's catalogue ages and
 * qx (T_DetalleMortalidad, ascending age) and its commission schedule (descending year).
 *
 * Only reads: the commutation columns are built from the qx in memory by the plan, never stored.
 * Nothing when there is no such scenario; a failing statement is an ErrorVV.
 */
std::optional<DefinicionPlan> LeePlan(const QSqlDatabase& db, std::int32_t escenario);

} // namespace valvida
