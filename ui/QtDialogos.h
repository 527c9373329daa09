#pragma once

#include "core/Dialogos.h"

namespace valvida {

//! The dialog interface on screen: QMessageBox with Spanish buttons, QFileDialog, the wait cursor.
class QtDialogos : public Dialogos
{
  public:
    Respuesta mensaje(const QString& texto, Botones botones, Icono icono, const QString& titulo,
                      Respuesta predeterminada) override;
    QString abrirArchivo(const QString& carpeta, const QString& filtro, const QString& titulo) override;
    QString guardarArchivo(const QString& carpeta, const QString& filtro, const QString& titulo) override;
    //! A window-modal QProgressDialog with a "Cancelar" button, over the active window.
    std::unique_ptr<Progreso> progreso(const QString& texto, qint64 total) override;
    void ponerRelojArena() override;
    void quitarRelojArena() override;

    //! "Description|*.ext" as Qt writes a filter: "Description (*.ext *.EXT)"; several types joined by ";;".
    static QString FiltroQt(const QString& filtro);
};

} // namespace valvida
