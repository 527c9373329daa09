#include "app/lote/DialogosConsola.h"

namespace valvida {

DialogosConsola::DialogosConsola(QTextStream& err)
    : m_err(err)
{
}

Dialogos::Respuesta DialogosConsola::mensaje(const QString& texto, Botones botones, Icono icono, const QString& titulo,
                                             Respuesta predeterminada)
{
    // A notice that the work is done ("Carga finalizada con exito") is no failure: what the
    // command prints on stdout says it.
    if (icono == Icono::Informacion && botones == Botones::Aceptar)
        return Respuesta::Aceptar;
    m_err << QString(texto).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) << '\n';
    m_err.flush();
    return DialogosMudos::mensaje(texto, botones, icono, titulo, predeterminada);
}

} // namespace valvida
