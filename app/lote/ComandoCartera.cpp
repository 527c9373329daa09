#include "app/lote/Comandos.h"

#include "actuarial/cartera/Cartera.h"
#include "app/lote/BaseLote.h"
#include "app/lote/DialogosConsola.h"
#include "core/ErrorVV.h"

namespace valvida {

int ComandoCartera(const QStringList& argumentos, QTextStream& out, QTextStream& err)
{
    DialogosConsola dialogos(err);
    ResultadoCartera resultado;
    try {
        BaseLote base(argumentos.at(0), dialogos);
        resultado = ValoraCartera(base.entorno().db, argumentos.at(1), argumentos.at(2));
    } catch (const ErrorVV& e) {
        resultado.estado = ResultadoCartera::Estado::Rechazada;
        resultado.rechazo = QStringLiteral("No se valoró la cartera: ") + e.descripcion();
    }
    if (resultado.estado != ResultadoCartera::Estado::Valorada) {
        err << resultado.rechazo << '\n';
        err.flush();
        return 1;
    }
    for (const QString& linea : ResumenCartera(resultado))
        out << linea << '\n';
    out.flush();
    return 0;
}

} // namespace valvida
