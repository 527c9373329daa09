#include "actuarial/almacen/Escritura.h"

#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/ErrorVV.h"

#include <QSqlError>

#include <optional>

namespace valvida {

bool EjecutaPasos(Entorno& entorno, const std::vector<PasoEscritura>& pasos)
{
    if (pasos.empty())
        return true;
    const QString* rutina = &pasos.front().rutina;
    std::optional<ErrorVV> fallo;
    {
        std::optional<Transaccion> unidad;
        try {
            unidad.emplace(entorno.db);
            for (const PasoEscritura& paso : pasos) {
                rutina = &paso.rutina;
                paso.pasos();
            }
            rutina = &pasos.front().rutina;
            unidad->confirma();
            return true;
        } catch (const ErrorVV& e) {
            fallo = e;
        }
        if (unidad && !fallo->deBaseDatos()) {
            try {
                unidad->confirma();
            } catch (const ErrorVV&) {
                // Not committed after all: the unit is undone below; the first cause is the one to tell.
            }
        }
    } // an uncommitted unit is rolled back here, before the box, so no lock is held while it shows
    MostrarError(entorno.dialogos, *rutina, *fallo);
    return false;
}

bool EjecutaConservandoLoHecho(Entorno& entorno, const QString& rutina, const std::function<void()>& pasos)
{
    return EjecutaPasos(entorno, {{rutina, pasos}});
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
