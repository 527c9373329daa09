#include "core/Plazos.h"

#include "core/Numeros.h"

namespace valvida {

std::int16_t PlazoVidaEntera(std::int16_t edadFinal, std::int16_t edad)
{
    return AEntero16(double(edadFinal) - double(edad));
}

} // namespace valvida
