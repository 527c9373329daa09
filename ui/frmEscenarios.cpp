#include "ui/frmEscenarios.h"

#include "actuarial/almacen/Calculo.h"
#include "core/Cargadores.h"
#include "core/Consultas.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/Numeros.h"
#include "core/Plazos.h"
#include "ui/ComboLista.h"
#include "ui/Comision.h"
#include "ui/Controles.h"
#include "ui/FlexGrid.h"
#include "ui/Formulario.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

#include <algorithm>

namespace valvida {

bool HayTablasMortalidad = true;

namespace {

const char* const EncabezadosLista[] = {
    "Escenario",        "Edad",         "Suma Asegurada", "Tipo Seguro", "Tipo Comision", "Interes Técnico",
    "Tabla Mortalidad", "Plazo Seguro", "Plazo Pago",     "Descripción"};

// The list's numbers as the screen shows them: age and terms whole, the sum as money, the rate
// as the commutation tables show theirs.
const Formatos FormatosLista = {std::nullopt,       Formato::Entero, Formato::Dinero, std::nullopt,   std::nullopt,
                                Formato::Conmutado, std::nullopt,    Formato::Entero, Formato::Entero};

constexpr std::int32_t TipoSeguroVidaEntera = 2;

// The show of a scenario lasts one event; the flag goes down on every way out.
class Cargando
{
  public:
    explicit Cargando(bool& bandera)
        : m_bandera(bandera)
    {
        m_bandera = true;
    }
    ~Cargando() { m_bandera = false; }
    Cargando(const Cargando&) = delete;
    Cargando& operator=(const Cargando&) = delete;

