#include "core/Numeros.h"

#include "core/ErrorVV.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <bit>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <string_view>

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

namespace valvida {

QString TextoNumero(double valor)
{
    char texto[32];
    return QString::fromLatin1(texto, EscribeTextoNumero(texto, valor) - texto);
}

namespace {

__extension__ typedef unsigned __int128 Entero128;

// 10^k for k = 0..19, the powers of ten a 64-bit word holds.
constexpr auto Potencias10 = [] {
    std::array<std::uint64_t, 20> p{};
    p[0] = 1;
    for (std::size_t k = 1; k < p.size(); ++k)
        p[k] = p[k - 1] * 10;
    return p;
}();

constexpr std::uint64_t Diez14 = 100000000000000;
constexpr std::uint64_t Diez15 = 1000000000000000;

// The usual values, 2^-11 <= |valor| < 2^49 (below 10^15), by their biased binary exponent: the
// decimal exponent of the smallest mantissa, and the mantissa from which it is one more.
constexpr int PrimerSesgado = 1012;
constexpr int UltimoSesgado = 1072;
struct Decada
{
    int decimal;
    std::uint64_t umbral;
};
constexpr auto PorExponente = [] {
    std::array<Decada, UltimoSesgado - PrimerSesgado> t{};
    for (std::size_t i = 0; i < t.size(); ++i) {
        const int d = 1075 - PrimerSesgado - static_cast<int>(i); // |valor| = m 2^-d, 4 <= d <= 63
        // The least m with m 2^-d >= 10^j.
        const auto umbral = [d](int j) {
            if (j >= 0)
                return Entero128{Potencias10[static_cast<std::size_t>(j)]} << d;
            const Entero128 q = Potencias10[static_cast<std::size_t>(-j)];
            return ((Entero128{1} << d) + q - 1) / q;
        };
        int decimal = -5;
        while (umbral(decimal + 1) <= Entero128{1} << 52)
            ++decimal;
        t[i] = {decimal, static_cast<std::uint64_t>(std::min(umbral(decimal + 1), Entero128{1} << 53))};
    }
    return t;
}();

// The 15 significant digits of |valor| rounded to nearest, and the decimal exponent of the first:
// |valor| is about cifras 10^(exponente - 14). Exact: |valor| = m 2^-d, and m 10^k (k <= 22) fits
// in 128 bits, so the dropped part is compared with a half exactly. False for a value outside
// 1e-8..1e15, whose scale does not fit, and for an exact tie, whose rounding is left to to_chars.
// Any value; Cifras15 takes the usual ones without it.
[[gnu::noinline]] bool Cifras15General(double valor, std::uint64_t& cifras, int& exponente)
{
    // 10^j for j = -8..15, to tell floor(log10 |valor|) from the binary exponent's estimate.
    static constexpr double Decadas[] = {1e-8, 1e-7, 1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,  1e3,
                                         1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const auto bits = std::bit_cast<std::uint64_t>(valor) & ~(std::uint64_t{1} << 63);
    const auto sesgado = static_cast<int>(bits >> 52);
    // Below 2^-27 or from 2^50 on: zero, subnormals, infinities and NaN among them.
    if (sesgado < 1023 - 27 || sesgado >= 1023 + 50)
        return false;
    const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int d = 1075 - sesgado; // 3 <= d <= 79
    // floor(log10 |valor|): log2 |valor| times log10 2 (1233 / 4096) is it or one less; the
    // comparison with an inexact power of ten may still miss by one, which the scaled digits show.
    int decimal = ((sesgado - 1023) * 1233) >> 12;
    decimal += std::fabs(valor) >= Decadas[decimal + 9] ? 1 : 0;
    for (int intento = 0; intento < 3; ++intento) {
        const int k = 14 - decimal;
        if (k < 0 || k > 22)
            return false;
        // m 10^k as two products of 64 bits: m 10^3 stays below 2^63.
        const std::uint64_t factor = k > 19 ? m * Potencias10[static_cast<std::size_t>(k - 19)] : m;
        const Entero128 escalado = Entero128{factor} * Potencias10[static_cast<std::size_t>(std::min(k, 19))];
        const auto entero = static_cast<std::uint64_t>(escalado >> d);
        if (entero >= Diez15 || entero < Diez14) {
            decimal += entero >= Diez15 ? 1 : -1;
            continue;
        }
        // The dropped bits against a half: in one word for the usual scales (d < 64).
        bool arriba = false;
        if (d < 64) {
            const std::uint64_t resto = static_cast<std::uint64_t>(escalado) & ((std::uint64_t{1} << d) - 1);
            const std::uint64_t mitad = std::uint64_t{1} << (d - 1);
            if (resto == mitad)
                return false;
            arriba = resto > mitad;
        } else {
            const Entero128 resto = escalado - (Entero128{entero} << d);
            const Entero128 mitad = Entero128{1} << (d - 1);
            if (resto == mitad)
                return false;
            arriba = resto > mitad;
        }
        cifras = entero + (arriba ? 1 : 0);
        exponente = decimal;
        if (cifras == Diez15) {
            cifras = Diez14;
            ++exponente;
        }
        return true;
    }
    return false;
}

// Cifras15General's digits, the usual values (PorExponente) without its search for the exponent.
[[gnu::always_inline]] inline bool Cifras15(double valor, std::uint64_t& cifras, int& exponente)
{
    const auto bits = std::bit_cast<std::uint64_t>(valor) & ~(std::uint64_t{1} << 63);
    const auto sesgado = static_cast<int>(bits >> 52);
    if (sesgado < PrimerSesgado || sesgado >= UltimoSesgado)
        return Cifras15General(valor, cifras, exponente);
    const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int d = 1075 - sesgado;
    // The decimal exponent from the table, exact; m 10^k in one product (k <= 18), its
    // dropped bits (d < 64) in the low word.
    const Decada& decada = PorExponente[static_cast<std::size_t>(sesgado - PrimerSesgado)];
    const int decimal = decada.decimal + (m >= decada.umbral ? 1 : 0);
    const Entero128 escalado = Entero128{m} * Potencias10[static_cast<std::size_t>(14 - decimal)];
    const auto alto = static_cast<std::uint64_t>(escalado >> 64);
    const auto bajo = static_cast<std::uint64_t>(escalado);
    const std::uint64_t resto = bajo & ((std::uint64_t{1} << d) - 1);
    const std::uint64_t mitad = std::uint64_t{1} << (d - 1);
    if (resto == mitad)
        return false;
    cifras = (alto << (64 - d) | bajo >> d) + (resto > mitad ? 1 : 0);
    exponente = decimal;
    if (cifras == Diez15) {
        cifras = Diez14;
        ++exponente;
    }
    return true;
}

// The eight decimal digits of n < 10^8 as ASCII in one word, the first in its lowest byte: the
// two halves of four digits, each split into pairs, each pair into digits, all lanes at once.
[[maybe_unused, gnu::always_inline]] inline std::uint64_t OchoCifras(std::uint32_t n)
{
    static_assert(std::endian::native == std::endian::little, "the digits are laid out lowest byte first");
    const std::uint64_t cuartetos = n / 10000 | std::uint64_t{n % 10000} << 32;
    const std::uint64_t centenas = (cuartetos * 10486 >> 20) & 0x0000007F0000007F; // v / 100 below 10^4
    const std::uint64_t pares = centenas | (cuartetos - centenas * 100) << 16;
    const std::uint64_t decenas = (pares * 103 >> 10) & 0x000F000F000F000F; // v / 10 below 100
    return (decenas | (pares - decenas * 10) << 8) + 0x3030303030303030;
}

// A value Cifras15 gives no digits for: zero, infinities and NaN, and the rest through to_chars.
// Apart, so the usual path stays short.
[[gnu::noinline, gnu::cold]] char* TextoPorToChars(char* destino, double valor)
{
    if (valor == 0.0) {
        *destino = '0';
        return destino + 1;
    }
    if (!std::isfinite(valor)) {
        const char* texto = std::isnan(valor) ? "nan" : (valor > 0 ? "inf" : "-inf");
        const std::size_t largo = std::strlen(texto);
        std::memcpy(destino, texto, largo);
        return destino + largo;
    }
    char* fin = std::to_chars(destino, destino + 32, valor, std::chars_format::general, 15).ptr;
    if (char* e = static_cast<char*>(std::memchr(destino, 'e', static_cast<std::size_t>(fin - destino))))
        *e = 'E';
    return fin;
}

#if defined(__SSE2__) && defined(__x86_64__)
// The eight decimal digits of n < 10^8, one in each 16-bit lane, the first lowest: n split in two
// halves of four digits, each repeated four times and divided by 1000, 100, 10 and 1 by
// multiplying by a reciprocal's high half, then each lane less ten times the one before it.
[[gnu::always_inline]] inline __m128i OchoCifrasSse2(std::uint32_t n)
{
    const __m128i valor = _mm_cvtsi32_si128(static_cast<int>(n));
    const __m128i cuatro = _mm_srli_epi64(_mm_mul_epu32(valor, _mm_set1_epi32(static_cast<int>(0xD1B71759))), 45);
    const __m128i resto = _mm_sub_epi32(valor, _mm_mul_epu32(cuatro, _mm_set1_epi32(10000)));
    const __m128i mitades = _mm_slli_epi64(_mm_unpacklo_epi16(cuatro, resto), 2);
    const __m128i repetidas =
        _mm_unpacklo_epi32(_mm_unpacklo_epi16(mitades, mitades), _mm_unpacklo_epi16(mitades, mitades));
    // 8389 / 2^23, 5243 / 2^19, 13108 / 2^17 and 2^15 / 2^15 (the halves were multiplied by 4).
    const __m128i reciprocos = _mm_setr_epi16(8389, 5243, 13108, -32768, 8389, 5243, 13108, -32768);
    const __m128i escalas = _mm_setr_epi16(1 << 7, 1 << 11, 1 << 13, -32768, 1 << 7, 1 << 11, 1 << 13, -32768);
    const __m128i cocientes = _mm_mulhi_epu16(_mm_mulhi_epu16(repetidas, reciprocos), escalas);
    return _mm_sub_epi16(cocientes, _mm_slli_epi64(_mm_mullo_epi16(cocientes, _mm_set1_epi16(10)), 16));
}
#endif

// The 15 digits of 10^14 <= cifras < 10^15 as ASCII after a '0', the first in the lowest byte:
// bytes 0 to 7 in `alto`, 8 to 15 in `bajo`.
[[gnu::always_inline]] inline void DieciseisCifras(std::uint64_t cifras, std::uint64_t& alto, std::uint64_t& bajo)
{
    const auto primeras = static_cast<std::uint32_t>(cifras / 100000000);
    const auto ultimas = static_cast<std::uint32_t>(cifras % 100000000);
#if defined(__SSE2__) && defined(__x86_64__)
    const __m128i bytes =
        _mm_add_epi8(_mm_packus_epi16(OchoCifrasSse2(primeras), OchoCifrasSse2(ultimas)), _mm_set1_epi8('0'));
    alto = static_cast<std::uint64_t>(_mm_cvtsi128_si64(bytes));
    bajo = static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(bytes, bytes)));
#else
    alto = OchoCifras(primeras);
    bajo = OchoCifras(ultimas);
#endif
}

// The text of `valor` from its 15 digits (DieciseisCifras: alto, bajo) and the decimal exponent of
// the first, as printf's %.15g writes it: trailing zeros dropped, the exponent form below 1e-4 and
// from 1e15 on, at least two exponent digits; only the exponent's letter changes, to "E".
[[gnu::always_inline]] inline char* Escribe(char* destino, double valor, std::uint64_t alto, std::uint64_t bajo,
                                            int exponente)
{
    // The 15 digits in two words, the first digit in the lowest byte: 8 in `primera`, 7 in
    // `segunda`. They are laid out there (a point put in by shifting the later digits up a byte)
    // and stored a word at a time: the bytes never go through memory twice. n digits are
    // significant, trailing zeros dropped.
    const std::uint64_t primera = alto >> 8 | bajo << 56;
    const std::uint64_t segunda = bajo >> 8;
    constexpr std::uint64_t Ceros = 0x3030303030303030;
    const auto ceros = [](std::uint64_t bytes) {
        return static_cast<int>(static_cast<unsigned>(std::countl_zero(bytes)) / 8);
    };
    const int n = bajo != Ceros ? 15 - ceros(bajo - Ceros) : 7 - ceros(alto - Ceros);
    // A word with a point after its first k bytes (k < 8), the rest a byte up, the last one lost.
    const auto punto = [](std::uint64_t bytes, int k) {
        const int b = 8 * k;
        return (bytes & ((std::uint64_t{1} << b) - 1)) | std::uint64_t{'.'} << b | (bytes >> b << 8) << b;
    };
    // The 15 digits, or with a point after the first `antes` of them (1 to 15): 16 bytes.
    const auto guarda = [&](char* c, int antes) {
        std::uint64_t palabras[2] = {primera, segunda};
        if (antes > 0 && antes < 8) {
            palabras[0] = punto(primera, antes);
            palabras[1] = segunda << 8 | primera >> 56;
        } else if (antes >= 8) {
            palabras[1] = punto(segunda, antes - 8);
        }
        std::memcpy(c, palabras, 16);
    };
    char* c = destino;
    if (valor < 0)
        *c++ = '-';
    // At most 1 + 5 + 16 bytes are stored, or 1 + 16 + 5 with an exponent: within the 32 given.
    if (exponente >= 0 && exponente < 15) {
        if (n > exponente + 1) {
            guarda(c, exponente + 1);
            c += n + 1;
        } else {
            guarda(c, 0);
            c += exponente + 1;
        }
    } else if (exponente < 0 && exponente >= -4) {
        std::memcpy(c, "0.000", 5);
        c += 1 - exponente;
        guarda(c, 0);
        c += n;
    } else {
        guarda(c, n > 1 ? 1 : 0);
        c += n > 1 ? n + 1 : 1;
        *c++ = 'E';
        *c++ = exponente < 0 ? '-' : '+';
        const int absoluto = std::abs(exponente);
        if (absoluto >= 100)
            *c++ = static_cast<char>('0' + absoluto / 100);
        *c++ = static_cast<char>('0' + absoluto / 10 % 10);
        *c++ = static_cast<char>('0' + absoluto % 10);
    }
    return c;
}

} // namespace

