#include "core/Dialogos.h"

#include "core/ErrorVV.h"

#include <QCoreApplication>

namespace valvida {

QString Dialogos::TituloPredeterminado()
{
    const QString nombre = QCoreApplication::applicationName();
    return nombre.isEmpty() ? QStringLiteral("valvida") : nombre;
}

RelojArena::RelojArena(Dialogos& dialogos)
    : m_dialogos(dialogos)
{
    m_dialogos.ponerRelojArena();
}

RelojArena::~RelojArena()
{
    m_dialogos.quitarRelojArena();
}

void MostrarError(Dialogos& dialogos, const QString& rutina, const ErrorVV& error)
{
    dialogos.mensaje(TextoCajaError(rutina, error.numero(), error.descripcion()), Dialogos::Botones::Aceptar,
                     Dialogos::Icono::Critico);
}

bool ConCajaError(Dialogos& dialogos, const QString& rutina, const std::function<void()>& pasos)
{
    try {
        pasos();
        return true;
    } catch (const ErrorVV& e) {
        MostrarError(dialogos, rutina, e);
        return false;
    }
}

} // namespace valvida
