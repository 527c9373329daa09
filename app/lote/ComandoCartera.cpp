#include "app/lote/Comandos.h"

#include "actuarial/cartera/Cartera.h"
#include "actuarial/cartera/ResumenCartera.h"
#include "app/lote/BaseLote.h"
#include "app/lote/DialogosConsola.h"
#include "app/lote/Lote.h"
#include "core/BaseDatos.h"
#include "core/ErrorVV.h"

#include <QFileInfo>

namespace valvida {

int ComandoCartera(const QStringList& argumentos, QTextStream& out, QTextStream& err)
{
    QStringList resto = argumentos;
    QString resumen;
    if (resto.size() == 5) {
        if (resto.at(0) != QLatin1String("--resumen"))
            return ErrorDeUso(err);
        resumen = resto.at(1);
        resto = resto.mid(2);
    }
    const QString &entrada = resto.at(1), &salida = resto.at(2);
    DialogosConsola dialogos(err);
    ResultadoCartera resultado;
    try {
        BaseLote base(resto.at(0), dialogos);
        const QSqlDatabase& db = base.entorno().db;
        // The summary may replace neither the database, the portfolio nor its output: refused before
        // the portfolio is valued.
        const std::vector<Protegido> protegidos{BaseDatosAbierta(db),
                                                {entrada, QStringLiteral(" es la cartera que se valora")},
                                                {salida, QStringLiteral(" es la salida de la cartera")}};
        if (!resumen.isEmpty()) {
            for (const Protegido& p : protegidos)
                RechazaProtegido(resumen, p);
            if (QFileInfo(resumen).absoluteFilePath() == QFileInfo(salida).absoluteFilePath())
                throw ErrorVV::permisoDenegado(resumen + protegidos.back().motivo);
        }
        resultado = ValoraCartera(db, entrada, salida);
        if (!resumen.isEmpty() && resultado.estado == ResultadoCartera::Estado::Valorada) {
            try {
                EscribeCuadroCartera(LeeCuadroCartera(db, resultado, entrada, salida), resumen, protegidos);
            } catch (const ErrorVV& e) {
                // The valued portfolio stands; only its summary is missing.
                err << QStringLiteral("No se escribió el resumen de la cartera: ") << e.descripcion() << '\n';
                err.flush();
                return 1;
            }
        }
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
