#include "ui/Comision.h"

#include "core/BaseDatos.h"
#include "core/Cargadores.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"
#include "ui/ComboLista.h"
#include "ui/FlexGrid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpression>

namespace valvida {

namespace {

constexpr int ColAnio = 0;
constexpr int ColPorcentaje = 1;
constexpr int ColTantos = 2;

// A total of years is a count: digits only, no sign, point or exponent.
bool EsEnteroSinSigno(const QString& texto)
{
    static const QRegularExpression patron(QStringLiteral("^[0-9]+$"));
    return patron.match(texto).hasMatch();
}

} // namespace

std::optional<std::int16_t> Entero16Campo(const QString& texto)
{
    try {
        return AEntero16(ANumero(texto));
    } catch (const ErrorVV&) {
        return std::nullopt;
    }
}

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
    // The three columns share the grid's width; the headers take two lines to fit it whole.
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_grid->setWordWrap(true);
    m_grid->setRowHeight(0, 2 * m_grid->fontMetrics().lineSpacing() + 6);

    connect(m_campos.tipoComision, &QComboBox::currentIndexChanged, this, &Comision::cmbTipoComision_Click);
    connect(m_campos.totalAnios, &QLineEdit::textChanged, this, &Comision::txtTotalAnios_Change);
    connect(m_grid, &FlexGrid::KeyPress, this, &Comision::MSFlexGrid2_KeyPress);
    connect(m_grid, &FlexGrid::KeyUp, this, &Comision::MSFlexGrid2_KeyUp);
}

void Comision::Encabezado(const QString& c0, const QString& c1, const QString& c2)
{
    m_grid->setTextMatrix(0, ColAnio, c0);
    m_grid->setTextMatrix(0, ColPorcentaje, c1);
    m_grid->setTextMatrix(0, ColTantos, c2);
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
        m_grid->setTextMatrix(i, ColAnio, QString::number(i));
}

void Comision::cmbTipoComision_Click()
{
    try {
        if (m_campos.tipoComision->currentIndex() < 0)
            return;
        if (m_campos.tipoComision->claveActual() == 1) {
            m_campos.totalAnios->setText(QString());
            m_campos.totalAnios->setEnabled(false);
            m_grid->setRows(2);
            m_grid->setRow(0);
            Encabezado(QStringLiteral("Año comisión"), QStringLiteral("% Prima de Tarifa"),
                       QStringLiteral("0/00 Millar SA"));
        } else {
            m_grid->setRows(1);
            m_campos.totalAnios->setEnabled(true);
        }
        Numera();
    } catch (const ErrorVV& e) {
        MostrarError(m_entorno.dialogos, QStringLiteral("Rutina: cmbTipoComision_Click"), e);
    }
}

void Comision::txtTotalAnios_Change()
{
    try {
        const QString total = m_campos.totalAnios->text();
        if (!total.isEmpty() && !EsEnteroSinSigno(total)) {
            // Emptying the box runs this reaction again on the empty text.
            m_campos.totalAnios->setText(QString());
            return;
        }
        // The schedule is shaped only once the sum insured is known.
        if (!EsNumerico(m_campos.sumaAsegurada->text())) {
            m_campos.sumaAsegurada->setText(QString());
            Numera();
            return;
        }
        const QString plazoPago = m_campos.plazoPago->text();
        if (!EsNumerico(plazoPago)) {
            m_entorno.dialogos.mensaje(QStringLiteral("El plazo de pago debe ser numerico"),
                                       Dialogos::Botones::Aceptar, Dialogos::Icono::Ninguno,
                                       Dialogos::TituloPredeterminado());
            m_campos.plazoPago->setFocus();
            return;
        }
        if (total != QLatin1String("0") && !total.isEmpty()) {
            // Both are rounded to whole years; a total too large for the schedule is simply larger
            // than any payment term the schedule can hold.
            const double anios = RedondeaPar(ANumero(total), 0);
            const double plazo = RedondeaPar(ANumero(plazoPago), 0);
            const std::optional<std::int16_t> filas = Entero16Campo(total);
            if (plazo < anios || !filas) {
                m_entorno.dialogos.mensaje(QStringLiteral("total de años debe ser menor o igual a Plazo de pago"),
                                           Dialogos::Botones::Aceptar, Dialogos::Icono::Exclamacion);
                m_campos.totalAnios->setText(QString());
                m_campos.totalAnios->setFocus();
                Numera();
                return;
            }
            m_grid->setRows(*filas + 1);
        } else {
            m_grid->setRows(1);
        }
        m_grid->setRow(0);
        Encabezado(QStringLiteral("Año comisión"), QStringLiteral("Porcentaje Prima"), QStringLiteral("Tantos suma"));
        Numera();
    } catch (const ErrorVV& e) {
        MostrarError(m_entorno.dialogos, QStringLiteral("Rutina: txtTotalAños_Change"), e);
    }
}

