#pragma once

#include "core/Entorno.h"

#include <QWidget>

#include <functional>

class QLineEdit;
class QPushButton;

namespace valvida {

class FlexGrid;
struct TablaMortalidad;

/*!
 * The catalogue of mortality tables: browse them in a grid, create one ("Alta"), change the
 * description or the age range of one ("Modificar"), open the detail editor. Narrowing a range
 * deletes the table's detail rows that fall outside it.
 */
class frmTMDescripcion : public QWidget
{
    Q_OBJECT

  public:
    /*!
     * `muestraDetalle` opens (or brings forward) the detail editor, as the main window's menu
     * does.
     */
    frmTMDescripcion(Entorno entorno, std::function<void()> muestraDetalle, QWidget* parent = nullptr);

    //! True while the boxes hold a new table.
    bool EsAlta() const { return m_esAlta; }

  private:
    void construye();
    void LlenaCampos();
    void MSFlexGrid1_GotFocus();
    void MSFlexGrid1_RowColChange();
    void cmdAlta_Click();
    void cmdModificar_Click();
    void cmdAceptar_Click();
    void cancela();
    //! The grid's current row and the boxes take the table as stored; back to browsing.
    void muestraGuardada(const TablaMortalidad& tabla);
    //! Browsing: the grid and Alta, Modificar, Detalle, Salir active; the boxes closed.
    void estadoConsulta();
    //! Entering a table: the boxes open, only Aceptar and Cancelar active (Modificar as given).
    void estadoCaptura();
    void habilitaCajas(bool habilitar);

    Entorno m_entorno;
    std::function<void()> m_muestraDetalle;
    FlexGrid* m_grid = nullptr;
    QLineEdit* m_txtTabla = nullptr;
    QLineEdit* m_txtTablaDesc = nullptr;
    QLineEdit* m_txtDe = nullptr;
    QLineEdit* m_txtAl = nullptr;
    QPushButton* m_cmdAlta = nullptr;
    QPushButton* m_cmdModificar = nullptr;
    QPushButton* m_cmdAceptar = nullptr;
    QPushButton* m_cmdCancelar = nullptr;
    QPushButton* m_cmdDetalle = nullptr;
    QPushButton* m_cmdSalir = nullptr;

    bool m_esAlta = false;
    bool m_seleccionActiva = false;
};

} // namespace valvida
