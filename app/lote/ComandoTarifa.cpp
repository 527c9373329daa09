#include "app/lote/Comandos.h"

#include "actuarial/almacen/Planes.h"
#include "app/lote/BaseLote.h"
#include "app/lote/DialogosConsola.h"
#include "app/lote/Lote.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"

namespace valvida {

namespace {

std::optional<std::int16_t> EdadArgumento(const QString& palabra)
{
    bool entera = false;
    const short edad = palabra.toShort(&entera);
    return entera ? std::optional<std::int16_t>(edad) : std::nullopt;
}

} // namespace

int ComandoTarifa(const QStringList& argumentos, QTextStream& out, QTextStream& err)
{
    const std::optional<std::int32_t> escenario = EscenarioArgumento(argumentos.at(1));
    std::optional<std::int16_t> desde;
    std::optional<std::int16_t> hasta;
    if (argumentos.size() == 4) {
        desde = EdadArgumento(argumentos.at(2));
        hasta = EdadArgumento(argumentos.at(3));
        if (!desde || !hasta || *desde > *hasta)
            return ErrorDeUso(err);
    }
    if (!escenario)
        return ErrorDeUso(err);

    const auto falla = [&err](const QString& texto) {
        err << texto << '\n';
        err.flush();
        return 1;
    };
    DialogosConsola dialogos(err);
    QStringList filas;
    try {
        BaseLote base(argumentos.at(0), dialogos);
        std::optional<DefinicionPlan> definicion = LeePlan(base.entorno().db, *escenario);
        if (!definicion)
            return falla(QStringLiteral("No existe el escenario %1").arg(*escenario));
        Plan plan(std::move(*definicion));
        std::vector<std::int16_t> edades;
        for (std::int32_t x = desde.value_or(plan.primeraEdad()); x <= hasta.value_or(plan.ultimaEdad()); ++x) {
            if (desde || plan.cabe(static_cast<std::int16_t>(x)))
                edades.push_back(static_cast<std::int16_t>(x));
        }
        // At no age: the reason the plan gives at the scenario's own age.
        if (edades.empty())
            edades.push_back(AEntero16(plan.definicion().escenario.edad.value_or(plan.primeraEdad())));
        for (const std::int16_t x : edades) {
            const std::variant<ValoresPlan, QString> valores = plan.enEdad(x, true);
            if (const QString* motivo = std::get_if<QString>(&valores))
                return falla(QStringLiteral("Edad %1: %2").arg(x).arg(*motivo));
            const ValoresPlan& v = std::get<ValoresPlan>(valores);
            filas << QStringList{QString::number(x), QString::number(v.plazoSeguro), QString::number(v.plazoPago),
                                 TextoNumero(v.primaNeta), TextoNumero(v.primaTarifa)}
                         .join(QLatin1Char(','));
        }
    } catch (const ErrorVV& e) {
        return falla(QStringLiteral("No se calculó la tarifa: ") + e.descripcion());
    }
    // Written only when every age was valued: a rate table with a gap is no rate table.
    out << QStringLiteral("Edad,Plazo_Seguro,Plazo_Pago,Prima_Neta_Nivelada,Prima_Tarifa\n");
    for (const QString& fila : filas)
        out << fila << '\n';
    out.flush();
    return 0;
}

} // namespace valvida
