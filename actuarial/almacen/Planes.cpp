#include "actuarial/almacen/Planes.h"

#include "actuarial/almacen/Escritura.h"
#include "core/BaseDatos.h"
#include "core/Numeros.h"

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
    {
        // As the commutation routine reads the catalogue: the last row wins, none leaves 0 and 0.
        QSqlQuery q = Consulta(
            db, QStringLiteral("select Edad_Inicial, Edad_Final from C_TablaMortalidad where Tabla_Mortalidad = ?"),
            {tabla});
        while (Siguiente(q)) {
            plan.edadInicial = AEntero16(ValorANumero(q.value(0)));
            plan.edadFinal = AEntero16(ValorANumero(q.value(1)));
        }
    }
    {
        QSqlQuery q = Consulta(
            db, QStringLiteral("select Edad, qx from T_DetalleMortalidad where Tabla_Mortalidad = ? order by Edad"),
            {tabla});
        while (Siguiente(q))
            plan.detalle.push_back({NumeroOpcional(q.value(0)), NumeroOpcional(q.value(1))});
    }
    QSqlQuery q = Consulta(db,
                           QStringLiteral("select Anio_Comision, Porcentaje_Prima, Tantos_Suma from T_Comision "
                                          "where Escenario = ? order by Anio_Comision desc"),
                           {escenario});
    while (Siguiente(q))
        plan.comisiones.push_back({NumeroOpcional(q.value(0)), NumeroOpcional(q.value(1)), NumeroOpcional(q.value(2))});
    return plan;
}

} // namespace valvida
