#include "core/ExportaEscenario.h"

#include "core/Archivos.h"
#include "core/BaseDatos.h"
#include "core/Cargadores.h"
#include "core/ColoresGrafico.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/ErrorVV.h"
#include "core/FichaEscenario.h"
#include "core/Libro.h"
#include "core/Numeros.h"
#include "ui/GraficosResultado.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <span>

namespace valvida {

namespace {

void EscribeTitulo(ArchivoAtomico& archivo, const char* tabla)
{
    const QByteArray linea = QByteArray(tabla) + "\r\n";
    archivo.escribe(linea.constData(), linea.size());
}

// Excel's number formats of the grid's screen formats: whole ages and years, 8 decimals per unit
// sum insured, money grouped with 2 decimals. The cell keeps the double itself.
const char* const FormatoEntero = "0";
const char* const FormatoPorUnidad = "0.00000000";
const char* const FormatoDinero = "#,##0.00";

// Columns of T_Resultado that hold years and ages; the others are values per unit sum insured.
bool ColumnaEntera(const QString& columna)
{
    return columna.compare(QLatin1String("Escenario"), Qt::CaseInsensitive) == 0 ||
           columna.compare(QLatin1String("Anio_Poliza"), Qt::CaseInsensitive) == 0 ||
           columna.compare(QLatin1String("Edad_Alcanzada"), Qt::CaseInsensitive) == 0;
}

void Numero(lxw_worksheet* hoja, int fila, int columna, double valor, lxw_format* formato)
{
    worksheet_write_number(hoja, static_cast<lxw_row_t>(fila), static_cast<lxw_col_t>(columna), valor, formato);
}

// A line chart of result columns over the attained age, with the screen chart's title, axis title,
// legends and lines; the series are ranges of the sheet, so the chart reads the table's own cells.
lxw_chart* GraficoLineas(Libro& libro, const DatosGrafico& datos, std::span<const TrazoSerie> trazos,
                         const QList<int>& columnas, int columnaEdad, int filas)
{
    lxw_chart* grafico = workbook_add_chart(libro.libro(), LXW_CHART_LINE);
    chart_title_set_name(grafico, datos.titulo.toUtf8().constData());
    chart_axis_set_name(grafico->x_axis, datos.tituloEje.toUtf8().constData());
    chart_legend_set_position(grafico, LXW_CHART_LEGEND_BOTTOM);
    for (int s = 0; s < datos.series.size() && s < columnas.size(); ++s) {
        lxw_chart_series* serie = chart_add_series(grafico, nullptr, nullptr);
        chart_series_set_categories(serie, "Resultado", 1, static_cast<lxw_col_t>(columnaEdad),
                                    static_cast<lxw_row_t>(filas), static_cast<lxw_col_t>(columnaEdad));
        chart_series_set_values(serie, "Resultado", 1, static_cast<lxw_col_t>(columnas.at(s)),
                                static_cast<lxw_row_t>(filas), static_cast<lxw_col_t>(columnas.at(s)));
        chart_series_set_name(serie, datos.series.at(s).leyenda.toUtf8().constData());
        const TrazoSerie& t = trazos[static_cast<std::size_t>(s) % trazos.size()];
        lxw_chart_line linea = {};
        linea.color = t.rgb;
        linea.width = static_cast<float>(t.ancho);
        linea.dash_type = t.discontinuo ? LXW_CHART_LINE_DASH_DASH : LXW_CHART_LINE_DASH_SOLID;
        chart_series_set_line(serie, &linea);
    }
    return grafico;
}

void HojaResultado(Libro& libro, const FichaEscenario& f)
{
    lxw_worksheet* hoja = libro.hoja(QStringLiteral("Resultado"));
    lxw_format* cabecera = libro.formato("", true);
    lxw_format* entero = libro.formato(FormatoEntero);
    lxw_format* porUnidad = libro.formato(FormatoPorUnidad);
    for (int c = 0; c < f.columnas.size(); ++c) {
        const bool esEntera = ColumnaEntera(f.columnas.at(c));
        CeldaTexto(hoja, 0, c, f.columnas.at(c), cabecera);
        // Room for the header and for the widest number as its format shows it.
        qsizetype ancho = f.columnas.at(c).size();
        for (int r = 0; r < f.filas.size(); ++r) {
            const double v = f.filas.at(r).at(c);
            Numero(hoja, r + 1, c, v, esEntera ? entero : porUnidad);
            ancho = std::max(ancho, QString::number(v, 'f', esEntera ? 0 : 8).size());
        }
        worksheet_set_column(hoja, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), static_cast<double>(ancho) + 2,
                             nullptr);
    }
    worksheet_freeze_panes(hoja, 1, 0);
    if (f.filas.isEmpty())
        return;

