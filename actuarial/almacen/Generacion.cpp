#include "actuarial/almacen/Generacion.h"

#include "actuarial/almacen/Conmutados.h"
#include "actuarial/almacen/Escritura.h"
#include "actuarial/motor/Generacion.h"
#include "actuarial/motor/Motor.h"
#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/EntradaEscenario.h"
#include "core/Numeros.h"
#include "core/Plazos.h"

namespace valvida {

namespace {

void CargaColumnas(const QSqlDatabase& db, const QVariant& tabla, const QVariant& tasa, ColumnasConmutadas& c)
{
    {
        Sentencia rango(db, QStringLiteral("select min(Edad), max(Edad) from T_Conmutado where Tabla_Mortalidad = ? "
                                           "and Interes_Tecnico = ?"));
        rango.enlaza(0, tabla);
        rango.enlaza(1, tasa);
        rango.siguiente();
        // No columns for this table and rate: both are null, which no age converts from.
        const std::int32_t lo = AEntero32(rango.numero(0));
        const std::int32_t hi = AEntero32(rango.numero(1));
        c.dimensiona(lo, hi);
    }
    // The columns in the order ColumnasConmutadas::asignaFila takes them.
    Sentencia q(db, QStringLiteral("select Edad, Cx, Dx, Mx, Nx, Rx, Sx, px, dex, lx from T_Conmutado "
                                   "where Tabla_Mortalidad = ? and Interes_Tecnico = ? order by Edad asc"));
    q.enlaza(0, tabla);
    q.enlaza(1, tasa);
    while (q.siguiente()) {
        ColumnasConmutadas::Fila fila{};
        for (std::size_t k = 0; k < fila.size(); ++k)
            fila[k] = q.numero(static_cast<int>(k) + 1);
        c.asignaFila(AEntero32(q.numero(0)), fila);
    }
}

// The rows the scenario's table and rate select are those just stored under them: the same values,
// as a whole number and a double, compare equal in the store as in C++. A server gives a
// non-negative whole number as an unsigned one.
bool SonLasGuardadas(const EscenarioLeido& leido, const ColumnasGuardadas& guardadas)
{
    const int tipo = leido.tabla.typeId();
    return (tipo == QMetaType::LongLong || tipo == QMetaType::ULongLong) &&
           leido.tabla.toLongLong() == guardadas.tabla && leido.tasa.typeId() == QMetaType::Double &&
           leido.tasa.toDouble() == guardadas.tasa;
}

} // namespace

std::vector<FilaComision> LeeComisiones(const QSqlDatabase& db, const QVariant& escenario)
{
    std::vector<FilaComision> comisiones;
    Sentencia q(db, QStringLiteral("select Anio_Comision, Porcentaje_Prima, Tantos_Suma from T_Comision "
                                   "where Escenario = ? order by Anio_Comision desc"));
    q.enlaza(0, escenario);
    while (q.siguiente())
        comisiones.push_back({NumeroOpcional(q, 0), NumeroOpcional(q, 1), NumeroOpcional(q, 2)});
    return comisiones;
}

std::optional<EscenarioLeido> LeeEscenario(const QSqlDatabase& db, const QVariant& escenario)
{
    Sentencia q(db, QStringLiteral("select Escenario, Edad, Plazo_Seguro, Plazo_Pago, Tipo_Seguro, "
                                   "Interes_Tecnico, Tipo_Comision, Tabla_Mortalidad from T_Escenario "
                                   "where Escenario = ?"));
    q.enlaza(0, escenario);
    if (!q.siguiente())
        return std::nullopt;
    return EscenarioLeido{q.valor(0),
                          {NumeroOpcional(q, 1), NumeroOpcional(q, 2), NumeroOpcional(q, 3), NumeroOpcional(q, 4),
                           NumeroOpcional(q, 5), NumeroOpcional(q, 6)},
                          q.valor(7),
                          q.valor(5)};
}

void InsertaResultados(Entorno& entorno, double escenario, const ColumnasGuardadas* recienGuardadas)
{
    const QSqlDatabase& db = entorno.db;
    const std::optional<EscenarioLeido> leido = LeeEscenario(db, escenario);
    if (!leido)
        throw ErrorVV::sinRegistroActual();
    const QVariant& clave = leido->clave;
    const DatosEscenario& datos = leido->datos;

    Insercion* pendientes = nullptr;
    Motor motor([&entorno, &pendientes](const FalloMotor& f) {
        // Whatever looks at the table while the box shows finds the rows computed before it.
        if (pendientes)
            pendientes->escribe();
        MostrarError(entorno.dialogos, f.rutina, f.error);
    });
    if (recienGuardadas && SonLasGuardadas(*leido, *recienGuardadas))
        motor.columnas = recienGuardadas->columnas;
    else
        CargaColumnas(db, leido->tabla, leido->tasa, motor.columnas);

    const std::vector<FilaComision> comisiones = LeeComisiones(db, clave);

    Insercion insercion(db, QStringLiteral("insert into T_Resultado values"), {clave}, 10);
    pendientes = &insercion;
    const ParametrosRescate rescate = LeeParametrosRescate(db, AEntero32(ValorANumero(clave)));
    try {
        GeneraFilas(
            motor, datos, comisiones,
            [&](const FilaResultado& f) {
                const ValoresGarantizados& g = f.garantia;
                const double valores[] = {f.edadAlcanzada, f.primaRiesgo, f.primaNeta, f.primaTarifa, g.anualidad,
                                          g.seguro,        f.reserva,     g.rescate,   g.saldado,     g.prorrogado};
                insercion.agrega(f.anio, valores);
            },
            rescate);
    } catch (const ErrorVV& e) {
        // A failure of the rules keeps the rows before it; one of the store undoes the unit.
        if (!e.deBaseDatos())
            insercion.escribe();
        throw;
    }
    insercion.escribe();
}

bool fGeneraResultado(Entorno& entorno, double escenario)
{
    RelojArena reloj(entorno.dialogos);
    return EjecutaConservandoLoHecho(entorno, RutinaGeneraResultado, [&] { InsertaResultados(entorno, escenario); });
}

} // namespace valvida
