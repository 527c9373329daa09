#include "ui/frmMejorEstimacion.h"

#include "actuarial/cartera/MejorEstimacion.h"
#include "core/BaseDatos.h"
#include "core/Cargadores.h"
#include "core/Consultas.h"
#include "core/Dialogos.h"
#include "core/Hipotesis.h"
#include "core/Numeros.h"
#include "ui/ComboLista.h"
#include "ui/Controles.h"
#include "ui/FlexGrid.h"
#include "ui/Formulario.h"
#include "ui/GraficoResultado.h"
#include "ui/GraficosResultado.h"

#include <QChart>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QValueAxis>

#include <array>

namespace valvida {

namespace {

const QString FiltroCsv = QStringLiteral("Archivo de valores separados por comas|*.csv");

const char* const Cabeceras[] = {"Año",    "Primas",     "Fallecimientos", "Vencimientos", "Rescates",
                                 "Gastos", "Comisiones", "Flujo Neto",     "Valor Actual"};

// A year's flows in the grid's order after the year: each kind, the net flow, its value at time 0.
std::array<double, 8> Columnas(const FlujoAnio& a)
{
    return {a.primas, a.fallecimientos, a.vencimientos, a.rescates, a.gastos, a.comisiones, a.neto(), a.valorActual};
}

} // namespace

frmMejorEstimacion::frmMejorEstimacion(Entorno entorno, QWidget* parent)
    : QWidget(parent)
    , m_entorno(std::move(entorno))
{
    setObjectName(QStringLiteral("frmMejorEstimacion"));
    setWindowTitle(QStringLiteral("Valoración de la mejor estimación"));
    construye();
    cargaListas();
    vaciaResultado();
}

void frmMejorEstimacion::showEvent(QShowEvent* evento)
{
    QWidget::showEvent(evento);
    // Sets and curves are added in their own forms while this one stays open: its lists are read
    // again each time its child window comes to the front.
    auto* ventana = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!ventana || m_sigueVentana)
        return;
    m_sigueVentana = true;
    connect(ventana, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates antes, Qt::WindowStates ahora) {
        if ((ahora & Qt::WindowActive) && !(antes & Qt::WindowActive))
            cargaListas();
    });
}

void frmMejorEstimacion::cargaListas()
{
    for (auto [lista, sql] :
         {std::pair{m_cmbHipotesis, consulta::ListaHipotesis}, std::pair{m_cmbCurva, consulta::ListaCurvas}}) {
        const QVariant elegida = lista->currentData();
        const QSignalBlocker bloqueo(lista);
        lista->clear();
        LlenaCombo(m_entorno, sql, *lista);
        const int i = elegida.isValid() ? lista->findData(elegida) : -1;
        lista->setCurrentIndex(i >= 0 ? i : (lista->count() > 0 ? 0 : -1));
    }
    habilita();
}

