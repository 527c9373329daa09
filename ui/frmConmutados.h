#pragma once

#include "core/Entorno.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace valvida {

class ComboLista;
class FlexGrid;

/*!
 * The commutation columns of a mortality table at a technical interest rate: built on
 * "&Construir" and shown age by age beside the table's qx.
 */
class frmConmutados : public QWidget
{
    Q_OBJECT

  public:
    explicit frmConmutados(Entorno entorno, QWidget* parent = nullptr);

    //! False when the catalogue was empty at load: the form has said so and is not to be shown.
    bool HayTablas() const { return m_hayTablas; }

  private:
    void construye();
    void cmdConstruir_Click();

    Entorno m_entorno;
    ComboLista* m_cmbTabla = nullptr;
    QLineEdit* m_txtInteresTecnico = nullptr;
    QPushButton* m_cmdConstruir = nullptr;
    QPushButton* m_cmdSalir = nullptr;
    FlexGrid* m_grid = nullptr;
    bool m_hayTablas = false;
};

} // namespace valvida