    // The results form's two charts, beside the table.
    const int edad = f.columna("Edad_Alcanzada");
    const int filas = static_cast<int>(f.filas.size());
    const QList<int> primas{f.columna("Prima_Riesgo"), f.columna("Prima_Neta_Nivelada"), f.columna("Prima_Tarifa")};
    const QList<int> reservas{f.columna("Reserva_Matematica"), f.columna("Rescate")};
    lxw_chart_options tamano = {};
    tamano.x_scale = 1.3;
    tamano.y_scale = 1.3;
    const auto columnaGraficos = static_cast<lxw_col_t>(f.columnas.size() + 1);
    worksheet_insert_chart_opt(hoja, 1, columnaGraficos,
                               GraficoLineas(libro, DatosPrimas({}, false), TrazosPrimas, primas, edad, filas),
                               &tamano);
    worksheet_insert_chart_opt(hoja, 21, columnaGraficos,
                               GraficoLineas(libro, DatosReservas({}, false), TrazosReservas, reservas, edad, filas),
                               &tamano);
}

void HojaEscenario(Libro& libro, const FichaEscenario& f)
{
    lxw_worksheet* hoja = libro.hoja(QStringLiteral("Escenario"));
    lxw_format* negrita = libro.formato("", true);
    lxw_format* entero = libro.formato(FormatoEntero);
    lxw_format* porUnidad = libro.formato(FormatoPorUnidad);
    lxw_format* dinero = libro.formato(FormatoDinero);
    lxw_format* tasa = libro.formato("0.00####");
    int fila = 0;
    const auto numero = [&](const QString& etiqueta, double valor, lxw_format* formato) {
        CeldaTexto(hoja, fila, 0, etiqueta);
        Numero(hoja, fila++, 1, valor, formato);
    };
    const auto texto = [&](const QString& etiqueta, const QString& valor) {
        CeldaTexto(hoja, fila, 0, etiqueta);
        CeldaTexto(hoja, fila++, 1, valor);
    };
    numero(QStringLiteral("Escenario"), f.escenario, entero);
    texto(QStringLiteral("Descripción"), f.descripcion);
    numero(QStringLiteral("Edad"), f.edad, entero);
    numero(QStringLiteral("Suma asegurada"), f.sumaAsegurada, dinero);
    texto(QStringLiteral("Tabla de mortalidad"), f.nombreTabla);
    numero(QStringLiteral("Número de tabla"), f.tabla, entero);
    numero(QStringLiteral("Interés técnico (%)"), f.interesTecnico, tasa);
    texto(QStringLiteral("Tipo de seguro"), f.nombreTipoSeguro);
    texto(QStringLiteral("Tipo de comisión"), f.nombreTipoComision);
    numero(QStringLiteral("Plazo del seguro (años)"), f.plazoSeguro, entero);
    numero(EsCoberturaMensual(static_cast<std::int32_t>(f.plazoSeguro)) ? QStringLiteral("Meses cubiertos")
                                                                        : QStringLiteral("Plazo de pago (años)"),
           f.plazoPago, entero);
    numero(QStringLiteral("Penalización por rescate (%)"), f.rescate.penalizacion, tasa);
    numero(QStringLiteral("Rescate desde el año"), f.rescate.anioRescate, entero);
    ++fila;
    numero(QStringLiteral("Prima neta nivelada anual por unidad"), f.primaNeta(), porUnidad);
    numero(QStringLiteral("Prima de tarifa anual por unidad"), f.primaTarifa(), porUnidad);
    numero(QStringLiteral("Prima neta nivelada anual"), f.primaNeta() * f.sumaAsegurada, dinero);
    numero(QStringLiteral("Prima de tarifa anual"), f.primaTarifa() * f.sumaAsegurada, dinero);
    ++fila;
    CeldaTexto(hoja, fila++, 0, QStringLiteral("Calendario de comisiones"), negrita);
    CeldaTexto(hoja, fila, 0, QStringLiteral("Año"), negrita);
    CeldaTexto(hoja, fila, 1, QStringLiteral("% de la prima"), negrita);
    CeldaTexto(hoja, fila++, 2, QStringLiteral("Tantos por mil de la suma"), negrita);
    for (const AnioComision& a : f.comision) {
        Numero(hoja, fila, 0, a.anio, entero);
        Numero(hoja, fila, 1, a.porcentaje, tasa);
        Numero(hoja, fila++, 2, a.tantos, tasa);
    }
    worksheet_set_column(hoja, 0, 0, 38, nullptr);
    worksheet_set_column(hoja, 1, 1, std::max<double>(18, static_cast<double>(f.descripcion.size()) + 2), nullptr);
    worksheet_set_column(hoja, 2, 2, 26, nullptr);
}

} // namespace

