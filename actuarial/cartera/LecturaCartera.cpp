#include "actuarial/cartera/LecturaCartera.h"

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
#include <unordered_map>
#include <variant>
#include <vector>

namespace valvida {

RechazoLinea RechazoDe(std::int64_t linea, const QString& campo, const QString& motivo)
{
    if (campo.isEmpty())
        return {QStringLiteral("Línea %1: %2").arg(linea).arg(motivo)};
    return {QStringLiteral("Línea %1, campo %2: %3").arg(linea).arg(campo, motivo)};
}

void Suma::agrega(double termino)
{
    const double t = m_suma + termino;
    m_compensacion += std::fabs(m_suma) >= std::fabs(termino) ? (m_suma - t) + termino : (termino - t) + m_suma;
    m_suma = t;
}

namespace {

// Lines are read and written in blocks of this size.
constexpr std::size_t Bloque = std::size_t{1} << 20;

// The most bytes in a line, as for a mortality table: a policy's five fields with ample room.
constexpr std::size_t MaximoBytesLinea = 4096;

void Escribe(ArchivoAtomico& archivo, std::string& bytes)
{
    archivo.escribe(bytes.data(), static_cast<qint64>(bytes.size()));
    bytes.clear();
}

QString Texto(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The plans of one scenario by issue age, each computed the first time a policy asks for it.
struct PlanesEscenario
{
    std::unique_ptr<Plan> plan; // none: no such scenario
    std::vector<std::unique_ptr<std::variant<ValoresPlan, QString>>> porEdad;
};

// Splits and checks each policy line, and keeps the plans it has computed.
class Lector
{
  public:
    explicit Lector(const QSqlDatabase& db)
        : m_db(db)
    {
    }

    PolizaLeida poliza(std::string_view linea)
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

        PolizaLeida p;
        p.linea = m_linea;
        p.texto = linea;
        p.poliza = campos[0];
        if (campos[0].empty())
            throw rechazo(QStringLiteral("Poliza"), QStringLiteral("está vacío"));
        const double escenario = numero(campos[1], QStringLiteral("Escenario"));
        PlanesEscenario& planes = escenarioNumero(escenario, campos[1]);
        const double edad = numero(campos[2], QStringLiteral("Edad"));
        // The columns hold whole ages only: 40.5 would be valued silently as 40.
        if (edad != std::floor(edad))
            throw rechazo(QStringLiteral("Edad"), QStringLiteral("debe ser un número entero"));
        p.escenario = static_cast<std::int32_t>(escenario);
        p.plan = planes.plan.get();
        p.valores = &plan(planes, edad);
        p.edad = static_cast<std::int16_t>(edad);
        p.suma = numero(campos[3], QStringLiteral("Suma_Asegurada"));
        if (!(p.suma > 0.0))
            throw rechazo(QStringLiteral("Suma_Asegurada"), QStringLiteral("debe ser mayor que 0"));
        p.antiguedad = numero(campos[4], QStringLiteral("Antiguedad"));
        if (!(p.antiguedad >= 0.0 && p.antiguedad < p.valores->plazoSeguro))
            throw rechazo(QStringLiteral("Antiguedad"),
                          QStringLiteral("debe ser mayor o igual que 0 y menor que el plazo del seguro (%1)")
                              .arg(p.valores->plazoSeguro));
        ++m_polizas;
        return p;
    }

    void siguienteLinea() { ++m_linea; }
    std::int64_t polizas() const { return m_polizas; }
    RechazoLinea rechazo(const QString& campo, const QString& motivo) const
    {
        return RechazoDe(m_linea, campo, motivo);
    }
    RechazoLinea rechazo(const QString& motivo) const { return RechazoDe(m_linea, {}, motivo); }

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
};

} // namespace

void PolizaLeida::copia(std::string& salida) const
{
    // Only a cell starting as a formula can need the guard: the rest skip the text's decoding.
    const bool posible = !poliza.empty() && std::string_view("=+-@\t\r").find(poliza.front()) != std::string_view::npos;
    if (const QString celda = posible ? Texto(poliza) : QString(); posible && CeldaCsv(celda) != celda)
        salida.push_back('\'');
    salida.append(texto);
}

Recorrido RecorreCartera(const QSqlDatabase& db, const QString& entrada, const QString& salida, const QString& columnas,
                         const std::function<bool(qint64 hecho, qint64 total)>& avanza,
                         const std::function<void(const PolizaLeida&, std::string& salida)>& valora)
{
    QFile lectura(entrada);
    AbreLectura(lectura);
    ArchivoAtomico escritura(salida);
    escritura.abre({BaseDatosAbierta(db), {entrada, QStringLiteral(" es la cartera que se valora")}});
    const qint64 total = lectura.size();

    Recorrido resultado;
    Lector lector(db);
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
                lector.siguienteLinea();
                if (linea.size() > MaximoBytesLinea)
                    throw lector.rechazo(QStringLiteral("tiene más de %1 bytes").arg(MaximoBytesLinea));
                if (cabecera) {
                    if (linea.substr(0, 3) == "\xEF\xBB\xBF")
                        linea.remove_prefix(3);
                    if (Texto(linea) != CabeceraCartera)
                        throw lector.rechazo(QStringLiteral("la cabecera debe ser ") + CabeceraCartera);
                    cabecera = false;
                    bytes.append((CabeceraCartera + QLatin1Char(',') + columnas + QLatin1Char('\n')).toStdString());
                } else if (!linea.empty()) {
                    valora(lector.poliza(linea), bytes);
                    if (bytes.size() >= Bloque)
                        Escribe(escritura, bytes);
                }
            }
            pendiente = inicio < hay ? hay - inicio : 0;
            std::memmove(bloque.data(), bloque.data() + (hay - pendiente), pendiente);
            if (avanza && !avanza(lectura.pos(), total)) {
                resultado.estado = Recorrido::Estado::Cancelada;
                return resultado;
            }
        }
        if (cabecera) {
            lector.siguienteLinea();
            throw lector.rechazo(QStringLiteral("la cabecera debe ser ") + CabeceraCartera);
        }
    } catch (const RechazoLinea& r) {
        resultado.estado = Recorrido::Estado::Rechazada;
        resultado.rechazo = r.texto;
        return resultado;
    }
    Escribe(escritura, bytes);
    escritura.confirma();
    resultado.polizas = lector.polizas();
    return resultado;
}

} // namespace valvida
