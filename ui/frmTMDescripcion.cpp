#include "ui/frmTMDescripcion.h"

#include "core/BaseDatos.h"
#include "core/Cargadores.h"
#include "core/Dialogos.h"
#include "core/ErrorVV.h"
#include "core/ImportaTabla.h"
#include "core/Numeros.h"
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

frmTMDescripcion::frmTMDescripcion(Entorno entorno, std::function<void()> muestraDetalle, QWidget* parent)
    : QWidget(parent)
    , m_entorno(std::move(entorno))
    , m_muestraDetalle(std::move(muestraDetalle))
{
    setObjectName(QStringLiteral("frmTMDescripcion"));
    setWindowTitle(QStringLiteral("Tablas Mortalidad - Descripción"));
    construye();

    m_esAlta = false;
    m_seleccionActiva = false;
    m_grid->setRows(1);
    m_grid->setRow(0);
    const char* const cabeceras[] = {"Tabla", "Descripción", "Edad Inicial", "Edad Final"};
    for (int c = 0; c < 4; ++c)
        m_grid->setTextMatrix(0, c, QString::fromUtf8(cabeceras[c]));
    m_grid->setColAlignmentLeft(0);
    // Descriptions are read from their start, like any text.
    m_grid->setColAlignmentLeft(1);
    estadoConsulta();
    habilitaCajas(false);
    m_sql = QStringLiteral("SELECT * FROM C_TablaMortalidad");
    CargaFlexgrid(m_entorno, m_sql, *m_grid);
}