void frmMejorEstimacion::construye()
{
    auto* frame1 = new QGroupBox(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    m_cmdCartera = NuevoBoton(frame1, "cmdCartera", QStringLiteral("&Cartera..."));
    m_txtCartera = NuevaCaja(frame1, "txtCartera");
    m_cmdResultado = NuevoBoton(frame1, "cmdResultado", QStringLiteral("&Resultado..."));
    m_txtResultado = NuevaCaja(frame1, "txtResultado");
    // The files are chosen with their buttons; the boxes show the paths whole.
    for (QLineEdit* caja : {m_txtCartera, m_txtResultado}) {
        caja->setReadOnly(true);
        caja->setMinimumWidth(40 * caja->fontMetrics().averageCharWidth());
    }
    m_txtCartera->setAccessibleName(QStringLiteral("Cartera de pólizas"));
    m_txtResultado->setAccessibleName(QStringLiteral("Resultado de la mejor estimación"));
    m_cmbHipotesis = new ComboLista(frame1);
    m_cmbHipotesis->setObjectName(QStringLiteral("cmbHipotesis"));
    m_cmbCurva = new ComboLista(frame1);
    m_cmbCurva->setObjectName(QStringLiteral("cmbCurva"));
    auto* campos = new QGridLayout(frame1);
    campos->addWidget(m_cmdCartera, 0, 0);
    campos->addWidget(m_txtCartera, 0, 1);
    campos->addWidget(NuevaEtiqueta(frame1, "lblHipotesis", QStringLiteral("Hipótesis:"), m_cmbHipotesis), 1, 0);
    campos->addWidget(m_cmbHipotesis, 1, 1, Qt::AlignLeft);
    campos->addWidget(NuevaEtiqueta(frame1, "lblCurva", QStringLiteral("Curva de tipos:"), m_cmbCurva), 2, 0);
    campos->addWidget(m_cmbCurva, 2, 1, Qt::AlignLeft);
    campos->addWidget(m_cmdResultado, 3, 0);
    campos->addWidget(m_txtResultado, 3, 1);
    campos->setColumnStretch(1, 1);

    m_cmdValorar = NuevoBoton(this, "cmdValorar", QStringLiteral("&Valorar"));
    m_cmdGuardar = NuevoBoton(this, "cmdGuardar", QStringLiteral("&Guardar libro"));
    m_cmdGuardar->setToolTip(QStringLiteral("Guarda los flujos como libro de Excel"));
    m_cmdSalir = NuevoBoton(this, "cmdSalir", QStringLiteral("&Salir"));
    m_lblMejorEstimacion = NuevaEtiqueta(this, "lblMejorEstimacion", QString());
    m_lblMejorEstimacion->setTextFormat(Qt::PlainText);
    QFont negrita = m_lblMejorEstimacion->font();
    negrita.setBold(true);
    m_lblMejorEstimacion->setFont(negrita);
    auto* botones = new QHBoxLayout;
    botones->addWidget(m_cmdValorar);
    botones->addWidget(m_cmdGuardar);
    botones->addWidget(m_cmdSalir);
    botones->addSpacing(2 * fontMetrics().averageCharWidth());
    botones->addWidget(m_lblMejorEstimacion, 1);

    m_grid = new GridAjustado(this, "MSFlexGrid1", 8);
    m_grid->setCols(static_cast<int>(std::size(Cabeceras)));
    m_grid->setFixedRows(1);
    m_grid->setFixedCols(1);
    m_grid->setAccessibleName(QStringLiteral("Flujos por año"));
    // The premiums coming in in green, each outgo in a colour of its own; the run-off thick and dashed.
    m_grafico = new GraficoResultado({QPen(QColor(0x2e, 0x8b, 0x57), 2), QPen(QColor(0xc0, 0x39, 0x2b), 2),
                                      QPen(QColor(0x8e, 0x44, 0xad), 2), QPen(QColor(0xd3, 0x6b, 0x00), 2),
                                      QPen(QColor(0x7f, 0x8c, 0x8d), 2), QPen(QColor(0xb8, 0x86, 0x0b), 2),
                                      QPen(QColor(0x1f, 0x5f, 0xa8), 3.5, Qt::DashLine)},
                                     this);
    m_grafico->setObjectName(QStringLiteral("MSChart1"));
    m_grafico->setAccessibleName(QStringLiteral("Flujos por año"));
    m_grafico->setMinimumSize(40 * fontMetrics().averageCharWidth(), 16 * fontMetrics().height());

    auto* principal = new QVBoxLayout(this);
    principal->addWidget(frame1);
    principal->addLayout(botones);
    principal->addWidget(m_grid, 2);
    principal->addWidget(m_grafico, 3);
    FijaBotonesFormulario(this, m_cmdValorar, m_cmdSalir);

    connect(m_cmdCartera, &QPushButton::clicked, this, &frmMejorEstimacion::cmdCartera_Click);
    connect(m_cmdResultado, &QPushButton::clicked, this, &frmMejorEstimacion::cmdResultado_Click);
    connect(m_cmdValorar, &QPushButton::clicked, this, &frmMejorEstimacion::cmdValorar_Click);
    connect(m_cmdGuardar, &QPushButton::clicked, this, &frmMejorEstimacion::cmdGuardar_Click);
    connect(m_cmdSalir, &QPushButton::clicked, this, [this] { CierraFormulario(this); });
    for (ComboLista* lista : {m_cmbHipotesis, m_cmbCurva})
        connect(lista, &QComboBox::currentIndexChanged, this, &frmMejorEstimacion::habilita);
}

void frmMejorEstimacion::cmdCartera_Click()
{
    const QString archivo =
        m_entorno.dialogos.abrirArchivo(m_entorno.carpetaAplicacion, FiltroCsv, QStringLiteral("Cartera de pólizas"));
    if (!archivo.isEmpty())
        m_txtCartera->setText(archivo);
    habilita();
}

void frmMejorEstimacion::cmdResultado_Click()
{
    const QString archivo = m_entorno.dialogos.guardarArchivo(m_entorno.carpetaAplicacion, FiltroCsv,
                                                              QStringLiteral("Resultado de la mejor estimación"));
    if (!archivo.isEmpty())
        m_txtResultado->setText(archivo);
    habilita();
}

void frmMejorEstimacion::habilita()
{
    m_cmdValorar->setEnabled(!m_txtCartera->text().isEmpty() && !m_txtResultado->text().isEmpty() &&
                             m_cmbHipotesis->currentIndex() >= 0 && m_cmbCurva->currentIndex() >= 0);
}

void frmMejorEstimacion::cmdValorar_Click()
{
    Dialogos& dialogos = m_entorno.dialogos;
    vaciaResultado();
    ConCajaError(dialogos, QStringLiteral("Rutina: cmdValorar_Click"), [&] {
        const QString entrada = m_txtCartera->text();
        std::unique_ptr<Dialogos::Progreso> progreso =
            dialogos.progreso(QStringLiteral("Valorando la mejor estimación..."), QFileInfo(entrada).size());
        const ResultadoMejorEstimacion r = ValoraMejorEstimacion(
            m_entorno.db, entrada, m_cmbHipotesis->claveActual(), m_cmbCurva->claveActual(), m_txtResultado->text(),
            ArchivoFlujos(m_txtResultado->text()), [&](qint64 hecho, qint64) { return progreso->avanza(hecho); });
        progreso.reset();
        switch (r.estado) {
        case Recorrido::Estado::Valorada: muestraResultado(r); break;
        case Recorrido::Estado::Rechazada:
            dialogos.mensaje(r.rechazo, Dialogos::Botones::Aceptar, Dialogos::Icono::Exclamacion);
            break;
        case Recorrido::Estado::Cancelada:
            dialogos.mensaje(QStringLiteral("Valoración cancelada"), Dialogos::Botones::Aceptar,
                             Dialogos::Icono::Informacion);
            break;
        }
    });
}

frmMejorEstimacion::~frmMejorEstimacion() = default;

void frmMejorEstimacion::cmdGuardar_Click()
{
    if (!m_valorada)
        return;
    const QString archivo =
        m_entorno.dialogos.guardarArchivo(m_entorno.carpetaAplicacion, QStringLiteral("Libro de Excel|*.xlsx"),
                                          QStringLiteral("Flujos de la mejor estimación"));
    if (archivo.isEmpty())
        return;
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdGuardar_Click"), [&] {
        RelojArena reloj(m_entorno.dialogos);
        EscribeLibroFlujos(*m_valorada, archivo, {BaseDatosAbierta(m_entorno.db)});
    });
}

