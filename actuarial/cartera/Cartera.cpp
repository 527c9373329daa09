#include "actuarial/cartera/Cartera.h"

#include "actuarial/almacen/Planes.h"
#include "core/Archivos.h"
#include "core/BaseDatos.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"
#include "core/Texto.h"

#include <QFile>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace valvida {

namespace {

// Lines are read and written in blocks of this size.
constexpr std::size_t Bloque = std::size_t{1} << 20;

// The most bytes in a line, as for a mortality table: a policy's five fields with ample room.
constexpr std::size_t MaximoBytesLinea = 4096;

struct Rechazo
{
    QString texto;
};

// A sum of many terms with its rounding error carried along (Neumaier), so the total of a
// million reserves keeps every digit the summary shows.
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

QString Texto(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The plans of one scenario by issue age, each computed the first time a policy asks for it.
struct PlanesEscenario
{
    std::unique_ptr<Plan> plan; // none: no such scenario
    std::vector<std::unique_ptr<std::variant<ValoresPlan, QString>>> porEdad;
    // The scenario's share of the totals.
    std::int64_t polizas = 0;
    Suma suma;
    Suma primaTarifa;
    Suma reserva;
};

class Valoracion
{
  public:
    explicit Valoracion(const QSqlDatabase& db)
        : m_db(db)
    {
    }

    // One policy line (without its line end) valued onto the output.
    void poliza(std::string_view linea, std::string& salida)
    {
        std::string_view campos[5];
        std::size_t n = 0;
        std::size_t inicio = 0;
        for (;;) {
            const std::size_t coma = linea.find(',', inicio);
            if (n == 5)
                throw rechazo(QStringLiteral("debe tener 5 campos separados por comas"));
            campos[n++] = linea.substr(inicio, coma == std::string_view::npos ? coma : coma - inicio);
            if (coma == std::string_view::npos)
                break;
            inicio = coma + 1;
        }
        if (n != 5)
            throw rechazo(QStringLiteral("debe tener 5 campos separados por comas"));

        if (campos[0].empty())
            throw rechazo(QStringLiteral("Poliza"), QStringLiteral("está vacío"));
        const double escenario = numero(campos[1], QStringLiteral("Escenario"));
        PlanesEscenario& planes = escenarioNumero(escenario, campos[1]);
        const double edad = numero(campos[2], QStringLiteral("Edad"));
        // The columns hold whole ages only: 40.5 would be valued silently as 40.
        if (edad != std::floor(edad))
            throw rechazo(QStringLiteral("Edad"), QStringLiteral("debe ser un número entero"));
        const ValoresPlan& valores = plan(planes, edad);
        const double suma = numero(campos[3], QStringLiteral("Suma_Asegurada"));
        if (!(suma > 0.0))
            throw rechazo(QStringLiteral("Suma_Asegurada"), QStringLiteral("debe ser mayor que 0"));
        const double antiguedad = numero(campos[4], QStringLiteral("Antiguedad"));
        if (!(antiguedad >= 0.0 && antiguedad < valores.plazoSeguro))
            throw rechazo(QStringLiteral("Antiguedad"),
                          QStringLiteral("debe ser mayor o igual que 0 y menor que el plazo del seguro (%1)")
                              .arg(valores.plazoSeguro));

        const double primaNeta = suma * valores.primaNeta;
        const double primaTarifa = suma * valores.primaTarifa;
        const double reserva = suma * ReservaEnVigor(valores, antiguedad);
        if (!std::isfinite(primaNeta) || !std::isfinite(primaTarifa) || !std::isfinite(reserva))
            throw rechazo(QStringLiteral("Suma_Asegurada"), QStringLiteral("da valores que se desbordan"));
        m_reserva.agrega(reserva);
        m_primaTarifa.agrega(primaTarifa);
        m_suma.agrega(suma);
        if (!std::isfinite(m_reserva.total()) || !std::isfinite(m_primaTarifa.total()) ||
            !std::isfinite(m_suma.total()))
            throw rechazo(QStringLiteral("los totales de la cartera se desbordan"));
        ++m_polizas;
        // Each part is at most its total in size: finite when the total is.
        ++planes.polizas;
        planes.suma.agrega(suma);
        planes.primaTarifa.agrega(primaTarifa);
        planes.reserva.agrega(reserva);
        // Whole years in force, below the term; the vector grows only with a longer time in force.
        const auto anios = static_cast<std::size_t>(antiguedad);
        if (anios >= m_porAntiguedad.size())
            m_porAntiguedad.resize(anios + 1);
        m_porAntiguedad[anios].agrega(reserva);

        char texto[3 * 32 + 4];
        char* p = texto;
        for (double valor : {primaNeta, primaTarifa, reserva}) {
            *p++ = ',';
            p = EscribeTextoNumero(p, valor);
        }
        *p++ = '\n';
        // The policy number is the one text cell: kept from being read as a formula.
        if (const QString poliza = Texto(campos[0]); CeldaCsv(poliza) != poliza)
            salida.push_back('\'');
        salida.append(linea);
        salida.append(texto, static_cast<std::size_t>(p - texto));
    }

    void siguienteLinea() { ++m_linea; }
    std::int64_t linea() const { return m_linea; }
    std::int64_t polizas() const { return m_polizas; }
    double reserva() const { return m_reserva.total(); }
    double primaTarifa() const { return m_primaTarifa.total(); }
    double suma() const { return m_suma.total(); }

    // The totals of each scenario with policies, ascending, and the reserve by whole years in force.
    void totales(ResultadoCartera& resultado) const
    {
        for (const auto& [numero, planes] : m_planes)
            if (planes->polizas > 0)
                resultado.porEscenario.push_back({numero, planes->polizas, planes->suma.total(),
                                                  planes->primaTarifa.total(), planes->reserva.total()});
        std::sort(resultado.porEscenario.begin(), resultado.porEscenario.end(),
                  [](const TotalesEscenario& a, const TotalesEscenario& b) { return a.escenario < b.escenario; });
        for (const Suma& s : m_porAntiguedad)
            resultado.reservaPorAntiguedad.push_back(s.total());
    }

    Rechazo rechazo(const QString& campo, const QString& motivo) const
    {
        return {QStringLiteral("Línea %1, campo %2: %3").arg(m_linea).arg(campo, motivo)};
    }
    Rechazo rechazo(const QString& motivo) const { return {QStringLiteral("Línea %1: %2").arg(m_linea).arg(motivo)}; }

  private:
    // A field as a number by the files' rule (EsNumerico): plain decimals are read straight
    // from the bytes, anything else (blanks, a sign "+", an exponent) through ANumero.
    double numero(std::string_view campo, const QString& nombre) const
    {
        bool sencillo = !campo.empty();
        bool punto = false;
        bool cifra = false;
        for (std::size_t i = 0; i < campo.size() && sencillo; ++i) {
            const char c = campo[i];
            if (c >= '0' && c <= '9')
                cifra = true;
            else if (c == '.' && !punto)
                punto = true;
            else if (!(c == '-' && i == 0))
                sencillo = false;
        }
        double valor = 0.0;
        if (sencillo && cifra) {
            const auto r = std::from_chars(campo.data(), campo.data() + campo.size(), valor);
            if (r.ec == std::errc() && r.ptr == campo.data() + campo.size())
                return valor;
        }
        try {
            return ANumero(Texto(campo));
        } catch (const ErrorVV&) {
            throw rechazo(nombre, QStringLiteral("no es un número"));
        }
    }

    PlanesEscenario& escenarioNumero(double escenario, std::string_view campo)
    {
        if (m_ultimo && escenario == m_ultimoNumero)
            return *m_ultimo;
        if (escenario != std::floor(escenario) || escenario < -2147483648.0 || escenario > 2147483647.0)
            throw rechazo(QStringLiteral("Escenario"), QStringLiteral("no existe el escenario ") + Texto(campo));
        const auto clave = static_cast<std::int32_t>(escenario);
        std::unique_ptr<PlanesEscenario>& planes = m_planes[clave];
        if (!planes) {
            planes = std::make_unique<PlanesEscenario>();
            if (std::optional<DefinicionPlan> definicion = LeePlan(m_db, clave)) {
                planes->plan = std::make_unique<Plan>(std::move(*definicion));
                planes->porEdad.resize(static_cast<std::size_t>(
                    std::max(0, planes->plan->ultimaEdad() - planes->plan->primeraEdad() + 1)));
            }
        }
        if (!planes->plan)
            throw rechazo(QStringLiteral("Escenario"), QStringLiteral("no existe el escenario ") + Texto(campo));
        m_ultimo = planes.get();
        m_ultimoNumero = escenario;
        return *planes;
    }

    const ValoresPlan& plan(PlanesEscenario& planes, double edad)
    {
        Plan& plan = *planes.plan;
        // An age outside the table is refused as the plan refuses any age it does not fit.
        const auto x = static_cast<std::int16_t>(std::clamp(edad, -32768.0, 32767.0));
        std::unique_ptr<std::variant<ValoresPlan, QString>> fuera;
        std::unique_ptr<std::variant<ValoresPlan, QString>>* entrada = &fuera;
        if (x >= plan.primeraEdad() && x <= plan.ultimaEdad())
            entrada = &planes.porEdad[static_cast<std::size_t>(x - plan.primeraEdad())];
        if (!*entrada)
            *entrada = std::make_unique<std::variant<ValoresPlan, QString>>(plan.enEdad(x));
        if (const QString* motivo = std::get_if<QString>(entrada->get()))
            throw rechazo(QStringLiteral("Edad"), *motivo);
        return std::get<ValoresPlan>(**entrada);
    }

    QSqlDatabase m_db;
    std::unordered_map<std::int32_t, std::unique_ptr<PlanesEscenario>> m_planes;
    PlanesEscenario* m_ultimo = nullptr;
    double m_ultimoNumero = 0.0;
    std::int64_t m_linea = 0;
    std::int64_t m_polizas = 0;
    Suma m_reserva;
    Suma m_primaTarifa;
    Suma m_suma;
    std::vector<Suma> m_porAntiguedad;
};

void Escribe(ArchivoAtomico& archivo, std::string& bytes)
{
    archivo.escribe(bytes.data(), static_cast<qint64>(bytes.size()));
    bytes.clear();
}

} // namespace

ResultadoCartera ValoraCartera(const QSqlDatabase& db, const QString& entrada, const QString& salida,
                               const std::function<bool(qint64 hecho, qint64 total)>& avanza)
{
    QFile lectura(entrada);
    AbreLectura(lectura);
    ArchivoAtomico escritura(salida);
    escritura.abre({BaseDatosAbierta(db), {entrada, QStringLiteral(" es la cartera que se valora")}});
    const qint64 total = lectura.size();

    ResultadoCartera resultado;
    Valoracion valoracion(db);
    std::string bytes;
    bytes.reserve(Bloque + 4096);
    std::vector<char> bloque(Bloque);
    std::size_t pendiente = 0;
    bool cabecera = true;
    bool fin = false;
    try {
        while (!fin) {
            if (bloque.size() < pendiente + Bloque)
                bloque.resize(pendiente + Bloque);
            const qint64 leidos = lectura.read(bloque.data() + pendiente, static_cast<qint64>(Bloque));
            if (leidos < 0)
                throw ErrorVV::entradaSalida(entrada);
            fin = leidos == 0;
            const std::size_t hay = pendiente + static_cast<std::size_t>(leidos);
            std::size_t inicio = 0;
            while (inicio < hay) {
                const char* nl = static_cast<const char*>(std::memchr(bloque.data() + inicio, '\n', hay - inicio));
                // A line longer than allowed is refused as soon as it is seen, not read to its end.
                if (!nl && !fin && hay - inicio <= MaximoBytesLinea + 1)
                    break;
                const std::size_t final_ = nl ? static_cast<std::size_t>(nl - bloque.data()) : hay;
                std::string_view linea(bloque.data() + inicio, final_ - inicio);
                inicio = final_ + 1;
                if (!linea.empty() && linea.back() == '\r')
                    linea.remove_suffix(1);
                valoracion.siguienteLinea();
                if (linea.size() > MaximoBytesLinea)
                    throw valoracion.rechazo(QStringLiteral("tiene más de %1 bytes").arg(MaximoBytesLinea));
                if (cabecera) {
                    if (linea.substr(0, 3) == "\xEF\xBB\xBF")
                        linea.remove_prefix(3);
                    if (Texto(linea) != CabeceraCartera)
                        throw valoracion.rechazo(QStringLiteral("la cabecera debe ser ") + CabeceraCartera);
                    cabecera = false;
                    bytes.append(
                        (CabeceraCartera + QLatin1Char(',') + ColumnasValoradas + QLatin1Char('\n')).toStdString());
                } else if (!linea.empty()) {
                    valoracion.poliza(linea, bytes);
                    if (bytes.size() >= Bloque)
                        Escribe(escritura, bytes);
                }
            }
            pendiente = inicio < hay ? hay - inicio : 0;
            std::memmove(bloque.data(), bloque.data() + (hay - pendiente), pendiente);
            if (avanza && !avanza(lectura.pos(), total)) {
                resultado.estado = ResultadoCartera::Estado::Cancelada;
                return resultado;
            }
        }
        if (cabecera) {
            valoracion.siguienteLinea();
            throw valoracion.rechazo(QStringLiteral("la cabecera debe ser ") + CabeceraCartera);
        }
    } catch (const Rechazo& r) {
        resultado.estado = ResultadoCartera::Estado::Rechazada;
        resultado.rechazo = r.texto;
        return resultado;
    }
    Escribe(escritura, bytes);
    escritura.confirma();
    resultado.polizas = valoracion.polizas();
    resultado.reservaTotal = valoracion.reserva();
    resultado.primaTarifaTotal = valoracion.primaTarifa();
    resultado.sumaAseguradaTotal = valoracion.suma();
    valoracion.totales(resultado);
    return resultado;
}

QStringList ResumenCartera(const ResultadoCartera& resultado)
{
    return {QStringLiteral("Pólizas: ") + QString::number(resultado.polizas),
            QStringLiteral("Reserva total: ") + TextoNumero(resultado.reservaTotal),
            QStringLiteral("Prima de tarifa total: ") + TextoNumero(resultado.primaTarifaTotal)};
}

} // namespace valvida