  private:
    bool& m_bandera;
};

} // namespace

frmEscenarios::frmEscenarios(Entorno& entorno, std::function<void(std::int32_t)> muestraResultados, QWidget* parent)
    : QWidget(parent)
    , m_entorno(entorno)
    , m_muestraResultados(std::move(muestraResultados))
{
    construye();
    Form_Load();
}

frmEscenarios::~frmEscenarios() = default;

void frmEscenarios::construye()
{
    setObjectName(QStringLiteral("frmEscenarios"));
    setWindowTitle(QStringLiteral("Escenarios"));
    construyeLista();
    construyeCampos();
    construyeCalendario();
    construyeBotones();
    dispone();
    conecta();
}

void frmEscenarios::construyeLista()
{
    // The list asks for the width of all its columns, so the form opens showing every scenario's
    // description where the workspace has the room.
    m_MSFlexGrid1 = new GridAjustado(this, "MSFlexGrid1", 6);
    m_MSFlexGrid1->setCols(10);
    m_MSFlexGrid1->setRows(1);
    m_MSFlexGrid1->setFixedRows(1);
    m_MSFlexGrid1->setFixedCols(0);
}

void frmEscenarios::construyeCampos()
{
    auto marco = [this](const char* nombre) {
        auto* m = new QGroupBox(this);
        m->setObjectName(QString::fromLatin1(nombre));
        return m;
    };
    m_Frame1 = marco("Frame1");
    m_Frame3 = marco("Frame3");
    m_Frame2 = marco("Frame2");

    auto lista = [this](const char* nombre) {
        auto* l = new ComboLista(m_Frame1);
        l->setObjectName(QString::fromLatin1(nombre));
        // As wide as the longest entry, so no table or type is cut.
        l->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        return l;
    };
    // Terms and the total of years are 16-bit whole numbers: their boxes hold one whole, and keep
    // the row short at any font.
    auto corta = [](QLineEdit* caja) {
        AnchoParaTexto(caja, QStringLiteral("-32768"));
        return caja;
    };
    m_txtEdad = NuevaCajaEntera(m_Frame1, "txtEdad");
    m_txtSumaAsegurada = NuevaCajaNumerica(m_Frame1, "txtSumaAsegurada");
    m_cmbTabla = lista("cmbTabla");
    m_txtInteresTecnico = NuevaCajaNumerica(m_Frame1, "txtInteresTecnico");
    m_cmbTipoSeguro = lista("cmbTipoSeguro");
    m_txtPlazoSeguro = corta(NuevaCajaEntera(m_Frame1, "txtPlazoSeguro"));
    m_txtPlazoPago = corta(NuevaCajaEntera(m_Frame1, "txtPlazoPago"));
    m_cmbTipoComision = lista("cmbTipoComision");
    m_txtTotalAnios = corta(NuevaCaja(m_Frame1, "txtTotalAños"));
    m_txtDescripcion = NuevaCaja(m_Frame1, "txtDescripcion");
    m_txtPenalizacionRescate = corta(NuevaCajaNumerica(m_Frame1, "txtPenalizacionRescate"));
    m_txtAnioRescate = corta(NuevaCajaEntera(m_Frame1, "txtAnioRescate"));

    // Labels in column 0 and the first column of boxes in 1; the middle column's labels are
    // right-aligned against their boxes; column 6 takes the width the window gives.
    auto* campos = new QGridLayout(m_Frame1);
    auto etiqueta = [this](const char* nombre, const QString& texto, QWidget* control, bool derecha) {
        QLabel* l = NuevaEtiqueta(m_Frame1, nombre, texto);
        l->setBuddy(control);
        if (derecha)
            l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    auto coloca = [&](int fila, int col, const char* nombre, const QString& texto, QWidget* control, int ancho = 1) {
        QLabel* l = etiqueta(nombre, texto, control, col > 0);
        campos->addWidget(l, fila, col);
        campos->addWidget(control, fila, col + 1, 1, ancho, Qt::AlignLeft);
        return l;
    };
    coloca(0, 0, "lblEdad", QStringLiteral("Edad:"), m_txtEdad);
    coloca(1, 0, "lblSumaAsegurada", QStringLiteral("Suma Asegurada:"), m_txtSumaAsegurada);
    coloca(2, 0, "lblTablaMortalidad", QStringLiteral("Tabla Mortalidad:"), m_cmbTabla, 3);
    coloca(3, 0, "lblInteresTecnico", QStringLiteral("%Interes Técnico:"), m_txtInteresTecnico);
    coloca(3, 2, "lblPenalizacionRescate", QStringLiteral("% Penalización Rescate:"), m_txtPenalizacionRescate);
    coloca(3, 4, "lblAnioRescate", QStringLiteral("Rescate desde el año:"), m_txtAnioRescate);
    coloca(4, 0, "lblTipoSeguro", QStringLiteral("Tipo Seguro:"), m_cmbTipoSeguro);
    coloca(4, 2, "lblPlazoSeguro", QStringLiteral("Plazo Seguro:"), m_txtPlazoSeguro);
    m_Label6 = coloca(4, 4, "Label6", QStringLiteral("Plazo Pago:"), m_txtPlazoPago);
    coloca(5, 0, "lblTipoComision", QStringLiteral("Tipo Comisión:"), m_cmbTipoComision);
    coloca(5, 2, "lblTotalAnios", QStringLiteral("Total de Años:"), m_txtTotalAnios);
    // A one-year cover relabels the payment term; the row keeps the longer text's width.
    m_Label6->setMinimumWidth(m_Label6->fontMetrics().horizontalAdvance(QStringLiteral("Meses a Cubrir:")));
    auto* descripcion = new QHBoxLayout;
    descripcion->addWidget(
        etiqueta("lblDescripcion", QStringLiteral("Descripcion del Escenario:"), m_txtDescripcion, false));
    descripcion->addWidget(m_txtDescripcion, 1);
    campos->addLayout(descripcion, 6, 0, 1, 7);
    campos->setColumnStretch(6, 1);
}

void frmEscenarios::construyeCalendario()
{
    auto* calendario = new QVBoxLayout(m_Frame3);
    QLabel* lblComision = NuevaEtiqueta(m_Frame3, "lblComision", QStringLiteral("Comision"));
    lblComision->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_comision = new Comision(m_entorno, m_Frame3, {m_cmbTipoComision, m_txtTotalAnios, m_txtPlazoPago}, this);
    FlexGrid* MSFlexGrid2 = m_comision->grid();
    lblComision->setBuddy(MSFlexGrid2);
    // A table takes no name from its label: it is given its own.
    MSFlexGrid2->setAccessibleName(lblComision->text());
    calendario->addWidget(lblComision);
    calendario->addWidget(MSFlexGrid2, 1);
}

void frmEscenarios::construyeBotones()
{
    auto* botones = new QHBoxLayout(m_Frame2);
    auto boton = [&](const char* nombre, const QString& texto) {
        QPushButton* b = NuevoBoton(m_Frame2, nombre, texto);
        botones->addWidget(b);
        return b;
    };
    m_cmdResultado = boton("cmdResultado", QStringLiteral("&Resultado"));
    m_cmdAlta = boton("cmdAlta", QStringLiteral("&Alta"));
    m_cmdModificar = boton("cmdModificar", QStringLiteral("&Modificar"));
    m_cmdAceptar = boton("cmdAceptar", QStringLiteral("A&ceptar"));
    m_cmdCancelar = boton("cmdCancelar", QStringLiteral("Ca&ncelar"));
    m_cmdSalir = boton("cmdSalir", QStringLiteral("&Salir"));
    botones->addStretch(1);
    FijaBotonesFormulario(this, m_cmdResultado, m_cmdSalir);
}

void frmEscenarios::dispone()
{
    FlexGrid* MSFlexGrid2 = m_comision->grid();
    // The list on top takes the height the window gives; the fields and buttons below keep theirs,
    // the schedule beside them on the right (`colocaCalendario`).
    m_abajo = new QGridLayout;
    m_abajo->addWidget(m_Frame1, 0, 0);
    m_abajo->setColumnStretch(0, 1);
    colocaCalendario(true);
    auto* forma = new QVBoxLayout(this);
    forma->addWidget(m_MSFlexGrid1, 1);
    forma->addLayout(m_abajo);

    const QList<QWidget*> orden = {m_MSFlexGrid1,    m_txtEdad,           m_txtSumaAsegurada,
                                   m_cmbTabla,       m_txtInteresTecnico, m_txtPenalizacionRescate,
                                   m_txtAnioRescate, m_cmbTipoSeguro,     m_txtPlazoSeguro,
                                   m_txtPlazoPago,   m_cmbTipoComision,   m_txtTotalAnios,
                                   m_txtDescripcion, MSFlexGrid2,         m_cmdResultado,
                                   m_cmdAlta,        m_cmdModificar,      m_cmdAceptar,
                                   m_cmdCancelar,    m_cmdSalir};
    for (int i = 1; i < orden.size(); ++i)
        setTabOrder(orden.at(i - 1), orden.at(i));

    // Browsing: the fields and the schedule wait for "Alta"; the list is at hand.
    for (QWidget* w : Campos())
        w->setEnabled(false);
    MSFlexGrid2->setEnabled(false);
}

void frmEscenarios::colocaCalendario(bool alLado)
{
    m_calendarioAlLado = alLado;
    m_abajo->removeWidget(m_Frame2);
    m_abajo->removeWidget(m_Frame3);
    FlexGrid* calendario = m_comision->grid();
    if (alLado) {
        // As tall as the fields and buttons beside it.
        m_abajo->addWidget(m_Frame2, 1, 0);
        m_abajo->addWidget(m_Frame3, 0, 1, 3, 1);
        calendario->setMinimumHeight(0);
        calendario->setMaximumHeight(QWIDGETSIZE_MAX);
    } else {
        // In the order of the keyboard: fields, schedule, buttons. The schedule shows its header
        // and four years, and scrolls for more: the height the window gives goes to the list.
        m_abajo->addWidget(m_Frame3, 1, 0, Qt::AlignLeft);
        m_abajo->addWidget(m_Frame2, 2, 0);
        calendario->setFixedHeight(2 * calendario->frameWidth() +
                                   5 * calendario->verticalHeader()->defaultSectionSize());
    }
    m_abajo->setRowStretch(2, alLado ? 1 : 0);
}

void frmEscenarios::ajustaDisposicion()
{
    // At a large font the fields and the schedule side by side are wider than the screen: the
    // schedule goes below the fields when the form is narrower than both at the size they ask for.
    const QMargins margen = layout()->contentsMargins();
    const int bordes = margen.left() + margen.right();
    const int campos = std::max(m_Frame1->sizeHint().width(), m_Frame2->sizeHint().width());
    const int alLado = bordes + campos + std::max(0, m_abajo->horizontalSpacing()) + m_Frame3->sizeHint().width();
    // The least width is that of the schedule below, so the window can be made that narrow.
    setMinimumWidth(bordes + std::max({m_MSFlexGrid1->minimumSizeHint().width(), m_Frame1->minimumSizeHint().width(),
                                       m_Frame2->minimumSizeHint().width(), m_Frame3->minimumSizeHint().width()}));
    if (!isVisible() || (width() >= alLado) == m_calendarioAlLado)
        return;
    colocaCalendario(!m_calendarioAlLado);
    // Below the fields the schedule needs more height: a child window grows to hold it, and to
    // the height it asks for where the workspace has it, so the list keeps a few rows in sight.
    layout()->activate();
    if (auto* marco = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        QSize tamano = marco->size().expandedTo(marco->minimumSizeHint());
        if (!m_calendarioAlLado && marco->mdiArea()) {
            const int libre = marco->mdiArea()->viewport()->height() - std::max(0, marco->y());
            tamano.setHeight(std::max(tamano.height(), std::min(marco->sizeHint().height(), libre)));
        }
        marco->resize(tamano);
    }
}

bool frmEscenarios::event(QEvent* evento)
{
    const bool tratado = QWidget::event(evento);
    if (evento->type() == QEvent::Resize || evento->type() == QEvent::LayoutRequest)
        ajustaDisposicion();
    return tratado;
}

void frmEscenarios::conecta()
{
    connect(m_MSFlexGrid1, &FlexGrid::Click, this, &frmEscenarios::MSFlexGrid1_Click);
    connect(m_MSFlexGrid1, &FlexGrid::rowColChange, this, &frmEscenarios::MSFlexGrid1_RowColChange);
    connect(m_txtEdad, &QLineEdit::textChanged, this, &frmEscenarios::txtEdad_Change);
    connect(m_txtPlazoSeguro, &QLineEdit::textChanged, this, &frmEscenarios::txtPlazoSeguro_Change);
    connect(m_cmbTabla, &QComboBox::currentIndexChanged, this,
            [this] { ReaccionLista(QStringLiteral("Rutina: cmbTabla_Click")); });
    connect(m_cmbTipoSeguro, &QComboBox::currentIndexChanged, this,
            [this] { ReaccionLista(QStringLiteral("Rutina: cmbTipoSeguro_Click")); });
    connect(m_cmdAlta, &QPushButton::clicked, this, &frmEscenarios::cmdAlta_Click);
    connect(m_cmdModificar, &QPushButton::clicked, this, &frmEscenarios::cmdModificar_Click);
    connect(m_cmdAceptar, &QPushButton::clicked, this, &frmEscenarios::cmdAceptar_Click);
    connect(m_cmdCancelar, &QPushButton::clicked, this, &frmEscenarios::cmdCancelar_Click);
    connect(m_cmdResultado, &QPushButton::clicked, this, &frmEscenarios::cmdResultado_Click);
    connect(m_cmdSalir, &QPushButton::clicked, this, &frmEscenarios::cmdSalir_Click);
}

void frmEscenarios::Form_Load()
{
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: Form_Load"), [this] {
        m_inicializado = false;
        m_cargandoEscenario = false;
        HayTablasMortalidad = true;

        m_MSFlexGrid1->setRows(1);
        m_MSFlexGrid1->setRow(0);
        for (int c = 0; c < 10; ++c)
            m_MSFlexGrid1->setTextMatrix(0, c, QString::fromUtf8(EncabezadosLista[c]));
        m_MSFlexGrid1->ajustaColumnas();

        m_cmdAceptar->setEnabled(false);
        m_cmdCancelar->setEnabled(false);
        m_cmdResultado->setEnabled(true);
        m_cmdSalir->setEnabled(true);
        m_cmdAlta->setEnabled(true);

        LlenaCombo(m_entorno, consulta::TablasMortalidadLista, *m_cmbTabla);
        if (m_cmbTabla->count() == 0) {
            m_entorno.dialogos.mensaje(QStringLiteral("No existen registros en Tabla mortalidad"),
                                       Dialogos::Botones::Aceptar, Dialogos::Icono::Exclamacion);
            m_cmdAceptar->setEnabled(false);
            m_cmdCancelar->setEnabled(false);
            m_cmdAlta->setEnabled(false);
            m_cmdSalir->setEnabled(true);
            m_cmdResultado->setEnabled(false);
            HayTablasMortalidad = false;
            return;
        }
        Selecciona(m_cmbTabla, 0);
        LlenaCombo(m_entorno, consulta::TiposSeguro, *m_cmbTipoSeguro);
        Selecciona(m_cmbTipoSeguro, 0);
        LlenaCombo(m_entorno, consulta::TiposComision, *m_cmbTipoComision);
        Selecciona(m_cmbTipoComision, 0);
        CargaFlexgrid(m_entorno, ConsultaEscenarios(), *m_MSFlexGrid1, {}, FormatosLista);
        m_comision->EncabezadoInicial();
        if (m_MSFlexGrid1->rows() == 1)
            m_cmdResultado->setEnabled(false);
        m_inicializado = true;
    });
}

