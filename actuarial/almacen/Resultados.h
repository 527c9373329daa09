#pragma once

#include <QList>
#include <QSqlDatabase>

#include <cstdint>
#include <optional>

namespace valvida {

//! The values of one result row that the two charts show, per unit of sum insured.
struct FilaGrafico
{
    double edadAlcanzada = 0;
    double primaRiesgo = 0;
    double primaNetaNivelada = 0;
    double primaTarifa = 0;
    double reservaMatematica = 0;
    double rescate = 0;
};

//! A scenario's stored results as its charts show them.
struct ResultadosGrafico
{
    QList<FilaGrafico> filas; //!< in stored order
    bool porMeses = false;    //!< a one-year cover: the rows are months
};

//! The rows of T_Resultado of a scenario for its charts; ErrorVV when a statement fails or a value is null.
ResultadosGrafico LeeResultadosGrafico(const QSqlDatabase& db, std::int32_t escenario);

//! The premiums of a scenario's first result row and its sum insured: what its summary shows.
struct PrimasEscenario
{
    double sumaAsegurada = 0.0;
    double primaNeta = 0.0;
    double primaTarifa = 0.0;
};

//! Nothing when the scenario has no results; ErrorVV when a statement fails or a value is null.
std::optional<PrimasEscenario> LeePrimasEscenario(const QSqlDatabase& db, std::int32_t escenario);

} // namespace valvida
