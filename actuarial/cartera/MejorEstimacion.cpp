#include "actuarial/cartera/MejorEstimacion.h"

#include "actuarial/almacen/Hipotesis.h"
#include "actuarial/motor/Generacion.h"
#include "core/Archivos.h"
#include "core/BaseDatos.h"
#include "core/ErrorVV.h"
#include "core/ExportaEscenario.h"
#include "core/Libro.h"
#include "core/Numeros.h"
#include "core/Plazos.h"

#include <array>
#include <cmath>
#include <map>
#include <unordered_map>

namespace valvida {

namespace {

// A plan at one issue age as the projection reads it: the commission schedule by policy year.
PlanProyeccion PlanDe(const PolizaLeida& p)
{
    const DefinicionPlan& d = p.plan->definicion();
    const ValoresPlan& v = *p.valores;
    PlanProyeccion plan;
    plan.x = p.edad;
    plan.tipo = AEntero32(Valor(d.escenario.tipoSeguro));
    // A one-year cover by months is projected as one year, its premium the months' share.
    plan.n = EsCoberturaMensual(v.plazoSeguro) ? 1 : v.plazoSeguro;
    plan.m = EsCoberturaMensual(v.plazoSeguro) ? 1 : v.plazoPago;
    plan.pagoVitalicio = plan.tipo == TipoVidaEntera && plan.m == plan.n;
    plan.primaTarifa = v.primaTarifa;
    plan.rescate = v.rescate;
    for (const FilaComision& fila : d.comisiones) {
        const std::int32_t anio = AEntero32(Valor(fila.anio));
        if (anio < 1)
            continue;
        if (std::ssize(plan.comision) <= anio)
            plan.comision.resize(static_cast<std::size_t>(anio) + 1, 0.0);
        if (std::ssize(plan.tantos) <= anio)
            plan.tantos.resize(static_cast<std::size_t>(anio) + 1, 0.0);
        plan.comision[static_cast<std::size_t>(anio)] = fila.porcentaje.value_or(0.0);
        plan.tantos[static_cast<std::size_t>(anio)] = fila.tantos.value_or(0.0);
    }
    return plan;
}

void EscribeFlujos(const QString& archivo, const std::vector<Protegido>& protegidos,
                   const std::vector<FlujoAnio>& flujos)
{
    ArchivoAtomico salida(archivo);
    salida.abre(protegidos);
    std::string bytes = (CabeceraFlujos + QLatin1Char('\n')).toStdString();
    char texto[10 * 32];
    for (std::size_t j = 0; j < flujos.size(); ++j) {
        const FlujoAnio& a = flujos[j];
        char* c = texto + std::sprintf(texto, "%zu", j + 1);
        for (double valor : {a.primas, a.fallecimientos, a.vencimientos, a.rescates, a.gastos, a.comisiones, a.neto(),
                             a.valorActual}) {
            *c++ = ',';
            c = EscribeTextoNumero(c, valor);
        }
        *c++ = '\n';
        bytes.append(texto, static_cast<std::size_t>(c - texto));
    }
    salida.escribe(bytes.data(), static_cast<qint64>(bytes.size()));
    salida.confirma();
}

} // namespace

ResultadoMejorEstimacion ValoraMejorEstimacion(const QSqlDatabase& db, const QString& entrada, std::int32_t hipotesis,
                                               std::int32_t curva, const QString& salida, const QString& flujos,
                                               const std::function<bool(qint64 hecho, qint64 total)>& avanza)
{
    const std::optional<HipotesisProyeccion> h = LeeHipotesis(db, hipotesis);
    if (!h)
        throw ErrorVV(ErrorVV::SinRegistroActual, QStringLiteral("No existe la hipótesis %1").arg(hipotesis));
    const std::optional<CurvaTipos> c = LeeCurva(db, curva);
    if (!c)
        throw ErrorVV(ErrorVV::SinRegistroActual, QStringLiteral("No existe la curva %1").arg(curva));
    // The flows' file is checked before the portfolio is read, so a bad target costs no valuation.
    const std::vector<Protegido> protegidos{BaseDatosAbierta(db),
                                            {entrada, QStringLiteral(" es la cartera que se valora")},
                                            {salida, QStringLiteral(" es el resultado de la cartera")}};
    for (const Protegido& p : protegidos) {
        if (!flujos.isEmpty())
            RechazaProtegido(flujos, p);
    }

    std::unordered_map<const ValoresPlan*, PlanProyeccion> planes;
    std::map<double, FactoresFraccion> factores;
    Suma total;
    ResultadoMejorEstimacion resultado;
    std::vector<FlujoAnio>* anuales = flujos.isEmpty() ? nullptr : &resultado.flujos;
    const Recorrido r =
        RecorreCartera(db, entrada, salida, ColumnaMejorEstimacion, avanza, [&](const PolizaLeida& p, char* columnas) {
            auto [plan, nuevo] = planes.try_emplace(p.valores);
            if (nuevo)
                plan->second = PlanDe(p);
            const auto k = static_cast<std::int32_t>(std::floor(p.antiguedad));
            const std::int32_t anios = AniosProyeccion(plan->second, k);
            const double f = p.antiguedad - k;
            auto fr = factores.find(f);
            if (fr == factores.end() || std::ssize(fr->second.fin) <= anios)
                fr = factores.insert_or_assign(f, FactoresFraccion(f, std::max(anios, 128), *c, h->inflacionGastos))
                         .first;
            const double valor = ProyectaPoliza(plan->second, *h, fr->second, p.suma, p.antiguedad, anuales);
            total.agrega(valor);
            if (!std::isfinite(valor) || !std::isfinite(total.total()))
                throw RechazoDe(p.linea, QStringLiteral("Suma_Asegurada"),
                                QStringLiteral("da una mejor estimación que se desborda"));
            return EscribeColumnasNumeros(columnas, {&valor, 1});
        });
    static_cast<Recorrido&>(resultado) = r;
    if (r.estado != Recorrido::Estado::Valorada) {
        resultado.flujos.clear();
        return resultado;
    }
    resultado.total = total.total();
    if (anuales && EsLibro(flujos))
        EscribeLibroFlujos(resultado, flujos, protegidos);
    else if (anuales)
        EscribeFlujos(flujos, protegidos, resultado.flujos);
    return resultado;
}

void EscribeLibroFlujos(const ResultadoMejorEstimacion& resultado, const QString& archivo,
                        const std::vector<Protegido>& protegidos)
{
    Libro libro(archivo);
    libro.abre(protegidos);
    lxw_worksheet* hoja = libro.hoja(QStringLiteral("Flujos"));
    lxw_format* negrita = libro.formato("", true);
    lxw_format* entero = libro.formato("0");
    lxw_format* dinero = libro.formato("#,##0.00");
    lxw_format* dineroTotal = libro.formato("#,##0.00", true);
    const QStringList cabecera = CabeceraFlujos.split(QLatin1Char(','));
    for (int c = 0; c < cabecera.size(); ++c)
        CeldaTexto(hoja, 0, c, cabecera.at(c), negrita);
    std::array<double, 8> totales{};
    const auto fila = static_cast<int>(resultado.flujos.size());
    for (int j = 0; j < fila; ++j) {
        const FlujoAnio& a = resultado.flujos[static_cast<std::size_t>(j)];
        const std::array<double, 8> valores{a.primas, a.fallecimientos, a.vencimientos, a.rescates,
                                            a.gastos, a.comisiones,     a.neto(),       a.valorActual};
        worksheet_write_number(hoja, static_cast<lxw_row_t>(j + 1), 0, j + 1, entero);
        for (std::size_t c = 0; c < valores.size(); ++c) {
            worksheet_write_number(hoja, static_cast<lxw_row_t>(j + 1), static_cast<lxw_col_t>(c + 1), valores[c],
                                   dinero);
            totales[c] += valores[c];
        }
    }
    CeldaTexto(hoja, fila + 1, 0, QStringLiteral("Total"), negrita);
    for (std::size_t c = 0; c < totales.size(); ++c)
        worksheet_write_number(hoja, static_cast<lxw_row_t>(fila + 1), static_cast<lxw_col_t>(c + 1), totales[c],
                               dineroTotal);
    CeldaTexto(hoja, fila + 3, 0, QStringLiteral("Mejor estimación"), negrita);
    worksheet_write_number(hoja, static_cast<lxw_row_t>(fila + 3), 1, resultado.total, dineroTotal);
    worksheet_set_column(hoja, 0, 0, 18, nullptr);
    worksheet_set_column(hoja, 1, 8, 18, nullptr);
    worksheet_freeze_panes(hoja, 1, 0);
    if (fila > 0) {
        lxw_chart* grafico = workbook_add_chart(libro.libro(), LXW_CHART_LINE);
        for (int c = 1; c <= 6; ++c) {
            lxw_chart_series* serie = chart_add_series(grafico, nullptr, nullptr);
            chart_series_set_categories(serie, "Flujos", 1, 0, static_cast<lxw_row_t>(fila), 0);
            chart_series_set_values(serie, "Flujos", 1, static_cast<lxw_col_t>(c), static_cast<lxw_row_t>(fila),
                                    static_cast<lxw_col_t>(c));
            chart_series_set_name_range(serie, "Flujos", 0, static_cast<lxw_col_t>(c));
        }
        chart_title_set_name(grafico, "Flujos por año");
        chart_axis_set_name(grafico->x_axis, "Año");
        lxw_chart_options tamano = {};
        tamano.x_scale = 1.6;
        tamano.y_scale = 1.4;
        worksheet_insert_chart_opt(hoja, 1, 10, grafico, &tamano);
    }
    libro.confirma();
}

QStringList ResumenMejorEstimacion(const ResultadoMejorEstimacion& resultado)
{
    return {QStringLiteral("Pólizas: ") + QString::number(resultado.polizas),
            QStringLiteral("Mejor estimación total: ") + TextoNumero(resultado.total)};
}

} // namespace valvida
