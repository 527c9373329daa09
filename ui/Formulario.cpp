#include "ui/Formulario.h"

#include <QAbstractButton>
#include <QMdiSubWindow>
#include <QShortcut>
#include <QWidget>

namespace valvida {

namespace {

void Atajo(QWidget* formulario, const QKeySequence& tecla, QAbstractButton* boton)
{
    auto* atajo = new QShortcut(tecla, formulario);
    atajo->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(atajo, &QShortcut::activated, boton, [boton] {
        if (boton->isEnabled() && boton->isVisible())
            boton->click();
    });
}

} // namespace

void FijaBotonesFormulario(QWidget* formulario, QAbstractButton* predeterminado, QAbstractButton* cancelar)
{
    if (predeterminado) {
        Atajo(formulario, QKeySequence(Qt::Key_Return), predeterminado);
        Atajo(formulario, QKeySequence(Qt::Key_Enter), predeterminado);
    }
    if (cancelar)
        Atajo(formulario, QKeySequence(Qt::Key_Escape), cancelar);
}

void CierraFormulario(QWidget* formulario)
{
    if (auto* marco = qobject_cast<QMdiSubWindow*>(formulario->parentWidget()))
        marco->close();
    else
        formulario->close();
}

} // namespace valvida
