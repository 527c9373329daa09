#include "actuarial/almacen/Planes.h"

#include "actuarial/almacen/Conmutados.h"
#include "actuarial/almacen/Escritura.h"
#include "actuarial/almacen/Generacion.h"
#include "core/BaseDatos.h"
#include "core/Numeros.h"
#include "core/TablasMortalidad.h"

namespace valvida {

std::optional<DefinicionPlan> LeePlan(const QSqlDatabase& db, std::int32_t escenario)
{
    DefinicionPlan plan;
    QVariant tabla;
    {
        QSqlQuery q = Consulta(db,
                               QStringLiteral("select Edad, Plazo_Seguro, Plazo_Pago, Tipo_Seguro, Interes_Tecnico, "
                                              "Tipo_Comision, Tabla_Mortalidad from T_Escenario where Escenario = ?"),
                               {escenario});
        if (!Siguiente(q))
            return std::nullopt;
        plan.escenario = {NumeroOpcional(q.value(0)), NumeroOpcional(q.value(1)), NumeroOpcional(q.value(2)),
                          NumeroOpcional(q.value(3)), NumeroOpcional(q.value(4)), NumeroOpcional(q.value(5))};
        tabla = q.value(6);
    }
    // The catalogue's ages, the detail and the schedule, read as the calculation reads them.
    const std::int32_t numeroTabla = AEntero32(ValorANumero(tabla));
    if (const std::optional<EdadesTabla> edades = LeeEdadesTabla(db, numeroTabla)) {
        plan.edadInicial = edades->inicial;
        plan.edadFinal = edades->ultima;
    }
    plan.detalle = LeeFilasDetalle(db, numeroTabla);
    plan.comisiones = LeeComisiones(db, escenario);
    return plan;
}

} // namespace valvida
