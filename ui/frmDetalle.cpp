#include "ui/frmDetalle.h"

#include "core/BaseDatos.h"
#include "core/Cargadores.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"
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
    m_sql = QStringLiteral("SELECT * FROM C_TablaMortalidad");
    LlenaCombo(m_entorno, m_sql, *m_cmbTabla);
    // Selecting the first table loads it through the list's own event. An empty catalogue
    // leaves the form without a table: nothing to show and nothing to store.
    if (m_cmbTabla->count() > 0) {
        m_cmbTabla->setCurrentIndex(0);
        try {
            Edades();
        } catch (const ErrorVV& e) {
            MostrarError(m_entorno.dialogos, QStringLiteral("Rutina: Form_Load"), e);
        }
    }
}

void frmDetalle::construye()
{
    m_cmbTabla = new ComboLista(this);
    m_cmbTabla->setObjectName(QStringLiteral("cmbTabla"));
    m_txtEdadIni = NuevaCaja(this, "txtEdadIni");
    m_txtEdadIni->setEnabled(false);
    m_txtEdadFin = NuevaCaja(this, "txtEdadFin");
    m_txtEdadFin->setEnabled(false);
    m_grid = new FlexGrid(this);
    m_grid->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_grid->setCols(2);
    m_grid->setFixedRows(1);
    m_grid->setFixedCols(0);
    m_cmdAceptar = NuevoBoton(this, "cmdAceptar", QStringLiteral("A&ceptar"));
    m_cmdCancelar = NuevoBoton(this, "cmdCancelar", QStringLiteral("Ca&ncelar"));
    m_cmdSalir = NuevoBoton(this, "cmdSalir", QStringLiteral("&Salir"));

    auto* lineaTabla = new QHBoxLayout;
    lineaTabla->addWidget(NuevaEtiqueta(this, "lblTabla", QStringLiteral("Tabla de mortalidad:")));
    lineaTabla->addWidget(m_cmbTabla, 1);
    auto* lineaEdades = new QHBoxLayout;
    lineaEdades->addWidget(NuevaEtiqueta(this, "Label2", QStringLiteral("Edad Inicial:")));
    lineaEdades->addWidget(m_txtEdadIni);
    lineaEdades->addWidget(NuevaEtiqueta(this, "Label1", QStringLiteral("Edad Final:")));
    lineaEdades->addWidget(m_txtEdadFin);
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
    resize(360, 520);

    // Enter stores the table, also when typed in the grid; Escape leaves.
    FijaBotonesFormulario(this, m_cmdAceptar, m_cmdSalir);

    connect(m_cmbTabla, &QComboBox::currentIndexChanged, this, &frmDetalle::cmbTabla_Click);
    connect(m_grid, &FlexGrid::KeyPress, this, &frmDetalle::MSFlexGrid1_KeyPress);
    connect(m_grid, &FlexGrid::KeyUp, this, &frmDetalle::MSFlexGrid1_KeyUp);
    connect(m_cmdAceptar, &QPushButton::clicked, this, &frmDetalle::cmdAceptar_Click);
    connect(m_cmdCancelar, &QPushButton::clicked, this, &frmDetalle::cmdCancelar_Click);
    connect(m_cmdSalir, &QPushButton::clicked, this, &frmDetalle::cmdSalir_Click);
}

void frmDetalle::Edades()
{
    m_hayCambios = false;
    m_noCerrar = false;
    m_grid->setRows(1);
    if (m_cmbTabla->currentIndex() < 0) {
        // An empty catalogue: no table to show.
        m_tabla.reset();
        m_txtEdadIni->clear();
        m_txtEdadFin->clear();
        return;
    }

    const int k = m_cmbTabla->claveActual();
    m_tabla = k;
    m_sql = QStringLiteral("SELECT * FROM C_TablaMortalidad where Tabla_Mortalidad = ?");
    {
        QSqlQuery q = Consulta(m_entorno.db, m_sql, {k});
        if (!Siguiente(q))
            throw ErrorVV::sinRegistroActual();
        m_txtEdadIni->setText(ValorATexto(q.value(2)));
        m_txtEdadFin->setText(ValorATexto(q.value(3)));
    }

    bool hayDetalle = false;
    {
        QSqlQuery q = Consulta(m_entorno.db,
                               QStringLiteral("SELECT 1 FROM T_DetalleMortalidad where Tabla_Mortalidad = ? limit 1"),
                               {k});
        hayDetalle = Siguiente(q);
    }
    if (hayDetalle) {
        // Stored rows as stored, ages outside the catalogue range included.
        m_sql = QStringLiteral("SELECT Edad, qx FROM T_DetalleMortalidad where Tabla_Mortalidad = ? order by Edad");
        CargaFlexgrid(m_entorno, m_sql, *m_grid, {k});
    } else {
        // A table without rows yet: one empty qx per age of its range.
        const int desde = AEntero16(ANumero(m_txtEdadIni->text()));
        const int hasta = AEntero16(ANumero(m_txtEdadFin->text()));
        for (int edad = desde; edad <= hasta; ++edad)
            m_grid->AddItem(QString::number(edad) + QLatin1Char('\t'));
    }
    if (m_grid->rows() > 1) {
        m_grid->setRow(1);
        m_grid->setCol(1);
    }
}

