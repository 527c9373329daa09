#include "ui/FlexGrid.h"

#include "core/Numeros.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QtMath>

namespace valvida {

FlexGrid::FlexGrid(QWidget* parent)
    : QTableWidget(parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

    m_filasFijas = nuevaVistaFija();
    m_columnasFijas = nuevaVistaFija();
    m_esquinaFija = nuevaVistaFija();
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_filasFijas->horizontalScrollBar(),
            &QScrollBar::setValue);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, m_columnasFijas->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &FlexGrid::colocaFijas);
    connect(verticalHeader(), &QHeaderView::sectionResized, this, &FlexGrid::colocaFijas);
    connect(model(), &QAbstractItemModel::rowsInserted, this, &FlexGrid::colocaFijas);
    connect(model(), &QAbstractItemModel::rowsRemoved, this, &FlexGrid::colocaFijas);
    connect(model(), &QAbstractItemModel::columnsInserted, this, &FlexGrid::colocaFijas);
    connect(model(), &QAbstractItemModel::columnsRemoved, this, &FlexGrid::colocaFijas);

    setRows(2);
    setCols(2);
}

QTableView* FlexGrid::nuevaVistaFija()
{
    auto* vista = new QTableView(this);
    vista->setModel(model());
    vista->horizontalHeader()->hide();
    vista->verticalHeader()->hide();
    vista->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    vista->setFocusPolicy(Qt::NoFocus);
    vista->setSelectionMode(QAbstractItemView::NoSelection);
    vista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vista->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vista->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vista->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    vista->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    vista->setFrameShape(QFrame::NoFrame);
    vista->setWordWrap(false);
    vista->viewport()->installEventFilter(this);
    vista->hide();
    return vista;
}

void FlexGrid::colocaFijas()
{
    int altoFijo = 0;
    for (int r = 0; r < std::min(m_fixedRows, rowCount()); ++r)
        altoFijo += rowHeight(r);
    int anchoFijo = 0;
    for (int c = 0; c < std::min(m_fixedCols, columnCount()); ++c)
        anchoFijo += columnWidth(c);
    for (QTableView* vista : {m_filasFijas, m_columnasFijas, m_esquinaFija}) {
        for (int c = 0; c < columnCount(); ++c)
            vista->setColumnWidth(c, columnWidth(c));
        for (int r = 0; r < rowCount(); ++r)
            vista->setRowHeight(r, rowHeight(r));
    }
    const QRect area = viewport()->geometry();
    m_filasFijas->setGeometry(area.x(), area.y(), area.width(), std::min(altoFijo, area.height()));
    m_columnasFijas->setGeometry(area.x(), area.y(), std::min(anchoFijo, area.width()), area.height());
    m_esquinaFija->setGeometry(area.x(), area.y(), std::min(anchoFijo, area.width()),
                               std::min(altoFijo, area.height()));
    m_filasFijas->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    m_columnasFijas->verticalScrollBar()->setValue(verticalScrollBar()->value());
    m_filasFijas->setVisible(altoFijo > 0);
    m_columnasFijas->setVisible(anchoFijo > 0);
    m_esquinaFija->setVisible(altoFijo > 0 && anchoFijo > 0);
    m_filasFijas->raise();
    m_columnasFijas->raise();
    m_esquinaFija->raise();
}

bool FlexGrid::eventFilter(QObject* objeto, QEvent* evento)
{
    // A click on a fixed cell is a click on the grid. On the fixed column of a data row (a
    // record's number) it chooses that row, as a click on any of its cells does; the header
    // leaves the current cell alone.
    if (evento->type() == QEvent::MouseButtonPress) {
        for (QTableView* vista : {m_filasFijas, m_columnasFijas, m_esquinaFija}) {
            if (objeto == vista->viewport()) {
                if (isEnabled()) {
                    setFocus(Qt::MouseFocusReason);
                    const QModelIndex indice = vista->indexAt(static_cast<QMouseEvent*>(evento)->position().toPoint());
                    const int c = m_col >= m_fixedCols || m_fixedCols >= columnCount() ? m_col : m_fixedCols;
                    if (indice.isValid() && indice.row() >= m_fixedRows)
                        clicEn(indice.row(), c);
                    else
                        emit Click();
                }
                return true;
            }
        }
    }
    return QTableWidget::eventFilter(objeto, evento);
}

