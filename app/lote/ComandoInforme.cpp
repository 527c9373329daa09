#include "app/lote/Comandos.h"

#include "app/lote/BaseLote.h"
#include "app/lote/DialogosConsola.h"
#include "app/lote/Lote.h"
#include "core/ErrorVV.h"
#include "ui/InformeEscenario.h"

namespace valvida {

int ComandoInforme(const QStringList& argumentos, QTextStream& out, QTextStream& err)
{
    const std::optional<std::int32_t> escenario = EscenarioArgumento(argumentos.at(1));
    if (!escenario)
        return ErrorDeUso(err);
    DialogosConsola dialogos(err);
    try {
        BaseLote base(argumentos.at(0), dialogos);
        InformeEscenario(base.entorno(), *escenario, argumentos.at(2));
    } catch (const ErrorVV& e) {
        err << QStringLiteral("No se escribió el informe: ") << e.descripcion() << '\n';
        err.flush();
        return 1;
    }
    out << QStringLiteral("Informe escrito: ") << argumentos.at(2) << '\n';
    out.flush();
    return 0;
}

} // namespace valvida