char* EscribeTextoNumero(char* destino, double valor)
{
    // The digits from Cifras15, or from to_chars where it gives none.
    std::uint64_t cifras = 0;
    int exponente = 0;
    if (!Cifras15(valor, cifras, exponente))
        return TextoPorToChars(destino, valor);
    std::uint64_t alto = 0;
    std::uint64_t bajo = 0;
    DieciseisCifras(cifras, alto, bajo);
    return Escribe(destino, valor, alto, bajo, exponente);
}

char* EscribeColumnasNumeros(char* destino, std::span<const double> valores)
{
    // Up to four numbers at a time: the digits of each are found beside the others', work that
    // does not wait on itself and that the processor overlaps, then they are written in turn.
    constexpr std::size_t Grupo = 4;
    while (!valores.empty()) {
        const std::size_t n = std::min(valores.size(), Grupo);
        std::uint64_t cifras[Grupo] = {};
        int exponentes[Grupo] = {};
        bool usuales[Grupo] = {};
        for (std::size_t i = 0; i < n; ++i)
            usuales[i] = Cifras15(valores[i], cifras[i], exponentes[i]);
        std::uint64_t altos[Grupo] = {};
        std::uint64_t bajos[Grupo] = {};
        for (std::size_t i = 0; i < n; ++i)
            DieciseisCifras(usuales[i] ? cifras[i] : Diez14, altos[i], bajos[i]);
        for (std::size_t i = 0; i < n; ++i) {
            *destino++ = ',';
            destino = usuales[i] ? Escribe(destino, valores[i], altos[i], bajos[i], exponentes[i])
                                 : TextoPorToChars(destino, valores[i]);
        }
        valores = valores.subspan(n);
    }
    return destino;
}

