#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace valvida {

// Controls of the forms, created with the name by which code and tests find them.

QLabel* NuevaEtiqueta(QWidget* padre, const char* nombre, const QString& texto);
QLineEdit* NuevaCaja(QWidget* padre, const char* nombre);
/*!
 * A box for a number: it refuses a key or a paste that no further typing could turn into a number
 * (NumeroTecleado, the locale's decimal mark or the point), so what it shows is always the number
 * typed so far, never a different one.
 */
QLineEdit* NuevaCajaNumerica(QWidget* padre, const char* nombre);
QPushButton* NuevoBoton(QWidget* padre, const char* nombre, const QString& texto);

} // namespace valvida
