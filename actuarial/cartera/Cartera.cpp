#include "actuarial/cartera/Cartera.h"

#include "core/Numeros.h"

#include <cmath>

namespace valvida {

ResultadoCartera ValoraCartera(const QSqlDatabase& db, const QString& entrada, const QString& salida,
                               const std::function<bool(qint64 hecho, qint64 total)>& avanza)
{
    Suma reserva, primaTarifa;
    const Recorrido r =
        RecorreCartera(db, entrada, salida, ColumnasValoradas, avanza, [&](const PolizaLeida& p, std::string& bytes) {
            const ValoresPlan& valores = *p.valores;
            const double primaNeta = p.suma * valores.primaNeta;
            const double tarifa = p.suma * valores.primaTarifa;
            const double enVigor = p.suma * ReservaEnVigor(valores, p.antiguedad);
            if (!std::isfinite(primaNeta) || !std::isfinite(tarifa) || !std::isfinite(enVigor))
                throw RechazoDe(p.linea, QStringLiteral("Suma_Asegurada"),
                                QStringLiteral("da valores que se desbordan"));
            reserva.agrega(enVigor);
            primaTarifa.agrega(tarifa);
            if (!std::isfinite(reserva.total()) || !std::isfinite(primaTarifa.total()))
                throw RechazoDe(p.linea, {}, QStringLiteral("los totales de la cartera se desbordan"));
            char texto[3 * 32 + 4];
            char* c = texto;
            for (double valor : {primaNeta, tarifa, enVigor}) {
                *c++ = ',';
                c = EscribeTextoNumero(c, valor);
            }
            *c++ = '\n';
            p.copia(bytes);
            bytes.append(texto, static_cast<std::size_t>(c - texto));
        });
    ResultadoCartera resultado;
    static_cast<Recorrido&>(resultado) = r;
    if (r.estado == Recorrido::Estado::Valorada) {
        resultado.reservaTotal = reserva.total();
        resultado.primaTarifaTotal = primaTarifa.total();
    }
    return resultado;
}

QStringList ResumenCartera(const ResultadoCartera& resultado)
{
    return {QStringLiteral("Pólizas: ") + QString::number(resultado.polizas),
            QStringLiteral("Reserva total: ") + TextoNumero(resultado.reservaTotal),
            QStringLiteral("Prima de tarifa total: ") + TextoNumero(resultado.primaTarifaTotal)};
}

} // namespace valvida
