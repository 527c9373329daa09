#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace valvida {

struct Entorno;
class Sentencia;

//! One step of a unit of writing: the routine line its failure is shown under, and its work.
struct PasoEscritura
{
    QString rutina;
    std::function<void()> pasos;
};

/*!
 * Runs steps, in order, as one unit of writing, committed once at the end: it takes the write
 * lock when it starts (waiting out the busy timeout while another program writes) and a
 * calculation costs one commit instead of one per statement.
 *
 * The first step that fails shows its error box under its routine line, once, and no later
 * step runs. A failure of the routines' own rules (an age outside the table, an empty qx, a
 * missing row) keeps what the steps wrote before it, as the routines promise. A failure of the
 * store itself (a full disk, a lock, a refused row: ErrorVV::deBaseDatos) undoes the whole unit:
 * SQLite may already have undone some or all of it on its own, and only "as before" is a state
 * that does not depend on where the disk filled. Failing to begin or to commit shows under the
 * first step's routine and leaves the database as before. Not to be called inside a
 * transaction. Returns whether every step ran and the unit was committed.
 */
bool EjecutaPasos(Entorno& entorno, const std::vector<PasoEscritura>& pasos);

//! One routine's steps as a unit of writing (EjecutaPasos with a single step).
bool EjecutaConservandoLoHecho(Entorno& entorno, const QString& rutina, const std::function<void()>& pasos);

/*!
 * Rows inserted into one table in order, several to a statement. Each row holds the values common
 * to every row, first and bound once per statement, then its own: a whole number and `reales`
 * doubles. The rows wait in memory until FilasPorSentencia of them fill a statement or `escribe`
 * runs, so the caller writes them before anything may look at the table: before a box shows, at
 * its step's end, before it reports a failure of its rules. A failure of the store is the
 * ErrorVV of the statement that met it, as Ejecuta's; the unit of writing is undone then,
 * whatever rows went.
 */
class Insercion
{
  public:
    //! 705 values at most for 11 of a row, below the 999 any SQLite build takes in a statement.
    static constexpr int FilasPorSentencia = 64;

    //! `cabecera` is the statement up to "values", naming the common columns first, then the
    //! row's whole number and its doubles. The statement is prepared here (ErrorVV when the store
    //! refuses it).
    Insercion(const QSqlDatabase& db, const QString& cabecera, QVariantList comunes, int reales);
    //! One row: its whole number and its `reales` doubles.
    void agrega(std::int32_t entero, const double* valores);
    //! Inserts the rows that wait.
    void escribe();

  private:
    QString texto(int filas) const;

    QSqlDatabase m_db;
    QString m_cabecera;
    QVariantList m_comunes;
    int m_reales;
    QString m_textoLleno;
    std::vector<std::int32_t> m_enteros;
    std::vector<double> m_valores;
};

//! A stored number that may be empty: null gives no value, a text must read as a number (13).
std::optional<double> NumeroOpcional(const QVariant& valor);
//! NumeroOpcional of a column of the row a statement stands on.
std::optional<double> NumeroOpcional(const Sentencia& sentencia, int columna);

} // namespace valvida
