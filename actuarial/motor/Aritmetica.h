#pragma once

#include <cstdint>

namespace valvida {

/*!
 * The arithmetic rules of the engine, so that no infinity or NaN ever reaches a column or a
 * result: ages and terms add in 16 bits, every quotient checks its denominator.
 */

//! x + n of two ages or terms as a 16-bit whole number; error 6 outside -32768..32767.
std::int16_t Suma16(std::int16_t a, std::int16_t b);

//! a / b; error 11 when b is 0, error 6 when the quotient leaves the range of a double.
double Divide(double a, double b);

//! The value itself; error 6 when it is not finite (a product or power that overflowed).
double Finito(double valor);

} // namespace valvida