QList<QWidget*> frmEscenarios::Campos() const
{
    return {m_txtEdad,           m_txtSumaAsegurada, m_txtPlazoSeguro,         m_txtPlazoPago,
            m_txtInteresTecnico, m_cmbTabla,         m_cmbTipoSeguro,          m_cmbTipoComision,
            m_txtDescripcion,    m_txtTotalAnios,    m_txtPenalizacionRescate, m_txtAnioRescate};
}

void frmEscenarios::Selecciona(ComboLista* lista, int indice)
{
    if (indice < 0 || indice >= lista->count())
        return;
    if (lista->currentIndex() == indice)
        emit lista->currentIndexChanged(indice);
    else
        lista->setCurrentIndex(indice);
}

// ---- Showing a stored scenario ------------------------------------------------------------

void frmEscenarios::MSFlexGrid1_Click()
{
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: MSFlexGrid1_Click"), [this] { MuestraEscenario(); });
}

void frmEscenarios::MSFlexGrid1_RowColChange()
{
    // Browsing by the keys shows each scenario the highlight reaches; a click has shown it already.
    if (!m_inicializado || m_cargandoEscenario || m_estado != Estado::Navegando ||
        m_MSFlexGrid1->row() == m_filaMostrada)
        return;
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: MSFlexGrid1_RowColChange"),
                 [this] { MuestraEscenario(); });
}

