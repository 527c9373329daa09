#include "ui/ComboLista.h"

#include "core/ErrorVV.h"

#include <QSignalBlocker>

namespace valvida {

ComboLista::ComboLista(QWidget* parent)
    : QComboBox(parent)
{
    setEditable(false);
    // As wide as its longest entry, so a layout never cuts an entry ("Comisión primer año").
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
}

void ComboLista::AddItem(const QString& texto)
{
    const int antes = currentIndex();
    {
        QSignalBlocker bloqueo(this);
        addItem(texto);
        if (currentIndex() != antes)
            setCurrentIndex(antes);
    }
    m_nuevo = count() - 1;
}

void ComboLista::setItemData(int indice, std::int32_t clave)
{
    QComboBox::setItemData(indice, clave);
}

std::int32_t ComboLista::claveActual() const
{
    if (currentIndex() < 0)
        throw ErrorVV::usoNoValidoDeNull();
    return currentData().toInt();
}

bool ComboLista::seleccionaClave(std::int32_t clave)
{
    const int i = findData(clave);
    if (i < 0)
        return false;
    setCurrentIndex(i);
    return true;
}

} // namespace valvida
