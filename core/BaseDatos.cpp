#include "core/BaseDatos.h"

#include "core/Constantes.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QSqlResult>
#include <QUrl>
#include <QUrlQuery>
#include <QUuid>

#include <sqlite3.h>

#include <cerrno>
#include <csignal>
#include <unordered_map>

namespace valvida {

QString RutaBaseDatos(const QString& carpeta)
{
    QString ruta = carpeta;
    if (!ruta.endsWith(QLatin1Char('/')))
        ruta += QLatin1Char('/');
    return ruta + NombreBaseDatos;
}

bool EsServidor(const QString& ruta)
{
    return ruta.startsWith(QLatin1String("postgresql://")) || ruta.startsWith(QLatin1String("postgres://"));
}

bool EsServidor(const QSqlDatabase& db)
{
    return db.driverName() == QLatin1String("QPSQL");
}

namespace {

bool DriverDeServidor(const QSqlDriver* driver)
{
    return driver && driver->dbmsType() == QSqlDriver::PostgreSQL;
}

// The store's error in the program's numbers, as the connection's kind of store reports it.
ErrorVV ErrorDe(const QSqlDriver* driver, const QSqlError& error)
{
    return DriverDeServidor(driver) ? ErrorVV::deServidor(error) : ErrorVV::deSql(error);
}

ErrorVV ErrorDe(const QSqlDatabase& db, const QSqlError& error)
{
    return EsServidor(db) ? ErrorVV::deServidor(error) : ErrorVV::deSql(error);
}

} // namespace

const QStringList& TablasEsquema()
{
    static const QStringList tablas = {
        QStringLiteral("C_TablaMortalidad"), QStringLiteral("T_DetalleMortalidad"), QStringLiteral("T_Conmutado"),
        QStringLiteral("T_Escenario"),       QStringLiteral("T_Comision"),          QStringLiteral("T_Resultado"),
        QStringLiteral("C_TipoSeguro"),      QStringLiteral("C_TipoComision"),
    };
    return tablas;
}

namespace {

// A statement kept prepared on a connection. Qt's driver owns it and finalizes it, with its own,
// when the connection closes however it is closed; the connection can always close.
struct SentenciaGuardada
{
    QSqlQuery consulta;
    bool enUso = false;
};

// A text by its length and its two ends: an insert of many rows is a long text whose rows all read
// alike, so hashing it whole would cost more than its statement's run. Equal hashes are still
// compared whole.
struct HashTexto
{
    std::size_t operator()(const QString& texto) const noexcept
    {
        constexpr qsizetype Extremo = 64;
        if (texto.size() <= 2 * Extremo)
            return qHash(texto);
        const QStringView vista(texto);
        return qHashMulti(0, texto.size(), vista.first(Extremo), vista.last(Extremo));
    }
};

using SentenciasPorTexto = std::unordered_map<QString, std::unique_ptr<SentenciaGuardada>, HashTexto>;

QMutex& CandadoSentencias()
{
    static QMutex candado;
    return candado;
}

// By connection name. Never destroyed: at exit Qt may already have removed the drivers.
std::unordered_map<QString, SentenciasPorTexto>& SentenciasGuardadas()
{
    static auto* guardadas = new std::unordered_map<QString, SentenciasPorTexto>;
    return *guardadas;
}

// A server's statement that failed in a transaction can be freed only once the transaction has
// ended: until then the server refuses every other command, the freeing too. Kept here till then.
std::unordered_map<QString, std::vector<std::unique_ptr<QSqlQuery>>>& Fallidas()
{
    static auto* fallidas = new std::unordered_map<QString, std::vector<std::unique_ptr<QSqlQuery>>>;
    return *fallidas;
}

// The store's error of a failed query, thrown; on a server the query is kept until its
// transaction ends.
[[noreturn]] void Falla(QSqlQuery& consulta)
{
    const ErrorVV error = ErrorDe(consulta.driver(), consulta.lastError());
    if (DriverDeServidor(consulta.driver())) {
        const QString conexion = consulta.driver()->property("valvida-conexion").toString();
        auto guardada = std::make_unique<QSqlQuery>(std::move(consulta));
        QMutexLocker candado(&CandadoSentencias());
        Fallidas()[conexion].push_back(std::move(guardada));
    }
    throw error;
}

// A connection's entry taken out of one of the maps above, under their lock; the caller frees
// it after the lock is released, since freeing a query may call into the driver.
template <typename Mapa> typename Mapa::mapped_type Saca(Mapa& mapa, const QString& nombreConexion)
{
    const QMutexLocker candado(&CandadoSentencias());
    const auto conexion = mapa.find(nombreConexion);
    if (conexion == mapa.end())
        return {};
    typename Mapa::mapped_type sacado = std::move(conexion->second);
    mapa.erase(conexion);
    return sacado;
}

// Frees a connection's failed queries once its transaction has ended.
void LiberaFallidas(const QString& nombreConexion)
{
    Saca(Fallidas(), nombreConexion);
}

// Finalizes the statements kept for a connection name, before its connection closes.
void OlvidaSentencias(const QString& nombreConexion)
{
    LiberaFallidas(nombreConexion);
    Saca(SentenciasGuardadas(), nombreConexion);
}

} // namespace

void CierraBaseDatos(const QString& nombreConexion)
{
    OlvidaSentencias(nombreConexion);
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

// What the two stores spell differently, in one place; every other statement runs unchanged on
// both. The schema's REAL and INTEGER are 8 bytes in the file and 4 on a server, where the 8-byte
// ones are DOUBLE PRECISION and BIGINT; a server folds unquoted names to lower case.
QString SentenciaEsquema(const QSqlDatabase& db, const QString& sentencia)
{
    if (!EsServidor(db))
        return sentencia;
    static const QRegularExpression real(QStringLiteral("\\bREAL\\b"));
    static const QRegularExpression entero(QStringLiteral("\\bINTEGER\\b"));
    return QString(sentencia)
        .replace(real, QStringLiteral("DOUBLE PRECISION"))
        .replace(entero, QStringLiteral("BIGINT"));
}

// The column names of a table in their physical order; none when there is no such table.
QStringList ColumnasDe(const QSqlDatabase& db, const QString& tabla)
{
    QSqlQuery q = EsServidor(db) ? Consulta(db,
                                            QStringLiteral("select column_name from information_schema.columns "
                                                           "where table_schema = current_schema() and "
                                                           "table_name = lower(?) order by ordinal_position"),
                                            {tabla})
                                 : Consulta(db, QStringLiteral("pragma table_info(") + tabla + QStringLiteral(")"));
    const int nombre = EsServidor(db) ? 0 : 1;
    QStringList columnas;
    while (Siguiente(q))
        columnas << q.value(nombre).toString();
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
            throw ErrorDe(memoria, memoria.lastError());
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

} // namespace

QString NombreColumna(const QSqlRecord& registro, int columna)
{
    static const QHash<QString, QString> nombres = [] {
        QHash<QString, QString> porMinusculas;
        for (const QStringList& tabla : ColumnasDelEsquema()) {
            for (const QString& nombre : tabla)
                porMinusculas.insert(nombre.toLower(), nombre);
        }
        return porMinusculas;
    }();
    const QString nombre = registro.fieldName(columna);
    return nombres.value(nombre.toLower(), nombre);
}

namespace {

// Where a server database is, for the messages: the server (or its socket's folder) and the base.
QString LugarServidor(const QUrl& url)
{
    const QUrlQuery parametros(url);
    QString servidor = parametros.hasQueryItem(QStringLiteral("host"))
                           ? parametros.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded)
                           : url.host(QUrl::FullyDecoded);
    if (servidor.isEmpty())
        servidor = QStringLiteral("local");
    if (url.port() > 0)
        servidor += QLatin1Char(':') + QString::number(url.port());
    return servidor + QLatin1Char('/') + url.path(QUrl::FullyDecoded).mid(1);
}

// A connection of the file's or the server's driver, not yet open; ErrorVV when Qt lacks the driver.
QSqlDatabase NuevaConexion(bool servidor, const QString& nombreConexion)
{
    QSqlDatabase db =
        QSqlDatabase::addDatabase(servidor ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), nombreConexion);
    if (!db.isValid()) {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(nombreConexion);
        throw ErrorVV(ErrorVV::BaseServidor,
                      QStringLiteral("Falta el controlador de Qt para PostgreSQL (paquete libqt6sql6-psql)"));
    }
    db.driver()->setProperty("valvida-conexion", nombreConexion);
    return db;
}

// Connects to the server database the URI names. The lock timeout is the file's busy timeout, so
// a write waits as long for another user's lock before the locked box.
void ConectaServidor(QSqlDatabase& db, const QString& uri)
{
    const QUrl url(uri, QUrl::StrictMode);
    const QUrlQuery parametros(url);
    const QString base = url.path(QUrl::FullyDecoded).mid(1);
    // A URI may show in a title or a list of processes: the password never travels in it.
    if (!url.password().isEmpty() || parametros.hasQueryItem(QStringLiteral("password")))
        throw ErrorVV(ErrorVV::BaseServidor,
                      QStringLiteral("La contraseña no va en la dirección de la base de datos: use PGPASSWORD o "
                                     "~/.pgpass"));
    bool soloHost = true;
    for (const auto& [clave, valor] : parametros.queryItems())
        soloHost = soloHost && clave == QLatin1String("host");
    if (!url.isValid() || base.isEmpty() || base.contains(QLatin1Char('/')) || !soloHost || url.hasFragment())
        throw ErrorVV(ErrorVV::BaseServidor, QStringLiteral("La dirección de la base de datos no es válida: ") + uri);
    db.setHostName(parametros.hasQueryItem(QStringLiteral("host"))
                       ? parametros.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded)
                       : url.host(QUrl::FullyDecoded));
    if (url.port() > 0)
        db.setPort(url.port());
    db.setUserName(url.userName(QUrl::FullyDecoded));
    db.setDatabaseName(base);
    db.setConnectOptions(QStringLiteral("connect_timeout=10"));
    if (!db.open()) {
        const QSqlError error = db.lastError();
        const QString motivo = (error.databaseText().isEmpty() ? error.driverText() : error.databaseText())
                                   .section(QLatin1Char('\n'), 0, 0)
                                   .trimmed();
        throw ErrorVV(ErrorVV::BaseServidor,
                      QStringLiteral("No se pudo conectar con el servidor %1 (%2)").arg(LugarServidor(url), motivo));
    }
    Ejecuta(db, QStringLiteral("set lock_timeout = 5000"));
    Ejecuta(db, QStringLiteral("set client_min_messages = warning"));
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
                Ejecuta(db, SentenciaEsquema(db, sentencia));
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
    OlvidaSentencias(nombreConexion); // of an earlier connection of the same name
    {
        const bool servidor = EsServidor(ruta);
        QSqlDatabase db = NuevaConexion(servidor, nombreConexion);
        try {
            if (servidor) {
                ConectaServidor(db, ruta);
            } else {
                // mode=rw opens read-write and never creates: a missing file is an error of the open.
                db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
                db.setDatabaseName(
                    QUrl::fromLocalFile(QFileInfo(ruta).absoluteFilePath()).toString(QUrl::FullyEncoded) +
                    QStringLiteral("?mode=rw"));
                if (!db.open())
                    throw ErrorVV::deSql(db.lastError());
            }
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
            if (!servidor)
                Ejecuta(db, QStringLiteral("PRAGMA synchronous=NORMAL")); // fewer syncs per commit; journal kept
            return db;
        } catch (...) {
            OlvidaSentencias(nombreConexion);
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

namespace {

// A server's database is made by its administrator; the program only fills an empty one, in one
// transaction, under the writer lock, so two users cannot both find it empty.
void CreaEnServidor(const QString& uri, const std::function<void(const QString& temporal)>& llena)
{
    const QString conexion = QStringLiteral("valvida-crear-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    const auto cierra = [&conexion] {
        OlvidaSentencias(conexion);
        if (QSqlDatabase::contains(conexion))
            QSqlDatabase::removeDatabase(conexion);
    };
    bool creadas = false;
    try {
        {
            QSqlDatabase db = NuevaConexion(true, conexion);
            ConectaServidor(db, uri);
            Transaccion t(db);
            QSqlQuery q = Consulta(db, QStringLiteral("select count(*) from information_schema.tables "
                                                      "where table_schema = current_schema()"));
            if (Siguiente(q) && q.value(0).toLongLong() > 0)
                throw ErrorVV(58, QStringLiteral("La base de datos ya tiene tablas: ") + uri);
            for (const QString& sentencia : Sentencias(TextoEsquema() + TextoAmpliaciones()))
                Ejecuta(db, SentenciaEsquema(db, sentencia));
            t.confirma();
            creadas = true;
            if (llena)
                llena(uri);
        }
        cierra();
    } catch (...) {
        if (creadas) {
            try {
                QSqlDatabase db = QSqlDatabase::database(conexion, false);
                Transaccion t(db);
                for (const QString& tabla : TablasEsquema() + TablasAmpliacion())
                    Ejecuta(db, QStringLiteral("drop table if exists ") + tabla);
                t.confirma();
            } catch (const ErrorVV&) {
                // The first failure is the one to tell.
            }
        }
        cierra();
        throw;
    }
}

} // namespace

void CreaBaseDatos(const QString& ruta, const std::function<void(const QString& temporal)>& llena)
{
    if (EsServidor(ruta))
        return CreaEnServidor(ruta, llena);
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
            OlvidaSentencias(conexion);
            db.close();
        }
        QSqlDatabase::removeDatabase(conexion);
        if (llena)
            llena(temporal);
        // rename never replaces: a file that appeared meanwhile under the name is kept.
        if (!QFile::rename(temporal, destino.absoluteFilePath()))
            throw ErrorVV(58, QStringLiteral("No se pudo crear el archivo: ") + ruta);
    } catch (...) {
        OlvidaSentencias(conexion);
        if (QSqlDatabase::contains(conexion))
            QSqlDatabase::removeDatabase(conexion);
        QFile::remove(temporal);
        throw;
    }
}

Protegido BaseDatosAbierta(const QSqlDatabase& db)
{
    if (EsServidor(db))
        return {};
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
    // A server prepares only queries and row changes: a statement without values goes as it is
    // (the schema's, a transaction's, a setting).
    if (valores.isEmpty() && EsServidor(db)) {
        if (!q.exec(sql))
            Falla(q);
        return q;
    }
    if (!q.prepare(sql))
        Falla(q);
    for (const QVariant& v : valores)
        q.addBindValue(v);
    if (!q.exec())
        Falla(q);
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
        Falla(consulta);
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

namespace {

sqlite3_stmt* SentenciaNativa(const QSqlQuery& consulta)
{
    const QVariant nativa = consulta.result()->handle();
    if (nativa.isValid() && qstrcmp(nativa.typeName(), "sqlite3_stmt*") == 0)
        return *static_cast<sqlite3_stmt* const*>(nativa.constData());
    return nullptr;
}

QSqlQuery Preparada(const QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw ErrorVV::deSql(q.lastError());
    if (!SentenciaNativa(q))
        throw ErrorVV::deSql(QSqlError(QStringLiteral("La conexión no es de SQLite")));
    return q;
}

// The store's error as the Qt driver reports a failed step, with its code and SQLite's text: a
// generic error or a bare constraint is read again from the statement's reset.
[[noreturn]] void FallaPaso(sqlite3_stmt* sentencia, int resultado)
{
    QString texto;
    if (resultado == SQLITE_ERROR || resultado == SQLITE_CONSTRAINT) {
        resultado = sqlite3_reset(sentencia);
        texto = QString(static_cast<const QChar*>(sqlite3_errmsg16(sqlite3_db_handle(sentencia))));
    } else {
        texto = QString(static_cast<const QChar*>(sqlite3_errmsg16(sqlite3_db_handle(sentencia))));
        sqlite3_reset(sentencia);
    }
    throw ErrorVV::deSql(QSqlError(QCoreApplication::translate("QSQLiteResult", "Unable to fetch row"), texto,
                                   QSqlError::ConnectionError, QString::number(resultado)));
}

void CompruebaEnlace(sqlite3_stmt* sentencia, int resultado)
{
    if (resultado != SQLITE_OK)
        throw ErrorVV::deSql(
            QSqlError(QCoreApplication::translate("QSQLiteResult", "Unable to bind parameters"),
                      QString(static_cast<const QChar*>(sqlite3_errmsg16(sqlite3_db_handle(sentencia)))),
                      QSqlError::StatementError, QString::number(resultado)));
}

// What the driver binds as NULL: a null variant, a null text or a null byte array.
bool NuloAlEnlazar(const QVariant& valor)
{
    if (valor.isNull())
        return true;
    switch (valor.typeId()) {
    case QMetaType::QString: return static_cast<const QString*>(valor.constData())->isNull();
    case QMetaType::QByteArray: return static_cast<const QByteArray*>(valor.constData())->isNull();
    default: return false;
    }
}

} // namespace

namespace {

// A text whose values are named (":v1") or marked ("?") as SQLite numbers them — a name by its
// first appearance, a mark after the largest number so far — turned into marks alone, for the
// server's driver, with each number's marks in order. Quoted texts are left as they are.
QString SoloMarcas(const QString& sql, std::vector<std::vector<int>>& marcas)
{
    QString texto;
    QHash<QString, int> numeroDe;
    int ocurrencias = 0;
    QChar comilla;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (!comilla.isNull() || c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            if (comilla.isNull())
                comilla = c;
            else if (c == comilla)
                comilla = QChar();
            texto += c;
            continue;
        }
        int numero = -1;
        if (c == QLatin1Char('?')) {
            numero = static_cast<int>(marcas.size());
        } else if (c == QLatin1Char(':') && i + 1 < sql.size() &&
                   (sql.at(i + 1).isLetter() || sql.at(i + 1) == QLatin1Char('_'))) {
            qsizetype fin = i + 1;
            while (fin < sql.size() && (sql.at(fin).isLetterOrNumber() || sql.at(fin) == QLatin1Char('_')))
                ++fin;
            const QString nombre = sql.mid(i, fin - i);
            numero = numeroDe.value(nombre, static_cast<int>(marcas.size()));
            numeroDe.insert(nombre, numero);
            i = fin - 1;
        } else {
            texto += c;
            continue;
        }
        if (numero == static_cast<int>(marcas.size()))
            marcas.emplace_back();
        marcas[static_cast<std::size_t>(numero)].push_back(ocurrencias++);
        texto += QLatin1Char('?');
    }
    return texto;
}

} // namespace

Sentencia::Sentencia(const QSqlDatabase& db, const QString& sql)
{
    if (EsServidor(db)) {
        m_propia = std::make_unique<QSqlQuery>(db);
        m_propia->setForwardOnly(true);
        if (!m_propia->prepare(SoloMarcas(sql, m_marcas)))
            Falla(*m_propia);
        return;
    }
    QMutexLocker candado(&CandadoSentencias());
    std::unique_ptr<SentenciaGuardada>& guardada = SentenciasGuardadas()[db.connectionName()][sql];
    if (guardada && guardada->enUso) {
        candado.unlock();
        m_propia = std::make_unique<QSqlQuery>(Preparada(db, sql));
        m_sentencia = SentenciaNativa(*m_propia);
        return;
    }
    // Prepared the first time, and again when a close of its connection finalized it.
    if (!guardada || !SentenciaNativa(guardada->consulta))
        guardada = std::make_unique<SentenciaGuardada>(SentenciaGuardada{Preparada(db, sql)});
    m_sentencia = SentenciaNativa(guardada->consulta);
    guardada->enUso = true;
    m_enUso = &guardada->enUso;
}

Sentencia::~Sentencia()
{
    if (!m_sentencia)
        return;
    sqlite3_reset(m_sentencia);
    if (m_enUso) {
        QMutexLocker candado(&CandadoSentencias());
        *m_enUso = false;
    }
}

void Sentencia::enlaza(int posicion, int valor)
{
    if (!m_sentencia)
        return enlaza(posicion, QVariant(valor));
    CompruebaEnlace(m_sentencia, sqlite3_bind_int(m_sentencia, posicion + 1, valor));
}

void Sentencia::enlaza(int posicion, double valor)
{
    if (!m_sentencia)
        return enlaza(posicion, QVariant(valor));
    CompruebaEnlace(m_sentencia, sqlite3_bind_double(m_sentencia, posicion + 1, valor));
}

void Sentencia::enlaza(int posicion, const QVariant& valor)
{
    if (!m_sentencia) {
        if (posicion < 0 || static_cast<std::size_t>(posicion) >= m_marcas.size())
            throw ErrorVV::deServidor(QSqlError(QStringLiteral("Unable to bind parameters"),
                                                QStringLiteral("no hay valor número %1").arg(posicion + 1),
                                                QSqlError::StatementError, QStringLiteral("07001")));
        for (const int marca : m_marcas[static_cast<std::size_t>(posicion)])
            m_propia->bindValue(marca, valor);
        return;
    }
    const int p = posicion + 1;
    if (NuloAlEnlazar(valor))
        return CompruebaEnlace(m_sentencia, sqlite3_bind_null(m_sentencia, p));
    switch (valor.typeId()) {
    case QMetaType::QByteArray: {
        const auto* bytes = static_cast<const QByteArray*>(valor.constData());
        return CompruebaEnlace(m_sentencia, sqlite3_bind_blob(m_sentencia, p, bytes->constData(),
                                                              static_cast<int>(bytes->size()), SQLITE_TRANSIENT));
    }
    case QMetaType::Int:
    case QMetaType::Bool: return enlaza(posicion, valor.toInt());
    case QMetaType::Double: return enlaza(posicion, valor.toDouble());
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return CompruebaEnlace(m_sentencia, sqlite3_bind_int64(m_sentencia, p, valor.toLongLong()));
    default: {
        // Texts, and any other type as its text (the store's values are never dates).
        const QString texto = valor.toString();
        return CompruebaEnlace(m_sentencia,
                               sqlite3_bind_text16(m_sentencia, p, texto.utf16(),
                                                   static_cast<int>(texto.size() * sizeof(QChar)), SQLITE_TRANSIENT));
    }
    }
}

void Sentencia::ejecuta()
{
    if (!m_sentencia) {
        if (!m_propia->exec())
            Falla(*m_propia);
        return;
    }
    const int resultado = sqlite3_step(m_sentencia);
    if (resultado != SQLITE_ROW && resultado != SQLITE_DONE)
        FallaPaso(m_sentencia, resultado);
    sqlite3_reset(m_sentencia);
}

bool Sentencia::siguiente()
{
    if (m_terminada)
        return false;
    if (!m_sentencia) {
        if (!m_ejecutada && !m_propia->exec())
            Falla(*m_propia);
        m_ejecutada = true;
        m_terminada = !Siguiente(*m_propia);
        return !m_terminada;
    }
    const int resultado = sqlite3_step(m_sentencia);
    if (resultado == SQLITE_ROW)
        return true;
    m_terminada = true;
    if (resultado != SQLITE_DONE)
        FallaPaso(m_sentencia, resultado);
    sqlite3_reset(m_sentencia);
    return false;
}

QVariant Sentencia::valor(int columna) const
{
    if (!m_sentencia)
        return m_propia->value(columna);
    // The driver's own conversion of each storage class.
    switch (sqlite3_column_type(m_sentencia, columna)) {
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(m_sentencia, columna)),
                          sqlite3_column_bytes(m_sentencia, columna));
    case SQLITE_INTEGER: return QVariant(static_cast<qlonglong>(sqlite3_column_int64(m_sentencia, columna)));
    case SQLITE_FLOAT: return sqlite3_column_double(m_sentencia, columna);
    case SQLITE_NULL: return QVariant(QMetaType::fromType<QString>());
    default:
        return QString(static_cast<const QChar*>(sqlite3_column_text16(m_sentencia, columna)),
                       sqlite3_column_bytes16(m_sentencia, columna) / static_cast<int>(sizeof(QChar)));
    }
}