void frmEscenarios::MuestraEscenario()
{
    const int fila = m_MSFlexGrid1->row();
    const int columna = m_MSFlexGrid1->col();
    if (fila == 0)
        return;
    const std::int32_t numero = AEntero32(ANumero(m_MSFlexGrid1->textMatrix(fila, 0)));
    // The stored values, not the list's cells: the list rounds the sum and the rate for the eye,
    // and a copy must store the very numbers. The lists are chosen by the stored keys: a
    // description may stand twice in a catalogue.
    const std::optional<EscenarioValido> e = LeeEscenarioGuardado(m_entorno.db, numero);
    if (!e)
        return;
    auto porClave = [](ComboLista* lista, std::int32_t clave) { Selecciona(lista, lista->findData(clave)); };
    {
        Cargando cargando(m_cargandoEscenario);
        m_txtEdad->setText(QString::number(e->edad));
        m_txtSumaAsegurada->setText(TextoCaja(e->sumaAsegurada, Formato::Dinero));
        porClave(m_cmbTipoSeguro, e->tipoSeguro);
        porClave(m_cmbTipoComision, e->tipoComision);
        m_txtInteresTecnico->setText(TextoCaja(e->interesTecnico, Formato::Conmutado));
        porClave(m_cmbTabla, e->tabla);
        // Written after the reactions of the lists, so the stored term is what stays.
        m_txtPlazoSeguro->setText(QString::number(e->plazoSeguro));
        m_txtPlazoPago->setText(QString::number(e->plazoPago));
        m_txtDescripcion->setText(e->descripcion);
        m_txtPenalizacionRescate->setText(TextoCaja(e->rescate.penalizacion, Formato::Conmutado));
        m_txtAnioRescate->setText(QString::number(e->rescate.anioRescate));
        m_comision->MuestraFilas(e->comision);
        m_filaMostrada = fila;
    }
    m_MSFlexGrid1->setRow(fila);
    m_MSFlexGrid1->setCol(columna);
}

