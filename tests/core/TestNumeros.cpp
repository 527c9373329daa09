#include "core/ErrorVV.h"
#include "core/Numeros.h"

#include <QScopeGuard>
#include <QTest>

#include <algorithm>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>
#include <random>
#include <span>
#include <string_view>
#include <tuple>
#include <vector>

using namespace valvida;

namespace {

// A conversion's result as the system's text, or its error as "number description".
template <typename F> QString Resultado(F conversion)
{
    try {
        return TextoNumero(conversion());
    } catch (const ErrorVV& e) {
        return QString::number(e.numero()) + ' ' + e.descripcion();
    }
}

const char* const NoCoinciden = "13 No coinciden los tipos";
const char* const Desborda = "6 Desbordamiento";

} // namespace

class TestNumeros : public QObject
{
    Q_OBJECT

  private slots:
    void textoNumero()
    {
        // 15 significant digits, no grouping, the exponent below 1E-04 and from 1E+15; the last row
        // is a rate as it reaches the reserve: 4.1 as a 32-bit float is 4.099999904632568359375.
        // clang-format off
        const std::pair<double, const char*> casos[] = {
            {3.0, "3"}, {0.14736842105263157, "0.147368421052632"}, {-0.0, "0"}, {-2.25, "-2.25"},
            {1.23e-5, "1.23E-05"}, {0.0001, "0.0001"}, {1e-5, "1E-05"}, {0.1 + 0.2, "0.3"},
            {999999999999999.0, "999999999999999"}, {1e15, "1E+15"}, {1234567.5, "1234567.5"},
            {2.5e-100, "2.5E-100"}, {double(AFlotante32(4.1)), "4.09999990463257"}};
        // clang-format on
        // The program runs under the user's numeric locale, whose decimal mark may be the comma: here
        // es_ES where the machine has it (every other test writes numbers under C).
        std::setlocale(LC_NUMERIC, "es_ES.UTF-8");
        const auto restaura = qScopeGuard([] { std::setlocale(LC_NUMERIC, "C"); });
        for (const auto& [valor, texto] : casos) {
            QCOMPARE(TextoNumero(valor), texto);
            // What is written reads back as the same number to 15 digits.
            QVERIFY(std::fabs(ANumero(texto) - valor) <= std::fabs(valor) * 1e-14);
        }
    }

    void textoNumeroComoPrintf()
    {
        // Files hold what %.15g writes, with "E" for "e": to_chars is the rule; the writer's own
        // digits must match it byte for byte. Hard cases first (ties at the 15th digit, the edges
        // of the exponent form and of the scales the writer handles itself), then random values:
        // any double, log-uniform over 1e-10..1e17, money to the cent and rates to 8 decimals.
        const double min = std::numeric_limits<double>::min(), max = std::numeric_limits<double>::max();
        // clang-format off
        std::vector<double> valores = {
            0.1, 1.0 / 3, 2.0 / 3, 1e-4, 9.99999999999999e-5, 9.999999999999995e-5, 1e-5, 1e-8, 9.99999999999999e-9,
            1.000000000000001e-8, 1e-9, 1e14, 99999999999999.95, 999999999999999.4, 999999999999999.5,
            999999999999999.6, 1e15, 1e16, 123456789012345678.0, 1e22, 1e23, max, min, min / 3, 5e-324,
            std::ldexp(1.0, -22), std::ldexp(1.0, -30), 12345678901234.25, 12345678901234.75, 1234567890123.125,
            1234567890123.375, 0.5, 0.25, 0.125, 1.5, 2.5, 9.5, 0.15, 0.45, 1e-300, 4.5e15, 9007199254740993.0};
        // clang-format on
        std::mt19937_64 azar(7);
        for (int i = 0; i < 600000; ++i) {
            valores.push_back(std::bit_cast<double>(azar()));
            valores.push_back(std::pow(10.0, std::uniform_real_distribution<double>(-10, 17)(azar)));
            valores.push_back(static_cast<double>(azar() % 100000000000) / 100);
            valores.push_back(static_cast<double>(azar() % 1000000000) / 1e8);
            // Ties and near ties: a 16th digit of 5 in the last places a double holds.
            valores.push_back(std::ldexp(static_cast<double>(azar() >> 11), -static_cast<int>(azar() % 80)));
        }
        char texto[32], esperado[40];
        std::string columnas; // each value of `valores` after a comma, as written alone
        for (const double v : valores) {
            for (const bool negativo : {false, true}) {
                const double valor = negativo ? -v : v;
                char* fin =
                    std::to_chars(esperado, esperado + sizeof esperado, valor, std::chars_format::general, 15).ptr;
                std::replace(esperado, fin, 'e', 'E');
                // Zero is written unsigned, NaN always as "nan".
                const std::string_view regla = valor == 0          ? "0"
                                               : std::isnan(valor) ? "nan"
                                                                   : std::string_view(esperado, fin);
                const std::string_view escrito(texto, EscribeTextoNumero(texto, valor));
                if (escrito != regla)
                    QFAIL(qPrintable(QString::asprintf("%.17g: ", valor) + QLatin1String(escrito) + " en vez de " +
                                     QLatin1String(regla)));
                if (!negativo)
                    columnas.append(",").append(escrito);
            }
        }
        // The same values as a file's columns, written in runs of 1 to 7.
        std::string escritas(valores.size() * 33, '\0');
        char* c = escritas.data();
        for (std::size_t i = 0, k = 1; i < valores.size(); i += k, k = k % 7 + 1)
            c = EscribeColumnasNumeros(c, std::span(valores).subspan(i, std::min(k, valores.size() - i)));
        QVERIFY(std::string_view(escritas.data(), static_cast<std::size_t>(c - escritas.data())) == columnas);
    }

