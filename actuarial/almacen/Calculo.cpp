#include "actuarial/almacen/Calculo.h"

#include "actuarial/almacen/Conmutados.h"
#include "actuarial/almacen/Escritura.h"
#include "actuarial/almacen/Generacion.h"
#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/Numeros.h"

namespace valvida {

void CalculaEscenario(Entorno& entorno, std::int32_t escenario)
{
    RelojArena reloj(entorno.dialogos);
    // One unit of writing for the whole calculation: a single commit at the end.
    EjecutaConservandoLoHecho(entorno, QStringLiteral("Rutina: CalculaEscenario"), [&] {
        Ejecuta(entorno.db, QStringLiteral("delete from T_Resultado where Escenario = ?"), {escenario});
        std::optional<std::pair<std::int16_t, double>> tablaYTasa;
        {
            QSqlQuery q = Consulta(
                entorno.db,
                QStringLiteral("select Tabla_Mortalidad, Interes_Tecnico from T_Escenario where Escenario = ?"),
                {escenario});
            if (Siguiente(q))
                tablaYTasa.emplace(AEntero16(ValorANumero(q.value(0))), ValorANumero(q.value(1)));
        }
        // The columns are rebuilt from the current qx of the scenario's own table and rate.
        if (tablaYTasa)
            CalculaConmutados(entorno, tablaYTasa->first, tablaYTasa->second);
        fGeneraResultado(entorno, escenario);
    });
}

} // namespace valvida
