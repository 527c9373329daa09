#include "actuarial/motor/Plan.h"

#include "actuarial/motor/Aritmetica.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"
#include "core/Plazos.h"

#include <algorithm>
#include <cmath>

namespace valvida {

namespace {

// A failure as the reason a plan gives: its routine, number and description on one line.
QString Motivo(const QString& rutina, const ErrorVV& e)
{
    return QStringLiteral("el cálculo da el error %1, Error:%2, %3").arg(rutina).arg(e.numero()).arg(e.descripcion());
}

} // namespace

Plazos PlazosPorEdad(const DefinicionPlan& plan, std::int16_t edad)
{
    const DatosEscenario& e = plan.escenario;
    const std::int32_t tipo = AEntero32(Valor(e.tipoSeguro));
    const std::int16_t pago = AEntero16(Valor(e.plazoPago));
    // Whole life: to the table's last age, as the scenario form derives it.
    const std::int16_t n =
        tipo == TipoVidaEntera ? PlazoVidaEntera(plan.edadFinal, edad) : AEntero16(Valor(e.plazoSeguro));
    // A one-year cover holds its months in the payment term.
    if (tipo != TipoVidaEntera && EsCoberturaMensual(n))
        return {n, pago};
    return {n, PlazoPagoCortado(pago, n)};
}

Plan::Plan(DefinicionPlan definicion)
    : m_definicion(std::move(definicion))
    , m_motor([this](const FalloMotor& f) {
        if (!m_fallo)
            m_fallo = f;
    })
{
    try {
        // The columns as the calculation builds them (sized to the catalogue's ages) and then
        // loads them back (the ages of the detail rows alone).
        const std::vector<FilaDetalle>& detalle = m_definicion.detalle;
        ColumnasConmutadas tabla;
        tabla.dimensiona(m_definicion.edadInicial, m_definicion.edadFinal);
        CalculaColumnas(tabla, m_definicion.edadInicial, Valor(m_definicion.escenario.interes), detalle);
        if (detalle.empty())
            throw ErrorVV::usoNoValidoDeNull();
        ColumnasConmutadas& c = m_motor.columnas;
        c.dimensiona(EdadDetalle(detalle.front()), EdadDetalle(detalle.back()));
        for (std::int32_t x = c.lo; x <= c.hi; ++x)
            c.asignaFila(x, tabla.fila(x));
    } catch (const ErrorVV& e) {
        m_errorTabla = Motivo(QStringLiteral("Rutina: CalculaConmutados"), e);
        m_motor.columnas = ColumnasConmutadas{};
    }
}

Plan::~Plan() = default;

bool Plan::cabe(std::int16_t edad) const
{
    try {
        return cabe(edad, PlazosPorEdad(m_definicion, edad));
    } catch (const ErrorVV&) {
        return false;
    }
}

bool Plan::cabe(std::int16_t x, Plazos plazos) const
{
    const std::int32_t n = plazos.seguro;
    const bool vidaEntera = AEntero32(*m_definicion.escenario.tipoSeguro) == TipoVidaEntera;
    const bool modificada = m_definicion.escenario.tipoComision.value_or(1.0) != 1.0;
    if (!m_errorTabla.isEmpty() || n < (vidaEntera ? 2 : 1) || (EsCoberturaMensual(n) && plazos.pago < 1))
        return false;
    return CabeEnTabla(x, n, modificada, primeraEdad(), ultimaEdad());
}

std::variant<ValoresPlan, QString> Plan::enEdad(std::int16_t edad, bool soloPrimas)
{
    if (!m_errorTabla.isEmpty())
        return m_errorTabla;
    const QString rutina = QStringLiteral("Funcion: fGeneraResultado");
    ValoresPlan valores;
    try {
        const Plazos plazos = PlazosPorEdad(m_definicion, edad);
        if (!cabe(edad, plazos))
            return QStringLiteral("el plan no cabe en la tabla de mortalidad (edades %1 a %2)")
                .arg(primeraEdad())
                .arg(ultimaEdad());
        valores.plazoSeguro = plazos.seguro;
        valores.plazoPago = plazos.pago;
        DatosEscenario datos = m_definicion.escenario;
        datos.edad = edad;
        datos.plazoSeguro = plazos.seguro;
        datos.plazoPago = plazos.pago;
        m_fallo.reset();
        GeneraFilas(
            m_motor, datos, m_definicion.comisiones,
            [&](const FilaResultado& fila) {
                if (valores.reserva.empty()) {
                    valores.primaNeta = fila.primaNeta;
                    valores.primaTarifa = fila.primaTarifa;
                }
                valores.reserva.push_back(fila.reserva);
                valores.rescate.push_back(fila.garantia.rescate);
            },
            m_definicion.rescate, soloPrimas);
    } catch (const ErrorVV& e) {
        return Motivo(rutina, e);
    }
    // The failures of the calculation are kept, not shown: the first is the reason for this age.
    if (m_fallo)
        return Motivo(m_fallo->rutina, m_fallo->error);
    if (!soloPrimas)
        valores.prima = m_motor.aPrima;
    return valores;
}

double ReservaEnVigor(const ValoresPlan& valores, double antiguedad)
{
    // Whole months and years by truncation, which is floor from 0 on and needs no library call.
    if (valores.plazoSeguro == 1) {
        const double meses = 12.0 * antiguedad + 1e-6;
        if (!(meses >= 0.0) || meses >= static_cast<double>(valores.reserva.size()))
            return 0.0;
        return valores.reserva[static_cast<std::size_t>(meses)];
    }
    const auto k = static_cast<std::size_t>(antiguedad);
    const double f = antiguedad - static_cast<double>(k);
    return (1.0 - f) * (valores.reserva.at(k) + valores.prima.at(k + 1)) + f * valores.reserva.at(k + 1);
}

} // namespace valvida