bool EsNumerico(const QString& texto)
{
    static const QRegularExpression patron(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
    return patron.match(texto).hasMatch();
}

namespace {

// Pieces of a typed number's pattern under a locale: its decimal mark, a group separator, and
// the integer part written whole ("100000") or in proper groups of three ("100.000").
struct Patron
{
    QString decimal;
    QString grupo;
    QString entero;
};

Patron PatronDe(const QLocale& locale)
{
    Patron p;
    p.decimal = QRegularExpression::escape(locale.decimalPoint());
    const QString grupo = locale.groupSeparator();
    if (grupo.isEmpty() || grupo == locale.decimalPoint()) {
        // No grouping to read: a separator that cannot match.
        p.grupo = QStringLiteral("(?!)");
    } else if (grupo.size() == 1 && grupo.at(0).isSpace()) {
        // A locale that groups with a (narrow) non-breaking space gets the plain space too: that is
        // what a keyboard types.
        p.grupo = QStringLiteral("[ \\x{00A0}\\x{202F}]");
    } else {
        p.grupo = QStringLiteral("(?:%1)").arg(QRegularExpression::escape(grupo));
    }
    p.entero = QStringLiteral("(?:[0-9]+|[0-9]{1,3}(?:%1[0-9]{3})+)").arg(p.grupo);
    return p;
}

// The whole typed number: sign (1), integer part (2), decimals after it (3) or with no integer
// part (4), exponent (5).
QRegularExpression PatronNumero(const Patron& p)
{
    return QRegularExpression(QStringLiteral("^\\s*([+-]?)(?:(%1)(?:%2([0-9]*))?|%2([0-9]+))([eE][+-]?[0-9]+)?\\s*$")
                                  .arg(p.entero, p.decimal));
}

} // namespace

std::optional<double> NumeroTecleado(const QString& texto, const QLocale& locale)
{
    const Patron p = PatronDe(locale);
    const QRegularExpressionMatch m = PatronNumero(p).match(texto);
    if (!m.hasMatch())
        return std::nullopt;
    // Rewritten the way files write it: groups gone, the point as decimal mark.
    QString entero = m.captured(2);
    entero.remove(QRegularExpression(p.grupo));
    const QString decimales = m.captured(3) + m.captured(4);
    const QString normal = m.captured(1) + (entero.isEmpty() ? QStringLiteral("0") : entero) + QLatin1Char('.') +
                           (decimales.isEmpty() ? QStringLiteral("0") : decimales) + m.captured(5);
    bool ok = false;
    const double valor = normal.toDouble(&ok);
    if (!ok || !std::isfinite(valor))
        return std::nullopt;
    return valor;
}

bool EsInicioDeNumero(const QString& texto, const QLocale& locale)
{
    const Patron p = PatronDe(locale);
    if (PatronNumero(p).match(texto).hasMatch())
        return true;
    // Unfinished: nothing yet or a sign; an integer part whose last group is still short
    // ("100.", "1.000.00" under es_ES; "4.5" may yet be "4.500"); a decimal mark with or without
    // digits after it; an exponent, which only follows a digit, still without its digits.
    static const QString inicio = QStringLiteral("^\\s*[+-]?(?:|[0-9]{1,3}(?:%1[0-9]{3})*%1[0-9]{0,2}|(?:%2)?%3[0-9]*|"
                                                 "(?:%2(?:%3[0-9]*)?|%3[0-9]+)[eE][+-]?[0-9]*)$");
    return QRegularExpression(inicio.arg(p.grupo, p.entero, p.decimal)).match(texto).hasMatch();
}

double ANumero(const QString& texto)
{
    if (!EsNumerico(texto))
        throw ErrorVV::tiposNoCoinciden();
    bool ok = false;
    const double valor = texto.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(valor))
        throw ErrorVV::desbordamiento();
    return valor;
}

