// The store's errors as the program numbers them: kept apart from ErrorVV so that the engine,
// which uses ErrorVV, never links Qt SQL.

#include "core/ErrorVV.h"

#include <QSqlError>

namespace valvida {

namespace {

// Spanish reading of SQLite's primary result codes; its own English text follows in brackets.
QString LecturaCodigoSqlite(int primario)
{
    switch (primario) {
    case 1: return QStringLiteral("Error en la instrucción SQL");
    case 5: return QStringLiteral("La base de datos está bloqueada por otro programa");
    case 6: return QStringLiteral("Una tabla de la base de datos está bloqueada");
    case 8: return QStringLiteral("La base de datos es de solo lectura");
    case 10: return QStringLiteral("Error de lectura o escritura en el disco");
    case 11: return QStringLiteral("El archivo de base de datos está dañado");
    case 13: return QStringLiteral("El disco está lleno");
    case 14: return QStringLiteral("No se puede abrir el archivo de base de datos");
    case 19: return QStringLiteral("La fila viola una restricción de la tabla");
    case 20: return QStringLiteral("El tipo de dato no corresponde a la columna");
    case 23: return QStringLiteral("Acceso no autorizado");
    case 26: return QStringLiteral("El archivo no es una base de datos");
    default: return QStringLiteral("Error de la base de datos");
    }
}

} // namespace

ErrorVV ErrorVV::deSql(const QSqlError& error)
{
    bool ok = false;
    int codigo = error.nativeErrorCode().toInt(&ok);
    // A driver error without an SQLite code (no connection, say) reads as the generic one.
    if (!ok || codigo < 0 || codigo > 0xffff)
        codigo = 1;
    QString texto = LecturaCodigoSqlite(codigo & 0xff);
    const QString propio = error.databaseText().isEmpty() ? error.driverText() : error.databaseText();
    if (!propio.isEmpty())
        texto += QStringLiteral(" (") + propio + QStringLiteral(")");
    return {BaseSqlite + codigo, texto};
}

namespace {

// The server's message without its severity word and the statement it quotes.
QString TextoServidor(const QSqlError& error)
{
    QString texto = error.databaseText().isEmpty() ? error.driverText() : error.databaseText();
    texto = texto.section(QLatin1Char('\n'), 0, 0).trimmed();
    for (const QLatin1String gravedad : {QLatin1String("ERROR:"), QLatin1String("FATAL:")}) {
        if (texto.startsWith(gravedad))
            texto = texto.mid(gravedad.size()).trimmed();
    }
    return texto;
}

} // namespace

ErrorVV ErrorVV::deServidor(const QSqlError& error)
{
    const QString estado = error.nativeErrorCode();
    const QString texto = TextoServidor(error);
    // SQLSTATE: 23505 unique_violation, 55P03 lock_not_available, 40P01 deadlock_detected,
    // 53100 disk_full.
    int codigo = 0;
    if (estado == QLatin1String("23505"))
        codigo = 1555; // SQLITE_CONSTRAINT_PRIMARYKEY
    else if (estado == QLatin1String("55P03") || estado == QLatin1String("40P01"))
        codigo = 5; // SQLITE_BUSY
    else if (estado == QLatin1String("53100"))
        codigo = 13; // SQLITE_FULL
    if (codigo != 0)
        return {BaseSqlite + codigo,
                LecturaCodigoSqlite(codigo & 0xff) + QStringLiteral(" (") + texto + QLatin1Char(')')};
    return {BaseServidor, QStringLiteral("Error del servidor de base de datos %1 (%2)")
                              .arg(estado.isEmpty() ? QStringLiteral("?????") : estado, texto)};
}

} // namespace valvida
