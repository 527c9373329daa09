#include "core/Numeros.h"

#include "core/ErrorVV.h"

#include <QRegularExpression>

#include <cfenv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>

namespace valvida {

QString TextoNumero(double valor)
{
    if (valor == 0.0)
        return QStringLiteral("0");
    if (!std::isfinite(valor))
        return QString::number(valor);
    // %.15g rounds to 15 significant digits, drops trailing zeros and switches to the exponent
    // form below 1e-4 and from 1e15 on, which is the system's rule; only the letter changes.
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15G", valor);
    // snprintf writes the decimal mark of LC_NUMERIC, which Qt sets from the user's locale ("4,5"
    // under es_ES); statements, files and lists always take the point.
    QString texto = QString::fromLatin1(buffer);
    const QString marca = QString::fromLocal8Bit(std::localeconv()->decimal_point);
    if (!marca.isEmpty() && marca != QLatin1String("."))
        texto.replace(marca, QStringLiteral("."));
    return texto;
}

bool EsNumerico(const QString& texto)
{
    static const QRegularExpression patron(
        QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
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

std::int16_t AEntero16(double valor)
{
    if (!std::isfinite(valor))
        throw ErrorVV::desbordamiento();
    const double r = RedondeoEntero(valor);
    if (r < -32768.0 || r > 32767.0)
        throw ErrorVV::desbordamiento();
    return static_cast<std::int16_t>(r);
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
