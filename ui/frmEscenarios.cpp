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
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace valvida {

bool HayTablasMortalidad = true;

namespace {

const char* const EncabezadosLista[] = {
    "Escenario",        "Edad",         "Suma Asegurada", "Tipo Seguro", "Tipo Comision", "Interes Técnico",
    "Tabla Mortalidad", "Plazo Seguro", "Plazo Pago",     "Descripción"};

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

    // The list asks for the width of all its columns, so the form opens showing every scenario's
    // description where the workspace has the room.
    MSFlexGrid1 = new GridAjustado(this, "MSFlexGrid1", 6);
    MSFlexGrid1->setCols(10);
    MSFlexGrid1->setRows(1);
    MSFlexGrid1->setFixedRows(1);
    MSFlexGrid1->setFixedCols(0);

    auto marco = [this](const char* nombre) {
        auto* m = new QGroupBox(this);
        m->setObjectName(QString::fromLatin1(nombre));
        return m;
    };
    Frame1 = marco("Frame1");
    Frame3 = marco("Frame3");
    Frame2 = marco("Frame2");

    auto lista = [this](const char* nombre) {
        auto* l = new ComboLista(Frame1);
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
    txtEdad = NuevaCajaNumerica(Frame1, "txtEdad");
    txtSumaAsegurada = NuevaCajaNumerica(Frame1, "txtSumaAsegurada");
    cmbTabla = lista("cmbTabla");
    txtInteresTecnico = NuevaCajaNumerica(Frame1, "txtInteresTecnico");
    cmbTipoSeguro = lista("cmbTipoSeguro");
    txtPlazoSeguro = corta(NuevaCajaNumerica(Frame1, "txtPlazoSeguro"));
    txtPlazoPago = corta(NuevaCajaNumerica(Frame1, "txtPlazoPago"));
    cmbTipoComision = lista("cmbTipoComision");
    txtTotalAnios = corta(NuevaCaja(Frame1, "txtTotalAños"));
    txtDescripcion = NuevaCaja(Frame1, "txtDescripcion");

    // Labels in column 0 and the first column of boxes in 1; the middle column's labels are
    // right-aligned against their boxes; column 6 takes the width the window gives.
    auto* campos = new QGridLayout(Frame1);
    auto etiqueta = [this](const char* nombre, const QString& texto, QWidget* control, bool derecha) {
        QLabel* l = NuevaEtiqueta(Frame1, nombre, texto);
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
    coloca(0, 0, "lblEdad", QStringLiteral("Edad:"), txtEdad);
    coloca(1, 0, "lblSumaAsegurada", QStringLiteral("Suma Asegurada:"), txtSumaAsegurada);
    coloca(2, 0, "lblTablaMortalidad", QStringLiteral("Tabla Mortalidad:"), cmbTabla, 3);
    coloca(3, 0, "lblInteresTecnico", QStringLiteral("%Interes Técnico:"), txtInteresTecnico);
    coloca(4, 0, "lblTipoSeguro", QStringLiteral("Tipo Seguro:"), cmbTipoSeguro);
    coloca(4, 2, "lblPlazoSeguro", QStringLiteral("Plazo Seguro:"), txtPlazoSeguro);
    Label6 = coloca(4, 4, "Label6", QStringLiteral("Plazo Pago:"), txtPlazoPago);
    coloca(5, 0, "lblTipoComision", QStringLiteral("Tipo Comisión:"), cmbTipoComision);
    coloca(5, 2, "lblTotalAnios", QStringLiteral("Total de Años:"), txtTotalAnios);
    // A one-year cover relabels the payment term; the row keeps the longer text's width.
    Label6->setMinimumWidth(Label6->fontMetrics().horizontalAdvance(QStringLiteral("Meses a Cubrir:")));
    auto* descripcion = new QHBoxLayout;
    descripcion->addWidget(
        etiqueta("lblDescripcion", QStringLiteral("Descripcion del Escenario:"), txtDescripcion, false));
    descripcion->addWidget(txtDescripcion, 1);
    campos->addLayout(descripcion, 6, 0, 1, 7);
    campos->setColumnStretch(6, 1);

    auto* calendario = new QVBoxLayout(Frame3);
    QLabel* lblComision = NuevaEtiqueta(Frame3, "lblComision", QStringLiteral("Comision"));
    lblComision->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_comision = new Comision(m_entorno, Frame3, {cmbTipoComision, txtTotalAnios, txtPlazoPago}, this);
    FlexGrid* MSFlexGrid2 = m_comision->grid();
    lblComision->setBuddy(MSFlexGrid2);
    // A table takes no name from its label: it is given its own.
    MSFlexGrid2->setAccessibleName(lblComision->text());
    calendario->addWidget(lblComision);
    calendario->addWidget(MSFlexGrid2, 1);

    auto* botones = new QHBoxLayout(Frame2);
    auto boton = [&](const char* nombre, const QString& texto) {
        QPushButton* b = NuevoBoton(Frame2, nombre, texto);
        botones->addWidget(b);
        return b;
    };
    cmdResultado = boton("cmdResultado", QStringLiteral("&Resultado"));
    cmdAlta = boton("cmdAlta", QStringLiteral("&Alta"));
    cmdModificar = boton("cmdModificar", QStringLiteral("&Modificar"));
    cmdAceptar = boton("cmdAceptar", QStringLiteral("A&ceptar"));
    cmdCancelar = boton("cmdCancelar", QStringLiteral("Ca&ncelar"));
    cmdSalir = boton("cmdSalir", QStringLiteral("&Salir"));
    botones->addStretch(1);
    FijaBotonesFormulario(this, cmdResultado, cmdSalir);

    // The list on top takes the height the window gives; the fields and buttons below on the
    // left keep theirs, the schedule on the right.
    auto* izquierda = new QVBoxLayout;
    izquierda->addWidget(Frame1);
    izquierda->addWidget(Frame2);
    izquierda->addStretch(1);
    auto* abajo = new QHBoxLayout;
    abajo->addLayout(izquierda, 1);
    abajo->addWidget(Frame3);
    auto* forma = new QVBoxLayout(this);
    forma->addWidget(MSFlexGrid1, 1);
    forma->addLayout(abajo);

    const QList<QWidget*> orden = {MSFlexGrid1,    txtEdad,        txtSumaAsegurada, cmbTabla,        txtInteresTecnico,
                                   cmbTipoSeguro,  txtPlazoSeguro, txtPlazoPago,     cmbTipoComision, txtTotalAnios,
                                   txtDescripcion, MSFlexGrid2,    cmdResultado,     cmdAlta,         cmdModificar,
                                   cmdAceptar,     cmdCancelar,    cmdSalir};
    for (int i = 1; i < orden.size(); ++i)
        setTabOrder(orden.at(i - 1), orden.at(i));

    // Browsing: the fields and the schedule wait for "Alta"; the list is at hand.
    for (QWidget* w : Campos())
        w->setEnabled(false);
    MSFlexGrid2->setEnabled(false);

    connect(MSFlexGrid1, &FlexGrid::Click, this, &frmEscenarios::MSFlexGrid1_Click);
    connect(txtEdad, &QLineEdit::textChanged, this, &frmEscenarios::txtEdad_Change);
    connect(txtPlazoSeguro, &QLineEdit::textChanged, this, &frmEscenarios::txtPlazoSeguro_Change);
    connect(cmbTabla, &QComboBox::currentIndexChanged, this,
            [this] { ReaccionLista(QStringLiteral("Rutina: cmbTabla_Click")); });
    connect(cmbTipoSeguro, &QComboBox::currentIndexChanged, this,
            [this] { ReaccionLista(QStringLiteral("Rutina: cmbTipoSeguro_Click")); });
    connect(cmdAlta, &QPushButton::clicked, this, &frmEscenarios::cmdAlta_Click);
    connect(cmdModificar, &QPushButton::clicked, this, &frmEscenarios::cmdModificar_Click);
    connect(cmdAceptar, &QPushButton::clicked, this, &frmEscenarios::cmdAceptar_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &frmEscenarios::cmdCancelar_Click);
    connect(cmdResultado, &QPushButton::clicked, this, &frmEscenarios::cmdResultado_Click);
    connect(cmdSalir, &QPushButton::clicked, this, &frmEscenarios::cmdSalir_Click);
}

void frmEscenarios::Form_Load()
{
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: Form_Load"), [this] {
        m_inicializado = false;
        m_cargandoEscenario = false;
        HayTablasMortalidad = true;

        MSFlexGrid1->setRows(1);
        MSFlexGrid1->setRow(0);
        for (int c = 0; c < 10; ++c)
            MSFlexGrid1->setTextMatrix(0, c, QString::fromUtf8(EncabezadosLista[c]));
        MSFlexGrid1->ajustaColumnas();

        cmdAceptar->setEnabled(false);
        cmdCancelar->setEnabled(false);
        cmdResultado->setEnabled(true);
        cmdSalir->setEnabled(true);
        cmdAlta->setEnabled(true);

        LlenaCombo(m_entorno, consulta::TablasMortalidad, *cmbTabla);
        if (cmbTabla->count() == 0) {
            m_entorno.dialogos.mensaje(QStringLiteral("No existen registros en Tabla mortalidad"),
                                       Dialogos::Botones::Aceptar, Dialogos::Icono::Exclamacion);
            cmdAceptar->setEnabled(false);
            cmdCancelar->setEnabled(false);
            cmdAlta->setEnabled(false);
            cmdSalir->setEnabled(true);
            cmdResultado->setEnabled(false);
            HayTablasMortalidad = false;
            return;
        }
        Selecciona(cmbTabla, 0);
        LlenaCombo(m_entorno, consulta::TiposSeguro, *cmbTipoSeguro);
        Selecciona(cmbTipoSeguro, 0);
        LlenaCombo(m_entorno, consulta::TiposComision, *cmbTipoComision);
        Selecciona(cmbTipoComision, 0);
        CargaFlexgrid(m_entorno, ConsultaEscenarios(), *MSFlexGrid1);
        m_comision->EncabezadoInicial();
        if (MSFlexGrid1->rows() == 1)
            cmdResultado->setEnabled(false);
        m_inicializado = true;
    });
}

QList<QWidget*> frmEscenarios::Campos() const
{
    return {txtEdad,  txtSumaAsegurada, txtPlazoSeguro,  txtPlazoPago,   txtInteresTecnico,
            cmbTabla, cmbTipoSeguro,    cmbTipoComision, txtDescripcion, txtTotalAnios};
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

void frmEscenarios::MuestraEscenario()
{
    const int fila = MSFlexGrid1->row();
    const int columna = MSFlexGrid1->col();
    if (fila == 0)
        return;
    const std::int32_t numero = AEntero32(ANumero(MSFlexGrid1->textMatrix(fila, 0)));
    // The lists are chosen by the stored keys: a description may stand twice in a catalogue.
    const std::optional<ClavesEscenario> claves = LeeClavesEscenario(m_entorno.db, numero);
    if (!claves)
        return;
    auto porClave = [](ComboLista* lista, std::int32_t clave) { Selecciona(lista, lista->findData(clave)); };
    {
        Cargando cargando(m_cargandoEscenario);
        txtEdad->setText(MSFlexGrid1->textMatrix(fila, 1));
        txtSumaAsegurada->setText(MSFlexGrid1->textMatrix(fila, 2));
        porClave(cmbTipoSeguro, claves->tipoSeguro);
        porClave(cmbTipoComision, claves->tipoComision);
        txtInteresTecnico->setText(MSFlexGrid1->textMatrix(fila, 5));
        porClave(cmbTabla, claves->tabla);
        // Written after the reactions of the lists, so the stored term is what stays.
        txtPlazoSeguro->setText(MSFlexGrid1->textMatrix(fila, 7));
        txtPlazoPago->setText(MSFlexGrid1->textMatrix(fila, 8));
        txtDescripcion->setText(MSFlexGrid1->textMatrix(fila, 9));
        m_comision->CargaFilas(numero);
    }
    MSFlexGrid1->setRow(fila);
    MSFlexGrid1->setCol(columna);
}

// ---- Reactions of the fields --------------------------------------------------------------

void frmEscenarios::txtEdad_Change()
{
    if (!m_inicializado || m_cargandoEscenario || !NumeroTecleado(txtEdad->text()))
        return;
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: txtEdad_Change"), [this] { ReaccionPlazoSeguro(); });
}

void frmEscenarios::txtPlazoSeguro_Change()
{
    // A one-year cover counts its payment in months.
    Label6->setText(txtPlazoSeguro->text() == QLatin1String("1") ? QStringLiteral("Meses a Cubrir:")
                                                                 : QStringLiteral("Plazo Pago:"));
}

void frmEscenarios::ReaccionLista(const QString& rutina)
{
    if (m_inicializado)
        ConCajaError(m_entorno.dialogos, rutina, [this] { ReaccionPlazoSeguro(); });
}

void frmEscenarios::ReaccionPlazoSeguro()
{
    const QString edad = txtEdad->text();
    if (edad == QLatin1String("0") || edad.isEmpty()) {
        txtPlazoSeguro->setText(QString());
        return;
    }
    if (cmbTipoSeguro->claveActual() != TipoSeguroVidaEntera) {
        txtPlazoSeguro->setEnabled(true);
        txtPlazoSeguro->setText(QString());
        return;
    }
    // Whole life runs to the table's last age.
    txtPlazoSeguro->setEnabled(false);
    txtPlazoSeguro->setText(QString());
    const std::optional<std::int16_t> x = EnteroTecleado(edad);
    if (!x) {
        if (NumeroTecleado(edad))
            Rechaza({QStringLiteral("La edad esta fuera del rango permitido"), Dialogos::Icono::Exclamacion,
                     CampoEscenario::Edad});
        return;
    }
    if (const std::optional<EdadesTabla> edades = LeeEdadesTabla(m_entorno.db, cmbTabla->claveActual()))
        txtPlazoSeguro->setText(TextoNumero(PlazoVidaEntera(edades->ultima, *x)));
}

// ---- States -------------------------------------------------------------------------------

void frmEscenarios::FijaBotones(Estado estado)
{
    m_estado = estado;
    const bool navegando = estado == Estado::Navegando;
    cmdAlta->setEnabled(navegando);
    cmdModificar->setEnabled(navegando);
    cmdSalir->setEnabled(navegando);
    cmdResultado->setEnabled(navegando);
    cmdAceptar->setEnabled(!navegando);
    cmdCancelar->setEnabled(!navegando);
}

void frmEscenarios::ReiniciaCampos(bool habilitar)
{
    // A new entry starts from an empty schedule, not from the cells of the scenario on show.
    m_comision->Vacia();
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
    vacia(txtEdad);
    vacia(txtSumaAsegurada);
    vacia(txtPlazoSeguro);
    vacia(txtPlazoPago);
    vacia(txtInteresTecnico);
    primera(cmbTabla);
    primera(cmbTipoSeguro);
    primera(cmbTipoComision);
    vacia(txtDescripcion);
    vacia(txtTotalAnios);
}

void frmEscenarios::cmdAlta_Click()
{
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdAlta_Click"), [this] {
        FijaBotones(Estado::Nuevo);
        ReiniciaCampos(true);
        MSFlexGrid1->setEnabled(false);
        m_comision->grid()->setEnabled(true);
        txtTotalAnios->setEnabled(false);
        txtEdad->setFocus();
    });
}

