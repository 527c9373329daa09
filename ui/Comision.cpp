#include "ui/Comision.h"

#include "core/CalendarioComision.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/EntradaEscenario.h"
#include "core/Numeros.h"
#include "ui/ComboLista.h"
#include "ui/FlexGrid.h"

#include <QEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QScrollBar>

#include <algorithm>

namespace valvida {

Comision::Comision(Entorno& entorno, QWidget* marco, Campos campos, QObject* parent)
    : QObject(parent)
    , m_entorno(entorno)
    , m_campos(campos)
    , m_grid(new FlexGrid(marco))
{
    m_grid->setObjectName(QStringLiteral("MSFlexGrid2"));
    m_grid->setCols(3);
    m_grid->setRows(1);
    m_grid->setFixedRows(1);
    m_grid->setFixedCols(0);
    // A total of years is a count: the box takes digits only.
    m_campos.totalAnios->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_campos.totalAnios));

    connect(m_campos.tipoComision, &QComboBox::currentIndexChanged, this, &Comision::cmbTipoComision_Click);
    connect(m_campos.totalAnios, &QLineEdit::textChanged, this, &Comision::txtTotalAnios_Change);
    connect(m_grid, &FlexGrid::KeyPress, this, &Comision::MSFlexGrid2_KeyPress);
    connect(m_grid, &FlexGrid::KeyUp, this, &Comision::MSFlexGrid2_KeyUp);
    connect(m_grid, &FlexGrid::GotFocus, this, &Comision::MSFlexGrid2_GotFocus);
    connect(m_grid, &FlexGrid::rowColChange, this, &Comision::RedondeaTantos);
    m_grid->installEventFilter(this);
}

bool Comision::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == m_grid && evento->type() == QEvent::FocusOut)
        RedondeaTantos();
    return QObject::eventFilter(objeto, evento);
}

void Comision::Encabezado(const QString& c0, const QString& c1, const QString& c2)
{
    m_grid->setTextMatrix(0, ColAnioComision, c0);
    m_grid->setTextMatrix(0, ColPorcentajePrima, c1);
    m_grid->setTextMatrix(0, ColTantosSuma, c2);
    Ajusta();
}

void Comision::Ajusta()
{
    // Every column as wide as its texts and the grid as wide as its columns: it scrolls down, never
    // sideways, and no header is cut.
    m_grid->ajustaColumnas();
    int ancho = 2 * m_grid->frameWidth() + m_grid->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < m_grid->cols(); ++c)
        ancho += m_grid->columnWidth(c);
    m_grid->setMinimumWidth(ancho);
}

void Comision::EncabezadoInicial()
{
    m_grid->setRow(0);
    Encabezado(QStringLiteral("Año Comisión"), QStringLiteral("% Prima de Tarifa"), QStringLiteral("0/00 Millar SA"));
    Numera();
}

void Comision::Numera()
{
    for (int i = 1; i < m_grid->rows(); ++i)
        m_grid->setTextMatrix(i, ColAnioComision, QString::number(i));
}

QList<QStringList> Comision::Celdas() const
{
    QList<QStringList> celdas;
    for (int i = 1; i < m_grid->rows(); ++i)
        celdas.append({m_grid->textMatrix(i, ColAnioComision), m_grid->textMatrix(i, ColPorcentajePrima),
                       m_grid->textMatrix(i, ColTantosSuma)});
    return celdas;
}

void Comision::MuestraCelda(int fila, int columna)
{
    // The focus first: coming in by it moves off a year, and a refused cell may be one.
    m_grid->setFocus();
    m_grid->setRow(fila);
    m_grid->setCol(columna);
}

void Comision::Vacia()
{
    m_grid->setRows(1);
}