namespace {

double RedondeoEntero(double valor)
{
    // nearbyint follows the current rounding mode; round-to-nearest is ties-to-even.
    const int modo = std::fegetround();
    if (modo != FE_TONEAREST)
        std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(valor);
    if (modo != FE_TONEAREST)
        std::fesetround(modo);
    return r;
}

} // namespace

std::optional<std::int16_t> AEntero16SiCabe(double valor)
{
    const double r = RedondeoEntero(valor);
    if (!std::isfinite(r) || r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return static_cast<std::int16_t>(r);
}

std::int16_t AEntero16(double valor)
{
    const std::optional<std::int16_t> entero = AEntero16SiCabe(valor);
    if (!entero)
        throw ErrorVV::desbordamiento();
    return *entero;
}

std::int32_t AEntero32(double valor)
{
    if (!std::isfinite(valor))
        throw ErrorVV::desbordamiento();
    const double r = RedondeoEntero(valor);
    if (r < -2147483648.0 || r > 2147483647.0)
        throw ErrorVV::desbordamiento();
    return static_cast<std::int32_t>(r);
}

float AFlotante32(double valor)
{
    if (std::isfinite(valor) && std::fabs(valor) > static_cast<double>(std::numeric_limits<float>::max()))
        throw ErrorVV::desbordamiento();
    return static_cast<float>(valor);
}

double RedondeaPar(double valor, int decimales)
{
    const double escala = std::pow(10.0, decimales);
    return RedondeoEntero(valor * escala) / escala;
}

QString TextoPantalla(double valor, Formato formato, const QLocale& locale)
{
    if (!std::isfinite(valor))
        return TextoNumero(valor);
    // Fixed decimals, or significant digits for commutation values; whole numbers are rounded as
    // the program's are (AEntero16), so the age shown is the one used.
    const bool conmutado = formato == Formato::Conmutado;
    const int cifrasPedidas = formato == Formato::PorUnidad ? 8 : formato == Formato::Dinero ? 2 : conmutado ? 10 : 0;
    const double mostrado = formato == Formato::Entero ? RedondeoEntero(valor) : valor;
    char texto[400] = {}; // the longest: a double's 309 integer digits, a sign, a point and 8 decimals
    const char* const fin =
        std::to_chars(texto, texto + sizeof texto, mostrado,
                      conmutado ? std::chars_format::general : std::chars_format::fixed, cifrasPedidas)
            .ptr;
    const std::string_view escrito(texto, static_cast<std::size_t>(fin - texto));
    // A value that rounds to zero shows no sign: "-0,00" in a column reads as a fault.
    const bool negativo = escrito.starts_with('-') && escrito.find_first_of("123456789") != std::string_view::npos;
    const std::string_view cifras = escrito.substr(escrito.starts_with('-') ? 1 : 0);
    // Money is grouped in threes from four integer digits on, whatever the locale's own minimum,
    // so every amount of a column reads alike.
    const std::size_t enteras = std::min(cifras.find_first_of(".e"), cifras.size());
    const QString grupo = formato == Formato::Dinero ? locale.groupSeparator() : QString();

    QString resultado = negativo ? QStringLiteral("-") : QString();
    for (std::size_t i = 0; i < cifras.size(); ++i) {
        const char c = cifras[i];
        if (c == '.')
            resultado += locale.decimalPoint();
        else
            resultado += QLatin1Char(c == 'e' ? 'E' : c);
        if (i + 1 < enteras && (enteras - i - 1) % 3 == 0)
            resultado += grupo;
    }
    return resultado;
}

} // namespace valvida
