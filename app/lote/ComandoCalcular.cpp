#include "app/lote/Comandos.h"

#include "actuarial/almacen/Calculo.h"
#include "app/lote/DialogosConsola.h"
#include "app/lote/Lote.h"
#include "core/BaseDatos.h"
#include "core/Entorno.h"
#include "core/ErrorVV.h"

#include <QFileInfo>
#include <QSqlRecord>

namespace valvida {

namespace {

const QString ConexionCalcular = QStringLiteral("valvida-lote-calcular");

// The scenario's results as CSV: the column names, then one line per row in policy-year order.
void EscribeResultados(const QSqlDatabase& db, std::int32_t escenario, QTextStream& out)
{
    QSqlQuery q = Consulta(db, QStringLiteral("select * from T_Resultado where Escenario = ? order by Anio_Poliza"),
                           {escenario});
    const QSqlRecord registro = q.record();
    QStringList nombres;
    for (int c = 0; c < registro.count(); ++c)
        nombres << registro.fieldName(c);
    out << nombres.join(QLatin1Char(',')) << '\n';
    while (Siguiente(q)) {
        QStringList celdas;
        for (int c = 0; c < registro.count(); ++c)
            celdas << ValorATexto(q.value(c));
        out << celdas.join(QLatin1Char(',')) << '\n';
    }
}

} // namespace

int ComandoCalcular(const QStringList& argumentos, QTextStream& out, QTextStream& err)
{
    const QString& ruta = argumentos.at(0);
    bool entero = false;
    const std::int32_t escenario = argumentos.at(1).toInt(&entero);
    if (!entero) {
        err << UsoLote() << '\n';
        err.flush();
        return 2;
    }

    DialogosConsola dialogos(err);
    try {
        Entorno entorno{AbreBaseDatos(ruta, ConexionCalcular), dialogos, QFileInfo(ruta).absolutePath()};
        CalculaEscenario(entorno, escenario);
        try {
            EscribeResultados(entorno.db, escenario, out);
        } catch (const ErrorVV& e) {
            MostrarError(dialogos, QStringLiteral("Rutina: calcular"), e);
        }
    } catch (const ErrorVV& e) {
        err << QStringLiteral("No se abrió la base de datos: ") << e.descripcion() << '\n';
        err.flush();
        return 1;
    }
    out.flush();
    CierraBaseDatos(ConexionCalcular);
    return dialogos.cajas() > 0 ? 1 : 0;
}

} // namespace valvida
