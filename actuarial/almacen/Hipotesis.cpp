#include "actuarial/almacen/Hipotesis.h"

#include "actuarial/almacen/Conmutados.h"
#include "core/BaseDatos.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"

namespace valvida {

std::optional<HipotesisProyeccion> LeeHipotesis(const QSqlDatabase& db, std::int32_t hipotesis)
{
    HipotesisProyeccion h;
    std::int32_t tabla = 0;
    {
        QSqlQuery q = Consulta(db,
                               QStringLiteral("select Tabla_Mortalidad, Porcentaje_Mortalidad, Gasto_Poliza, "
                                              "Porcentaje_Gasto_Prima, Inflacion_Gastos from T_Hipotesis "
                                              "where Hipotesis = ?"),
                               {hipotesis});
        if (!Siguiente(q))
            return std::nullopt;
        tabla = AEntero32(ValorANumero(q.value(0)));
        h.porcentajeMortalidad = ValorANumero(q.value(1));
        h.gastoPoliza = ValorANumero(q.value(2));
        h.porcentajeGastoPrima = ValorANumero(q.value(3));
        h.inflacionGastos = ValorANumero(q.value(4));
    }
    const std::vector<FilaDetalle> detalle = LeeFilasDetalle(db, tabla);
    if (detalle.empty())
        throw ErrorVV(ErrorVV::SinRegistroActual,
                      QStringLiteral("La tabla de mortalidad %1 de la hipótesis no tiene edades").arg(tabla));
    h.primeraEdad = AEntero32(*detalle.front().edad);
    for (const FilaDetalle& f : detalle) {
        // Ages in order without gaps: the projection reads q by position.
        if (!f.edad || !f.qx || AEntero32(*f.edad) != h.primeraEdad + static_cast<std::int32_t>(h.qx.size()))
            throw ErrorVV(
                ErrorVV::UsoNoValidoDeNull,
                QStringLiteral("La tabla de mortalidad %1 de la hipótesis tiene edades incompletas").arg(tabla));
        h.qx.push_back(*f.qx);
    }
    QSqlQuery q =
        Consulta(db, QStringLiteral("select Anio_Poliza, Tasa from T_Caida where Hipotesis = ? order by Anio_Poliza"),
                 {hipotesis});
    h.caida.assign(1, 0.0);
    while (Siguiente(q)) {
        const std::int32_t anio = AEntero32(ValorANumero(q.value(0)));
        const double tasa = ValorANumero(q.value(1));
        if (anio < 1)
            continue;
        // The years before this row take the rate before it.
        const double anterior = h.caida.back();
        h.caida.resize(static_cast<std::size_t>(anio), anterior);
        h.caida.push_back(tasa);
    }
    return h;
}

std::optional<CurvaTipos> LeeCurva(const QSqlDatabase& db, std::int32_t curva)
{
    QSqlQuery q = Consulta(db, QStringLiteral("select Tipo from T_Curva where Curva = ? order by Plazo"), {curva});
    CurvaTipos c;
    while (Siguiente(q))
        c.tipos.push_back(ValorANumero(q.value(0)));
    if (c.tipos.empty())
        return std::nullopt;
    return c;
}

} // namespace valvida