bool Sentencia::nulo(int columna) const
{
    if (!m_sentencia)
        return m_propia->isNull(columna);
    return sqlite3_column_type(m_sentencia, columna) == SQLITE_NULL;
}

double Sentencia::numero(int columna) const
{
    if (!m_sentencia)
        return ValorANumero(m_propia->value(columna));
    switch (sqlite3_column_type(m_sentencia, columna)) {
    case SQLITE_INTEGER: return static_cast<double>(sqlite3_column_int64(m_sentencia, columna));
    case SQLITE_FLOAT: return sqlite3_column_double(m_sentencia, columna);
    default: return ValorANumero(valor(columna));
    }
}

std::int64_t FilasEscritas(const QSqlDatabase& db)
{
    // A server counts them for the current transaction alone, triggers' included.
    if (EsServidor(db)) {
        QSqlQuery q = Consulta(db, QStringLiteral("select coalesce(sum(n_tup_ins + n_tup_upd + n_tup_del), 0) "
                                                  "from pg_stat_xact_user_tables"));
        return Siguiente(q) ? q.value(0).toLongLong() : 0;
    }
    const QVariant nativa = db.driver()->handle();
    if (nativa.isValid() && qstrcmp(nativa.typeName(), "sqlite3*") == 0) {
        if (sqlite3* conexion = *static_cast<sqlite3* const*>(nativa.constData()))
            return sqlite3_total_changes64(conexion);
    }
    throw ErrorVV::deSql(QSqlError(QStringLiteral("La conexión no es de SQLite")));
}

