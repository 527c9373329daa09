#pragma once

#include "actuarial/cartera/ResumenCartera.h"
#include "core/Entorno.h"

#include <QWidget>

class QPushButton;
class QTableWidget;

namespace valvida {

/*!
 * "Resumen de la cartera": what a valuation of a portfolio came to. Its input and output files,
 * a grid by scenario (number, description, policies, sum insured, annual tariff premium,
 * reserve) with the total row, money as money (TextoPantalla), and a bar chart of the reserve by
 * whole years in force. "Guardar libro" writes the same summary as a workbook.
 */
class frmResumenCartera : public QWidget
{
    Q_OBJECT

  public:
    frmResumenCartera(Entorno& entorno, CuadroCartera cuadro, QWidget* parent = nullptr);

  private:
    void cmdGuardar_Click();

    Entorno& m_entorno;
    CuadroCartera m_cuadro;
    QTableWidget* m_grid;
    QPushButton* m_guardar;
    QPushButton* m_salir;
};

} // namespace valvida
