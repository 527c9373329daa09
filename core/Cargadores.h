#pragma once

#include "core/Numeros.h"
#include <QString>

#include <QList>
#include <QVariantList>

#include <cstdint>
#include <optional>

class QIODevice;

namespace valvida {

struct Entorno;

//! What `CargaFlexgrid` fills: a grid that takes a row from one TAB-separated text.
class ReceptorFilas
{
  public:
    virtual ~ReceptorFilas() = default;
    virtual void AddItem(const QString& fila) = 0;
    //! Called once the load ends, whether or not it failed (a grid may size its columns then).
    virtual void finCarga() {}
};

//! What `LlenaCombo` fills: a list whose items carry a 32-bit key beside their text.
class ReceptorLista
{
  public:
    virtual ~ReceptorLista() = default;
    virtual void AddItem(const QString& texto) = 0;
    //! Index of the item added last (a sorted list may have put it anywhere).
    virtual int NewIndex() const = 0;
    virtual void setItemData(int indice, std::int32_t clave) = 0;
};

//! How each column of a grid shows its numbers (TextoPantalla); a column without one, or beyond
//! the list, shows its value as stored.
using Formatos = QList<std::optional<Formato>>;

/*!
 * Appends every row of a query to a grid: the cells as text, trimmed, joined by TAB, a numeric
 * column in its screen format. A failing query or a null value shows the error box "Rutina:
 * CargaFlexgrid"; the rows before it stay in the grid.
 */
void CargaFlexgrid(Entorno& entorno, const QString& sql, ReceptorFilas& grid, const QVariantList& valores = {},
                   const Formatos& formatos = {});

/*!
 * Appends every row of a two-column query to a list: column 1 shown, column 0 as the key.
 * Errors show "Rutina: LlenaCombo"; the items before them stay.
 */
void LlenaCombo(Entorno& entorno, const QString& sql, ReceptorLista& lista, const QVariantList& valores = {});

/*!
 * Writes a query to an open file: a header line of the column names with the first row, then
 * one line per row, cells trimmed and joined by ",", every line ended by CR LF, in Windows-1252.
 * A query without rows writes nothing. Errors show "Rutina: CargaFlexgrid".
 */
void VaciaCsv(Entorno& entorno, const QString& sql, QIODevice& archivo, const QVariantList& valores = {});

} // namespace valvida
