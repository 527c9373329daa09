#include "app/lote/Comandos.h"

#include "app/lote/BaseEjemplo.h"
#include "app/lote/DialogosConsola.h"
#include "app/lote/Lote.h"
#include "core/BaseDatos.h"
#include "core/ErrorVV.h"

namespace valvida {

int ComandoCrearBd(const QStringList& argumentos, QTextStream& out, QTextStream& err)
{
    const QString opcionEjemplo = QStringLiteral("--ejemplo");
    const bool ejemplo = argumentos.size() == 2;
    // The option alone is a forgotten path, not a database to be named "--ejemplo".
    if ((ejemplo && argumentos.first() != opcionEjemplo) || (!ejemplo && argumentos.first() == opcionEjemplo))
        return ErrorDeUso(err);
    const QString& ruta = argumentos.last();
    DialogosConsola dialogos(err);
    try {
        if (ejemplo)
            CreaBaseEjemplo(ruta, dialogos);
        else
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
