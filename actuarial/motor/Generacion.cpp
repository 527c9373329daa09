#include "actuarial/motor/Generacion.h"

#include "actuarial/motor/Aritmetica.h"
#include "actuarial/motor/Motor.h"
#include "core/Numeros.h"

namespace valvida {

double Valor(const std::optional<double>& campo)
{
    if (!campo)
        throw ErrorVV::usoNoValidoDeNull();
    return *campo;
}

namespace {

// A step whose ages fall outside the loaded columns is skipped: whatever it would have set
// keeps its previous value and the generation goes on.
template <typename Paso> void SaltaFueraDeTabla(Paso paso)
{
    try {
        paso();
    } catch (const ErrorVV& e) {
        if (e.numero() != ErrorVV::SubindiceFueraDeIntervalo)
            throw;
    }
}

// beta of a schedule of several years: each listed year's rate applies from the year after the
// next smaller listed year up to its own (the largest one up to the payment term m).
double BetaCalendario(const Motor& motor, const std::vector<FilaComision>& comisiones, std::int16_t x, std::int16_t m)
{
    double beta = 0.0;
    double anterior = 0.0;
    double anual = 0.0;
    bool primera = true;
    for (const FilaComision& fila : comisiones) {
        const std::int16_t B = primera ? m : AEntero16(Valor(fila.anio));
        primera = false;
        const double c = Valor(fila.porcentaje) / 100.0;
        const double A = c - anterior;
        if (B != 1) {
            SaltaFueraDeTabla([&] { anual = motor.Anualidad(x, B); });
            beta = Finito(beta + anual * A);
        } else {
            beta = beta + A;
        }
        anterior = c;
    }
    return beta;
}

} // namespace

void GeneraFilas(Motor& motor, const DatosEscenario& escenario, const std::vector<FilaComision>& comisiones,
                 const std::function<void(const FilaResultado&)>& emite, ParametrosRescate rescate, bool soloPrimas)
{
    const double edad = Valor(escenario.edad);
    const std::int16_t x = AEntero16(edad);
    const std::int16_t n = AEntero16(Valor(escenario.plazoSeguro));
    const std::int16_t m = AEntero16(Valor(escenario.plazoPago));
    const std::int32_t tipo = AEntero32(Valor(escenario.tipoSeguro));
    double P = motor.fPrimaNivelada(x, n, m, tipo);

    const FilaComision* primerAnio = nullptr;
    for (const FilaComision& fila : comisiones) {
        if (fila.anio && *fila.anio == 1.0)
            primerAnio = &fila;
    }
    if (!primerAnio)
        throw ErrorVV::sinRegistroActual();
    const double unidad = 1.0;
    const double alpha = Valor(primerAnio->tantos) * (unidad / 1000.0);

    // The reserve of row t, or the row is left out when t lies beyond the reserves.
    const auto emiteFila = [&](std::int32_t t, double edadAlcanzada, double PR, double PN, double PT,
                               const ValoresGarantizados& garantia = {}) {
        SaltaFueraDeTabla([&] { emite(FilaResultado{t, edadAlcanzada, PR, PN, PT, motor.reserva(t), garantia}); });
    };

    if (n != 1) {
        const double tipoComision = Valor(escenario.tipoComision);
        double beta = 0.0;
        if (tipoComision == 1.0) {
            double anual = 0.0;
            SaltaFueraDeTabla([&] { anual = motor.Anualidad(x, m); });
            beta = Finito(Valor(primerAnio->porcentaje) / 100.0 * anual);
        } else {
            beta = BetaCalendario(motor, comisiones, x, m);
        }
        const double PT = motor.fPrimaTarifa(P, beta, alpha, x, m);
        if (soloPrimas)
            return emite(FilaResultado{0, edad, motor.fSeguro(x, 1, 1, 1), P, PT, 0.0, {}});
        SaltaFueraDeTabla([&] { motor.DimensionaReserva(Suma16(n, 1)); });
        motor.fReserva(x, n, m, tipo, AFlotante32(Valor(escenario.interes)), AFlotante32(tipoComision));

        std::vector<ValoresGarantizados> garantias;
        try {
            garantias = CalculaGarantias(motor.columnas, x, n, m, tipo, motor.aReserva, rescate);
        } catch (const ErrorVV&) {
            garantias.clear(); // the reserve's own failure has been told
        }
        double PR = 0.0;
        for (std::int32_t t = 0; t <= n; ++t) {
            // The last row has no year of risk of its own: it repeats the one before.
            if (t < n)
                PR = motor.fSeguro(Suma16(x, static_cast<std::int16_t>(t)), 1, 1, 1);
            const auto i = static_cast<std::size_t>(t);
            emiteFila(t, edad + t, PR, P, PT, i < garantias.size() ? garantias[i] : ValoresGarantizados{});
        }
    } else {
        const std::int16_t k = m;
        const double beta = Valor(primerAnio->porcentaje) / 100.0;
        double PT = motor.fPrimaTarifa(P, beta, alpha, x, 1);
        if (!soloPrimas) {
            SaltaFueraDeTabla([&] { motor.DimensionaReserva(Suma16(k, 1)); });
            motor.fReserva(x, 1, k, tipo, AFlotante32(Valor(escenario.interes)),
                           AFlotante32(Valor(escenario.tipoComision)));
        }
        // The year's premiums for the k months covered.
        P = P * k / 12.0;
        PT = PT * k / 12.0;
        for (std::int32_t t = 0; t <= (soloPrimas ? 0 : k); ++t) {
            const double PR = motor.fSeguro(x, 1, 1, 1) * k / 12.0;
            if (soloPrimas)
                emite(FilaResultado{t, edad, PR, P, PT, 0.0, {}});
            else
                emiteFila(t, edad, PR, P, PT);
        }
    }
}

} // namespace valvida
