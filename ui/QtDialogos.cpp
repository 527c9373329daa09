#include "ui/QtDialogos.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>

#include <algorithm>

namespace valvida {

Dialogos::Respuesta QtDialogos::mensaje(const QString& texto, Botones botones, Icono icono, const QString& titulo,
                                        Respuesta predeterminada)
{
    QMessageBox caja(QApplication::activeWindow());
    caja.setWindowTitle(titulo);
    caja.setText(QString(texto).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    switch (icono) {
    case Icono::Ninguno: caja.setIcon(QMessageBox::NoIcon); break;
    case Icono::Critico: caja.setIcon(QMessageBox::Critical); break;
    case Icono::Pregunta: caja.setIcon(QMessageBox::Question); break;
    case Icono::Exclamacion: caja.setIcon(QMessageBox::Warning); break;
    case Icono::Informacion: caja.setIcon(QMessageBox::Information); break;
    }
    switch (botones) {
    case Botones::Aceptar: caja.setStandardButtons(QMessageBox::Ok); break;
    case Botones::SiNo: caja.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Botones::SiNoCancelar:
        caja.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (predeterminada) {
    case Respuesta::Si: caja.setDefaultButton(QMessageBox::Yes); break;
    case Respuesta::No: caja.setDefaultButton(QMessageBox::No); break;
    case Respuesta::Cancelar: caja.setDefaultButton(QMessageBox::Cancel); break;
    case Respuesta::Aceptar: break;
    }
    // While a box waits for the user the pointer is the normal one, whatever runs behind it.
    const bool conReloj = QApplication::overrideCursor() != nullptr;
    if (conReloj)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int r = caja.exec();
    if (conReloj)
        QApplication::restoreOverrideCursor();
    switch (r) {
    case QMessageBox::Yes: return Respuesta::Si;
    case QMessageBox::No: return Respuesta::No;
    case QMessageBox::Cancel: return Respuesta::Cancelar;
    default: return botones == Botones::SiNoCancelar ? Respuesta::Cancelar : Respuesta::Aceptar;
    }
}

QString QtDialogos::FiltroQt(const QString& filtro)
{
    // Several types are separated by ";;", each "Description|*.ext".
    QStringList tipos;
    for (const QString& tipo : filtro.split(QStringLiteral(";;"))) {
        const QStringList partes = tipo.split(QLatin1Char('|'));
        if (partes.size() < 2) {
            tipos << tipo;
            continue;
        }
        const QString patron = partes.at(1);
        tipos << partes.at(0) + QStringLiteral(" (") + patron.toLower() + QLatin1Char(' ') + patron.toUpper() +
                     QLatin1Char(')');
    }
    return tipos.join(QStringLiteral(";;"));
}

QString QtDialogos::abrirArchivo(const QString& carpeta, const QString& filtro, const QString& titulo)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), titulo, carpeta, FiltroQt(filtro));
}

QString QtDialogos::guardarArchivo(const QString& carpeta, const QString& filtro, const QString& titulo)
{
    QString elegido;
    QString archivo =
        QFileDialog::getSaveFileName(QApplication::activeWindow(), titulo, carpeta, FiltroQt(filtro), &elegido);
    // A name typed without extension takes the type chosen in the dialog: "(*.csv *.CSV)" gives ".csv".
    const qsizetype punto = elegido.indexOf(QStringLiteral("(*."));
    if (!archivo.isEmpty() && QFileInfo(archivo).suffix().isEmpty() && punto >= 0)
        archivo += elegido.mid(punto + 2).section(QLatin1Char(' '), 0, 0).remove(QLatin1Char(')'));
    return archivo;
}

namespace {

class ProgresoQt : public Dialogos::Progreso
{
  public:
    ProgresoQt(const QString& texto, qint64 total)
        : m_caja(texto, QStringLiteral("Cancelar"), 0, Escala, QApplication::activeWindow())
        , m_total(total)
    {
        m_caja.setWindowTitle(TituloAplicacion);
        m_caja.setWindowModality(Qt::WindowModal);
        m_caja.setAutoReset(false);
        m_caja.setAutoClose(false);
        // A short run finishes before the box would be worth showing.
        m_caja.setMinimumDuration(400);
        m_caja.setValue(0);
    }

    bool avanza(qint64 hecho) override
    {
        const qint64 parte = m_total > 0 ? std::clamp<qint64>(hecho * Escala / m_total, 0, Escala) : Escala;
        m_caja.setValue(static_cast<int>(parte));
        // The box is modal: setValue has let the button's click through.
        QApplication::processEvents();
        return !m_caja.wasCanceled();
    }

  private:
    static constexpr int Escala = 1000;
    QProgressDialog m_caja;
    qint64 m_total;
};

} // namespace

std::unique_ptr<Dialogos::Progreso> QtDialogos::progreso(const QString& texto, qint64 total)
{
    return std::make_unique<ProgresoQt>(texto, total);
}

void QtDialogos::ponerRelojArena()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtDialogos::quitarRelojArena()
{
    QApplication::restoreOverrideCursor();
}

} // namespace valvida
