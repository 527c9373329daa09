#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

namespace valvida {

struct Entorno;

/*!
 * Runs the steps of a routine in one transaction that is committed however the steps end: a
 * failure keeps what was written before it (the routine's rule), and the whole routine costs one
 * commit instead of one per statement. A failure, of the steps or of the commit, shows the error
 * box under `rutina`. Must not be called while a transaction is open on the connection.
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
