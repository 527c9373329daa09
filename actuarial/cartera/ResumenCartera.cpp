#include "actuarial/cartera/ResumenCartera.h"

#include "core/BaseDatos.h"
#include "core/ExportaEscenario.h"
#include "core/Libro.h"
#include "core/Numeros.h"
#include "core/Texto.h"

namespace valvida {

namespace {

QString CampoCsv(const QString& texto)
{
    QString celda = CeldaCsv(texto);
    if (celda.contains(QLatin1Char(',')) || celda.contains(QLatin1Char('"')) || celda.contains(QLatin1Char('\n')) ||
        celda.contains(QLatin1Char('\r')))
        celda = QLatin1Char('"') + celda.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return celda;
}

void EscribeCsv(const CuadroCartera& cuadro, const QString& archivo, const std::vector<Protegido>& protegidos)
{
    ArchivoAtomico salida(archivo);
    salida.abre(protegidos);
    QString texto = QStringLiteral("Escenario,Descripcion,Polizas,Suma_Asegurada,Prima_Tarifa_Anual,Reserva\n");
    QList<FilaCuadroCartera> filas = cuadro.filas;
    filas << cuadro.total;
    for (int k = 0; k < filas.size(); ++k) {
        const FilaCuadroCartera& f = filas.at(k);
        const bool total = k == filas.size() - 1;
        texto += (total ? QStringLiteral("Total") : QString::number(f.escenario)) + QLatin1Char(',') +
                 CampoCsv(f.descripcion) + QLatin1Char(',') + QString::number(f.polizas) + QLatin1Char(',') +
                 TextoNumero(f.sumaAsegurada) + QLatin1Char(',') + TextoNumero(f.primaTarifa) + QLatin1Char(',') +
                 TextoNumero(f.reserva) + QLatin1Char('\n');
    }
    const QByteArray bytes = texto.toUtf8();
    salida.escribe(bytes.constData(), bytes.size());
    salida.confirma();
}

void EscribeLibro(const CuadroCartera& cuadro, const QString& archivo, const std::vector<Protegido>& protegidos)
{
    Libro libro(archivo);
    libro.abre(protegidos);
    lxw_worksheet* hoja = libro.hoja(QStringLiteral("Resumen"));
    lxw_format* negrita = libro.formato("", true);
    lxw_format* entero = libro.formato("#,##0");
    lxw_format* dinero = libro.formato("#,##0.00");
    lxw_format* enteroTotal = libro.formato("#,##0", true);
    lxw_format* dineroTotal = libro.formato("#,##0.00", true);
    const auto numero = [hoja](int fila, int columna, double valor, lxw_format* formato) {
        worksheet_write_number(hoja, static_cast<lxw_row_t>(fila), static_cast<lxw_col_t>(columna), valor, formato);
    };

    CeldaTexto(hoja, 0, 0, QStringLiteral("Resumen de la cartera"), negrita);
    CeldaTexto(hoja, 1, 0, QStringLiteral("Cartera"));
    CeldaTexto(hoja, 1, 1, cuadro.entrada);
    CeldaTexto(hoja, 2, 0, QStringLiteral("Resultado"));
    CeldaTexto(hoja, 2, 1, cuadro.salida);
    int fila = 4;
    const QStringList cabecera{
        QStringLiteral("Escenario"),      QStringLiteral("Descripción"),           QStringLiteral("Pólizas"),
        QStringLiteral("Suma asegurada"), QStringLiteral("Prima de tarifa anual"), QStringLiteral("Reserva")};
    for (int c = 0; c < cabecera.size(); ++c)
        CeldaTexto(hoja, fila, c, cabecera.at(c), negrita);
    ++fila;
    for (const FilaCuadroCartera& f : cuadro.filas) {
        numero(fila, 0, f.escenario, entero);
        CeldaTexto(hoja, fila, 1, f.descripcion);
        numero(fila, 2, static_cast<double>(f.polizas), entero);
        numero(fila, 3, f.sumaAsegurada, dinero);
        numero(fila, 4, f.primaTarifa, dinero);
        numero(fila++, 5, f.reserva, dinero);
    }
    CeldaTexto(hoja, fila, 0, QStringLiteral("Total"), negrita);
    numero(fila, 2, static_cast<double>(cuadro.total.polizas), enteroTotal);
    numero(fila, 3, cuadro.total.sumaAsegurada, dineroTotal);
    numero(fila, 4, cuadro.total.primaTarifa, dineroTotal);
    numero(fila, 5, cuadro.total.reserva, dineroTotal);
    fila += 2;

    CeldaTexto(hoja, fila++, 0, QStringLiteral("Reserva por años en vigor"), negrita);
    CeldaTexto(hoja, fila, 0, QStringLiteral("Años en vigor"), negrita);
    CeldaTexto(hoja, fila++, 1, QStringLiteral("Reserva"), negrita);
    const int primera = fila;
    for (std::size_t k = 0; k < cuadro.reservaPorAntiguedad.size(); ++k) {
        numero(fila, 0, static_cast<double>(k), entero);
        numero(fila++, 1, cuadro.reservaPorAntiguedad[k], dinero);
    }
    worksheet_set_column(hoja, 0, 0, 16, nullptr);
    worksheet_set_column(hoja, 1, 1, 40, nullptr);
    worksheet_set_column(hoja, 2, 5, 22, nullptr);
    worksheet_freeze_panes(hoja, 5, 0);
    if (fila > primera) {
        lxw_chart* grafico = workbook_add_chart(libro.libro(), LXW_CHART_COLUMN);
        lxw_chart_series* serie = chart_add_series(grafico, nullptr, nullptr);
        chart_series_set_categories(serie, "Resumen", static_cast<lxw_row_t>(primera), 0,
                                    static_cast<lxw_row_t>(fila - 1), 0);
        chart_series_set_values(serie, "Resumen", static_cast<lxw_row_t>(primera), 1, static_cast<lxw_row_t>(fila - 1),
                                1);
        chart_series_set_name(serie, "Reserva");
        chart_title_set_name(grafico, "Reserva por años en vigor");
        chart_axis_set_name(grafico->x_axis, "Años en vigor");
        chart_legend_set_position(grafico, LXW_CHART_LEGEND_NONE);
        lxw_chart_options tamano = {};
        tamano.x_scale = 1.3;
        tamano.y_scale = 1.2;
        worksheet_insert_chart_opt(hoja, static_cast<lxw_row_t>(primera - 2), 3, grafico, &tamano);
    }
    libro.confirma();
}

} // namespace

CuadroCartera LeeCuadroCartera(const QSqlDatabase& db, const ResultadoCartera& resultado, const QString& entrada,
                               const QString& salida)
{
    CuadroCartera cuadro;
    cuadro.entrada = entrada;
    cuadro.salida = salida;
    for (const TotalesEscenario& t : resultado.porEscenario) {
        QSqlQuery q =
            Consulta(db, QStringLiteral("select Descripcion from T_Escenario where Escenario = ?"), {t.escenario});
        const QString descripcion = Siguiente(q) ? q.value(0).toString() : QString();
        cuadro.filas << FilaCuadroCartera{t.escenario,     descripcion,   t.polizas,
                                          t.sumaAsegurada, t.primaTarifa, t.reserva};
    }
    // The valuation's own totals, summed over every policy: the figures its closing lines print.
    cuadro.total = {0,
                    QString(),
                    resultado.polizas,
                    resultado.sumaAseguradaTotal,
                    resultado.primaTarifaTotal,
                    resultado.reservaTotal};
    cuadro.reservaPorAntiguedad = resultado.reservaPorAntiguedad;
    return cuadro;
}

void EscribeCuadroCartera(const CuadroCartera& cuadro, const QString& archivo, const std::vector<Protegido>& protegidos)
{
    if (EsLibro(archivo))
        EscribeLibro(cuadro, archivo, protegidos);
    else
        EscribeCsv(cuadro, archivo, protegidos);
}

} // namespace valvida
