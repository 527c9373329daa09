#include "app/lote/Comandos.h"

#include "app/lote/BaseLote.h"
#include "app/lote/DialogosConsola.h"
#include "core/ErrorVV.h"
#include "core/ImportaTabla.h"

namespace valvida {

int ComandoImportar(const QStringList& argumentos, QTextStream& out, QTextStream& err)
{
    const QString& rutaBd = argumentos.at(0);
    const QString& archivo = argumentos.at(1);
    DialogosConsola dialogos(err);
    std::optional<BaseLote> base;
    try {
        base.emplace(rutaBd, dialogos);
    } catch (const ErrorVV& e) {
        err << QStringLiteral("No se abrió la base de datos: ") << e.descripcion() << '\n';
        err.flush();
        return 1;
    }
    const std::optional<int> tabla = ImportaTabla(base->entorno(), archivo);
    if (!tabla || dialogos.cajas() > 0)
        return 1;
    out << *tabla << '\n';
    out.flush();
    return 0;
}

} // namespace valvida
