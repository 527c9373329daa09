#pragma once

#include <QSqlDatabase>
#include <QString>

#include <cstdint>

namespace valvida {

/*!
 * \brief Stores a yield curve from a comma-separated file of lines "Plazo,Tipo" (spot rates in
 * percent, annual compounding), under the largest curve number + 1, with its description and
 * date, in one transaction; returns its number.
 *
 * A first line whose maturity is no number is a header and is skipped. Maturities are 1, 2, ...
 * in order, without gaps; a rate is a finite number above -100. A refusal names its line and
 * field ("Línea 3, campo Plazo: debe ser 3"); nothing is stored. Errors of the file as for a
 * mortality table (LeeLineasArchivo), of the store as ErrorVV.
 */
std::int32_t ImportaCurva(const QSqlDatabase& db, const QString& archivo, const QString& descripcion,
                          const QString& fecha);

} // namespace valvida
