#pragma once

#include "core/Entorno.h"

#include <QWidget>

#include <cstdint>
#include <optional>

class QLineEdit;
class QPushButton;

namespace valvida {

class ComboLista;
class FlexGrid;
struct ConjuntoHipotesis;

/*!
 * The best estimate's assumption sets: the stored sets in a grid, the one selected in the boxes
 * with its lapse rates; "Alta" enters a new set, its lapse rates typed into their own grid, and
 * "Aceptar" checks it (CompruebaHipotesis) and stores it with them. A stored set is not edited.
 */
class frmHipotesis : public QWidget
{
    Q_OBJECT

  public:
    explicit frmHipotesis(Entorno entorno, QWidget* parent = nullptr);

  private:
    void construye();
    void cargaConjuntos();
    //! The boxes and the lapse grid take the set of the list's current row.
    void muestraSeleccion();
    void muestra(const ConjuntoHipotesis& conjunto);
    void cmdAlta_Click();
    void cmdAceptar_Click();
    void cancela();
    void caidas_KeyPress(QChar tecla);
    //! Browsing (the list and Alta, Salir) or entering a set (the boxes, the lapse grid, Aceptar, Cancelar).
    void fijaEstado(bool captura);
    void vaciaCaidas(int filas);

    Entorno m_entorno;
    FlexGrid* m_grid = nullptr;
    FlexGrid* m_caidas = nullptr;
    QLineEdit* m_txtHipotesis = nullptr;
    QLineEdit* m_txtDescripcion = nullptr;
    ComboLista* m_cmbTabla = nullptr;
    QLineEdit* m_txtPorcentajeMortalidad = nullptr;
    QLineEdit* m_txtGastoPoliza = nullptr;
    QLineEdit* m_txtPorcentajeGastoPrima = nullptr;
    QLineEdit* m_txtInflacionGastos = nullptr;
    QPushButton* m_cmdAlta = nullptr;
    QPushButton* m_cmdModificar = nullptr;
    //! The stored set being changed ("Modificar"); none for a new one.
    std::optional<std::int32_t> m_modificada;
    QPushButton* m_cmdAceptar = nullptr;
    QPushButton* m_cmdCancelar = nullptr;
    QPushButton* m_cmdSalir = nullptr;
    bool m_captura = false;
};

} // namespace valvida
