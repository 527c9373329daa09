#pragma once

#include "core/Entorno.h"

#include <QWidget>

#include <cstdint>

class QLabel;
class QPushButton;
class QMdiSubWindow;

namespace valvida {

class FlexGrid;
class GraficoResultado;
struct DatosGrafico;

/*!
 * "Resultados": the stored scenarios in a list and, for the one chosen, its rows of T_Resultado
 * in a table, a premium chart and a reserve chart, the scenario title, the premium summary for
 * the sum insured, and the export of everything the scenario rests on. It only reads the store.
 *
 * Opened by the main window for the scenario form, in this order: `seleccionaEscenario`,
 * `LlenaResultado`, `GeneraTitulo`. A click on any cell of a list row, its number included, and
 * a move of the current row by keyboard do the last two for the scenario whose number stands in
 * that row, so the title and the export always follow the scenario shown.
 */
class frmResultados : public QWidget
{
    Q_OBJECT

  public:
    explicit frmResultados(Entorno& entorno, QWidget* parent = nullptr);
    ~frmResultados() override;

    //! Reads the scenario list again; the chosen scenario stays chosen, so one stored since the
    //! form was opened can be shown.
    void recarga();

    //! Runs the layout again on every activation of the child window that holds the form.
    void conectaVentana(QMdiSubWindow* ventana);

    //! Makes current the list row whose scenario number is `escenario`; when it is not listed, no row (false).
    bool seleccionaEscenario(std::int32_t escenario);

    /*!
     * Fills the result table and both charts with the rows of scenario `escenario` (the number,
     * not a list row); the title and summary stay empty until `GeneraTitulo`. A failure of the
     * store is reported in the error box; it never throws.
     */
    void LlenaResultado(std::int32_t escenario);

    /*!
     * From the list's current row and the table's first result row: the title "Escenario 3: D 20-15",
     * the two-line premium summary for the sum insured and the first header ("Mes Póliza" for a
     * one-year cover, else "Año Póliza"). Without result rows the summary is empty.
     */
    void GeneraTitulo();

    /*!
     * Runs the layout again: the two halves side by side (list, premium summary and premium chart
     * on the left; result table, title and reserve chart on the right), the buttons below. Hidden
     * controls keep their places, so an enlarged chart goes back to its own half.
     */
    void Redimensiona();

    bool VistaNormal() const { return m_vistaNormal; }

    //! Both grids with a dozen rows, the list's columns and the results up to the tariff premium
    //! whole, and both charts readable: the size the form opens at, where the screen has room.
    QSize sizeHint() const override;

  private:
    void Form_Load();
    void MSFlexGrid1_Click();
    void MSFlexGrid1_RowColChange();
    void muestraFilaActual(const QString& rutina);
    void cmdVaciar_Click();
    void cmdInforme_Click();
    void cmdSalir_Click();
    void MSChart_Activado(GraficoResultado* grafico);

    void dispone();
    void cargaEscenarios();
    bool hayEscenarioActual() const;
    QList<QWidget*> controles() const;
    void llenaGraficos(std::int32_t escenario);
    void titulaGraficos();

    Entorno& m_entorno;
    FlexGrid* m_lista;
    FlexGrid* m_resultado;
    GraficoResultado* m_grafico1;
    GraficoResultado* m_grafico2;
    QLabel* m_label1;
    QLabel* m_label2;
    QLabel* m_label3;
    QLabel* m_label4;
    QPushButton* m_vaciar;
    QPushButton* m_informe;
    QPushButton* m_salir;
    bool m_vistaNormal = true;
    //! The list row whose scenario the table, charts and title show (-1: none yet).
    int m_filaMostrada = -1;
    //! The scenario whose rows the table and charts show, and whether they are months.
    std::int32_t m_escenarioMostrado = 0;
    bool m_porMeses = false;
};

} // namespace valvida