bool frmDetalle::celdaEditable() const
{
    return m_grid->col() == 1 && m_grid->row() >= m_grid->fixedRows();
}

void frmDetalle::MSFlexGrid1_KeyPress(QChar tecla)
{
    if (!celdaEditable())
        return;
    if (m_grid->agregaTeclaNumerica(tecla))
        m_hayCambios = true;
}

void frmDetalle::MSFlexGrid1_KeyUp(int tecla)
{
    if (tecla != Qt::Key_Backspace || !celdaEditable())
        return;
    if (m_grid->borraUltimoCaracter())
        m_hayCambios = true;
}

void frmDetalle::GuardaDetalle()
{
    m_noCerrar = true;
    m_grid->setCol(1);
    // Every qx is checked before anything is deleted.
    for (int i = m_grid->fixedRows(); i < m_grid->rows(); ++i) {
        m_grid->setRow(i);
        const QString qx = m_grid->textMatrix(i, 1);
        QString falla;
        if (qx.isEmpty())
            falla = QStringLiteral(" esta vacia");
        else if (!EsNumerico(qx))
            falla = QStringLiteral(" no es numerica");
        else if (const double valor = ANumero(qx); valor < 0.0 || valor > 1.0)
            falla = QStringLiteral(" fuera del rango permitido");
        if (!falla.isEmpty()) {
            m_grid->setCol(0);
            m_entorno.dialogos.mensaje(QStringLiteral("la qx para edad:") + m_grid->textMatrix(i, 0) + falla,
                                       Dialogos::Botones::Aceptar, Dialogos::Icono::Critico);
            m_grid->setCol(1);
            m_grid->setFocus();
            return;
        }
    }
    if (!m_tabla) {
        m_noCerrar = false;
        return;
    }

    // The table's rows are replaced as a whole or not at all.
    Transaccion transaccion(m_entorno.db);
    m_sql = QStringLiteral("delete from T_DetalleMortalidad where Tabla_Mortalidad = ?");
    Ejecuta(m_entorno.db, m_sql, {*m_tabla});
    m_sql = QStringLiteral("insert into T_DetalleMortalidad values(?, ?, ?)");
    for (int i = m_grid->fixedRows(); i < m_grid->rows(); ++i) {
        const int edad = AEntero16(ANumero(m_grid->textMatrix(i, 0)));
        const double qx = ANumero(m_grid->textMatrix(i, 1));
        Ejecuta(m_entorno.db, m_sql, {*m_tabla, edad, TextoNumero(qx)});
    }
    transaccion.confirma();
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
    try {
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
        case Dialogos::Respuesta::No:
            Edades();
            break;
        default:
            // The grid keeps its edits; the list goes back to the table they belong to.
            vuelveListaATablaEnGrid();
            break;
        }
    } catch (const ErrorVV& e) {
        vuelveListaATablaEnGrid();
        MostrarError(m_entorno.dialogos, QStringLiteral("Rutina: cmbTabla_Click"), e);
    }
}

void frmDetalle::cmdAceptar_Click()
{
    try {
        GuardaDetalle();
        m_hayCambios = false;
    } catch (const ErrorVV& e) {
        MostrarError(m_entorno.dialogos, QStringLiteral("Rutina: cmdAceptar_Click"), e);
    }
}

void frmDetalle::cmdCancelar_Click()
{
    try {
        Edades();
    } catch (const ErrorVV& e) {
        MostrarError(m_entorno.dialogos, QStringLiteral("Rutina: cmdCancelar_Click"), e);
    }
}

void frmDetalle::cmdSalir_Click()
{
    try {
        if (!m_hayCambios) {
            close();
            return;
        }
        switch (preguntaGuardar()) {
        case Dialogos::Respuesta::Si:
            GuardaDetalle();
            close();
            break;
        case Dialogos::Respuesta::No:
            close();
            break;
        default:
            break;
        }
    } catch (const ErrorVV& e) {
        MostrarError(m_entorno.dialogos, QStringLiteral("Rutina: cmdSalir_Click"), e);
    }
}

void frmDetalle::closeEvent(QCloseEvent* evento)
{
    // A store that stopped at a message keeps the form open once.
    if (m_noCerrar) {
        m_noCerrar = false;
        evento->ignore();
        return;
    }
    evento->accept();
}

} // namespace valvida
