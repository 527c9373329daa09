#include "core/Dialogos.h"

#include "core/ErrorVV.h"

#include <QCoreApplication>

namespace valvida {

QString Dialogos::TituloPredeterminado()
{
    const QString nombre = QCoreApplication::applicationName();
    return nombre.isEmpty() ? QStringLiteral("valvida") : nombre;
}

Dialogos::Respuesta DialogosMudos::mensaje(const QString& texto, Botones botones, Icono, const QString&, Respuesta)
{
    textos << texto;
    switch (botones) {
    case Botones::Aceptar: return Respuesta::Aceptar;
    case Botones::SiNo: return Respuesta::No;
    case Botones::SiNoCancelar: return Respuesta::Cancelar;
    }
    return Respuesta::Aceptar;
}

std::unique_ptr<Dialogos::Progreso> DialogosMudos::progreso(const QString&, qint64)
{
    struct SinCancelar : Progreso
    {
        bool avanza(qint64) override { return true; }
    };
    return std::make_unique<SinCancelar>();
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
