#pragma once

#include "core/Entorno.h"

#include <QWidget>

#include <cstdint>
#include <functional>

class QLineEdit;
class QPushButton;

namespace valvida {

class FlexGrid;

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

    QSize sizeHint() const override;

private:
    void construye();
    void LlenaCampos();
    void MSFlexGrid1_GotFocus();
    void MSFlexGrid1_RowColChange();
    void cmdAlta_Click();
    void cmdModificar_Click();
    void cmdAceptar_Click();
    void cmdCancelar_Click();
    void cmdDetalle_Click();
    void aceptar();
    void modifica(std::int16_t tabla, std::int16_t edadInicial, std::int16_t edadFinal);
    void cancela();
    //! Browsing: the grid and Alta, Modificar, Detalle, Salir active; the boxes closed.
    void estadoConsulta();
    //! Entering a table: the boxes open, only Aceptar and Cancelar active (Modificar as given).
    void estadoCaptura();
    void habilitaCajas(bool habilitar);
    bool valida();
    void falla(const QString& texto, QLineEdit* foco);

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
    QString m_sql;
};

} // namespace valvida
