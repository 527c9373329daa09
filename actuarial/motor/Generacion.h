#pragma once

#include "actuarial/motor/Garantias.h"
#include "core/ErrorVV.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace valvida {

class Motor;

//! A scenario's values as stored; an empty one fails (error 94) where it is first used.
struct DatosEscenario
{
    std::optional<double> edad;         //!< x, issue age
    std::optional<double> plazoSeguro;  //!< n, insurance term; 1 is a one-year cover by months
    std::optional<double> plazoPago;    //!< m, payment term; months covered k when n = 1
    std::optional<double> tipoSeguro;   //!< 1 term, 2 whole life, 3 endowment, 4 pure endowment
    std::optional<double> interes;      //!< technical rate in percent
    std::optional<double> tipoComision; //!< only "is it 1" matters
};

//! A stored value where it is first used: error 94 when it is empty.
double Valor(const std::optional<double>& campo);

//! One row of a scenario's commission schedule.
struct FilaComision
{
    std::optional<double> anio;       //!< commission year
    std::optional<double> porcentaje; //!< percent of the tariff premium
    std::optional<double> tantos;     //!< per mille of the sum insured
};

//! One row of results, per unit sum insured.
struct FilaResultado
{
    std::int32_t anio = 0; //!< policy year, or month of a one-year cover
    double edadAlcanzada = 0.0;
    double primaRiesgo = 0.0;
    double primaNeta = 0.0;
    double primaTarifa = 0.0;
    double reserva = 0.0;
    ValoresGarantizados garantia; //!< 0 in every month of a one-year cover
};

/*!
 * \brief The results of a scenario, row by row, from the columns loaded into `motor`.
 *
 * `comisiones` is the scenario's schedule in descending commission year. alpha = Tantos_Suma of
 * year 1 / 1000 (expense per unit sum insured).
 *
 * Years (n != 1): beta = c1 ä(x, m) for commission type 1 (c1 the year-1 rate as a fraction);
 * otherwise, with the listed years k1 > k2 > ... > kr, B1 = m and Bj = kj:
 *   beta = sum over j of (c_j - c_(j-1)) ä(x, Bj), with ä(x, 1) = 1 and c_0 = 0,
 * that is each policy year t = 1..m weighted by its rate times D(x+t-1)/D(x).
 * P = fPrimaNivelada(x, n, m, tipo), PT = fPrimaTarifa(P, beta, alpha, x, m), reserves by fReserva;
 * rows t = 0..n with attained age x + t, risk premium (M(x+t) - M(x+t+1)) / D(x+t) (row n repeats
 * row n-1), P, PT and aReserva(t).
 * One-year cover (n = 1, k = m months): beta = c1, PT = fPrimaTarifa(P, beta, alpha, x, 1);
 * rows t = 0..k at age x with the annual P, PT and risk premium times k/12 and aReserva(t).
 *
 * An annuity whose ages fall outside the columns is skipped and its previous value (0 at first)
 * is used; any other error is thrown, after the rows already handed to `emite`.
 *
 * Each year's row carries its guaranteed values (CalculaGarantias with `rescate`); where they
 * cannot be computed because the reserve could not (its function has said why), they stay 0.
 *
 * With `soloPrimas` only row 0 is handed on, with a reserve of 0, and no reserve is computed: the
 * premiums of a rate table at every age cost each age a few column reads, not its whole term.
 * \test TestMotor::generaFilas, TestAlmacen::resultados
 */
void GeneraFilas(Motor& motor, const DatosEscenario& escenario, const std::vector<FilaComision>& comisiones,
                 const std::function<void(const FilaResultado&)>& emite, ParametrosRescate rescate = {},
                 bool soloPrimas = false);

} // namespace valvida
