#pragma once

#include <QChartView>

#include <QList>
#include <QPen>
#include <QStringList>

#include <functional>

class QCategoryAxis;
class QValueAxis;

namespace valvida {

struct DatosGrafico;

/*!
 * A chart of the results form: lines over a category axis of attained ages, a value axis scaled
 * to the data, and a mouse click that tells the form to enlarge it or bring the layout back.
 * Its age labels and legend follow its width, so none of them is cut at any font size.
 */
class GraficoResultado : public QChartView
{
  public:
    //! `plumas`: the pen of each series, in order.
    explicit GraficoResultado(QList<QPen> plumas, QWidget* parent = nullptr);

    //! Replaces the title, labels and series with the ones given.
    void muestra(const DatosGrafico& datos);

    //! The title names the scenario after the chart's own ("Primas - Escenario 1: ..."); empty: the chart's alone.
    void nombraEscenario(const QString& escenario);

    //! A chart takes the room its layout gives it: it asks for its minimum, not for the size it has.
    QSize sizeHint() const override;

    //! Called on a click with the left button.
    std::function<void()> alActivar;

  protected:
    void mousePressEvent(QMouseEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;

  private:
    void ponEtiquetas(bool siempre);
    void ajustaLeyenda();
    void ponTitulo();

    QList<QPen> m_plumas;
    QCategoryAxis* m_ejeEdad;
    QValueAxis* m_ejeValor;
    QFont m_letraLeyenda;
    QStringList m_etiquetas;
    QString m_titulo;
    QString m_escenario;
    int m_paso = 0;
};

} // namespace valvida
