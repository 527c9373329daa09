#pragma once

#include "actuarial/cartera/LecturaCartera.h"
#include "actuarial/motor/Proyeccion.h"
#include "core/Archivos.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace valvida {

//! How a best-estimate valuation ended, its total and the portfolio's flows by projection year.
struct ResultadoMejorEstimacion : Recorrido
{
    double total = 0.0;
    std::vector<FlujoAnio> flujos; //!< year j at index j - 1, in money
};

//! The column the valuation adds to each line, and the header of the flows' file.
inline const QString ColumnaMejorEstimacion = QStringLiteral("Mejor_Estimacion");
inline const QString CabeceraFlujos =
    QStringLiteral("Anio,Primas,Fallecimientos,Vencimientos,Rescates,Gastos,Comisiones,Flujo_Neto,Valor_Actual");

/*!
 * \brief The best estimate of a portfolio (ProyectaPoliza) on the assumption set `hipotesis` and
 * the yield curve `curva`: each line of `entrada` written again to `salida` with its best
 * estimate, and with `flujos` not empty the portfolio's yearly flows there (a workbook,
 * EscribeLibroFlujos, when its name ends in ".xlsx"), both whole or not at all. The plans are the
 * portfolio's own (as RecorreCartera reads them): the tariff premium, the surrender values and the
 * commission schedule of each scenario at each issue age. The discount factors are computed once
 * per distinct fraction of a year in force.
 *
 * A missing assumption set or curve is error 3021; a line refused as a portfolio line is refused
 * (a best estimate that is not finite too), and nothing is written.
 * \test TestLote::mejorEstimacion
 */
ResultadoMejorEstimacion ValoraMejorEstimacion(const QSqlDatabase& db, const QString& entrada, std::int32_t hipotesis,
                                               std::int32_t curva, const QString& salida, const QString& flujos = {},
                                               const std::function<bool(qint64 hecho, qint64 total)>& avanza = {});

/*!
 * The flows of a valuation as a workbook: sheet "Flujos" with the flows' header and one row of
 * number cells per year (money to 2 decimals), a total row, the best estimate, and a line chart
 * of the yearly flows by kind. Whole or not at all (Libro), never over a `protegido`.
 */
void EscribeLibroFlujos(const ResultadoMejorEstimacion& resultado, const QString& archivo,
                        const std::vector<Protegido>& protegidos);

//! The closing lines: the number of policies and the total best estimate.
QStringList ResumenMejorEstimacion(const ResultadoMejorEstimacion& resultado);

} // namespace valvida