    void aNumero()
    {
        // Stored text and files: the point only, blanks around, an exponent; 13 when it is not a
        // number, 6 when it is too large to be one.
        const char* const casos[][2] = {
            {"35", "35"},         {"  -4.5  ", "-4.5"},  {"+7", "7"},          {".053", "0.053"},
            {"5.", "5"},          {"1.2E+05", "120000"}, {"1e400", Desborda},  {"", NoCoinciden},
            {"   ", NoCoinciden}, {".", NoCoinciden},    {"5,5", NoCoinciden}, {"1.2.3", NoCoinciden},
            {"12a", NoCoinciden}, {"1e", NoCoinciden},   {"-", NoCoinciden},
        };
        for (const auto& [texto, esperado] : casos) {
            const QString t = QString::fromUtf8(texto);
            QCOMPARE(t + " > " + Resultado([&] { return ANumero(t); }), t + " > " + esperado);
            QCOMPARE(EsNumerico(t), esperado != NoCoinciden);
        }
    }

    void numeroTecleado()
    {
        // Typed into a box, by the locale's rules (E es_ES, C, F fr_FR): whether a box lets the user
        // type on from the text, and the number it is once typed ("" when none). Groups of three only
        // in the integer part; a mark out of place is refused, never read as another number.
        // clang-format off
        const std::tuple<const char*, char, bool, const char*> casos[] = {
            {" 4,5 ", 'E', true, "4.5"}, {"-4,5e-1", 'E', true, "-0.45"}, {"100.000", 'E', true, "100000"},
            {"100.000,5", 'E', true, "100000.5"}, {"1.000.000", 'E', true, "1000000"}, {"100000", 'E', true, "100000"},
            {"1.000,", 'E', true, "1000"}, {",5", 'E', true, "0.5"}, {"4,", 'E', true, "4"}, {",", 'E', true, ""},
            {"4.5", 'E', true, ""}, {"1.00", 'E', true, ""}, {"100.", 'E', true, ""}, {"1.000.00", 'E', true, ""},
            {"4.5000", 'E', false, ""}, {"10.0000", 'E', false, ""}, {"1000.000", 'E', false, ""},
            {"1,000.5", 'E', false, ""}, {"1,2.3", 'E', false, ""}, {"4.5e1", 'E', false, ""},
            {"100,000", 'C', true, "100000"}, {"1,000,000.25", 'C', true, "1000000.25"}, {"4.5", 'C', true, "4.5"},
            {".5", 'C', true, "0.5"}, {"5.", 'C', true, "5"}, {"4,5", 'C', true, ""}, {"1,00", 'C', true, ""},
            {"4,5e1", 'C', false, ""}, {"1,000.5,0", 'C', false, ""}, {"-", 'C', true, ""}, {"", 'C', true, ""},
            {"1e-", 'C', true, ""}, {"1e400", 'C', true, ""}, {"e5", 'C', false, ""}, {"1 2", 'C', false, ""},
            {"1 000,5", 'F', true, "1000.5"}, {"1\u202f000\u202f000", 'F', true, "1000000"}, {"1 00", 'F', true, ""},
            {"1.000", 'F', false, ""}};
        // clang-format on
        for (const auto& [texto, codigo, inicio, numero] : casos) {
            const QLocale locale = codigo == 'E'   ? QLocale(QLocale::Spanish, QLocale::Spain)
                                   : codigo == 'F' ? QLocale(QLocale::French, QLocale::France)
                                                   : QLocale::c();
            const QString t = QString::fromUtf8(texto) + ' ' + codigo;
            const std::optional<double> n = NumeroTecleado(QString::fromUtf8(texto), locale);
            QCOMPARE(t + " > " + (n ? TextoNumero(*n) : QString()), t + " > " + numero);
            QCOMPARE(t + (EsInicioDeNumero(QString::fromUtf8(texto), locale) ? " inicio" : ""),
                     t + (inicio ? " inicio" : ""));
        }
    }

