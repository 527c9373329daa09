#pragma once

#include "core/Cargadores.h"

#include <QSet>
#include <QTableWidget>

namespace valvida {

/*!
 * The grid the forms are written against: row and column counts, fixed (header) rows and
 * columns, a current cell, cell texts, rows added from a TAB-separated text, and the events
 * click, current-cell change, key press and key release. It has no in-cell editor: forms edit
 * cells from the key events themselves.
 *
 * The current cell is the grid's own (row, col), which may be a fixed cell when code sets it;
 * every change of it, by the user or by code, emits `rowColChange`. The user moves it by a click
 * on a cell (a click on a fixed cell of a data row makes that row current) or by the arrow and
 * page keys, which stay among the data cells; a click emits `Click` first, then `rowColChange`
 * when it moved the current cell, so a form that handles both reads a click once.
 */
class FlexGrid : public QTableWidget, public ReceptorFilas
{
    Q_OBJECT

  public:
    explicit FlexGrid(QWidget* parent = nullptr);

    int rows() const { return rowCount(); }
    //! Keeps the cells of the rows that remain; new rows start empty.
    void setRows(int n);
    int cols() const { return columnCount(); }
    void setCols(int n);
    int fixedRows() const { return m_fixedRows; }
    void setFixedRows(int n);
    int fixedCols() const { return m_fixedCols; }
    void setFixedCols(int n);

    int row() const { return m_row; }
    void setRow(int r);
    int col() const { return m_col; }
    void setCol(int c);

    QString textMatrix(int r, int c) const;
    void setTextMatrix(int r, int c, const QString& texto);
    //! Only the header row left, holding these texts from the first column on.
    void ponCabeceras(const QStringList& cabeceras);
    //! Text of the current cell.
    QString text() const { return textMatrix(m_row, m_col); }
    void setText(const QString& texto) { setTextMatrix(m_row, m_col, texto); }

    /*!
     * Typing a number into the current cell, as the forms allow it: a digit, or the decimal mark
     * `marca` while the cell has none, is appended; any other key changes nothing. True when the
     * cell changed.
     */
    bool agregaTeclaNumerica(QChar tecla, const QString& marca = QStringLiteral("."));
    //! Backspace in the current cell: its last character goes. True when the cell changed.
    bool borraUltimoCaracter();

    //! A new last row whose cells take the TAB-separated pieces from column 0 on.
    void AddItem(const QString& fila) override;
    void finCarga() override;

    //! Left-aligns the cells of a column whatever they hold (numbers go right otherwise).
    void setColAlignmentLeft(int c);

    //! Sizes the columns to their contents.
    void ajustaColumnas();

    /*!
     * Lets the headings (the fixed rows) break at a space into two lines: a long heading over short
     * numbers then takes the width of its longer half ("Prima Neta" over "Nivelada"), not its whole
     * length. The fixed rows are two lines high.
     */
    void setCabeceraEnDosLineas(bool dosLineas);

    //! The width a data cell needs to show `texto` whole, for a column sized before its values come.
    int anchoCelda(const QString& texto) const;
    //! Highlights the whole current row instead of the current cell alone (a list of records).
    void setSeleccionPorFila(bool porFila);

  signals:
    void Click();
    void rowColChange();
    void KeyPress(QChar tecla);
    void KeyUp(int tecla);
    void GotFocus();

  protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    bool viewportEvent(QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void keyReleaseEvent(QKeyEvent* evento) override;
    void focusInEvent(QFocusEvent* evento) override;
    void mousePressEvent(QMouseEvent* evento) override;
    void mouseMoveEvent(QMouseEvent* evento) override;
    QModelIndex moveCursor(CursorAction accion, Qt::KeyboardModifiers modificadores) override;

  private:
    QTableWidgetItem* celda(int r, int c);
    void completaCeldas();
    void estiloCelda(QTableWidgetItem* item, int r, int c) const;
    void alineaCelda(QTableWidgetItem* item, int r, int c) const;
    void restyle();
    bool fijaActual(int r, int c, bool avisa = true);
    void clicEn(int r, int c);
    void muestraActual();
    QTableView* nuevaVistaFija();
    void colocaFijas();
    void ajustaCabecera();

    int m_fixedRows = 1;
    int m_fixedCols = 0;
    int m_row = 0;
    int m_col = 0;
    QSet<int> m_izquierda;
    bool m_cabeceraEnDosLineas = false;
    // The fixed rows and columns stay in place while the rest scrolls: views over the same
    // cells laid on the top band, the left band and the corner where they meet.
    QTableView* m_filasFijas = nullptr;
    QTableView* m_columnasFijas = nullptr;
    QTableView* m_esquinaFija = nullptr;
};

} // namespace valvida
