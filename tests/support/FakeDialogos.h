#pragma once

#include "core/Dialogos.h"

#include <QList>
#include <QStringList>

namespace valvida::prueba {

/*!
 * The dialog interface under test: records every box, answers questions from a script and
 * hands out scripted file names. A question with no scripted answer is answered No (or Cancel).
 */
class FakeDialogos : public Dialogos
{
  public:
    struct Caja
    {
        QString texto;
        Botones botones;
        Icono icono;
        QString titulo;
        Respuesta predeterminada;
    };

    Respuesta mensaje(const QString& texto, Botones botones, Icono icono, const QString& titulo,
                      Respuesta predeterminada) override;
    QString abrirArchivo(const QString& carpeta, const QString& filtro, const QString& titulo = {}) override;
    QString guardarArchivo(const QString& carpeta, const QString& filtro, const QString& titulo = {}) override;
    std::unique_ptr<Progreso> progreso(const QString& texto, qint64 total) override;
    void ponerRelojArena() override;
    void quitarRelojArena() override;

    //! Answers for the next questions, in order.
    void responde(std::initializer_list<Respuesta> respuestas);
    //! File names for the next file dialogs, in order; an empty name is a cancel.
    void eligeArchivo(const QString& nombre) { m_archivos << nombre; }

    QList<Caja> cajas;
    QStringList textos() const;
    //! Carpeta and filter of the file dialogs shown, in order.
    QStringList carpetasDialogo;
    QStringList filtrosDialogo;
    QStringList titulosDialogo;
    int dialogosSinArchivo = 0;
    //! Depth of the hourglass now, and the deepest it went.
    int reloj = 0;
    int relojMaximo = 0;
    //! Progress boxes opened, "text/total"; while `cancelaProgreso` holds, each step answers cancel.
    QStringList progresos;
    bool cancelaProgreso = false;
    //! Called when a box is shown, before it is answered (to look at the forms at that moment).
    std::function<void(const Caja&)> alMostrar;

  private:
    QList<Respuesta> m_respuestas;
    QStringList m_archivos;
};

} // namespace valvida::prueba
