#include "actuarial/cartera/Cartera.h"

#include "core/Numeros.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

namespace valvida {

ResultadoCartera ValoraCartera(const QSqlDatabase& db, const QString& entrada, const QString& salida,
                               const std::function<bool(qint64 hecho, qint64 total)>& avanza)
{
    Suma reserva, primaTarifa, suma;
    // The scenarios' shares of the totals, and the reserve by whole years in force.
    struct Parte
    {
        std::int32_t escenario = 0;
        std::int64_t polizas = 0;
        Suma suma, primaTarifa, reserva;
    };
    std::vector<Parte> partes; // by the scenario's place among those read

    std::vector<Suma> porAntiguedad;
    // The lines are valued on several threads; their totals are summed here, in line order, so
    // they come out as one thread sums them.
    const Recorrido r = RecorreCarteraEnParalelo(
        db, entrada, salida, ColumnasValoradas, avanza,
        [](const PolizaLeida& p, char* c, LineaValorada& linea) {
            const ValoresPlan& valores = *p.valores;
            const double primaNeta = p.suma * valores.primaNeta;
            const double tarifa = p.suma * valores.primaTarifa;
            const double enVigor = p.suma * ReservaEnVigor(valores, p.antiguedad);
            if (!std::isfinite(primaNeta) || !std::isfinite(tarifa) || !std::isfinite(enVigor))
                throw RechazoDe(p.linea, QStringLiteral("Suma_Asegurada"),
                                QStringLiteral("da valores que se desbordan"));
            linea.importes[0] = tarifa;
            linea.importes[1] = enVigor;
            const double columnas[] = {primaNeta, tarifa, enVigor};
            return EscribeColumnasNumeros(c, columnas);
        },
        [&](std::span<const LineaValorada> lineas) {
            for (const LineaValorada& linea : lineas) {
                const double tarifa = linea.importes[0];
                const double enVigor = linea.importes[1];
                reserva.agrega(enVigor);
                primaTarifa.agrega(tarifa);
                suma.agrega(linea.suma);
                if (!std::isfinite(reserva.total()) || !std::isfinite(primaTarifa.total()) ||
                    !std::isfinite(suma.total()))
                    throw RechazoDe(linea.linea, {}, QStringLiteral("los totales de la cartera se desbordan"));
                // Each part is at most its total in size: finite when the total is.
                const auto orden = static_cast<std::size_t>(linea.ordenEscenario);
                if (orden >= partes.size())
                    partes.resize(orden + 1);
                Parte& parte = partes[orden];
                parte.escenario = linea.escenario;
                ++parte.polizas;
                parte.suma.agrega(linea.suma);
                parte.primaTarifa.agrega(tarifa);
                parte.reserva.agrega(enVigor);
                const auto anios = static_cast<std::size_t>(linea.antiguedad);
                if (anios >= porAntiguedad.size())
                    porAntiguedad.resize(anios + 1);
                porAntiguedad[anios].agrega(enVigor);
            }
        });
    ResultadoCartera resultado;
    static_cast<Recorrido&>(resultado) = r;
    if (r.estado == Recorrido::Estado::Valorada) {
        resultado.reservaTotal = reserva.total();
        resultado.primaTarifaTotal = primaTarifa.total();
        resultado.sumaAseguradaTotal = suma.total();
        for (const Parte& parte : partes) {
            if (parte.polizas > 0)
                resultado.porEscenario.push_back({parte.escenario, parte.polizas, parte.suma.total(),
                                                  parte.primaTarifa.total(), parte.reserva.total()});
        }
        std::sort(resultado.porEscenario.begin(), resultado.porEscenario.end(),
                  [](const TotalesEscenario& a, const TotalesEscenario& b) { return a.escenario < b.escenario; });
        for (const Suma& s : porAntiguedad)
            resultado.reservaPorAntiguedad.push_back(s.total());
    }
    return resultado;
}

QStringList ResumenCartera(const ResultadoCartera& resultado, bool enPantalla)
{
    // The command line prints what a script reads back; the window shows money as money.
    const auto importe = [enPantalla](double valor) {
        return enPantalla ? TextoPantalla(valor, Formato::Dinero) : TextoNumero(valor);
    };
    return {QStringLiteral("Pólizas: ") + QString::number(resultado.polizas),
            QStringLiteral("Reserva total: ") + importe(resultado.reservaTotal),
            QStringLiteral("Prima de tarifa total: ") + importe(resultado.primaTarifaTotal)};
}

} // namespace valvida
