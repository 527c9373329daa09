#include "app/lote/Comandos.h"

#include "core/BaseDatos.h"
#include "core/ErrorVV.h"

namespace valvida {

int ComandoCrearBd(const QStringList& argumentos, QTextStream& out, QTextStream& err)
{
    const QString& ruta = argumentos.at(0);
    try {
        CreaBaseDatos(ruta);
    } catch (const ErrorVV& e) {
        err << QStringLiteral("No se creó la base de datos: ") << e.descripcion() << '\n';
        err.flush();
        return 1;
    }
    out << QStringLiteral("Base de datos creada: ") << ruta << '\n';
    out.flush();
    return 0;
}

} // namespace valvida
