#pragma once

#include "core/Entorno.h"

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace valvida {

class ComboLista;
class FlexGrid;
class GraficoResultado;
struct DatosGrafico;
struct ResultadoMejorEstimacion;

/*!
 * Shows values of any size in a chart of the best estimate's forms, the labels of the value axis in
 * the locale's decimal mark; with `dinero` sums of money in thousands or millions, the axis titled so
 * ("1,5" millions, not "1.5e+06").
 */
void MuestraGraficoValores(GraficoResultado* grafico, DatosGrafico datos, bool dinero);

/*!
 * The best estimate of a portfolio file on an assumption set and a yield curve
 * (ValoraMejorEstimacion), with a progress box that can be cancelled: the output file and the
 * yearly flows' file beside it (ArchivoFlujos) written, then the flows by year in a grid with
 * their total, the best estimate, and a chart of the flows by kind with the run-off of their value.
 */
class frmMejorEstimacion : public QWidget
{
    Q_OBJECT

  public:
    explicit frmMejorEstimacion(Entorno entorno, QWidget* parent = nullptr);
    ~frmMejorEstimacion() override;

  protected:
    void showEvent(QShowEvent* evento) override;

  private:
    void construye();
    //! Reads the two lists again, keeping the choices still there: a set or curve added meanwhile shows.
    void cargaListas();
    void cmdCartera_Click();
    void cmdResultado_Click();
    void cmdValorar_Click();
    void cmdGuardar_Click();
    //! Valorar waits for the four choices.
    void habilita();
    //! Nothing shown: before a valuation, so an earlier one's figures are never read as its own.
    void vaciaResultado();
    void muestraResultado(const ResultadoMejorEstimacion& resultado);

    Entorno m_entorno;
    QLineEdit* m_txtCartera = nullptr;
    QLineEdit* m_txtResultado = nullptr;
    ComboLista* m_cmbHipotesis = nullptr;
    ComboLista* m_cmbCurva = nullptr;
    QPushButton* m_cmdCartera = nullptr;
    QPushButton* m_cmdResultado = nullptr;
    QPushButton* m_cmdValorar = nullptr;
    QPushButton* m_cmdGuardar = nullptr;
    QPushButton* m_cmdSalir = nullptr;
    QLabel* m_lblMejorEstimacion = nullptr;
    FlexGrid* m_grid = nullptr;
    GraficoResultado* m_grafico = nullptr;
    bool m_sigueVentana = false;
    //! The last valuation's flows, for the workbook.
    std::unique_ptr<ResultadoMejorEstimacion> m_valorada;
};

} // namespace valvida
