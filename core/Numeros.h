#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>

namespace valvida {

/*!
 * The system's text of a number: the shortest form with at most 15 significant digits,
 * "." as decimal point, no grouping, and exponent "E" below 1E-04 or from 1E+15 on
 * (5.5 -> "5.5", 3 -> "3", 1.23e-5 -> "1.23E-05"). Used for files, statements and the command
 * line; the screen shows numbers with TextoPantalla.
 */
QString TextoNumero(double valor);

/*!
 * TextoNumero's text as bytes at `destino`, which has room for 32; returns the end of what was
 * written. For writers of many numbers that must not build a QString for each.
 */
char* EscribeTextoNumero(char* destino, double valor);

/*!
 * Each of `valores` after a comma, as EscribeTextoNumero writes it, at `destino` (room for 33
 * bytes a value); returns the end. A file's columns of numbers, written in one call.
 */
char* EscribeColumnasNumeros(char* destino, std::span<const double> valores);

/*!
 * Whether typed text reads as a number: blanks around, an optional sign, digits with at most
 * one "." and at least one digit, an optional exponent. "," is not a decimal mark; empty text
 * is not a number.
 */
bool EsNumerico(const QString& texto);

/*!
 * A number as a user types it into a box, read by the locale's rules: blanks around, an optional
 * sign, digits with the locale's own decimal mark only, an optional exponent ("e" or "E", an
 * optional sign, digits) after at least one digit. The integer part may be written whole
 * ("100000") or in the locale's groups: a first group of 1 to 3 digits, then groups of exactly
 * three, each after the group separator (under es_ES "100.000,5" is 100000.5; under C
 * "1,000,000.25"); a locale grouping with a non-breaking space takes the plain space too. Nothing
 * when the text is anything else, so a misplaced mark is never misread ("4.5" and "1.00" under
 * es_ES, "4,5" under C), or when its value is not finite ("1e400").
 */
std::optional<double> NumeroTecleado(const QString& texto, const QLocale& locale = QLocale());

/*!
 * Whether typing on at the end can still make the text a number as NumeroTecleado reads it:
 * "", "-", "4," and every number itself, finite or not; under es_ES also "100.", "1.000.00" and
 * "4.5" (it may yet be "4.500"), but not "4.5000" or "1,2.3". A box refuses keys that would leave
 * anything else.
 */
bool EsInicioDeNumero(const QString& texto, const QLocale& locale = QLocale());

//! How a number is shown on screen (TextoPantalla).
enum class Formato {
    PorUnidad, //!< premiums and reserves per unit sum insured: 8 decimals ("0,00042626")
    Dinero,    //!< sums and amounts: 2 decimals, grouped in threes ("1.234.567,89", "1.234,50")
    Entero,    //!< ages, years, terms: whole, ties to even as AEntero16 rounds ("40", "-3")
    Conmutado  //!< commutation columns: 10 significant digits ("1234,56789", "9,87654321E-05")
};

/*!
 * A number's text on screen, as the actuary reads it under the locale: its decimal mark, and for
 * Dinero its group separator between every three integer digits from four digits on (even where
 * the locale itself leaves four-digit numbers ungrouped, so a column of money reads alike).
 * Nothing else is grouped. Digits, the minus sign and the exponent are ASCII, so the text reads
 * back through NumeroTecleado under the same locale. Conmutado is TextoNumero's form at 10 digits:
 * trailing zeros dropped, the exponent "E" below 1E-04 and from 1E+10 on. A value that rounds to
 * zero shows no sign; NaN and infinities show as TextoNumero writes them. Files, statements and
 * the command line keep TextoNumero.
 */
QString TextoPantalla(double valor, Formato formato, const QLocale& locale = QLocale());

//! The number a text reads as; error 13 when it is not numeric, 6 when it is out of range.
double ANumero(const QString& texto);

//! To a 16-bit whole number, rounding half to even (4.5 -> 4, 5.5 -> 6); error 6 outside -32768..32767.
std::int16_t AEntero16(double valor);

//! The same conversion, for a check that refuses with its own message: nothing outside the range.
std::optional<std::int16_t> AEntero16SiCabe(double valor);

//! To a 32-bit whole number, rounding half to even; error 6 outside its range.
std::int32_t AEntero32(double valor);

//! To a 32-bit float, as rates and commission types reach the reserve (4.1 becomes 4.0999999...).
float AFlotante32(double valor);

//! Rounds to the given number of decimals, ties to even (1234.56785 at 4 -> 1234.5678).
double RedondeaPar(double valor, int decimales);

} // namespace valvida