// ---- Reactions of the fields --------------------------------------------------------------

void frmEscenarios::txtEdad_Change()
{
    if (!m_inicializado || m_cargandoEscenario || !NumeroTecleado(m_txtEdad->text()))
        return;
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: txtEdad_Change"), [this] { ReaccionPlazoSeguro(); });
}

void frmEscenarios::txtPlazoSeguro_Change()
{
    // A one-year cover counts its payment in months.
    const std::optional<std::int16_t> n = EnteroTecleado(m_txtPlazoSeguro->text());
    m_Label6->setText(n && EsCoberturaMensual(*n) ? QStringLiteral("Meses a Cubrir:") : QStringLiteral("Plazo Pago:"));
}

void frmEscenarios::ReaccionLista(const QString& rutina)
{
    if (m_inicializado)
        ConCajaError(m_entorno.dialogos, rutina, [this] { ReaccionPlazoSeguro(); });
}

void frmEscenarios::ReaccionPlazoSeguro()
{
    const QString edad = m_txtEdad->text();
    const std::optional<std::int16_t> x = EnteroTecleado(edad);
    if (edad.isEmpty() || x == 0) {
        m_txtPlazoSeguro->setText(QString());
        return;
    }
    if (m_cmbTipoSeguro->claveActual() != TipoSeguroVidaEntera) {
        // Typed by hand in a new entry; a scenario on show is only read.
        m_txtPlazoSeguro->setEnabled(m_estado == Estado::Nuevo);
        m_txtPlazoSeguro->setText(QString());
        return;
    }
    // Whole life runs to the table's last age.
    m_txtPlazoSeguro->setEnabled(false);
    m_txtPlazoSeguro->setText(QString());
    if (!x) {
        if (NumeroTecleado(edad))
            Rechaza({QStringLiteral("La edad esta fuera del rango permitido"), Dialogos::Icono::Exclamacion,
                     CampoEscenario::Edad});
        return;
    }
    if (const std::optional<EdadesTabla> edades = LeeEdadesTabla(m_entorno.db, m_cmbTabla->claveActual()))
        m_txtPlazoSeguro->setText(TextoNumero(PlazoVidaEntera(edades->ultima, *x)));
}

