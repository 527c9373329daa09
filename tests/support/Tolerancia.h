#pragma once

#include <QString>
#include <QTest>

#include <cmath>

namespace valvida::prueba {

/*!
 * Compares doubles with an absolute tolerance (results hold many zeros, where a relative
 * compare fails) and prints what was compared, both values and the difference.
 */
inline bool Cerca(double actual, double esperado, double tolerancia, const char* que, const char* archivo, int linea)
{
    const double diferencia = std::fabs(actual - esperado);
    if (diferencia <= tolerancia && std::isfinite(actual))
        return true;
    const QByteArray mensaje = QStringLiteral("%1: actual %2, esperado %3, diferencia %4 (tolerancia %5)")
                                   .arg(QString::fromLatin1(que))
                                   .arg(actual, 0, 'g', 17)
                                   .arg(esperado, 0, 'g', 17)
                                   .arg(diferencia, 0, 'g', 3)
                                   .arg(tolerancia, 0, 'g', 3)
                                   .toUtf8();
    QTest::qFail(mensaje.constData(), archivo, linea);
    return false;
}

//! A double to its last bit as text, for QCOMPARE where its fuzzy compare of doubles would forgive a difference.
inline QString Exacto(double valor)
{
    return QString::number(valor, 'g', 17);
}

} // namespace valvida::prueba

#define VV_CERCA(actual, esperado, tolerancia)                                                                         \
    do {                                                                                                               \
        if (!valvida::prueba::Cerca((actual), (esperado), (tolerancia), #actual, __FILE__, __LINE__))                  \
            return;                                                                                                    \
    } while (false)
