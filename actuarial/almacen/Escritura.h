#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>
#include <vector>

namespace valvida {

struct Entorno;

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

//! One insert statement prepared once and run for many rows, values bound in order.
class Insercion
{
  public:
    Insercion(const QSqlDatabase& db, const QString& sql);
    //! Runs the statement with these values; ErrorVV when the store refuses the row.
    void ejecuta(std::initializer_list<QVariant> valores);

  private:
    QSqlQuery m_consulta;
};

//! A stored number that may be empty: null gives no value, a text must read as a number (13).
std::optional<double> NumeroOpcional(const QVariant& valor);

} // namespace valvida