void FlexGrid::resizeEvent(QResizeEvent* evento)
{
    QTableWidget::resizeEvent(evento);
    colocaFijas();
}

bool FlexGrid::viewportEvent(QEvent* evento)
{
    const bool tratado = QTableWidget::viewportEvent(evento);
    // The cell area also changes without the grid's own resize, when a scroll bar comes or goes.
    if (evento->type() == QEvent::Resize)
        colocaFijas();
    return tratado;
}

void FlexGrid::setRows(int n)
{
    setRowCount(std::max(n, 0));
    completaCeldas();
    if (m_row >= rowCount())
        fijaActual(std::max(rowCount() - 1, 0), m_col);
}

void FlexGrid::setCols(int n)
{
    setColumnCount(std::max(n, 0));
    completaCeldas();
    if (m_col >= columnCount())
        fijaActual(m_row, std::max(columnCount() - 1, 0));
}

void FlexGrid::setFixedRows(int n)
{
    m_fixedRows = n;
    restyle();
    colocaFijas();
}

void FlexGrid::setFixedCols(int n)
{
    m_fixedCols = n;
    restyle();
    colocaFijas();
}

void FlexGrid::setRow(int r)
{
    if (r >= 0 && r < rowCount())
        fijaActual(r, m_col);
}

void FlexGrid::setCol(int c)
{
    if (c >= 0 && c < columnCount())
        fijaActual(m_row, c);
}

QString FlexGrid::textMatrix(int r, int c) const
{
    const QTableWidgetItem* it = item(r, c);
    return it ? it->text() : QString();
}

void FlexGrid::ponCabeceras(const QStringList& cabeceras)
{
    setRows(1);
    setRow(0);
    for (int c = 0; c < cabeceras.size(); ++c)
        setTextMatrix(0, c, cabeceras.at(c));
}

void FlexGrid::setTextMatrix(int r, int c, const QString& texto)
{
    if (r < 0 || r >= rowCount() || c < 0 || c >= columnCount())
        return;
    QTableWidgetItem* it = celda(r, c);
    it->setText(texto);
    alineaCelda(it, r, c);
}

bool FlexGrid::agregaTeclaNumerica(QChar tecla, const QString& marca)
{
    const QString texto = text();
    const bool digito = tecla >= QLatin1Char('0') && tecla <= QLatin1Char('9');
    const bool decimal = QString(tecla) == marca && !texto.contains(marca);
    if (!digito && !decimal)
        return false;
    setText(texto + tecla);
    return true;
}

bool FlexGrid::borraUltimoCaracter()
{
    QString texto = text();
    if (texto.isEmpty())
        return false;
    texto.chop(1);
    setText(texto);
    return true;
}

void FlexGrid::AddItem(const QString& fila)
{
    const int r = rowCount();
    setRowCount(r + 1);
    const QStringList piezas = fila.split(QLatin1Char('\t'));
    for (int c = 0; c < columnCount(); ++c) {
        QTableWidgetItem* it = celda(r, c);
        it->setText(c < piezas.size() ? piezas.at(c) : QString());
        alineaCelda(it, r, c);
    }
}

void FlexGrid::finCarga()
{
    ajustaColumnas();
}

void FlexGrid::setColAlignmentLeft(int c)
{
    m_izquierda.insert(c);
    restyle();
}

void FlexGrid::ajustaColumnas()
{
    if (m_cabeceraEnDosLineas)
        ajustaCabecera();
    resizeColumnsToContents();
    // The header tells a column's new width before it holds it: the fixed bands copy the widths here.
    colocaFijas();
    // A layout that gives the grid room for its columns asks for its size again.
    updateGeometry();
}

