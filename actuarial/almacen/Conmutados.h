#pragma once

#include "core/Entorno.h"

#include <cstdint>

namespace valvida { void CalculaConmutados(Entorno& entorno, std::int16_t tabla, double tasa); }
