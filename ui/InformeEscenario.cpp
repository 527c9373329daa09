#include "ui/InformeEscenario.h"

#include "actuarial/almacen/Resultados.h"
#include "core/Archivos.h"
#include "core/BaseDatos.h"
#include "core/ColoresGrafico.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/ErrorVV.h"
#include "core/FichaEscenario.h"
#include "core/Numeros.h"
#include "core/Plazos.h"
#include "ui/GraficosResultado.h"

#include <QDate>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <span>

namespace valvida {

namespace {

// The page in points (1/72 inch): A4 portrait, content between the running head and the page number.
constexpr double AnchoPagina = 595.276;
constexpr double AltoPagina = 841.89;
constexpr double Margen = 48;
constexpr double Util = AnchoPagina - 2 * Margen;
constexpr double Arriba = Margen + 24;
constexpr double Abajo = AltoPagina - Margen - 10;
constexpr double AltoGrafico = 215;       // at most; at least
constexpr double AltoGraficoMinimo = 175; // beside the bases
constexpr double Separacion = 14;
constexpr double FilaDatos = 14;

const QColor Tinta(0x22, 0x22, 0x22);
const QColor Gris(0x6b, 0x6b, 0x6b);
const QColor Acento(0x1f, 0x4e, 0x79);
const QColor Linea(0xc8, 0xcd, 0xd3);
const QColor Banda(0xee, 0xf2, 0xf7);

// The results grid's columns: T_Resultado's column, its header and its screen format.
struct ColumnaTabla
{
    const char* columna;
    const char* cabecera;
    Formato formato;
};
const ColumnaTabla ColumnasTabla[] = {
    {"Anio_Poliza", "Año\nPóliza", Formato::Entero},
    {"Edad_Alcanzada", "Edad\nAlcanzada", Formato::Entero},
    {"Reserva_Matematica", "Reserva\nMatemática", Formato::PorUnidad},
    {"Prima_Riesgo", "Prima\nRiesgo", Formato::PorUnidad},
    {"Prima_Neta_Nivelada", "Prima Neta\nNivelada", Formato::PorUnidad},
    {"Prima_Tarifa", "Prima\nTarifa", Formato::PorUnidad},
    {"Anualidad", "\nAnualidad", Formato::PorUnidad},
    {"Seguro", "\nSeguro", Formato::PorUnidad},
    {"Rescate", "\nRescate", Formato::PorUnidad},
    {"Saldado", "\nSaldado", Formato::PorUnidad},
    {"Prorrogado", "\nProrrogado", Formato::PorUnidad},
};
constexpr int NumeroColumnas = static_cast<int>(std::size(ColumnasTabla));

// A step of 1, 2 or 5 times a power of ten near `bruto`: the value axis's ticks.
double PasoRedondo(double bruto)
{
    const double potencia = std::pow(10.0, std::floor(std::log10(bruto)));
    const double f = bruto / potencia;
    return (f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10) * potencia;
}

// The writer's pages painted in points.
class Informe
{
  public:
    Informe(QPdfWriter& escritor, const FichaEscenario& ficha, const ResultadosGrafico& grafico)
        : m_escritor(escritor)
        , m_k(escritor.resolution() / 72.0)
        , m_f(ficha)
        , m_grafico(grafico)
        , m_fecha(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")))
    {
        m_base.setFamily(QStringLiteral("DejaVu Sans"));
        m_base.setStyleHint(QFont::SansSerif);
        planifica();
    }

    bool pinta()
    {
        if (!m_p.begin(&m_escritor))
            return false;
        m_p.setRenderHint(QPainter::Antialiasing);
        cabecera();
        double y = portada();
        if (m_graficosAparte) {
            nuevaPagina();
            y = Arriba;
        }
        y = titulo(y, QStringLiteral("Gráficos"));
        grafico(QRectF(Margen, y, Util, m_altoGrafico), DatosPrimas(m_grafico.filas, m_grafico.porMeses), TrazosPrimas);
        y += m_altoGrafico + Separacion;
        grafico(QRectF(Margen, y, Util, m_altoGrafico), DatosReservas(m_grafico.filas, m_grafico.porMeses),
                TrazosReservas);
        tabla();
        return m_p.end();
    }

  private:
    QRectF r(double x, double y, double ancho, double alto) const
    {
        return {x * m_k, y * m_k, ancho * m_k, alto * m_k};
    }
    QPointF pt(double x, double y) const { return {x * m_k, y * m_k}; }

    QFont fuente(double puntos, bool negrita = false) const
    {
        QFont f = m_base;
        f.setPointSizeF(puntos);
        f.setBold(negrita);
        return f;
    }
    void usa(double puntos, bool negrita = false, const QColor& color = Tinta)
    {
        m_p.setFont(fuente(puntos, negrita));
        m_p.setPen(color);
    }
    double ancho(const QFont& f, const QString& texto) const
    {
        return QFontMetricsF(f, &m_escritor).horizontalAdvance(texto) / m_k;
    }
    void texto(double x, double y, double w, double h, int alineacion, const QString& t)
    {
        m_p.drawText(r(x, y, w, h), alineacion, t);
    }
    void raya(double x1, double y1, double x2, double y2, const QColor& color, double grosor = 0.5)
    {
        m_p.setPen(QPen(color, grosor * m_k));
        m_p.drawLine(pt(x1, y1), pt(x2, y2));
    }
    QString numero(double valor, Formato formato) const { return TextoPantalla(valor, formato, m_locale); }
    QString decimal(double valor) const
    {
        QLocale l = m_locale;
        l.setNumberOptions(QLocale::OmitGroupSeparator);
        return l.toString(valor, 'g', 15);
    }
    QString tituloInforme() const { return QStringLiteral("Escenario %1: %2").arg(m_f.escenario).arg(m_f.descripcion); }
    bool porMeses() const { return EsCoberturaMensual(static_cast<std::int32_t>(m_f.plazoSeguro)); }

    // Where everything goes: the charts beside the bases when both fit on the first page, the table
    // after them, and so the number of pages before any is painted.
    void planifica()
    {
        // The title wraps: a long description takes the lines it needs.
        const QFont letraTitulo = fuente(17, true);
        m_altoTitulo = QFontMetricsF(letraTitulo, &m_escritor)
                           .boundingRect(QRectF(0, 0, Util * m_k, 1e6), Qt::TextWordWrap, tituloInforme())
                           .height() /
                       m_k;
        // Under each column's heading: ten bases on the left; three rows of premiums and the schedule
        // under its header on the right.
        const double alturaIzquierda = 22 + 10 * FilaDatos;
        const double alturaDerecha = 22 + 3 * FilaDatos + Separacion + 22 +
                                     (1 + static_cast<double>(std::max<qsizetype>(1, m_f.comision.size()))) * FilaDatos;
        m_finPortada = Arriba + m_altoTitulo + 2 + 22 + std::max(alturaIzquierda, alturaDerecha) + Separacion;
        // The charts share what the first page has left, or take a page of their own.
        const double resto = (Abajo - m_finPortada - 24 - 2 * Separacion) / 2;
        m_graficosAparte = resto < AltoGraficoMinimo;
        m_altoGrafico = m_graficosAparte ? AltoGrafico : std::min(AltoGrafico, resto);
        const double graficos = 24 + 2 * m_altoGrafico + Separacion;
        const double finGraficos = (m_graficosAparte ? Arriba : m_finPortada) + graficos + Separacion;

        // The largest font at which every column's widest text fits across the page.
        m_celdas.clear();
        QList<int> indices;
        for (const ColumnaTabla& c : ColumnasTabla)
            indices << m_f.columna(c.columna);
        for (const QList<double>& fila : m_f.filas) {
            QStringList celdas;
            for (int c = 0; c < NumeroColumnas; ++c)
                celdas << (indices.at(c) < 0 ? QString() : numero(fila.at(indices.at(c)), ColumnasTabla[c].formato));
            m_celdas << celdas;
        }
        for (m_letraTabla = 8.0; m_letraTabla > 5.0; m_letraTabla -= 0.5) {
            m_anchos.clear();
            double total = 0;
            for (int c = 0; c < NumeroColumnas; ++c) {
                double w = 0;
                for (const QString& linea : QString::fromUtf8(ColumnasTabla[c].cabecera).split(QLatin1Char('\n')))
                    w = std::max(w, ancho(fuente(m_letraTabla, true), linea));
                for (const QStringList& celdas : m_celdas)
                    w = std::max(w, ancho(fuente(m_letraTabla), celdas.at(c)));
                m_anchos << w + 8;
                total += w + 8;
            }
            if (total <= Util)
                break;
        }
        // The spare width spread over the columns, so the table runs from margin to margin.
        double total = 0;
        for (double w : m_anchos)
            total += w;
        for (double& w : m_anchos)
            w *= Util / total;
        m_altoFila = m_letraTabla * 1.6;
        m_altoCabecera = 2 * m_letraTabla * 1.35 + 6;

        // The table goes on under the charts when its header and a few rows fit there.
        const double comienzo = finGraficos + 24 + m_altoCabecera + 3 * m_altoFila <= Abajo ? finGraficos : -1;
        m_paginasTabla.clear();
        qsizetype fila = 0;
        double y = comienzo < 0 ? Arriba : comienzo;
        m_tablaAparte = comienzo < 0;
        while (fila < m_celdas.size() || m_paginasTabla.isEmpty()) {
            const qsizetype caben =
                std::max<qsizetype>(1, static_cast<qsizetype>((Abajo - y - 24 - m_altoCabecera) / m_altoFila));
            m_paginasTabla << std::min(caben, m_celdas.size() - fila);
            fila += caben;
            y = Arriba;
        }
        m_paginas = 1 + (m_graficosAparte ? 1 : 0) + static_cast<int>(m_paginasTabla.size()) - (m_tablaAparte ? 0 : 1);
        m_inicioTabla = m_tablaAparte ? -1 : finGraficos;
    }

    void nuevaPagina()
    {
        m_escritor.newPage();
        ++m_pagina;
        cabecera();
    }

    // The running head and the page number of every page.
    void cabecera()
    {
        usa(7.5, false, Gris);
        texto(Margen, Margen, Util, 12, Qt::AlignLeft | Qt::AlignVCenter,
              QStringLiteral("Valuación actuarial · Escenario %1").arg(m_f.escenario));
        texto(Margen, Margen, Util, 12, Qt::AlignRight | Qt::AlignVCenter, m_fecha);
        raya(Margen, Margen + 14, Margen + Util, Margen + 14, Linea);
        usa(7.5, false, Gris);
        texto(Margen, AltoPagina - Margen, Util, 12, Qt::AlignHCenter | Qt::AlignVCenter,
              QStringLiteral("Página %1 de %2").arg(m_pagina).arg(m_paginas));
    }

    double titulo(double y, const QString& t)
    {
        usa(10.5, true, Acento);
        texto(Margen, y, Util, 16, Qt::AlignLeft | Qt::AlignVCenter, t);
        raya(Margen, y + 18, Margen + Util, y + 18, Acento, 0.8);
        return y + 24;
    }

    // Rows of cells: the first row the header when `cabecera`; numbers right-aligned.
    double cuadro(double x, double y, const QList<double>& anchos, const QList<QStringList>& filas, bool cabecera,
                  bool todoIzquierda = false)
    {
        for (int f = 0; f < filas.size(); ++f) {
            const bool esCabecera = cabecera && f == 0;
            usa(8.5, esCabecera, esCabecera ? Acento : Tinta);
            double cx = x;
            for (int c = 0; c < anchos.size() && c < filas.at(f).size(); ++c) {
                const int alineacion = (c == 0 || todoIzquierda ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
                // A name wider than its column ends in an ellipsis rather than under the next one.
                const QString celda = QFontMetricsF(m_p.font(), &m_escritor)
                                          .elidedText(filas.at(f).at(c), Qt::ElideRight, (anchos.at(c) - 4) * m_k);
                texto(cx + 2, y, anchos.at(c) - 4, FilaDatos, alineacion, celda);
                cx += anchos.at(c);
            }
            y += FilaDatos;
            if (esCabecera)
                raya(x, y, cx, y, Linea);
        }
        return y;
    }

    double portada()
    {
        double y = Arriba;
        usa(17, true, Acento);
        texto(Margen, y, Util, m_altoTitulo, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, tituloInforme());
        y += m_altoTitulo + 2;
        usa(9.5, false, Gris);
        texto(Margen, y, Util, 14, Qt::AlignLeft | Qt::AlignVCenter,
              QStringLiteral("Bases técnicas, primas y reservas por unidad de suma asegurada · ") + m_fecha);
        y += 22;

        // The bases' names want the wider column; the premiums and schedule are short numbers.
        const double izquierda = Util * 0.54 - 10;
        const double mitad = Util * 0.46 - 10;
        const double derecha = Margen + Util * 0.54 + 10;
        // Left: the technical bases.
        double yi = tituloColumna(Margen, y, izquierda, QStringLiteral("Bases técnicas"));
        const QString anios = QStringLiteral(" años");
        const QList<QStringList> bases{
            {QStringLiteral("Tabla de mortalidad"),
             m_f.nombreTabla + QStringLiteral(" (n.º %1)").arg(numero(m_f.tabla, Formato::Entero))},
            {QStringLiteral("Interés técnico"), decimal(m_f.interesTecnico) + QStringLiteral(" %")},
            {QStringLiteral("Edad de emisión"), numero(m_f.edad, Formato::Entero) + anios},
            {QStringLiteral("Plazo del seguro"),
             numero(m_f.plazoSeguro, Formato::Entero) + (porMeses() ? QStringLiteral(" año") : anios)},
            {porMeses() ? QStringLiteral("Meses cubiertos") : QStringLiteral("Plazo de pago"),
             numero(m_f.plazoPago, Formato::Entero) + (porMeses() ? QStringLiteral(" meses") : anios)},
            {QStringLiteral("Suma asegurada"), numero(m_f.sumaAsegurada, Formato::Dinero)},
            {QStringLiteral("Tipo de seguro"), m_f.nombreTipoSeguro},
            {QStringLiteral("Tipo de comisión"), m_f.nombreTipoComision},
            {QStringLiteral("Penalización por rescate"), decimal(m_f.rescate.penalizacion) + QStringLiteral(" %")},
            {QStringLiteral("Rescate desde el año"), numero(m_f.rescate.anioRescate, Formato::Entero)},
        };
        double anchoClave = 0;
        for (const QStringList& b : bases)
            anchoClave = std::max(anchoClave, ancho(fuente(8.5), b.first()) + 12);
        cuadro(Margen, yi, {anchoClave, izquierda - anchoClave}, bases, false, true);

        // Right: the premiums, then the commission schedule.
        double yd = tituloColumna(derecha, y, mitad, QStringLiteral("Primas anuales"));
        const double s = m_f.sumaAsegurada;
        yd = cuadro(derecha, yd, {mitad * 0.3, mitad * 0.3, mitad * 0.4},
                    {{QString(), QStringLiteral("Por unidad"), QStringLiteral("Suma asegurada")},
                     {QStringLiteral("Neta nivelada"), numero(m_f.primaNeta(), Formato::PorUnidad),
                      numero(m_f.primaNeta() * s, Formato::Dinero)},
                     {QStringLiteral("De tarifa"), numero(m_f.primaTarifa(), Formato::PorUnidad),
                      numero(m_f.primaTarifa() * s, Formato::Dinero)}},
                    true);
        yd = tituloColumna(derecha, yd + Separacion, mitad, QStringLiteral("Calendario de comisiones"));
        QList<QStringList> comision{
            {QStringLiteral("Año"), QStringLiteral("% de la prima"), QStringLiteral("‰ de la suma")}};
        for (const AnioComision& a : m_f.comision)
            comision << QStringList{numero(a.anio, Formato::Entero), decimal(a.porcentaje), decimal(a.tantos)};
        if (m_f.comision.isEmpty())
            comision << QStringList{QStringLiteral("Sin comisiones")};
        cuadro(derecha, yd, {mitad * 0.3, mitad * 0.35, mitad * 0.35}, comision, true);
        return m_finPortada;
    }

    double tituloColumna(double x, double y, double w, const QString& t)
    {
        usa(10.5, true, Acento);
        texto(x, y, w, 16, Qt::AlignLeft | Qt::AlignVCenter, t);
        raya(x, y + 18, x + w, y + 18, Acento, 0.8);
        return y + 22;
    }

    // A chart as on screen: title, lines over the attained ages, value axis from zero, age axis
    // with as many labels as fit, its title, and the legend under it.
    void grafico(const QRectF& area, const DatosGrafico& datos, std::span<const TrazoSerie> trazos)
    {
        const double x0 = area.x();
        const double y0 = area.y();
        const QFont letra = fuente(7.5);
        usa(9.5, true);
        texto(x0, y0, area.width(), 14, Qt::AlignHCenter | Qt::AlignVCenter, datos.titulo);

        double minimo = 0;
        double maximo = 0;
        for (const SerieGrafico& s : datos.series)
            for (const QPointF& p : s.puntos) {
                minimo = std::min(minimo, p.y());
                maximo = std::max(maximo, p.y());
            }
        if (maximo - minimo <= 0)
            maximo = minimo + 1;
        const double paso = PasoRedondo((maximo - minimo) / 5);
        minimo = std::floor(minimo / paso + 1e-9) * paso;
        maximo = std::ceil(maximo / paso - 1e-9) * paso;
        const int decimales = std::max(0, -static_cast<int>(std::floor(std::log10(paso) + 1e-9)));
        QStringList marcas;
        double anchoMarca = 0;
        for (double v = minimo; v <= maximo + paso / 2; v += paso) {
            marcas << m_locale.toString(std::fabs(v) < paso * 1e-6 ? 0.0 : v, 'f', decimales);
            anchoMarca = std::max(anchoMarca, ancho(letra, marcas.last()));
        }

        // The plot, with room left for the value labels, the age labels, the axis title and the legend.
        const double izquierda = x0 + anchoMarca + 8;
        const double arriba = y0 + 20;
        const double ancho_ = area.right() - 10 - izquierda;
        const double alto = area.bottom() - 44 - arriba;
        const auto yValor = [&](double v) { return arriba + alto - (v - minimo) / (maximo - minimo) * alto; };
        const int puntos = static_cast<int>(datos.etiquetas.size());
        const auto xPunto = [&](double k) { return izquierda + (k + 0.5) / std::max(puntos, 1) * ancho_; };

        m_p.setFont(letra);
        for (int m = 0; m < marcas.size(); ++m) {
            const double y = yValor(minimo + m * paso);
            raya(izquierda, y, izquierda + ancho_, y, m == 0 ? Gris : Linea, m == 0 ? 0.6 : 0.4);
            m_p.setPen(Tinta);
            texto(x0, y - 6, anchoMarca + 4, 12, Qt::AlignRight | Qt::AlignVCenter, marcas.at(m));
        }
        raya(izquierda, arriba, izquierda, arriba + alto, Gris, 0.6);
        double anchoEtiqueta = 0;
        for (const QString& e : datos.etiquetas)
            anchoEtiqueta = std::max(anchoEtiqueta, ancho(letra, e));
        const int salto = PasoEtiquetas(puntos, static_cast<int>(ancho_ / (anchoEtiqueta + 6)));
        for (int k = 0; k < puntos; k += salto) {
            raya(xPunto(k), arriba + alto, xPunto(k), arriba + alto + 3, Gris, 0.6);
            m_p.setPen(Tinta);
            texto(xPunto(k) - 30, arriba + alto + 3, 60, 11, Qt::AlignHCenter | Qt::AlignTop, datos.etiquetas.at(k));
        }
        usa(8, true);
        texto(izquierda, arriba + alto + 15, ancho_, 12, Qt::AlignHCenter | Qt::AlignVCenter, datos.tituloEje);

        // The lines; a short term shows its points too.
        m_p.save();
        m_p.setClipRect(r(izquierda, arriba - 2, ancho_, alto + 4));
        for (int s = 0; s < datos.series.size(); ++s) {
            const TrazoSerie& t = trazos[static_cast<std::size_t>(s) % trazos.size()];
            QPen pluma(QColor::fromRgb(t.rgb), t.ancho * m_k, t.discontinuo ? Qt::DashLine : Qt::SolidLine);
            pluma.setCapStyle(Qt::FlatCap);
            pluma.setJoinStyle(Qt::RoundJoin);
            m_p.setPen(pluma);
            m_p.setBrush(Qt::NoBrush);
            QPainterPath camino;
            const QList<QPointF>& ps = datos.series.at(s).puntos;
            for (int k = 0; k < ps.size(); ++k) {
                const QPointF p = pt(xPunto(ps.at(k).x()), yValor(ps.at(k).y()));
                if (k == 0)
                    camino.moveTo(p);
                else
                    camino.lineTo(p);
            }
            m_p.drawPath(camino);
            if (ps.size() <= 25) {
                m_p.setPen(Qt::NoPen);
                m_p.setBrush(QColor::fromRgb(t.rgb));
                for (const QPointF& p : ps)
                    m_p.drawEllipse(pt(xPunto(p.x()), yValor(p.y())), 1.8 * m_k, 1.8 * m_k);
                m_p.setBrush(Qt::NoBrush);
            }
        }
        m_p.restore();

        // The legend, one row centred under the axis title.
        double total = 0;
        for (const SerieGrafico& s : datos.series)
            total += 22 + ancho(letra, s.leyenda) + 14;
        double x = x0 + (area.width() - total) / 2;
        const double y = area.bottom() - 12;
        for (int s = 0; s < datos.series.size(); ++s) {
            const TrazoSerie& t = trazos[static_cast<std::size_t>(s) % trazos.size()];
            m_p.setPen(QPen(QColor::fromRgb(t.rgb), t.ancho * m_k, t.discontinuo ? Qt::DashLine : Qt::SolidLine));
            m_p.drawLine(pt(x, y + 6), pt(x + 18, y + 6));
            m_p.setFont(letra);
            m_p.setPen(Tinta);
            const QString& leyenda = datos.series.at(s).leyenda;
            texto(x + 22, y, ancho(letra, leyenda) + 4, 12, Qt::AlignLeft | Qt::AlignVCenter, leyenda);
            x += 22 + ancho(letra, leyenda) + 14;
        }
    }

    // The results table: every row in the grid's columns, its header on every page it runs over.
    void tabla()
    {
        qsizetype fila = 0;
        for (int pagina = 0; pagina < m_paginasTabla.size(); ++pagina) {
            double y = Arriba;
            if (pagina > 0 || m_tablaAparte)
                nuevaPagina();
            else
                y = m_inicioTabla;
            y = titulo(y, QStringLiteral("Resultados por %1 de póliza, por unidad de suma asegurada")
                                  .arg(porMeses() ? QStringLiteral("mes") : QStringLiteral("año")) +
                              (pagina > 0 ? QStringLiteral(" (continuación)") : QString()));
            m_p.setPen(Qt::NoPen);
            m_p.setBrush(Acento);
            m_p.drawRect(r(Margen, y, Util, m_altoCabecera));
            m_p.setBrush(Qt::NoBrush);
            usa(m_letraTabla, true, Qt::white);
            double x = Margen;
            for (int c = 0; c < NumeroColumnas; ++c) {
                QString cabecera = QString::fromUtf8(ColumnasTabla[c].cabecera);
                if (c == 0 && porMeses())
                    cabecera = QStringLiteral("Mes\nPóliza");
                texto(x + 2, y + 3, m_anchos.at(c) - 4, m_altoCabecera - 6, Qt::AlignRight | Qt::AlignVCenter,
                      cabecera);
                x += m_anchos.at(c);
            }
            y += m_altoCabecera;
            const qsizetype fin = fila + m_paginasTabla.at(pagina);
            for (; fila < fin; ++fila) {
                if (fila % 2 == 1) {
                    m_p.setPen(Qt::NoPen);
                    m_p.setBrush(Banda);
                    m_p.drawRect(r(Margen, y, Util, m_altoFila));
                    m_p.setBrush(Qt::NoBrush);
                }
                usa(m_letraTabla);
                x = Margen;
                for (int c = 0; c < NumeroColumnas; ++c) {
                    texto(x + 2, y, m_anchos.at(c) - 4, m_altoFila, Qt::AlignRight | Qt::AlignVCenter,
                          m_celdas.at(fila).at(c));
                    x += m_anchos.at(c);
                }
                y += m_altoFila;
            }
            raya(Margen, y, Margen + Util, y, Acento, 0.8);
            if (m_celdas.isEmpty()) {
                usa(8.5, false, Gris);
                texto(Margen, y + 4, Util, 14, Qt::AlignLeft | Qt::AlignVCenter,
                      QStringLiteral("El escenario no tiene resultados calculados."));
            }
        }
    }

    QPdfWriter& m_escritor;
    QPainter m_p;
    double m_k;
    const FichaEscenario& m_f;
    const ResultadosGrafico& m_grafico;
    QString m_fecha;
    QLocale m_locale;
    QFont m_base;

    double m_altoTitulo = 26;
    double m_altoGrafico = AltoGrafico;
    double m_finPortada = 0;
    bool m_graficosAparte = false;
    bool m_tablaAparte = true;
    double m_inicioTabla = -1;
    QList<QStringList> m_celdas;
    QList<double> m_anchos;
    double m_letraTabla = 8;
    double m_altoFila = 12;
    double m_altoCabecera = 24;
    QList<qsizetype> m_paginasTabla; // rows on each page of the table
    int m_paginas = 1;
    int m_pagina = 1;
};

} // namespace

void InformeEscenario(Entorno& entorno, std::int32_t escenario, const QString& archivo)
{
    RechazaProtegido(archivo, BaseDatosAbierta(entorno.db));
    const FichaEscenario ficha = LeeFichaEscenario(entorno.db, escenario);
    const ResultadosGrafico grafico = LeeResultadosGrafico(entorno.db, escenario);

    ArchivoAtomico salida(archivo);
    salida.abre({BaseDatosAbierta(entorno.db)});
    {
        QPdfWriter escritor(&salida);
        escritor.setPageSize(QPageSize(QPageSize::A4));
        escritor.setPageMargins(QMarginsF(0, 0, 0, 0));
        escritor.setResolution(600);
        escritor.setTitle(QStringLiteral("Escenario %1: %2").arg(escenario).arg(ficha.descripcion));
        escritor.setCreator(QStringLiteral("valvida"));
        Informe informe(escritor, ficha, grafico);
        if (!informe.pinta())
            throw ErrorVV::entradaSalida(archivo + QStringLiteral(" (no se pudo componer el documento)"));
    }
    salida.confirma();
}

bool DescargaInforme(Entorno& entorno, std::int32_t escenario)
{
    QString archivo = entorno.dialogos.guardarArchivo(entorno.carpetaAplicacion, QStringLiteral("Documento PDF|*.pdf"),
                                                      QStringLiteral("Informe del escenario"));
    if (archivo.isEmpty())
        return false;
    if (QFileInfo(archivo).suffix().isEmpty())
        archivo += QStringLiteral(".pdf");
    try {
        RelojArena reloj(entorno.dialogos);
        InformeEscenario(entorno, escenario, archivo);
    } catch (const ErrorVV& e) {
        MostrarError(entorno.dialogos, QStringLiteral("Rutina: cmdInforme_Click"), e);
        return false;
    }
    return true;
}

} // namespace valvida