void FlexGrid::setCabeceraEnDosLineas(bool dosLineas)
{
    m_cabeceraEnDosLineas = dosLineas;
    // The headings are drawn by the fixed bands as well: all of them break the text where it is too wide.
    for (QTableView* vista : {static_cast<QTableView*>(this), m_filasFijas, m_columnasFijas, m_esquinaFija})
        vista->setWordWrap(dosLineas);
    ajustaCabecera();
    colocaFijas();
}

int FlexGrid::anchoCelda(const QString& texto) const
{
    // The text's width and the margin the item view keeps on each side of it.
    const int margen = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return qCeil(QFontMetricsF(font()).horizontalAdvance(texto)) + 2 * margen;
}

void FlexGrid::ajustaCabecera()
{
    QFont negrita = font();
    negrita.setBold(true);
    const QFontMetricsF metricas(negrita);
    const int alto =
        verticalHeader()->defaultSectionSize() + (m_cabeceraEnDosLineas ? QFontMetrics(negrita).lineSpacing() : 0);
    const int margen = anchoCelda(QString());
    for (int r = 0; r < std::min(m_fixedRows, rowCount()); ++r) {
        setRowHeight(r, alto);
        for (int c = 0; c < columnCount(); ++c) {
            QTableWidgetItem* it = celda(r, c);
            if (!m_cabeceraEnDosLineas) {
                it->setData(Qt::SizeHintRole, QVariant());
                continue;
            }
            // The break that leaves the longer line shortest; the pixel more keeps the view from
            // breaking the first line again where the measures round apart.
            const QStringList palabras = it->text().split(QLatin1Char(' '));
            qreal ancho = metricas.horizontalAdvance(it->text());
            for (int k = 1; k < palabras.size(); ++k)
                ancho = std::min(ancho, std::max(metricas.horizontalAdvance(palabras.mid(0, k).join(QLatin1Char(' '))),
                                                 metricas.horizontalAdvance(palabras.mid(k).join(QLatin1Char(' ')))));
            it->setData(Qt::SizeHintRole, QSize(qCeil(ancho) + margen + 1, alto));
        }
    }
}

