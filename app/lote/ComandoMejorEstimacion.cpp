#include "app/lote/Comandos.h"

#include "actuarial/cartera/MejorEstimacion.h"
#include "app/lote/BaseLote.h"
#include "app/lote/DialogosConsola.h"
#include "app/lote/Lote.h"
#include "core/Curvas.h"
#include "core/ErrorVV.h"

namespace valvida {

namespace {

int Falla(QTextStream& err, const QString& texto)
{
    err << texto << '\n';
    err.flush();
    return 1;
}

} // namespace

int ComandoImportarCurva(const QStringList& argumentos, QTextStream& out, QTextStream& err)
{
    DialogosConsola dialogos(err);
    try {
        BaseLote base(argumentos.at(0), dialogos);
        const std::int32_t curva =
            ImportaCurva(base.entorno().db, argumentos.at(1), argumentos.at(2), argumentos.at(3));
        out << curva << '\n';
        out.flush();
        return 0;
    } catch (const ErrorVV& e) {
        return Falla(err, QStringLiteral("No se importó la curva: ") + e.descripcion());
    }
}

int ComandoMejorEstimacion(const QStringList& argumentos, QTextStream& out, QTextStream& err)
{
    const std::optional<std::int32_t> hipotesis = EscenarioArgumento(argumentos.at(2));
    const std::optional<std::int32_t> curva = EscenarioArgumento(argumentos.at(3));
    const bool conFlujos = argumentos.size() == 7;
    if (!hipotesis || !curva || (conFlujos && argumentos.at(5) != QLatin1String("--flujos")))
        return ErrorDeUso(err);
    DialogosConsola dialogos(err);
    ResultadoMejorEstimacion r;
    try {
        BaseLote base(argumentos.at(0), dialogos);
        r = ValoraMejorEstimacion(base.entorno().db, argumentos.at(1), *hipotesis, *curva, argumentos.at(4),
                                  conFlujos ? argumentos.at(6) : QString());
    } catch (const ErrorVV& e) {
        return Falla(err, QStringLiteral("No se valoró la cartera: ") + e.descripcion());
    }
    if (r.estado != Recorrido::Estado::Valorada)
        return Falla(err, r.rechazo);
    for (const QString& linea : ResumenMejorEstimacion(r))
        out << linea << '\n';
    out.flush();
    return 0;
}

} // namespace valvida
