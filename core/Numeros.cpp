#include "core/Numeros.h"

#include "core/ErrorVV.h"

#include <QRegularExpression>

#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

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

// The decimal marks a typed number may use, as a character class: the point and the locale's.
QString MarcasDecimales(const QLocale& locale)
{
    QString marcas = QStringLiteral("\\.");
    const QString propia = locale.decimalPoint();
    if (propia != QLatin1String("."))
        marcas += QRegularExpression::escape(propia);
    return QLatin1Char('[') + marcas + QLatin1Char(']');
}

} // namespace

std::optional<double> NumeroTecleado(const QString& texto, const QLocale& locale)
{
    const QString d = MarcasDecimales(locale);
    const QRegularExpression patron(QStringLiteral("^\\s*([+-]?(?:\\d+%1?\\d*|%1\\d+))([eE][+-]?\\d+)?\\s*$").arg(d));
    const QRegularExpressionMatch m = patron.match(texto);
    if (!m.hasMatch())
        return std::nullopt;
    QString normal = m.captured(1) + m.captured(2);
    normal.replace(QRegularExpression(d), QStringLiteral("."));
    bool ok = false;
    const double valor = normal.toDouble(&ok);
    if (!ok || !std::isfinite(valor))
        return std::nullopt;
    return valor;
}

bool EsInicioDeNumero(const QString& texto, const QLocale& locale)
{
    const QString d = MarcasDecimales(locale);
    // The mantissa may be unfinished; an exponent only follows a digit.
    const QRegularExpression patron(
        QStringLiteral("^\\s*[+-]?(|\\d+%1?\\d*|%1\\d*|(\\d+%1?\\d*|%1\\d+)[eE][+-]?\\d*)\\s*$").arg(d));
    return patron.match(texto).hasMatch();
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

} // namespace valvida
