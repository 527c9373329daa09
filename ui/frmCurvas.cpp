#include "ui/frmCurvas.h"

#include "actuarial/almacen/Hipotesis.h"
#include "core/Cargadores.h"
#include "core/Consultas.h"
#include "core/Curvas.h"
#include "core/Dialogos.h"
#include "core/Hipotesis.h"
#include "core/Numeros.h"
#include "ui/Controles.h"
#include "ui/FlexGrid.h"
#include "ui/Formulario.h"
#include "ui/GraficoResultado.h"
#include "ui/GraficosResultado.h"
#include "ui/frmMejorEstimacion.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace valvida {

frmCurvas::frmCurvas(Entorno entorno, QWidget* parent)
    : QWidget(parent)
    , m_entorno(std::move(entorno))
{
    setObjectName(QStringLiteral("frmCurvas"));
    setWindowTitle(QStringLiteral("Curvas de tipos"));
    construye();
    cargaCurvas();
    m_tipos->ponCabeceras({QStringLiteral("Plazo"), QStringLiteral("Tipo %")});
    m_tipos->ajustaColumnas();
    MuestraGraficoValores(m_grafico, {QStringLiteral("Curva de tipos"), QStringLiteral("Plazo"), {}, {}}, false);
}

void frmCurvas::construye()
{
    m_grid = new GridAjustado(this, "MSFlexGrid1", 8);
    m_grid->setCols(3);
    m_grid->setFixedRows(1);
    m_grid->setFixedCols(0);
    m_grid->setSeleccionPorFila(true);
    m_grid->setColAlignmentLeft(1);
    m_grid->setAccessibleName(QStringLiteral("Curvas"));
    m_tipos = new GridAjustado(this, "MSFlexGrid2", 8);
    m_tipos->setCols(2);
    m_tipos->setFixedRows(1);
    m_tipos->setFixedCols(1);
    m_tipos->setAccessibleName(QStringLiteral("Tipos"));
    // The rate in percent by maturity, one point per maturity.
    m_grafico = new GraficoResultado({QPen(QColor(0x1f, 0x5f, 0xa8), 2)}, this);
    m_grafico->setObjectName(QStringLiteral("MSChart1"));
    m_grafico->setAccessibleName(QStringLiteral("Curva de tipos"));
    m_grafico->setMinimumSize(50 * fontMetrics().averageCharWidth(), 20 * fontMetrics().height());

    auto* frame1 = new QGroupBox(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    m_txtDescripcion = NuevaCaja(frame1, "txtDescripcion");
    m_dtpFecha = new QDateEdit(QDate::currentDate(), frame1);
    m_dtpFecha->setObjectName(QStringLiteral("dtpFecha"));
    // Kept and listed as the command line takes it: year, month, day.
    m_dtpFecha->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_dtpFecha->setCalendarPopup(true);
    m_cmdImportar = NuevoBoton(frame1, "cmdImportar", QStringLiteral("&Importar"));
    m_cmdSalir = NuevoBoton(frame1, "cmdSalir", QStringLiteral("&Salir"));
    auto* campos = new QHBoxLayout(frame1);
    campos->addWidget(NuevaEtiqueta(frame1, "lblDescripcion", QStringLiteral("Descripción:"), m_txtDescripcion));
    campos->addWidget(m_txtDescripcion, 1);
    campos->addWidget(NuevaEtiqueta(frame1, "lblFecha", QStringLiteral("Fecha:"), m_dtpFecha));
    campos->addWidget(m_dtpFecha);
    campos->addWidget(m_cmdImportar);
    campos->addWidget(m_cmdSalir);

    auto* arriba = new QHBoxLayout;
    // The grids as wide as their columns; the chart takes the rest.
    arriba->addWidget(m_grid);
    arriba->addWidget(m_tipos);
    arriba->addWidget(m_grafico, 1);
    auto* principal = new QVBoxLayout(this);
    principal->addLayout(arriba, 1);
    principal->addWidget(frame1);
    FijaBotonesFormulario(this, m_cmdImportar, m_cmdSalir);

    connect(m_grid, &FlexGrid::rowColChange, this, &frmCurvas::muestraSeleccion);
    connect(m_grid, &FlexGrid::Click, this, &frmCurvas::muestraSeleccion);
    connect(m_cmdImportar, &QPushButton::clicked, this, &frmCurvas::cmdImportar_Click);
    connect(m_cmdSalir, &QPushButton::clicked, this, [this] { CierraFormulario(this); });
}

void frmCurvas::cargaCurvas()
{
    m_grid->ponCabeceras({QStringLiteral("Curva"), QStringLiteral("Descripción"), QStringLiteral("Fecha")});
    CargaFlexgrid(m_entorno, consulta::Curvas, *m_grid);
    m_grid->ajustaColumnas();
    m_grid->updateGeometry();
}

void frmCurvas::muestraSeleccion()
{
    if (m_grid->row() < m_grid->fixedRows() || !EsNumerico(m_grid->textMatrix(m_grid->row(), 0)))
        return;
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: MSFlexGrid1_RowColChange"), [this] {
        const std::int32_t curva = AEntero32(ANumero(m_grid->textMatrix(m_grid->row(), 0)));
        m_tipos->ponCabeceras({QStringLiteral("Plazo"), QStringLiteral("Tipo %")});
        CargaFlexgrid(m_entorno, consulta::TiposCurva, *m_tipos, {curva}, {Formato::Entero, Formato::Conmutado});
        m_tipos->ajustaColumnas();
        m_tipos->updateGeometry();
        const int r = m_grid->row();
        DatosGrafico datos{m_grid->textMatrix(r, 1) + QStringLiteral(" (") + m_grid->textMatrix(r, 2) + ')',
                           QStringLiteral("Plazo"),
                           {},
                           {{QStringLiteral("Tipo %"), {}}}};
        if (const auto tipos = LeeCurva(m_entorno.db, curva)) {
            for (std::size_t k = 0; k < tipos->tipos.size(); ++k) {
                datos.etiquetas << QString::number(k + 1);
                datos.series[0].puntos << QPointF(static_cast<qreal>(k), tipos->tipos[k]);
            }
        }
        MuestraGraficoValores(m_grafico, datos, false);
    });
}

void frmCurvas::cmdImportar_Click()
{
    Dialogos& dialogos = m_entorno.dialogos;
    if (const auto rechazo = CompruebaDescripcionCurva(m_txtDescripcion->text())) {
        dialogos.mensaje(*rechazo, Dialogos::Botones::Aceptar, Dialogos::Icono::Exclamacion);
        m_txtDescripcion->setFocus();
        return;
    }
    const QString archivo = dialogos.abrirArchivo(m_entorno.carpetaAplicacion,
                                                  QStringLiteral("Archivo de valores separados por comas|*.csv"),
                                                  QStringLiteral("Curva de tipos"));
    if (archivo.isEmpty())
        return;
    ConCajaError(dialogos, QStringLiteral("Rutina: cmdImportar_Click"), [&] {
        RelojArena reloj(dialogos);
        const std::int32_t curva =
            ImportaCurva(m_entorno.db, archivo, m_txtDescripcion->text(), m_dtpFecha->date().toString(Qt::ISODate));
        cargaCurvas();
        // The new curve becomes the current row: its rates and chart show at once.
        for (int r = m_grid->fixedRows(); r < m_grid->rows(); ++r) {
            if (m_grid->textMatrix(r, 0) == QString::number(curva))
                m_grid->setRow(r);
        }
    });
}

} // namespace valvida
