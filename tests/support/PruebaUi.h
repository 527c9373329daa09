#pragma once

// Helpers for driving forms through their widgets in ui tests (header only: ui tests link the
// ui library, the support library does not).

#include "ui/FlexGrid.h"

#include <QApplication>
#include <QTest>

namespace valvida::prueba {

//! A real mouse click on a grid cell, as the user gives it (the grid must be shown).
inline void ClicCelda(FlexGrid* grid, int fila, int columna)
{
    QTableWidgetItem* it = grid->item(fila, columna);
    if (!it) {
        QTest::qFail("la celda no existe", __FILE__, __LINE__);
        return;
    }
    grid->scrollToItem(it);
    // The click lands on what lies on top at that point: over a fixed cell, the grid's fixed band.
    const QPoint punto = grid->viewport()->mapTo(grid, grid->visualItemRect(it).center());
    QWidget* destino = grid->childAt(punto);
    if (!destino)
        destino = grid->viewport();
    QTest::mouseClick(destino, Qt::LeftButton, Qt::NoModifier, destino->mapFrom(grid, punto));
}

//! The grid's data rows (below the fixed rows; all rows with `tambienFijas`), cells joined by "|".
inline QStringList FilasGrid(const FlexGrid* grid, bool tambienFijas = false)
{
    QStringList filas;
    for (int r = tambienFijas ? 0 : grid->fixedRows(); r < grid->rows(); ++r) {
        QStringList celdas;
        for (int c = 0; c < grid->cols(); ++c)
            celdas << grid->textMatrix(r, c);
        filas << celdas.join(QLatin1Char('|'));
    }
    return filas;
}

} // namespace valvida::prueba
