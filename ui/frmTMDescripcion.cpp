#include "ui/frmTMDescripcion.h"

#include "core/Cargadores.h"
#include "core/Consultas.h"
#include "core/Dialogos.h"
#include "core/ImportaTabla.h"
#include "core/TablasMortalidad.h"
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
    // The ages whole, as the catalogue keeps them.
    CargaFlexgrid(m_entorno, consulta::TablasMortalidad, *m_grid, {},
                  {std::nullopt, std::nullopt, Formato::Entero, Formato::Entero});
    m_grid->ajustaColumnas();
}

void frmTMDescripcion::construye()
{
    m_grid = new GridAjustado(this, "MSFlexGrid1", 10);
    m_grid->setCols(4);
    m_grid->setFixedRows(1);
    m_grid->setFixedCols(0);

    auto* frame1 = new QGroupBox(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    m_txtTabla = NuevaCaja(frame1, "txtTabla");
    m_txtTabla->setEnabled(false);
    AnchoParaTexto(m_txtTabla, QStringLiteral("32767"));
    m_txtTablaDesc = NuevaCaja(frame1, "txtTablaDesc");
    // It has no label of its own: it is the grid's "Descripción".
    m_txtTablaDesc->setAccessibleName(QStringLiteral("Descripción"));
    m_txtDe = NuevaCajaNumerica(frame1, "txtDe");
    AnchoParaTexto(m_txtDe, QStringLiteral("-32768"));
    m_txtAl = NuevaCajaNumerica(frame1, "txtAl");
    AnchoParaTexto(m_txtAl, QStringLiteral("-32768"));
    auto* cajas = new QGridLayout(frame1);
    cajas->addWidget(NuevaEtiqueta(frame1, "lblTabla", QStringLiteral("Tabla:"), m_txtTabla), 0, 0);
    cajas->addWidget(m_txtTabla, 0, 1);
    cajas->addWidget(m_txtTablaDesc, 0, 2, 1, 3);
    cajas->addWidget(NuevaEtiqueta(frame1, "Label2", QStringLiteral("Rango"), m_txtDe), 1, 0);
    cajas->addWidget(m_txtDe, 1, 1);
    cajas->addWidget(NuevaEtiqueta(frame1, "Label1", QStringLiteral("al"), m_txtAl), 1, 2);
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
    connect(m_cmdCancelar, &QPushButton::clicked, this, &frmTMDescripcion::cancela);
    connect(m_cmdDetalle, &QPushButton::clicked, this, [this] {
        if (m_muestraDetalle)
            m_muestraDetalle();
    });
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
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdAlta_Click"), [this] {
        const std::int16_t nueva = NuevaTablaMortalidad(m_entorno.db);
        m_esAlta = true;
        habilitaCajas(true);
        m_txtTablaDesc->clear();
        m_txtDe->clear();
        m_txtAl->clear();
        m_txtTabla->setText(QString::number(nueva));
        estadoCaptura();
        m_txtTablaDesc->setFocus();
    });
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

void frmTMDescripcion::cmdAceptar_Click()
{
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmdAceptar_Click"), [this] {
        const auto comprobada = CompruebaTabla(
            {m_txtTabla->text(), m_txtTablaDesc->text(), m_txtDe->text(), m_txtAl->text()}, m_txtDe->locale());
        if (const auto* rechazo = std::get_if<RechazoTabla>(&comprobada)) {
            m_entorno.dialogos.mensaje(rechazo->mensaje, Dialogos::Botones::Aceptar, rechazo->icono);
            switch (rechazo->campo) {
            case CampoTabla::Descripcion: m_txtTablaDesc->setFocus(); break;
            case CampoTabla::EdadInicial: m_txtDe->setFocus(); break;
            case CampoTabla::EdadFinal: m_txtAl->setFocus(); break;
            }
            return;
        }
        const TablaMortalidad& tabla = std::get<TablaMortalidad>(comprobada);
        if (m_esAlta) {
            AltaTablaMortalidad(m_entorno.db, tabla);
            m_esAlta = false;
            // The new row becomes the current one: what a later Modificar changes.
            m_grid->AddItem(QString());
            m_seleccionActiva = false;
            m_grid->setRow(m_grid->rows() - 1);
            muestraGuardada(tabla);
            return;
        }
        const auto respuesta = m_entorno.dialogos.mensaje(
            QStringLiteral("Al modificar la tabla de mortalidad, \r\nprobablemente se modifica el detalle de "
                           "mortalidad\r\nDesea continuar"),
            Dialogos::Botones::SiNo, Dialogos::Icono::Pregunta);
        if (respuesta != Dialogos::Respuesta::Si) {
            cancela();
            return;
        }
        ModificaTablaMortalidad(m_entorno.db, tabla);
        muestraGuardada(tabla);
    });
}

void frmTMDescripcion::muestraGuardada(const TablaMortalidad& tabla)
{
    // The ages are listed as the catalogue keeps them (5.5 typed is 6 stored), not as typed.
    const QStringList celdas = {QString::number(tabla.tabla), tabla.descripcion, QString::number(tabla.edadInicial),
                                QString::number(tabla.edadFinal)};
    QLineEdit* const cajas[] = {m_txtTabla, m_txtTablaDesc, m_txtDe, m_txtAl};
    const int r = m_grid->row();
    for (int c = 0; c < 4; ++c) {
        if (r >= m_grid->fixedRows())
            m_grid->setTextMatrix(r, c, celdas.at(c));
        cajas[c]->setText(celdas.at(c));
    }
    m_grid->ajustaColumnas();
    estadoConsulta();
    habilitaCajas(false);
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

} // namespace valvida
