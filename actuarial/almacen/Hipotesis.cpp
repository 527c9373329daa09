#include "actuarial/almacen/Hipotesis.h"

#include "actuarial/almacen/Conmutados.h"
#include "core/BaseDatos.h"
#include "core/ErrorVV.h"
#include "core/Hipotesis.h"
#include "core/Numeros.h"

namespace valvida {

std::optional<HipotesisProyeccion> LeeHipotesis(const QSqlDatabase& db, std::int32_t hipotesis)
{
    // The set as its form reads it, turned into what the projection reads by age and year.
    const std::optional<ConjuntoHipotesis> c = LeeConjuntoHipotesis(db, hipotesis);
    if (!c)
        return std::nullopt;
    HipotesisProyeccion h;
    h.porcentajeMortalidad = c->porcentajeMortalidad;
    h.gastoPoliza = c->gastoPoliza;
    h.porcentajeGastoPrima = c->porcentajeGastoPrima;
    h.inflacionGastos = c->inflacionGastos;
    const std::vector<FilaDetalle> detalle = LeeFilasDetalle(db, c->tabla);
    if (detalle.empty())
        throw ErrorVV(ErrorVV::SinRegistroActual,
                      QStringLiteral("La tabla de mortalidad %1 de la hipótesis no tiene edades").arg(c->tabla));
    h.primeraEdad = AEntero32(*detalle.front().edad);
    for (const FilaDetalle& f : detalle) {
        // Ages in order without gaps: the projection reads q by position.
        if (!f.edad || !f.qx || AEntero32(*f.edad) != h.primeraEdad + static_cast<std::int32_t>(h.qx.size()))
            throw ErrorVV(
                ErrorVV::UsoNoValidoDeNull,
                QStringLiteral("La tabla de mortalidad %1 de la hipótesis tiene edades incompletas").arg(c->tabla));
        h.qx.push_back(*f.qx);
    }
    // A year without a row takes the rate of the row before it, 0 before the first.
    h.caida.assign(1, 0.0);
    for (const FilaCaida& fila : c->caidas) {
        if (fila.anio < 1)
            continue;
        const double anterior = h.caida.back();
        h.caida.resize(static_cast<std::size_t>(fila.anio), anterior);
        h.caida.push_back(fila.tasa);
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
