#pragma once

#include "core/EntradaEscenario.h"

#include <QWidget>

#include <cstdint>
#include <functional>

class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace valvida {

struct Entorno;
class ComboLista;
class Comision;
class FlexGrid;

/*!
 * Set by the scenario form while it opens: false when there is no mortality table to work with,
 * so the main window closes the form again.
 */
extern bool HayTablasMortalidad;

/*!
 * The scenario form: the list of stored scenarios, the entry of a new one (or of a copy of the
 * one on show) with its commission schedule, and the run of a scenario's calculation.
 * Browsing, New and Copy are its states; stored scenarios are never changed or deleted.
 * Its checks and its store are `CompruebaEscenario` and `GuardaEscenario`. While browsing, the
 * fields show the scenario of the list's current row, however it got there. Closed in New or
 * Copy, it asks whether to store the scenario first.
 */
class frmEscenarios : public QWidget
{
    Q_OBJECT

  public:
    enum class Estado { Navegando, Nuevo, Copia };

    //! Opens the form: fills the lists and the scenario list (see `HayTablasMortalidad`).
    //! `muestraResultados` shows a scenario's results once "Resultado" has calculated it.
    frmEscenarios(Entorno& entorno, std::function<void(std::int32_t escenario)> muestraResultados,
                  QWidget* parent = nullptr);
    ~frmEscenarios() override;

    Estado estado() const { return m_estado; }
    Comision& comision() const { return *m_comision; }

    /*!
     * Whether the form may close: while browsing, yes; in New or Copy it asks "el escenario no se
     * ha guardado, deseas guardarlo": Yes stores it as "Aceptar" does (no, when refused), No drops
     * it, Cancel keeps it.
     */
    bool PuedeCerrar();
    //! Closes the form dropping an entry without the question (its tables are gone).
    void CierraSinGuardar();

  public slots:
    void MSFlexGrid1_Click();
    void MSFlexGrid1_RowColChange();
    void cmdAlta_Click();
    void cmdModificar_Click();
    void cmdAceptar_Click();
    void cmdCancelar_Click();
    void cmdResultado_Click();
    void cmdSalir_Click();

  protected:
    void closeEvent(QCloseEvent* evento) override;
    bool event(QEvent* evento) override;

  private:
    void construye();
    void construyeLista();
    void construyeCampos();
    void construyeCalendario();
    void construyeBotones();
    //! The list above; fields, buttons and schedule below; the tab order; browsing state.
    void dispone();
    //! The schedule beside the fields where the width allows it, else below them.
    void ajustaDisposicion();
    void colocaCalendario(bool alLado);
    void conecta();
    void Form_Load();
    void MuestraEscenario();
    //! "Aceptar": false when the scenario was refused.
    bool Guarda();

    void txtEdad_Change();
    void txtPlazoSeguro_Change();
    //! A new table or insurance type rewrites the insurance term once the form is open.
    void ReaccionLista(const QString& rutina);
    void ReaccionPlazoSeguro();

    //! Selects an entry as a user's choice would, running the list's reactions even when it
    //! was already selected.
    static void Selecciona(ComboLista* lista, int indice);
    void ReiniciaCampos(bool habilitar);
    void FijaBotones(Estado estado);

    EntradaEscenario Entrada() const;
    void Rechaza(const Rechazo& rechazo);
    QWidget* Campo(CampoEscenario campo) const;
    //! The text boxes and lists, in the form's control order.
    QList<QWidget*> Campos() const;

    Entorno& m_entorno;
    std::function<void(std::int32_t)> m_muestraResultados;
    bool m_inicializado = false;
    bool m_cargandoEscenario = false;
    Estado m_estado = Estado::Navegando;
    //! The list's row whose scenario the fields show; 0 for none.
    int m_filaMostrada = 0;
    bool m_calendarioAlLado = false;
    QGridLayout* m_abajo = nullptr;

    FlexGrid* m_MSFlexGrid1 = nullptr;
    QGroupBox* m_Frame1 = nullptr;
    QGroupBox* m_Frame2 = nullptr;
    QGroupBox* m_Frame3 = nullptr;
    QLineEdit* m_txtEdad = nullptr;
    QLineEdit* m_txtSumaAsegurada = nullptr;
    ComboLista* m_cmbTabla = nullptr;
    QLineEdit* m_txtInteresTecnico = nullptr;
    ComboLista* m_cmbTipoSeguro = nullptr;
    QLineEdit* m_txtPlazoSeguro = nullptr;
    QLabel* m_Label6 = nullptr;
    QLineEdit* m_txtPlazoPago = nullptr;
    ComboLista* m_cmbTipoComision = nullptr;
    QLineEdit* m_txtTotalAnios = nullptr;
    QLineEdit* m_txtDescripcion = nullptr;
    QLineEdit* m_txtPenalizacionRescate = nullptr;
    QLineEdit* m_txtAnioRescate = nullptr;
    QPushButton* m_cmdResultado = nullptr;
    QPushButton* m_cmdAlta = nullptr;
    QPushButton* m_cmdModificar = nullptr;
    QPushButton* m_cmdAceptar = nullptr;
    QPushButton* m_cmdCancelar = nullptr;
    QPushButton* m_cmdSalir = nullptr;
    Comision* m_comision = nullptr;
};

} // namespace valvida
