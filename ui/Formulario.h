#pragma once

class QAbstractButton;
class QWidget;

namespace valvida {

/*!
 * The form's default button (Enter presses it) and cancel button (Escape presses it), for forms
 * that live outside a dialog: a grid or box that does not use the key passes it on to the form.
 */
void FijaBotonesFormulario(QWidget* formulario, QAbstractButton* predeterminado, QAbstractButton* cancelar);

/*!
 * Closes a form as its "&Salir" does: a child form closes its frame in the main window (closing
 * the form alone would leave the frame behind, empty), any other form closes itself.
 */
void CierraFormulario(QWidget* formulario);

} // namespace valvida
