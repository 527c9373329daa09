#pragma once

#include "actuarial/cartera/Cartera.h"
#include "core/Archivos.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <cstdint>
#include <vector>

namespace valvida {

//! A row of the portfolio's summary: one scenario, or the total (scenario 0, no description).
struct FilaCuadroCartera
{
    std::int32_t escenario = 0;
    QString descripcion;
    std::int64_t polizas = 0;
    double sumaAsegurada = 0.0;
    double primaTarifa = 0.0;
    double reserva = 0.0;
};

//! What the summary of a valued portfolio shows: its files, a row per scenario and the total, and
//! the reserve by whole years in force.
struct CuadroCartera
{
    QString entrada;
    QString salida;
    QList<FilaCuadroCartera> filas;
    FilaCuadroCartera total;
    std::vector<double> reservaPorAntiguedad;
};

//! The summary of a valuation, with each scenario's description from the store; ErrorVV when a statement fails.
CuadroCartera LeeCuadroCartera(const QSqlDatabase& db, const ResultadoCartera& resultado, const QString& entrada,
                               const QString& salida);

/*!
 * Writes the summary whole or not at all (ArchivoAtomico, Libro), never over a `protegido`.
 * A workbook when the name ends in ".xlsx": sheet "Resumen" with the files, the grid by scenario
 * and its total, money as money, and the reserve by whole years in force with its column chart.
 * Otherwise CSV in UTF-8: "Escenario,Descripcion,Polizas,Suma_Asegurada,Prima_Tarifa_Anual,Reserva",
 * a line per scenario and a last line "Total" with an empty description; numbers as TextoNumero
 * writes them, a description kept from being read as a formula and quoted when it holds a comma.
 */
void EscribeCuadroCartera(const CuadroCartera& cuadro, const QString& archivo,
                          const std::vector<Protegido>& protegidos);

} // namespace valvida
