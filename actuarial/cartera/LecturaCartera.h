#pragma once

#include "actuarial/motor/Plan.h"

#include <QSqlDatabase>
#include <QString>

#include <cmath>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace valvida {

//! The first line of a portfolio file.
inline const QString CabeceraCartera = QStringLiteral("Poliza,Escenario,Edad,Suma_Asegurada,Antiguedad");

//! A refused line of a portfolio: "Línea 7, campo Edad: ...".
struct RechazoLinea
{
    QString texto;
};

//! The refusal of field `campo` of line `linea` (no field: the line as a whole).
RechazoLinea RechazoDe(std::int64_t linea, const QString& campo, const QString& motivo);

/*!
 * A sum of many terms with its rounding error carried along (Neumaier), so the total of a million
 * values keeps every digit the summary shows.
 */
class Suma
{
  public:
    void agrega(double termino)
    {
        const double t = m_suma + termino;
        m_compensacion += std::fabs(m_suma) >= std::fabs(termino) ? (m_suma - t) + termino : (termino - t) + m_suma;
        m_suma = t;
    }
    double total() const { return m_suma + m_compensacion; }

  private:
    double m_suma = 0.0;
    double m_compensacion = 0.0;
};

//! A policy line read and checked: its fields, its plan at its age, its sum and time in force.
struct PolizaLeida
{
    std::int64_t linea = 0; //!< its number in the file, the header being 1
    std::string_view texto; //!< the line without its end
    std::string_view poliza;
    std::int32_t escenario = 0;
    std::int32_t ordenEscenario = 0; //!< its scenario's place among those the valuation read: 0, 1, ...
    const Plan* plan = nullptr;
    const ValoresPlan* valores = nullptr; //!< the plan at the policy's issue age
    std::int16_t edad = 0;
    double suma = 0.0;
    double antiguedad = 0.0;
};

//! The most bytes a line's valued columns may take: `valora` writes within them.
constexpr std::size_t BytesColumnas = 256;

//! How the reading of a portfolio ended.
struct Recorrido
{
    enum class Estado { Valorada, Rechazada, Cancelada };
    Estado estado = Estado::Valorada;
    QString rechazo; //!< why the file was refused: "Línea 7, campo Edad: ..."
    std::int64_t polizas = 0;
};

/*!
 * \brief Reads a portfolio file and hands each policy, checked, to `valora`, which writes the
 * line's valued columns, each after a comma, at the bytes given (BytesColumnas of room) and
 * answers their end; the output gets the header and `columnas` first, then each line as read
 * (its policy number kept from being read as a formula), its columns and its end.
 *
 * One policy a line: identifier, scenario, whole issue age x, sum insured S > 0, time in force s
 * with 0 <= s < n; each plan computed once per (scenario, age) from the stored scenario and its
 * table's qx (LeePlan, Plan). A line over 4096 bytes or with a bad field refuses the file (its
 * line number and the field's name; `valora` may refuse too, by throwing a RechazoLinea); so does
 * a cancel (`avanza`, called with the bytes read of the total after every block, answers false).
 * Only a regular file is read. The output is written whole or not at all, never over the
 * database nor over the input; files that cannot be read or written, and the store's failures,
 * are ErrorVV. `valora` is called on the calling thread, in line order.
 */
Recorrido RecorreCartera(const QSqlDatabase& db, const QString& entrada, const QString& salida, const QString& columnas,
                         const std::function<bool(qint64 hecho, qint64 total)>& avanza,
                         const std::function<char*(const PolizaLeida&, char* columnas)>& valora);

//! What a valued line leaves for the portfolio's totals.
struct LineaValorada
{
    std::int64_t linea = 0;
    std::int32_t escenario = 0;
    std::int32_t ordenEscenario = 0; //!< as PolizaLeida's: what is kept by scenario can be kept in a vector
    double suma = 0.0;
    double antiguedad = 0.0;
    double importes[2] = {}; //!< the valuation's own
};

/*!
 * \brief RecorreCartera with the lines read and valued by several threads, a block of lines each,
 * and their totals kept in line order, so every byte written and every sum is as one thread makes
 * them.
 *
 * `valora` runs on any of the threads, at once with itself: it writes the line's columns as
 * RecorreCartera's and its `importes`, and touches nothing shared. `acumula` then gets the valued
 * lines on the calling thread, a block's at a time, in line order (it may refuse a line by
 * throwing a RechazoLinea). The store is read on the calling thread only. The first refusal in
 * line order is the file's, as when read by one.
 */
Recorrido
RecorreCarteraEnParalelo(const QSqlDatabase& db, const QString& entrada, const QString& salida, const QString& columnas,
                         const std::function<bool(qint64 hecho, qint64 total)>& avanza,
                         const std::function<char*(const PolizaLeida&, char* columnas, LineaValorada&)>& valora,
                         const std::function<void(std::span<const LineaValorada>)>& acumula);

} // namespace valvida
