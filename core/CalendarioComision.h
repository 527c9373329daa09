#pragma once

#include "core/Rechazo.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <variant>

namespace valvida {

//! The commission type whose schedule is one row, for policy year 1; any other type has several years.
constexpr std::int32_t TipoComisionPrimerAnio = 1;

//! Columns of a schedule row: the year, the percentage of the tariff premium, the rate per mille.
constexpr int ColAnioComision = 0;
constexpr int ColPorcentajePrima = 1;
constexpr int ColTantosSuma = 2;

/*!
 * The data rows of a schedule of several years for the total typed: none for an empty total or
 * 0. Refused when the total is not digits ("El total de años no es un número válido"), when the
 * payment term is not a number ("El plazo de pago debe ser numerico", no icon, the default
 * title, focus on the payment term), when the total passes the payment term, both rounded half
 * to even ("total de años debe ser menor o igual a Plazo de pago"), or when it is too large to
 * store ("El total de años esta fuera del rango permitido").
 */
std::variant<Rechazo, int> FilasPorTotal(const QString& total, const QString& plazoPago,
                                         const QLocale& locale = QLocale());

/*!
 * The schedule's check before a save, row by row: the year is the row's number; the percentage
 * is there, a number as typed under the locale (NumeroTecleado: "4.5" is none under es_ES),
 * within 0..100 and not above the row before's unless that one is 0; the rate per mille is there,
 * a number, a 16-bit whole number and not above the row before's unless 0. The first failure is
 * refused with the critical icon at its cell; otherwise the rows as stored, the rate per mille
 * rounded half to even (2,5 -> 2, 3,5 -> 4). No rows pass.
 */
std::variant<Rechazo, QList<AnioComision>> ValidaComision(const QList<QStringList>& celdas,
                                                          const QLocale& locale = QLocale());

/*!
 * The total of years a scenario stores, and the schedule's shape checked against it: type 1
 * stores 0 and holds one row; any other type stores the total typed or, with the box empty (a
 * copy of a scenario on show), the rows on show, at least 1, never more than the payment term
 * (`FilasPorTotal`), with exactly one row per year.
 */
std::variant<Rechazo, std::int16_t> TotalAniosGuardado(std::int32_t tipoComision, const QString& total,
                                                       const QString& plazoPago, qsizetype filas,
                                                       const QLocale& locale = QLocale());

} // namespace valvida
