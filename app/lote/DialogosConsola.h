#pragma once

#include "core/Dialogos.h"

#include <QTextStream>

namespace valvida {

/*!
 * The dialog interface of the command-line tool: every box becomes its text on stderr (CR LF
 * as line ends of the text), but for a notice that the work is done, which the command's own
 * output says; there is no one to answer a question, no file is chosen and there is no pointer.
 */
class DialogosConsola : public DialogosMudos
{
  public:
    explicit DialogosConsola(QTextStream& err);

    Respuesta mensaje(const QString& texto, Botones botones, Icono icono, const QString& titulo,
                      Respuesta predeterminada) override;

    //! How many boxes were written (notices aside); a command that wrote any ends with status 1.
    int cajas() const { return static_cast<int>(textos.size()); }

  private:
    QTextStream& m_err;
};

} // namespace valvida
