#include "ui/frmResultados.h"

#include "actuarial/almacen/Resultados.h"
#include "core/Cargadores.h"
#include "core/Consultas.h"
#include "core/Dialogos.h"
#include "core/ExportaEscenario.h"
#include "core/Numeros.h"
#include "ui/Controles.h"
#include "ui/FlexGrid.h"
#include "ui/Formulario.h"
#include "ui/GraficoResultado.h"
#include "ui/GraficosResultado.h"
#include "ui/InformeEscenario.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>

namespace valvida {

namespace {

const QStringList CabecerasEscenario = {
    QStringLiteral("Escenario"),     QStringLiteral("Edad"),       QStringLiteral("Tipo de Seguro"),
    QStringLiteral("Plazo Seguro"),  QStringLiteral("Plazo Pago"), QStringLiteral("Suma Aseg."),
    QStringLiteral("Id Mortalidad"), QStringLiteral("Mortalidad"), QStringLiteral("Interes Técnico"),
};

const QStringList CabecerasResultado = {
    QStringLiteral("Año Poliza"),
    QStringLiteral("Edad Alcanzada"),
    QStringLiteral("Reserva Matematica"),
    QStringLiteral("Prima Riesgo"),
    QStringLiteral("Prima Neta Nivelada"),
    QStringLiteral("Prima Tarifa"),
    QStringLiteral("Anualidad"),
    QStringLiteral("Seguro"),
    QStringLiteral("Rescate"),
    QStringLiteral("Saldado"),
    QStringLiteral("Prorrogado"),
};

// Each column as the actuary reads it: ages, years and terms whole, the sum insured as money, the
// rate without trailing zeros; per-unit values (premiums, reserves, guaranteed values) to 8 decimals.
const Formatos FormatosEscenario = {Formato::Entero, Formato::Entero, std::nullopt, Formato::Entero,   Formato::Entero,
                                    Formato::Dinero, Formato::Entero, std::nullopt, Formato::Conmutado};
const Formatos FormatosResultado = {Formato::Entero,    Formato::Entero,    Formato::PorUnidad, Formato::PorUnidad,
                                    Formato::PorUnidad, Formato::PorUnidad, Formato::PorUnidad, Formato::PorUnidad,
                                    Formato::PorUnidad, Formato::PorUnidad, Formato::PorUnidad};

// Columns of the scenario list.
constexpr int ColEscenario = 0;
constexpr int ColTipoSeguro = 2;
constexpr int ColPlazoSeguro = 3;
constexpr int ColPlazoPago = 4;
constexpr int ColTabla = 6;
constexpr int ColInteres = 8;
// The result table's columns up to the tariff premium: what the form opens wide enough to show.
constexpr int ColumnasPrimas = 6;

// A grid whose natural width shows its first columns whole beside a vertical scroll bar: the layout
// gives each half of the form the room for the columns read first, where the form has it.
class GridMitad : public FlexGrid
{
  public:
    GridMitad(QWidget* padre, int columnasClave)
        : FlexGrid(padre)
        , m_columnasClave(columnasClave)
    {
    }

    QSize sizeHint() const override
    {
        int ancho = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
        for (int c = 0; c < std::min(m_columnasClave, columnCount()); ++c)
            ancho += columnWidth(c);
        return {ancho, minimumHeight()};
    }

