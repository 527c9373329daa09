#include "ui/frmHipotesis.h"

#include "core/Cargadores.h"
#include "core/Consultas.h"
#include "core/Dialogos.h"
#include "core/Hipotesis.h"
#include "core/Numeros.h"
#include "ui/ComboLista.h"
#include "ui/Controles.h"
#include "ui/FlexGrid.h"
#include "ui/Formulario.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace valvida {

namespace {

const char* const Cabeceras[] = {"Hipótesis",        "Descripción",         "Tabla Mortalidad",  "% Mortalidad",
                                 "Gasto por Póliza", "% Gasto sobre Prima", "% Inflación Gastos"};

// Percentages keep every digit typed (10 significant); the expense is money.
const Formatos FormatosConjuntos = {std::nullopt,    std::nullopt,       std::nullopt,      Formato::Conmutado,
                                    Formato::Dinero, Formato::Conmutado, Formato::Conmutado};

constexpr int ColAnio = 0;
constexpr int ColTasa = 1;
// Empty lapse rows a new set starts with; typing in the last one adds another.
constexpr int FilasCaidaNuevas = 10;

} // namespace

frmHipotesis::frmHipotesis(Entorno entorno, QWidget* parent)
    : QWidget(parent)
    , m_entorno(std::move(entorno))
{
    setObjectName(QStringLiteral("frmHipotesis"));
    setWindowTitle(QStringLiteral("Hipótesis de mejor estimación"));
    construye();
    LlenaCombo(m_entorno, consulta::TablasMortalidadLista, *m_cmbTabla);
    cargaConjuntos();
    vaciaCaidas(0);
    fijaEstado(false);
}

