#include "app/lote/DialogosConsola.h"

namespace valvida {

DialogosConsola::DialogosConsola(QTextStream& err)
    : m_err(err)
{
}

Dialogos::Respuesta DialogosConsola::mensaje(const QString& texto, Botones botones, Icono, const QString&, Respuesta)
{
    ++m_cajas;
    m_err << QString(texto).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) << '\n';
    m_err.flush();
    switch (botones) {
    case Botones::Aceptar: return Respuesta::Aceptar;
    case Botones::SiNo: return Respuesta::No;
    case Botones::SiNoCancelar: return Respuesta::Cancelar;
    }
    return Respuesta::Aceptar;
}

QString DialogosConsola::abrirArchivo(const QString&, const QString&)
{
    return {};
}

QString DialogosConsola::guardarArchivo(const QString&, const QString&)
{
    return {};
}

} // namespace valvida
