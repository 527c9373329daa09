#include "ui/Controles.h"

#include "core/Numeros.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

namespace valvida {

QLabel* NuevaEtiqueta(QWidget* padre, const char* nombre, const QString& texto)
{
    auto* etiqueta = new QLabel(texto, padre);
    etiqueta->setObjectName(QString::fromUtf8(nombre));
    return etiqueta;
}

QLineEdit* NuevaCaja(QWidget* padre, const char* nombre)
{
    auto* caja = new QLineEdit(padre);
    caja->setObjectName(QString::fromUtf8(nombre));
    return caja;
}

namespace {

class ValidadorNumerico : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString& texto, int&) const override
    {
        if (NumeroTecleado(texto, locale()))
            return Acceptable;
        return EsInicioDeNumero(texto, locale()) ? Intermediate : Invalid;
    }
};

} // namespace

QLineEdit* NuevaCajaNumerica(QWidget* padre, const char* nombre)
{
    QLineEdit* caja = NuevaCaja(padre, nombre);
    caja->setValidator(new ValidadorNumerico(caja));
    return caja;
}

QPushButton* NuevoBoton(QWidget* padre, const char* nombre, const QString& texto)
{
    auto* boton = new QPushButton(texto, padre);
    boton->setObjectName(QString::fromUtf8(nombre));
    // Enter and Escape belong to the form's default and cancel buttons, not to the focused one.
    boton->setAutoDefault(false);
    return boton;
}

} // namespace valvida
