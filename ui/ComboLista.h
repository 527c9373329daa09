#pragma once

#include "core/Cargadores.h"

#include <QComboBox>

namespace valvida {

/*!
 * A drop-down list whose items carry a 32-bit key. Adding items never selects one (the first
 * item added to an empty Qt combo box would otherwise become current and raise the selection
 * event in the middle of a load); selecting by code raises `currentIndexChanged` as a user's
 * choice does. Its width follows its longest entry.
 */
class ComboLista : public QComboBox, public ReceptorLista
{
    Q_OBJECT

  public:
    explicit ComboLista(QWidget* parent = nullptr);

    void AddItem(const QString& texto) override;
    int NewIndex() const override { return m_nuevo; }
    void setItemData(int indice, std::int32_t clave) override;

    //! Key of the selected item; error 94 (invalid use of null) when nothing is selected.
    std::int32_t claveActual() const;
    //! Selects the first item with this key; false when there is none.
    bool seleccionaClave(std::int32_t clave);

  private:
    int m_nuevo = -1;
};

} // namespace valvida