void frmHipotesis::construye()
{
    m_grid = new GridAjustado(this, "MSFlexGrid1", 6);
    m_grid->setCols(static_cast<int>(std::size(Cabeceras)));
    m_grid->setFixedRows(1);
    m_grid->setFixedCols(0);
    m_grid->setSeleccionPorFila(true);
    m_grid->setColAlignmentLeft(1);
    m_grid->setColAlignmentLeft(2);
    m_grid->setAccessibleName(QStringLiteral("Hipótesis"));

    auto* frame1 = new QGroupBox(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    const auto numerica = [frame1](const char* nombre) {
        QLineEdit* caja = NuevaCajaNumerica(frame1, nombre);
        AnchoParaTexto(caja, QStringLiteral("1.000.000,00"));
        return caja;
    };
    m_txtHipotesis = NuevaCaja(frame1, "txtHipotesis");
    m_txtHipotesis->setEnabled(false);
    AnchoParaTexto(m_txtHipotesis, QStringLiteral("2147483647"));
    m_txtDescripcion = NuevaCaja(frame1, "txtDescripcion");
    m_cmbTabla = new ComboLista(frame1);
    m_cmbTabla->setObjectName(QStringLiteral("cmbTabla"));
    m_txtPorcentajeMortalidad = numerica("txtPorcentajeMortalidad");
    m_txtGastoPoliza = numerica("txtGastoPoliza");
    m_txtPorcentajeGastoPrima = numerica("txtPorcentajeGastoPrima");
    m_txtInflacionGastos = numerica("txtInflacionGastos");
    auto* cajas = new QGridLayout;
    const std::pair<QWidget*, const char*> campos[] = {
        {m_txtHipotesis, "Hipótesis:"},
        {m_txtDescripcion, "Descripción:"},
        {m_cmbTabla, "Tabla Mortalidad:"},
        {m_txtPorcentajeMortalidad, "% Mortalidad:"},
        {m_txtGastoPoliza, "Gasto por Póliza:"},
        {m_txtPorcentajeGastoPrima, "% Gasto sobre Prima:"},
        {m_txtInflacionGastos, "% Inflación Gastos:"},
    };
    for (int i = 0; i < static_cast<int>(std::size(campos)); ++i) {
        const auto& [control, texto] = campos[i];
        const QByteArray nombre = "lbl" + control->objectName().mid(3).toLatin1();
        cajas->addWidget(NuevaEtiqueta(frame1, nombre.constData(), QString::fromUtf8(texto), control), i, 0);
        // The description takes the width left; the numbers keep theirs.
        cajas->addWidget(control, i, 1, control == m_txtDescripcion ? Qt::Alignment() : Qt::AlignLeft);
    }
    cajas->setColumnStretch(1, 1);

    m_caidas = new GridAjustado(frame1, "MSFlexGrid2", 7);
    m_caidas->setCols(2);
    m_caidas->setFixedRows(1);
    m_caidas->setFixedCols(0);
    QLabel* lblCaidas = NuevaEtiqueta(frame1, "lblCaidas", QStringLiteral("Caídas"), m_caidas);
    m_caidas->setAccessibleName(lblCaidas->text());
    auto* caidas = new QVBoxLayout;
    caidas->addWidget(lblCaidas);
    caidas->addWidget(m_caidas, 1);
    auto* datos = new QHBoxLayout(frame1);
    datos->addLayout(cajas, 1);
    datos->addLayout(caidas);

    auto* frame2 = new QGroupBox(this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    m_cmdAlta = NuevoBoton(frame2, "cmdAlta", QStringLiteral("&Alta"));
    m_cmdModificar = NuevoBoton(frame2, "cmdModificar", QStringLiteral("&Modificar"));
    m_cmdAceptar = NuevoBoton(frame2, "cmdAceptar", QStringLiteral("A&ceptar"));
    m_cmdCancelar = NuevoBoton(frame2, "cmdCancelar", QStringLiteral("Ca&ncelar"));
    m_cmdSalir = NuevoBoton(frame2, "cmdSalir", QStringLiteral("&Salir"));
    auto* botones = new QHBoxLayout(frame2);
    for (QPushButton* b : {m_cmdAlta, m_cmdModificar, m_cmdAceptar, m_cmdCancelar, m_cmdSalir})
        botones->addWidget(b);
    botones->addStretch();

    auto* principal = new QVBoxLayout(this);
    principal->addWidget(m_grid, 1);
    principal->addWidget(frame1);
    principal->addWidget(frame2);
    FijaBotonesFormulario(this, m_cmdAceptar, m_cmdSalir);

    connect(m_grid, &FlexGrid::rowColChange, this, &frmHipotesis::muestraSeleccion);
    connect(m_grid, &FlexGrid::Click, this, &frmHipotesis::muestraSeleccion);
    connect(m_caidas, &FlexGrid::KeyPress, this, &frmHipotesis::caidas_KeyPress);
    connect(m_cmdAlta, &QPushButton::clicked, this, &frmHipotesis::cmdAlta_Click);
    connect(m_cmdModificar, &QPushButton::clicked, this, [this] {
        // The set on show, its fields open, with room for more lapse rows.
        if (m_txtHipotesis->text().isEmpty())
            return;
        m_modificada = AEntero32(ANumero(m_txtHipotesis->text()));
        m_caidas->setRows(m_caidas->rows() + 1);
        fijaEstado(true);
        m_txtDescripcion->setFocus();
    });
    connect(m_cmdAceptar, &QPushButton::clicked, this, &frmHipotesis::cmdAceptar_Click);
    connect(m_cmdCancelar, &QPushButton::clicked, this, &frmHipotesis::cancela);
    connect(m_cmdSalir, &QPushButton::clicked, this, [this] { CierraFormulario(this); });
}

void frmHipotesis::cargaConjuntos()
{
    QStringList cabeceras;
    for (const char* c : Cabeceras)
        cabeceras << QString::fromUtf8(c);
    m_grid->ponCabeceras(cabeceras);
    CargaFlexgrid(m_entorno, consulta::Hipotesis, *m_grid, {}, FormatosConjuntos);
    m_grid->ajustaColumnas();
}

void frmHipotesis::vaciaCaidas(int filas)
{
    m_caidas->ponCabeceras({QStringLiteral("Año Póliza"), QStringLiteral("% Caída")});
    m_caidas->setRows(filas + 1);
    m_caidas->ajustaColumnas();
}

void frmHipotesis::muestraSeleccion()
{
    if (m_captura || m_grid->row() < m_grid->fixedRows())
        return;
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: MSFlexGrid1_RowColChange"), [this] {
        const QString numero = m_grid->textMatrix(m_grid->row(), 0);
        if (!EsNumerico(numero))
            return;
        if (const auto conjunto = LeeConjuntoHipotesis(m_entorno.db, AEntero32(ANumero(numero))))
            muestra(*conjunto);
    });
}