  private:
    int m_columnasClave;
};

FlexGrid* NuevoGrid(QWidget* padre, const char* nombre, int columnas, int columnasClave)
{
    auto* grid = new GridMitad(padre, columnasClave);
    grid->setObjectName(QString::fromLatin1(nombre));
    grid->setCols(columnas);
    grid->setFixedRows(1);
    grid->setFixedCols(1);
    // Long headings over short numbers: in two lines the columns are as narrow as their values.
    grid->setCabeceraEnDosLineas(true);
    return grid;
}

// The headings, the summary and the title: plain text from the top left.
QLabel* Etiqueta(QWidget* padre, const char* nombre, const QString& texto)
{
    QLabel* etiqueta = NuevaEtiqueta(padre, nombre, texto);
    etiqueta->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    etiqueta->setTextFormat(Qt::PlainText);
    return etiqueta;
}

} // namespace

frmResultados::frmResultados(Entorno& entorno, QWidget* parent)
    : QWidget(parent)
    , m_entorno(entorno)
    , m_lista(NuevoGrid(this, "MSFlexGrid1", static_cast<int>(CabecerasEscenario.size()),
                        static_cast<int>(CabecerasEscenario.size())))
    , m_resultado(NuevoGrid(this, "MSFlexGrid2", static_cast<int>(CabecerasResultado.size()), ColumnasPrimas))
    // The level premium dashed: where it equals the risk premium (a one-year cover) both still show.
    , m_grafico1(
          new GraficoResultado({QPen(QColor(0xc0, 0x39, 0x2b), 3.5), QPen(QColor(0x1f, 0x5f, 0xa8), 2, Qt::DashLine),
                                QPen(QColor(0x2e, 0x8b, 0x57), 2)},
                               this))
    // The surrender value dashed under the reserve it is taken from.
    , m_grafico2(new GraficoResultado(
          {QPen(QColor(0x1f, 0x5f, 0xa8), 2), QPen(QColor(0xd3, 0x6b, 0x00), 2, Qt::DashLine)}, this))
    , m_label1(Etiqueta(this, "Label1", QStringLiteral("Escenario")))
    , m_label2(Etiqueta(this, "Label2", QStringLiteral("Resultado")))
    , m_label3(Etiqueta(this, "Label3", QString()))
    , m_label4(Etiqueta(this, "Label4", QString()))
    , m_vaciar(NuevoBoton(this, "cmdVaciar", QStringLiteral("&Vaciar Excel")))
    , m_informe(NuevoBoton(this, "cmdInforme", QStringLiteral("&Informe")))
    , m_salir(NuevoBoton(this, "cmdSalir", QStringLiteral("&Salir")))
{
    setObjectName(QStringLiteral("frmResultados"));
    setWindowTitle(QStringLiteral("Resultados"));
    m_grafico1->setObjectName(QStringLiteral("MSChart1"));
    m_grafico2->setObjectName(QStringLiteral("MSChart2"));
    m_vaciar->setToolTip(QStringLiteral("Descarga el escenario y el resultado"));
    // Fixed pitch, so the two amounts of the summary stand one above the other; at the form's size.
    QFont fijo = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fijo.setPointSizeF(font().pointSizeF());
    m_label3->setFont(fijo);
    m_lista->setSeleccionPorFila(true);
    // Screen readers name each grid and chart by the heading or title it stands under.
    m_label1->setBuddy(m_lista);
    m_label2->setBuddy(m_resultado);
    m_lista->setAccessibleName(m_label1->text());
    m_resultado->setAccessibleName(m_label2->text());
    m_grafico1->setAccessibleName(QStringLiteral("Primas"));
    m_grafico2->setAccessibleName(QStringLiteral("Reservas"));
    dispone();

    connect(m_lista, &FlexGrid::Click, this, &frmResultados::MSFlexGrid1_Click);
    connect(m_lista, &FlexGrid::rowColChange, this, &frmResultados::MSFlexGrid1_RowColChange);
    connect(m_vaciar, &QPushButton::clicked, this, &frmResultados::cmdVaciar_Click);
    connect(m_informe, &QPushButton::clicked, this, &frmResultados::cmdInforme_Click);
    connect(m_salir, &QPushButton::clicked, this, &frmResultados::cmdSalir_Click);
    m_grafico1->alActivar = [this] { MSChart_Activado(m_grafico1); };
    m_grafico2->alActivar = [this] { MSChart_Activado(m_grafico2); };
    FijaBotonesFormulario(this, m_vaciar, m_salir);

    Form_Load();
}

frmResultados::~frmResultados() = default;

void frmResultados::recarga()
{
    const bool habia = hayEscenarioActual();
    const QString elegido = habia ? m_lista->textMatrix(m_lista->row(), ColEscenario) : QString();
    cargaEscenarios();
    if (habia && EsNumerico(elegido))
        seleccionaEscenario(AEntero32(ANumero(elegido)));
    m_filaMostrada = m_lista->row();
}

void frmResultados::conectaVentana(QMdiSubWindow* ventana)
{
    // The layout follows the child window's outer size, so it is run again on every activation.
    connect(ventana, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates antes, Qt::WindowStates ahora) {
        if ((ahora & Qt::WindowActive) && !(antes & Qt::WindowActive))
            Redimensiona();
    });
}