// ---- States -------------------------------------------------------------------------------

void frmEscenarios::FijaBotones(Estado estado)
{
    m_estado = estado;
    const bool navegando = estado == Estado::Navegando;
    m_cmdAlta->setEnabled(navegando);
    m_cmdModificar->setEnabled(navegando);
    m_cmdSalir->setEnabled(navegando);
    m_cmdResultado->setEnabled(navegando);
    m_cmdAceptar->setEnabled(!navegando);
    m_cmdCancelar->setEnabled(!navegando);
}

void frmEscenarios::ReiniciaCampos(bool habilitar)
{
    // A new entry starts from an empty schedule, not from the cells of the scenario on show.
    m_comision->Vacia();
    m_filaMostrada = 0;
    // In the form's control order; the reactions run as each value changes, the lists' ones
    // even when the first entry was already selected, so the schedule is always shaped anew.
    auto vacia = [habilitar](QLineEdit* caja) {
        caja->setText(QString());
        caja->setEnabled(habilitar);
    };
    auto primera = [habilitar](ComboLista* lista) {
        Selecciona(lista, 0);
        lista->setEnabled(habilitar);
    };
    vacia(m_txtEdad);
    vacia(m_txtSumaAsegurada);
    vacia(m_txtPlazoSeguro);
    vacia(m_txtPlazoPago);
    vacia(m_txtInteresTecnico);
    primera(m_cmbTabla);
    primera(m_cmbTipoSeguro);
    primera(m_cmbTipoComision);
    vacia(m_txtDescripcion);
    vacia(m_txtTotalAnios);
    // A new entry starts from the market's usual terms: no charge, surrender once two premiums are paid.
    const ParametrosRescate usual;
    vacia(m_txtPenalizacionRescate);
    vacia(m_txtAnioRescate);
    if (habilitar) {
        m_txtPenalizacionRescate->setText(TextoCaja(usual.penalizacion, Formato::Conmutado));
        m_txtAnioRescate->setText(QString::number(usual.anioRescate));
    }
}

