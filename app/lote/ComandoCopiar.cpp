#include "app/lote/Comandos.h"

#include "core/BaseDatos.h"
#include "core/ErrorVV.h"

#include <QSqlRecord>
#include <QUuid>

namespace valvida {

namespace {

// A connection of the copy's own, closed however the copy ends. The copy's handles go first.
class Conexion
{
  public:
    Conexion(const QString& base, const QString& papel)
        : m_nombre(QStringLiteral("valvida-copiar-") + papel + QLatin1Char('-') +
                   QUuid::createUuid().toString(QUuid::WithoutBraces))
        , m_db(AbreBaseDatos(base, m_nombre))
    {
    }
    ~Conexion()
    {
        m_db = QSqlDatabase();
        CierraBaseDatos(m_nombre);
    }
    Conexion(const Conexion&) = delete;
    Conexion& operator=(const Conexion&) = delete;

    const QSqlDatabase& db() const { return m_db; }

  private:
    QString m_nombre;
    QSqlDatabase m_db;
};

qint64 Filas(const QSqlDatabase& db, const QString& tabla)
{
    QSqlQuery q = Consulta(db, QStringLiteral("select count(*) from ") + tabla);
    Siguiente(q);
    return q.value(0).toLongLong();
}

// Copies one table's rows into the same table, empty, of `destino`. The source is
// read by the destination's column names: a catalogue may have columns of its own after its two,
// which the new database has no place for.
void CopiaTabla(const QSqlDatabase& origen, const QSqlDatabase& destino, const QString& tabla)
{
    const QSqlRecord registro = Consulta(destino, QStringLiteral("select * from %1 where 1 = 0").arg(tabla)).record();
    QStringList columnas, marcas;
    for (int c = 0; c < registro.count(); ++c) {
        columnas << registro.fieldName(c);
        marcas << QStringLiteral("?");
    }
    Sentencia inserta(destino, QStringLiteral("insert into %1 values(%2)").arg(tabla, marcas.join(QLatin1Char(','))));
    QSqlQuery lee = Consulta(origen, QStringLiteral("select %1 from %2").arg(columnas.join(QLatin1Char(',')), tabla));
    // Each value is bound as the store gave it: doubles to the bit, nulls as nulls, texts as texts.
    while (Siguiente(lee)) {
        for (int c = 0; c < registro.count(); ++c)
            inserta.enlaza(c, lee.value(c));
        inserta.ejecuta();
    }
}

} // namespace

int ComandoCopiar(const QStringList& argumentos, QTextStream& out, QTextStream& err)
{
    const QString& origen = argumentos.at(0);
    const QString& destino = argumentos.at(1);
    const QStringList tablas = TablasEsquema() + TablasAmpliacion();
    qint64 total = 0;
    try {
        Conexion fuente(origen, QStringLiteral("origen"));
        {
            // The source as of one moment: never a scenario without its results.
            Instantanea lectura(fuente.db());
            CreaBaseDatos(destino, [&](const QString& temporal) {
                Conexion nueva(temporal, QStringLiteral("destino"));
                Transaccion t(nueva.db());
                // The source's catalogues replace the ones the schema inserts.
                Ejecuta(nueva.db(), QStringLiteral("delete from C_TipoSeguro"));
                Ejecuta(nueva.db(), QStringLiteral("delete from C_TipoComision"));
                for (const QString& tabla : tablas) {
                    CopiaTabla(fuente.db(), nueva.db(), tabla);
                    // A row lost on the way, or written to the source by another program meanwhile.
                    const qint64 enOrigen = Filas(fuente.db(), tabla), enDestino = Filas(nueva.db(), tabla);
                    if (enOrigen != enDestino)
                        throw ErrorVV(ErrorVV::SinRegistroActual,
                                      QStringLiteral("La tabla %1 tiene %2 filas en el origen y %3 en la copia")
                                          .arg(tabla)
                                          .arg(enOrigen)
                                          .arg(enDestino));
                    total += enDestino;
                }
                t.confirma();
            });
        }
    } catch (const ErrorVV& e) {
        err << QStringLiteral("No se copió la base de datos: ") << e.descripcion() << '\n';
        err.flush();
        return 1;
    }
    out << QStringLiteral("Base de datos copiada: %1 (%2 filas en %3 tablas)")
               .arg(destino)
               .arg(total)
               .arg(tablas.size())
        << '\n';
    out.flush();
    return 0;
}

} // namespace valvida
