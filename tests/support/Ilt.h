#pragma once

// The Illustrative Life Table (Bowers et al.) as shipped, ages 0..110, for the engine's tests
// (header only: the support library does not link the engine).

#include "actuarial/motor/Columnas.h"
#include "support/BaseTemporal.h"

#include <QStringList>

namespace valvida::prueba {

inline std::vector<FilaDetalle> DetalleIlt()
{
    std::vector<FilaDetalle> filas;
    for (const QString& linea :
         QString(LeeArchivo(VALVIDA_TABLAS_DIR "/ilt-bowers.csv")).split("\r\n", Qt::SkipEmptyParts))
        filas.push_back({linea.section(',', 0, 0).toDouble(), linea.section(',', 1, 1).toDouble()});
    return filas;
}

//! Its columns at a rate in percent.
inline ColumnasConmutadas Ilt(double tasa)
{
    ColumnasConmutadas c;
    c.dimensiona(0, 110);
    CalculaColumnas(c, 0, tasa, DetalleIlt());
    return c;
}

} // namespace valvida::prueba