void frmHipotesis::muestra(const ConjuntoHipotesis& c)
{
    const QLocale locale = m_txtPorcentajeMortalidad->locale();
    m_txtHipotesis->setText(QString::number(c.hipotesis));
    m_txtDescripcion->setText(c.descripcion);
    if (!m_cmbTabla->seleccionaClave(c.tabla))
        m_cmbTabla->setCurrentIndex(-1);
    m_txtPorcentajeMortalidad->setText(TextoPantalla(c.porcentajeMortalidad, Formato::Conmutado, locale));
    m_txtGastoPoliza->setText(TextoPantalla(c.gastoPoliza, Formato::Dinero, locale));
    m_txtPorcentajeGastoPrima->setText(TextoPantalla(c.porcentajeGastoPrima, Formato::Conmutado, locale));
    m_txtInflacionGastos->setText(TextoPantalla(c.inflacionGastos, Formato::Conmutado, locale));
    vaciaCaidas(static_cast<int>(c.caidas.size()));
    for (int i = 0; i < c.caidas.size(); ++i) {
        m_caidas->setTextMatrix(i + 1, ColAnio, TextoPantalla(c.caidas.at(i).anio, Formato::Entero, locale));
        m_caidas->setTextMatrix(i + 1, ColTasa, TextoPantalla(c.caidas.at(i).tasa, Formato::Conmutado, locale));
    }
    m_caidas->ajustaColumnas();
}

void frmHipotesis::fijaEstado(bool captura)
{
    m_captura = captura;
    m_grid->setEnabled(!captura);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_txtDescripcion, m_cmbTabla, m_txtPorcentajeMortalidad, m_txtGastoPoliza,
                                         m_txtPorcentajeGastoPrima, m_txtInflacionGastos, m_cmdAceptar, m_cmdCancelar})
        w->setEnabled(captura);
    m_cmdAlta->setEnabled(!captura);
    m_cmdModificar->setEnabled(!captura);
    if (!captura)
        m_modificada.reset();
    m_cmdSalir->setEnabled(!captura);
}

void frmHipotesis::cmdAlta_Click()
{
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdAlta_Click"), [this] {
        const QLocale locale = m_txtPorcentajeMortalidad->locale();
        m_modificada.reset();
        m_txtHipotesis->setText(QString::number(NuevaHipotesis(m_entorno.db)));
        m_txtDescripcion->clear();
        m_cmbTabla->setCurrentIndex(m_cmbTabla->count() > 0 ? 0 : -1);
        // A new set starts from the pricing's own assumptions: the whole table, no expenses, no inflation.
        m_txtPorcentajeMortalidad->setText(TextoPantalla(100, Formato::Conmutado, locale));
        for (QLineEdit* caja : {m_txtGastoPoliza, m_txtPorcentajeGastoPrima, m_txtInflacionGastos})
            caja->setText(TextoPantalla(0, Formato::Conmutado, locale));
        vaciaCaidas(FilasCaidaNuevas);
        m_caidas->setRow(1);
        m_caidas->setCol(ColAnio);
        fijaEstado(true);
        m_txtDescripcion->setFocus();
    });
}