void frmResultados::dispone()
{
    const QFontMetrics metricas = fontMetrics();
    const int ancho = metricas.averageCharWidth();
    // Room for the header and four rows under a scroll bar, and for a chart's titles, axes and legend.
    const int alturaFilas = m_lista->rowHeight(0) + 4 * m_lista->verticalHeader()->defaultSectionSize() +
                            style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4;
    for (FlexGrid* grid : {m_lista, m_resultado})
        grid->setMinimumSize(30 * ancho, alturaFilas);
    for (GraficoResultado* grafico : {m_grafico1, m_grafico2})
        grafico->setMinimumSize(30 * ancho, 14 * metricas.height());
    // The summary keeps its two lines even while empty, so the charts do not jump from one scenario to the next.
    m_label3->setMinimumHeight(2 * QFontMetrics(m_label3->font()).lineSpacing() + 2);

    auto* rejilla = new QGridLayout(this);
    rejilla->addWidget(m_label1, 0, 0);
    rejilla->addWidget(m_label2, 0, 1);
    rejilla->addWidget(m_lista, 1, 0);
    rejilla->addWidget(m_resultado, 1, 1);
    rejilla->addWidget(m_label3, 2, 0);
    rejilla->addWidget(m_label4, 2, 1);
    rejilla->addWidget(m_grafico1, 3, 0);
    rejilla->addWidget(m_grafico2, 3, 1);
    auto* botones = new QHBoxLayout;
    botones->addWidget(m_vaciar);
    botones->addWidget(m_informe);
    botones->addWidget(m_salir);
    botones->addStretch();
    rejilla->addLayout(botones, 4, 0, 1, 2);
    // Each half first as wide as its grid's leading columns, then the rest shared equally (a column
    // stretch would take its minimum for its hint); the grids and the charts share the height as 3.5 to 4.
    rejilla->setRowStretch(1, 35);
    rejilla->setRowStretch(3, 40);

    // A control hidden while a chart fills the form keeps its place, so the layout still knows where
    // everything goes back to.
    for (QWidget* control : controles()) {
        QSizePolicy politica = control->sizePolicy();
        politica.setRetainSizeWhenHidden(true);
        control->setSizePolicy(politica);
    }
}

QSize frmResultados::sizeHint() const
{
    // Wider where the list's columns and the premiums need it (the layout's own hint).
    const QFontMetrics metricas = fontMetrics();
    return QSize(170 * metricas.averageCharWidth(), 48 * metricas.height())
        .expandedTo(QWidget::sizeHint())
        .expandedTo(minimumSizeHint());
}

void frmResultados::Form_Load()
{
    m_vistaNormal = true;
    m_resultado->ponCabeceras(CabecerasResultado);
    m_resultado->ajustaColumnas();
    // Until a scenario is shown its columns take the width of the per-unit values they will hold,
    // so the form opens wide enough for the premiums.
    const int anchoPorUnidad = m_resultado->anchoCelda(TextoPantalla(0, Formato::PorUnidad));
    for (int c = 0; c < m_resultado->cols(); ++c)
        if (FormatosResultado.value(c) == Formato::PorUnidad)
            m_resultado->setColumnWidth(c, std::max(m_resultado->columnWidth(c), anchoPorUnidad));
    m_resultado->updateGeometry();
    cargaEscenarios();
}

void frmResultados::cargaEscenarios()
{
    m_lista->ponCabeceras(CabecerasEscenario);
    CargaFlexgrid(m_entorno, consulta::EscenariosResultados, *m_lista, {}, FormatosEscenario);
}

bool frmResultados::hayEscenarioActual() const
{
    return m_lista->row() >= m_lista->fixedRows() && m_lista->row() < m_lista->rows();
}

bool frmResultados::seleccionaEscenario(std::int32_t escenario)
{
    // The caller fills the results itself; the move must not show the scenario a first time.
    const QSignalBlocker silencio(m_lista);
    for (int r = m_lista->fixedRows(); r < m_lista->rows(); ++r) {
        const QString numero = m_lista->textMatrix(r, ColEscenario);
        if (EsNumerico(numero) && ANumero(numero) == escenario) {
            m_lista->setRow(r);
            return true;
        }
    }
    // No other scenario may stay chosen: its title and its export would pass for this one's.
    m_lista->setRow(0);
    return false;
}

void frmResultados::MSFlexGrid1_Click()
{
    muestraFilaActual(QStringLiteral("Rutina: MSFlexGrid1_Click"));
}

void frmResultados::MSFlexGrid1_RowColChange()
{
    // A keyboard move of the current row chooses that scenario as a click does; a move of the
    // column, or the click's own move (already shown by its click), leaves the results alone.
    if (m_lista->row() != m_filaMostrada)
        muestraFilaActual(QStringLiteral("Rutina: MSFlexGrid1_RowColChange"));
}

void frmResultados::muestraFilaActual(const QString& rutina)
{
    // The header, or a list without scenarios, chooses nothing.
    if (!hayEscenarioActual())
        return;
    ConCajaError(m_entorno.dialogos, rutina, [this] {
        LlenaResultado(AEntero32(ANumero(m_lista->textMatrix(m_lista->row(), ColEscenario))));
        GeneraTitulo();
    });
}

