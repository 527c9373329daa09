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
QPushButton* NuevoBoton(QWidget* padre, const char* nombre, const QString& texto);

} // namespace valvida
