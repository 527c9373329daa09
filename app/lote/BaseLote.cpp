#include "app/lote/BaseLote.h"

#include "core/BaseDatos.h"

#include <QDir>
#include <QFileInfo>
#include <QUuid>

namespace valvida {

std::optional<std::int32_t> EscenarioArgumento(const QString& palabra)
{
    bool entero = false;
    const std::int32_t escenario = palabra.toInt(&entero);
    if (!entero)
        return std::nullopt;
    return escenario;
}

BaseLote::BaseLote(const QString& ruta, Dialogos& dialogos)
    : m_conexion(QStringLiteral("valvida-lote-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    // The folder a file dialog would start in: the database's, or for a server's the current one.
    const QString carpeta = EsServidor(ruta) ? QDir::currentPath() : QFileInfo(ruta).absolutePath();
    m_entorno = std::make_unique<Entorno>(Entorno{AbreBaseDatos(ruta, m_conexion), dialogos, carpeta});
}

BaseLote::~BaseLote()
{
    // The connection's handle goes before the connection is removed.
    m_entorno.reset();
    CierraBaseDatos(m_conexion);
}

} // namespace valvida
