#include "core/Texto.h"

#include "core/Numeros.h"

#include <QStringDecoder>

#include <array>

namespace valvida {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; 0 marks the five unassigned bytes.
constexpr std::array<char16_t, 32> Tabla80a9F = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

QString DecodificaWindows1252(const QByteArray& bytes)
{
    QString texto;
    texto.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b <= 0x9F && Tabla80a9F[b - 0x80] != 0)
            texto.append(QChar(Tabla80a9F[b - 0x80]));
        else
            texto.append(QChar(static_cast<char16_t>(b)));
    }
    return texto;
}

} // namespace

QString DecodificaTexto(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString texto = utf8.decode(bytes);
    if (utf8.hasError())
        return DecodificaWindows1252(bytes);
    if (texto.startsWith(QChar(0xFEFF)))
        texto.remove(0, 1);
    return texto;
}

QByteArray CodificaWindows1252(const QString& texto)
{
    QByteArray bytes;
    bytes.reserve(texto.size());
    for (const QChar c : texto) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.append(static_cast<char>(u));
            continue;
        }
        char b = '?';
        for (std::size_t i = 0; i < Tabla80a9F.size(); ++i) {
            if (Tabla80a9F[i] == u && u != 0) {
                b = static_cast<char>(0x80 + i);
                break;
            }
        }
        bytes.append(b);
    }
    return bytes;
}

QString CeldaCsv(const QString& celda)
{
    if (celda.isEmpty() || !QStringLiteral("=+-@\t\r").contains(celda.front()) || EsNumerico(celda))
        return celda;
    return QLatin1Char('\'') + celda;
}

} // namespace valvida
