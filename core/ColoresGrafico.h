#pragma once

// The lines of the results charts, one per series in the order DatosPrimas and DatosReservas give
// them: the same colours wherever the charts are drawn (screen, workbook, report).

namespace valvida {

struct TrazoSerie
{
    unsigned rgb;     //!< 0xRRGGBB
    double ancho;     //!< points
    bool discontinuo; //!< dashed
};

//! Risk (wide, under the others), level net (dashed: a one-year cover has it equal to the risk premium), tariff.
inline constexpr TrazoSerie TrazosPrimas[] = {{0xc0392b, 2.6, false}, {0x1f5fa8, 1.5, true}, {0x2e8b57, 1.5, false}};
//! The reserve and, dashed under it, the surrender value taken from it.
inline constexpr TrazoSerie TrazosReservas[] = {{0x1f5fa8, 1.5, false}, {0xd36b00, 1.5, true}};

} // namespace valvida
