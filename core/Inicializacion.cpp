#include "core/Inicializacion.h"

#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"

namespace valvida {

bool Inizializar(Entorno& entorno)
{
    Dialogos& d = entorno.dialogos;
    // Yes empties every table: a hasty Enter answers No.
    const auto respuesta = d.mensaje(QStringLiteral("Desea inicializar el sistema"), Dialogos::Botones::SiNo,
                                     Dialogos::Icono::Informacion, TituloAplicacion, Dialogos::Respuesta::No);
    if (respuesta != Dialogos::Respuesta::Si) {
        d.mensaje(QStringLiteral("Inicializacion de sistema Cancelado"), Dialogos::Botones::Aceptar,
                  Dialogos::Icono::Informacion);
        return false;
    }
    static const char* const sentencias[] = {
        "delete from T_Resultado",       "delete from T_Comision",  "delete from T_Garantia",
        "delete from T_Escenario",       "delete from T_Conmutado", "delete from T_DetalleMortalidad",
        "delete from C_TablaMortalidad",
    };
    {
        RelojArena reloj(d);
        for (const char* sentencia : sentencias) {
            ConCajaError(d, QStringLiteral("Rutina: Inizializar"),
                         [&] { Ejecuta(entorno.db, QString::fromLatin1(sentencia)); });
        }
    }
    d.mensaje(QStringLiteral("Inicializacion de sistema finalizado"), Dialogos::Botones::Aceptar,
              Dialogos::Icono::Informacion);
    return true;
}

} // namespace valvida
