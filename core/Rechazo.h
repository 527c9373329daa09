#pragma once

// What the scenario's checks and its schedule's share: a refused entry and a commission year.

#include "core/Dialogos.h"

#include <QString>

#include <cstdint>

namespace valvida {

//! The fields of the scenario entry that a refusal sends the focus to.
enum class CampoEscenario {
    Edad,
    SumaAsegurada,
    Tabla,
    InteresTecnico,
    TipoSeguro,
    PlazoSeguro,
    PlazoPago,
    TipoComision,
    TotalAnios,
    Descripcion,
    Comision,
    PenalizacionRescate,
    AnioRescate
};

/*!
 * A refused entry: the box's text and icon, the field that takes the focus and, for the
 * commission schedule, the offending cell (row counted from the header row 0).
 */
struct Rechazo
{
    QString mensaje;
    Dialogos::Icono icono = Dialogos::Icono::Exclamacion;
    CampoEscenario campo = CampoEscenario::Edad;
    int fila = 0;
    int columna = 0;
    //! The payment-term box of the schedule shows the program's default title.
    bool tituloPredeterminado = false;
};

//! Shows a refusal's box; the caller puts the focus on its field.
void MuestraRechazo(Dialogos& dialogos, const Rechazo& rechazo);

//! One commission year as stored: year and rate per mille are whole numbers.
struct AnioComision
{
    std::int16_t anio = 0;
    double porcentaje = 0.0;
    std::int16_t tantos = 0;
};

} // namespace valvida
