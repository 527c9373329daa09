#include "app/lote/Comandos.h"

#include "app/lote/BaseLote.h"
#include "app/lote/DialogosConsola.h"
#include "app/lote/Lote.h"
#include "core/ErrorVV.h"
#include "core/ExportaEscenario.h"

namespace valvida {

int ComandoExportar(const QStringList& argumentos, QTextStream& out, QTextStream& err)
{
    const QString& rutaBd = argumentos.at(0);
    const QString& textoEscenario = argumentos.at(1);
    const QString& archivo = argumentos.at(2);
    const auto falla = [&err](const QString& descripcion) {
        err << QStringLiteral("No se exportó el escenario: ") << descripcion << '\n';
        err.flush();
        return 1;
    };
    const std::optional<std::int32_t> escenario = EscenarioArgumento(textoEscenario);
    if (!escenario)
        return ErrorDeUso(err);

    DialogosConsola dialogos(err);
    try {
        BaseLote base(rutaBd, dialogos);
        ExportaEscenario(base.entorno(), *escenario, archivo);
    } catch (const ErrorVV& e) {
        return falla(e.descripcion());
    }
    // A section the store could not read was reported as a box on stderr; the file is incomplete.
    if (dialogos.cajas() > 0)
        return 1;
    out << QStringLiteral("Escenario exportado: ") << archivo << '\n';
    out.flush();
    return 0;
}

} // namespace valvida
