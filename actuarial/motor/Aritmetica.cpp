#include "actuarial/motor/Aritmetica.h"

#include "core/ErrorVV.h"

#include <cmath>

namespace valvida {

std::int16_t Suma16(std::int16_t a, std::int16_t b)
{
    const std::int32_t suma = std::int32_t{a} + std::int32_t{b};
    if (suma < -32768 || suma > 32767)
        throw ErrorVV::desbordamiento();
    return static_cast<std::int16_t>(suma);
}

double Divide(double a, double b)
{
    if (b == 0.0)
        throw ErrorVV::divisionPorCero();
    return Finito(a / b);
}

double Finito(double valor)
{
    if (!std::isfinite(valor))
        throw ErrorVV::desbordamiento();
    return valor;
}

} // namespace valvida