void frmEscenarios::cmdAlta_Click()
{
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdAlta_Click"), [this] {
        FijaBotones(Estado::Nuevo);
        ReiniciaCampos(true);
        m_MSFlexGrid1->setEnabled(false);
        m_comision->grid()->setEnabled(true);
        m_txtTotalAnios->setEnabled(false);
        m_txtEdad->setFocus();
    });
}

void frmEscenarios::cmdCancelar_Click()
{
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdCancelar_Click"), [this] {
        FijaBotones(Estado::Navegando);
        ReiniciaCampos(false);
        m_MSFlexGrid1->setEnabled(true);
        m_comision->grid()->setEnabled(false);
    });
}

void frmEscenarios::cmdModificar_Click()
{
    // The scenario on show, with its schedule, is stored again as a new one by "Aceptar".
    FijaBotones(Estado::Copia);
}

void frmEscenarios::cmdSalir_Click()
{
    CierraFormulario(this);
}

bool frmEscenarios::PuedeCerrar()
{
    // A scenario being entered or copied is never dropped without the question, whichever way
    // the window is closed.
    if (m_estado == Estado::Navegando)
        return true;
    switch (m_entorno.dialogos.mensaje(QStringLiteral("el escenario no se ha guardado, deseas guardarlo"),
                                       Dialogos::Botones::SiNoCancelar, Dialogos::Icono::Ninguno)) {
    case Dialogos::Respuesta::Si: {
        bool guardado = false;
        ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdAceptar_Click"), [&] { guardado = Guarda(); });
        return guardado;
    }
    case Dialogos::Respuesta::No: cmdCancelar_Click(); return true;
    default: return false;
    }
}

void frmEscenarios::CierraSinGuardar()
{
    m_estado = Estado::Navegando;
    CierraFormulario(this);
}

void frmEscenarios::closeEvent(QCloseEvent* evento)
{
    if (PuedeCerrar())
        evento->accept();
    else
        evento->ignore();
}

// ---- Saving -------------------------------------------------------------------------------