void frmTMDescripcion::construye()
{
    m_grid = new FlexGrid(this);
    m_grid->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_grid->setCols(4);
    m_grid->setFixedRows(1);
    m_grid->setFixedCols(0);

    auto* frame1 = new QGroupBox(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    m_txtTabla = NuevaCaja(frame1, "txtTabla");
    m_txtTabla->setEnabled(false);
    m_txtTabla->setMaximumWidth(70);
    m_txtTablaDesc = NuevaCaja(frame1, "txtTablaDesc");
    m_txtDe = NuevaCaja(frame1, "txtDe");
    m_txtDe->setMaximumWidth(70);
    m_txtAl = NuevaCaja(frame1, "txtAl");
    m_txtAl->setMaximumWidth(70);
    auto* cajas = new QGridLayout(frame1);
    cajas->addWidget(NuevaEtiqueta(frame1, "lblTabla", QStringLiteral("Tabla:")), 0, 0);
    cajas->addWidget(m_txtTabla, 0, 1);
    cajas->addWidget(m_txtTablaDesc, 0, 2, 1, 3);
    cajas->addWidget(NuevaEtiqueta(frame1, "Label2", QStringLiteral("Rango")), 1, 0);
    cajas->addWidget(m_txtDe, 1, 1);
    cajas->addWidget(NuevaEtiqueta(frame1, "Label1", QStringLiteral("al")), 1, 2);
    cajas->addWidget(m_txtAl, 1, 3);
    cajas->setColumnStretch(4, 1);

    auto* frame2 = new QGroupBox(this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    m_cmdAlta = NuevoBoton(frame2, "cmdAlta", QStringLiteral("&Alta"));
    m_cmdModificar = NuevoBoton(frame2, "cmdModificar", QStringLiteral("&Modificar"));
    m_cmdAceptar = NuevoBoton(frame2, "cmdAceptar", QStringLiteral("A&ceptar"));
    m_cmdCancelar = NuevoBoton(frame2, "cmdCancelar", QStringLiteral("Ca&ncelar"));
    m_cmdDetalle = NuevoBoton(frame2, "cmdDetalle", QStringLiteral("&Detalle"));
    m_cmdSalir = NuevoBoton(frame2, "cmdSalir", QStringLiteral("&Salir"));
    auto* botones = new QHBoxLayout(frame2);
    for (QPushButton* b : {m_cmdAlta, m_cmdModificar, m_cmdAceptar, m_cmdCancelar, m_cmdDetalle, m_cmdSalir})
        botones->addWidget(b);

    auto* principal = new QVBoxLayout(this);
    principal->addWidget(m_grid, 1);
    principal->addWidget(frame1);
    principal->addWidget(frame2);

    FijaBotonesFormulario(this, m_cmdDetalle, m_cmdSalir);

    connect(m_grid, &FlexGrid::Click, this, &frmTMDescripcion::LlenaCampos);
    connect(m_grid, &FlexGrid::GotFocus, this, &frmTMDescripcion::MSFlexGrid1_GotFocus);
    connect(m_grid, &FlexGrid::rowColChange, this, &frmTMDescripcion::MSFlexGrid1_RowColChange);
    connect(m_cmdAlta, &QPushButton::clicked, this, &frmTMDescripcion::cmdAlta_Click);
    connect(m_cmdModificar, &QPushButton::clicked, this, &frmTMDescripcion::cmdModificar_Click);
    connect(m_cmdAceptar, &QPushButton::clicked, this, &frmTMDescripcion::cmdAceptar_Click);
    connect(m_cmdCancelar, &QPushButton::clicked, this, &frmTMDescripcion::cmdCancelar_Click);
    connect(m_cmdDetalle, &QPushButton::clicked, this, &frmTMDescripcion::cmdDetalle_Click);
    connect(m_cmdSalir, &QPushButton::clicked, this, [this] { CierraFormulario(this); });
}

void frmTMDescripcion::LlenaCampos()
{
    // The moves made here must not call back into this routine.
    m_seleccionActiva = false;
    const int r = m_grid->row();
    const int c = m_grid->col();
    if (r < m_grid->fixedRows())
        return;
    QLineEdit* const cajas[] = {m_txtTabla, m_txtTablaDesc, m_txtDe, m_txtAl};
    for (int i = 0; i < 4; ++i) {
        m_grid->setCol(i);
        cajas[i]->setText(m_grid->text());
    }
    m_grid->setRow(r);
    m_grid->setCol(c);
    m_seleccionActiva = true;
}

void frmTMDescripcion::MSFlexGrid1_GotFocus()
{
    m_seleccionActiva = true;
    LlenaCampos();
}

void frmTMDescripcion::MSFlexGrid1_RowColChange()
{
    if (m_seleccionActiva)
        LlenaCampos();
}

void frmTMDescripcion::habilitaCajas(bool habilitar)
{
    for (QLineEdit* caja : {m_txtTablaDesc, m_txtDe, m_txtAl})
        caja->setEnabled(habilitar);
}

void frmTMDescripcion::estadoConsulta()
{
    m_grid->setEnabled(true);
    for (QPushButton* b : {m_cmdDetalle, m_cmdAlta, m_cmdModificar, m_cmdSalir})
        b->setEnabled(true);
    m_cmdAceptar->setEnabled(false);
    m_cmdCancelar->setEnabled(false);
}

void frmTMDescripcion::estadoCaptura()
{
    m_grid->setEnabled(false);
    for (QPushButton* b : {m_cmdDetalle, m_cmdAlta, m_cmdSalir})
        b->setEnabled(false);
    m_cmdAceptar->setEnabled(true);
    m_cmdCancelar->setEnabled(true);
}

void frmTMDescripcion::cmdAlta_Click()
{
    try {
        const std::int16_t nueva = NuevaTablaMortalidad(m_entorno.db);
        m_esAlta = true;
        habilitaCajas(true);
        m_txtTablaDesc->clear();
        m_txtDe->clear();
        m_txtAl->clear();
        m_txtTabla->setText(QString::number(nueva));
        estadoCaptura();
        m_txtTablaDesc->setFocus();
    } catch (const ErrorVV& e) {
        MostrarError(m_entorno.dialogos, QStringLiteral("Rutina: cmdAlta_Click"), e);
    }
}

void frmTMDescripcion::cmdModificar_Click()
{
    // Without a table copied into the boxes there is nothing to modify.
    if (m_txtTabla->text().isEmpty())
        return;
    habilitaCajas(true);
    estadoCaptura();
    m_cmdModificar->setEnabled(false);
}

void frmTMDescripcion::falla(const QString& texto, QLineEdit* foco)
{
    m_entorno.dialogos.mensaje(texto, Dialogos::Botones::Aceptar, Dialogos::Icono::Exclamacion);
    foco->setFocus();
}

bool frmTMDescripcion::valida()
{
    if (m_txtTablaDesc->text().isEmpty()) {
        falla(QStringLiteral("La descripcion de la tabla no puede ser nulo"), m_txtTablaDesc);
        return false;
    }
    if (!EsNumerico(m_txtDe->text())) {
        falla(QStringLiteral("La edad inicial debe ser numerica"), m_txtDe);
        return false;
    }
    if (!EsNumerico(m_txtAl->text())) {
        falla(QStringLiteral("La edad final debe ser numerica"), m_txtAl);
        return false;
    }
    if (AEntero16(ANumero(m_txtAl->text())) < AEntero16(ANumero(m_txtDe->text()))) {
        falla(QStringLiteral("La edad final debe ser mayor a la edad inicial"), m_txtDe);
        return false;
    }
    return true;
}

void frmTMDescripcion::cmdAceptar_Click()
{
    try {
        aceptar();
    } catch (const ErrorVV& e) {
        MostrarError(m_entorno.dialogos, QStringLiteral("Rutina: cmdAceptar_Click"), e);
    }
}

void frmTMDescripcion::aceptar()
{
    if (!valida())
        return;
    const std::int16_t tabla = AEntero16(ANumero(m_txtTabla->text()));
    const std::int16_t edadInicial = AEntero16(ANumero(m_txtDe->text()));
    const std::int16_t edadFinal = AEntero16(ANumero(m_txtAl->text()));
    const QStringList celdas = {m_txtTabla->text(), m_txtTablaDesc->text(), m_txtDe->text(), m_txtAl->text()};

    if (m_esAlta) {
        m_sql = QStringLiteral("insert into C_TablaMortalidad values(?, ?, ?, ?)");
        Ejecuta(m_entorno.db, m_sql, {int{tabla}, m_txtTablaDesc->text(), int{edadInicial}, int{edadFinal}});
        m_esAlta = false;
        // The new row, as typed, becomes the current one: what the boxes show is what a
        // later Modificar changes.
        m_grid->AddItem(celdas.join(QLatin1Char('\t')));
        m_seleccionActiva = false;
        m_grid->setRow(m_grid->rows() - 1);
        estadoConsulta();
        habilitaCajas(false);
        return;
    }

    const auto respuesta = m_entorno.dialogos.mensaje(
        QStringLiteral("Al modificar la tabla de mortalidad, \r\nprobablemente se modifica el detalle de mortalidad"
                       "\r\nDesea continuar"),
        Dialogos::Botones::SiNo, Dialogos::Icono::Pregunta);
    if (respuesta != Dialogos::Respuesta::Si) {
        cancela();
        return;
    }
    modifica(tabla, edadInicial, edadFinal);
    const int r = m_grid->row();
    if (r >= m_grid->fixedRows()) {
        for (int c = 0; c < 4; ++c)
            m_grid->setTextMatrix(r, c, celdas.at(c));
    }
    estadoConsulta();
    habilitaCajas(false);
}

void frmTMDescripcion::modifica(std::int16_t tabla, std::int16_t edadInicial, std::int16_t edadFinal)
{
    // Trim and update together: a failed update leaves the detail rows as they were.
    Transaccion transaccion(m_entorno.db);
    m_sql = QStringLiteral("delete from T_DetalleMortalidad where Tabla_Mortalidad = ? and (Edad < ? or edad > ?)");
    Ejecuta(m_entorno.db, m_sql, {int{tabla}, int{edadInicial}, int{edadFinal}});
    m_sql = QStringLiteral(
        "Update C_TablaMortalidad set Descripcion = ?, Edad_Inicial = ?, Edad_Final = ? where Tabla_Mortalidad = ?");
    Ejecuta(m_entorno.db, m_sql, {m_txtTablaDesc->text(), int{edadInicial}, int{edadFinal}, int{tabla}});
    transaccion.confirma();
}

void frmTMDescripcion::cmdCancelar_Click()
{
    cancela();
}

void frmTMDescripcion::cancela()
{
    m_esAlta = false;
    habilitaCajas(false);
    // The boxes show the grid's current row again, or nothing when it is the header row (an
    // abandoned new table leaves no number behind for Modificar).
    for (QLineEdit* caja : {m_txtTabla, m_txtTablaDesc, m_txtDe, m_txtAl})
        caja->clear();
    estadoConsulta();
    m_grid->setFocus();
    if (!m_grid->hasFocus())
        MSFlexGrid1_GotFocus();
}

void frmTMDescripcion::cmdDetalle_Click()
{
    if (m_muestraDetalle)
        m_muestraDetalle();
}

QSize frmTMDescripcion::sizeHint() const
{
    // The size it opens with in the main window.
    return {620, 460};
}

} // namespace valvida
