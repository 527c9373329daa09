#include "core/Numeros.h"

#include "core/ErrorVV.h"

#include <QRegularExpression>

#include <algorithm>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

namespace valvida {

QString TextoNumero(double valor)
{
    char texto[32];
    return QString::fromLatin1(texto, EscribeTextoNumero(texto, valor) - texto);
}

char* EscribeTextoNumero(char* destino, double valor)
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
    // 15 significant digits as printf's %.15g writes them: trailing zeros dropped, the exponent
    // form below 1e-4 and from 1e15 on; only the exponent's letter changes, to "E".
    char* fin = std::to_chars(destino, destino + 32, valor, std::chars_format::general, 15).ptr;
    if (char* e = static_cast<char*>(std::memchr(destino, 'e', static_cast<std::size_t>(fin - destino))))
        *e = 'E';
    return fin;
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
