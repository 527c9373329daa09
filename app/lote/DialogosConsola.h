#pragma once

#include "core/Dialogos.h"

#include <QTextStream>

namespace valvida {

/*!
 * The dialog interface of the command-line tool: every box becomes its text on stderr (CR LF
 * as line ends of the text), but for a notice that the work is done, which the command's own
 * output says; there is no one to answer a question, no file is chosen and there is no pointer.
 */
class DialogosConsola : public Dialogos
{
  public:
    explicit DialogosConsola(QTextStream& err);

    Respuesta mensaje(const QString& texto, Botones botones, Icono icono, const QString& titulo,
                      Respuesta predeterminada) override;
    QString abrirArchivo(const QString& carpeta, const QString& filtro) override;
    QString guardarArchivo(const QString& carpeta, const QString& filtro) override;
    //! No box and no one to cancel: the work runs to its end.
    std::unique_ptr<Progreso> progreso(const QString& texto, qint64 total) override;
    void ponerRelojArena() override {}
    void quitarRelojArena() override {}

    //! How many boxes were written (notices aside); a command that wrote any ends with status 1.
    int cajas() const { return m_cajas; }

  private:
    QTextStream& m_err;
    int m_cajas = 0;
};

} // namespace valvida
