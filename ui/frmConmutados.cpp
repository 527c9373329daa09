#include "ui/frmConmutados.h"

#include "actuarial/almacen/Conmutados.h"
#include "core/Cargadores.h"
#include "core/Consultas.h"
#include "core/Dialogos.h"
#include "core/Numeros.h"
#include "core/TablasMortalidad.h"
#include "ui/ComboLista.h"
#include "ui/Controles.h"
#include "ui/FlexGrid.h"
#include "ui/Formulario.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace valvida {

namespace {

const char* const Cabeceras[] = {"Edad", "Cx", "Dx", "Mx", "Nx", "Rx", "Sx", "qx", "px", "lx", "dx"};

// The age whole; the columns and the qx to 10 significant digits.
const Formatos FormatosConmutados = {Formato::Entero,    Formato::Conmutado, Formato::Conmutado, Formato::Conmutado,
                                     Formato::Conmutado, Formato::Conmutado, Formato::Conmutado, Formato::Conmutado,
                                     Formato::Conmutado, Formato::Conmutado, Formato::Conmutado};

} // namespace

frmConmutados::frmConmutados(Entorno entorno, QWidget* parent)
    : QWidget(parent)
    , m_entorno(std::move(entorno))
{
    setObjectName(QStringLiteral("frmConmutados"));
    setWindowTitle(QStringLiteral("Valores Conmutados"));
    construye();

    m_grid->setRows(1);
    for (int c = 0; c < m_grid->cols(); ++c)
        m_grid->setTextMatrix(0, c, QString::fromLatin1(Cabeceras[c]));
    m_grid->ajustaColumnas();
    // Until the first build the columns take the width of the numbers they will show (10 significant
    // digits after three zeros, as a small qx or Cx has them), so the form opens wide enough to read them.
    const int ancho = m_grid->anchoCelda(TextoPantalla(0.0001234567891, Formato::Conmutado));
    for (int c = m_grid->fixedCols(); c < m_grid->cols(); ++c)
        m_grid->setColumnWidth(c, std::max(m_grid->columnWidth(c), ancho));
    LlenaCombo(m_entorno, consulta::TablasMortalidadLista, *m_cmbTabla);
    m_hayTablas = m_cmbTabla->count() > 0;
    if (m_hayTablas)
        m_cmbTabla->setCurrentIndex(0);
    else
        m_entorno.dialogos.mensaje(QStringLiteral("No existen registros en Tabla mortalidad"),
                                   Dialogos::Botones::Aceptar, Dialogos::Icono::Exclamacion);
}

void frmConmutados::construye()
{
    auto* frame1 = new QGroupBox(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    m_cmbTabla = new ComboLista(frame1);
    m_cmbTabla->setObjectName(QStringLiteral("cmbTabla"));
    // As wide as its longest table name, so no name is cut.
    m_cmbTabla->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_txtInteresTecnico = NuevaCajaNumerica(frame1, "txtInteresTecnico");
    AnchoParaTexto(m_txtInteresTecnico, QStringLiteral("100.0000"));
    auto* datos = new QHBoxLayout(frame1);
    datos->addWidget(NuevaEtiqueta(frame1, "lblTabla", QStringLiteral("Tabla de Mortalidad:"), m_cmbTabla));
    datos->addWidget(m_cmbTabla, 1);
    datos->addWidget(NuevaEtiqueta(frame1, "Label2", QStringLiteral("% Interes Técnico:"), m_txtInteresTecnico));
    datos->addWidget(m_txtInteresTecnico);

    auto* frame2 = new QGroupBox(this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    m_cmdConstruir = NuevoBoton(frame2, "cmdConstruir", QStringLiteral("&Construir"));
    m_cmdSalir = NuevoBoton(frame2, "cmdSalir", QStringLiteral("&Salir"));
    auto* botones = new QHBoxLayout(frame2);
    botones->addWidget(m_cmdConstruir);
    botones->addWidget(m_cmdSalir);

    m_grid = new GridAjustado(this, "MSFlexGrid1", 15);
    m_grid->setCols(11);
    m_grid->setFixedRows(1);
    m_grid->setFixedCols(1);

    auto* arriba = new QHBoxLayout;
    arriba->addWidget(frame1, 1);
    arriba->addWidget(frame2);
    auto* principal = new QVBoxLayout(this);
    principal->addLayout(arriba);
    principal->addWidget(m_grid, 1);

    setTabOrder(m_cmbTabla, m_txtInteresTecnico);
    setTabOrder(m_txtInteresTecnico, m_cmdConstruir);
    setTabOrder(m_cmdConstruir, m_cmdSalir);
    FijaBotonesFormulario(this, m_cmdConstruir, m_cmdSalir);

    connect(m_cmdConstruir, &QPushButton::clicked, this, &frmConmutados::cmdConstruir_Click);
    connect(m_cmdSalir, &QPushButton::clicked, this, [this] { CierraFormulario(this); });
}

void frmConmutados::cmdConstruir_Click()
{
    RelojArena reloj(m_entorno.dialogos);
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdConstruir_Click"), [this] {
        const auto comprobado = CompruebaInteres(m_txtInteresTecnico->text(), m_txtInteresTecnico->locale());
        if (const auto* rechazo = std::get_if<RechazoInteres>(&comprobado)) {
            m_entorno.dialogos.mensaje(rechazo->mensaje, Dialogos::Botones::Aceptar, Dialogos::Icono::Ninguno);
            m_txtInteresTecnico->setFocus();
            return;
        }
        const double tasa = std::get<double>(comprobado);
        m_grid->setRows(1);
        const std::int16_t tabla = AEntero16(m_cmbTabla->claveActual());
        CalculaConmutados(m_entorno, tabla, tasa);
        // The stored rate is found by equality with the same double the columns were built with
        // (the typed text may use the locale's decimal mark, which no statement could read).
        CargaFlexgrid(m_entorno, consulta::ConmutadosConQx, *m_grid, {int{tabla}, tasa}, FormatosConmutados);
    });
}

} // namespace valvida
