#include "ui/GraficoResultado.h"

#include "ui/GraficosResultado.h"

#include <QCategoryAxis>
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLineSeries>
#include <QMouseEvent>
#include <QValueAxis>

#include <algorithm>

namespace valvida {

namespace {

// Beyond this many points the markers would cover the line.
constexpr int MaximoPuntosVisibles = 40;
constexpr qreal TamanoMarcador = 4;
// Room the chart keeps beside each axis label, and around its plot and legend.
constexpr qreal MargenEtiqueta = 12;
constexpr int MargenGrafico = 8;

} // namespace

GraficoResultado::GraficoResultado(QList<QPen> plumas, QWidget* parent)
    : QChartView(parent)
    , m_plumas(std::move(plumas))
    , m_ejeEdad(new QCategoryAxis)
    , m_ejeValor(new QValueAxis)
{
    setRenderHint(QPainter::Antialiasing);
    QChart* grafico = chart();
    // The panel's own margins would take from a half-width chart the room its labels and legend need.
    grafico->layout()->setContentsMargins(0, 0, 0, 0);
    grafico->setMargins(QMargins(MargenGrafico, MargenGrafico, MargenGrafico, MargenGrafico));
    grafico->setBackgroundRoundness(0);
    grafico->legend()->setAlignment(Qt::AlignBottom);
    m_letraLeyenda = grafico->legend()->font();
    m_ejeEdad->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_ejeEdad->setStartValue(-1);
    m_ejeValor->setLabelFormat(QStringLiteral("%g"));
    // Ticks counted from zero, so the zero line reads 0 and not the rounding a negative start leaves.
    m_ejeValor->setTickType(QValueAxis::TicksDynamic);
    m_ejeValor->setTickAnchor(0);
    grafico->addAxis(m_ejeEdad, Qt::AlignBottom);
    grafico->addAxis(m_ejeValor, Qt::AlignLeft);
    m_ejeValor->setRange(0, 1);
    connect(grafico, &QChart::plotAreaChanged, this, [this] { ponEtiquetas(false); });
}

void GraficoResultado::muestra(const DatosGrafico& datos)
{
    QChart* grafico = chart();
    grafico->removeAllSeries();
    m_titulo = datos.titulo;
    ponTitulo();
    m_ejeEdad->setTitleText(datos.tituloEje);

    m_etiquetas = datos.etiquetas;
    // Half a point of margin on each side keeps the first and last values off the frame.
    m_ejeEdad->setRange(-0.5, std::max(static_cast<int>(m_etiquetas.size()), 1) - 0.5);
    ponEtiquetas(true);

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
    // Ticks are drawn at the interval in force when the range changes: one of the new range's
    // size first, or a range of millions would be drawn at the old one's steps of 0.2.
    m_ejeValor->setTickInterval((maximo - minimo) / 5);
    m_ejeValor->setRange(minimo, maximo);
    m_ejeValor->applyNiceNumbers();
    m_ejeValor->setTickInterval((m_ejeValor->max() - m_ejeValor->min()) / (m_ejeValor->tickCount() - 1));
    ajustaLeyenda();
}

void GraficoResultado::nombraEscenario(const QString& escenario)
{
    m_escenario = escenario;
    ponTitulo();
}

void GraficoResultado::ponTitulo()
{
    chart()->setTitle(m_escenario.isEmpty() ? m_titulo : m_titulo + QStringLiteral(" - ") + m_escenario);
}

void GraficoResultado::ponEtiquetas(bool siempre)
{
    // As many age labels as the axis can show whole: the axis gives each label an equal share of
    // its width, one share more than there are labels.
    const int puntos = static_cast<int>(m_etiquetas.size());
    const QFontMetricsF metricas(m_ejeEdad->labelsFont());
    qreal anchoEtiqueta = 0;
    for (const QString& etiqueta : m_etiquetas)
        anchoEtiqueta = std::max(anchoEtiqueta, metricas.boundingRect(etiqueta).width());
    // The last label stands centred on the plot's right edge: the margin there holds its half.
    const int derecho = static_cast<int>(anchoEtiqueta / 2) + MargenGrafico;
    if (chart()->margins().right() != derecho) {
        chart()->setMargins(QMargins(MargenGrafico, MargenGrafico, derecho, MargenGrafico));
        ajustaLeyenda();
    }
    const qreal anchoEje = chart()->plotArea().width() > 0 ? chart()->plotArea().width() : width();
    const int caben = static_cast<int>(anchoEje / (anchoEtiqueta + MargenEtiqueta)) - 1;
    const int paso = PasoEtiquetas(puntos, std::max(caben, 1));
    if (paso == m_paso && !siempre)
        return;
    m_paso = paso;

    for (const QString& etiqueta : m_ejeEdad->categoriesLabels())
        m_ejeEdad->remove(etiqueta);
    for (int k = 0; k < puntos; k += paso)
        m_ejeEdad->append(m_etiquetas.at(k), k);
    // An axis without categories is never laid out, and its title is left at the chart's corner:
    // a blank category at the right end gives it its place under the plot.
    if (puntos == 0)
        m_ejeEdad->append(QStringLiteral(" "), 0.5);
}

void GraficoResultado::ajustaLeyenda()
{
    // The legend stays in one row under the plot. When the chart is narrow for its font, a smaller
    // font keeps every entry whole instead of cutting the longest; an entry (marker, gaps, text)
    // narrows with its font.
    QFont letra = m_letraLeyenda;
    const QFontMetricsF metricas(letra);
    qreal fila = 2 * metricas.height();
    for (const QAbstractSeries* serie : chart()->series())
        fila += metricas.horizontalAdvance(serie->name()) + 2 * metricas.height();
    const qreal ancho = width() - chart()->margins().left() - chart()->margins().right();
    if (fila > ancho)
        letra.setPointSizeF(std::max(letra.pointSizeF() * ancho / fila, 6.0));
    chart()->legend()->setFont(letra);
}

QSize GraficoResultado::sizeHint() const
{
    return minimumSize();
}

void GraficoResultado::resizeEvent(QResizeEvent* evento)
{
    QChartView::resizeEvent(evento);
    ajustaLeyenda();
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
