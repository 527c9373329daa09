#pragma once

#include "core/ErrorVV.h"
#include "support/BaseTemporal.h"

#include <QString>
#include <QStringList>

namespace valvida::prueba {

/*!
 * What a test's own setup spells differently on the file and on a server, so that one test body
 * runs over both stores.
 */

//! Whether the tests run over a server (BaseTemporal::servidor()).
bool EnServidor();

//! What orders a table's rows as they were inserted: SQLite's rowid; on a server the row's place in
//! the table, which follows the inserts in a table never updated nor deleted from.
QString OrdenDeInsercion();

//! The file's text, or the server's when the tests run over one.
QString SegunAlmacen(const QString& archivo, const QString& servidor);

//! A trigger's statement that fails the triggering statement with this message (on a server, of
//! SQLSTATE `estado`).
QString Falla(const QString& mensaje, const QString& estado = QStringLiteral("P0001"));

//! The error a statement failed by Falla(mensaje) raises.
ErrorVV ErrorDeFalla(const QString& mensaje);

/*!
 * The statements that make a row trigger `nombre` on `momento` ("before insert on T_Caida") that
 * runs `sentencia` (a portable statement, or Falla), only when `condicion` holds if one is given.
 * On a server it is a function of the same name and its trigger.
 */
QStringList Disparador(const QString& nombre, const QString& momento, const QString& sentencia,
                       const QString& condicion = {});

//! Makes the trigger of Disparador in the test's database.
void CreaDisparador(BaseTemporal& base, const QString& nombre, const QString& momento, const QString& sentencia,
                    const QString& condicion = {});

//! Drops a trigger made by CreaDisparador.
void QuitaDisparador(BaseTemporal& base, const QString& nombre);

} // namespace valvida::prueba
