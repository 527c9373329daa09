#pragma once

#include "actuarial/motor/Columnas.h"
#include "core/ErrorVV.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace valvida {

//! A failure of one of the engine's functions: its routine ("Funcion: fSeguro") and the error.
struct FalloMotor
{
    QString rutina;
    ErrorVV error;
};

/*!
 * The premium, benefit and reserve functions over the commutation columns of one scenario's
 * table and rate. All amounts are per unit sum insured; rates are in percent. The switches
 * `Coef1`..`Coef4` say which terms of the one general formula are present; each premium
 * evaluation rewrites them, so one evaluation must finish before the next starts.
 * A function that fails hands its failure to `alFallar` and gives 0; the caller decides whether
 * that is a box (the scenario calculation) or the reason an age cannot be valued (a plan).
 */
class Motor
{
  public:
    explicit Motor(std::function<void(const FalloMotor&)> alFallar = {});

    ColumnasConmutadas columnas;
    std::int16_t Coef1 = 0;
    std::int16_t Coef2 = 0;
    std::int16_t Coef3 = 0;
    std::int16_t Coef4 = 0;
    //! Reserve at the end of policy year (or month) t, per unit sum insured; entry 0 is issue.
    std::vector<double> aReserva;
    //! Premium the reserve adds at the start of policy year t (0 after the payment term, and for
    //! the months of a one-year cover); entries as aReserva, filled by fReserva.
    std::vector<double> aPrima;

    //! aReserva with entries 0..ultimo, all 0; error 9 when ultimo < 0.
    void DimensionaReserva(std::int32_t ultimo);
    //! aReserva(t); error 9 outside its entries.
    double reserva(std::int32_t t) const;

    /*!
     * \brief Switches of the level premium by insurance type.
     *
     * (Coef1, Coef2, Coef3, Coef4): 1 term 1,0,1,1; 2 whole life 0,0,1,1; 3 endowment 1,1,1,1;
     * 4 pure endowment 0,1,1,0. Any other type leaves the switches as they are.
     * \test TestMotor::funcionesDePrima
     */
    void AsignaValoresPrima(std::int32_t tipo);

    /*!
     * \brief Switches of the single premium by insurance type; `Coef4` is left alone.
     *
     * tipo 1: 1,1,0; 2: 1,0,0; 3: 1,1,1; 4: 0,0,1 (Coef1, Coef2, Coef3). Other types change nothing.
     * \test TestMotor::funcionesDePrima
     */
    void AsignaValoresSeguro(std::int32_t tipo);

    /*!
     * \brief Level annual net premium per unit sum insured.
     *
     *   P = (Coef4 M(x) - Coef1 M(x+n) + Coef2 D(x+n)) / (N(x) - Coef3 N(x+m))
     *
     * x issue age, n insurance term, m payment term in years. Whole life paid over the whole
     * term (n = m, tipo 2) is priced as paid for life (Coef3 = 0), tested before a payment term
     * longer than the insurance term is cut to it (m > n gives m = n).
     * Failure: an age out of range (9), N(x) = Coef3 N(x+m) (11) or x+n, x+m beyond 16 bits (6)
     * show "Funcion: fPrimaNivelada" and give 0.
     * \test TestMotor::funcionesDePrima
     */
    double fPrimaNivelada(std::int16_t x, std::int16_t n, std::int16_t m, std::int32_t tipo);

    /*!
     * \brief Single net premium (present value at issue) of the benefit, per unit sum insured.
     *
     *   A = (Coef1 M(x) - Coef2 M(x+n) + Coef3 D(x+n)) / D(x)
     *
     * m is accepted and not used. With n = 1 and tipo 1 it is the one-year risk cost
     * (M(x) - M(x+1)) / D(x). Failure: an age out of range gives 0 with no box; D(x) = 0 (11) or a
     * 16-bit overflow of x+n (6) show "Funcion: fSeguro" and give 0.
     * \test TestMotor::funcionesDePrima
     */
    double fSeguro(std::int16_t x, std::int16_t n, std::int16_t m, std::int32_t tipo);

