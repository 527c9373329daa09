#include "core/Curvas.h"

#include "core/BaseDatos.h"
#include "core/ErrorVV.h"
#include "core/ImportaTabla.h"
#include "core/Numeros.h"

#include <QList>
#include <QPair>

#include <cmath>

namespace valvida {

std::int32_t ImportaCurva(const QSqlDatabase& db, const QString& archivo, const QString& descripcion,
                          const QString& fecha)
{
    const QStringList lineas = LeeLineasArchivo(archivo);
    QList<QPair<int, double>> tipos;
    for (qsizetype i = 0; i < lineas.size(); ++i) {
        const QString linea = lineas.at(i);
        const auto rechazo = [i](int numero, const QString& campo, const QString& motivo) {
            return ErrorVV(numero, QStringLiteral("Línea %1, campo %2: %3").arg(i + 1).arg(campo, motivo));
        };
        const QStringList campos = SeparaCampos(linea, QStringLiteral(","));
        if (campos.size() != 2)
            throw ErrorVV(ErrorVV::SubindiceFueraDeIntervalo,
                          QStringLiteral("Línea %1: debe tener 2 campos separados por comas").arg(i + 1));
        if (i == 0 && !EsNumerico(campos.at(0)))
            continue; // a header
        const int plazo = static_cast<int>(tipos.size()) + 1;
        if (!EsNumerico(campos.at(0)) || ANumero(campos.at(0)) != plazo)
            throw rechazo(ErrorVV::SubindiceFueraDeIntervalo, QStringLiteral("Plazo"),
                          QStringLiteral("debe ser %1").arg(plazo));
        if (!EsNumerico(campos.at(1)))
            throw rechazo(ErrorVV::TiposNoCoinciden, QStringLiteral("Tipo"), QStringLiteral("no es un número"));
        double tipo = 0.0;
        try {
            tipo = ANumero(campos.at(1));
        } catch (const ErrorVV&) {
            throw rechazo(ErrorVV::Desbordamiento, QStringLiteral("Tipo"), QStringLiteral("no es un número finito"));
        }
        if (!(tipo > -100.0))
            throw rechazo(ErrorVV::Desbordamiento, QStringLiteral("Tipo"), QStringLiteral("debe ser mayor que -100"));
        tipos << qMakePair(plazo, tipo);
    }
    if (tipos.isEmpty())
        throw ErrorVV(ErrorVV::SubindiceFueraDeIntervalo, QStringLiteral("La curva no tiene plazos"));

    Transaccion t(db);
    const std::int32_t numero = NuevoNumero(db, QStringLiteral("C_Curva"), QStringLiteral("Curva"));
    Ejecuta(db, QStringLiteral("insert into C_Curva values(?, ?, ?)"), {numero, descripcion, fecha});
    for (const auto& [plazo, tipo] : tipos)
        Ejecuta(db, QStringLiteral("insert into T_Curva values(?, ?, ?)"), {numero, plazo, tipo});
    t.confirma();
    return numero;
}

} // namespace valvida
