#include "app/lote/Comandos.h"

#include "actuarial/almacen/Calculo.h"
#include "app/lote/BaseLote.h"
#include "app/lote/DialogosConsola.h"
#include "app/lote/Lote.h"
#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/ErrorVV.h"

#include <QSqlRecord>

namespace valvida {

namespace {

// The scenario's results as CSV: the column names, then one line per row in policy-year order.
void EscribeResultados(const QSqlDatabase& db, std::int32_t escenario, QTextStream& out)
{
    QSqlQuery q =
        Consulta(db, QStringLiteral("select * from T_Resultado where Escenario = ? order by Anio_Poliza"), {escenario});
    const QSqlRecord registro = q.record();
    QStringList nombres;
    for (int c = 0; c < registro.count(); ++c)
        nombres << NombreColumna(registro, c);
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
    const std::optional<std::int32_t> escenario = EscenarioArgumento(argumentos.at(1));
    if (!escenario)
        return ErrorDeUso(err);

    DialogosConsola dialogos(err);
    std::optional<BaseLote> base;
    try {
        base.emplace(ruta, dialogos);
    } catch (const ErrorVV& e) {
        err << QStringLiteral("No se abrió la base de datos: ") << e.descripcion() << '\n';
        err.flush();
        return 1;
    }
    // Rows left from an earlier calculation are not this one's results: a calculation that
    // failed prints nothing, for a script that does not look at the status.
    if (CalculaEscenario(base->entorno(), *escenario)) {
        try {
            // Whole or not at all: a read that fails half way prints no part of the rows.
            QString filas;
            QTextStream texto(&filas);
            EscribeResultados(base->entorno().db, *escenario, texto);
            texto.flush();
            out << filas;
        } catch (const ErrorVV& e) {
            MostrarError(dialogos, QStringLiteral("Rutina: calcular"), e);
        }
    }
    out.flush();
    return dialogos.cajas() > 0 ? 1 : 0;
}

} // namespace valvida
