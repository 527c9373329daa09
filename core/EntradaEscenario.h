#pragma once

#include "core/Numeros.h"
#include "core/Plazos.h"
#include "core/Rechazo.h"
#include "core/TablasMortalidad.h"

#include <QList>
#include <QLocale>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <variant>

namespace valvida {

//! A scenario as the form holds it: the boxes' texts as typed and the keys of the three lists.
struct EntradaEscenario
{
    QString edad;
    QString sumaAsegurada;
    QString interesTecnico;
    QString plazoSeguro;
    QString plazoPago;
    QString totalAnios;
    QString descripcion;
    std::int32_t tabla = 0;
    std::int32_t tipoSeguro = 0;
    std::int32_t tipoComision = 0;
    //! The schedule's data rows as the grid holds them: year, percentage, rate per mille.
    QList<QStringList> comision;
    //! The surrender charge in percent and the first year of surrender, as typed.
    QString penalizacionRescate = QStringLiteral("0");
    QString anioRescate = QStringLiteral("2");
};

//! A scenario that passed every check, typed as the store keeps it.
struct EscenarioValido
{
    std::int16_t edad = 0;
    double sumaAsegurada = 0.0;
    std::int32_t tipoSeguro = 0;
    std::int32_t tipoComision = 0;
    double interesTecnico = 0.0;
    std::int32_t tabla = 0;
    std::int16_t plazoSeguro = 0;
    std::int16_t plazoPago = 0;
    QString descripcion;
    std::int16_t totalAnios = 0;
    QList<AnioComision> comision;
    ParametrosRescate rescate;
};

//! A typed number (NumeroTecleado) as a 16-bit whole number, half to even.
std::optional<std::int16_t> EnteroTecleado(const QString& texto, const QLocale& locale = QLocale());

//! The largest sum insured: amounts show to the cent, and up to a trillion that is at most 15
//! significant digits, all of which a double keeps.
constexpr double SumaAseguradaMaxima = 1e12;

/*!
 * A stored number as a box (or a schedule's cell) shows it, to be read back and edited: its text on
 * screen (TextoPantalla) when that reads back under the locale (NumeroTecleado) as the very number,
 * else the shortest text that does, with the locale's decimal mark and no grouping (under es_ES
 * 2000 as Dinero is "2.000,00", 1000.555 is "1000,555").
 */
QString TextoCaja(double valor, Formato formato, const QLocale& locale = QLocale());

/*!
 * The checks of a save, in order; the first failure is the refusal (warning icon unless the
 * schedule's own check fails, critical icon):
 * each of interest, payment term, insurance term, sum insured and age empty ("... no puede ser
 * nulo"), the description empty; those five not a finite number, and age and terms outside the
 * 16-bit range once rounded half to even; payment term above the insurance term (but for a
 * one-year cover), months of a one-year cover outside 1..12, interest outside 0..100; an
 * insurance term, or a payment term in years, below 1; the sum insured not above 0 or above
 * 1,000,000,000,000 (`SumaAseguradaMaxima`); the table missing, the age below its first age, age
 * plus insurance term beyond its last age (the columns end there), for a commission type other
 * than 1 age plus 20 beyond it (`CabeEnTabla`); the surrender charge empty, not a number or
 * outside 0..100, the first year of surrender empty, not a number or, rounded half to even,
 * outside 1..99; the schedule (`ValidaComision`), then its total of years (`TotalAniosGuardado`).
 * Terms, age and the first year of surrender are compared as the whole numbers that are stored
 * and computed.
 */
std::variant<Rechazo, EscenarioValido> CompruebaEscenario(const EntradaEscenario& entrada,
                                                          const std::optional<EdadesTabla>& edades,
                                                          const QLocale& locale = QLocale());

//! A stored scenario: its number.
struct EscenarioGuardado
{
    std::int32_t numero = 0;
};

/*!
 * Stores the scenario under the largest number + 1, with its schedule and its surrender terms
 * (T_Garantia), in one transaction: all or nothing. An error of the store is an ErrorVV and leaves
 * nothing behind.
 */
EscenarioGuardado GuardaEscenario(const QSqlDatabase& db, const EscenarioValido& escenario);

/*!
 * The scenario list's statement: number, age, sum insured, insurance type, commission type,
 * interest, table (descriptions for the three keys), both terms and description, by number.
 * `uno` adds a "?" for one scenario's number.
 */
QString ConsultaEscenarios(bool uno = false);

//! A stored scenario with its schedule (in stored order) and its surrender terms, as the form
//! shows it; nothing when there is no such scenario. A missing total of years reads 0.
std::optional<EscenarioValido> LeeEscenarioGuardado(const QSqlDatabase& db, std::int32_t escenario);

//! A scenario's surrender terms as stored, or the defaults when it has no row; ErrorVV when the statement fails.
ParametrosRescate LeeParametrosRescate(const QSqlDatabase& db, std::int32_t escenario);

} // namespace valvida
