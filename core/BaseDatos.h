#pragma once

#include "core/Archivos.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct sqlite3_stmt;

namespace valvida {

//! The database path in a folder: a "/" between folder and file name, never two.
QString RutaBaseDatos(const QString& carpeta);

/*!
 * A database is a file by its path, or a PostgreSQL server's by a connection URI,
 * `postgresql://[usuario@]servidor[:puerto]/base` or `postgresql:///base?host=/carpeta/del/socket`.
 * The password is never in the URI: the server's client library reads PGPASSWORD or ~/.pgpass.
 */
bool EsServidor(const QString& ruta);
//! A connection opened on a server database.
bool EsServidor(const QSqlDatabase& db);

//! A column's name in a query's rows as the schema spells it: a server gives them in lower case.
QString NombreColumna(const QSqlRecord& registro, int columna);

//! What opening checks beyond the file: the tables' columns always; the catalogues' rows for the window.
enum class Comprobacion { Columnas, ColumnasYCatalogos };

/*!
 * Opens an existing database file, or a server's database, read-write under the given connection
 * name. A server that cannot be reached is an ErrorVV naming it and the reason. Never creates a
 * file; the one change it makes is to create, in one transaction, the tables of later features
 * (TablasAmpliacion) that a database made before them lacks. A missing or unreadable file, a file that is not a
 * database, one that lacks a table of the schema (3078) or whose table lacks a column or has them in another order
 * (3265; the catalogues may have further columns after their two) is an ErrorVV naming the table and the column, and
 * the connection is removed again. With ColumnasYCatalogos, C_TipoSeguro must hold codes 1 to 4 and C_TipoComision code
 * 1 and one other (3021, naming the catalogue and the code): the forms cannot work without them.
 */
QSqlDatabase AbreBaseDatos(const QString& ruta, const QString& nombreConexion,
                           Comprobacion comprobacion = Comprobacion::Columnas);

//! Closes and removes a connection opened by AbreBaseDatos.
void CierraBaseDatos(const QString& nombreConexion);

/*!
 * Creates a new database file with the schema and the two catalogues, then runs `llena` (when
 * given) on the new file, still under its temporary name. Refuses (ErrorVV) when the path exists,
 * leaving it untouched; a failure half way, of `llena` too, leaves no file behind. A server's
 * database must exist and hold no table; `llena` gets its URI, and a failure drops what was made.
 */
void CreaBaseDatos(const QString& ruta, const std::function<void(const QString& temporal)>& llena = {});

//! The schema script, as kept in db/schema.sql.
QString TextoEsquema();
//! The tables of later features (db/ampliaciones.sql), and their names.
QString TextoAmpliaciones();
const QStringList& TablasAmpliacion();

//! The open database's file, as an output must never replace it (Protegido); none in memory or on a server.
Protegido BaseDatosAbierta(const QSqlDatabase& db);

//! The eight tables every database must have.
const QStringList& TablasEsquema();

/*!
 * Runs a statement that returns no rows, values bound in order to its "?" marks.
 * Errors of the store come back as ErrorVV with the SQLite result code.
 */
void Ejecuta(const QSqlDatabase& db, const QString& sql, const QVariantList& valores = {});

//! Runs a query, forward only, values bound in order; ErrorVV when the store refuses it.
QSqlQuery Consulta(const QSqlDatabase& db, const QString& sql, const QVariantList& valores = {});

//! Steps to the next row of a query; ErrorVV when the store fails while reading.
bool Siguiente(QSqlQuery& consulta);

/*!
 * The number for a new row of a numbered table (mortality tables, scenarios): the largest stored
 * in `columna` plus 1, or 1 when there is none. `tabla` and `columna` are the program's own names.
 */
std::int32_t NuevoNumero(const QSqlDatabase& db, const QString& tabla, const QString& columna);

//! A stored value as text, the loaders' rule: numbers in the system's form, texts as they are.
//! A null cannot be converted: error 94.
QString ValorATexto(const QVariant& valor);

//! A stored value as a number: null is error 94, a text must read as a number (error 13).
double ValorANumero(const QVariant& valor);

/*!
 * A statement of the store run by SQLite itself, for the statements a calculation runs many
 * times. The connection prepares a text once and keeps it until the connection closes
 * (CierraBaseDatos, or a close of its own); asked for the same text while it is in use, it
 * prepares one for this use alone. A Sentencia ends before its connection closes. Values are
 * bound by position from 0, as QSqlQuery binds them, and stay bound until bound again; columns
 * are read from 0. What the store refuses is the ErrorVV of Ejecuta and Siguiente, with the same
 * number and text, and a value read is the QVariant a Consulta would give. On a server it is a
 * query of Qt's driver, prepared for each use, with the same numbering of named values.
 */
class Sentencia
{
  public:
    //! ErrorVV when the store refuses the text.
    Sentencia(const QSqlDatabase& db, const QString& sql);
    ~Sentencia();
    Sentencia(const Sentencia&) = delete;
    Sentencia& operator=(const Sentencia&) = delete;

    //! As QSqlQuery binds an int.
    void enlaza(int posicion, int valor);
    //! As QSqlQuery binds a double.
    void enlaza(int posicion, double valor);
    //! As QSqlQuery binds the variant's type.
    void enlaza(int posicion, const QVariant& valor);

    //! Runs a statement that returns no rows.
    void ejecuta();
    //! Steps to the next row of a query; false after the last.
    bool siguiente();

    QVariant valor(int columna) const;
    bool nulo(int columna) const;
    //! ValorANumero of the column's value.
    double numero(int columna) const;

  private:
    sqlite3_stmt* m_sentencia = nullptr;    // SQLite's own statement, or on a server:
    std::vector<std::vector<int>> m_marcas; // each value's "?" marks in m_propia's text
    bool m_ejecutada = false;
    bool* m_enUso = nullptr;             // the connection's statement, free again when this use ends
    std::unique_ptr<QSqlQuery> m_propia; // or one prepared for this use alone
    bool m_terminada = false;
};

//! The rows the connection has inserted, changed or deleted since it opened, triggers' included;
//! on a server, since its transaction began.
std::int64_t FilasEscritas(const QSqlDatabase& db);

/*!
 * All-or-nothing writes: opened on construction with the write lock taken at once (BEGIN
 * IMMEDIATE, waiting out the connection's busy timeout while another program writes; on a server
 * the database's one writer lock, waited for as long), rolled back on destruction unless
 * `confirma` ran first and succeeded. One writer at a time keeps new numbers unique and a
 * calculation whole when several users work on one database.
 */
class Transaccion
{
  public:
    explicit Transaccion(const QSqlDatabase& db);
    ~Transaccion();
    Transaccion(const Transaccion&) = delete;
    Transaccion& operator=(const Transaccion&) = delete;
    void confirma();

  private:
    QSqlDatabase m_db;
    bool m_abierta = false;
};

/*!
 * A read of several statements as of one moment, ended (rolled back) on destruction: the file's
 * read lock (writers wait until it ends), or a server's read-only snapshot. Unlike Transaccion it
 * takes no write lock, so it reads a database the user may only read.
 */
class Instantanea
{
  public:
    explicit Instantanea(const QSqlDatabase& db);
    ~Instantanea();
    Instantanea(const Instantanea&) = delete;
    Instantanea& operator=(const Instantanea&) = delete;

  private:
    QSqlDatabase m_db;
};

} // namespace valvida
