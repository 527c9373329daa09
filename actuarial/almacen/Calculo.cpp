#include "actuarial/almacen/Calculo.h"

#include "actuarial/almacen/Conmutados.h"
#include "actuarial/almacen/Escritura.h"
#include "actuarial/almacen/Generacion.h"
#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/Numeros.h"

#include <optional>
#include <utility>

namespace valvida {

bool CalculaEscenario(Entorno& entorno, std::int32_t escenario)
{
    RelojArena reloj(entorno.dialogos);
    std::optional<std::pair<std::int16_t, double>> tablaYTasa;
    std::optional<ColumnasGuardadas> columnas;
    // One unit of writing for the whole calculation, a single commit at the end. Results rest on
    // the columns just rebuilt: when the rebuild fails, no results are generated at all, from
    // the old columns or from none.
    return EjecutaPasos(
        entorno,
        {{QStringLiteral("Rutina: CalculaEscenario"),
          [&] {
              {
                  Sentencia borra(entorno.db, QStringLiteral("delete from T_Resultado where Escenario = ?"));
                  borra.enlaza(0, escenario);
                  borra.ejecuta();
              }
              Sentencia q(entorno.db, QStringLiteral("select Tabla_Mortalidad, Interes_Tecnico from T_Escenario "
                                                     "where Escenario = ?"));
              q.enlaza(0, escenario);
              if (q.siguiente())
                  tablaYTasa.emplace(AEntero16(q.numero(0)), q.numero(1));
          }},
         // The columns are rebuilt from the current qx of the scenario's own table and rate, and
         // handed on as stored: the generation need not read back what was just written.
         {RutinaCalculaConmutados,
          [&] {
              if (tablaYTasa)
                  columnas = InsertaConmutados(entorno.db, tablaYTasa->first, tablaYTasa->second);
          }},
         {RutinaGeneraResultado, [&] { InsertaResultados(entorno, escenario, columnas ? &*columnas : nullptr); }}});
}

} // namespace valvida
