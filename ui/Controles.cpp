#include "ui/Controles.h"

#include "core/Numeros.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QValidator>
#include <QWidget>

namespace valvida {

QLabel* NuevaEtiqueta(QWidget* padre, const char* nombre, const QString& texto, QWidget* companero)
{
    auto* etiqueta = new QLabel(texto, padre);
    etiqueta->setObjectName(QString::fromUtf8(nombre));
    if (companero)
        etiqueta->setBuddy(companero);
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

    // The box's own locale, which the form also reads the number with: both always agree.
    State validate(QString& texto, int&) const override
    {
        const QLocale locale = static_cast<QWidget*>(parent())->locale();
        if (NumeroTecleado(texto, locale))
            return Acceptable;
        return EsInicioDeNumero(texto, locale) ? Intermediate : Invalid;
    }
};

} // namespace

QLineEdit* NuevaCajaNumerica(QWidget* padre, const char* nombre)
{
    QLineEdit* caja = NuevaCaja(padre, nombre);
    caja->setValidator(new ValidadorNumerico(caja));
    return caja;
}

QLineEdit* NuevaCajaEntera(QWidget* padre, const char* nombre)
{
    QLineEdit* caja = NuevaCajaNumerica(padre, nombre);
    QObject::connect(caja, &QLineEdit::editingFinished, caja, [caja] {
        const std::optional<double> valor = NumeroTecleado(caja->text(), caja->locale());
        const std::optional<std::int16_t> entero = valor ? AEntero16SiCabe(*valor) : std::nullopt;
        // Out of range it stays as typed, for the check to refuse.
        if (entero && caja->text() != QString::number(*entero))
            caja->setText(QString::number(*entero));
    });
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

void AnchoParaTexto(QLineEdit* caja, const QString& muestra)
{
    // A box's size hint is 17 x-widths plus its frame and margins: keep those, fit the sample.
    const QFontMetrics medidas = caja->fontMetrics();
    const int marco = caja->sizeHint().width() - 17 * medidas.horizontalAdvance(QLatin1Char('x'));
    caja->setFixedWidth(marco + medidas.horizontalAdvance(muestra + QLatin1Char(' ')));
}

GridAjustado::GridAjustado(QWidget* padre, const char* nombre, int filasVisibles)
    : FlexGrid(padre)
    , m_filasVisibles(filasVisibles)
{
    setObjectName(QString::fromUtf8(nombre));
}

QSize GridAjustado::sizeHint() const
{
    // Room for both scroll bars is kept: more rows or a longer text may still come.
    int ancho = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < columnCount(); ++c)
        ancho += columnWidth(c);
    const int alto = 2 * frameWidth() + horizontalScrollBar()->sizeHint().height() +
                     m_filasVisibles * verticalHeader()->defaultSectionSize();
    return {ancho, alto};
}

} // namespace valvida
