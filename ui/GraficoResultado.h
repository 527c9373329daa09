#pragma once

#include <QChartView>

#include <QList>
#include <QPen>

#include <functional>

class QCategoryAxis;
class QValueAxis;

namespace valvida {

struct DatosGrafico;

/*!
 * A chart of the results form: lines over a category axis of attained ages, a value axis scaled
 * to the data, and a mouse click that tells the form to enlarge it or bring the layout back.
 */
class GraficoResultado : public QChartView
{
  public:
    //! `plumas`: the pen of each series, in order.
    explicit GraficoResultado(QList<QPen> plumas, QWidget* parent = nullptr);

    //! Replaces the title, labels and series with the ones given.
    void muestra(const DatosGrafico& datos);

    //! Called on a click with the left button.
    std::function<void()> alActivar;

    //! At most this many age labels on the axis; the others are left out at round steps.
    static constexpr int MaximoEtiquetas = 20;

  protected:
    void mousePressEvent(QMouseEvent* evento) override;

  private:
    QList<QPen> m_plumas;
    QCategoryAxis* m_ejeEdad;
    QValueAxis* m_ejeValor;
};

} // namespace valvida
