#include "support/FakeDialogos.h"

namespace valvida::prueba {

Dialogos::Respuesta FakeDialogos::mensaje(const QString& texto, Botones botones, Icono icono, const QString& titulo,
                                          Respuesta predeterminada)
{
    cajas.append({texto, botones, icono, titulo, predeterminada});
    if (alMostrar)
        alMostrar(cajas.last());
    if (botones == Botones::Aceptar)
        return Respuesta::Aceptar;
    if (m_respuestas.isEmpty())
        return botones == Botones::SiNo ? Respuesta::No : Respuesta::Cancelar;
    return m_respuestas.takeFirst();
}

QString FakeDialogos::abrirArchivo(const QString& carpeta, const QString& filtro, const QString& titulo)
{
    carpetasDialogo << carpeta;
    filtrosDialogo << filtro;
    titulosDialogo << titulo;
    if (m_archivos.isEmpty()) {
        ++dialogosSinArchivo;
        return {};
    }
    return m_archivos.takeFirst();
}

QString FakeDialogos::guardarArchivo(const QString& carpeta, const QString& filtro, const QString& titulo)
{
    return abrirArchivo(carpeta, filtro, titulo);
}

namespace {

struct ProgresoFalso : Dialogos::Progreso
{
    explicit ProgresoFalso(const bool& cancela)
        : m_cancela(cancela)
    {
    }
    bool avanza(qint64) override { return !m_cancela; }
    const bool& m_cancela;
};

} // namespace

std::unique_ptr<Dialogos::Progreso> FakeDialogos::progreso(const QString& texto, qint64 total)
{
    progresos << texto + QLatin1Char('/') + QString::number(total);
    return std::make_unique<ProgresoFalso>(cancelaProgreso);
}

void FakeDialogos::ponerRelojArena()
{
    ++reloj;
    relojMaximo = std::max(relojMaximo, reloj);
}

void FakeDialogos::quitarRelojArena()
{
    --reloj;
}

void FakeDialogos::responde(std::initializer_list<Respuesta> respuestas)
{
    for (Respuesta r : respuestas)
        m_respuestas << r;
}

QStringList FakeDialogos::textos() const
{
    QStringList t;
    for (const Caja& c : cajas)
        t << c.texto;
    return t;
}

} // namespace valvida::prueba
