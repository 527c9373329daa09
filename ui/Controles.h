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
 * A box for a number: it refuses a key or a paste that no further typing could turn into a number
 * (NumeroTecleado, the locale's decimal mark or the point), so what it shows is always the number
 * typed so far, never a different one.
 */
QLineEdit* NuevaCajaNumerica(QWidget* padre, const char* nombre);
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
