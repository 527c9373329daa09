#pragma once

#include "core/Entorno.h"

#include <QWidget>

class QDateEdit;
class QLineEdit;
class QPushButton;

namespace valvida {

class FlexGrid;
class GraficoResultado;

/*!
 * The yield curves of the best estimate: the stored curves in a grid; the one selected shows its
 * spot rates by maturity in a grid and a chart. "Importar" stores a new curve from a file of lines
 * "Plazo,Tipo" (ImportaCurva) under the description and date typed.
 */
class frmCurvas : public QWidget
{
    Q_OBJECT

  public:
    explicit frmCurvas(Entorno entorno, QWidget* parent = nullptr);

  private:
    void construye();
    void cargaCurvas();
    void muestraSeleccion();
    void cmdImportar_Click();

    Entorno m_entorno;
    FlexGrid* m_grid = nullptr;
    FlexGrid* m_tipos = nullptr;
    GraficoResultado* m_grafico = nullptr;
    QLineEdit* m_txtDescripcion = nullptr;
    QDateEdit* m_dtpFecha = nullptr;
    QPushButton* m_cmdImportar = nullptr;
    QPushButton* m_cmdSalir = nullptr;
};

} // namespace valvida
