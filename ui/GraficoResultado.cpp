#include "ui/GraficoResultado.h"

#include "ui/GraficosResultado.h"

#include <QCategoryAxis>
#include <QChart>
#include <QLineSeries>
#include <QMouseEvent>
#include <QValueAxis>

#include <algorithm>

namespace valvida {

namespace {

// Beyond this many points the markers would cover the line.
constexpr int MaximoPuntosVisibles = 40;
constexpr qreal TamanoMarcador = 4;

} // namespace

GraficoResultado::GraficoResultado(QList<QPen> plumas, QWidget* parent)
    : QChartView(parent)
    , m_plumas(std::move(plumas))
    , m_ejeEdad(new QCategoryAxis)
    , m_ejeValor(new QValueAxis)
{
    setRenderHint(QPainter::Antialiasing);
    QChart* grafico = chart();
    grafico->legend()->setAlignment(Qt::AlignBottom);
    m_ejeEdad->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_ejeEdad->setStartValue(-1);
    m_ejeValor->setLabelFormat(QStringLiteral("%g"));
    grafico->addAxis(m_ejeEdad, Qt::AlignBottom);
    grafico->addAxis(m_ejeValor, Qt::AlignLeft);
    m_ejeValor->setRange(0, 1);
}

void GraficoResultado::muestra(const DatosGrafico& datos)
{
    QChart* grafico = chart();
    grafico->removeAllSeries();
    grafico->setTitle(datos.titulo);
    m_ejeEdad->setTitleText(datos.tituloEje);

    for (const QString& etiqueta : m_ejeEdad->categoriesLabels())
        m_ejeEdad->remove(etiqueta);
    const int puntos = static_cast<int>(datos.etiquetas.size());
    const int paso = PasoEtiquetas(puntos, MaximoEtiquetas);
    for (int k = 0; k < puntos; k += paso)
        m_ejeEdad->append(datos.etiquetas.at(k), k);
    // Half a point of margin on each side keeps the first and last values off the frame.
    m_ejeEdad->setRange(-0.5, std::max(puntos, 1) - 0.5);

    // Zero is always on the scale: premiums and reserves are read against it.
    double minimo = 0;
    double maximo = 0;
    for (int s = 0; s < datos.series.size(); ++s) {
        const SerieGrafico& datosSerie = datos.series.at(s);
        auto* serie = new QLineSeries;
        serie->setName(datosSerie.leyenda);
        serie->append(datosSerie.puntos);
        serie->setPen(m_plumas.isEmpty() ? QPen(Qt::black, 2) : m_plumas.at(s % m_plumas.size()));
        serie->setPointsVisible(datosSerie.puntos.size() <= MaximoPuntosVisibles);
        // The same marker on every line, whatever its pen.
        serie->setMarkerSize(TamanoMarcador);
        grafico->addSeries(serie);
        serie->attachAxis(m_ejeEdad);
        serie->attachAxis(m_ejeValor);
        for (const QPointF& p : datosSerie.puntos) {
            minimo = std::min(minimo, p.y());
            maximo = std::max(maximo, p.y());
        }
    }
    if (maximo - minimo <= 0)
        maximo = minimo + 1;
    m_ejeValor->setRange(minimo, maximo);
    m_ejeValor->applyNiceNumbers();
}

void GraficoResultado::mousePressEvent(QMouseEvent* evento)
{
    if (evento->button() == Qt::LeftButton && alActivar) {
        evento->accept();
        alActivar();
        return;
    }
    QChartView::mousePressEvent(evento);
}

} // namespace valvida
