#pragma once

#include "actuarial/almacen/Resultados.h"

#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>

namespace valvida {

//! One line of a chart: its legend and one point per result row (x = position of the row, from 0).
struct SerieGrafico
{
    QString leyenda;
    QList<QPointF> puntos;
};

//! What a chart shows, ready to be installed: title, category-axis title and labels, series.
struct DatosGrafico
{
    QString titulo;
    QString tituloEje;
    //! One label per point, in the order of the rows.
    QStringList etiquetas;
    QList<SerieGrafico> series;
};

/*!
 * Category label of a point: the attained age, or for a one-year cover (rows are months) the
 * age, "," and the month counted from 0 (40,0 40,1 ...).
 */
QString EtiquetaEdad(double edadAlcanzada, bool porMeses, int indice);

//! The premium chart "Primas": risk, level net and tariff premium.
DatosGrafico DatosPrimas(const QList<FilaGrafico>& filas, bool porMeses);

//! The reserve chart "Reservas": the mathematical reserve and the surrender value.
DatosGrafico DatosReservas(const QList<FilaGrafico>& filas, bool porMeses);

/*!
 * Which points carry a visible label when the axis has room for at most `maximo`: every
 * 1, 2, 5, 10, 20, 50... points, the smallest step that fits, always from the first point, so a
 * long term shows its ages at round intervals instead of a smear of overlapping labels.
 */
int PasoEtiquetas(int puntos, int maximo);

} // namespace valvida
