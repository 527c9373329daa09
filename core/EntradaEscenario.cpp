#include "core/EntradaEscenario.h"

#include "core/BaseDatos.h"
#include "core/CalendarioComision.h"
#include "core/Constantes.h"
#include "core/Consultas.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"
#include "core/Plazos.h"

#include <array>

namespace valvida {

std::optional<std::int16_t> EnteroTecleado(const QString& texto, const QLocale& locale)
{
    const std::optional<double> valor = NumeroTecleado(texto, locale);
    if (!valor)
        return std::nullopt;
    try {
        return AEntero16(*valor);
    } catch (const ErrorVV&) {
        return std::nullopt;
    }
}

QString TextoCaja(double valor, Formato formato, const QLocale& locale)
{
    const QString pantalla = TextoPantalla(valor, formato, locale);
    if (NumeroTecleado(pantalla, locale) == valor)
        return pantalla;
    QString exacto = QString::number(valor, 'f', QLocale::FloatingPointShortest);
    exacto.replace(QLatin1Char('.'), locale.decimalPoint());
    return exacto;
}

namespace {

Rechazo Rechaza(const QString& mensaje, CampoEscenario campo)
{
    return Rechazo{mensaje, Dialogos::Icono::Exclamacion, campo};
}

// The numeric boxes in the order they are checked, the noun their messages use, and whether
// the store keeps them as whole numbers.
struct Caja
{
    const QString& texto;
    CampoEscenario campo;
    const char* nombre;
    bool entero;
};

// The five numbers of the entry as the store keeps them.
struct Cifras
{
    double interes = 0.0;
    std::int16_t m = 0;
    std::int16_t n = 0;
    double suma = 0.0;
    std::int16_t x = 0;
};

std::optional<Rechazo> CompruebaVacios(const EntradaEscenario& e, const std::array<Caja, 5>& cajas)
{
    for (const Caja& c : cajas) {
        if (c.texto.isEmpty())
            return Rechaza(QString::fromUtf8(c.nombre) + QStringLiteral(" no puede ser nulo"), c.campo);
    }
    if (e.descripcion.isEmpty())
        return Rechaza(QStringLiteral("La descripción no puede ser nula"), CampoEscenario::Descripcion);
    return std::nullopt;
}

// A box may still hold an unfinished number ("-", "4e") or one too large to be finite ("1e400");
// age and terms are stored, listed and computed as whole numbers.
std::variant<Rechazo, Cifras> LeeCifras(const std::array<Caja, 5>& cajas, const QLocale& locale)
{
    double valores[5] = {};
    for (std::size_t i = 0; i < cajas.size(); ++i) {
        const Caja& c = cajas[i];
        const std::optional<double> v = NumeroTecleado(c.texto, locale);
        if (!v)
            return Rechaza(QString::fromUtf8(c.nombre) + QStringLiteral(" no es un número válido"), c.campo);
        valores[i] = *v;
        if (c.entero) {
            const std::optional<std::int16_t> w = EnteroTecleado(c.texto, locale);
            if (!w)
                return Rechaza(QString::fromUtf8(c.nombre) + QStringLiteral(" esta fuera del rango permitido"),
                               c.campo);
            valores[i] = *w;
        }
    }
    return Cifras{valores[0], static_cast<std::int16_t>(valores[1]), static_cast<std::int16_t>(valores[2]), valores[3],
                  static_cast<std::int16_t>(valores[4])};
}

std::optional<Rechazo> CompruebaPlazos(const Cifras& c)
{
    // A one-year cover holds months in the payment term, so only it may exceed the term.
    if (!EsCoberturaMensual(c.n) && c.m > c.n)
        return Rechaza(QStringLiteral("El plazo de pago deber ser menor o igual al plazo de seguro"),
                       CampoEscenario::PlazoPago);
    if (EsCoberturaMensual(c.n) && (c.m < 1 || c.m > 12))
        return Rechaza(QStringLiteral("Los meses de vigor son entre 1 y 12"), CampoEscenario::PlazoPago);
    if (c.interes < 0.0 || c.interes > 100.0)
        return Rechaza(QStringLiteral("El interes técnico debera estar comprendido entre 0 y 100"),
                       CampoEscenario::InteresTecnico);
    // Premiums and reserves divide by annuities of these terms: none exists for fewer than one year.
    if (c.n < 1)
        return Rechaza(QStringLiteral("El plazo de seguro debe ser mayor que cero"), CampoEscenario::PlazoSeguro);
    if (c.m < 1)
        return Rechaza(QStringLiteral("El plazo de pago debe ser mayor que cero"), CampoEscenario::PlazoPago);
    return std::nullopt;
}

std::optional<Rechazo> CompruebaSuma(const Cifras& c)
{
    // A sum of 0 insures nothing; the upper limit keeps every amount exact to the cent.
    if (c.suma <= 0.0)
        return Rechaza(QStringLiteral("La suma asegurada debe ser mayor que cero"), CampoEscenario::SumaAsegurada);
    if (c.suma > SumaAseguradaMaxima)
        return Rechaza(QStringLiteral("La suma asegurada no puede ser mayor que 1.000.000.000.000"),
                       CampoEscenario::SumaAsegurada);
    return std::nullopt;
}

// The commutation columns end at the table's last age: the cover, and a modified premium's
// reference premium, may not run past them.
std::optional<Rechazo> CompruebaTabla(const Cifras& c, std::int32_t tipoComision,
                                      const std::optional<EdadesTabla>& edades)
{
    if (!edades)
        return Rechaza(QStringLiteral("La tabla de mortalidad no existe"), CampoEscenario::Tabla);
    if (c.x < edades->inicial)
        return Rechaza(QStringLiteral("La edad debe ser mayor a Edad Inicial de la tabla de mortalidad"),
                       CampoEscenario::Edad);
    const QString ultima = QStringLiteral(" (") + QString::number(edades->ultima) + QLatin1Char(')');
    if (!CabeEnTabla(c.x, c.n, false, edades->inicial, edades->ultima))
        return Rechaza(QStringLiteral("La edad más el plazo de seguro sobrepasa la edad final de la tabla de "
                                      "mortalidad") +
                           ultima,
                       CampoEscenario::PlazoSeguro);
    if (!CabeEnTabla(c.x, c.n, tipoComision != TipoComisionPrimerAnio, edades->inicial, edades->ultima))
        return Rechaza(QStringLiteral("La edad más 20 años, la prima de referencia de la comisión varios años, "
                                      "sobrepasa la edad final de la tabla de mortalidad") +
                           ultima,
                       CampoEscenario::TipoComision);
    return std::nullopt;
}

std::variant<Rechazo, ParametrosRescate> CompruebaRescate(const EntradaEscenario& e, const QLocale& locale)
{
    ParametrosRescate p;
    if (e.penalizacionRescate.isEmpty())
        return Rechaza(QStringLiteral("La penalización de rescate no puede ser nula"),
                       CampoEscenario::PenalizacionRescate);
    const std::optional<double> penalizacion = NumeroTecleado(e.penalizacionRescate, locale);
    if (!penalizacion || *penalizacion < 0.0 || *penalizacion > 100.0)
        return Rechaza(QStringLiteral("La penalización de rescate debera estar comprendida entre 0 y 100"),
                       CampoEscenario::PenalizacionRescate);
    p.penalizacion = *penalizacion;
    if (e.anioRescate.isEmpty())
        return Rechaza(QStringLiteral("El año de rescate no puede ser nulo"), CampoEscenario::AnioRescate);
    // A year, like the terms, is the whole number the box shows once left: 2,5 is year 2.
    const std::optional<std::int16_t> anio = EnteroTecleado(e.anioRescate, locale);
    if (!anio || *anio < 1 || *anio > 99)
        return Rechaza(QStringLiteral("El año de rescate debe ser un número entero entre 1 y 99"),
                       CampoEscenario::AnioRescate);
    p.anioRescate = *anio;
    return p;
}

} // namespace

std::variant<Rechazo, EscenarioValido>
CompruebaEscenario(const EntradaEscenario& e, const std::optional<EdadesTabla>& edades, const QLocale& locale)
{
    const std::array<Caja, 5> cajas{{
        {e.interesTecnico, CampoEscenario::InteresTecnico, "El interes técnico", false},
        {e.plazoPago, CampoEscenario::PlazoPago, "El plazo de pago", true},
        {e.plazoSeguro, CampoEscenario::PlazoSeguro, "El plazo de seguro", true},
        {e.sumaAsegurada, CampoEscenario::SumaAsegurada, "La suma asegurada", false},
        {e.edad, CampoEscenario::Edad, "La edad", true},
    }};
    if (std::optional<Rechazo> r = CompruebaVacios(e, cajas))
        return *r;
    const std::variant<Rechazo, Cifras> leidas = LeeCifras(cajas, locale);
    if (const Rechazo* r = std::get_if<Rechazo>(&leidas))
        return *r;
    const Cifras& c = std::get<Cifras>(leidas);
    if (std::optional<Rechazo> r = CompruebaPlazos(c))
        return *r;
    if (std::optional<Rechazo> r = CompruebaSuma(c))
        return *r;
    if (std::optional<Rechazo> r = CompruebaTabla(c, e.tipoComision, edades))
        return *r;
    const std::variant<Rechazo, ParametrosRescate> rescate = CompruebaRescate(e, locale);
    if (const Rechazo* r = std::get_if<Rechazo>(&rescate))
        return *r;

    const auto comision = ValidaComision(e.comision, locale);
    if (const Rechazo* r = std::get_if<Rechazo>(&comision))
        return *r;
    const auto total = TotalAniosGuardado(e.tipoComision, e.totalAnios, e.plazoPago, e.comision.size(), locale);
    if (const Rechazo* r = std::get_if<Rechazo>(&total))
        return *r;

    return EscenarioValido{c.x,
                           c.suma,
                           e.tipoSeguro,
                           e.tipoComision,
                           c.interes,
                           e.tabla,
                           c.n,
                           c.m,
                           e.descripcion,
                           std::get<std::int16_t>(total),
                           std::get<QList<AnioComision>>(comision),
                           std::get<ParametrosRescate>(rescate)};
}

QString ConsultaEscenarios(bool uno)
{
    return QStringLiteral("select Escenario, Edad, Suma_Asegurada, TS.Descripcion, ") +
           QStringLiteral("TC.Descripcion, Interes_Tecnico, TM.Descripcion, ") +
           QStringLiteral("Plazo_Seguro, Plazo_Pago, TE.Descripcion ") +
           QStringLiteral("from T_Escenario TE, C_TipoSeguro TS, C_TipoComision TC, ") +
           QStringLiteral("C_TablaMortalidad TM where ") + QStringLiteral(" TE.Tipo_Seguro = TS.Tipo_Seguro and ") +
           QStringLiteral(" TE.Tipo_Comision = TC.Tipo_Comision and ") +
           QStringLiteral(" TE.Tabla_Mortalidad = TM.Tabla_Mortalidad") +
           (uno ? QStringLiteral(" and TE.Escenario = ?") : QString()) + QStringLiteral(" order by TE.Escenario");
}

EscenarioGuardado GuardaEscenario(const QSqlDatabase& db, const EscenarioValido& e)
{
    // The scenario and its schedule are stored together or not at all.
    Transaccion transaccion(db);
    const std::int32_t numero = NuevoNumero(db, QStringLiteral("T_Escenario"), QStringLiteral("Escenario"));
    Ejecuta(db, QStringLiteral("insert into T_Escenario values(?,?,?,?,?,?,?,?,?,?,?)"),
            {numero, int(e.edad), e.sumaAsegurada, e.tipoSeguro, e.tipoComision, e.interesTecnico, e.tabla,
             int(e.plazoSeguro), int(e.plazoPago), e.descripcion, int(e.totalAnios)});
    Ejecuta(
        db,
        QStringLiteral("insert into T_Garantia values(?,?,?) on conflict (Escenario) do update set "
                       "Penalizacion_Rescate = excluded.Penalizacion_Rescate, Anio_Rescate = excluded.Anio_Rescate"),
        {numero, e.rescate.penalizacion, e.rescate.anioRescate});
    Ejecuta(db, QStringLiteral("delete from T_Comision where Escenario = ?"), {numero});
    for (const AnioComision& a : e.comision)
        Ejecuta(db, QStringLiteral("insert into T_Comision values(?,?,?,?)"),
                {numero, int(a.anio), a.porcentaje, int(a.tantos)});
    transaccion.confirma();
    return {numero};
}

std::optional<EscenarioValido> LeeEscenarioGuardado(const QSqlDatabase& db, std::int32_t escenario)
{
    QSqlQuery q = Consulta(db,
                           QStringLiteral("select Edad, Suma_Asegurada, Tipo_Seguro, Tipo_Comision, Interes_Tecnico, "
                                          "Tabla_Mortalidad, Plazo_Seguro, Plazo_Pago, Descripcion, Total_Anios "
                                          "from T_Escenario where Escenario = ?"),
                           {escenario});
    if (!Siguiente(q))
        return std::nullopt;
    const auto numero = [&q](int c) { return ValorANumero(q.value(c)); };
    EscenarioValido e{AEntero16(numero(0)),
                      numero(1),
                      AEntero32(numero(2)),
                      AEntero32(numero(3)),
                      numero(4),
                      AEntero32(numero(5)),
                      AEntero16(numero(6)),
                      AEntero16(numero(7)),
                      q.value(8).toString(),
                      q.isNull(9) ? std::int16_t{0} : AEntero16(numero(9)),
                      {},
                      LeeParametrosRescate(db, escenario)};
    QSqlQuery filas = Consulta(db, consulta::ComisionEscenario, {escenario});
    while (Siguiente(filas))
        e.comision.append({AEntero16(ValorANumero(filas.value(0))), ValorANumero(filas.value(1)),
                           AEntero16(ValorANumero(filas.value(2)))});
    return e;
}

ParametrosRescate LeeParametrosRescate(const QSqlDatabase& db, std::int32_t escenario)
{
    // Through the connection's kept statement: every calculation reads them.
    ParametrosRescate p;
    Sentencia q(db, QStringLiteral("select Penalizacion_Rescate, Anio_Rescate from T_Garantia where Escenario = ?"));
    q.enlaza(0, escenario);
    if (q.siguiente()) {
        if (!q.nulo(0))
            p.penalizacion = q.numero(0);
        if (!q.nulo(1))
            p.anioRescate = AEntero32(q.numero(1));
    }
    return p;
}

} // namespace valvida
