#pragma once

#include "core/Constantes.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace valvida {

class ErrorVV;

/*!
 * Message boxes, file dialogs and the mouse pointer, as the forms and routines reach them.
 * The window program hands them a Qt implementation, the command-line tool one that writes to
 * stderr, and tests a double that records every box and answers from a script, so no modal loop
 * ever runs under test.
 */
class Dialogos
{
  public:
    enum class Icono { Ninguno, Critico, Pregunta, Exclamacion, Informacion };
    enum class Botones { Aceptar, SiNo, SiNoCancelar };
    enum class Respuesta { Aceptar, Si, No, Cancelar };

    //! A long operation's progress box with a button to cancel it; closed when destroyed.
    class Progreso
    {
      public:
        virtual ~Progreso() = default;
        //! Shows `hecho` of the total; false once the user has asked to cancel.
        virtual bool avanza(qint64 hecho) = 0;
    };

    virtual ~Dialogos() = default;

    /*!
     * A modal box; the caption is `TituloAplicacion` unless a box asks for another one. Enter
     * presses `predeterminada` (the first button when it is not one of the box's): a question
     * whose Yes destroys data answers No to a hasty Enter.
     */
    virtual Respuesta mensaje(const QString& texto, Botones botones, Icono icono,
                              const QString& titulo = TituloAplicacion,
                              Respuesta predeterminada = Respuesta::Aceptar) = 0;

    /*!
     * The open-file and save-file dialogs. The filter is written "Description|*.ext"; the title
     * says which file is asked for (empty: the system's own). An empty result means the user
     * cancelled.
     */
    virtual QString abrirArchivo(const QString& carpeta, const QString& filtro, const QString& titulo = {}) = 0;
    virtual QString guardarArchivo(const QString& carpeta, const QString& filtro, const QString& titulo = {}) = 0;

    //! Opens a progress box with this text over a total of `total` (any unit: bytes, rows).
    virtual std::unique_ptr<Progreso> progreso(const QString& texto, qint64 total) = 0;

    //! The hourglass pointer; calls nest, each `ponerRelojArena` undone by one `quitarRelojArena`.
    virtual void ponerRelojArena() = 0;
    virtual void quitarRelojArena() = 0;

    //! Caption of the one box that shows the program's default title instead of `TituloAplicacion`.
    static QString TituloPredeterminado();
};

/*!
 * Dialogs that no one sees, for work that runs without a window (a plan's calculation, the
 * command-line tool, a benchmark): every box's text is kept in `textos`, a question is answered
 * No (or Cancel), no file is chosen, a progress is never cancelled, there is no pointer.
 */
class DialogosMudos : public Dialogos
{
  public:
    Respuesta mensaje(const QString& texto, Botones botones, Icono icono, const QString& titulo,
                      Respuesta predeterminada) override;
    QString abrirArchivo(const QString&, const QString&, const QString&) override { return {}; }
    QString guardarArchivo(const QString&, const QString&, const QString&) override { return {}; }
    std::unique_ptr<Progreso> progreso(const QString& texto, qint64 total) override;
    void ponerRelojArena() override {}
    void quitarRelojArena() override {}

    QStringList textos;
};

/*!
 * The hourglass for the life of a scope: every way out, an error included, puts the pointer back.
 */
class RelojArena
{
  public:
    explicit RelojArena(Dialogos& dialogos);
    ~RelojArena();
    RelojArena(const RelojArena&) = delete;
    RelojArena& operator=(const RelojArena&) = delete;

  private:
    Dialogos& m_dialogos;
};

/*!
 * The error box: the routine line, "Error:" with the number, the description; critical icon,
 * OK button, caption `TituloAplicacion`.
 */
void MostrarError(Dialogos& dialogos, const QString& rutina, const ErrorVV& error);

/*!
 * Runs the steps of a routine or a form's handler: an error they raise is shown in the error box
 * under `rutina` and goes no further. True when the steps ran to their end.
 */
bool ConCajaError(Dialogos& dialogos, const QString& rutina, const std::function<void()>& pasos);

} // namespace valvida