void Comision::cmbTipoComision_Click()
{
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: cmbTipoComision_Click"), [this] {
        if (m_campos.tipoComision->currentIndex() < 0)
            return;
        if (m_campos.tipoComision->claveActual() == TipoComisionPrimerAnio) {
            m_campos.totalAnios->setText(QString());
            m_campos.totalAnios->setEnabled(false);
            m_grid->setRows(2);
            m_grid->setRow(0);
            Encabezado(QStringLiteral("Año comisión"), QStringLiteral("% Prima de Tarifa"),
                       QStringLiteral("0/00 Millar SA"));
        } else {
            m_grid->setRows(1);
            // Typed only while a schedule is being entered, not on a scenario on show.
            m_campos.totalAnios->setEnabled(m_grid->isEnabled());
        }
        Numera();
    });
}

void Comision::txtTotalAnios_Change()
{
    ConCajaError(m_entorno.dialogos, QStringLiteral("Rutina: txtTotalAños_Change"), [this] {
        const auto forma = FilasPorTotal(m_campos.totalAnios->text(), m_campos.plazoPago->text());
        if (const Rechazo* r = std::get_if<Rechazo>(&forma)) {
            MuestraRechazo(m_entorno.dialogos, *r);
            if (r->campo == CampoEscenario::TotalAnios) {
                // Emptying the box runs this reaction again, which leaves only the header.
                m_campos.totalAnios->setText(QString());
                m_campos.totalAnios->setFocus();
                Numera();
            } else {
                m_campos.plazoPago->setFocus();
            }
            return;
        }
        m_grid->setRows(std::get<int>(forma) + 1);
        m_grid->setRow(0);
        Encabezado(QStringLiteral("Año comisión"), QStringLiteral("Porcentaje Prima"), QStringLiteral("Tantos suma"));
        Numera();
    });
}

void Comision::MSFlexGrid2_KeyPress(QChar tecla)
{
    // Only the value columns of the data rows take keys; the header and the years are the grid's.
    const int col = m_grid->col();
    if ((col != ColPorcentajePrima && col != ColTantosSuma) || m_grid->row() < m_grid->fixedRows())
        return;
    // A key is taken when typing on can still make a number of the grid's locale, as in a box.
    const QString texto = m_grid->text() + tecla;
    if (tecla.isSpace() || !EsInicioDeNumero(texto, m_grid->locale()))
        return;
    m_grid->setText(texto);
    Ajusta();
}

void Comision::MSFlexGrid2_GotFocus()
{
    // Coming in by Tab lands on the first value to type, not on the header or a year.
    const int fijas = m_grid->fixedRows();
    if (m_grid->rows() <= fijas || (m_grid->row() >= fijas && m_grid->col() != ColAnioComision))
        return;
    m_grid->setRow(std::max(m_grid->row(), fijas));
    m_grid->setCol(ColPorcentajePrima);
}

void Comision::RedondeaTantos()
{
    // The rate per mille is stored as a whole number, half to even: "2,5" shows "2" once left.
    for (int i = m_grid->fixedRows(); i < m_grid->rows(); ++i) {
        if (i == m_grid->row() && m_grid->col() == ColTantosSuma && m_grid->hasFocus())
            continue;
        const QString texto = m_grid->textMatrix(i, ColTantosSuma);
        const std::optional<double> valor = NumeroTecleado(texto, m_grid->locale());
        const std::optional<std::int16_t> entero = valor ? AEntero16SiCabe(*valor) : std::nullopt;
        if (entero && texto != QString::number(*entero))
            m_grid->setTextMatrix(i, ColTantosSuma, QString::number(*entero));
    }
}

void Comision::MSFlexGrid2_KeyUp(int tecla)
{
    if (tecla == Qt::Key_Backspace && m_grid->row() >= m_grid->fixedRows())
        m_grid->borraUltimoCaracter();
}

void Comision::MuestraFilas(const QList<AnioComision>& filas)
{
    m_grid->setRows(1 + int(filas.size()));
    for (int i = 0; i < filas.size(); ++i) {
        const AnioComision& a = filas.at(i);
        m_grid->setTextMatrix(i + 1, ColAnioComision, QString::number(a.anio));
        m_grid->setTextMatrix(i + 1, ColPorcentajePrima, TextoCaja(a.porcentaje, Formato::Conmutado, m_grid->locale()));
        m_grid->setTextMatrix(i + 1, ColTantosSuma, QString::number(a.tantos));
    }
    Ajusta();
}

} // namespace valvida
