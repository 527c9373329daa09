#include "support/Dialecto.h"

namespace valvida::prueba {

bool EnServidor()
{
    return !BaseTemporal::servidor().isEmpty();
}

QString OrdenDeInsercion()
{
    return EnServidor() ? QStringLiteral("ctid") : QStringLiteral("rowid");
}

QString SegunAlmacen(const QString& archivo, const QString& servidor)
{
    return EnServidor() ? servidor : archivo;
}

QString Falla(const QString& mensaje, const QString& estado)
{
    return EnServidor() ? QStringLiteral("raise exception '%1' using errcode = '%2'").arg(mensaje, estado)
                        : QStringLiteral("select raise(abort, '%1')").arg(mensaje);
}

ErrorVV ErrorDeFalla(const QString& mensaje)
{
    // SQLite's raise(abort) is a trigger's constraint (SQLITE_CONSTRAINT_TRIGGER); a server's
    // exception is its raise_exception state, with no reading of the file's.
    if (EnServidor())
        return {ErrorVV::BaseServidor, QStringLiteral("Error del servidor de base de datos P0001 (%1)").arg(mensaje)};
    return {ErrorVV::BaseSqlite + 1811, QStringLiteral("La fila viola una restricción de la tabla (%1)").arg(mensaje)};
}

QStringList Disparador(const QString& nombre, const QString& momento, const QString& sentencia,
                       const QString& condicion)
{
    const QString cuando = condicion.isEmpty() ? QString() : QStringLiteral(" when (%1)").arg(condicion);
    if (!EnServidor())
        return {QStringLiteral("create trigger %1 %2 for each row%3 begin %4; end")
                    .arg(nombre, momento, cuando, sentencia)};
    // A before trigger lets its row through only when it returns it.
    return {QStringLiteral("create function %1() returns trigger language plpgsql as $$ begin %2; "
                           "if tg_op = 'DELETE' then return old; end if; return new; end $$")
                .arg(nombre, sentencia),
            QStringLiteral("create trigger %1 %2 for each row%3 execute function %1()").arg(nombre, momento, cuando)};
}

void CreaDisparador(BaseTemporal& base, const QString& nombre, const QString& momento, const QString& sentencia,
                    const QString& condicion)
{
    for (const QString& s : Disparador(nombre, momento, sentencia, condicion))
        base.sql(s);
}

void QuitaDisparador(BaseTemporal& base, const QString& nombre)
{
    base.sql(EnServidor() ? QStringLiteral("drop function %1() cascade").arg(nombre)
                          : QStringLiteral("drop trigger %1").arg(nombre));
}

} // namespace valvida::prueba
