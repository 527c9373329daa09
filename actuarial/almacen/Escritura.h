#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

namespace valvida {

struct Entorno;

/*!
 * Runs the steps of a routine as one unit of writing that is kept however the steps end: a
 * failure keeps what was written before it (the routine's rule), and the routine costs one
 * commit instead of one per statement; called inside another such unit it nests in it, and the
 * outermost one commits. A failure, of the steps or of the commit, shows the error box under
 * `rutina`. Not to be called inside a transaction opened with `Transaccion`.
 */
void EjecutaConservandoLoHecho(Entorno& entorno, const QString& rutina, const std::function<void()>& pasos);

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
