#pragma once

class QAbstractButton;
class QWidget;

namespace valvida {

/*!
 * The form's default button (Enter presses it) and cancel button (Escape presses it), for forms
 * that live outside a dialog: a grid or box that does not use the key passes it on to the form.
 */
void FijaBotonesFormulario(QWidget* formulario, QAbstractButton* predeterminado, QAbstractButton* cancelar);

} // namespace valvida