void Comision::MSFlexGrid2_KeyPress(QChar tecla)
{
    // Only the value columns of the data rows take keys; the header and the years are the grid's.
    const int col = m_grid->col();
    if ((col != ColPorcentaje && col != ColTantos) || m_grid->row() < m_grid->fixedRows())
        return;
    m_grid->agregaTeclaNumerica(tecla);
}

void Comision::MSFlexGrid2_KeyUp(int tecla)
{
    if (tecla == Qt::Key_Backspace && m_grid->row() >= m_grid->fixedRows())
        m_grid->borraUltimoCaracter();
}

bool Comision::Rechaza(int fila, int columna, const QString& mensaje)
{
    m_entorno.dialogos.mensaje(mensaje, Dialogos::Botones::Aceptar, Dialogos::Icono::Critico);
    m_grid->setRow(fila);
    m_grid->setCol(columna);
    m_grid->setFocus();
    return false;
}

bool Comision::ValidaComision()
{
    double ultimoPorcentaje = 0.0;
    double ultimoTantos = 0.0;
    for (int i = 1; i < m_grid->rows(); ++i) {
        m_grid->setRow(i);
        const QString fila = QString::number(i);
        const QString anio = m_grid->textMatrix(i, ColAnio);
        // A year emptied with Backspace, or a lone point, cannot be stored: refused by field and row.
        if (!EsNumerico(anio))
            return Rechaza(i, ColAnio, QStringLiteral("el Año comisión de la fila ") + fila + QStringLiteral(" no es numerico"));
        if (!Entero16Campo(anio))
            return Rechaza(i, ColAnio,
                           QStringLiteral("el Año comisión de la fila ") + fila + QStringLiteral(" fuera del rango permitido"));

        const QString porcentaje = m_grid->textMatrix(i, ColPorcentaje);
        if (porcentaje.isEmpty())
            return Rechaza(i, ColPorcentaje, QStringLiteral("el Porcentaje Prima para edad:") + anio + QStringLiteral(" esta vacia"));
        if (!EsNumerico(porcentaje))
            return Rechaza(i, ColPorcentaje,
                           QStringLiteral("el Porcentaje Prima de la fila ") + fila + QStringLiteral(" no es numerico"));
        const double p = ANumero(porcentaje);
        if (p < 0.0 || p > 100.0)
            return Rechaza(i, ColPorcentaje,
                           QStringLiteral("el Porcentaje Prima para edad:") + anio + QStringLiteral(" fuera del rango permitido"));
        // Non-increasing from year to year; a year at 0 lifts the limit for the next one.
        if (ultimoPorcentaje != 0.0 && p > ultimoPorcentaje)
            return Rechaza(i, ColPorcentaje, QStringLiteral("el Porcentaje Prima debe ser decreciente"));
        ultimoPorcentaje = p;

        const QString tantos = m_grid->textMatrix(i, ColTantos);
        if (tantos.isEmpty())
            return Rechaza(i, ColTantos, QStringLiteral("el Tantos suma para edad:") + anio + QStringLiteral(" esta vacia"));
        if (!EsNumerico(tantos))
            return Rechaza(i, ColTantos, QStringLiteral("el Tantos suma de la fila ") + fila + QStringLiteral(" no es numerico"));
        if (!Entero16Campo(tantos))
            return Rechaza(i, ColTantos,
                           QStringLiteral("el Tantos suma de la fila ") + fila + QStringLiteral(" fuera del rango permitido"));
        const double t = ANumero(tantos);
        if (ultimoTantos != 0.0 && t > ultimoTantos)
            return Rechaza(i, ColTantos, QStringLiteral("Tantos suma debe ser decreciente"));
        ultimoTantos = t;
    }
    return true;
}

void Comision::GuardaFilas(std::int32_t escenario)
{
    Ejecuta(m_entorno.db, QStringLiteral("delete from T_Comision where Escenario = ?"), {escenario});
    for (int i = 1; i < m_grid->rows(); ++i) {
        const int anio = AEntero16(ANumero(m_grid->textMatrix(i, ColAnio)));
        const double porcentaje = ANumero(m_grid->textMatrix(i, ColPorcentaje));
        // The rate per mille is a whole number: 2.5 is kept as 2, 3.5 as 4.
        const int tantos = AEntero16(ANumero(m_grid->textMatrix(i, ColTantos)));
        Ejecuta(m_entorno.db, QStringLiteral("insert into T_Comision values(?,?,?,?)"),
                {escenario, anio, porcentaje, tantos});
    }
}

void Comision::CargaFilas(std::int32_t escenario)
{
    m_grid->setRows(1);
    CargaFlexgrid(m_entorno,
                  QStringLiteral("Select Anio_Comision, Porcentaje_Prima, Tantos_Suma  from T_Comision where Escenario = ?"),
                  *m_grid, {escenario});
}

} // namespace valvida
