#include "core/BaseDatos.h"

#include "core/Constantes.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>
#include <QUrl>
#include <QUuid>

#include <cerrno>
#include <csignal>

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

void CierraBaseDatos(const QString& nombreConexion)
{
    {
        QSqlDatabase db = QSqlDatabase::database(nombreConexion, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(nombreConexion);
}

namespace {

QString Recurso(const QString& nombre)
{
    QFile archivo(nombre);
    if (!archivo.open(QIODevice::ReadOnly))
        throw ErrorVV(53, QStringLiteral("No se encontró el esquema de la base de datos"));
    return QString::fromUtf8(archivo.readAll());
}

} // namespace

QString TextoEsquema()
{
    return Recurso(QStringLiteral(":/db/schema.sql"));
}

QString TextoAmpliaciones()
{
    return Recurso(QStringLiteral(":/db/ampliaciones.sql"));
}

const QStringList& TablasAmpliacion()
{
    static const QStringList tablas = [] {
        QStringList nombres;
        static const QRegularExpression crea(QStringLiteral("CREATE TABLE (\\w+)"));
        for (const QRegularExpressionMatch& m : crea.globalMatch(TextoAmpliaciones()))
            nombres << m.captured(1);
        return nombres;
    }();
    return tablas;
}

namespace {

// The statements of a script, without its comment lines.
QStringList Sentencias(const QString& texto)
{
    QString sinComentarios;
    for (const QString& linea : texto.split(QLatin1Char('\n'))) {
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

// The column names of a table in their physical order; none when there is no such table.
QStringList ColumnasDe(const QSqlDatabase& db, const QString& tabla)
{
    QSqlQuery q = Consulta(db, QStringLiteral("pragma table_info(") + tabla + QStringLiteral(")"));
    QStringList columnas;
    while (Siguiente(q))
        columnas << q.value(1).toString();
    return columnas;
}

// The columns of every table as the schema script makes them, read once from a copy built in
// memory: db/schema.sql stays the one description of the file.
QList<QStringList> ColumnasDelEsquema()
{
    QList<QStringList> lista;
    const QString conexion = QStringLiteral("valvida-esquema-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    try {
        QSqlDatabase memoria = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexion);
        memoria.setDatabaseName(QStringLiteral(":memory:"));
        if (!memoria.open())
            throw ErrorVV::deSql(memoria.lastError());
        for (const QString& sentencia : Sentencias(TextoEsquema() + TextoAmpliaciones()))
            Ejecuta(memoria, sentencia);
        for (const QString& tabla : TablasEsquema() + TablasAmpliacion())
            lista << ColumnasDe(memoria, tabla);
    } catch (...) {
        QSqlDatabase::removeDatabase(conexion);
        throw;
    }
    QSqlDatabase::removeDatabase(conexion);
    return lista;
}

// Every statement names its columns or relies on their order (inserts without a column list,
// whole-row exports), so each table must have the schema's columns in the schema's order. Names
// compare without regard to case, as the statements are written.
void CompruebaColumnas(const QSqlDatabase& db)
{
    static const QList<QStringList> esquema = ColumnasDelEsquema();
    static const QStringList todas = TablasEsquema() + TablasAmpliacion();
    for (qsizetype t = 0; t < todas.size(); ++t) {
        const QString& tabla = todas.at(t);
        const QStringList presentes = ColumnasDe(db, tabla);
        if (presentes.isEmpty())
            throw ErrorVV(ErrorVV::TablaNoEncontrada, QStringLiteral("La base de datos no tiene la tabla ") + tabla);
        const QStringList& esperadas = esquema.at(t);
        for (qsizetype i = 0; i < esperadas.size(); ++i) {
            const QString& columna = esperadas.at(i);
            if (!presentes.contains(columna, Qt::CaseInsensitive))
                throw ErrorVV(ErrorVV::ColumnaNoCorresponde,
                              QStringLiteral("La tabla %1 no tiene la columna %2").arg(tabla, columna));
            if (presentes.at(i).compare(columna, Qt::CaseInsensitive) != 0)
                throw ErrorVV(ErrorVV::ColumnaNoCorresponde,
                              QStringLiteral("La columna %1 de la tabla %2 debe ser la número %3")
                                  .arg(columna, tabla)
                                  .arg(i + 1));
        }
        // The catalogues are read by their first two columns only; further ones are allowed.
        if (presentes.size() > esperadas.size() && !tabla.startsWith(QStringLiteral("C_Tipo")))
            throw ErrorVV(
                ErrorVV::ColumnaNoCorresponde,
                QStringLiteral("La tabla %1 tiene la columna %2 de más").arg(tabla, presentes.at(esperadas.size())));
    }
}

// The tables of later features that the file lacks, created in one transaction: a database made
// before them opens with nothing of its own changed.
void AgregaAmpliaciones(const QSqlDatabase& db)
{
    QStringList faltan;
    for (const QString& tabla : TablasAmpliacion()) {
        if (ColumnasDe(db, tabla).isEmpty())
            faltan << tabla;
    }
    if (faltan.isEmpty())
        return;
    Transaccion t(db);
    for (const QString& sentencia : Sentencias(TextoAmpliaciones())) {
        for (const QString& tabla : faltan) {
            if (sentencia.startsWith(QStringLiteral("CREATE TABLE ") + tabla + QLatin1Char(' ')))
                Ejecuta(db, sentencia);
        }
    }
    t.confirma();
}

// The insurance types 1 to 4 carry the engine's meanings; of the commission types, 1 is the
// one-year schedule and any other the schedule of several years.
void CompruebaCatalogos(const QSqlDatabase& db)
{
    const auto exige = [&db](const QString& catalogo, const QString& condicion, int codigo, const QString& falta) {
        QSqlQuery q =
            Consulta(db, QStringLiteral("select count(*) from %1 where %2").arg(catalogo, condicion), {codigo});
        if (!Siguiente(q) || q.value(0).toInt() == 0)
            throw ErrorVV(ErrorVV::SinRegistroActual,
                          QStringLiteral("Al catálogo %1 le falta %2").arg(catalogo, falta));
    };
    for (int codigo = 1; codigo <= 4; ++codigo)
        exige(QStringLiteral("C_TipoSeguro"), QStringLiteral("Tipo_Seguro = ?"), codigo,
              QStringLiteral("el código ") + QString::number(codigo));
    exige(QStringLiteral("C_TipoComision"), QStringLiteral("Tipo_Comision = ?"), 1, QStringLiteral("el código 1"));
    exige(QStringLiteral("C_TipoComision"), QStringLiteral("Tipo_Comision <> ?"), 1,
          QStringLiteral("un código distinto de 1"));
}

} // namespace

QSqlDatabase AbreBaseDatos(const QString& ruta, const QString& nombreConexion, Comprobacion comprobacion)
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
            // The checks only read, so a file that fails one is left exactly as it was. A file
            // that is not a database fails at the first of them.
            for (const QString& tabla : TablasEsquema()) {
                if (ColumnasDe(db, tabla).isEmpty())
                    throw ErrorVV(ErrorVV::TablaNoEncontrada,
                                  QStringLiteral("La base de datos no tiene la tabla ") + tabla);
            }
            AgregaAmpliaciones(db);
            CompruebaColumnas(db);
            if (comprobacion == Comprobacion::ColumnasYCatalogos)
                CompruebaCatalogos(db);
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

namespace {

// Removes the temporary databases of earlier runs for this path whose process is gone.
void QuitaRestos(const QFileInfo& destino)
{
    const QRegularExpression patron(QStringLiteral("^") + QRegularExpression::escape(destino.fileName()) +
                                    QStringLiteral("\\.(\\d+)\\.tmp(-journal)?$"));
    QDir carpeta = destino.absoluteDir();
    for (const QString& nombre : carpeta.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QRegularExpressionMatch m = patron.match(nombre);
        bool numero = false;
        const pid_t proceso = m.hasMatch() ? static_cast<pid_t>(m.captured(1).toLongLong(&numero)) : 0;
        if (numero && proceso > 0 && ::kill(proceso, 0) != 0 && errno == ESRCH)
            carpeta.remove(nombre);
    }
}

} // namespace

void CreaBaseDatos(const QString& ruta, const std::function<void(const QString& temporal)>& llena)
{
    const QFileInfo destino(ruta);
    if (destino.exists() || destino.isSymLink())
        throw ErrorVV(58, QStringLiteral("El archivo ya existe: ") + ruta);
    if (!destino.absoluteDir().exists())
        throw ErrorVV(76, QStringLiteral("No se encontró la carpeta: ") + destino.absolutePath());

    // Built under a temporary name beside the target and renamed when complete, so a failure
    // leaves no half-made database under the chosen name. The name holds the process number: what
    // a killed run left (the file and its journal) is removed by the next run for the same path.
    QuitaRestos(destino);
    const QString temporal = destino.absoluteFilePath() + QLatin1Char('.') +
                             QString::number(QCoreApplication::applicationPid()) + QStringLiteral(".tmp");
    const QString conexion = QStringLiteral("valvida-crear-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    try {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexion);
            db.setDatabaseName(temporal);
            if (!db.open())
                throw ErrorVV::deSql(db.lastError());
            {
                Transaccion t(db);
                for (const QString& sentencia : Sentencias(TextoEsquema() + TextoAmpliaciones()))
                    Ejecuta(db, sentencia);
                t.confirma();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(conexion);
        if (llena)
            llena(temporal);
        // rename never replaces: a file that appeared meanwhile under the name is kept.
        if (!QFile::rename(temporal, destino.absoluteFilePath()))
            throw ErrorVV(58, QStringLiteral("No se pudo crear el archivo: ") + ruta);
    } catch (...) {
        if (QSqlDatabase::contains(conexion))
            QSqlDatabase::removeDatabase(conexion);
        QFile::remove(temporal);
        throw;
    }
}

Protegido BaseDatosAbierta(const QSqlDatabase& db)
{
    QSqlQuery q = Consulta(db, QStringLiteral("pragma database_list"));
    while (Siguiente(q)) {
        if (q.value(1).toString() == QLatin1String("main"))
            return {q.value(2).toString(), QStringLiteral(" es la base de datos abierta")};
    }
    return {};
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
    case QMetaType::Float: return TextoNumero(valor.toDouble());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return QString::number(valor.toLongLong());
    default: return valor.toString();
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
    // The write lock now, not at the first write: SQLite cannot make a transaction that has
    // already read wait for another program's write lock, and fails it at once.
    Ejecuta(m_db, QStringLiteral("begin immediate"));
    m_abierta = true;
}

Transaccion::~Transaccion()
{
    // SQLite may have rolled the transaction back itself (a full disk); then this finds none.
    if (m_abierta)
        QSqlQuery(m_db).exec(QStringLiteral("rollback"));
}

void Transaccion::confirma()
{
    Ejecuta(m_db, QStringLiteral("commit"));
    m_abierta = false;
}

} // namespace valvida
