#pragma once

// The rules of the best estimate's forms: an assumption set as typed, checked and stored with its
// lapse rates; a curve's description before its import; the flows' file beside an output.
// Plain values in, refusals or stored rows out; no widgets.

#include <QList>
#include <QLocale>
#include <QSqlDatabase>
#include <QString>

#include <cstdint>
#include <optional>
#include <variant>

namespace valvida {

//! A lapse row as the grid holds it: policy year and rate in percent, as typed.
struct FilaCaidaTecleada
{
    QString anio;
    QString tasa;
};

//! The assumption form's entries: the boxes as typed, the table list's key (none when empty).
struct EntradaHipotesis
{
    QString descripcion;
    std::optional<std::int32_t> tabla;
    QString porcentajeMortalidad;
    QString gastoPoliza;
    QString porcentajeGastoPrima;
    QString inflacionGastos;
    QList<FilaCaidaTecleada> caidas;
};

//! The field a refusal sends the focus to.
enum class CampoHipotesis {
    Descripcion,
    Tabla,
    PorcentajeMortalidad,
    GastoPoliza,
    PorcentajeGastoPrima,
    InflacionGastos,
    AnioCaida,
    TasaCaida
};

//! A refused assumption set: the text of its box, its field and, for a lapse row, its index.
struct RechazoHipotesis
{
    QString mensaje;
    CampoHipotesis campo;
    int fila = -1;
};

struct FilaCaida
{
    std::int32_t anio = 0;
    double tasa = 0.0;
};

//! An assumption set as T_Hipotesis and T_Caida keep it.
struct ConjuntoHipotesis
{
    std::int32_t hipotesis = 0;
    QString descripcion;
    std::int32_t tabla = 0;
    double porcentajeMortalidad = 100.0;
    double gastoPoliza = 0.0;
    double porcentajeGastoPrima = 0.0;
    double inflacionGastos = 0.0;
    QList<FilaCaida> caidas; //!< by ascending policy year
};

/*!
 * The checks of "A&ceptar", in order, stopping at the first that fails: a description; a table
 * that the catalogue holds; the mortality percent a number above 0 and at most 1000; the expense
 * per policy a number not below 0; the expense percent 0 to 100; the inflation above -100 and at
 * most 100; then the lapse rows in order, a row with both cells empty skipped: the year a whole
 * number from 1 to 32767 above the previous row's, the rate 0 to 100. Numbers are typed numbers
 * (NumeroTecleado under `locale`). Gives the refusal, or the set to store (its number still 0).
 */
std::variant<RechazoHipotesis, ConjuntoHipotesis>
CompruebaHipotesis(const QSqlDatabase& db, const EntradaHipotesis& entrada, const QLocale& locale = QLocale());

//! The number of a new assumption set: the largest stored + 1, or 1 (NuevoNumero).
std::int32_t NuevaHipotesis(const QSqlDatabase& db);

/*!
 * Stores a checked set with its lapse rows, in one transaction, and returns its number: a new set
 * under NuevaHipotesis, or with `numero` that set's row and lapse rows replaced.
 */
std::int32_t GuardaHipotesis(const QSqlDatabase& db, const ConjuntoHipotesis& conjunto,
                             std::optional<std::int32_t> numero = std::nullopt);

//! A stored set with its lapse rows; nothing when there is no such set. ErrorVV on a null value.
std::optional<ConjuntoHipotesis> LeeConjuntoHipotesis(const QSqlDatabase& db, std::int32_t hipotesis);

//! The curve form's check before it asks for the file: the refusal's text, or nothing.
std::optional<QString> CompruebaDescripcionCurva(const QString& descripcion);

//! The yearly flows' file written beside a best estimate's output: "-flujos" before its ".csv".
QString ArchivoFlujos(const QString& salida);

} // namespace valvida
