#pragma once

// What a test spells differently to make the same point on the file and on a server.

#include "support/BaseTemporal.h"

#include <QStringList>

namespace valvida::prueba {

//! Whether the tests run over a server.
inline bool EnServidor()
{
    return !BaseTemporal::servidor().isEmpty();
}

//! The file's text, or the server's when the tests run over one.
inline QString SegunAlmacen(const QString& archivo, const QString& servidor)
{
    return EnServidor() ? servidor : archivo;
}

/*!
 * The statements that make trigger `nombre`, run `cuando` ("after insert on T_Conmutado") for each
 * row that meets `condicion` (none: every row), with `cuerpo`: statements on new's columns that
 * both stores read alike. A server runs them in a function of the same name.
 */
inline QStringList Disparador(const QString& nombre, const QString& cuando, const QString& cuerpo,
                              const QString& condicion = {})
{
    const QString cabecera = "create trigger " + nombre + ' ' + cuando + " for each row" +
                             (condicion.isEmpty() ? QString() : " when (" + condicion + ')');
    if (!EnServidor())
        return {cabecera + " begin " + cuerpo + "; end"};
    return {"create function " + nombre + "() returns trigger language plpgsql as $$ begin " + cuerpo +
                "; return new; end $$",
            cabecera + " execute function " + nombre + "()"};
}

//! A trigger's statement that fails its statement with `mensaje`: SQLite's raise(abort), or a
//! server's exception of SQLSTATE `estado`.
inline QString Falla(const QString& mensaje, const QString& estado = QStringLiteral("P0001"))
{
    return SegunAlmacen("select raise(abort, '" + mensaje + "')",
                        "raise exception '" + mensaje + "' using errcode = '" + estado + "'");
}

} // namespace valvida::prueba