void frmResultados::LlenaResultado(std::int32_t escenario)
{
    m_filaMostrada = m_lista->row();
    m_escenarioMostrado = escenario;
    m_resultado->ponCabeceras(CabecerasResultado);
    // The title and summary of the scenario shown before would stand over these rows.
    m_label3->clear();
    m_label4->clear();
    m_lista->setCol(ColEscenario);
    CargaFlexgrid(m_entorno, consulta::ResultadoEscenario, *m_resultado, {escenario}, FormatosResultado);
    m_lista->setCol(ColPlazoSeguro);
    llenaGraficos(escenario);
    titulaGraficos();
}

void frmResultados::llenaGraficos(std::int32_t escenario)
{
    ResultadosGrafico leidos;
    // Charts of part of the rows would be read as the whole scenario: they stay empty.
    if (!ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: LlenaResultado"),
                      [&] { leidos = LeeResultadosGrafico(m_entorno.db, escenario); }))
        leidos.filas.clear();
    m_porMeses = leidos.porMeses;
    m_grafico1->muestra(DatosPrimas(leidos.filas, leidos.porMeses));
    m_grafico2->muestra(DatosReservas(leidos.filas, leidos.porMeses));
}

void frmResultados::GeneraTitulo()
{
    if (!hayEscenarioActual())
        return;
    const int r = m_lista->row();
    const auto celda = [this, r](int c) { return m_lista->textMatrix(r, c); };

    m_label4->setText(QStringLiteral("Escenario ") + celda(ColEscenario) + QStringLiteral(": ") + celda(ColTipoSeguro) +
                      QLatin1Char(' ') + celda(ColPlazoSeguro) + QLatin1Char('-') + celda(ColPlazoPago));

    // The amounts of the first result row for the sum insured, rounded half to even to 4 decimals.
    QString resumen;
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: GeneraTitulo"), [&] {
        if (const std::optional<PrimasEscenario> p = LeePrimasEscenario(m_entorno.db, m_escenarioMostrado))
            resumen = QStringLiteral("Prima Nivelada Anual: ") +
                      TextoNumero(RedondeaPar(p->primaNeta * p->sumaAsegurada, 4)) +
                      QStringLiteral("\r\nPrima Tarifa Anual:   ") +
                      TextoNumero(RedondeaPar(p->primaTarifa * p->sumaAsegurada, 4));
    });
    m_label3->setText(resumen);

    m_lista->setCol(ColPlazoSeguro);
    m_resultado->setTextMatrix(0, 0, m_porMeses ? QStringLiteral("Mes Póliza") : QStringLiteral("Año Póliza"));
    m_resultado->ajustaColumnas();
    m_resultado->setRow(0);
    m_resultado->setCol(0);
    titulaGraficos();
}

void frmResultados::titulaGraficos()
{
    // An enlarged chart hides the title above the table: it names the scenario itself.
    for (GraficoResultado* grafico : {m_grafico1, m_grafico2})
        grafico->nombraEscenario(!m_vistaNormal && grafico->isVisibleTo(this) ? m_label4->text() : QString());
}

void frmResultados::Redimensiona()
{
    layout()->invalidate();
    layout()->activate();
}

QList<QWidget*> frmResultados::controles() const
{
    return {m_lista,  m_resultado, m_grafico1, m_grafico2, m_label1, m_label2,
            m_label3, m_label4,    m_vaciar,   m_informe,  m_salir};
}

void frmResultados::MSChart_Activado(GraficoResultado* grafico)
{
    if (m_vistaNormal) {
        for (QWidget* control : controles())
            control->setVisible(control == grafico);
        // The layout the hiding asks for runs now, before the chart is laid over the whole form.
        layout()->activate();
        // The whole visible form: the outer size would put the age axis under the window's edge.
        grafico->setGeometry(rect());
        grafico->raise();
        grafico->update();
        m_vistaNormal = false;
    } else {
        for (QWidget* control : controles())
            control->setVisible(true);
        m_vistaNormal = true;
        Redimensiona();
    }
    titulaGraficos();
}

void frmResultados::cmdVaciar_Click()
{
    if (!hayEscenarioActual())
        return;
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdVaciar_Click"), [this] {
        const int r = m_lista->row();
        const std::int32_t escenario = AEntero32(ANumero(m_lista->textMatrix(r, ColEscenario)));
        m_lista->setCol(ColInteres);
        DescargaEscenario(m_entorno, escenario);
    });
}

void frmResultados::cmdInforme_Click()
{
    if (!hayEscenarioActual())
        return;
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdInforme_Click"), [this] {
        DescargaInforme(m_entorno, AEntero32(ANumero(m_lista->textMatrix(m_lista->row(), ColEscenario))));
    });
}

void frmResultados::cmdSalir_Click()
{
    CierraFormulario(this);
}

} // namespace valvida
