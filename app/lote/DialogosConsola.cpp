#include "app/lote/DialogosConsola.h"

namespace valvida {

DialogosConsola::DialogosConsola(QTextStream& err)
    : m_err(err)
{
}

Dialogos::Respuesta DialogosConsola::mensaje(const QString& texto, Botones botones, Icono icono, const QString&,
                                             Respuesta)
{
    // A notice that the work is done ("Carga finalizada con exito") is no failure: what the
    // command prints on stdout says it.
    if (icono == Icono::Informacion && botones == Botones::Aceptar)
        return Respuesta::Aceptar;
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

namespace {

class ProgresoConsola : public Dialogos::Progreso
{
  public:
    bool avanza(qint64) override { return true; }
};

} // namespace

std::unique_ptr<Dialogos::Progreso> DialogosConsola::progreso(const QString&, qint64)
{
    return std::make_unique<ProgresoConsola>();
}

QString DialogosConsola::guardarArchivo(const QString&, const QString&)
{
    return {};
}

} // namespace valvida