    void textoPantalla()
    {
        // On screen, under es_ES and C: per unit to 8 decimals, money grouped in threes from four
        // digits on with 2 decimals, whole numbers ties to even, commutation values to 10 digits.
        // clang-format off
        const std::tuple<double, Formato, const char*, const char*> casos[] = {
            {0.00042625830462608, Formato::PorUnidad, "0,00042626", "0.00042626"},
            {0.999999999999999, Formato::PorUnidad, "1,00000000", "1.00000000"},
            {1234567.891, Formato::Dinero, "1.234.567,89", "1,234,567.89"}, {1234.5, Formato::Dinero, "1.234,50", "1,234.50"},
            {100000.0, Formato::Dinero, "100.000,00", "100,000.00"}, {-999.994, Formato::Dinero, "-999,99", "-999.99"},
            {-0.004, Formato::Dinero, "0,00", "0.00"}, {40.0, Formato::Entero, "40", "40"}, {-3.0, Formato::Entero, "-3", "-3"},
            {2.5, Formato::Entero, "2", "2"}, {-0.4, Formato::Entero, "0", "0"}, {12345.0, Formato::Entero, "12345", "12345"},
            {98765.432109876, Formato::Conmutado, "98765,43211", "98765.43211"},
            {9.87654321e-05, Formato::Conmutado, "9,87654321E-05", "9.87654321E-05"},
            {12345678901.0, Formato::Conmutado, "1,23456789E+10", "1.23456789E+10"},
            {std::numeric_limits<double>::quiet_NaN(), Formato::Dinero, "nan", "nan"},
            {-std::numeric_limits<double>::infinity(), Formato::PorUnidad, "-inf", "-inf"}};
        // clang-format on
        for (const auto& [valor, formato, es, c] : casos) {
            QCOMPARE(TextoPantalla(valor, formato, QLocale(QLocale::Spanish, QLocale::Spain)), QString::fromUtf8(es));
            QCOMPARE(TextoPantalla(valor, formato, QLocale::c()), QString::fromUtf8(c));
        }
    }

    void entero16RedondeaAlParYDesborda()
    {
        // clang-format off
        const std::pair<double, const char*> casos[] = {{4.5, "4"}, {5.5, "6"}, {-2.5, "-2"}, {4.49, "4"},
            {32767.0, "32767"}, {32767.5, Desborda}, {-32768.5, "-32768"}, {-32769.0, Desborda},
            {std::numeric_limits<double>::infinity(), Desborda}};
        // clang-format on
        for (const auto& [valor, esperado] : casos)
            QCOMPARE(TextoNumero(valor) + " > " + Resultado([&] { return AEntero16(valor); }),
                     TextoNumero(valor) + " > " + esperado);
    }

    void redondeaPar()
    {
        // Premiums per unit sum insured are kept to four decimals, ties to even. 1234.56785 is
        // stored just below the tie, but times 10^4 it rounds to 12345678.5 exactly.
        // clang-format off
        const std::tuple<double, int, const char*> casos[] = {{0.5, 0, "0"}, {2.5, 0, "2"}, {0.375, 2, "0.38"},
            {1234.56785, 4, "1234.5678"}, {2.718281828, 4, "2.7183"}, {0.012345 * 100000, 4, "1234.5"}};
        // clang-format on
        for (const auto& [valor, decimales, esperado] : casos)
            QCOMPARE(TextoNumero(RedondeaPar(valor, decimales)), esperado);
    }
};

QTEST_GUILESS_MAIN(TestNumeros)
#include "TestNumeros.moc"
