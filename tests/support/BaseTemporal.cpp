#include "support/BaseTemporal.h"

#include "core/BaseDatos.h"
#include "core/ErrorVV.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include <stdexcept>

namespace valvida::prueba {

QByteArray LeeArchivo(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(no existe)");
}

namespace {

// Creates or drops a database on the test server, through its maintenance database.
void AdministraServidor(const QString& sentencia)
{
    const QString conexion = QStringLiteral("prueba-admin-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), conexion);
        db.setHostName(BaseTemporal::servidor());
        db.setDatabaseName(QStringLiteral("postgres"));
        if (!db.open())
            throw std::runtime_error(("test server unreachable: " + db.lastError().text()).toStdString());
        QSqlQuery q(db);
        if (!q.exec(sentencia))
            throw std::runtime_error(("test server refused: " + sentencia).toStdString());
        db.close();
    }
    QSqlDatabase::removeDatabase(conexion);
}

} // namespace

QString BaseTemporal::servidor()
{
    return qEnvironmentVariable("VALVIDA_PRUEBA_PG");
}

BaseTemporal::BaseTemporal(Contenido contenido)
    : m_conexion(QStringLiteral("prueba-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary folder");
    if (!servidor().isEmpty()) {
        m_base = QStringLiteral("prueba_") + QUuid::createUuid().toString(QUuid::Id128);
        AdministraServidor(QStringLiteral("create database ") + m_base);
    }
    if (contenido == Vacia)
        return;
    CreaBaseDatos(ruta());
    m_entorno = std::make_unique<Entorno>(Entorno{AbreBaseDatos(ruta(), m_conexion), dialogos, m_dir.path()});
}

BaseTemporal::~BaseTemporal()
{
    m_entorno.reset();
    if (QSqlDatabase::contains(m_conexion))
        CierraBaseDatos(m_conexion);
    if (!m_base.isEmpty())
        AdministraServidor(QStringLiteral("drop database if exists ") + m_base + QStringLiteral(" with (force)"));
}

QString BaseTemporal::ruta() const
{
    if (!m_base.isEmpty())
        return QStringLiteral("postgresql:///%1?host=%2").arg(m_base, servidor());
    return m_dir.filePath(QStringLiteral("cavi.mdb"));
}

QSqlDatabase BaseTemporal::db() const
{
    return QSqlDatabase::database(m_conexion, false);
}

void BaseTemporal::sql(const QString& sentencia, const QVariantList& valores)
{
    try {
        Ejecuta(db(), sentencia, valores);
    } catch (const ErrorVV& e) {
        throw std::runtime_error(("setup statement failed: " + sentencia + " -> " + e.descripcion()).toStdString());
    }
}

QStringList BaseTemporal::filas(const QString& consulta, const QVariantList& valores) const
{
    QSqlQuery q = Consulta(db(), consulta, valores);
    QStringList filas;
    while (Siguiente(q)) {
        QStringList celdas;
        for (int c = 0; c < q.record().count(); ++c)
            celdas << (q.isNull(c) ? QStringLiteral("NULL") : ValorATexto(q.value(c)));
        filas << celdas.join(QLatin1Char('|'));
    }
    return filas;
}

QString BaseTemporal::archivo(const QString& nombre, const QByteArray& contenido) const
{
    const QString ruta = m_dir.filePath(nombre);
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(contenido) != contenido.size())
        throw std::runtime_error(("cannot write test file " + ruta).toStdString());
    return ruta;
}

} // namespace valvida::prueba
