#include "core/Rechazo.h"

namespace valvida {

void MuestraRechazo(Dialogos& dialogos, const Rechazo& rechazo)
{
    dialogos.mensaje(rechazo.mensaje, Dialogos::Botones::Aceptar, rechazo.icono,
                     rechazo.tituloPredeterminado ? Dialogos::TituloPredeterminado() : TituloAplicacion);
}

} // namespace valvida