void frmMejorEstimacion::vaciaResultado()
{
    m_grid->setRows(1);
    m_grid->setRow(0);
    for (int c = 0; c < m_grid->cols(); ++c)
        m_grid->setTextMatrix(0, c, QString::fromUtf8(Cabeceras[c]));
    m_grid->ajustaColumnas();
    // Until a valuation the columns take the width of a portfolio's sums, so the form opens wide
    // enough to read them.
    const int ancho = m_grid->fontMetrics().horizontalAdvance(
        TextoPantalla(-999999999.99, Formato::Dinero, m_grid->locale()) + QStringLiteral("  "));
    for (int c = m_grid->fixedCols(); c < m_grid->cols(); ++c)
        m_grid->setColumnWidth(c, std::max(m_grid->columnWidth(c), ancho));
    m_grid->updateGeometry();
    m_lblMejorEstimacion->clear();
    m_valorada.reset();
    m_cmdGuardar->setEnabled(false);
    MuestraGraficoValores(m_grafico, {QStringLiteral("Flujos por año"), QStringLiteral("Año"), {}, {}}, true);
}

void frmMejorEstimacion::muestraResultado(const ResultadoMejorEstimacion& r)
{
    const QLocale locale = m_grid->locale();
    const auto dinero = [&locale](double valor) { return TextoPantalla(valor, Formato::Dinero, locale); };
    const QStringList tipos = {QStringLiteral("Primas"),       QStringLiteral("Fallecimientos"),
                               QStringLiteral("Vencimientos"), QStringLiteral("Rescates"),
                               QStringLiteral("Gastos"),       QStringLiteral("Comisiones")};
    DatosGrafico datos{QStringLiteral("Flujos por año"), QStringLiteral("Año"), {}, {}};
    for (const QString& tipo : tipos)
        datos.series << SerieGrafico{tipo, {}};
    std::array<double, 8> totales{};
    for (std::size_t j = 0; j < r.flujos.size(); ++j) {
        const std::array<double, 8> valores = Columnas(r.flujos[j]);
        QStringList celdas{TextoPantalla(static_cast<double>(j + 1), Formato::Entero, locale)};
        for (std::size_t c = 0; c < valores.size(); ++c) {
            celdas << dinero(valores[c]);
            totales[c] += valores[c];
            if (c < static_cast<std::size_t>(tipos.size()))
                datos.series[static_cast<qsizetype>(c)].puntos << QPointF(static_cast<qreal>(j), valores[c]);
        }
        m_grid->AddItem(celdas.join(QLatin1Char('\t')));
        datos.etiquetas << celdas.first();
    }
    QStringList total{QStringLiteral("Total")};
    for (double valor : totales)
        total << dinero(valor);
    m_grid->AddItem(total.join(QLatin1Char('\t')));
    m_grid->ajustaColumnas();
    m_lblMejorEstimacion->setText(QStringLiteral("Mejor estimación: ") + dinero(r.total));
    m_valorada = std::make_unique<ResultadoMejorEstimacion>(r);
    m_cmdGuardar->setEnabled(true);

    // The run-off: the value at time 0 of the flows still to come from each year on, the first the
    // best estimate itself, falling to the last year's alone.
    SerieGrafico valor{QStringLiteral("Valor de los flujos futuros"), {}};
    double pendiente = 0.0;
    for (std::size_t j = r.flujos.size(); j-- > 0;) {
        pendiente += r.flujos[j].valorActual;
        valor.puntos.prepend(QPointF(static_cast<qreal>(j), pendiente));
    }
    datos.series << valor;
    MuestraGraficoValores(m_grafico, datos, true);
}

