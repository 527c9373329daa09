#include "ui/frmConmutados.h"

#include "actuarial/almacen/Conmutados.h"
#include "core/Cargadores.h"
#include "core/Dialogos.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"
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

namespace valvida {

namespace {

const char* const Cabeceras[] = {"Edad", "Cx", "Dx", "Mx", "Nx", "Rx", "Sx", "qx", "px", "lx", "dx"};

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
    m_sql = QStringLiteral("SELECT * FROM C_TablaMortalidad");
    LlenaCombo(m_entorno, m_sql, *m_cmbTabla);
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
    // A narrow window squeezes the list last: a table's name stays readable.
    m_cmbTabla->setMinimumContentsLength(24);
    m_cmbTabla->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_txtInteresTecnico = NuevaCaja(frame1, "txtInteresTecnico");
    auto* datos = new QHBoxLayout(frame1);
    datos->addWidget(NuevaEtiqueta(frame1, "lblTabla", QStringLiteral("Tabla de Mortalidad:")));
    datos->addWidget(m_cmbTabla, 1);
    datos->addWidget(NuevaEtiqueta(frame1, "Label2", QStringLiteral("% Interes Técnico:")));
    datos->addWidget(m_txtInteresTecnico);

    auto* frame2 = new QGroupBox(this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    m_cmdConstruir = NuevoBoton(frame2, "cmdConstruir", QStringLiteral("&Construir"));
    m_cmdSalir = NuevoBoton(frame2, "cmdSalir", QStringLiteral("&Salir"));
    auto* botones = new QHBoxLayout(frame2);
    botones->addWidget(m_cmdConstruir);
    botones->addWidget(m_cmdSalir);

    m_grid = new FlexGrid(this);
    m_grid->setObjectName(QStringLiteral("MSFlexGrid1"));
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

bool frmConmutados::validaInteres()
{
    const QString interes = m_txtInteresTecnico->text();
    QString falla;
    if (interes.isEmpty())
        falla = QStringLiteral("Debe indicar un interes tecnico");
    else if (!EsNumerico(interes))
        falla = QStringLiteral("El interes tecnico debe ser numerico");
    else if (const double tasa = ANumero(interes); tasa < 0.0 || tasa > 100.0)
        falla = QStringLiteral("El interes tecnico debera estar comprendido entre 0 y 100");
    if (falla.isEmpty())
        return true;
    m_entorno.dialogos.mensaje(falla, Dialogos::Botones::Aceptar, Dialogos::Icono::Ninguno);
    m_txtInteresTecnico->setFocus();
    return false;
}

void frmConmutados::cmdConstruir_Click()
{
    RelojArena reloj(m_entorno.dialogos);
    try {
        construir();
    } catch (const ErrorVV& e) {
        MostrarError(m_entorno.dialogos, QStringLiteral("Rutina: cmdConstruir_Click"), e);
    }
}

void frmConmutados::construir()
{
    if (!validaInteres())
        return;
    m_grid->setRows(1);
    const std::int16_t tabla = AEntero16(m_cmbTabla->claveActual());
    const double tasa = ANumero(m_txtInteresTecnico->text());
    CalculaConmutados(m_entorno, tabla, tasa);

    // The stored rate is found by equality with the same double the columns were built with.
    m_sql = QStringLiteral(
        "select T_Conmutado.Edad, T_Conmutado.Cx, T_Conmutado.Dx, T_Conmutado.Mx, T_Conmutado.Nx, T_Conmutado.Rx, "
        "T_Conmutado.Sx, T_DetalleMortalidad.qx, T_Conmutado.px, T_Conmutado.lx, T_Conmutado.dex "
        "from T_Conmutado, T_DetalleMortalidad "
        "where T_Conmutado.Tabla_Mortalidad = ? and T_Conmutado.Interes_Tecnico = ? "
        "and T_Conmutado.Tabla_Mortalidad = T_DetalleMortalidad.Tabla_Mortalidad "
        "and T_Conmutado.edad = T_DetalleMortalidad.edad "
        "order by T_Conmutado.Edad");
    CargaFlexgrid(m_entorno, m_sql, *m_grid, {int{tabla}, tasa});
}

QSize frmConmutados::sizeHint() const
{
    // The size it opens with in the main window: wide enough for the age and the six commutation columns at full precision.
    return {1060, 600};
}

} // namespace valvida