void FlexGrid::setSeleccionPorFila(bool porFila)
{
    setSelectionBehavior(porFila ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    muestraActual();
}

void FlexGrid::completaCeldas()
{
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            celda(r, c);
}

QTableWidgetItem* FlexGrid::celda(int r, int c)
{
    QTableWidgetItem* it = item(r, c);
    if (!it) {
        it = new QTableWidgetItem;
        estiloCelda(it, r, c);
        setItem(r, c, it);
    }
    return it;
}

void FlexGrid::estiloCelda(QTableWidgetItem* it, int r, int c) const
{
    const bool fija = r < m_fixedRows || c < m_fixedCols;
    if (fija) {
        it->setFlags(Qt::ItemIsEnabled);
        it->setBackground(palette().button());
        QFont f = font();
        f.setBold(r < m_fixedRows);
        it->setFont(f);
    } else {
        it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        it->setBackground(QBrush());
        it->setFont(font());
    }
    alineaCelda(it, r, c);
}

void FlexGrid::alineaCelda(QTableWidgetItem* it, int r, int c) const
{
    // As a grid aligns by default: numbers to the right, text and fixed cells to the left. A number
    // is the system's text or the screen's, in the locale's marks ("0,00042626", "1.234,50").
    const bool fija = r < m_fixedRows || c < m_fixedCols;
    const bool numero = EsNumerico(it->text()) || NumeroTecleado(it->text(), locale());
    const bool izquierda = fija || m_izquierda.contains(c) || !numero;
    it->setTextAlignment((izquierda ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
}

void FlexGrid::restyle()
{
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            estiloCelda(celda(r, c), r, c);
}

bool FlexGrid::fijaActual(int r, int c, bool avisa)
{
    const bool cambia = r != m_row || c != m_col;
    m_row = r;
    m_col = c;
    muestraActual();
    if (cambia && avisa)
        emit rowColChange();
    return cambia;
}

void FlexGrid::clicEn(int r, int c)
{
    const bool cambia = fijaActual(r, c, false);
    emit Click();
    if (cambia)
        emit rowColChange();
}

void FlexGrid::muestraActual()
{
    // With the whole row chosen, its number in the fixed column shows chosen too: the fixed cells
    // take no selection, so they are painted as the selection is.
    const bool porFila = selectionBehavior() == QAbstractItemView::SelectRows;
    for (int r = m_fixedRows; r < rowCount(); ++r) {
        for (int c = 0; c < std::min(m_fixedCols, columnCount()); ++c) {
            QTableWidgetItem* it = celda(r, c);
            const bool elegida = porFila && r == m_row;
            it->setBackground(elegida ? palette().highlight() : palette().button());
            it->setForeground(elegida ? palette().highlightedText() : QBrush());
        }
    }
    if (m_row >= m_fixedRows && m_col >= m_fixedCols && m_row < rowCount() && m_col < columnCount()) {
        setCurrentCell(m_row, m_col);
    } else {
        // No data cell is current: nothing is highlighted, and the keys start again from the first one.
        clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
}

void FlexGrid::keyPressEvent(QKeyEvent* evento)
{
    const QString texto = evento->text();
    const bool navegacion = evento->key() == Qt::Key_Up || evento->key() == Qt::Key_Down ||
                            evento->key() == Qt::Key_Left || evento->key() == Qt::Key_Right ||
                            evento->key() == Qt::Key_PageUp || evento->key() == Qt::Key_PageDown ||
                            evento->key() == Qt::Key_Home || evento->key() == Qt::Key_End;
    if (navegacion) {
        // A move by keyboard becomes the grid's current cell.
        QTableWidget::keyPressEvent(evento);
        if (currentRow() >= 0 && currentColumn() >= 0)
            fijaActual(currentRow(), currentColumn());
        return;
    }
    if (evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter || evento->key() == Qt::Key_Escape ||
        evento->key() == Qt::Key_Tab || evento->key() == Qt::Key_Backtab) {
        // Enter and Escape belong to the form's default and cancel buttons.
        evento->ignore();
        return;
    }
    if (texto.size() == 1 && (texto.at(0).isPrint() || texto.at(0) == QLatin1Char('\b')))
        emit KeyPress(texto.at(0));
    evento->accept();
}

void FlexGrid::keyReleaseEvent(QKeyEvent* evento)
{
    if (!evento->isAutoRepeat())
        emit KeyUp(evento->key());
    evento->accept();
}

void FlexGrid::focusInEvent(QFocusEvent* evento)
{
    // The view may pick a current item of its own on focus; the grid's current cell stays.
    QTableWidget::focusInEvent(evento);
    muestraActual();
    emit GotFocus();
}

void FlexGrid::mousePressEvent(QMouseEvent* evento)
{
    const QModelIndex indice = indexAt(evento->position().toPoint());
    QTableWidget::mousePressEvent(evento);
    if (indice.isValid() && indice.row() >= m_fixedRows && indice.column() >= m_fixedCols) {
        clicEn(indice.row(), indice.column());
    } else {
        muestraActual();
        emit Click();
    }
}

void FlexGrid::mouseMoveEvent(QMouseEvent* evento)
{
    // A drag does not carry the highlight away from the current cell: only a click or a key moves it.
    if (evento->buttons() != Qt::NoButton) {
        evento->accept();
        return;
    }
    QTableWidget::mouseMoveEvent(evento);
}

QModelIndex FlexGrid::moveCursor(CursorAction accion, Qt::KeyboardModifiers modificadores)
{
    // The keys move among the data cells: a header is neither a record to choose nor a cell to type into.
    const QModelIndex destino = QTableWidget::moveCursor(accion, modificadores);
    if (!destino.isValid())
        return destino;
    const int r = std::max(destino.row(), m_fixedRows);
    const int c = std::max(destino.column(), m_fixedCols);
    if (r >= rowCount() || c >= columnCount())
        return QModelIndex();
    return model()->index(r, c);
}

} // namespace valvida
