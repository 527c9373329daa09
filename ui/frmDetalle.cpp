#include "ui/frmDetalle.h"

#include "core/Cargadores.h"
#include "core/Consultas.h"
#include "core/Numeros.h"
#include "core/TablasMortalidad.h"
#include "ui/ComboLista.h"
#include "ui/Controles.h"
#include "ui/FlexGrid.h"
#include "ui/Formulario.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace valvida {

frmDetalle::frmDetalle(Entorno entorno, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_entorno(std::move(entorno))
{
    setObjectName(QStringLiteral("frmDetalle"));
    setWindowTitle(QStringLiteral("Tablas Mortalidad - Detalle"));
    construye();

    m_hayCambios = false;
    m_noCerrar = false;
    m_grid->setRows(1);
    m_grid->setTextMatrix(0, 0, QStringLiteral("Edad"));
    m_grid->setTextMatrix(0, 1, QStringLiteral("qx"));
    LlenaCombo(m_entorno, consulta::TablasMortalidadLista, *m_cmbTabla);
    // An empty catalogue leaves the form without a table: nothing to show and nothing to store.
    if (m_cmbTabla->count() > 0) {
        const QSignalBlocker bloqueo(m_cmbTabla);
        m_cmbTabla->setCurrentIndex(0);
    }
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: Form_Load"), [this] { Edades(); });
}

void frmDetalle::construye()
{
    m_cmbTabla = new ComboLista(this);
    m_cmbTabla->setObjectName(QStringLiteral("cmbTabla"));
    m_cmbTabla->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_txtEdadIni = NuevaCaja(this, "txtEdadIni");
    m_txtEdadIni->setEnabled(false);
    AnchoParaTexto(m_txtEdadIni, QStringLiteral("-32768"));
    m_txtEdadFin = NuevaCaja(this, "txtEdadFin");
    m_txtEdadFin->setEnabled(false);
    AnchoParaTexto(m_txtEdadFin, QStringLiteral("-32768"));
    m_grid = new GridAjustado(this, "MSFlexGrid1", 15);
    m_grid->setCols(2);
    m_grid->setFixedRows(1);
    m_grid->setFixedCols(0);
    m_cmdAceptar = NuevoBoton(this, "cmdAceptar", QStringLiteral("A&ceptar"));
    m_cmdCancelar = NuevoBoton(this, "cmdCancelar", QStringLiteral("Ca&ncelar"));
    m_cmdSalir = NuevoBoton(this, "cmdSalir", QStringLiteral("&Salir"));

    auto* lineaTabla = new QHBoxLayout;
    lineaTabla->addWidget(NuevaEtiqueta(this, "lblTabla", QStringLiteral("Tabla de mortalidad:"), m_cmbTabla));
    lineaTabla->addWidget(m_cmbTabla, 1);
    auto* lineaEdades = new QHBoxLayout;
    lineaEdades->addWidget(NuevaEtiqueta(this, "Label2", QStringLiteral("Edad Inicial:"), m_txtEdadIni));
    lineaEdades->addWidget(m_txtEdadIni);
    lineaEdades->addWidget(NuevaEtiqueta(this, "Label1", QStringLiteral("Edad Final:"), m_txtEdadFin));
    lineaEdades->addWidget(m_txtEdadFin);
    lineaEdades->addStretch(1);
    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(m_cmdAceptar);
    botones->addWidget(m_cmdCancelar);
    botones->addWidget(m_cmdSalir);
    auto* principal = new QVBoxLayout(this);
    principal->addLayout(lineaTabla);
    principal->addLayout(lineaEdades);
    principal->addWidget(m_grid, 1);
    principal->addLayout(botones);

    // Enter stores the table, also when typed in the grid; Escape leaves.
    FijaBotonesFormulario(this, m_cmdAceptar, m_cmdSalir);

    connect(m_cmbTabla, &QComboBox::currentIndexChanged, this, &frmDetalle::cmbTabla_Click);
    connect(m_grid, &FlexGrid::KeyPress, this, &frmDetalle::MSFlexGrid1_KeyPress);
    connect(m_grid, &FlexGrid::KeyUp, this, &frmDetalle::MSFlexGrid1_KeyUp);
    connect(m_cmdAceptar, &QPushButton::clicked, this, [this] {
        if (ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdAceptar_Click"), [this] { GuardaDetalle(); }))
            m_hayCambios = false;
    });
    connect(m_cmdCancelar, &QPushButton::clicked, this, [this] {
        ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdCancelar_Click"), [this] { Edades(); });
    });
    connect(m_cmdSalir, &QPushButton::clicked, this, &QWidget::close);
}

void frmDetalle::Edades()
{
    m_hayCambios = false;
    m_noCerrar = false;
    m_grid->setRows(1);
    m_tabla.reset();
    m_txtEdadIni->clear();
    m_txtEdadFin->clear();
    if (m_cmbTabla->currentIndex() < 0)
        return;

    const int k = m_cmbTabla->claveActual();
    const DetalleTabla detalle = LeeDetalle(m_entorno.db, k);
    m_tabla = k;
    m_txtEdadIni->setText(detalle.edadInicial);
    m_txtEdadFin->setText(detalle.edadFinal);
    m_qxGuardadas.clear();
    for (const FilaQx& fila : detalle.filas) {
        m_qxGuardadas << fila.qx;
        m_grid->AddItem(fila.edad + QLatin1Char('\t') + textoQx(fila.qx));
    }
    m_grid->ajustaColumnas();
    ajustaColumnaQx();
    if (m_grid->rows() > 1) {
        m_grid->setRow(1);
        m_grid->setCol(1);
    }
}

bool frmDetalle::celdaEditable() const
{
    return m_grid->col() == 1 && m_grid->row() >= m_grid->fixedRows();
}

QString frmDetalle::textoQx(const QString& guardada) const
{
    // A stored qx as the commutation viewer shows it, in the locale's decimal mark; anything else
    // the store may hold, as it is.
    return EsNumerico(guardada) ? TextoPantalla(ANumero(guardada), Formato::Conmutado, locale()) : guardada;
}

void frmDetalle::ajustaColumnaQx()
{
    // Wide enough for a typical qx even before the table has any, and for what is being typed.
    int ancho =
        std::max(m_grid->columnWidth(1), m_grid->anchoCelda(TextoPantalla(0.0012345678, Formato::Conmutado, locale())));
    if (celdaEditable())
        ancho = std::max(ancho, m_grid->anchoCelda(m_grid->text()));
    m_grid->setColumnWidth(1, ancho);
}

void frmDetalle::MSFlexGrid1_KeyPress(QChar tecla)
{
    if (celdaEditable() && m_grid->agregaTeclaNumerica(tecla, locale().decimalPoint())) {
        m_hayCambios = true;
        ajustaColumnaQx();
    }
}

void frmDetalle::MSFlexGrid1_KeyUp(int tecla)
{
    if (tecla == Qt::Key_Backspace && celdaEditable() && m_grid->borraUltimoCaracter())
        m_hayCambios = true;
}

void frmDetalle::GuardaDetalle()
{
    m_noCerrar = true;
    // A qx left as shown is stored again as it was read, to its last digit; one changed is read as typed.
    QList<FilaQx> filas;
    for (int i = m_grid->fixedRows(); i < m_grid->rows(); ++i) {
        const QString guardada = m_qxGuardadas.value(i - m_grid->fixedRows());
        const QString celda = m_grid->textMatrix(i, 1);
        const bool tecleada = celda != textoQx(guardada);
        filas << FilaQx{m_grid->textMatrix(i, 0), tecleada ? celda : guardada, tecleada};
    }
    if (const auto rechazo = CompruebaQx(filas, locale())) {
        m_grid->setRow(m_grid->fixedRows() + rechazo->fila);
        m_grid->setCol(0);
        m_entorno.dialogos.mensaje(rechazo->mensaje, Dialogos::Botones::Aceptar, Dialogos::Icono::Critico);
        m_grid->setCol(1);
        m_grid->setFocus();
        return;
    }
    if (m_tabla) {
        // What the grid lists afterwards is what was stored.
        const QList<FilaQx> guardadas = GuardaQx(m_entorno.db, *m_tabla, filas, locale());
        m_qxGuardadas.clear();
        for (int i = 0; i < guardadas.size(); ++i) {
            m_qxGuardadas << guardadas.at(i).qx;
            m_grid->setTextMatrix(m_grid->fixedRows() + i, 1, textoQx(guardadas.at(i).qx));
        }
    }
    m_noCerrar = false;
}

Dialogos::Respuesta frmDetalle::preguntaGuardar()
{
    return m_entorno.dialogos.mensaje(QStringLiteral("la tabla ha sufrido cambios, deseas guardarlos"),
                                      Dialogos::Botones::SiNoCancelar, Dialogos::Icono::Ninguno);
}

void frmDetalle::vuelveListaATablaEnGrid()
{
    if (!m_tabla)
        return;
    const QSignalBlocker bloqueo(m_cmbTabla);
    m_cmbTabla->seleccionaClave(*m_tabla);
}

void frmDetalle::cmbTabla_Click()
{
    const bool bien = ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmbTabla_Click"), [this] {
        if (!m_hayCambios) {
            Edades();
            return;
        }
        switch (preguntaGuardar()) {
        case Dialogos::Respuesta::Si:
            // Stored under the table the grid holds, then the chosen one is shown.
            GuardaDetalle();
            if (!m_noCerrar)
                Edades();
            else
                vuelveListaATablaEnGrid();
            break;
        case Dialogos::Respuesta::No: Edades(); break;
        default:
            // The grid keeps its edits; the list goes back to the table they belong to.
            vuelveListaATablaEnGrid();
            break;
        }
    });
    if (!bien)
        vuelveListaATablaEnGrid();
}

void frmDetalle::CierraSinGuardar()
{
    m_hayCambios = false;
    m_noCerrar = false;
    close();
}

void frmDetalle::closeEvent(QCloseEvent* evento)
{
    // Unsaved qx are never dropped without the question, whichever way the window is closed.
    if (m_hayCambios) {
        switch (preguntaGuardar()) {
        case Dialogos::Respuesta::Si: {
            // A store that fails keeps the window, and its edits, open.
            const auto guarda = [this] { GuardaDetalle(); };
            if (!ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdSalir_Click"), guarda)) {
                evento->ignore();
                return;
            }
            break;
        }
        case Dialogos::Respuesta::No: break;
        default: evento->ignore(); return;
        }
    }
    // A store that stopped at a message keeps the form open once.
    if (m_noCerrar) {
        m_noCerrar = false;
        evento->ignore();
        return;
    }
    evento->accept();
}

} // namespace valvida
