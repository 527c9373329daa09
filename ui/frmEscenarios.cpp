#include "ui/frmEscenarios.h"

#include "actuarial/almacen/Calculo.h"
#include "core/BaseDatos.h"
#include "core/Cargadores.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"
#include "ui/ComboLista.h"
#include "ui/Comision.h"
#include "ui/Controles.h"
#include "ui/FlexGrid.h"
#include "ui/Formulario.h"
#include "ui/MDIForm1.h"
#include "ui/frmResultados.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace valvida {

bool HayTablasMortalidad = true;

namespace {

// Label widths in twips: each ends 60 twips before the box it names.
constexpr int AnchoEtiqueta = 1440 - 120 - 60;
constexpr int AnchoMedio = 4080 - 2880 - 60;
constexpr int XLabel6 = 4080 + 735 + 45;
constexpr int AnchoLabel6 = 6240 - XLabel6 - 60;
constexpr int AnchoDescripcion = 2280 - 120 - 60;

// The form was drawn in twips for a small dialog font, at 15 twips to the pixel. With the font in
// use the longest label of each column must still show whole, so the whole drawing is scaled up
// by one factor when that font is wider.
double PixelesPorTwip(const QFontMetrics& letra)
{
    const struct
    {
        const char* texto;
        int twips;
    } columnas[] = {
        {"Suma Asegurada:", AnchoEtiqueta},  {"%Interes Técnico:", AnchoEtiqueta},
        {"Tabla Mortalidad:", AnchoEtiqueta}, {"Tipo Comisión:", AnchoEtiqueta},
        {"Plazo Seguro:", AnchoMedio},        {"Total de Años:", AnchoMedio},
        {"Meses a Cubrir:", AnchoLabel6},     {"Descripcion del Escenario:", AnchoDescripcion},
    };
    constexpr int Holgura = 2;
    double escala = 1.0 / 15.0;
    for (const auto& c : columnas)
        escala = std::max(escala, (letra.horizontalAdvance(QString::fromUtf8(c.texto)) + Holgura) / double(c.twips));
    return escala;
}

// The window's client area, widened to hold the commission frame (7560 + 3735) with the margin
// of 120 twips the other areas keep.
constexpr int AnchoForm = 7560 + 3735 + 120;
constexpr int AltoForm = 6315;

const char* const EncabezadosLista[] = {"Escenario",       "Edad",             "Suma Asegurada", "Tipo Seguro",
                                        "Tipo Comision",   "Interes Técnico",  "Tabla Mortalidad",
                                        "Plazo Seguro",    "Plazo Pago",       "Descripción"};

const QString ConsultaLista = QStringLiteral("select Escenario, Edad, Suma_Asegurada, TS.Descripcion, ") +
                              QStringLiteral("TC.Descripcion, Interes_Tecnico, TM.Descripcion, ") +
                              QStringLiteral("Plazo_Seguro, Plazo_Pago, TE.Descripcion ") +
                              QStringLiteral("from T_Escenario TE, C_TipoSeguro TS, C_TipoComision TC, ") +
                              QStringLiteral("C_TablaMortalidad TM where ") +
                              QStringLiteral(" TE.Tipo_Seguro = TS.Tipo_Seguro and ") +
                              QStringLiteral(" TE.Tipo_Comision = TC.Tipo_Comision and ") +
                              QStringLiteral(" TE.Tabla_Mortalidad = TM.Tabla_Mortalidad order by TE.Escenario");

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

frmEscenarios::frmEscenarios(MDIForm1& principal, QWidget* parent)
    : QWidget(parent)
    , m_principal(principal)
    , m_entorno(principal.entorno())
{
    construye();
    Form_Load();
}

frmEscenarios::~frmEscenarios() = default;

QSize frmEscenarios::sizeHint() const
{
    return {Px(AnchoForm), Px(AltoForm)};
}

int frmEscenarios::Px(int twips) const
{
    return qRound(twips * m_pixelesPorTwip);
}

void frmEscenarios::construye()
{
    setObjectName(QStringLiteral("frmEscenarios"));
    setWindowTitle(QStringLiteral("Escenarios"));
    m_pixelesPorTwip = PixelesPorTwip(fontMetrics());
    resize(sizeHint());

    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setGeometry(Px(120), Px(120), Px(11055), Px(2295));
    MSFlexGrid1->setCols(10);
    MSFlexGrid1->setRows(1);
    MSFlexGrid1->setFixedRows(1);
    MSFlexGrid1->setFixedCols(0);

    auto marco = [this](const char* nombre, int x, int y, int ancho, int alto) {
        auto* m = new QGroupBox(this);
        m->setObjectName(QString::fromLatin1(nombre));
        m->setGeometry(Px(x), Px(y), Px(ancho), Px(alto));
        return m;
    };
    Frame1 = marco("Frame1", 120, 2520, 7335, 3015);
    Frame3 = marco("Frame3", 7560, 2520, 3735, 3735);
    Frame2 = marco("Frame2", 120, 5520, 7335, 735);

    // Boxes and lists take the height of the font; their labels share their middle line.
    auto coloca = [this](QWidget* w, int x, int y, int ancho) {
        w->setGeometry(Px(x), Px(y), Px(ancho), w->sizeHint().height());
    };
    auto caja = [&](const char* nombre, int x, int y, int ancho) {
        QLineEdit* c = NuevaCaja(Frame1, nombre);
        coloca(c, x, y, ancho);
        return c;
    };
    auto lista = [&](const char* nombre, int x, int y, int ancho) {
        auto* l = new ComboLista(Frame1);
        l->setObjectName(QString::fromLatin1(nombre));
        coloca(l, x, y, ancho);
        return l;
    };
    QLineEdit muestra;
    muestra.setFont(font());
    const int altoCaja = muestra.sizeHint().height();
    auto etiqueta = [this, altoCaja](QWidget* padre, const char* nombre, const QString& texto, int x, int y, int ancho,
                           Qt::Alignment alineacion = Qt::AlignLeft) {
        QLabel* l = NuevaEtiqueta(padre, nombre, texto);
        l->setGeometry(Px(x), Px(y), Px(ancho), altoCaja);
        l->setAlignment(alineacion | Qt::AlignVCenter);
        return l;
    };

    // Labels at 120, the first column of boxes at 1440; the middle column's labels are
    // right-aligned against their boxes. `Label6` starts just past the insurance-term box.
    etiqueta(Frame1, "lblEdad", QStringLiteral("Edad:"), 120, 240, AnchoEtiqueta);
    txtEdad = caja("txtEdad", 1440, 240, 1215);
    etiqueta(Frame1, "lblSumaAsegurada", QStringLiteral("Suma Asegurada:"), 120, 600, AnchoEtiqueta);
    txtSumaAsegurada = caja("txtSumaAsegurada", 1440, 600, 1215);
    etiqueta(Frame1, "lblTablaMortalidad", QStringLiteral("Tabla Mortalidad:"), 120, 960, AnchoEtiqueta);
    cmbTabla = lista("cmbTabla", 1440, 960, 3735);
    etiqueta(Frame1, "lblInteresTecnico", QStringLiteral("%Interes Técnico:"), 120, 1320, AnchoEtiqueta);
    txtInteresTecnico = caja("txtInteresTecnico", 1440, 1320, 1215);
    etiqueta(Frame1, "lblTipoSeguro", QStringLiteral("Tipo Seguro:"), 120, 1680, AnchoEtiqueta);
    cmbTipoSeguro = lista("cmbTipoSeguro", 1440, 1680, 1380);
    etiqueta(Frame1, "lblPlazoSeguro", QStringLiteral("Plazo Seguro:"), 2880, 1680, AnchoMedio, Qt::AlignRight);
    txtPlazoSeguro = caja("txtPlazoSeguro", 4080, 1680, 735);
    Label6 = etiqueta(Frame1, "Label6", QStringLiteral("Plazo Pago:"), XLabel6, 1680, AnchoLabel6, Qt::AlignRight);
    txtPlazoPago = caja("txtPlazoPago", 6240, 1680, 735);
    etiqueta(Frame1, "lblTipoComision", QStringLiteral("Tipo Comisión:"), 120, 2040, AnchoEtiqueta);
    cmbTipoComision = lista("cmbTipoComision", 1440, 2040, 1380);
    etiqueta(Frame1, "lblTotalAnios", QStringLiteral("Total de Años:"), 2880, 2040, AnchoMedio, Qt::AlignRight);
    txtTotalAnios = caja("txtTotalAños", 4080, 2040, 735);
    etiqueta(Frame1, "lblDescripcion", QStringLiteral("Descripcion del Escenario:"), 120, 2520, AnchoDescripcion);
    txtDescripcion = caja("txtDescripcion", 2280, 2520, 4935);

    etiqueta(Frame3, "lblComision", QStringLiteral("Comision"), 240, 240, 3255, Qt::AlignHCenter);
    m_comision = new Comision(m_entorno, Frame3, {cmbTipoComision, txtTotalAnios, txtPlazoPago, txtSumaAsegurada}, this);
    FlexGrid* MSFlexGrid2 = m_comision->grid();
    MSFlexGrid2->setGeometry(Px(120), Px(600), Px(3495), Px(3015));

    auto boton = [this](const char* nombre, const QString& texto, int x) {
        QPushButton* b = NuevoBoton(Frame2, nombre, texto);
        b->setGeometry(Px(x), Px(240), Px(975), Px(375));
        return b;
    };
    cmdResultado = boton("cmdResultado", QStringLiteral("&Resultado"), 210);
    cmdAlta = boton("cmdAlta", QStringLiteral("&Alta"), 1650);
    cmdModificar = boton("cmdModificar", QStringLiteral("&Modificar"), 2730);
    cmdAceptar = boton("cmdAceptar", QStringLiteral("A&ceptar"), 3810);
    cmdCancelar = boton("cmdCancelar", QStringLiteral("Ca&ncelar"), 4890);
    cmdSalir = boton("cmdSalir", QStringLiteral("&Salir"), 5970);
    FijaBotonesFormulario(this, cmdResultado, cmdSalir);

    const QList<QWidget*> orden = {MSFlexGrid1,     txtEdad,     txtSumaAsegurada, cmbTabla,       txtInteresTecnico,
                                   cmbTipoSeguro,   txtPlazoSeguro, txtPlazoPago,  cmbTipoComision, txtTotalAnios,
                                   txtDescripcion,  MSFlexGrid2, cmdResultado,     cmdAlta,        cmdModificar,
                                   cmdAceptar,      cmdCancelar, cmdSalir};
    for (int i = 1; i < orden.size(); ++i)
        setTabOrder(orden.at(i - 1), orden.at(i));

    // Browsing: the fields and the schedule wait for "Alta"; the list is at hand.
    for (QWidget* w : Campos())
        w->setEnabled(false);
    MSFlexGrid2->setEnabled(false);

    connect(MSFlexGrid1, &FlexGrid::Click, this, &frmEscenarios::MSFlexGrid1_Click);
    connect(txtEdad, &QLineEdit::textChanged, this, &frmEscenarios::txtEdad_Change);
    connect(txtPlazoSeguro, &QLineEdit::textChanged, this, &frmEscenarios::txtPlazoSeguro_Change);
    for (QLineEdit* c : {txtSumaAsegurada, txtPlazoPago, txtInteresTecnico})
        connect(c, &QLineEdit::textChanged, this, [this, c] { DejaSoloNumero(c); });
    connect(cmbTabla, &QComboBox::currentIndexChanged, this, &frmEscenarios::cmbTabla_Click);
    connect(cmbTipoSeguro, &QComboBox::currentIndexChanged, this, &frmEscenarios::cmbTipoSeguro_Click);
    connect(cmdAlta, &QPushButton::clicked, this, &frmEscenarios::cmdAlta_Click);
    connect(cmdModificar, &QPushButton::clicked, this, &frmEscenarios::cmdModificar_Click);
    connect(cmdAceptar, &QPushButton::clicked, this, &frmEscenarios::cmdAceptar_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &frmEscenarios::cmdCancelar_Click);
    connect(cmdResultado, &QPushButton::clicked, this, &frmEscenarios::cmdResultado_Click);
    connect(cmdSalir, &QPushButton::clicked, this, &frmEscenarios::cmdSalir_Click);
}

void frmEscenarios::Form_Load()
{
    try {
        m_inicializado = false;
        m_cargandoEscenario = false;
        HayTablasMortalidad = true;

        MSFlexGrid1->setRows(1);
        MSFlexGrid1->setRow(0);
        for (int c = 0; c < 10; ++c)
            MSFlexGrid1->setTextMatrix(0, c, QString::fromUtf8(EncabezadosLista[c]));

        cmdAceptar->setEnabled(false);
        cmdCancelar->setEnabled(false);
        cmdResultado->setEnabled(true);
        cmdSalir->setEnabled(true);
        cmdAlta->setEnabled(true);

        LlenaCombo(m_entorno, QStringLiteral("SELECT * FROM C_TablaMortalidad"), *cmbTabla);
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
        LlenaCombo(m_entorno, QStringLiteral("SELECT * FROM C_TipoSeguro"), *cmbTipoSeguro);
        Selecciona(cmbTipoSeguro, 0);
        LlenaCombo(m_entorno, QStringLiteral("SELECT * FROM C_TipoComision"), *cmbTipoComision);
        Selecciona(cmbTipoComision, 0);
        CargaLista();
        m_comision->EncabezadoInicial();
        if (MSFlexGrid1->rows() == 1)
            cmdResultado->setEnabled(false);
        m_inicializado = true;
    } catch (const ErrorVV& e) {
        MostrarError(m_entorno.dialogos, QStringLiteral("Rutina: Form_Load"), e);
    }
}

void frmEscenarios::CargaLista()
{
    CargaFlexgrid(m_entorno, ConsultaLista, *MSFlexGrid1);
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
    try {
        MuestraEscenario();
    } catch (const ErrorVV& e) {
        MostrarError(m_entorno.dialogos, QStringLiteral("Rutina: MSFlexGrid1_Click"), e);
    }
}

void frmEscenarios::MuestraEscenario()
{
    const int fila = MSFlexGrid1->row();
    const int columna = MSFlexGrid1->col();
    if (fila == 0)
        return;
    const std::int32_t numero = AEntero32(ANumero(MSFlexGrid1->textMatrix(fila, 0)));

    // The lists are chosen by the stored keys: a description may stand twice in a catalogue.
    std::int32_t tipoSeguro = 0;
    std::int32_t tipoComision = 0;
    std::int32_t tabla = 0;
    {
        QSqlQuery q = Consulta(m_entorno.db,
                               QStringLiteral("select Tipo_Seguro, Tipo_Comision, Tabla_Mortalidad from T_Escenario "
                                              "where Escenario = ?"),
                               {numero});
        if (!Siguiente(q))
            return;
        tipoSeguro = AEntero32(ValorANumero(q.value(0)));
        tipoComision = AEntero32(ValorANumero(q.value(1)));
        tabla = AEntero32(ValorANumero(q.value(2)));
    }
    auto porClave = [](ComboLista* lista, std::int32_t clave) { Selecciona(lista, lista->findData(clave)); };

    {
        Cargando cargando(m_cargandoEscenario);
        txtEdad->setText(MSFlexGrid1->textMatrix(fila, 1));
        txtSumaAsegurada->setText(MSFlexGrid1->textMatrix(fila, 2));
        porClave(cmbTipoSeguro, tipoSeguro);
        porClave(cmbTipoComision, tipoComision);
        txtInteresTecnico->setText(MSFlexGrid1->textMatrix(fila, 5));
        porClave(cmbTabla, tabla);
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

bool frmEscenarios::DejaSoloNumero(QLineEdit* caja)
{
    if (EsNumerico(caja->text()))
        return true;
    // Emptying raises the change once more; the empty box changes nothing further.
    caja->setText(QString());
    return false;
}

void frmEscenarios::txtEdad_Change()
{
    if (!m_inicializado || m_cargandoEscenario)
        return;
    try {
        if (DejaSoloNumero(txtEdad))
            ReaccionPlazoSeguro();
    } catch (const ErrorVV& e) {
        MostrarError(m_entorno.dialogos, QStringLiteral("Rutina: txtEdad_Change"), e);
    }
}

void frmEscenarios::txtPlazoSeguro_Change()
{
    DejaSoloNumero(txtPlazoSeguro);
    // A one-year cover counts its payment in months.
    Label6->setText(txtPlazoSeguro->text() == QLatin1String("1") ? QStringLiteral("Meses a Cubrir:")
                                                                  : QStringLiteral("Plazo Pago:"));
}

void frmEscenarios::cmbTabla_Click()
{
    ReaccionLista(QStringLiteral("Rutina: cmbTabla_Click"));
}

void frmEscenarios::cmbTipoSeguro_Click()
{
    ReaccionLista(QStringLiteral("Rutina: cmbTipoSeguro_Click"));
}

void frmEscenarios::ReaccionLista(const QString& rutina)
{
    if (!m_inicializado)
        return;
    try {
        ReaccionPlazoSeguro();
    } catch (const ErrorVV& e) {
        MostrarError(m_entorno.dialogos, rutina, e);
    }
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
    const std::optional<std::int16_t> x = EdadComoEntero();
    if (!x) {
        txtPlazoSeguro->setText(QString());
        return;
    }
    QSqlQuery q = Consulta(m_entorno.db,
                           QStringLiteral("select C_TablaMortalidad.Edad_Final from C_TablaMortalidad where "
                                          "Tabla_Mortalidad = ?"),
                           {cmbTabla->claveActual()});
    while (Siguiente(q))
        txtPlazoSeguro->setText(TextoNumero(ValorANumero(q.value(0)) - *x));
}

std::optional<std::int16_t> frmEscenarios::EdadComoEntero()
{
    const std::optional<std::int16_t> x = Entero16Campo(txtEdad->text());
    if (!x)
        Rechaza(QStringLiteral("La edad esta fuera del rango permitido"), txtEdad);
    return x;
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
    try {
        FijaBotones(Estado::Nuevo);
        ReiniciaCampos(true);
        MSFlexGrid1->setEnabled(false);
        m_comision->grid()->setEnabled(true);
        txtTotalAnios->setEnabled(false);
        txtEdad->setFocus();
    } catch (const ErrorVV& e) {
        MostrarError(m_entorno.dialogos, QStringLiteral("Rutina: cmdAlta_Click"), e);
    }
}

void frmEscenarios::cmdCancelar_Click()
{
    try {
        FijaBotones(Estado::Navegando);
        ReiniciaCampos(false);
        MSFlexGrid1->setEnabled(true);
        m_comision->grid()->setEnabled(false);
    } catch (const ErrorVV& e) {
        MostrarError(m_entorno.dialogos, QStringLiteral("Rutina: cmdCancelar_Click"), e);
    }
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

bool frmEscenarios::Rechaza(const QString& mensaje, QWidget* foco)
{
    m_entorno.dialogos.mensaje(mensaje, Dialogos::Botones::Aceptar, Dialogos::Icono::Exclamacion);
    foco->setFocus();
    return false;
}

bool frmEscenarios::PasaComprobaciones()
{
    const struct
    {
        QLineEdit* caja;
        const char* mensaje;
    } obligatorias[] = {
        {txtInteresTecnico, "El interes técnico no puede ser nulo"},
        {txtPlazoPago, "El plazo de pago no puede ser nulo"},
        {txtPlazoSeguro, "El plazo de seguro no puede ser nulo"},
        {txtSumaAsegurada, "La suma asegurada no puede ser nulo"},
        {txtEdad, "La edad no puede ser nulo"},
        {txtDescripcion, "La descripción no puede ser nula"},
    };
    for (const auto& o : obligatorias) {
        if (o.caja->text().isEmpty())
            return Rechaza(QString::fromUtf8(o.mensaje), o.caja);
    }

    const double plazoSeguro = ANumero(txtPlazoSeguro->text());
    const double plazoPago = ANumero(txtPlazoPago->text());
    const double interes = ANumero(txtInteresTecnico->text());
    // A one-year cover holds months in the payment term, so only it may exceed the term.
    if (plazoSeguro != 1.0 && plazoPago > plazoSeguro)
        return Rechaza(QStringLiteral("El plazo de pago deber ser menor o igual al plazo de seguro"), txtPlazoPago);
    if (plazoSeguro == 1.0 && (plazoPago < 1.0 || plazoPago > 12.0))
        return Rechaza(QStringLiteral("Los meses de vigor son entre 1 y 12"), txtPlazoPago);
    if (interes < 0.0 || interes > 100.0)
        return Rechaza(QStringLiteral("El interes técnico debera estar comprendido entre 0 y 100"), txtInteresTecnico);

    const std::optional<std::int16_t> x = EdadComoEntero();
    if (!x)
        return false;
    QSqlQuery q = Consulta(m_entorno.db,
                           QStringLiteral("select C_TablaMortalidad.Edad_Inicial from C_TablaMortalidad where "
                                          "Tabla_Mortalidad = ?"),
                           {cmbTabla->claveActual()});
    while (Siguiente(q)) {
        if (*x < AEntero16(ValorANumero(q.value(0))))
            return Rechaza(QStringLiteral("La edad debe ser mayor a Edad Inicial de la tabla de mortalidad"), txtEdad);
    }
    return true;
}

void frmEscenarios::cmdAceptar_Click()
{
    try {
        if (!PasaComprobaciones())
            return;

        const std::int32_t numero = NuevoNumero(m_entorno.db, QStringLiteral("T_Escenario"), QStringLiteral("Escenario"));

        if (!m_comision->ValidaComision()) {
            MSFlexGrid1->setRow(MSFlexGrid1->rows() - 1);
            return;
        }

        int totalAnios = 0;
        if (!txtTotalAnios->text().isEmpty()) {
            const std::optional<std::int16_t> t = Entero16Campo(txtTotalAnios->text());
            if (!t) {
                Rechaza(QStringLiteral("El total de años esta fuera del rango permitido"), txtTotalAnios);
                return;
            }
            totalAnios = *t;
        }

        // The scenario and its schedule are stored together or not at all.
        {
            Transaccion transaccion(m_entorno.db);
            Ejecuta(m_entorno.db, QStringLiteral("insert into T_Escenario values(?,?,?,?,?,?,?,?,?,?,?)"),
                    {numero, txtEdad->text(), txtSumaAsegurada->text(), cmbTipoSeguro->claveActual(),
                     cmbTipoComision->claveActual(), txtInteresTecnico->text(), cmbTabla->claveActual(),
                     txtPlazoSeguro->text(), txtPlazoPago->text(), txtDescripcion->text(), totalAnios});
            m_comision->GuardaFilas(numero);
            transaccion.confirma();
        }

        const QStringList celdas = {TextoNumero(numero),         txtEdad->text(),
                                    txtSumaAsegurada->text(),    cmbTipoSeguro->currentText(),
                                    cmbTipoComision->currentText(), txtInteresTecnico->text(),
                                    cmbTabla->currentText(),     txtPlazoSeguro->text(),
                                    txtPlazoPago->text(),        txtDescripcion->text()};
        MSFlexGrid1->AddItem(celdas.join(QLatin1Char('\t')));

        for (QWidget* w : Campos())
            w->setEnabled(false);
        FijaBotones(Estado::Navegando);
        MSFlexGrid1->setEnabled(true);
        m_comision->grid()->setEnabled(false);
        MSFlexGrid1->setRow(MSFlexGrid1->rows() - 1);
    } catch (const ErrorVV& e) {
        MostrarError(m_entorno.dialogos, QStringLiteral("Rutina: cmdAceptar_Click"), e);
    }
}

// ---- Running a scenario -------------------------------------------------------------------

void frmEscenarios::cmdResultado_Click()
{
    const int fila = MSFlexGrid1->row();
    if (fila == 0)
        return;
    try {
        RelojArena reloj(m_entorno.dialogos);
        MSFlexGrid1->setCol(0);
        // The run takes the scenario's own stored table and rate, not what the lists show.
        const std::int32_t numero = AEntero32(ANumero(MSFlexGrid1->textMatrix(fila, 0)));
        CalculaEscenario(m_entorno, numero);
        frmResultados* resultados = frmResultados::Muestra(m_principal);
        const bool listado = resultados->seleccionaEscenario(numero);
        resultados->LlenaResultado(numero);
        if (listado)
            resultados->GeneraTitulo();
    } catch (const ErrorVV& e) {
        MostrarError(m_entorno.dialogos, QStringLiteral("Rutina: cmdResultado_Click"), e);
    }
}

} // namespace valvida
