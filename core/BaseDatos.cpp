#include "core/BaseDatos.h"

#include "core/Constantes.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>
#include <QUrl>
#include <QUuid>

namespace valvida {

QString RutaBaseDatos(const QString& carpeta)
{
    QString ruta = carpeta;
    if (!ruta.endsWith(QLatin1Char('/')))
        ruta += QLatin1Char('/');
    return ruta + NombreBaseDatos;
}

const QStringList& TablasEsquema()
{
    static const QStringList tablas = {
        QStringLiteral("C_TablaMortalidad"), QStringLiteral("T_DetalleMortalidad"), QStringLiteral("T_Conmutado"),
        QStringLiteral("T_Escenario"),       QStringLiteral("T_Comision"),          QStringLiteral("T_Resultado"),
        QStringLiteral("C_TipoSeguro"),      QStringLiteral("C_TipoComision"),
    };
    return tablas;
}

QSqlDatabase AbreBaseDatos(const QString& ruta, const QString& nombreConexion)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nombreConexion);
        // mode=rw opens read-write and never creates: a missing file is an error of the open.
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        db.setDatabaseName(QUrl::fromLocalFile(QFileInfo(ruta).absoluteFilePath()).toString(QUrl::FullyEncoded) +
                           QStringLiteral("?mode=rw"));
        try {
            if (!db.open())
                throw ErrorVV::deSql(db.lastError());
            // A file that is not a database only fails at its first read.
            QSqlQuery q = Consulta(db, QStringLiteral("select name from sqlite_master where type = 'table'"));
            QStringList presentes;
            while (Siguiente(q))
                presentes << q.value(0).toString().toLower();
            for (const QString& tabla : TablasEsquema()) {
                if (!presentes.contains(tabla.toLower()))
                    throw ErrorVV(1, QStringLiteral("La base de datos no tiene la tabla ") + tabla);
            }
            q.finish();
            Ejecuta(db, QStringLiteral("PRAGMA synchronous=NORMAL")); // fewer syncs per commit; journal kept
            return db;
        } catch (...) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(nombreConexion);
            throw;
        }
    }
}

void CierraBaseDatos(const QString& nombreConexion)
{
    {
        QSqlDatabase db = QSqlDatabase::database(nombreConexion, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(nombreConexion);
}

QString TextoEsquema()
{
    QFile archivo(QStringLiteral(":/db/schema.sql"));
    if (!archivo.open(QIODevice::ReadOnly))
        throw ErrorVV(53, QStringLiteral("No se encontró el esquema de la base de datos"));
    return QString::fromUtf8(archivo.readAll());
}

namespace {

QStringList SentenciasEsquema()
{
    QString sinComentarios;
    for (const QString& linea : TextoEsquema().split(QLatin1Char('\n'))) {
        if (!linea.trimmed().startsWith(QStringLiteral("--")))
            sinComentarios += linea + QLatin1Char('\n');
    }
    QStringList sentencias;
    for (const QString& s : sinComentarios.split(QLatin1Char(';'))) {
        if (!s.trimmed().isEmpty())
            sentencias << s.trimmed();
    }
    return sentencias;
}

} // namespace

void CreaBaseDatos(const QString& ruta)
{
    const QFileInfo destino(ruta);
    if (destino.exists() || destino.isSymLink())
        throw ErrorVV(58, QStringLiteral("El archivo ya existe: ") + ruta);
    if (!destino.absoluteDir().exists())
        throw ErrorVV(76, QStringLiteral("No se encontró la carpeta: ") + destino.absolutePath());

    // Built under a temporary name beside the target and renamed when complete, so a failure
    // leaves no half-made database under the chosen name.
    const QString temporal = destino.absoluteFilePath() + QStringLiteral(".") +
                             QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".tmp");
    const QString conexion = QStringLiteral("valvida-crear-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    try {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexion);
            db.setDatabaseName(temporal);
            if (!db.open())
                throw ErrorVV::deSql(db.lastError());
            {
                Transaccion t(db);
                for (const QString& sentencia : SentenciasEsquema())
                    Ejecuta(db, sentencia);
                t.confirma();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(conexion);
        if (!QFile::rename(temporal, destino.absoluteFilePath()))
            throw ErrorVV(58, QStringLiteral("No se pudo crear el archivo: ") + ruta);
    } catch (...) {
        if (QSqlDatabase::contains(conexion))
            QSqlDatabase::removeDatabase(conexion);
        QFile::remove(temporal);
        throw;
    }
}

namespace {

QSqlQuery Prepara(const QSqlDatabase& db, const QString& sql, const QVariantList& valores)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw ErrorVV::deSql(q.lastError());
    for (const QVariant& v : valores)
        q.addBindValue(v);
    if (!q.exec())
        throw ErrorVV::deSql(q.lastError());
    return q;
}

} // namespace

void Ejecuta(const QSqlDatabase& db, const QString& sql, const QVariantList& valores)
{
    Prepara(db, sql, valores);
}

QSqlQuery Consulta(const QSqlDatabase& db, const QString& sql, const QVariantList& valores)
{
    return Prepara(db, sql, valores);
}

bool Siguiente(QSqlQuery& consulta)
{
    if (consulta.next())
        return true;
    if (consulta.lastError().isValid())
        throw ErrorVV::deSql(consulta.lastError());
    return false;
}

std::int32_t NuevoNumero(const QSqlDatabase& db, const QString& tabla, const QString& columna)
{
    QSqlQuery q = Consulta(db, QStringLiteral("select max(%1) from %2").arg(columna, tabla));
    if (!Siguiente(q) || q.isNull(0))
        return 1;
    return AEntero32(ValorANumero(q.value(0)) + 1);
}

QString ValorATexto(const QVariant& valor)
{
    if (valor.isNull())
        throw ErrorVV::usoNoValidoDeNull();
    switch (valor.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return TextoNumero(valor.toDouble());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return QString::number(valor.toLongLong());
    default:
        return valor.toString();
    }
}

double ValorANumero(const QVariant& valor)
{
    if (valor.isNull())
        throw ErrorVV::usoNoValidoDeNull();
    if (valor.typeId() == QMetaType::QString)
        return ANumero(valor.toString());
    return valor.toDouble();
}

Transaccion::Transaccion(const QSqlDatabase& db)
    : m_db(db)
{
    if (!m_db.transaction())
        throw ErrorVV::deSql(m_db.lastError());
    m_abierta = true;
}

Transaccion::~Transaccion()
{
    if (m_abierta)
        m_db.rollback();
}

void Transaccion::confirma()
{
    if (!m_db.commit())
        throw ErrorVV::deSql(m_db.lastError());
    m_abierta = false;
}

} // namespace valvida
