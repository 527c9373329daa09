#include "core/Cargadores.h"

#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"
#include "core/Texto.h"

#include <QIODevice>
#include <QSqlRecord>

namespace valvida {

namespace {

const QString RutinaCargaFlexgrid = QStringLiteral("Rutina: CargaFlexgrid");

// One row's cells as text, trimmed, joined by the separator; throws at a null. In a file a
// stored text is made safe from being read as a formula.
QString UneCeldas(const QSqlQuery& q, int columnas, QChar separador, bool csv = false, const Formatos& formatos = {})
{
    QString fila;
    for (int c = 0; c < columnas; ++c) {
        const QVariant valor = q.value(c);
        const std::optional<Formato> formato = formatos.value(c);
        const QString texto =
            formato && !valor.isNull() ? TextoPantalla(ValorANumero(valor), *formato) : ValorATexto(valor).trimmed();
        fila += csv && valor.typeId() == QMetaType::QString ? CeldaCsv(texto) : texto;
        fila += separador;
    }
    if (!fila.isEmpty())
        fila.chop(1);
    return fila;
}

void EscribeLinea(QIODevice& archivo, const QString& linea)
{
    const QByteArray bytes = CodificaWindows1252(linea) + "\r\n";
    if (archivo.write(bytes) != bytes.size())
        throw ErrorVV::entradaSalida(archivo.errorString());
}

} // namespace

void CargaFlexgrid(Entorno& entorno, const QString& sql, ReceptorFilas& grid, const QVariantList& valores,
                   const Formatos& formatos)
{
    try {
        QSqlQuery q = Consulta(entorno.db, sql, valores);
        const int columnas = q.record().count();
        while (Siguiente(q))
            grid.AddItem(UneCeldas(q, columnas, QLatin1Char('\t'), false, formatos));
    } catch (const ErrorVV& e) {
        grid.finCarga();
        MostrarError(entorno.dialogos, RutinaCargaFlexgrid, e);
        return;
    }
    grid.finCarga();
}

void LlenaCombo(Entorno& entorno, const QString& sql, ReceptorLista& lista, const QVariantList& valores)
{
    try {
        QSqlQuery q = Consulta(entorno.db, sql, valores);
        while (Siguiente(q)) {
            const QString texto = ValorATexto(q.value(1));
            const std::int32_t clave = AEntero32(ValorANumero(q.value(0)));
            lista.AddItem(texto);
            lista.setItemData(lista.NewIndex(), clave);
        }
    } catch (const ErrorVV& e) {
        MostrarError(entorno.dialogos, QStringLiteral("Rutina: LlenaCombo"), e);
    }
}

void VaciaCsv(Entorno& entorno, const QString& sql, QIODevice& archivo, const QVariantList& valores)
{
    // A query that fails ends its section with the box; a write that fails ends the whole file,
    // so it is not caught here.
    QSqlQuery q;
    QString lineas;
    bool cabeceraPendiente = true;
    const auto fila = [&] {
        try {
            if (cabeceraPendiente)
                q = Consulta(entorno.db, sql, valores);
            if (!Siguiente(q))
                return false;
            const int columnas = q.record().count();
            // The header goes out with the first row only, so a query without rows writes nothing.
            if (cabeceraPendiente) {
                QStringList nombres;
                for (int c = 0; c < columnas; ++c)
                    nombres << NombreColumna(q.record(), c).trimmed();
                lineas = nombres.join(QLatin1Char(',')) + QStringLiteral("\r\n");
                cabeceraPendiente = false;
            }
            lineas += UneCeldas(q, columnas, QLatin1Char(','), true);
            return true;
        } catch (const ErrorVV& e) {
            MostrarError(entorno.dialogos, RutinaCargaFlexgrid, e);
            return false;
        }
    };
    while (fila()) {
        EscribeLinea(archivo, lineas);
        lineas.clear();
    }
}

} // namespace valvida
