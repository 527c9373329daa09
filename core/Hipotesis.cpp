#include "core/Hipotesis.h"

#include "core/BaseDatos.h"
#include "core/Numeros.h"
#include "core/TablasMortalidad.h"

#include <cmath>
#include <limits>

namespace valvida {

namespace {

// A policy year is a whole number of the ages' 16-bit range: the projection keeps one rate per year.
constexpr double UltimoAnioCaida = std::numeric_limits<std::int16_t>::max();

} // namespace

std::variant<RechazoHipotesis, ConjuntoHipotesis>
CompruebaHipotesis(const QSqlDatabase& db, const EntradaHipotesis& entrada, const QLocale& locale)
{
    const auto rechazo = [](const QString& mensaje, CampoHipotesis campo, int fila = -1) {
        return RechazoHipotesis{mensaje, campo, fila};
    };
    ConjuntoHipotesis c;
    c.descripcion = entrada.descripcion;
    if (entrada.descripcion.trimmed().isEmpty())
        return rechazo(QStringLiteral("Debe indicar la descripción de la hipótesis"), CampoHipotesis::Descripcion);
    if (!entrada.tabla)
        return rechazo(QStringLiteral("Debe elegir una tabla de mortalidad"), CampoHipotesis::Tabla);
    if (!LeeEdadesTabla(db, *entrada.tabla))
        return rechazo(QStringLiteral("No existe la tabla de mortalidad %1").arg(*entrada.tabla),
                       CampoHipotesis::Tabla);
    c.tabla = *entrada.tabla;

    // Each value a typed number within its bounds; `abierto` excludes the lower bound.
    struct Valor
    {
        const QString& texto;
        double& destino;
        double minimo;
        bool abierto;
        double maximo;
        CampoHipotesis campo;
        const char* mensaje;
    };
    const double sinTope = std::numeric_limits<double>::max();
    const Valor valores[] = {
        {entrada.porcentajeMortalidad, c.porcentajeMortalidad, 0, true, 1000, CampoHipotesis::PorcentajeMortalidad,
         "El % de mortalidad debe ser un número mayor que 0 y no mayor que 1000"},
        {entrada.gastoPoliza, c.gastoPoliza, 0, false, sinTope, CampoHipotesis::GastoPoliza,
         "El gasto por póliza debe ser un número mayor o igual que 0"},
        {entrada.porcentajeGastoPrima, c.porcentajeGastoPrima, 0, false, 100, CampoHipotesis::PorcentajeGastoPrima,
         "El % de gasto sobre prima debe ser un número entre 0 y 100"},
        {entrada.inflacionGastos, c.inflacionGastos, -100, true, 100, CampoHipotesis::InflacionGastos,
         "El % de inflación de gastos debe ser un número mayor que -100 y no mayor que 100"},
    };
    for (const Valor& v : valores) {
        const std::optional<double> n = NumeroTecleado(v.texto, locale);
        if (!n || *n < v.minimo || (v.abierto && *n == v.minimo) || *n > v.maximo)
            return rechazo(QString::fromUtf8(v.mensaje), v.campo);
        v.destino = *n;
    }

    for (int i = 0; i < entrada.caidas.size(); ++i) {
        const FilaCaidaTecleada& fila = entrada.caidas.at(i);
        if (fila.anio.trimmed().isEmpty() && fila.tasa.trimmed().isEmpty())
            continue;
        const QString lugar = QStringLiteral("Fila %1, ").arg(i + 1);
        const std::optional<double> anio = NumeroTecleado(fila.anio, locale);
        if (!anio || *anio < 1 || *anio > UltimoAnioCaida || std::floor(*anio) != *anio)
            return rechazo(lugar + QStringLiteral("Año Póliza: debe ser un número entero de 1 a 32767"),
                           CampoHipotesis::AnioCaida, i);
        // A year's rate holds until the next row's year: the rows must say which comes first.
        if (!c.caidas.isEmpty() && *anio <= c.caidas.last().anio)
            return rechazo(lugar + QStringLiteral("Año Póliza: debe ser mayor que el de la fila anterior"),
                           CampoHipotesis::AnioCaida, i);
        const std::optional<double> tasa = NumeroTecleado(fila.tasa, locale);
        if (!tasa || *tasa < 0 || *tasa > 100)
            return rechazo(lugar + QStringLiteral("% Caída: debe ser un número entre 0 y 100"),
                           CampoHipotesis::TasaCaida, i);
        c.caidas << FilaCaida{static_cast<std::int32_t>(*anio), *tasa};
    }
    return c;
}

std::int32_t NuevaHipotesis(const QSqlDatabase& db)
{
    return NuevoNumero(db, QStringLiteral("T_Hipotesis"), QStringLiteral("Hipotesis"));
}

std::int32_t GuardaHipotesis(const QSqlDatabase& db, const ConjuntoHipotesis& conjunto,
                             std::optional<std::int32_t> modificada)
{
    Transaccion transaccion(db);
    const std::int32_t numero = modificada.value_or(NuevaHipotesis(db));
    Ejecuta(
        db,
        QStringLiteral(
            "insert into T_Hipotesis values(?, ?, ?, ?, ?, ?, ?) on conflict (Hipotesis) do update set "
            "Descripcion = excluded.Descripcion, Tabla_Mortalidad = excluded.Tabla_Mortalidad, "
            "Porcentaje_Mortalidad = excluded.Porcentaje_Mortalidad, Gasto_Poliza = excluded.Gasto_Poliza, "
            "Porcentaje_Gasto_Prima = excluded.Porcentaje_Gasto_Prima, Inflacion_Gastos = excluded.Inflacion_Gastos"),
        {numero, conjunto.descripcion, conjunto.tabla, conjunto.porcentajeMortalidad, conjunto.gastoPoliza,
         conjunto.porcentajeGastoPrima, conjunto.inflacionGastos});
    Ejecuta(db, QStringLiteral("delete from T_Caida where Hipotesis = ?"), {numero});
    for (const FilaCaida& fila : conjunto.caidas)
        Ejecuta(db, QStringLiteral("insert into T_Caida values(?, ?, ?)"), {numero, fila.anio, fila.tasa});
    transaccion.confirma();
    return numero;
}

std::optional<ConjuntoHipotesis> LeeConjuntoHipotesis(const QSqlDatabase& db, std::int32_t hipotesis)
{
    QSqlQuery q = Consulta(db,
                           QStringLiteral("select Descripcion, Tabla_Mortalidad, Porcentaje_Mortalidad, Gasto_Poliza, "
                                          "Porcentaje_Gasto_Prima, Inflacion_Gastos from T_Hipotesis "
                                          "where Hipotesis = ?"),
                           {hipotesis});
    if (!Siguiente(q))
        return std::nullopt;
    ConjuntoHipotesis c;
    c.hipotesis = hipotesis;
    c.descripcion = q.value(0).toString();
    c.tabla = AEntero32(ValorANumero(q.value(1)));
    c.porcentajeMortalidad = ValorANumero(q.value(2));
    c.gastoPoliza = ValorANumero(q.value(3));
    c.porcentajeGastoPrima = ValorANumero(q.value(4));
    c.inflacionGastos = ValorANumero(q.value(5));
    QSqlQuery caidas =
        Consulta(db, QStringLiteral("select Anio_Poliza, Tasa from T_Caida where Hipotesis = ? order by Anio_Poliza"),
                 {hipotesis});
    while (Siguiente(caidas))
        c.caidas << FilaCaida{AEntero32(ValorANumero(caidas.value(0))), ValorANumero(caidas.value(1))};
    return c;
}

std::optional<QString> CompruebaDescripcionCurva(const QString& descripcion)
{
    if (descripcion.trimmed().isEmpty())
        return QStringLiteral("Debe indicar la descripción de la curva");
    return std::nullopt;
}

QString ArchivoFlujos(const QString& salida)
{
    const QString extension = QStringLiteral(".csv");
    if (salida.endsWith(extension, Qt::CaseInsensitive))
        return salida.chopped(extension.size()) + QStringLiteral("-flujos") + salida.right(extension.size());
    return salida + QStringLiteral("-flujos") + extension;
}

} // namespace valvida
