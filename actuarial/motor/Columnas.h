#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace valvida {

/*!
 * The life table and the commutation columns of one mortality table at one technical rate,
 * one slot per whole age from `lo` to `hi` (both inclusive), all 64-bit. A slot that no detail
 * row filled holds 0. Every access by age is checked: an age outside lo..hi is error 9.
 */
struct ColumnasConmutadas
{
    std::int32_t lo = 0;
    std::int32_t hi = -1;
    std::vector<double> Cx, Dx, Mx, Nx, Rx, Sx, px, dex, lx;

    //! Ages desde..hasta, every slot 0; error 9 when hasta < desde (an empty range).
    void dimensiona(std::int32_t desde, std::int32_t hasta);
    bool contiene(std::int32_t edad) const { return edad >= lo && edad <= hi; }
    //! Position of an age in the vectors; error 9 outside lo..hi.
    std::size_t indice(std::int32_t edad) const;

    //! One age's values in the order C, D, M, N, R, S, p, d, l; error 9 outside lo..hi.
    using Fila = std::array<double, 9>;
    Fila fila(std::int32_t edad) const;
    void asignaFila(std::int32_t edad, const Fila& valores);

    double C(std::int32_t edad) const { return Cx[indice(edad)]; }
    double D(std::int32_t edad) const { return Dx[indice(edad)]; }
    double M(std::int32_t edad) const { return Mx[indice(edad)]; }
    double N(std::int32_t edad) const { return Nx[indice(edad)]; }
    double l(std::int32_t edad) const { return lx[indice(edad)]; }
    double d(std::int32_t edad) const { return dex[indice(edad)]; }
};

//! One row of a table's mortality detail as stored: the age and qx, either of which may be empty.
struct FilaDetalle
{
    std::optional<double> edad;
    std::optional<double> qx;
};

/*!
 * \brief Fills the commutation columns of a table from its detail rows at a rate in percent.
 *
 * `columnas` comes sized to the catalogue's ages (`dimensiona(edadInicial, edadFinal)`);
 * `detalle` holds the detail rows in ascending age. With v = 1 / (1 + i/100):
 *
 *   l(x0) = 1 at x0 = edadInicial;  l(x) = l(x-1) - d(x-1);  d(x) = q(x) l(x);  p(x) = 1 - q(x)
 *   D(x) = l(x) v^x;  C(x) = d(x) v^(x+1)
 *   N(x) = sum of D(y), M(x) = sum of C(y), R(x) = sum of M(y), S(x) = sum of N(y), over the
 *   stored ages y >= x.
 *
 * The radix is 1, so every value is per unit alive at the first age. Which ages exist is decided
 * by the detail rows: an age with no row keeps its slot at 0, so l is 0 after a gap, and nothing
 * closes the table at its last age (N(w) = D(w) there). Errors: an age outside the catalogue's
 * range 9, an empty age or qx 94, a rate of -100 % 11; the columns are then incomplete and must
 * not be stored.
 *
 * \test TestMotor::columnas (the three-age table at 100 %, a first age of 12, a gap, a first detail
 *       age above the catalogue's), TestAlmacen::conmutados (at 0 %, and ages that run backwards).
 */
void CalculaColumnas(ColumnasConmutadas& columnas, std::int16_t edadInicial, double tasa,
                     const std::vector<FilaDetalle>& detalle);

//! An age of a detail row as an index: error 94 when empty, whole number rounded half to even.
std::int32_t EdadDetalle(const FilaDetalle& fila);

} // namespace valvida
