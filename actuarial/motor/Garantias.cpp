#include "actuarial/motor/Garantias.h"

#include "actuarial/motor/Aritmetica.h"
#include "core/ErrorVV.h"

#include <algorithm>

namespace valvida {

namespace {

// Value at age y of the benefits still to come, the term ending at age xn.
double Seguro(const ColumnasConmutadas& c, std::int32_t tipo, std::int32_t y, std::int32_t xn)
{
    switch (tipo) {
    case 1: return y < xn ? Divide(c.M(y) - c.M(xn), c.D(y)) : 0.0;
    // To the table's last age, where death within the year is certain.
    case 2: return Divide(c.M(y), c.D(y));
    case 3: return y < xn ? Divide(c.M(y) - c.M(xn) + c.D(xn), c.D(y)) : 1.0;
    case 4: return y < xn ? Divide(c.D(xn), c.D(y)) : 1.0;
    default: return 0.0;
    }
}

// Years of death cover that `valor` buys at age y, at most `resto`: the whole years it pays for,
// then the part of the next year's cost it still covers.
double Prorrogado(const ColumnasConmutadas& c, std::int32_t y, std::int32_t resto, double valor)
{
    const auto T = [&](std::int32_t k) { return Divide(c.M(y) - c.M(y + k), c.D(y)); };
    std::int32_t k = 0;
    while (k < resto && T(k + 1) <= valor)
        ++k;
    if (k == resto)
        return resto;
    const double cubierto = T(k);
    return k + Divide(valor - cubierto, T(k + 1) - cubierto);
}

} // namespace

std::vector<ValoresGarantizados> CalculaGarantias(const ColumnasConmutadas& c, std::int32_t x, std::int32_t n,
                                                  std::int32_t m, std::int32_t tipo, const std::vector<double>& reserva,
                                                  ParametrosRescate rescate)
{
    if (n < 0 || !c.contiene(x) || std::int64_t{x} + n > c.hi || reserva.size() <= static_cast<std::size_t>(n))
        throw ErrorVV::subindice();
    // Whole life paid over its whole term is priced on premiums for life, its last age included.
    const bool vitalicia = tipo == 2 && m == n;
    m = std::min(m, n);
    const std::int32_t primerRescate = std::min(rescate.anioRescate, m);

    std::vector<ValoresGarantizados> filas(static_cast<std::size_t>(n) + 1);
    for (std::int32_t t = 0; t <= n; ++t) {
        ValoresGarantizados& g = filas[static_cast<std::size_t>(t)];
        const std::int32_t y = x + t;
        if (vitalicia)
            g.anualidad = Divide(c.N(y), c.D(y));
        else if (t < m)
            g.anualidad = Divide(c.N(y) - c.N(x + m), c.D(y));
        g.seguro = Seguro(c, tipo, y, x + n);

        // A term insurance builds no surrender value; nor is there one at issue or at maturity.
        if (tipo < 2 || tipo > 4 || t < 1 || t >= n || t < primerRescate)
            continue;
        // The policyholder is never charged for leaving: a negative reserve gives nothing.
        g.rescate = std::max(reserva[static_cast<std::size_t>(t)] * (1.0 - rescate.penalizacion / 100.0), 0.0);
        if (g.rescate <= 0.0)
            continue;
        // Once the premiums are all paid, the full cover stays in force with nothing more to pay.
        g.saldado = t < m ? std::min(1.0, Divide(g.rescate, g.seguro)) : 1.0;
        if (tipo == 2 || tipo == 3)
            g.prorrogado = t < m ? Prorrogado(c, y, n - t, g.rescate) : n - t;
    }
    return filas;
}

} // namespace valvida
