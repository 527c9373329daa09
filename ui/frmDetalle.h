#pragma once

#include "core/Dialogos.h"
#include "core/Entorno.h"

#include <QStringList>
#include <QWidget>

#include <optional>

class QLineEdit;
class QPushButton;

namespace valvida {

class ComboLista;
class FlexGrid;

/*!
 * The qx of one mortality table, one grid row per age, shown to 10 significant digits in the
 * locale's decimal mark, typed in the grid itself (digits, one decimal mark of the locale, the
 * erase key) and stored all at once; a qx not edited is stored again as it was read. A window of its own beside the
 * main window. Every way of closing it ("&Salir", Escape, the window's own button, the main window closing) asks first
 * whether unsaved qx are to be stored.
 */
class frmDetalle : public QWidget
{
    Q_OBJECT

  public:
    explicit frmDetalle(Entorno entorno, QWidget* parent = nullptr);

    //! Loads the table chosen in the list into the age boxes and the grid, dropping any edits.
    void Edades();

    //! The grid was edited since the last load or store.
    bool HayCambios() const { return m_hayCambios; }
    //! The next attempt to close is refused (a store started and did not complete).
    bool NoCerrar() const { return m_noCerrar; }
    //! The table whose rows the grid holds.
    std::optional<int> tablaEnGrid() const { return m_tabla; }

    //! Closes without a question and without storing: the table it shows no longer exists.
    void CierraSinGuardar();

  protected:
    void closeEvent(QCloseEvent* evento) override;

  private:
    void construye();
    void cmbTabla_Click();
    void MSFlexGrid1_KeyPress(QChar tecla);
    void MSFlexGrid1_KeyUp(int tecla);
    void GuardaDetalle();
    bool celdaEditable() const;
    QString textoQx(const QString& guardada) const;
    void ajustaColumnaQx();
    //! Puts the list back on the table the grid holds, without raising its selection event.
    void vuelveListaATablaEnGrid();
    Dialogos::Respuesta preguntaGuardar();

    Entorno m_entorno;
    ComboLista* m_cmbTabla = nullptr;
    QLineEdit* m_txtEdadIni = nullptr;
    QLineEdit* m_txtEdadFin = nullptr;
    FlexGrid* m_grid = nullptr;
    QPushButton* m_cmdAceptar = nullptr;
    QPushButton* m_cmdCancelar = nullptr;
    QPushButton* m_cmdSalir = nullptr;

    bool m_hayCambios = false;
    bool m_noCerrar = false;
    std::optional<int> m_tabla;
    //! The qx of each grid row as the store holds them (the system's text), since the last load or store.
    QStringList m_qxGuardadas;
};

} // namespace valvida
