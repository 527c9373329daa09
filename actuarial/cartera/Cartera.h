#pragma once

#include "actuarial/cartera/LecturaCartera.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace valvida {

//! One scenario's share of a valued portfolio.
struct TotalesEscenario
{
    std::int32_t escenario = 0;
    std::int64_t polizas = 0;
    double sumaAsegurada = 0.0;
    double primaTarifa = 0.0; //!< annual
    double reserva = 0.0;
};

//! How a portfolio valuation ended, and its totals when it was valued.
struct ResultadoCartera : Recorrido
{
    double reservaTotal = 0.0;
    double primaTarifaTotal = 0.0;
    double sumaAseguradaTotal = 0.0;
    std::vector<TotalesEscenario> porEscenario; //!< the scenarios with policies, ascending
    //! The reserve of the policies with k whole years in force (k = 0, 1, ...: the floor of Antiguedad).
    std::vector<double> reservaPorAntiguedad;
};

//! The columns the valuation adds to each line.
inline const QString ColumnasValoradas = QStringLiteral("Prima_Neta_Anual,Prima_Tarifa_Anual,Reserva");

/*!
 * \brief Values a portfolio: one policy a line (identifier, scenario, whole issue age x, sum
 * insured S > 0, time in force s with 0 <= s < n), each written again with S P, S PT and the
 * reserve S ReservaEnVigor(s), the plan computed once per (scenario, age) from the stored
 * scenario and its table's qx (LeePlan, Plan). The premiums are those of the scenario's first
 * result row, so a one-year cover of k months carries k/12 of the annual premium.
 *
 * The output is written whole or not at all: a refused line (the first bad field of the first
 * bad line: its line number and the field's name), a cancel (`avanza`, called with the bytes
 * read of the total after every block, answers false) or a failure leave no file and an
 * existing file as it was. Only reads the store. Files that cannot be read or written, and the
 * store's failures, are ErrorVV. Totals, by scenario and by whole years in force among them, are
 * summed with compensation, so a million terms lose no digits that are shown. The lines are
 * valued on several threads (RecorreCarteraEnParalelo) and summed in line order on the calling one.
 * \test TestLote::cartera, TestLote::carteraPorBloques, TestLote::fallos
 */
ResultadoCartera ValoraCartera(const QSqlDatabase& db, const QString& entrada, const QString& salida,
                               const std::function<bool(qint64 hecho, qint64 total)>& avanza = {});

//! The closing lines: the number of policies, the total reserve and the total tariff premium.
//! With `enPantalla`, the totals as money in the locale's form (TextoPantalla, Dinero).
QStringList ResumenCartera(const ResultadoCartera& resultado, bool enPantalla = false);

} // namespace valvida
