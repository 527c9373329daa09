#pragma once

#include <QStringList>
#include <QTextStream>

namespace valvida {

// Each subcommand takes its own arguments (the words after its name) and returns the exit status.

//! crear-bd [--ejemplo] RUTA: a new database with the schema and the two catalogues, or with
//! --ejemplo the sample one (CreaBaseEjemplo); refuses an existing path.
int ComandoCrearBd(const QStringList& argumentos, QTextStream& out, QTextStream& err);

/*!
 * copiar ORIGEN DESTINO: every table of one database into a new one (a file or a server's), in one
 * transaction on the destination, each value as stored; the row counts of both sides must agree.
 * Refuses an existing destination; a failure leaves none.
 */
int ComandoCopiar(const QStringList& argumentos, QTextStream& out, QTextStream& err);

//! importar RUTA_BD ARCHIVO: a mortality table from a comma-separated file; prints the new table number.
int ComandoImportar(const QStringList& argumentos, QTextStream& out, QTextStream& err);

/*!
 * calcular RUTA_BD ESCENARIO: calculates the scenario as "&Resultado" does and prints its rows of
 * T_Resultado as CSV (the column names, then one line per row in policy-year order), only when
 * the calculation stored its results. Every error box goes to stderr and makes the status 1 (a
 * premium function's box leaves the rows printed); a non-integer ESCENARIO is a usage error (2).
 */
int ComandoCalcular(const QStringList& argumentos, QTextStream& out, QTextStream& err);

/*!
 * tarifa RUTA_BD ESCENARIO [EDAD_DESDE EDAD_HASTA]: the scenario's premiums per unit sum insured
 * at every issue age (by default every age its plan fits in the table) as CSV. An age that does
 * not fit, or whose calculation fails, is "Edad X: ..." on stderr, status 1 and no rows.
 */
int ComandoTarifa(const QStringList& argumentos, QTextStream& out, QTextStream& err);

/*!
 * cartera [--resumen ARCHIVO] RUTA_BD CARTERA.csv SALIDA.csv: values a portfolio (ValoraCartera)
 * and prints its summary; a refused line is its message on stderr, status 1 and no output file.
 * With --resumen it also writes the summary by scenario (EscribeCuadroCartera): a workbook when
 * ARCHIVO ends in ".xlsx", else CSV.
 */
int ComandoCartera(const QStringList& argumentos, QTextStream& out, QTextStream& err);

//! exportar RUTA_BD ESCENARIO ARCHIVO: the scenario, its results, table, commutation columns and
//! commission schedule in one comma-separated file, as the results form writes it; a workbook
//! (ExportaLibroEscenario) when ARCHIVO ends in ".xlsx", in any case.
int ComandoExportar(const QStringList& argumentos, QTextStream& out, QTextStream& err);

//! importar-curva RUTA_BD ARCHIVO DESCRIPCION FECHA: a yield curve from "Plazo,Tipo" lines; its number on stdout.
int ComandoImportarCurva(const QStringList& argumentos, QTextStream& out, QTextStream& err);

/*!
 * mejor-estimacion RUTA_BD CARTERA.csv HIPOTESIS CURVA SALIDA.csv [--flujos FLUJOS.csv]: the
 * best estimate of each policy and of the portfolio (ValoraMejorEstimacion); prints the number
 * of policies and the total. A refused line is its message on stderr, status 1, no file written.
 */
int ComandoMejorEstimacion(const QStringList& argumentos, QTextStream& out, QTextStream& err);

//! informe RUTA_BD ESCENARIO SALIDA.pdf: the scenario's report (InformeEscenario). Needs a
//! QGuiApplication, which main creates for this command alone.
int ComandoInforme(const QStringList& argumentos, QTextStream& out, QTextStream& err);

} // namespace valvida
