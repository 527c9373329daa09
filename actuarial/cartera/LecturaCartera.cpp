#include "actuarial/cartera/LecturaCartera.h"

#include "actuarial/almacen/Planes.h"
#include "core/Archivos.h"
#include "core/BaseDatos.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"
#include "core/Texto.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
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

namespace {

// Lines are read, valued and written in blocks of this size: a few in flight, each with its
// output (about three times as many bytes) and its valued lines, stay within a few megabytes.
constexpr std::size_t BytesBloque = std::size_t{1} << 18;

// The most bytes in a line, as for a mortality table: a policy's five fields with ample room.
constexpr std::size_t MaximoBytesLinea = 4096;

QString Texto(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The plans of one scenario by issue age, each computed the first time a policy asks for it.
struct PlanesEscenario
{
    std::unique_ptr<Plan> plan; // none: no such scenario
    std::int32_t primeraEdad = 0;
    std::int32_t ultimaEdad = -1;
    std::int32_t orden = 0; // its place among the scenarios read
    std::vector<std::unique_ptr<std::variant<ValoresPlan, QString>>> porEdad;
    std::map<std::int16_t, std::unique_ptr<std::variant<ValoresPlan, QString>>> fuera; // ages outside the table
};

// Thrown to a thread still waiting for a scenario when the valuation ends: its block is dropped.
struct Abandono
{
};

/*!
 * What the threads of a valuation share: the plans, each scenario read from the store by the
 * thread that opened it only (the connection is that thread's), and the lock and the condition
 * under which the blocks in flight (Valoracion) are handed out and taken back.
 */
struct Reparto
{
    explicit Reparto(const QSqlDatabase& base)
        : db(base)
        , principal(std::this_thread::get_id())
    {
    }

    // The plans of a scenario (a null plan: no such scenario). Another thread asks the first one
    // and waits.
    PlanesEscenario& escenario(std::int32_t clave)
    {
        std::unique_lock bloqueo(m);
        for (;;) {
            if (const auto e = escenarios.find(clave); e != escenarios.end()) {
                if (e->second.fallo)
                    std::rethrow_exception(e->second.fallo);
                return *e->second.planes;
            }
            if (std::this_thread::get_id() == principal) {
                bloqueo.unlock();
                lee(clave);
                bloqueo.lock();
                continue;
            }
            if (fin)
                throw Abandono{};
            if (std::find(pedidos.begin(), pedidos.end(), clave) == pedidos.end())
                pedidos.push_back(clave);
            cambio.notify_all();
            cambio.wait(bloqueo);
        }
    }

    // The plan at age x, or why it cannot be valued there; computed once, by one thread at a time.
    const std::variant<ValoresPlan, QString>& enEdad(PlanesEscenario& planes, std::int16_t x)
    {
        const std::lock_guard bloqueo(m);
        std::unique_ptr<std::variant<ValoresPlan, QString>>& valores =
            x >= planes.primeraEdad && x <= planes.ultimaEdad
                ? planes.porEdad[static_cast<std::size_t>(x - planes.primeraEdad)]
                : planes.fuera[x];
        if (!valores)
            valores = std::make_unique<std::variant<ValoresPlan, QString>>(planes.plan->enEdad(x));
        return *valores;
    }

    // The first thread: reads the scenarios asked for. Called with `m` held.
    void atiende(std::unique_lock<std::mutex>& bloqueo)
    {
        if (pedidos.empty())
            return;
        while (!pedidos.empty()) {
            const std::int32_t clave = pedidos.back();
            pedidos.pop_back();
            bloqueo.unlock();
            lee(clave);
            bloqueo.lock();
        }
        cambio.notify_all();
    }

    // Reads scenario `clave` from the store: its plan, or the store's failure kept for who asks.
    void lee(std::int32_t clave)
    {
        Leido leido;
        leido.planes = std::make_unique<PlanesEscenario>();
        try {
            if (std::optional<DefinicionPlan> definicion = LeePlan(db, clave)) {
                PlanesEscenario& planes = *leido.planes;
                planes.plan = std::make_unique<Plan>(std::move(*definicion));
                planes.primeraEdad = planes.plan->primeraEdad();
                planes.ultimaEdad = planes.plan->ultimaEdad();
                planes.porEdad.resize(
                    static_cast<std::size_t>(std::max(0, planes.ultimaEdad - planes.primeraEdad + 1)));
            }
        } catch (...) {
            leido.fallo = std::current_exception();
        }
        const std::lock_guard bloqueo(m);
        leido.planes->orden = static_cast<std::int32_t>(escenarios.size());
        escenarios.try_emplace(clave, std::move(leido));
    }

    struct Leido
    {
        std::unique_ptr<PlanesEscenario> planes;
        std::exception_ptr fallo;
    };

    QSqlDatabase db;
    std::thread::id principal;
    std::mutex m;
    std::condition_variable cambio;
    std::unordered_map<std::int32_t, Leido> escenarios;
    std::vector<std::int32_t> pedidos; // scenarios a thread waits for
    bool fin = false;                  // no more blocks: the threads end
};

// The bytes readable after the end of a block's lines (zeros), so a field is read eight bytes at a time.
constexpr std::size_t Relleno = 8;

// The digits at `p`, before `fin`, up to eight of them, appended to m; `p` is left after them.
// Eight bytes are read at once (the block's padding keeps them readable), each told a digit or
// not in parallel, and the digits turned into their number by three products.
[[gnu::always_inline]] inline std::ptrdiff_t Cifras(const char*& p, const char* fin, std::uint64_t& m)
{
    static_assert(std::endian::native == std::endian::little, "the first byte is the lowest");
    static constexpr std::uint64_t Potencias[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    std::uint64_t w = 0;
    std::memcpy(&w, p, 8);
    // A byte is a digit when its high half is 3 and adding 6 leaves it 3 (a carry from a byte
    // over 0xF9 can only make a digit look like none, never the reverse).
    const std::uint64_t ninguna = ((w & 0xF0F0F0F0F0F0F0F0) ^ 0x3030303030303030) |
                                  (((w + 0x0606060606060606) & 0xF0F0F0F0F0F0F0F0) ^ 0x3030303030303030);
    const std::ptrdiff_t n = std::min<std::ptrdiff_t>(ninguna ? std::countr_zero(ninguna) / 8 : 8, fin - p);
    if (n == 0)
        return 0;
    // The n digits to the top bytes, as values, zeros below: then pairs, fours and eight.
    std::uint64_t d = ((w & 0x0F0F0F0F0F0F0F0F) << (8 * (8 - n))) * 2561 >> 8;
    d = (d & 0x00FF00FF00FF00FF) * 6553601 >> 16;
    d = (d & 0x0000FFFF0000FFFF) * 42949672960001 >> 32;
    m = m * Potencias[n] + d;
    p += n;
    return n;
}

// The digits at `p` as Cifras reads them, eight at a time, no more than 16 counted.
[[gnu::always_inline]] inline std::ptrdiff_t TodasLasCifras(const char*& p, const char* fin, std::uint64_t& m)
{
    std::ptrdiff_t n = Cifras(p, fin, m);
    if (n == 8)
        n += Cifras(p, fin, m);
    return n;
}

// A plain decimal at `c`: an optional "-", digits with at most one "." among or around them, 1 to
// 15 digits in all, read up to the first byte that is none of these (`c` is left there). Its
// digits are a whole number m held exactly, and m / 10^d is the double nearest the decimal, as one
// correctly rounded division of two exact values: what from_chars reads. False for anything else.
// Reads up to Relleno bytes past `fin`.
[[gnu::always_inline]] inline bool Decimal(const char*& c, const char* fin, double& valor)
{
    static constexpr double Potencias[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const bool negativo = c != fin && *c == '-';
    const char* p = c + (negativo ? 1 : 0);
    std::uint64_t m = 0;
    std::ptrdiff_t cifras = TodasLasCifras(p, fin, m);
    std::ptrdiff_t decimales = 0;
    if (p != fin && *p == '.' && cifras <= 15) {
        ++p;
        decimales = TodasLasCifras(p, fin, m);
        cifras += decimales;
    }
    if (cifras == 0 || cifras > 15)
        return false;
    // A whole number is exact as it is: the division, slow, only for decimals.
    const double v = decimales > 0 ? static_cast<double>(m) / Potencias[decimales] : static_cast<double>(m);
    valor = negativo ? -v : v;
    c = p;
    return true;
}

// Whether a field's value (always finite) is whole: from 2^52 on every double is.
bool Entero(double valor)
{
    return std::fabs(valor) >= 4503599627370496.0 || valor == static_cast<double>(static_cast<std::int64_t>(valor));
}

// The first byte of the eight in `w` (the first byte lowest) that is `a` or `b`, times 8; 64 for none.
// A byte's xor with its target is zero where it matches; the borrow trick flags the lowest zero
// byte exactly (false flags only appear above a true one).
[[gnu::always_inline]] inline int PrimeroDe(std::uint64_t w, unsigned char a, unsigned char b)
{
    constexpr std::uint64_t Unos = 0x0101010101010101;
    constexpr std::uint64_t Altos = 0x8080808080808080;
    const std::uint64_t xa = w ^ (Unos * a);
    const std::uint64_t xb = w ^ (Unos * b);
    const std::uint64_t ceros = (((xa - Unos) & ~xa) | ((xb - Unos) & ~xb)) & Altos;
    return ceros ? std::countr_zero(ceros) & ~7 : 64;
}

// The usual line at `c`, five fields and four plain decimals (Decimal), split and read in one pass
// up to its end: "\n", "\r\n" or the block's end `fin`. Answers where the next line starts, or null
// for any other line, which is split and read field by field, refused where it fails. Scenario
// and age, mostly of one or two digits, skip Decimal. Reads up to Relleno bytes past `fin`.
const char* EnUnaPasada(const char* c, const char* const fin, std::string_view& linea, std::string_view (&campos)[5],
                        double (&numeros)[4])
{
    const char* const inicio = c;
    for (;; c += 8) {
        if (c >= fin)
            return nullptr;
        std::uint64_t w = 0;
        std::memcpy(&w, c, 8);
        if (const int bits = PrimeroDe(w, ',', '\n'); bits < 64) {
            c += bits / 8;
            break;
        }
    }
    if (c >= fin || *c != ',')
        return nullptr;
    campos[0] = std::string_view(inicio, static_cast<std::size_t>(c - inicio));
    for (int k = 0; k < 4; ++k) {
        const char* const campo = ++c;
        const auto d0 = static_cast<unsigned char>(c[0] - '0');
        const auto d1 = static_cast<unsigned char>(c[1] - '0');
        if (k < 2 && d0 < 10 && c[1] == ',') {
            numeros[k] = d0;
            c += 1;
        } else if (k < 2 && d0 < 10 && d1 < 10 && c[2] == ',') {
            numeros[k] = d0 * 10 + d1;
            c += 2;
        } else if (!Decimal(c, fin, numeros[k]) || (k < 3 && (c == fin || *c != ','))) {
            return nullptr;
        }
        campos[k + 1] = std::string_view(campo, static_cast<std::size_t>(c - campo));
    }
    const char* const final_ = c;
    if (c != fin && *c == '\r')
        ++c;
    if (c != fin) {
        if (*c != '\n')
            return nullptr;
        ++c;
    }
    if (static_cast<std::size_t>(final_ - inicio) > MaximoBytesLinea)
        return nullptr;
    linea = std::string_view(inicio, static_cast<std::size_t>(final_ - inicio));
    return c;
}

// Splits and checks each policy line; its thread's own view of the shared plans.
class Lector
{
  public:
    explicit Lector(Reparto& reparto)
        : m_reparto(reparto)
    {
    }

    // The line as EnUnaPasada read it: its fields and numbers.
    PolizaLeida poliza(std::string_view linea, const std::string_view (&campos)[5], const double (&numeros)[4])
    {
        return poliza(linea, campos, &numeros);
    }

    // Any other line, split here and its fields read one by one.
    PolizaLeida poliza(std::string_view linea)
    {
        std::string_view campos[5];
        std::size_t n = 0;
        const char* const fin = linea.data() + linea.size();
        for (const char *c = linea.data(), *inicio = c;; ++c) {
            if (c != fin && *c != ',')
                continue;
            if (n == 5)
                throw rechazo(QStringLiteral("debe tener 5 campos separados por comas"));
            campos[n++] = std::string_view(inicio, static_cast<std::size_t>(c - inicio));
            if (c == fin)
                break;
            inicio = c + 1;
        }
        if (n != 5)
            throw rechazo(QStringLiteral("debe tener 5 campos separados por comas"));
        return poliza(linea, campos, nullptr);
    }

    void siguienteLinea() { ++m_linea; }
    void desdeLinea(std::int64_t linea) { m_linea = linea - 1; }
    std::int64_t polizas() const { return m_polizas; }
    RechazoLinea rechazo(const QString& campo, const QString& motivo) const
    {
        return RechazoDe(m_linea, campo, motivo);
    }
    RechazoLinea rechazo(const QString& motivo) const { return RechazoDe(m_linea, {}, motivo); }

  private:
    // Checks the fields of a line split; its numbers read already, or (none) read here.
    PolizaLeida poliza(std::string_view linea, const std::string_view (&campos)[5], const double (*numeros)[4])
    {
        PolizaLeida p;
        p.linea = m_linea;
        p.texto = linea;
        p.poliza = campos[0];
        if (campos[0].empty())
            throw rechazo(QStringLiteral("Poliza"), QStringLiteral("está vacío"));
        const double escenario = numeros ? (*numeros)[0] : numero(campos[1], "Escenario");
        Escenario& planes = escenarioNumero(escenario, campos[1]);
        const double edad = numeros ? (*numeros)[1] : numero(campos[2], "Edad");
        // The columns hold whole ages only: 40.5 would be valued silently as 40.
        if (!Entero(edad))
            throw rechazo(QStringLiteral("Edad"), QStringLiteral("debe ser un número entero"));
        p.escenario = static_cast<std::int32_t>(escenario);
        p.ordenEscenario = planes.planes->orden;
        p.plan = planes.planes->plan.get();
        p.valores = &plan(planes, edad);
        p.edad = static_cast<std::int16_t>(edad);
        p.suma = numeros ? (*numeros)[2] : numero(campos[3], "Suma_Asegurada");
        if (!(p.suma > 0.0))
            throw rechazo(QStringLiteral("Suma_Asegurada"), QStringLiteral("debe ser mayor que 0"));
        p.antiguedad = numeros ? (*numeros)[3] : numero(campos[4], "Antiguedad");
        if (!(p.antiguedad >= 0.0 && p.antiguedad < p.valores->plazoSeguro))
            throw rechazo(QStringLiteral("Antiguedad"),
                          QStringLiteral("debe ser mayor o igual que 0 y menor que el plazo del seguro (%1)")
                              .arg(p.valores->plazoSeguro));
        ++m_polizas;
        return p;
    }

    // A scenario's plans as this thread has seen them, by issue age.
    struct Escenario
    {
        PlanesEscenario* planes = nullptr;
        std::int32_t primeraEdad = 0;
        std::int32_t ultimaEdad = -1;
        std::vector<const ValoresPlan*> porEdad; // the ages found to be valued, straight to their values
    };

    // A field as a number by the files' rule (EsNumerico): plain decimals (Decimal) from the
    // bytes, longer ones through from_chars, anything else (blanks, a sign "+", an exponent)
    // through ANumero.
    double numero(std::string_view campo, const char* nombre) const
    {
        const char* c = campo.data();
        if (double valor = 0.0; Decimal(c, campo.data() + campo.size(), valor) && c == campo.data() + campo.size())
            return valor;
        bool sencillo = !campo.empty();
        bool punto = false;
        bool cifra = false;
        for (std::size_t i = 0; i < campo.size() && sencillo; ++i) {
            const char k = campo[i];
            if (k >= '0' && k <= '9')
                cifra = true;
            else if (k == '.' && !punto)
                punto = true;
            else if (!(k == '-' && i == 0))
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
            throw rechazo(QString::fromLatin1(nombre), QStringLiteral("no es un número"));
        }
    }

    Escenario& escenarioNumero(double escenario, std::string_view campo)
    {
        if (m_ultimo && escenario == m_ultimoNumero)
            return *m_ultimo;
        // A portfolio mixes a few scenarios of small numbers: those are found without hashing.
        const auto directo = static_cast<std::size_t>(std::clamp(escenario, 0.0, double{Directos}));
        if (directo < Directos && static_cast<double>(directo) == escenario && m_directos[directo]) {
            m_ultimo = m_directos[directo];
            m_ultimoNumero = escenario;
            return *m_ultimo;
        }
        if (!Entero(escenario) || escenario < -2147483648.0 || escenario > 2147483647.0)
            throw rechazo(QStringLiteral("Escenario"), QStringLiteral("no existe el escenario ") + Texto(campo));
        const auto clave = static_cast<std::int32_t>(escenario);
        Escenario& visto = m_escenarios[clave];
        if (!visto.planes) {
            visto.planes = &m_reparto.escenario(clave);
            visto.primeraEdad = visto.planes->primeraEdad;
            visto.ultimaEdad = visto.planes->ultimaEdad;
            visto.porEdad.resize(visto.planes->porEdad.size());
        }
        if (!visto.planes->plan)
            throw rechazo(QStringLiteral("Escenario"), QStringLiteral("no existe el escenario ") + Texto(campo));
        if (clave >= 0 && static_cast<std::size_t>(clave) < Directos)
            m_directos[static_cast<std::size_t>(clave)] = &visto;
        m_ultimo = &visto;
        m_ultimoNumero = escenario;
        return visto;
    }

    const ValoresPlan& plan(Escenario& visto, double edad)
    {
        const auto x = static_cast<std::int16_t>(std::clamp(edad, -32768.0, 32767.0));
        const auto i = static_cast<std::size_t>(x - visto.primeraEdad);
        const bool enTabla = x >= visto.primeraEdad && x <= visto.ultimaEdad;
        if (enTabla && visto.porEdad[i])
            return *visto.porEdad[i];
        // An age outside the table is refused as the plan refuses any age it does not fit.
        const std::variant<ValoresPlan, QString>& valores = m_reparto.enEdad(*visto.planes, x);
        if (const QString* motivo = std::get_if<QString>(&valores))
            throw rechazo(QStringLiteral("Edad"), *motivo);
        const ValoresPlan& v = std::get<ValoresPlan>(valores);
        if (enTabla)
            visto.porEdad[i] = &v;
        return v;
    }

    Reparto& m_reparto;
    std::unordered_map<std::int32_t, Escenario> m_escenarios;
    static constexpr std::size_t Directos = 256;
    std::array<Escenario*, Directos> m_directos{}; // the scenarios 0..255 seen, straight to their plans
    Escenario* m_ultimo = nullptr;
    double m_ultimoNumero = 0.0;
    std::int64_t m_linea = 0;
    std::int64_t m_polizas = 0;
};

using Valora = std::function<char*(const PolizaLeida&, char* columnas, LineaValorada&)>;
using Acumula = std::function<void(std::span<const LineaValorada>)>;

// Whole lines of the file, from line `primeraLinea` on, and what valuing them left: the output's
// bytes, the valued lines, and the first failure (the lines before it valued).
struct Bloque
{
    std::unique_ptr<char[]> bytes;
    std::size_t capacidad = 0;
    std::size_t inicio = 0;
    std::size_t fin = 0;
    std::int64_t primeraLinea = 0;
    std::unique_ptr<char[]> salida;
    std::size_t usados = 0; // of salida's bytes
    std::size_t lugar = 0;  // salida's size
    std::vector<LineaValorada> lineas;
    std::int64_t polizas = 0;
    std::optional<RechazoLinea> rechazo;
    std::exception_ptr fallo;
    bool hecho = false; // behind Reparto::m
};

// Room for `bytes` in the block and its padding, what it held lost.
void Reserva(Bloque& b, std::size_t bytes)
{
    if (b.capacidad < bytes) {
        b.bytes = std::make_unique_for_overwrite<char[]>(bytes + Relleno);
        b.capacidad = bytes;
    }
}

// The lines that start in [desde, hasta), the last one perhaps unfinished.
std::int64_t Lineas(const char* desde, const char* hasta)
{
    std::int64_t n = 0;
    for (const char* c = desde; c < hasta; ++c, ++n) {
        c = static_cast<const char*>(std::memchr(c, '\n', static_cast<std::size_t>(hasta - c)));
        if (!c)
            return n + 1;
    }
    return n;
}

// The line at `destino`, its policy number kept from being read as a formula; answers its end.
char* CopiaLinea(char* destino, const PolizaLeida& p)
{
    // Only a cell starting as a formula can need the guard: the rest skip the text's decoding.
    bool posible = false;
    if (!p.poliza.empty()) {
        switch (p.poliza.front()) {
        case '=':
        case '+':
        case '-':
        case '@':
        case '\t':
        case '\r': posible = true;
        }
    }
    if (const QString celda = posible ? Texto(p.poliza) : QString(); posible && CeldaCsv(celda) != celda)
        *destino++ = '\'';
    std::memcpy(destino, p.texto.data(), p.texto.size());
    return destino + p.texto.size();
}

void Valoran(Bloque& b, Lector& lector, const Valora& valora, bool guardaLineas)
{
    b.usados = 0;
    b.lineas.clear();
    b.rechazo.reset();
    b.fallo = nullptr;
    const std::int64_t antes = lector.polizas();
    lector.desdeLinea(b.primeraLinea);
    try {
        const char* c = b.bytes.get() + b.inicio;
        const char* const fin = b.bytes.get() + b.fin;
        while (c < fin) {
            lector.siguienteLinea();
            std::string_view linea;
            std::string_view campos[5];
            double numeros[4];
            const char* const siguiente = EnUnaPasada(c, fin, linea, campos, numeros);
            if (siguiente) {
                c = siguiente;
            } else {
                const char* nl = static_cast<const char*>(std::memchr(c, '\n', static_cast<std::size_t>(fin - c)));
                const char* const final_ = nl ? nl : fin;
                linea = std::string_view(c, static_cast<std::size_t>(final_ - c));
                c = final_ + 1;
                if (!linea.empty() && linea.back() == '\r')
                    linea.remove_suffix(1);
                if (linea.size() > MaximoBytesLinea)
                    throw lector.rechazo(QStringLiteral("tiene más de %1 bytes").arg(MaximoBytesLinea));
                if (linea.empty())
                    continue;
            }
            // Made in place: a policy assigned over a default one costs a clearing and a copy a line.
            const PolizaLeida p = siguiente ? lector.poliza(linea, campos, numeros) : lector.poliza(linea);
            LineaValorada valorada;
            valorada.linea = p.linea;
            valorada.escenario = p.escenario;
            valorada.ordenEscenario = p.ordenEscenario;
            valorada.suma = p.suma;
            valorada.antiguedad = p.antiguedad;
            // Room for the line, its guard, its columns and its end: an output line is about three
            // times its input line, so the block's bytes are seldom moved.
            if (b.lugar - b.usados < p.texto.size() + BytesColumnas + 2) {
                const std::size_t lugar =
                    std::max(2 * b.lugar, 4 * (b.fin - b.inicio) + p.texto.size() + BytesColumnas);
                auto mayor = std::make_unique_for_overwrite<char[]>(lugar);
                std::memcpy(mayor.get(), b.salida.get(), b.usados);
                b.salida = std::move(mayor);
                b.lugar = lugar;
            }
            char* d = CopiaLinea(b.salida.get() + b.usados, p);
            d = valora(p, d, valorada);
            *d++ = '\n';
            b.usados = static_cast<std::size_t>(d - b.salida.get());
            if (guardaLineas)
                b.lineas.push_back(valorada);
        }
    } catch (const RechazoLinea& r) {
        b.rechazo = r;
    } catch (...) {
        b.fallo = std::current_exception();
    }
    b.polizas = lector.polizas() - antes;
}

/*!
 * The threads that value blocks, each with its Lector, and the calling thread's side: blocks
 * handed out in line order, taken back in that order and their lines summed; one more thread
 * writes their bytes in that order, so the calling thread never waits on the disk. With no
 * threads the calling thread values and writes each block as it is handed out.
 */
class Valoracion
{
  public:
    Valoracion(Reparto& reparto, const Valora& valora, const Acumula& acumula, int hilos, ArchivoAtomico& escritura)
        : m_reparto(reparto)
        , m_valora(valora)
        , m_acumula(acumula)
        , m_escritura(escritura)
        , m_lector(reparto)
        , m_limite(static_cast<std::size_t>(hilos) + 2)
    {
        // A thread the system refuses is one fewer; with none the calling thread values alone.
        try {
            for (int h = 0; h < hilos; ++h)
                m_hilos.emplace_back([this] { trabaja(); });
            if (!m_hilos.empty()) {
                m_hilos.emplace_back([this] { escribeEnOrden(); });
                m_escritor = true;
            }
        } catch (const std::system_error&) {
        }
    }

    ~Valoracion()
    {
        {
            const std::lock_guard bloqueo(m_reparto.m);
            m_reparto.fin = true;
            m_pendientes.clear();
        }
        m_reparto.cambio.notify_all();
        m_trabajo.notify_all();
        m_escribir.notify_all();
        for (std::thread& h : m_hilos)
            h.join();
    }

    Valoracion(const Valoracion&) = delete;
    Valoracion& operator=(const Valoracion&) = delete;

    // An empty block to fill, its storage reused.
    std::unique_ptr<Bloque> nuevo()
    {
        const std::lock_guard bloqueo(m_reparto.m);
        if (m_libres.empty())
            return std::make_unique<Bloque>();
        std::unique_ptr<Bloque> b = std::move(m_libres.back());
        m_libres.pop_back();
        return b;
    }

    // Hands a block out; takes back those done while too many are in flight.
    void valora(std::unique_ptr<Bloque> b)
    {
        b->hecho = false;
        Bloque* bloque = b.get();
        m_enCurso.push_back(std::move(b));
        if (m_hilos.empty()) {
            Valoran(*bloque, m_lector, m_valora, static_cast<bool>(m_acumula));
            bloque->hecho = true;
        } else {
            {
                const std::lock_guard bloqueo(m_reparto.m);
                m_pendientes.push_back(bloque);
            }
            m_trabajo.notify_one();
        }
        espera(m_limite);
    }

    // Takes back the blocks in flight until `limite` are left: their lines summed, their bytes
    // handed to the writer; the first failure in line order thrown, or the writer's.
    void espera(std::size_t limite)
    {
        for (;;) {
            std::unique_lock bloqueo(m_reparto.m);
            m_reparto.atiende(bloqueo);
            if (m_falloEscritura)
                std::rethrow_exception(m_falloEscritura);
            if (!m_enCurso.empty() && m_enCurso.front()->hecho) {
                bloqueo.unlock();
                cierra(*m_enCurso.front());
                bloqueo.lock();
                if (m_escritor)
                    m_porEscribir.push_back(std::move(m_enCurso.front()));
                else
                    m_libres.push_back(std::move(m_enCurso.front()));
                m_enCurso.pop_front();
                if (m_escritor)
                    m_escribir.notify_one();
                continue;
            }
            // At most two blocks wait for the writer; none at the end.
            if (m_enCurso.size() <= limite && m_porEscribir.size() <= (limite == 0 ? 0 : 2))
                return;
            m_reparto.cambio.wait(bloqueo);
        }
    }

    void devuelve(std::unique_ptr<Bloque> b)
    {
        const std::lock_guard bloqueo(m_reparto.m);
        m_libres.push_back(std::move(b));
    }

    std::int64_t polizas() const { return m_polizas; }

  private:
    void trabaja()
    {
        Lector lector(m_reparto);
        for (;;) {
            Bloque* b = nullptr;
            {
                std::unique_lock bloqueo(m_reparto.m);
                m_trabajo.wait(bloqueo, [&] { return m_reparto.fin || !m_pendientes.empty(); });
                if (m_pendientes.empty())
                    return;
                b = m_pendientes.front();
                m_pendientes.pop_front();
            }
            Valoran(*b, lector, m_valora, static_cast<bool>(m_acumula));
            {
                const std::lock_guard bloqueo(m_reparto.m);
                b->hecho = true;
            }
            m_reparto.cambio.notify_all();
        }
    }

    // The writer's thread: the blocks summed, their bytes in line order, until the end or a
    // failure, which the calling thread throws.
    void escribeEnOrden()
    {
        for (;;) {
            Bloque* b = nullptr;
            {
                std::unique_lock bloqueo(m_reparto.m);
                m_escribir.wait(bloqueo, [&] { return m_reparto.fin || !m_porEscribir.empty(); });
                if (m_reparto.fin || m_falloEscritura)
                    return;
                b = m_porEscribir.front().get();
            }
            try {
                m_escritura.escribe(b->salida.get(), static_cast<qint64>(b->usados));
            } catch (...) {
                const std::lock_guard bloqueo(m_reparto.m);
                m_falloEscritura = std::current_exception();
            }
            {
                const std::lock_guard bloqueo(m_reparto.m);
                m_libres.push_back(std::move(m_porEscribir.front()));
                m_porEscribir.pop_front();
            }
            m_reparto.cambio.notify_all();
        }
    }

    void cierra(const Bloque& b)
    {
        if (m_acumula)
            m_acumula(b.lineas);
        if (b.rechazo)
            throw *b.rechazo;
        if (b.fallo)
            std::rethrow_exception(b.fallo);
        if (!m_escritor)
            m_escritura.escribe(b.salida.get(), static_cast<qint64>(b.usados));
        m_polizas += b.polizas;
    }

    Reparto& m_reparto;
    const Valora& m_valora;
    const Acumula& m_acumula;
    ArchivoAtomico& m_escritura;
    Lector m_lector;      // the calling thread's, with no threads
    std::size_t m_limite; // blocks in flight: one a thread and two more, so no thread waits for work
    std::deque<std::unique_ptr<Bloque>> m_enCurso; // in line order
    std::vector<std::unique_ptr<Bloque>> m_libres;
    std::deque<Bloque*> m_pendientes;                  // behind Reparto::m, not yet taken by a thread
    std::deque<std::unique_ptr<Bloque>> m_porEscribir; // behind Reparto::m
    std::exception_ptr m_falloEscritura;               // behind Reparto::m
    bool m_escritor = false;                           // a thread writes the blocks; without it the calling thread does
    // Each side waits on its own condition, so a block handed on wakes only who takes it; the
    // calling thread and a thread waiting for a scenario wait on Reparto::cambio.
    std::condition_variable m_trabajo;
    std::condition_variable m_escribir;
    std::int64_t m_polizas = 0;
    std::vector<std::thread> m_hilos; // last: joined first
};

Recorrido Recorre(const QSqlDatabase& db, const QString& entrada, const QString& salida, const QString& columnas,
                  const std::function<bool(qint64 hecho, qint64 total)>& avanza, const Valora& valora,
                  const Acumula& acumula, int hilos)
{
    QFile lectura(entrada);
    AbreLectura(lectura);
    ArchivoAtomico escritura(salida);
    escritura.abre({BaseDatosAbierta(db), {entrada, QStringLiteral(" es la cartera que se valora")}});
    const qint64 total = lectura.size();

    Recorrido resultado;
    Reparto reparto(db);
    Valoracion valoracion(reparto, valora, acumula, hilos, escritura);
    std::unique_ptr<Bloque> bloque = valoracion.nuevo();
    Reserva(*bloque, BytesBloque);
    std::size_t pendiente = 0;
    std::int64_t linea = 0; // the lines before the block
    bool cabecera = true;
    bool fin = false;
    try {
        while (!fin) {
            char* const bytes = bloque->bytes.get();
            const qint64 leidos = lectura.read(bytes + pendiente, static_cast<qint64>(BytesBloque));
            if (leidos < 0)
                throw ErrorVV::entradaSalida(entrada);
            fin = leidos == 0;
            const std::size_t hay = pendiente + static_cast<std::size_t>(leidos);
            std::size_t inicio = 0;
            if (cabecera && hay > 0) {
                const char* nl = static_cast<const char*>(std::memchr(bytes, '\n', hay));
                // A line longer than allowed is refused as soon as it is seen, not read to its end.
                if (nl || fin || hay > MaximoBytesLinea + 1) {
                    const std::size_t final_ = nl ? static_cast<std::size_t>(nl - bytes) : hay;
                    std::string_view texto(bytes, final_);
                    inicio = std::min(final_ + 1, hay);
                    if (!texto.empty() && texto.back() == '\r')
                        texto.remove_suffix(1);
                    linea = 1;
                    if (texto.size() > MaximoBytesLinea)
                        throw RechazoDe(1, {}, QStringLiteral("tiene más de %1 bytes").arg(MaximoBytesLinea));
                    if (texto.substr(0, 3) == "\xEF\xBB\xBF")
                        texto.remove_prefix(3);
                    if (Texto(texto) != CabeceraCartera)
                        throw RechazoDe(1, {}, QStringLiteral("la cabecera debe ser ") + CabeceraCartera);
                    cabecera = false;
                    const std::string titulos =
                        (CabeceraCartera + QLatin1Char(',') + columnas + QLatin1Char('\n')).toStdString();
                    escritura.escribe(titulos.data(), static_cast<qint64>(titulos.size()));
                }
            }
            // The block's whole lines; the last one unfinished waits for more bytes, unless the
            // file ends or it is already too long (then it is refused where it stands).
            std::size_t corte = inicio;
            if (!cabecera && inicio < hay) {
                const void* ultimo = ::memrchr(bytes + inicio, '\n', hay - inicio);
                corte = ultimo ? static_cast<std::size_t>(static_cast<const char*>(ultimo) - bytes) + 1 : inicio;
                if (fin || hay - corte > MaximoBytesLinea + 1)
                    corte = hay;
            }
            pendiente = hay - corte;
            std::unique_ptr<Bloque> siguiente = valoracion.nuevo();
            Reserva(*siguiente, pendiente + BytesBloque);
            std::memcpy(siguiente->bytes.get(), bytes + (hay - pendiente), pendiente);
            if (corte > inicio) {
                std::memset(bytes + corte, 0, Relleno);
                bloque->inicio = inicio;
                bloque->fin = corte;
                bloque->primeraLinea = linea + 1;
                linea += Lineas(bytes + inicio, bytes + corte);
                valoracion.valora(std::move(bloque));
                bloque = std::move(siguiente);
            } else {
                std::swap(bloque, siguiente);
                valoracion.devuelve(std::move(siguiente));
            }
            if (avanza && !avanza(lectura.pos(), total)) {
                valoracion.espera(0);
                resultado.estado = Recorrido::Estado::Cancelada;
                return resultado;
            }
        }
        if (cabecera)
            throw RechazoDe(1, {}, QStringLiteral("la cabecera debe ser ") + CabeceraCartera);
        valoracion.espera(0);
    } catch (const RechazoLinea& r) {
        resultado.estado = Recorrido::Estado::Rechazada;
        resultado.rechazo = r.texto;
        return resultado;
    }
    escritura.confirma();
    resultado.polizas = valoracion.polizas();
    return resultado;
}

} // namespace

Recorrido RecorreCartera(const QSqlDatabase& db, const QString& entrada, const QString& salida, const QString& columnas,
                         const std::function<bool(qint64 hecho, qint64 total)>& avanza,
                         const std::function<char*(const PolizaLeida&, char* columnas)>& valora)
{
    const Valora enLinea = [&valora](const PolizaLeida& p, char* destino, LineaValorada&) {
        return valora(p, destino);
    };
    return Recorre(db, entrada, salida, columnas, avanza, enLinea, {}, 0);
}

Recorrido
RecorreCarteraEnParalelo(const QSqlDatabase& db, const QString& entrada, const QString& salida, const QString& columnas,
                         const std::function<bool(qint64 hecho, qint64 total)>& avanza,
                         const std::function<char*(const PolizaLeida&, char* columnas, LineaValorada&)>& valora,
                         const std::function<void(std::span<const LineaValorada>)>& acumula)
{
    // Beyond four threads the blocks in flight would cost more memory than they save time.
    const int hilos = static_cast<int>(std::min(std::thread::hardware_concurrency(), 4u));
    return Recorre(db, entrada, salida, columnas, avanza, valora, acumula, hilos > 1 ? hilos : 0);
}

} // namespace valvida