namespace {

// The server's advisory lock that stands for the file's write lock: one number for the program.
constexpr qlonglong ClaveEscritura = 0x76616c76; // "valv"

} // namespace

Transaccion::Transaccion(const QSqlDatabase& db)
    : m_db(db)
{
    // The write lock now, not at the first write: SQLite cannot make a transaction that has
    // already read wait for another program's write lock, and fails it at once. A server lets
    // writers of different rows run together; one lock for the whole database keeps the file's
    // rule, so a new number read as the largest plus one is still free when it is stored.
    if (!EsServidor(m_db)) {
        Sentencia(m_db, QStringLiteral("begin immediate")).ejecuta();
        m_abierta = true;
        return;
    }
    Ejecuta(m_db, QStringLiteral("begin"));
    try {
        Ejecuta(m_db, QStringLiteral("select pg_advisory_xact_lock(?)"), {ClaveEscritura});
    } catch (const ErrorVV&) {
        QSqlQuery(m_db).exec(QStringLiteral("rollback"));
        LiberaFallidas(m_db.connectionName());
        throw;
    }
    m_abierta = true;
}

Transaccion::~Transaccion()
{
    // SQLite may have rolled the transaction back itself (a full disk); then this finds none.
    if (m_abierta)
        QSqlQuery(m_db).exec(QStringLiteral("rollback"));
    LiberaFallidas(m_db.connectionName());
}

void Transaccion::confirma()
{
    if (EsServidor(m_db))
        Ejecuta(m_db, QStringLiteral("commit"));
    else
        Sentencia(m_db, QStringLiteral("commit")).ejecuta();
    m_abierta = false;
}

Instantanea::Instantanea(const QSqlDatabase& db)
    : m_db(db)
{
    Ejecuta(m_db, EsServidor(m_db) ? QStringLiteral("begin isolation level repeatable read read only")
                                   : QStringLiteral("begin"));
}

Instantanea::~Instantanea()
{
    QSqlQuery(m_db).exec(QStringLiteral("rollback"));
    LiberaFallidas(m_db.connectionName());
}

} // namespace valvida
