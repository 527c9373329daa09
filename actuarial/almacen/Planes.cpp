#include "actuarial/almacen/Planes.h"

#include "actuarial/almacen/Conmutados.h"
#include "actuarial/almacen/Escritura.h"
#include "actuarial/almacen/Generacion.h"
#include "core/BaseDatos.h"
#include "core/EntradaEscenario.h"
#include "core/Numeros.h"
#include "core/TablasMortalidad.h"

namespace valvida {

std::optional<DefinicionPlan> LeePlan(const QSqlDatabase& db, std::int32_t escenario)
{
    const std::optional<EscenarioLeido> leido = LeeEscenario(db, escenario);
    if (!leido)
        return std::nullopt;
    DefinicionPlan plan;
    plan.escenario = leido->datos;
    const QVariant& tabla = leido->tabla;
    // The catalogue's ages, the detail and the schedule, read as the calculation reads them.
    const std::int32_t numeroTabla = AEntero32(ValorANumero(tabla));
    if (const std::optional<EdadesTabla> edades = LeeEdadesTabla(db, numeroTabla)) {
        plan.edadInicial = edades->inicial;
        plan.edadFinal = edades->ultima;
    }
    plan.detalle = LeeFilasDetalle(db, numeroTabla);
    plan.comisiones = LeeComisiones(db, escenario);
    plan.rescate = LeeParametrosRescate(db, escenario);
    return plan;
}

} // namespace valvida
