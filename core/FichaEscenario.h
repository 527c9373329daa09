#pragma once

#include "core/Plazos.h"
#include "core/Rechazo.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace valvida {

/*!
 * Everything the scenario's workbook and report show: its row of T_Escenario with the names of
 * its table and types, its surrender terms, its commission schedule and its rows of T_Resultado
 * as the export writes them (the columns in the table's order, the rows in the order the CSV
 * gets them).
 */
struct FichaEscenario
{
    std::int32_t escenario = 0;
    double edad = 0.0;
    double sumaAsegurada = 0.0;
    std::int32_t tipoSeguro = 0;
    QString nombreTipoSeguro;
    std::int32_t tipoComision = 0;
    QString nombreTipoComision;
    double interesTecnico = 0.0; //!< percent
    std::int32_t tabla = 0;
    QString nombreTabla;
    double plazoSeguro = 0.0;
    double plazoPago = 0.0; //!< for a one-year cover, the months covered
    QString descripcion;
    double totalAnios = 0.0;
    ParametrosRescate rescate;
    QList<AnioComision> comision;
    QStringList columnas; //!< T_Resultado's column names
    QList<QList<double>> filas;

    //! The position of a column of T_Resultado by name; -1 when there is none.
    int columna(const char* nombre) const;
    //! The level net and tariff premium per unit of the first result row (0 without rows).
    double primaNeta() const;
    double primaTarifa() const;
};

//! The scenario's sheet; ErrorVV 3021 when there is no such scenario, and when a statement fails or a value is null.
FichaEscenario LeeFichaEscenario(const QSqlDatabase& db, std::int32_t escenario);

} // namespace valvida
