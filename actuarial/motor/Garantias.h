#pragma once

#include "actuarial/motor/Columnas.h"
#include "core/Plazos.h"

#include <cstdint>
#include <vector>

namespace valvida {

//! The guaranteed values at the end of one policy year, per unit sum insured.
struct ValoresGarantizados
{
    double anualidad = 0.0;  //!< value of the premiums still to pay, per unit premium
    double seguro = 0.0;     //!< value of the benefits still to come
    double rescate = 0.0;    //!< surrender value
    double saldado = 0.0;    //!< paid-up sum, per unit of the original sum insured
    double prorrogado = 0.0; //!< extended term: years of death cover the surrender value buys
};

/*!
 * \brief The guaranteed values of a policy at the end of each policy year t = 0..n.
 *
 * x issue age, n insurance term, m payment term, tipo 1 term, 2 whole life, 3 endowment, 4 pure
 * endowment; `reserva` holds V(0..n) as fReserva computed it (entries beyond n are not read).
 * Whole life paid over its whole term (tipo 2, m = n, tested before m is cut to n) pays premiums
 * for life, as fPrimaNivelada prices it. With y = x + t:
 *
 *   anualidad  (N(y) - N(x+m)) / D(y) for t < m, else 0; for life N(y) / D(y) at every t
 *   seguro     t < n: 1 (M(y) - M(x+n)) / D(y); 3 the same plus D(x+n) / D(y); 4 D(x+n) / D(y);
 *              t = n: 0 for 1, 1 for 3 and 4; whole life M(y) / D(y) at every t
 *   rescate    types 2-4, 1 <= t < n, t >= min(A, m): V(t) (1 - R/100), never below 0
 *   saldado    where rescate > 0: min(1, rescate / seguro) while premiums are due (t < m), else 1
 *   prorrogado types 2 and 3 where rescate > 0: for t < m the k years of cover with
 *              T(k) = (M(y) - M(y+k)) / D(y) = rescate, k at most n - t and interpolated linearly
 *              between whole years; n - t once the premiums are paid (t >= m)
 *
 * So V(t) = seguro - pi anualidad for t >= 1, pi the premium of the years to come; not quite for
 * whole life paid for life with a modified premium, whose Pz fReserva forms on the annuity of the
 * term. Any other type values no benefit: only its annuity is given. A one-year cover (n = 1, valued by months) has no
 * guaranteed values and is not valued here.
 * Errors: n < 0, x or x + n outside the columns, or fewer than n + 1 reserves 9; a D of 0 where it
 * divides 11.
 * \test TestGarantias::aMano, TestGarantias::errores, TestMotor::reservaProspectiva
 */
std::vector<ValoresGarantizados> CalculaGarantias(const ColumnasConmutadas& c, std::int32_t x, std::int32_t n,
                                                  std::int32_t m, std::int32_t tipo, const std::vector<double>& reserva,
                                                  ParametrosRescate rescate = {});

} // namespace valvida
