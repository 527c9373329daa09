#pragma once

#include <cstdint>
#include <vector>

namespace valvida {

/*!
 * \brief A yield curve: spot rates in percent, annual compounding, for whole maturities 1..K.
 *
 * v(tau) = (1 + r(tau)/100)^-tau, with r(tau) = r(1) for tau <= 1, linear between the two whole
 * maturities around tau, and the last rate past the last maturity.
 */
struct CurvaTipos
{
    std::vector<double> tipos; //!< tipos[k - 1] is the rate of maturity k

    double tipo(double tau) const;
    double descuento(double tau) const;
};

//! The realistic assumptions of a projection, per year of age and policy year.
struct HipotesisProyeccion
{
    std::int32_t primeraEdad = 0;
    std::vector<double> qx;              //!< the assumption table's qx from its first age on
    double porcentajeMortalidad = 100.0; //!< p: q = min(1, p/100 qx); past the table q = 1
    double gastoPoliza = 0.0;            //!< money per policy at the start of each year in force
    double porcentajeGastoPrima = 0.0;   //!< percent of each premium
    double inflacionGastos = 0.0;        //!< percent a year, from the valuation date
    std::vector<double> caida;           //!< lapse percent of policy year j at caida[j] (0 unused)

    //! q of attained age `edad`, the assumption's percent applied.
    double q(std::int32_t edad) const;
    //! Lapse percent of policy year j: the nearest earlier year given, 0 before any.
    double tasaCaida(std::int32_t anio) const;
};

//! A plan at one issue age as the projection needs it, per unit sum insured.
struct PlanProyeccion
{
    std::int32_t x = 0;
    std::int32_t n = 0;           //!< insurance term in years
    std::int32_t m = 0;           //!< payment term, cut to n
    std::int32_t tipo = 1;        //!< 1 term, 2 whole life, 3 endowment, 4 pure endowment
    bool pagoVitalicio = false;   //!< whole life priced on premiums up to the table's last age
    double primaTarifa = 0.0;     //!< PT per unit
    std::vector<double> rescate;  //!< R(t), surrender value at the end of policy year t = 0..n
    std::vector<double> comision; //!< c(j), percent of the premium of policy year j (index j)
    std::vector<double> tantos;   //!< per mille of the sum insured paid at the start of year j

    //! The percent charged on the premium of policy year j: its row's, or the last row's past them.
    double porcentajeComision(std::int32_t anio) const;
    double tantosAnio(std::int32_t anio) const;
};

//! The flows of one projection year, in money; `valorActual` is their net value at time 0.
struct FlujoAnio
{
    double primas = 0.0;
    double fallecimientos = 0.0;
    double vencimientos = 0.0;
    double rescates = 0.0;
    double gastos = 0.0;
    double comisiones = 0.0;
    double valorActual = 0.0;

    double neto() const { return fallecimientos + vencimientos + rescates + gastos + comisiones - primas; }
};

/*!
 * \brief The discount and inflation factors of a fraction of a year f: they depend on nothing
 * else of a policy, so a portfolio computes them once per distinct fraction.
 *
 * inicio[j] = v(j - 1 - f) and fin[j] = v(j - f) for projection year j = 1..J, and the expense
 * inflation (1 + i/100)^(j - 1 - f) at the start of year j.
 */
struct FactoresFraccion
{
    double f = 0.0;
    std::vector<double> inicio, fin, inflacion;

    FactoresFraccion(double fraccion, std::int32_t anios, const CurvaTipos& curva, double inflacionGastos);
};

/*!
 * \brief The best estimate of one policy: the value at the valuation date of its benefits,
 * commissions and expenses less its premiums, projected on realistic assumptions.
 *
 * Time in force s = k + f (k whole, 0 <= f < 1); policy year k + j ends at tau_j = j - f, j = 1..J,
 * J = n - k (whole life: one more, the table's last age, where q = 1). S_0 = 1; q_j of attained age
 * x + k + j - 1 (for j = 1 only the rest of the year: (1 - f) q / (1 - f q)); deaths D_j = S_{j-1} q_j
 * at tau_j; survivors A_j = S_{j-1} - D_j; lapses L_j = A_j w(k + j)/100 but none in the last year;
 * S_j = A_j - L_j. At the start of policy year k + j <= m (and of the last year of a whole life paid
 * for life), with S_{j-1} in force: the premium PT, its commission and expense percents; for j = 1
 * only when f = 0, else it was paid. At the same times, every year: the per mille of year k + j on
 * the sum, and the expense per policy inflated to its time. Benefits: deaths (types 1-3), the
 * maturity A_J (types 3, 4), surrenders L_j R(k + j). Money: the per-unit flows times `suma`,
 * the expense per policy as it is.
 *
 * `flujos` (when given) gathers the flows by projection year j at index j - 1, grown as needed.
 * \test TestProyeccion
 */
double ProyectaPoliza(const PlanProyeccion& plan, const HipotesisProyeccion& hipotesis,
                      const FactoresFraccion& factores, double suma, double antiguedad,
                      std::vector<FlujoAnio>* flujos = nullptr);

//! Projection years of a plan at a whole number of years in force k: n - k, one more for whole life.
std::int32_t AniosProyeccion(const PlanProyeccion& plan, std::int32_t k);

} // namespace valvida
