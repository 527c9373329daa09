#include "ui/frmResumenCartera.h"

#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"
#include "ui/Controles.h"
#include "ui/Formulario.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

namespace valvida {

namespace {

const QStringList Cabeceras = {
    QStringLiteral("Escenario"),      QStringLiteral("Descripción"),           QStringLiteral("Pólizas"),
    QStringLiteral("Suma asegurada"), QStringLiteral("Prima de tarifa anual"), QStringLiteral("Reserva")};

// A row of the grid: numbers right-aligned, money as money; the total in bold.
void Fila(QTableWidget* grid, int r, const FilaCuadroCartera& f, bool total)
{
    const QStringList celdas{total ? QStringLiteral("Total") : QString::number(f.escenario),
                             f.descripcion,
                             TextoPantalla(static_cast<double>(f.polizas), Formato::Entero),
                             TextoPantalla(f.sumaAsegurada, Formato::Dinero),
                             TextoPantalla(f.primaTarifa, Formato::Dinero),
                             TextoPantalla(f.reserva, Formato::Dinero)};
    for (int c = 0; c < celdas.size(); ++c) {
        auto* celda = new QTableWidgetItem(celdas.at(c));
        celda->setTextAlignment(Qt::AlignVCenter | (c == 1 || (total && c == 0) ? Qt::AlignLeft : Qt::AlignRight));
        QFont letra = celda->font();
        letra.setBold(total);
        celda->setFont(letra);
        grid->setItem(r, c, celda);
    }
}

QChartView* Grafico(const std::vector<double>& reservas, QWidget* padre)
{
    // Large portfolios read in millions.
    double maximo = 0;
    for (double r : reservas)
        maximo = std::max(maximo, r);
    const double escala = maximo >= 1e6 ? 1e6 : 1.0;
    auto* barras = new QBarSet(QStringLiteral("Reserva"));
    QStringList anios;
    for (std::size_t k = 0; k < reservas.size(); ++k) {
        *barras << reservas[k] / escala;
        anios << QString::number(k);
    }
    maximo /= escala;
    auto* serie = new QBarSeries;
    serie->append(barras);
    auto* grafico = new QChart;
    grafico->addSeries(serie);
    grafico->setTitle(QStringLiteral("Reserva por años en vigor"));
    grafico->legend()->hide();
    auto* ejeAnios = new QBarCategoryAxis;
    ejeAnios->append(anios);
    ejeAnios->setTitleText(QStringLiteral("Años en vigor"));
    auto* ejeReserva = new QValueAxis;
    ejeReserva->setRange(0, maximo > 0 ? maximo : 1);
    ejeReserva->applyNiceNumbers();
    ejeReserva->setLabelFormat(QStringLiteral("%.0f"));
    ejeReserva->setTitleText(escala > 1 ? QStringLiteral("Reserva (millones)") : QStringLiteral("Reserva"));
    grafico->addAxis(ejeAnios, Qt::AlignBottom);
    grafico->addAxis(ejeReserva, Qt::AlignLeft);
    serie->attachAxis(ejeAnios);
    serie->attachAxis(ejeReserva);
    auto* vista = new QChartView(grafico, padre);
    vista->setObjectName(QStringLiteral("chtReserva"));
    vista->setRenderHint(QPainter::Antialiasing);
    vista->setMinimumHeight(16 * vista->fontMetrics().height());
    return vista;
}

} // namespace

frmResumenCartera::frmResumenCartera(Entorno& entorno, CuadroCartera cuadro, QWidget* parent)
    : QWidget(parent)
    , m_entorno(entorno)
    , m_cuadro(std::move(cuadro))
    , m_grid(new QTableWidget(static_cast<int>(m_cuadro.filas.size()) + 1, static_cast<int>(Cabeceras.size()), this))
    , m_guardar(NuevoBoton(this, "cmdGuardar", QStringLiteral("&Guardar libro")))
    , m_salir(NuevoBoton(this, "cmdSalir", QStringLiteral("&Salir")))
{
    setObjectName(QStringLiteral("frmResumenCartera"));
    setWindowTitle(QStringLiteral("Resumen de la cartera"));
    m_guardar->setToolTip(QStringLiteral("Guarda este resumen como libro de Excel"));

    m_grid->setObjectName(QStringLiteral("grdResumen"));
    m_grid->setHorizontalHeaderLabels(Cabeceras);
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int r = 0; r < m_cuadro.filas.size(); ++r)
        Fila(m_grid, r, m_cuadro.filas.at(r), false);
    Fila(m_grid, static_cast<int>(m_cuadro.filas.size()), m_cuadro.total, true);
    m_grid->resizeColumnsToContents();
    m_grid->setAccessibleName(QStringLiteral("Resumen por escenario"));

    auto* disposicion = new QVBoxLayout(this);
    disposicion->addWidget(NuevaEtiqueta(this, "lblEntrada", QStringLiteral("Cartera: ") + m_cuadro.entrada));
    disposicion->addWidget(NuevaEtiqueta(this, "lblSalida", QStringLiteral("Resultado: ") + m_cuadro.salida));
    disposicion->addWidget(m_grid, 2);
    disposicion->addWidget(Grafico(m_cuadro.reservaPorAntiguedad, this), 3);
    auto* botones = new QHBoxLayout;
    botones->addWidget(m_guardar);
    botones->addWidget(m_salir);
    botones->addStretch();
    disposicion->addLayout(botones);
    resize(100 * fontMetrics().averageCharWidth(), 36 * fontMetrics().height());

    connect(m_guardar, &QPushButton::clicked, this, &frmResumenCartera::cmdGuardar_Click);
    connect(m_salir, &QPushButton::clicked, this, [this] { CierraFormulario(this); });
    FijaBotonesFormulario(this, m_guardar, m_salir);
}

void frmResumenCartera::cmdGuardar_Click()
{
    QString archivo = m_entorno.dialogos.guardarArchivo(
        m_entorno.carpetaAplicacion, QStringLiteral("Libro de Excel|*.xlsx"), QStringLiteral("Resumen de la cartera"));
    if (archivo.isEmpty())
        return;
    if (QFileInfo(archivo).suffix().isEmpty())
        archivo += QStringLiteral(".xlsx");
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdGuardar_Click"), [&] {
        RelojArena reloj(m_entorno.dialogos);
        EscribeCuadroCartera(m_cuadro, archivo,
                             {BaseDatosAbierta(m_entorno.db),
                              {m_cuadro.entrada, QStringLiteral(" es la cartera que se valora")},
                              {m_cuadro.salida, QStringLiteral(" es la salida de la cartera")}});
    });
}

} // namespace valvida
