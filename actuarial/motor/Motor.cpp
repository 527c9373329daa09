#include "actuarial/motor/Motor.h"

#include "actuarial/motor/Aritmetica.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"
#include "core/Plazos.h"

#include <cmath>

namespace valvida {

Motor::Motor(std::function<void(const FalloMotor&)> alFallar)
    : m_alFallar(std::move(alFallar))
{
}

void Motor::falla(const QString& rutina, const ErrorVV& error) const
{
    if (m_alFallar)
        m_alFallar(FalloMotor{rutina, error});
}

void Motor::DimensionaReserva(std::int32_t ultimo)
{
    if (ultimo < 0)
        throw ErrorVV::subindice();
    aReserva.assign(static_cast<std::size_t>(ultimo) + 1, 0.0);
}

double& Motor::entradaReserva(std::int32_t t)
{
    if (t < 0 || static_cast<std::size_t>(t) >= aReserva.size())
        throw ErrorVV::subindice();
    return aReserva[static_cast<std::size_t>(t)];
}

double Motor::reserva(std::int32_t t) const
{
    if (t < 0 || static_cast<std::size_t>(t) >= aReserva.size())
        throw ErrorVV::subindice();
    return aReserva[static_cast<std::size_t>(t)];
}

void Motor::AsignaValoresPrima(std::int32_t tipo)
{
    switch (tipo) {
    case 1: Coef1 = 1, Coef2 = 0, Coef3 = 1, Coef4 = 1; break;
    case 2: Coef1 = 0, Coef2 = 0, Coef3 = 1, Coef4 = 1; break;
    case 3: Coef1 = 1, Coef2 = 1, Coef3 = 1, Coef4 = 1; break;
    case 4: Coef1 = 0, Coef2 = 1, Coef3 = 1, Coef4 = 0; break;
    default: break;
    }
}

void Motor::AsignaValoresSeguro(std::int32_t tipo)
{
    switch (tipo) {
    case 1: Coef1 = 1, Coef2 = 1, Coef3 = 0; break;
    case 2: Coef1 = 1, Coef2 = 0, Coef3 = 0; break;
    case 3: Coef1 = 1, Coef2 = 1, Coef3 = 1; break;
    case 4: Coef1 = 0, Coef2 = 0, Coef3 = 1; break;
    default: break;
    }
}

double Motor::fPrimaNivelada(std::int16_t x, std::int16_t n, std::int16_t m, std::int32_t tipo)
{
    try {
        AsignaValoresPrima(tipo);
        if (n == m && tipo == 2)
            Coef3 = 0;
        m = PlazoPagoCortado(m, n);
        // Every column is read whatever its switch, left to right, so an age beyond the table
        // is an error even for a term that the switch removes.
        const double mx = columnas.M(x);
        const std::int16_t xn = Suma16(x, n);
        const double mxn = columnas.M(xn);
        const double dxn = columnas.D(xn);
        const double nx = columnas.N(x);
        const double nxm = columnas.N(Suma16(x, m));
        return Divide(Coef4 * mx - Coef1 * mxn + Coef2 * dxn, nx - Coef3 * nxm);
    } catch (const ErrorVV& e) {
        falla(QStringLiteral("Funcion: fPrimaNivelada"), e);
        return 0.0;
    }
}

double Motor::fSeguro(std::int16_t x, std::int16_t n, std::int16_t, std::int32_t tipo)
{
    try {
        AsignaValoresSeguro(tipo);
        const double mx = columnas.M(x);
        const std::int16_t xn = Suma16(x, n);
        const double mxn = columnas.M(xn);
        const double dxn = columnas.D(xn);
        return Divide(Coef1 * mx - Coef2 * mxn + Coef3 * dxn, columnas.D(x));
    } catch (const ErrorVV& e) {
        // Beyond the table there is no benefit to value: 0, and nothing to tell.
        if (e.numero() != ErrorVV::SubindiceFueraDeIntervalo)
            falla(QStringLiteral("Funcion: fSeguro"), e);
        return 0.0;
    }
}

double Motor::Anualidad(std::int16_t x, std::int16_t k) const
{
    const double nx = columnas.N(x);
    const double nxk = columnas.N(Suma16(x, k));
    return Divide(nx - nxk, columnas.D(x));
}

double Motor::fPrimaTarifa(double P, double beta, double alpha, std::int16_t x, std::int16_t m)
{
    try {
        // Expense and commissions are spread over the annuity as a whole number of payments.
        const std::int16_t a = AEntero16(Anualidad(x, m));
        return Divide(Divide(alpha, a) + P, 1.0 - Divide(beta, a));
    } catch (const ErrorVV& e) {
        falla(QStringLiteral("Funcion: fPrimaTarifa"), e);
        return 0.0;
    }
}

void Motor::fReserva(std::int16_t x, std::int16_t n, std::int16_t m, std::int32_t tipo, float i, float tc)
{
    aPrima.assign(aReserva.size(), 0.0);
    try {
        // One year's growth at the technical rate, formed from the rate as it arrives in 32 bits.
        const double crecimiento = 1.0 + static_cast<double>(i) / 100.0;
        if (n != 1)
            reservaAnual(x, n, m, tipo, crecimiento, tc);
        else
            reservaMensual(x, m, tipo, crecimiento);
    } catch (const ErrorVV& e) {
        falla(QStringLiteral("Rutina: fReserva"), e);
    }
}

namespace {

// Below half a cent per unit sum insured the last reserve is no reserve (negatives included).
constexpr double ReservaMinima = 0.005;
// A millionth of a millionth per unit sum insured: far below any amount, far above the noise.
constexpr double RuidoDeRedondeo = 1e-12;

} // namespace

void Motor::reservaAnual(std::int16_t x, std::int16_t n, std::int16_t m, std::int32_t tipo, double crecimiento,
                         float tc)
{
    const double P = fPrimaNivelada(x, n, m, tipo);
    m = PlazoPagoCortado(m, n);
    // The premium of year 1 and of years 2 to m. Level: P in each of the m years it was priced on.
    // Modified: year 1 carries its risk cost c1 and any excess of P over the reference premium;
    // Pz, paid in years 2 to m, makes up the rest, so both streams are worth ä P at issue.
    double K = P;
    double Pz = P;
    if (tc != 1.0f) {
        // Reference premium: a 20-year endowment with 20 premiums at the same age. Only the
        // modified premium uses it, so a level premium never reports ages it does not need.
        const double P20 = fPrimaNivelada(x, PlazoReferencia, PlazoReferencia, TipoDotalMixto);
        const double c1 = fSeguro(x, 1, 1, 1);
        // ä(x, m), and the premiums of years 2 to m valued at x + 1: ä(x+1, m-1).
        const std::int16_t x1 = Suma16(x, 1);
        const double anual = Anualidad(x, m);
        const double anual1 = Anualidad(x1, Suma16(m, -1));
        const double E = Divide(columnas.D(x1), columnas.D(x));
        K = P > P20 ? c1 + (P - P20) : c1;
        Pz = Divide(anual * P - K, E * anual1);
    }
    // A pure endowment pays nothing at death; the other types pay the sum insured.
    const double muerte = tipo == 4 ? 0.0 : 1.0;

    for (std::int32_t s = 1; s <= std::int32_t{n} + 1; ++s)
        entradaReserva(s) = 0.0;
    entradaReserva(0) = 0.0;

    for (std::int32_t t = 1; t <= n; ++t) {
        const double prima = t == 1 ? K : (t <= m ? Pz : 0.0);
        aPrima[static_cast<std::size_t>(t)] = prima;
        const std::int16_t t16 = static_cast<std::int16_t>(t);
        const std::int16_t edadAnterior = Suma16(x, static_cast<std::int16_t>(t16 - 1));
        const std::int16_t edad = Suma16(x, t16);
        const double fondo = Finito((prima + entradaReserva(t - 1)) * columnas.l(edadAnterior) * crecimiento);
        double& V = entradaReserva(t);
        V = Divide(fondo - muerte * columnas.d(edadAnterior), columnas.l(edad));
        // A reserve that is nought in exact arithmetic (the first year's when K = c1) comes out as
        // rounding noise of either sign: it is no reserve.
        if (std::fabs(V) < RuidoDeRedondeo)
            V = 0.0;
        if (t == n && V < ReservaMinima)
            V = 0.0;
    }
}

void Motor::reservaMensual(std::int16_t x, std::int16_t k, std::int32_t tipo, double crecimiento)
{
    const double P = fPrimaNivelada(x, 1, 1, tipo);
    for (std::int32_t s = 1; s <= std::int32_t{k} + 1; ++s)
        entradaReserva(s) = 0.0;
    entradaReserva(0) = 0.0;

    for (std::int32_t j = 1; j <= k; ++j) {
        const std::int16_t j16 = static_cast<std::int16_t>(j);
        double& V = entradaReserva(j);
        if (tipo == 1) {
            // Unearned premium, measured from the middle of month j.
            const std::int16_t medio = static_cast<std::int16_t>(Suma16(j16, j16) - 1);
            V = (1.0 - Divide(medio, Suma16(k, k))) * P;
        } else {
            // The fund of the premium accumulated at the technical rate over the elapsed part
            // j/k of the year: P at issue, P (1 + i/100) at the last month of cover.
            V = Finito(P * std::pow(crecimiento, Divide(j, k)));
        }
        if (j == k && V < ReservaMinima)
            V = 0.0;
    }
}

} // namespace valvida
