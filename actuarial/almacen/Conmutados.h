#pragma once

#include "actuarial/motor/Columnas.h"

#include <QSqlDatabase>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace valvida {

struct Entorno;

/*!
 * \brief Rebuilds the commutation columns of a mortality table at a technical rate (percent) in
 * T_Conmutado: the old rows of that table and rate are deleted, then one row is inserted per
 * detail row of T_DetalleMortalidad (see CalculaColumnas for the formulas). Rows of other rates
 * are left alone.
 *
 * Errors show "Rutina: CalculaConmutados" and end the routine. A failing detail row (age outside
 * the catalogue's range, empty qx) leaves no new row, and the old rows stay deleted; a failure
 * of the store (full disk, lock) leaves the table as it was. Returns whether the columns were
 * rebuilt and stored. The hourglass shows meanwhile.
 * \test TestAlmacen::conmutados
 */
bool CalculaConmutados(Entorno& entorno, std::int16_t tabla, double tasa);

//! Routine line of the commutation columns' error box.
inline const QString RutinaCalculaConmutados = QStringLiteral("Rutina: CalculaConmutados");

//! A table's mortality detail as stored, by ascending age: what its columns are built from.
std::vector<FilaDetalle> LeeFilasDetalle(const QSqlDatabase& db, std::int32_t tabla);

//! Commutation columns as T_Conmutado holds them for a table and rate: what reading them back gives.
struct ColumnasGuardadas
{
    std::int16_t tabla = 0;
    double tasa = 0.0;
    ColumnasConmutadas columnas;
};

/*!
 * The statements of CalculaConmutados, for a caller that runs them in its own unit of writing;
 * throws ErrorVV. Returns the columns as stored, over the stored ages; nothing when the store
 * wrote other rows besides them (a trigger), or none: then only reading them back tells.
 */
std::optional<ColumnasGuardadas> InsertaConmutados(const QSqlDatabase& db, std::int16_t tabla, double tasa);

} // namespace valvida
