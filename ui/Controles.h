#pragma once

#include "ui/FlexGrid.h"

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace valvida {

// Controls of the forms, created with the name by which code and tests find them.

/*!
 * A label; with `companero` it is that input's buddy, so the input carries the label's text as
 * its accessible name (screen readers say it, tests find the input by it).
 */
QLabel* NuevaEtiqueta(QWidget* padre, const char* nombre, const QString& texto, QWidget* companero = nullptr);
QLineEdit* NuevaCaja(QWidget* padre, const char* nombre);
/*!
 * A box for a number as NumeroTecleado reads it under the box's locale (its own decimal mark and
 * groups only: "4.5" is no number under es_ES, "4,5" none under C): it refuses a key or a paste
 * that no further typing could turn into one (EsInicioDeNumero), so what it shows is always the
 * number typed so far, never a different one.
 */
QLineEdit* NuevaCajaNumerica(QWidget* padre, const char* nombre);
/*!
 * A numeric box for a number stored as a 16-bit whole number (an age, a term, a year): once left
 * it shows the whole number that is stored, rounded half to even ("36,5" becomes "36").
 */
QLineEdit* NuevaCajaEntera(QWidget* padre, const char* nombre);
QPushButton* NuevoBoton(QWidget* padre, const char* nombre, const QString& texto);

//! Makes a box just wide enough for the sample text in its own font (an age, a rate).
void AnchoParaTexto(QLineEdit* caja, const QString& muestra);

/*!
 * A grid that asks its layout for room to show every column whole (their widths come from their
 * texts) and a given number of rows, whatever the font; it still scrolls in a smaller window.
 */
class GridAjustado : public FlexGrid
{
  public:
    GridAjustado(QWidget* padre, const char* nombre, int filasVisibles);
    QSize sizeHint() const override;

  private:
    int m_filasVisibles;
};

} // namespace valvida
