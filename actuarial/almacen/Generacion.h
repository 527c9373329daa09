#pragma once

#include "actuarial/motor/Generacion.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

namespace valvida {

struct Entorno;
struct ColumnasGuardadas;

/*!
 * \brief Generates a scenario's results into T_Resultado: one row per policy year 0..n, or per
 * month 0..k of a one-year cover, per unit sum insured (see GeneraFilas for the formulas).
 *
 * Reads the scenario, the stored commutation columns of its table and rate (which must have been
 * built; CalculaEscenario does it), and its commission schedule; deletes nothing. Its own errors
 * (no such scenario, no columns for its table and rate, no commission row for year 1, a failing
 * statement) show "Funcion: fGeneraResultado" and end it; the rows inserted before stay, unless
 * the store itself failed (full disk, lock), which leaves T_Resultado as it was. The premium and
 * reserve functions show their own boxes and go on with 0. Returns whether the rows were all
 * generated and stored. Hourglass meanwhile.
 * \test TestAlmacen::resultados, TestAlmacen::calculaEscenario
 */
bool fGeneraResultado(Entorno& entorno, double escenario);

//! Routine line of the generation's error box.
inline const QString RutinaGeneraResultado = QStringLiteral("Funcion: fGeneraResultado");

//! A scenario's commission schedule as the generation reads it: by descending commission year.
std::vector<FilaComision> LeeComisiones(const QSqlDatabase& db, const QVariant& escenario);

//! A scenario's row as the calculation and the plans read it: its key, its data, its table and rate.
struct EscenarioLeido
{
    QVariant clave;
    DatosEscenario datos;
    QVariant tabla;
    QVariant tasa;
};

//! Nothing when there is no such scenario; ErrorVV when the statement fails.
std::optional<EscenarioLeido> LeeEscenario(const QSqlDatabase& db, const QVariant& escenario);

/*!
 * The work of fGeneraResultado, for a caller that runs it in its own unit of writing; throws
 * ErrorVV. `recienGuardadas`, the columns the same unit has just stored, stand for reading them
 * back when the scenario names their table and rate as they were stored.
 */
void InsertaResultados(Entorno& entorno, double escenario, const ColumnasGuardadas* recienGuardadas = nullptr);

} // namespace valvida