bool EsLibro(const QString& archivo)
{
    return archivo.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive);
}

void ExportaLibroEscenario(Entorno& entorno, std::int32_t escenario, const QString& archivo)
{
    const FichaEscenario ficha = LeeFichaEscenario(entorno.db, escenario);
    Libro libro(archivo);
    libro.abre({BaseDatosAbierta(entorno.db)});
    HojaResultado(libro, ficha);
    HojaEscenario(libro, ficha);
    libro.confirma();
}

void ExportaEscenario(Entorno& entorno, std::int32_t escenario, std::int16_t tabla, double tasa, const QString& archivo)
{
    ArchivoAtomico salida(archivo);
    salida.abre({BaseDatosAbierta(entorno.db)});

    EscribeTitulo(salida, "T_Escenario");
    VaciaCsv(entorno, QStringLiteral("Select * from T_Escenario where Escenario = ?"), salida, {escenario});
    EscribeTitulo(salida, "T_Resultado");
    VaciaCsv(entorno, QStringLiteral("Select * from T_Resultado where Escenario = ? order by Anio_Poliza"), salida,
             {escenario});
    EscribeTitulo(salida, "T_DetalleMortalidad");
    VaciaCsv(entorno, QStringLiteral("Select * from T_DetalleMortalidad where Tabla_Mortalidad = ? order by Edad"),
             salida, {tabla});
    EscribeTitulo(salida, "T_Conmutado");
    VaciaCsv(
        entorno,
        QStringLiteral("Select * from T_Conmutado where Tabla_Mortalidad = ? and Interes_Tecnico = ? order by Edad"),
        salida, {tabla, tasa});
    EscribeTitulo(salida, "T_Comision");
    VaciaCsv(entorno, QStringLiteral("Select * from T_Comision where Escenario = ? order by Anio_Comision"), salida,
             {escenario});

    salida.confirma();
}

void ExportaEscenario(Entorno& entorno, std::int32_t escenario, const QString& archivo)
{
    // Before anything else is said of the export.
    RechazaProtegido(archivo, BaseDatosAbierta(entorno.db));
    if (EsLibro(archivo)) {
        ExportaLibroEscenario(entorno, escenario, archivo);
        return;
    }
    QSqlQuery q = Consulta(
        entorno.db, QStringLiteral("select Tabla_Mortalidad, Interes_Tecnico from T_Escenario where Escenario = ?"),
        {escenario});
    if (!Siguiente(q))
        throw ErrorVV(ErrorVV::SinRegistroActual,
                      QStringLiteral("No existe el escenario ") + QString::number(escenario));
    const std::int16_t tabla = AEntero16(ValorANumero(q.value(0)));
    const double tasa = ValorANumero(q.value(1));
    q.finish();
    ExportaEscenario(entorno, escenario, tabla, tasa, archivo);
}

bool DescargaEscenario(Entorno& entorno, std::int32_t escenario)
{
    QString archivo = entorno.dialogos.guardarArchivo(entorno.carpetaAplicacion,
                                                      QStringLiteral("Libro de Excel|*.xlsx;;Texto CSV|*.csv"));
    if (archivo.isEmpty())
        return false;
    // The window's dialog adds the chosen type's extension; a name that still has none is CSV, as
    // the export always wrote it.
    if (QFileInfo(archivo).suffix().isEmpty())
        archivo += QStringLiteral(".csv");
    try {
        RelojArena reloj(entorno.dialogos);
        // The table and the rate as stored: a rate shown with fewer digits would find no columns.
        ExportaEscenario(entorno, escenario, archivo);
    } catch (const ErrorVV& e) {
        MostrarError(entorno.dialogos, QStringLiteral("Rutina: cmdVaciar_Click"), e);
        return false;
    }
    return true;
}

} // namespace valvida
