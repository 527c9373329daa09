#include "actuarial/almacen/Generacion.h"

#include "actuarial/almacen/Escritura.h"
#include "actuarial/motor/Generacion.h"
#include "actuarial/motor/Motor.h"
#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/Numeros.h"

#include <QSqlRecord>

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
    QSqlQuery q = Consulta(db,
                           QStringLiteral("select Edad, Cx, Dx, Mx, Nx, Rx, Sx, px, dex, lx from T_Conmutado "
                                          "where Tabla_Mortalidad = ? and Interes_Tecnico = ? order by Edad asc"),
                           {tabla, tasa});
    while (Siguiente(q)) {
        const std::size_t i = c.indice(AEntero32(ValorANumero(q.value(0))));
        int campo = 1;
        for (std::vector<double>* columna : {&c.Cx, &c.Dx, &c.Mx, &c.Nx, &c.Rx, &c.Sx, &c.px, &c.dex, &c.lx})
            (*columna)[i] = ValorANumero(q.value(campo++));
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

void InsertaResultados(Entorno& entorno, double escenario)
{
    const QSqlDatabase& db = entorno.db;
    QSqlQuery q = Consulta(db, QStringLiteral("select * from T_Escenario where Escenario = ?"), {escenario});
    if (!Siguiente(q))
        throw ErrorVV::sinRegistroActual();
    const QSqlRecord r = q.record();
    const auto campo = [&](const char* nombre) { return q.value(r.indexOf(QLatin1String(nombre))); };
    const QVariant clave = campo("Escenario");
    const QVariant tabla = campo("Tabla_Mortalidad");
    const QVariant tasa = campo("Interes_Tecnico");
    const DatosEscenario datos{NumeroOpcional(campo("Edad")),
                               NumeroOpcional(campo("Plazo_Seguro")),
                               NumeroOpcional(campo("Plazo_Pago")),
                               NumeroOpcional(campo("Tipo_Seguro")),
                               NumeroOpcional(tasa),
                               NumeroOpcional(campo("Tipo_Comision"))};
    q.finish();

    Motor motor([&entorno](const FalloMotor& f) { MostrarError(entorno.dialogos, f.rutina, f.error); });
    CargaColumnas(db, tabla, tasa, motor.columnas);

    const std::vector<FilaComision> comisiones = LeeComisiones(db, clave);

    Insercion insercion(db, QStringLiteral("insert into T_Resultado values(?,?,?,?,?,?,?,?,?,?,?,?)"));
    GeneraFilas(motor, datos, comisiones, [&](const FilaResultado& f) {
        // Annuity, insurance and the non-forfeiture values are not computed: 0.
        insercion.ejecuta({clave, f.anio, f.edadAlcanzada, f.primaRiesgo, f.primaNeta, f.primaTarifa, 0.0, 0.0,
                           f.reserva, 0.0, 0.0, 0.0});
    });
}

bool fGeneraResultado(Entorno& entorno, double escenario)
{
    RelojArena reloj(entorno.dialogos);
    return EjecutaConservandoLoHecho(entorno, RutinaGeneraResultado, [&] { InsertaResultados(entorno, escenario); });
}

} // namespace valvida
