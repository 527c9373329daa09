#pragma once

#include "actuarial/motor/Columnas.h"
#include "actuarial/motor/Generacion.h"
#include "actuarial/motor/Motor.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace valvida {

/*!
 * A stored scenario as a plan: its type, table, rate, commission type and schedule and its
 * terms, to be valued at any issue age. Everything the scenario calculation reads, and the
 * table's qx instead of its stored commutation columns.
 */
struct DefinicionPlan
{
    DatosEscenario escenario;             //!< as stored; its age is the scenario's own
    std::vector<FilaComision> comisiones; //!< descending commission year
    std::int16_t edadInicial = 0;         //!< the catalogue's ages: l = 1 at the first,
    std::int16_t edadFinal = 0;           //!< whole life runs to the last
    std::vector<FilaDetalle> detalle;     //!< the table's qx by ascending age
    ParametrosRescate rescate;            //!< its surrender terms
};

//! A plan at one issue age, per unit sum insured, as the scenario calculation gives it.
struct ValoresPlan
{
    std::int16_t plazoSeguro = 0; //!< n; 1 is a one-year cover by months
    std::int16_t plazoPago = 0;   //!< m, or the months covered k
    double primaNeta = 0.0;       //!< the first result row's level net premium
    double primaTarifa = 0.0;     //!< and its tariff premium
    std::vector<double> reserva;  //!< V(t) at the end of year (month) t = 0..n (0..k)
    std::vector<double> prima;    //!< premium the recursion adds at the start of year t (0 for months)
    std::vector<double> rescate;  //!< surrender value at the end of year t (0 for months)
};

//! The terms at an issue age: (n, m).
struct Plazos
{
    std::int16_t seguro = 0;
    std::int16_t pago = 0;
};

/*!
 * \brief The terms of a plan at issue age x.
 *
 * n is the scenario's, but for whole life (type 2) the catalogue's last age minus x, as the
 * scenario form derives it; m is the scenario's payment term cut to n. A one-year cover (n = 1
 * in the scenario, any type but 2) keeps its months in m. Errors 94 (an empty term or type) and 6.
 */
Plazos PlazosPorEdad(const DefinicionPlan& plan, std::int16_t edad);

/*!
 * \brief A plan valued at every issue age it is asked for, with the scenario calculation's own
 * functions (CalculaColumnas on the table's qx, then GeneraFilas), in memory.
 *
 * An age fits when x is at least the first age of the table's columns and x + n at most their
 * last, with x + 20 in the table too for a commission type other than 1 (the reference premium's
 * ages); whole life needs n of at least 2 years (a term of 1 would be read as a cover by months)
 * and a one-year cover at least one month. An age that does not fit, or whose calculation raises
 * any box (a division by zero in the reserve, an l of 0 inside the term), gives the reason as
 * text instead of values.
 * \test TestLote::tarifa
 */
class Plan
{
  public:
    explicit Plan(DefinicionPlan definicion);
    ~Plan();
    Plan(const Plan&) = delete;
    Plan& operator=(const Plan&) = delete;

    const DefinicionPlan& definicion() const { return m_definicion; }
    //! First and last age of the table's columns (its detail rows).
    std::int32_t primeraEdad() const { return m_motor.columnas.lo; }
    std::int32_t ultimaEdad() const { return m_motor.columnas.hi; }

    //! The plan at issue age x, or why it cannot be valued there (Spanish, lower case). With
    //! `soloPrimas` the premiums alone, no reserve (GeneraFilas).
    std::variant<ValoresPlan, QString> enEdad(std::int16_t edad, bool soloPrimas = false);
    //! Whether the plan fits at age x (see above; the calculation itself may still fail).
    bool cabe(std::int16_t edad) const;

  private:
    bool cabe(std::int16_t edad, Plazos plazos) const;

    DefinicionPlan m_definicion;
    std::optional<FalloMotor> m_fallo; // the first failure of the age being valued
    Motor m_motor;
    QString m_errorTabla;
};

/*!
 * \brief The reserve per unit sum insured at time s in force (years), 0 <= s < n.
 *
 * With s = k + f (k whole, 0 <= f < 1): (1 - f)(V(k) + pi(k+1)) + f V(k+1), the reserve just
 * after the premium of year k+1 moving straight to the end of that year. A one-year cover reads
 * the row of the months completed, floor(12 s) (a value within a millionth of a month below a
 * whole month counts as that month, so 0.0833333 is one month), without interpolation; past its
 * months of cover nothing is left to pay or to refund, so the reserve is 0.
 * \test TestLote::cartera (a five-year term worked by hand, a six-month cover)
 */
double ReservaEnVigor(const ValoresPlan& valores, double antiguedad);

} // namespace valvida