    /*!
     * \brief Tariff (gross) annual premium per unit sum insured.
     *
     *   ä = (N(x) - N(x+m)) / D(x), a = ä rounded half to even to a 16-bit whole number,
     *   P'' = (alpha / a + P) / (1 - beta / a)
     *
     * so that P'' = P + alpha/a + (beta/a) P'': the initial expense alpha and the present value
     * beta of the commission rates (fractions, not percent) are spread over a payments.
     * Failure: an age out of range (9), D(x) = 0, a = 0 or beta = a (11), a beyond 16 bits (6)
     * show "Funcion: fPrimaTarifa" and give 0.
     * \test TestMotor::tarifaRedondeaLaAnualidad, TestMotor::funcionesDePrima
     */
    double fPrimaTarifa(double P, double beta, double alpha, std::int16_t x, std::int16_t m);

    /*!
     * \brief Mathematical reserve per unit sum insured into aReserva(0..n), or 0..k for a
     * one-year cover of k months (n = 1, m = k). aReserva must be sized by the caller.
     *
     * Policy of n > 1 years, rate i in percent, payment term m cut to n:
     *   P = fPrimaNivelada(x, n, m, tipo)
     *   premium of year t, pi(t): tc = 1: P for t = 1..m; otherwise K in year 1 and Pz in years
     *   2..m, with P20 = fPrimaNivelada(x, 20, 20, 3) (computed for these only), c1 = fSeguro(x, 1, 1, 1),
     *   K = c1 + max(P - P20, 0), Pz = (ä P - K) / (E ä1), ä = (N(x) - N(x+m)) / D(x),
     *   ä1 = (N(x+1) - N(x+m)) / D(x+1), E = D(x+1) / D(x); pi(t) = 0 after year m.
     *   V(t) = ((pi(t) + V(t-1)) l(x+t-1) (1 + i/100) - b d(x+t-1)) / l(x+t), t = 1..n,
     *   with the death benefit b = 1, or 0 for a pure endowment (tipo 4).
     * The premiums being worth what P was priced on, V(t) is the prospective reserve: the value at
     * x+t of the benefits to come less that of the premiums to come (0 at the end of a term
     * insurance, 1 at the end of an endowment or pure endowment).
     * One-year cover, P = fPrimaNivelada(x, 1, 1, tipo), j = 1..k:
     *   tipo 1: V(j) = (1 - (2j - 1)/(2k)) P, the premium not yet earned from the middle of month j;
     *   other types: V(j) = P (1 + i/100)^(j/k).
     * The last value below 0.005 is stored as 0, and any value within 1e-12 of 0 (rounding noise)
     * as 0. i and tc arrive as 32-bit floats and the growth
     * factor is formed from that value (4.1 % grows by 1.0409999990...).
     * Failure: "Rutina: fReserva" (an age out of range 9, l(x+t) = 0 or E ä1 = 0 11, overflow 6);
     * the reserves computed stay and the later ones keep 0.
     * \test TestMotor::reservas, TestMotor::reservaProspectiva (the Illustrative Life Table),
     *       TestAlmacen::resultados
     */
    void fReserva(std::int16_t x, std::int16_t n, std::int16_t m, std::int32_t tipo, float i, float tc);

    //! ä(x, k) = (N(x) - N(x+k)) / D(x), annuity-due of k annual payments; errors 9, 11, 6 thrown.
    double Anualidad(std::int16_t x, std::int16_t k) const;

  private:
    void reservaAnual(std::int16_t x, std::int16_t n, std::int16_t m, std::int32_t tipo, double crecimiento, float tc);
    void reservaMensual(std::int16_t x, std::int16_t k, std::int32_t tipo, double crecimiento);
    double& entradaReserva(std::int32_t t);

    void falla(const QString& rutina, const ErrorVV& error) const;

    std::function<void(const FalloMotor&)> m_alFallar;
};

} // namespace valvida
