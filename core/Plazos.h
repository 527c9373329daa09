#pragma once

// The rules of a plan's terms and of where it fits in its table, one place for the scenario's
// checks, the calculation and the valuation of plans at any age.

#include <cstdint>

namespace valvida {

//! The insurance types the engine gives a meaning to.
constexpr std::int32_t TipoTemporal = 1;
constexpr std::int32_t TipoVidaEntera = 2;
constexpr std::int32_t TipoDotalMixto = 3;
constexpr std::int32_t TipoDotalPuro = 4;

//! A one-year cover (an insurance term of 1, any type but whole life) counts months, not years.
constexpr bool EsCoberturaMensual(std::int32_t plazoSeguro)
{
    return plazoSeguro == 1;
}

//! The term of a whole-life cover: it runs from the age to the table's last age. Error 6 outside 16 bits.
std::int16_t PlazoVidaEntera(std::int16_t edadFinal, std::int16_t edad);

//! Premiums are paid at most for as long as the cover runs.
constexpr std::int16_t PlazoPagoCortado(std::int16_t pago, std::int16_t seguro)
{
    return pago > seguro ? seguro : pago;
}

//! The years of the 20-year endowment whose premium a modified premium (a commission type other
//! than 1) is measured against.
constexpr std::int16_t PlazoReferencia = 20;

/*!
 * Whether a plan of n years at age x fits in a table of ages primera..ultima: x at least the
 * first age, x + n at most the last (the columns end there) and, for a modified premium of a
 * cover in years, x + 20 at most the last too (its reference premium's ages).
 */
constexpr bool CabeEnTabla(std::int32_t x, std::int32_t n, bool modificada, std::int32_t primera, std::int32_t ultima)
{
    return x >= primera && x + n <= ultima && (EsCoberturaMensual(n) || !modificada || x + PlazoReferencia <= ultima);
}

//! A scenario's surrender terms.
struct ParametrosRescate
{
    double penalizacion = 0.0;    //!< R, the surrender charge in percent of the reserve
    std::int32_t anioRescate = 2; //!< A, the first policy year it may be surrendered in: two premiums paid
};

} // namespace valvida
