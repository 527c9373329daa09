#include "actuarial/almacen/Resultados.h"

#include "core/BaseDatos.h"
#include "core/Plazos.h"

namespace valvida {

ResultadosGrafico LeeResultadosGrafico(const QSqlDatabase& db, std::int32_t escenario)
{
    ResultadosGrafico r;
    // From the scenario itself, so the labels are right even for a scenario a list lacks.
    QSqlQuery plazo =
        Consulta(db, QStringLiteral("select Plazo_Seguro from T_Escenario where Escenario = ?"), {escenario});
    if (Siguiente(plazo) && !plazo.isNull(0))
        r.porMeses = EsCoberturaMensual(static_cast<std::int32_t>(ValorANumero(plazo.value(0))));
    QSqlQuery q = Consulta(db,
                           QStringLiteral("Select Edad_Alcanzada, Prima_Riesgo, Prima_Neta_Nivelada, Prima_Tarifa, "
                                          "Reserva_Matematica, Rescate from T_Resultado where Escenario = ? "
                                          "order by Anio_Poliza"),
                           {escenario});
    while (Siguiente(q))
        r.filas << FilaGrafico{ValorANumero(q.value(0)), ValorANumero(q.value(1)), ValorANumero(q.value(2)),
                               ValorANumero(q.value(3)), ValorANumero(q.value(4)), ValorANumero(q.value(5))};
    return r;
}

std::optional<PrimasEscenario> LeePrimasEscenario(const QSqlDatabase& db, std::int32_t escenario)
{
    QSqlQuery q = Consulta(db,
                           QStringLiteral("select E.Suma_Asegurada, R.Prima_Neta_Nivelada, R.Prima_Tarifa "
                                          "from T_Escenario E, T_Resultado R where E.Escenario = ? "
                                          "and R.Escenario = E.Escenario order by R.Anio_Poliza limit 1"),
                           {escenario});
    if (!Siguiente(q))
        return std::nullopt;
    return PrimasEscenario{ValorANumero(q.value(0)), ValorANumero(q.value(1)), ValorANumero(q.value(2))};
}

} // namespace valvida
