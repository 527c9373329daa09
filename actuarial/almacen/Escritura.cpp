#include "actuarial/almacen/Escritura.h"

#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/ErrorVV.h"

#include <QSqlError>

#include <optional>

namespace valvida {

void EjecutaConservandoLoHecho(Entorno& entorno, const QString& rutina, const std::function<void()>& pasos)
{
    // A savepoint, not BEGIN: outside a transaction it is one, inside another routine's it nests,
    // so a whole calculation costs a single commit.
    const QString punto = QStringLiteral("valvida_calculo");
    try {
        Ejecuta(entorno.db, QStringLiteral("savepoint ") + punto);
    } catch (const ErrorVV& e) {
        MostrarError(entorno.dialogos, rutina, e);
        return;
    }
    std::optional<ErrorVV> fallo;
    try {
        pasos();
    } catch (const ErrorVV& e) {
        fallo = e;
    }
    try {
        Ejecuta(entorno.db, QStringLiteral("release ") + punto);
    } catch (const ErrorVV& e) {
        // The first failure is the one to tell; a commit that fails after it adds nothing.
        if (!fallo)
            fallo = e;
    }
    if (fallo)
        MostrarError(entorno.dialogos, rutina, *fallo);
}

Insercion::Insercion(const QSqlDatabase& db, const QString& sql)
    : m_consulta(db)
{
    if (!m_consulta.prepare(sql))
        throw ErrorVV::deSql(m_consulta.lastError());
}

void Insercion::ejecuta(std::initializer_list<QVariant> valores)
{
    int posicion = 0;
    for (const QVariant& v : valores)
        m_consulta.bindValue(posicion++, v);
    if (!m_consulta.exec())
        throw ErrorVV::deSql(m_consulta.lastError());
}

std::optional<double> NumeroOpcional(const QVariant& valor)
{
    if (valor.isNull())
        return std::nullopt;
    return ValorANumero(valor);
}

} // namespace valvida