void frmEscenarios::cmdCancelar_Click()
{
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdCancelar_Click"), [this] {
        FijaBotones(Estado::Navegando);
        ReiniciaCampos(false);
        MSFlexGrid1->setEnabled(true);
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

// ---- Saving -------------------------------------------------------------------------------

EntradaEscenario frmEscenarios::Entrada() const
{
    EntradaEscenario e;
    e.edad = txtEdad->text();
    e.sumaAsegurada = txtSumaAsegurada->text();
    e.interesTecnico = txtInteresTecnico->text();
    e.plazoSeguro = txtPlazoSeguro->text();
    e.plazoPago = txtPlazoPago->text();
    e.totalAnios = txtTotalAnios->text();
    e.descripcion = txtDescripcion->text();
    e.tabla = cmbTabla->claveActual();
    e.tipoSeguro = cmbTipoSeguro->claveActual();
    e.tipoComision = cmbTipoComision->claveActual();
    e.comision = m_comision->Celdas();
    return e;
}

QWidget* frmEscenarios::Campo(CampoEscenario campo) const
{
    switch (campo) {
    case CampoEscenario::Edad: return txtEdad;
    case CampoEscenario::SumaAsegurada: return txtSumaAsegurada;
    case CampoEscenario::Tabla: return cmbTabla;
    case CampoEscenario::InteresTecnico: return txtInteresTecnico;
    case CampoEscenario::TipoSeguro: return cmbTipoSeguro;
    case CampoEscenario::PlazoSeguro: return txtPlazoSeguro;
    case CampoEscenario::PlazoPago: return txtPlazoPago;
    case CampoEscenario::TipoComision: return cmbTipoComision;
    case CampoEscenario::TotalAnios: return txtTotalAnios;
    case CampoEscenario::Descripcion: return txtDescripcion;
    case CampoEscenario::Comision: return m_comision->grid();
    }
    return txtEdad;
}

void frmEscenarios::Rechaza(const Rechazo& rechazo)
{
    MuestraRechazo(m_entorno.dialogos, rechazo);
    if (rechazo.campo == CampoEscenario::Comision) {
        m_comision->MuestraCelda(rechazo.fila, rechazo.columna);
        MSFlexGrid1->setRow(MSFlexGrid1->rows() - 1);
    } else {
        Campo(rechazo.campo)->setFocus();
    }
}

void frmEscenarios::cmdAceptar_Click()
{
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdAceptar_Click"), [this] { Guarda(); });
}

void frmEscenarios::Guarda()
{
    const EntradaEscenario entrada = Entrada();
    const auto comprobado = CompruebaEscenario(entrada, LeeEdadesTabla(m_entorno.db, entrada.tabla));
    if (const Rechazo* r = std::get_if<Rechazo>(&comprobado)) {
        Rechaza(*r);
        return;
    }
    const EscenarioGuardado guardado = GuardaEscenario(m_entorno.db, std::get<EscenarioValido>(comprobado));
    if (!guardado.fila.isEmpty()) {
        MSFlexGrid1->AddItem(guardado.fila.join(QLatin1Char('\t')));
        MSFlexGrid1->ajustaColumnas();
    }

    for (QWidget* w : Campos())
        w->setEnabled(false);
    FijaBotones(Estado::Navegando);
    MSFlexGrid1->setEnabled(true);
    m_comision->grid()->setEnabled(false);
    MSFlexGrid1->setRow(MSFlexGrid1->rows() - 1);
}

// ---- Running a scenario -------------------------------------------------------------------

void frmEscenarios::cmdResultado_Click()
{
    const int fila = MSFlexGrid1->row();
    if (fila == 0)
        return;
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdResultado_Click"), [this, fila] {
        RelojArena reloj(m_entorno.dialogos);
        MSFlexGrid1->setCol(0);
        // The run takes the scenario's own stored table and rate, not what the lists show.
        const std::int32_t numero = AEntero32(ANumero(MSFlexGrid1->textMatrix(fila, 0)));
        CalculaEscenario(m_entorno, numero);
        if (m_muestraResultados)
            m_muestraResultados(numero);
    });
}

} // namespace valvida
