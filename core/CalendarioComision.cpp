#include "core/CalendarioComision.h"

#include "core/Numeros.h"

#include <QRegularExpression>

namespace valvida {

namespace {

Rechazo DelTotal(const QString& mensaje)
{
    return {mensaje, Dialogos::Icono::Exclamacion, CampoEscenario::TotalAnios};
}

Rechazo DeCelda(const QString& mensaje, int fila, int columna)
{
    return {mensaje, Dialogos::Icono::Critico, CampoEscenario::Comision, fila, columna};
}

} // namespace

std::variant<Rechazo, int> FilasPorTotal(const QString& total, const QString& plazoPago, const QLocale& locale)
{
    if (total.isEmpty())
        return 0;
    // A total of years is a count: digits only, no sign, mark or exponent.
    static const QRegularExpression digitos(QStringLiteral("^[0-9]+$"));
    if (!digitos.match(total).hasMatch())
        return DelTotal(QStringLiteral("El total de años no es un número válido"));
    const double anios = total.toDouble();
    if (anios == 0.0)
        return 0;
    const std::optional<double> plazo = NumeroTecleado(plazoPago, locale);
    if (!plazo)
        return Rechazo{QStringLiteral("El plazo de pago debe ser numerico"),
                       Dialogos::Icono::Ninguno,
                       CampoEscenario::PlazoPago,
                       0,
                       0,
                       true};
    if (RedondeaPar(*plazo, 0) < anios)
        return DelTotal(QStringLiteral("total de años debe ser menor o igual a Plazo de pago"));
    if (!AEntero16SiCabe(anios))
        return DelTotal(QStringLiteral("El total de años esta fuera del rango permitido"));
    return static_cast<int>(anios);
}

std::variant<Rechazo, QList<AnioComision>> ValidaComision(const QList<QStringList>& celdas, const QLocale& locale)
{
    QList<AnioComision> anios;
    double ultimoPorcentaje = 0.0;
    double ultimoTantos = 0.0;
    for (int i = 1; i <= celdas.size(); ++i) {
        const QStringList& c = celdas.at(i - 1);
        const QString fila = QString::number(i);
        const QString anio = c.value(ColAnioComision);
        // The years are the grid's numbering; one cut with Backspace would store a year twice or none.
        if (anio != fila)
            return DeCelda(QStringLiteral("el Año comisión de la fila ") + fila + QStringLiteral(" debe ser ") + fila,
                           i, ColAnioComision);

        const QString porcentaje = c.value(ColPorcentajePrima);
        if (porcentaje.isEmpty())
            return DeCelda(QStringLiteral("el Porcentaje Prima para edad:") + anio + QStringLiteral(" esta vacia"), i,
                           ColPorcentajePrima);
        // The grid lets through unfinished numbers ("-", "4e") and, under es_ES, a point that may
        // yet be a thousands separator ("4.5"): none is read as some other number.
        const std::optional<double> leido = NumeroTecleado(porcentaje, locale);
        if (!leido)
            return DeCelda(QStringLiteral("el Porcentaje Prima de la fila ") + fila + QStringLiteral(" no es numerico"),
                           i, ColPorcentajePrima);
        const double p = *leido;
        if (p < 0.0 || p > 100.0)
            return DeCelda(QStringLiteral("el Porcentaje Prima para edad:") + anio +
                               QStringLiteral(" fuera del rango permitido"),
                           i, ColPorcentajePrima);
        // Non-increasing from year to year; a year at 0 lifts the limit for the next one.
        if (ultimoPorcentaje != 0.0 && p > ultimoPorcentaje)
            return DeCelda(QStringLiteral("el Porcentaje Prima debe ser decreciente"), i, ColPorcentajePrima);
        ultimoPorcentaje = p;

        const QString tantos = c.value(ColTantosSuma);
        if (tantos.isEmpty())
            return DeCelda(QStringLiteral("el Tantos suma para edad:") + anio + QStringLiteral(" esta vacia"), i,
                           ColTantosSuma);
        const std::optional<double> leidos = NumeroTecleado(tantos, locale);
        if (!leidos)
            return DeCelda(QStringLiteral("el Tantos suma de la fila ") + fila + QStringLiteral(" no es numerico"), i,
                           ColTantosSuma);
        const double t = *leidos;
        const std::optional<std::int16_t> tantos16 = AEntero16SiCabe(t);
        if (!tantos16)
            return DeCelda(QStringLiteral("el Tantos suma de la fila ") + fila +
                               QStringLiteral(" fuera del rango permitido"),
                           i, ColTantosSuma);
        if (ultimoTantos != 0.0 && t > ultimoTantos)
            return DeCelda(QStringLiteral("Tantos suma debe ser decreciente"), i, ColTantosSuma);
        ultimoTantos = t;

        // The rate per mille is a whole number: 2,5 is kept as 2, 3,5 as 4.
        anios.append({static_cast<std::int16_t>(i), p, *tantos16});
    }
    return anios;
}

std::variant<Rechazo, std::int16_t> TotalAniosGuardado(std::int32_t tipoComision, const QString& total,
                                                       const QString& plazoPago, qsizetype filas, const QLocale& locale)
{
    const QString mensajeFilas = QStringLiteral("La comisión debe tener una fila por cada año: ");
    if (tipoComision == TipoComisionPrimerAnio) {
        if (filas != 1)
            return Rechazo{mensajeFilas + QStringLiteral("1"), Dialogos::Icono::Exclamacion,
                           CampoEscenario::TipoComision};
        return std::int16_t{0};
    }
    // Showing a scenario does not fill its total; a copy of it keeps the schedule on show.
    const auto anios = FilasPorTotal(total.isEmpty() ? QString::number(filas) : total, plazoPago, locale);
    if (const Rechazo* r = std::get_if<Rechazo>(&anios))
        return *r;
    const int n = std::get<int>(anios);
    // Without its first year the calculation has no commission to start from.
    if (n == 0)
        return DelTotal(QStringLiteral("El total de años no puede ser nulo"));
    if (filas != n)
        return DelTotal(mensajeFilas + QString::number(n));
    return static_cast<std::int16_t>(n);
}

} // namespace valvida