EntradaEscenario frmEscenarios::Entrada() const
{
    EntradaEscenario e;
    e.edad = m_txtEdad->text();
    e.sumaAsegurada = m_txtSumaAsegurada->text();
    e.interesTecnico = m_txtInteresTecnico->text();
    e.plazoSeguro = m_txtPlazoSeguro->text();
    e.plazoPago = m_txtPlazoPago->text();
    e.totalAnios = m_txtTotalAnios->text();
    e.descripcion = m_txtDescripcion->text();
    e.tabla = m_cmbTabla->claveActual();
    e.tipoSeguro = m_cmbTipoSeguro->claveActual();
    e.tipoComision = m_cmbTipoComision->claveActual();
    e.comision = m_comision->Celdas();
    e.penalizacionRescate = m_txtPenalizacionRescate->text();
    e.anioRescate = m_txtAnioRescate->text();
    return e;
}

QWidget* frmEscenarios::Campo(CampoEscenario campo) const
{
    switch (campo) {
    case CampoEscenario::Edad: return m_txtEdad;
    case CampoEscenario::SumaAsegurada: return m_txtSumaAsegurada;
    case CampoEscenario::Tabla: return m_cmbTabla;
    case CampoEscenario::InteresTecnico: return m_txtInteresTecnico;
    case CampoEscenario::TipoSeguro: return m_cmbTipoSeguro;
    case CampoEscenario::PlazoSeguro: return m_txtPlazoSeguro;
    case CampoEscenario::PlazoPago: return m_txtPlazoPago;
    case CampoEscenario::TipoComision: return m_cmbTipoComision;
    case CampoEscenario::TotalAnios: return m_txtTotalAnios;
    case CampoEscenario::Descripcion: return m_txtDescripcion;
    case CampoEscenario::PenalizacionRescate: return m_txtPenalizacionRescate;
    case CampoEscenario::AnioRescate: return m_txtAnioRescate;
    case CampoEscenario::Comision: return m_comision->grid();
    }
    return m_txtEdad;
}

void frmEscenarios::Rechaza(const Rechazo& rechazo)
{
    MuestraRechazo(m_entorno.dialogos, rechazo);
    if (rechazo.campo == CampoEscenario::Comision) {
        m_comision->MuestraCelda(rechazo.fila, rechazo.columna);
        m_MSFlexGrid1->setRow(m_MSFlexGrid1->rows() - 1);
    } else {
        Campo(rechazo.campo)->setFocus();
    }
}

void frmEscenarios::cmdAceptar_Click()
{
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdAceptar_Click"), [this] { Guarda(); });
}

bool frmEscenarios::Guarda()
{
    const EntradaEscenario entrada = Entrada();
    const auto comprobado = CompruebaEscenario(entrada, LeeEdadesTabla(m_entorno.db, entrada.tabla));
    if (const Rechazo* r = std::get_if<Rechazo>(&comprobado)) {
        Rechaza(*r);
        return false;
    }
    const std::int32_t numero = GuardaEscenario(m_entorno.db, std::get<EscenarioValido>(comprobado)).numero;
    // Its row as the list's own statement reads it, in the list's formats: as a reload would show it.
    CargaFlexgrid(m_entorno, ConsultaEscenarios(true), *m_MSFlexGrid1, {numero}, FormatosLista);

    for (QWidget* w : Campos())
        w->setEnabled(false);
    FijaBotones(Estado::Navegando);
    m_MSFlexGrid1->setEnabled(true);
    m_comision->grid()->setEnabled(false);
    // The fields now show the scenario as stored, on its row.
    m_MSFlexGrid1->setRow(m_MSFlexGrid1->rows() - 1);
    return true;
}

// ---- Running a scenario -------------------------------------------------------------------

void frmEscenarios::cmdResultado_Click()
{
    const int fila = m_MSFlexGrid1->row();
    if (fila == 0)
        return;
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdResultado_Click"), [this, fila] {
        RelojArena reloj(m_entorno.dialogos);
        m_MSFlexGrid1->setCol(0);
        // The run takes the scenario's own stored table and rate, not what the lists show.
        const std::int32_t numero = AEntero32(ANumero(m_MSFlexGrid1->textMatrix(fila, 0)));
        CalculaEscenario(m_entorno, numero);
        if (m_muestraResultados)
            m_muestraResultados(numero);
    });
}

} // namespace valvida