void MuestraGraficoValores(GraficoResultado* grafico, DatosGrafico datos, bool dinero)
{
    // Money in thousands or millions, so the axis reads in a few digits.
    double minimo = 0.0;
    double maximo = 1.0;
    for (const SerieGrafico& serie : datos.series) {
        for (const QPointF& p : serie.puntos) {
            minimo = std::min(minimo, p.y());
            maximo = std::max(maximo, p.y());
        }
    }
    const double mayor = std::max(maximo, -minimo);
    const auto [escala, unidad] = !dinero        ? std::pair{1.0, QString()}
                                  : mayor >= 1e6 ? std::pair{1e6, QStringLiteral("Millones")}
                                  : mayor >= 1e3 ? std::pair{1e3, QStringLiteral("Miles")}
                                                 : std::pair{1.0, QString()};
    for (SerieGrafico& serie : datos.series) {
        for (QPointF& p : serie.puntos)
            p.setY(p.y() / escala);
    }
    grafico->chart()->setLocalizeNumbers(true);
    for (QAbstractAxis* eje : grafico->chart()->axes(Qt::Vertical)) {
        eje->setTitleText(unidad);
        if (auto* valor = qobject_cast<QValueAxis*>(eje)) {
            // A localized label needs its precision written.
            valor->setLabelFormat(QStringLiteral("%.6g"));
        }
    }
    grafico->muestra(datos);
}

} // namespace valvida
