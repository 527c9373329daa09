#include "actuarial/motor/Proyeccion.h"

#include <algorithm>
#include <cmath>

namespace valvida {

double CurvaTipos::tipo(double tau) const
{
    if (tipos.empty())
        return 0.0;
    if (tau <= 1.0)
        return tipos.front();
    const auto k = static_cast<std::size_t>(std::floor(tau));
    if (k >= tipos.size())
        return tipos.back();
    const double peso = tau - static_cast<double>(k);
    return tipos[k - 1] + peso * (tipos[k] - tipos[k - 1]);
}

double CurvaTipos::descuento(double tau) const
{
    return std::pow(1.0 + tipo(tau) / 100.0, -tau);
}

double HipotesisProyeccion::q(std::int32_t edad) const
{
    const std::int64_t i = std::int64_t{edad} - primeraEdad;
    if (i < 0 || i >= static_cast<std::int64_t>(qx.size()))
        return 1.0;
    return std::min(1.0, porcentajeMortalidad / 100.0 * qx[static_cast<std::size_t>(i)]);
}

double HipotesisProyeccion::tasaCaida(std::int32_t anio) const
{
    if (caida.empty() || anio < 1)
        return 0.0;
    return caida[static_cast<std::size_t>(std::min<std::int64_t>(anio, std::ssize(caida) - 1))];
}

double PlanProyeccion::porcentajeComision(std::int32_t anio) const
{
    if (comision.size() < 2 || anio < 1)
        return 0.0;
    return comision[static_cast<std::size_t>(std::min<std::int64_t>(anio, std::ssize(comision) - 1))];
}

double PlanProyeccion::tantosAnio(std::int32_t anio) const
{
    return anio >= 1 && anio < std::ssize(tantos) ? tantos[static_cast<std::size_t>(anio)] : 0.0;
}

std::int32_t AniosProyeccion(const PlanProyeccion& plan, std::int32_t k)
{
    return plan.n - k + (plan.tipo == 2 ? 1 : 0);
}

FactoresFraccion::FactoresFraccion(double fraccion, std::int32_t anios, const CurvaTipos& curva, double inflacionGastos)
    : f(fraccion)
{
    const auto tamano = static_cast<std::size_t>(std::max(anios, 0)) + 1;
    inicio.resize(tamano), fin.resize(tamano), inflacion.resize(tamano);
    for (std::size_t j = 1; j < tamano; ++j) {
        const double tau = static_cast<double>(j) - f;
        inicio[j] = curva.descuento(tau - 1.0);
        fin[j] = curva.descuento(tau);
        inflacion[j] = std::pow(1.0 + inflacionGastos / 100.0, tau - 1.0);
    }
}

double ProyectaPoliza(const PlanProyeccion& plan, const HipotesisProyeccion& h, const FactoresFraccion& factores,
                      double suma, double antiguedad, std::vector<FlujoAnio>* flujos)
{
    const auto k = static_cast<std::int32_t>(std::floor(antiguedad));
    const double f = factores.f;
    const std::int32_t J = AniosProyeccion(plan, k);
    if (flujos && std::ssize(*flujos) < J)
        flujos->resize(static_cast<std::size_t>(J));
    const bool muerte = plan.tipo != 4;
    const bool vencimiento = plan.tipo == 3 || plan.tipo == 4;

    double enVigor = 1.0; // S_{j-1}
    double valor = 0.0;
    for (std::int32_t j = 1; j <= J; ++j) {
        const std::int32_t anio = k + j; // the policy year
        const auto i = static_cast<std::size_t>(j);
        // The benefit of whole life runs through the table's last age, where death is certain.
        double q = plan.tipo == 2 && j == J ? 1.0 : h.q(plan.x + anio - 1);
        if (j == 1)
            q = (1.0 - f) * q / (1.0 - f * q); // only the rest of the year, deaths uniform within it

        // At the start of the year (for the first, only when it starts today).
        double primas = 0.0, gastos = 0.0, comisiones = 0.0;
        if (j >= 2 || f == 0.0) {
            if (anio <= plan.m || (plan.pagoVitalicio && j == J)) {
                primas = enVigor * plan.primaTarifa * suma;
                comisiones = primas * plan.porcentajeComision(anio) / 100.0;
                gastos = primas * h.porcentajeGastoPrima / 100.0;
            }
            comisiones += enVigor * suma * plan.tantosAnio(anio) / 1000.0;
            gastos += enVigor * h.gastoPoliza * factores.inflacion[i];
        }
        // Over the year, valued at its end.
        const double muertos = enVigor * q;
        const double vivos = enVigor - muertos;
        const double caidos = j < J ? vivos * h.tasaCaida(anio) / 100.0 : 0.0;
        const double fallecimientos = muerte ? muertos * suma : 0.0;
        const double vencimientos = vencimiento && j == J ? vivos * suma : 0.0;
        const auto t = static_cast<std::size_t>(anio);
        const double rescates = caidos * (t < plan.rescate.size() ? plan.rescate[t] : 0.0) * suma;

        const double presente = (gastos + comisiones - primas) * factores.inicio[i] +
                                (fallecimientos + vencimientos + rescates) * factores.fin[i];
        valor += presente;
        if (flujos) {
            FlujoAnio& a = (*flujos)[i - 1];
            a.primas += primas, a.fallecimientos += fallecimientos, a.vencimientos += vencimientos;
            a.rescates += rescates, a.gastos += gastos, a.comisiones += comisiones, a.valorActual += presente;
        }
        enVigor = vivos - caidos;
    }
    return valor;
}

} // namespace valvida