void frmHipotesis::caidas_KeyPress(QChar tecla)
{
    if (!m_captura || m_caidas->row() < m_caidas->fixedRows())
        return;
    QString texto = m_caidas->text();
    const QString coma = m_caidas->locale().decimalPoint();
    if (tecla == QLatin1Char('\b'))
        texto.chop(1);
    else if ((tecla >= QLatin1Char('0') && tecla <= QLatin1Char('9')) ||
             (m_caidas->col() == ColTasa && tecla == coma && !texto.contains(coma)))
        texto += tecla;
    else
        return;
    m_caidas->setText(texto);
    if (m_caidas->row() == m_caidas->rows() - 1 && !texto.isEmpty())
        m_caidas->setRows(m_caidas->rows() + 1);
}

void frmHipotesis::cmdAceptar_Click()
{
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdAceptar_Click"), [this] {
        EntradaHipotesis e{m_txtDescripcion->text(),
                           m_cmbTabla->currentIndex() < 0 ? std::nullopt
                                                          : std::optional<std::int32_t>(m_cmbTabla->claveActual()),
                           m_txtPorcentajeMortalidad->text(),
                           m_txtGastoPoliza->text(),
                           m_txtPorcentajeGastoPrima->text(),
                           m_txtInflacionGastos->text(),
                           {}};
        for (int r = m_caidas->fixedRows(); r < m_caidas->rows(); ++r)
            e.caidas << FilaCaidaTecleada{m_caidas->textMatrix(r, ColAnio), m_caidas->textMatrix(r, ColTasa)};
        const auto comprobado = CompruebaHipotesis(m_entorno.db, e, m_txtPorcentajeMortalidad->locale());
        if (const auto* rechazo = std::get_if<RechazoHipotesis>(&comprobado)) {
            m_entorno.dialogos.mensaje(rechazo->mensaje, Dialogos::Botones::Aceptar, Dialogos::Icono::Exclamacion);
            QWidget* foco = nullptr;
            switch (rechazo->campo) {
            case CampoHipotesis::Descripcion: foco = m_txtDescripcion; break;
            case CampoHipotesis::Tabla: foco = m_cmbTabla; break;
            case CampoHipotesis::PorcentajeMortalidad: foco = m_txtPorcentajeMortalidad; break;
            case CampoHipotesis::GastoPoliza: foco = m_txtGastoPoliza; break;
            case CampoHipotesis::PorcentajeGastoPrima: foco = m_txtPorcentajeGastoPrima; break;
            case CampoHipotesis::InflacionGastos: foco = m_txtInflacionGastos; break;
            case CampoHipotesis::AnioCaida:
            case CampoHipotesis::TasaCaida:
                foco = m_caidas;
                m_caidas->setRow(m_caidas->fixedRows() + rechazo->fila);
                m_caidas->setCol(rechazo->campo == CampoHipotesis::AnioCaida ? ColAnio : ColTasa);
                break;
            }
            foco->setFocus();
            return;
        }
        const std::int32_t numero =
            GuardaHipotesis(m_entorno.db, std::get<ConjuntoHipotesis>(comprobado), m_modificada);
        fijaEstado(false);
        cargaConjuntos();
        // The new set becomes the list's current row and is shown as stored.
        for (int r = m_grid->fixedRows(); r < m_grid->rows(); ++r) {
            if (m_grid->textMatrix(r, 0) == QString::number(numero))
                m_grid->setRow(r);
        }
    });
}

void frmHipotesis::cancela()
{
    fijaEstado(false);
    for (QLineEdit* caja : {m_txtHipotesis, m_txtDescripcion, m_txtPorcentajeMortalidad, m_txtGastoPoliza,
                            m_txtPorcentajeGastoPrima, m_txtInflacionGastos})
        caja->clear();
    m_cmbTabla->setCurrentIndex(-1);
    vaciaCaidas(0);
    muestraSeleccion();
    m_grid->setFocus();
}

} // namespace valvida
