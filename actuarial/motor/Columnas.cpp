#include "actuarial/motor/Columnas.h"

#include "actuarial/motor/Aritmetica.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"

#include <cmath>

namespace valvida {

void ColumnasConmutadas::dimensiona(std::int32_t desde, std::int32_t hasta)
{
    if (hasta < desde)
        throw ErrorVV::subindice();
    lo = desde;
    hi = hasta;
    const auto tamano = static_cast<std::size_t>(std::int64_t{hasta} - desde + 1);
    for (std::vector<double>* columna : {&Cx, &Dx, &Mx, &Nx, &Rx, &Sx, &px, &dex, &lx})
        columna->assign(tamano, 0.0);
}

ColumnasConmutadas::Fila ColumnasConmutadas::fila(std::int32_t edad) const
{
    const std::size_t i = indice(edad);
    return {Cx[i], Dx[i], Mx[i], Nx[i], Rx[i], Sx[i], px[i], dex[i], lx[i]};
}

void ColumnasConmutadas::asignaFila(std::int32_t edad, const Fila& v)
{
    const std::size_t i = indice(edad);
    Cx[i] = v[0], Dx[i] = v[1], Mx[i] = v[2], Nx[i] = v[3], Rx[i] = v[4], Sx[i] = v[5], px[i] = v[6], dex[i] = v[7],
    lx[i] = v[8];
}

std::size_t ColumnasConmutadas::indice(std::int32_t edad) const
{
    if (!contiene(edad))
        throw ErrorVV::subindice();
    return static_cast<std::size_t>(std::int64_t{edad} - lo);
}

std::int32_t EdadDetalle(const FilaDetalle& fila)
{
    if (!fila.edad)
        throw ErrorVV::usoNoValidoDeNull();
    return AEntero32(*fila.edad);
}

void CalculaColumnas(ColumnasConmutadas& c, std::int16_t edadInicial, double tasa,
                     const std::vector<FilaDetalle>& detalle)
{
    const double v = Divide(1.0, tasa / 100.0 + 1.0);

    // Ascending: the life table and the discounted columns, age by age.
    for (const FilaDetalle& fila : detalle) {
        const std::int32_t x = EdadDetalle(fila);
        const std::size_t i = c.indice(x);
        if (x == edadInicial)
            c.lx[i] = 1.0;
        else
            c.lx[i] = c.l(x - 1) - c.d(x - 1);
        if (!fila.qx)
            throw ErrorVV::usoNoValidoDeNull();
        const double q = *fila.qx;
        c.dex[i] = Finito(q * c.lx[i]);
        c.px[i] = 1.0 - q;
        c.Dx[i] = Finito(c.lx[i] * std::pow(v, x));
        c.Cx[i] = Finito(c.dex[i] * std::pow(v, x + 1));
    }

    // Descending: the sums over the stored ages from x on.
    double sumaD = 0.0;
    double sumaC = 0.0;
    double sumaM = 0.0;
    double sumaN = 0.0;
    for (auto fila = detalle.rbegin(); fila != detalle.rend(); ++fila) {
        const std::size_t i = c.indice(EdadDetalle(*fila));
        sumaD = Finito(sumaD + c.Dx[i]);
        c.Nx[i] = sumaD;
        sumaC = Finito(sumaC + c.Cx[i]);
        c.Mx[i] = sumaC;
        sumaM = Finito(sumaM + c.Mx[i]);
        c.Rx[i] = sumaM;
        sumaN = Finito(sumaN + c.Nx[i]);
        c.Sx[i] = sumaN;
    }
}

} // namespace valvida
