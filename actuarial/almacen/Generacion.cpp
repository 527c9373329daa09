#include "actuarial/almacen/Generacion.h"

#include "actuarial/almacen/Escritura.h"
#include "actuarial/motor/Generacion.h"
#include "actuarial/motor/Motor.h"
#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/EntradaEscenario.h"
#include "core/Numeros.h"

namespace valvida {

namespace {

void CargaColumnas(const QSqlDatabase& db, const QVariant& tabla, const QVariant& tasa, ColumnasConmutadas& c)
{
    {
        QSqlQuery rango =
            Consulta(db,
                     QStringLiteral("select min(Edad), max(Edad) from T_Conmutado where Tabla_Mortalidad = ? "
                                    "and Interes_Tecnico = ?"),
                     {tabla, tasa});
        Siguiente(rango);
        // No columns for this table and rate: both are null, which no age converts from.
        const std::int32_t lo = AEntero32(ValorANumero(rango.value(0)));
        const std::int32_t hi = AEntero32(ValorANumero(rango.value(1)));
        c.dimensiona(lo, hi);
    }
    // The columns in the order ColumnasConmutadas::asignaFila takes them.
    QSqlQuery q = Consulta(db,
                           QStringLiteral("select Edad, Cx, Dx, Mx, Nx, Rx, Sx, px, dex, lx from T_Conmutado "
                                          "where Tabla_Mortalidad = ? and Interes_Tecnico = ? order by Edad asc"),
                           {tabla, tasa});
    while (Siguiente(q)) {
        ColumnasConmutadas::Fila fila{};
        for (std::size_t k = 0; k < fila.size(); ++k)
            fila[k] = ValorANumero(q.value(static_cast<int>(k) + 1));
        c.asignaFila(AEntero32(ValorANumero(q.value(0))), fila);
    }
}

} // namespace

std::vector<FilaComision> LeeComisiones(const QSqlDatabase& db, const QVariant& escenario)
{
    std::vector<FilaComision> comisiones;
    QSqlQuery q = Consulta(db,
                           QStringLiteral("select Anio_Comision, Porcentaje_Prima, Tantos_Suma from T_Comision "
                                          "where Escenario = ? order by Anio_Comision desc"),
                           {escenario});
    while (Siguiente(q))
        comisiones.push_back({NumeroOpcional(q.value(0)), NumeroOpcional(q.value(1)), NumeroOpcional(q.value(2))});
    return comisiones;
}

std::optional<EscenarioLeido> LeeEscenario(const QSqlDatabase& db, const QVariant& escenario)
{
    QSqlQuery q = Consulta(db,
                           QStringLiteral("select Escenario, Edad, Plazo_Seguro, Plazo_Pago, Tipo_Seguro, "
                                          "Interes_Tecnico, Tipo_Comision, Tabla_Mortalidad from T_Escenario "
                                          "where Escenario = ?"),
                           {escenario});
    if (!Siguiente(q))
        return std::nullopt;
    return EscenarioLeido{q.value(0),
                          {NumeroOpcional(q.value(1)), NumeroOpcional(q.value(2)), NumeroOpcional(q.value(3)),
                           NumeroOpcional(q.value(4)), NumeroOpcional(q.value(5)), NumeroOpcional(q.value(6))},
                          q.value(7),
                          q.value(5)};
}

void InsertaResultados(Entorno& entorno, double escenario)
{
    const QSqlDatabase& db = entorno.db;
    const std::optional<EscenarioLeido> leido = LeeEscenario(db, escenario);
    if (!leido)
        throw ErrorVV::sinRegistroActual();
    const QVariant& clave = leido->clave;
    const DatosEscenario& datos = leido->datos;

    Motor motor([&entorno](const FalloMotor& f) { MostrarError(entorno.dialogos, f.rutina, f.error); });
    CargaColumnas(db, leido->tabla, leido->tasa, motor.columnas);

    const std::vector<FilaComision> comisiones = LeeComisiones(db, clave);

    Insercion insercion(db, QStringLiteral("insert into T_Resultado values(?,?,?,?,?,?,?,?,?,?,?,?)"));
    const ParametrosRescate rescate = LeeParametrosRescate(db, AEntero32(ValorANumero(clave)));
    GeneraFilas(
        motor, datos, comisiones,
        [&](const FilaResultado& f) {
            const ValoresGarantizados& g = f.garantia;
            insercion.ejecuta({clave, f.anio, f.edadAlcanzada, f.primaRiesgo, f.primaNeta, f.primaTarifa, g.anualidad,
                               g.seguro, f.reserva, g.rescate, g.saldado, g.prorrogado});
        },
        rescate);
}

bool fGeneraResultado(Entorno& entorno, double escenario)
{
    RelojArena reloj(entorno.dialogos);
    return EjecutaConservandoLoHecho(entorno, RutinaGeneraResultado, [&] { InsertaResultados(entorno, escenario); });
}

} // namespace valvida
