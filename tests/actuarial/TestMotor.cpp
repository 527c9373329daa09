// The engine alone, on columns in memory. Expected values are worked by hand from the tables
// given here (fractions noted beside them), never by the engine's own formulas.

#include "actuarial/motor/Columnas.h"
#include "actuarial/motor/Garantias.h"
#include "actuarial/motor/Generacion.h"
#include "actuarial/motor/Motor.h"
#include "support/BaseTemporal.h"
#include "support/FakeDialogos.h"
#include "support/Ilt.h"
#include "support/Tolerancia.h"

#include <QPointF>
#include <QTest>

#include <algorithm>
#include <array>

using namespace valvida;
using prueba::Exacto;
using prueba::FakeDialogos;

namespace {

constexpr double Tol = 1e-13;

const QString Subindice = QStringLiteral("\r\nError:9\r\nEl subíndice está fuera del intervalo");
const QString PorCero = QStringLiteral("\r\nError:11\r\nDivisión por cero");

// Columns from detail rows "age:q age:q ...", the catalogue's ages running from lo to the last
// age listed.
ColumnasConmutadas Columnas(int lo, double tasa, const QString& detalle)
{
    std::vector<FilaDetalle> filas;
    for (const QString& par : detalle.split(QLatin1Char(' ')))
        filas.push_back({par.section(QLatin1Char(':'), 0, 0).toDouble(), par.section(QLatin1Char(':'), 1).toDouble()});
    ColumnasConmutadas c;
    c.dimensiona(lo, static_cast<int>(*filas.back().edad));
    CalculaColumnas(c, static_cast<std::int16_t>(lo), tasa, filas);
    return c;
}

// Ages 0..2, q = 0.1, 0.2, 1: l = 1, 0.9, 0.72; d = 0.1, 0.18, 0.72.
const QString TresEdadesQ = QStringLiteral("0:0.1 1:0.2 2:1");

// An engine with its own box recorder.
struct Banco
{
    explicit Banco(ColumnasConmutadas c) { motor.columnas = std::move(c); }
    FakeDialogos dialogos;
    Motor motor{[this](const FalloMotor& f) { MostrarError(dialogos, f.rutina, f.error); }};
};

// Columns of ages 0..1 given by D, N and M alone.
ColumnasConmutadas Dos(std::vector<double> D, std::vector<double> N, std::vector<double> M = {0, 0})
{
    ColumnasConmutadas c;
    c.dimensiona(0, 1);
    c.Dx = std::move(D), c.Nx = std::move(N), c.Mx = std::move(M);
    return c;
}

constexpr auto I16 = [](int v) { return static_cast<std::int16_t>(v); };

} // namespace

class TestMotor : public QObject
{
    Q_OBJECT

  private slots:
    void columnas()
    {
        // The catalogue's first age, the detail, the rate, an age and its l, d, p, D, C, N, M, R, S.
        // At 100 %, v = 0.5: D = l 0.5^x, C = d 0.5^(x+1); the rate-0 values are checked as stored by
        // TestAlmacen::conmutados. The same q from age 12: l(12) = 1, but the exponent is the age
        // itself, so every discounted column is the age-0 one times F = 0.5^12. No row for age 2 at
        // 0 %: l(3) comes from the empty slot and everything from it is 0; the sums run over the
        // stored ages only. No row at the first age: the whole table starts from an empty slot.
        const double F = 0.000244140625;
        const QString hueco = QStringLiteral("0:0.1 1:0.2 3:0.5");
        const std::tuple<int, QString, double, int, std::array<double, 9>> casos[] = {
            {0, TresEdadesQ, 100, 0, {1, 0.1, 0.9, 1, 0.05, 1.63, 0.185, 0.41, 2.44}},
            {0, TresEdadesQ, 100, 2, {0.72, 0.72, 0, 0.18, 0.09, 0.18, 0.09, 0.09, 0.18}},
            {12, "12:0.1 13:0.2 14:1", 100, 12, {1, 0.1, 0.9, F, 0.05 * F, 1.63 * F, 0.185 * F, 0.41 * F, 2.44 * F}},
            {0, hueco, 0, 0, {1, 0.1, 0.9, 1, 0.1, 1.9, 0.28, 0.46, 2.8}},
            {0, hueco, 0, 3, {0, 0, 0.5, 0, 0, 0, 0, 0, 0}},
            {0, "1:0.2 2:1", 0, 1, {0, 0, 0.8, 0, 0, 0, 0, 0, 0}},
        };
        for (const auto& [primera, detalle, tasa, edad, valores] : casos) {
            const ColumnasConmutadas c = Columnas(primera, tasa, detalle);
            const std::size_t i = c.indice(edad);
            const double actual[] = {c.lx[i], c.dex[i], c.px[i], c.Dx[i], c.Cx[i], c.Nx[i], c.Mx[i], c.Rx[i], c.Sx[i]};
            for (std::size_t k = 0; k < valores.size(); ++k)
                VV_CERCA(actual[k], valores[k], Tol);
        }
    }

    void funcionesDePrima()
    {
        // fPrimaNivelada (x, n, m, tipo), fSeguro (x, n, 9, tipo), fPrimaTarifa (0.1, beta, 0.015, x, m)
        // with (a, b) = (n, m) or (m, beta). Three-age table at 0 %: D = 1, 0.9, 0.72;
        // N = 2.62, 1.62, 0.72; M = 1, 0.9, 0.72. x above 2: ages 5..32767, every slot 0.
        // Each type's premium is checked on the Illustrative Life Table (reservaProspectiva).
        const QString P = "Funcion: fPrimaNivelada", T = "Funcion: fPrimaTarifa";
        const std::tuple<char, std::array<int, 4>, double, QString> casos[] = {
            // m > n: the payment term is cut to n; x + m = 3 lies beyond the table and is never read.
            {'P', {0, 1, 3, 1}, 0.1, ""},
            // Whole life: the n = m rule is tested before the cut, so m > n pays over n years only
            // (n = m would be M(0)/N(0) = 1/2.62).
            {'P', {0, 1, 3, 2}, 1.0, ""},
            // Type 7 selects nothing: the pure endowment's switches, set just before, price it.
            {'P', {0, 2, 2, 7}, 0.72 / 1.9, ""},
            {'P', {0, 3, 3, 1}, 0.0, P + Subindice},
            {'P', {0, 0, 0, 1}, 0.0, P + PorCero},
            {'A', {0, 2, 9, 1}, 0.28, ""},
            {'A', {0, 3, 9, 1}, 0.0, ""}, // beyond the table: no box
            {'A', {5, 1, 1, 1}, 0.0, "Funcion: fSeguro" + PorCero},
            {'T', {0, 0, 0, 1}, 0.0, T + PorCero},
            {'T', {0, 2, 2, 1}, 0.0, T + PorCero}, // beta = a
            {'T', {0, 5, 0, 1}, 0.0, T + Subindice},
        };
        for (const auto& [funcion, xab, valor, caja] : casos) {
            const std::int16_t x = I16(xab[0]), a = I16(xab[1]), b = I16(xab[2]);
            Banco banco(Columnas(0, 0.0, TresEdadesQ));
            Motor& motor = banco.motor;
            // Every evaluation must set all its switches: start from the pure endowment's.
            motor.fPrimaNivelada(0, 2, 2, 4);
            if (x > 2)
                motor.columnas.dimensiona(5, 32767);
            VV_CERCA(funcion == 'P'   ? motor.fPrimaNivelada(x, a, b, xab[3])
                     : funcion == 'A' ? motor.fSeguro(x, a, b, xab[3])
                                      : motor.fPrimaTarifa(0.1, b, 0.015, x, a),
                     valor, Tol);
            QCOMPARE(banco.dialogos.textos(), caja.isEmpty() ? QStringList{} : QStringList{caja});
        }
    }

    void tarifaRedondeaLaAnualidad()
    {
        // P = 0.1, beta = 0.4, alpha = 0.02 spread over a payments: (0.02/a + 0.1) / (1 - 0.4/a), with
        // a the annuity rounded half to even: 7.5 is 8, 6.5 is 6.
        Banco ocho(Dos({1, 0.5}, {8.5, 1})), seis(Dos({1, 0.5}, {7.5, 1}));
        VV_CERCA(ocho.motor.fPrimaTarifa(0.1, 0.4, 0.02, 0, 1), 0.1025 / 0.95, Tol);
        VV_CERCA(seis.motor.fPrimaTarifa(0.1, 0.4, 0.02, 0, 1), (0.02 / 6 + 0.1) / (1 - 0.4 / 6), Tol);
    }

    void reservas()
    {
        // Three-age table at 0 %, term, n = m = 2, tc = 1 (at i = 0: TestAlmacen::resultados): P = 14/95 in
        // both years; 4.1 arrives as 4.099999904632568359375, g = 1.04099999904632568:
        // V(1) = (P g - 0.1) / 0.9, V(2) = ((P + V(1)) 0.9 g - 0.18) / 0.72, the interest earned beyond
        // the 0 % the premium was priced at. A level premium needs no reference premium, whose ages
        // (0..20) lie beyond the table: no box.
        const double g = 1.04099999904632568359375, P = 14.0 / 95, V1 = (P * g - 0.1) / 0.9;
        // One-year pure endowment of 6 months at 10 %: P = D(1)/D(0) = 0.9/1.1; V(j) = P 1.1^(j/6), V(6) = 0.9.
        const QList<double> dotal{
            0, 0.8312824372691351, 0.8445928217370277, 0.8581163303210331, 0.8718563755363179, 0.8858164245387901, 0.9,
            0};
        // One-year term cover of 12 months at 0 %: P = q(0) = 0.1; V(j) = (1 - (2j - 1)/24) P, the
        // premium not yet earned, from 23/24 P down to P/24 = 0.0042, below 0.005: no reserve.
        const QList<double> doce{0,        2.3 / 24, 2.1 / 24, 1.9 / 24, 1.7 / 24, 1.5 / 24, 1.3 / 24,
                                 1.1 / 24, 0.9 / 24, 0.7 / 24, 0.5 / 24, 0.3 / 24, 0,        0};
        // The columns' rate and detail; x, n, m, type; the reserve's rate and commission type;
        // aReserva(0..n+1) and the boxes.
        const QString fReserva = "Rutina: fReserva" + PorCero;
        const std::tuple<double, QString, std::array<int, 4>, float, float, QList<double>, QStringList> casos[] = {
            {0, TresEdadesQ, {0, 2, 2, 1}, 4.1f, 1, {0, V1, ((P + V1) * 0.9 * g - 0.18) / 0.72, 0}, {}},
            // q = 0.1, 1, 0.5, 0.5 at 0 %: l = 1, 0.9, 0, 0; P = 1/1.9; V1 = (P - 0.1)/0.9 = 9/19; year 2
            // divides by l(2) = 0 and the rest stay 0.
            {0, "0:0.1 1:1 2:0.5 3:0.5", {0, 3, 3, 1}, 0, 1, {0, 9.0 / 19, 0, 0, 0}, {fReserva}},
            // One premium and commission type 2: the reference premium's box (its ages lie beyond the
            // table), then ä1 = (N(1) - N(1)) / D(1) = 0: the modified premium divides by zero and every
            // reserve stays 0.
            {0, TresEdadesQ, {0, 2, 1, 1}, 0, 2, {0, 0, 0, 0}, {"Funcion: fPrimaNivelada" + Subindice, fReserva}},
            {10, TresEdadesQ, {0, 1, 6, 4}, 10, 2, dotal, {}},
            {0, TresEdadesQ, {0, 1, 12, 1}, 0, 1, doce, {}},
        };
        for (const auto& [tasaColumnas, detalle, xnmTipo, tasa, tc, reservas, cajas] : casos) {
            Banco banco(Columnas(0, tasaColumnas, detalle));
            banco.motor.DimensionaReserva(static_cast<int>(reservas.size()) - 1);
            banco.motor.fReserva(I16(xnmTipo[0]), I16(xnmTipo[1]), I16(xnmTipo[2]), xnmTipo[3], tasa, tc);
            QCOMPARE(banco.motor.aReserva.size(), static_cast<std::size_t>(reservas.size()));
            for (int t = 0; t < reservas.size(); ++t)
                VV_CERCA(banco.motor.aReserva[static_cast<std::size_t>(t)], reservas[t], Tol);
            QCOMPARE(banco.dialogos.textos(), cajas);
        }
    }

    void reservaProspectiva_data()
    {
        QTest::addColumn<double>("tasa");
        QTest::addColumn<QList<int>>("xnmTipo");
        QTest::addColumn<float>("tc");
        QTest::addColumn<QList<QPointF>>("figuras"); // (year, reserve) computed apart from this program
        const auto fila = [](const char* nombre, double tasa, QList<int> xnmTipo, float tc, QList<QPointF> figuras) {
            QTest::newRow(nombre) << tasa << xnmTipo << tc << figuras;
        };
        // Every type with level, limited and single premiums on the Illustrative Life Table at 6 %;
        // whole life runs to the table's last age, 110.
        for (int tipo : {1, 2, 3, 4}) {
            const int x = tipo == 2 ? 50 : 40, n = tipo == 2 ? 60 : 20;
            for (int m : {n, 10, 1})
                fila(qPrintable(QString("tipo %1, %2 primas").arg(tipo).arg(m)), 6, {x, n, m, tipo}, 1, {});
        }
        fila("vida entera a 50, 10 primas", 6, {50, 60, 10, 2}, 1, {{40, 0.793}, {59, 0.927}});
        fila("temporal 5 a 60, prima única, 4.5 %", 4.5, {60, 5, 1, 1}, 1, {{4, 0.0187}, {5, 0}});
        fila("dotal puro 5 a 60, prima única, 4.5 %", 4.5, {60, 5, 1, 4}, 1, {{4, 0.938}, {5, 1}});
        fila("dotal puro 20 a 30, 4.5 %", 4.5, {30, 20, 20, 4}, 1, {{19, 0.922}, {20, 1}});
        fila("dotal 20 a 40, 10 primas, 4 %", 4, {40, 20, 10, 3}, 1, {{20, 1}});
        // Commission type 2: year 1 carries c1 (P = P20 here: the reference premium itself), or c1 and
        // the excess P - P20 (10 premiums), and Pz the years after.
        fila("dotal 20 a 40, comisión 2, 4 %", 4, {40, 20, 20, 3}, 2, {{1, 0}, {20, 1}});
        fila("dotal 20 a 40, 10 primas, comisión 2", 6, {40, 20, 10, 3}, 2, {});
    }

    void reservaProspectiva()
    {
        QFETCH(double, tasa);
        QFETCH(QList<int>, xnmTipo);
        QFETCH(float, tc);
        QFETCH(QList<QPointF>, figuras);
        const int x = xnmTipo[0], n = xnmTipo[1], m = xnmTipo[2], tipo = xnmTipo[3];
        Banco banco(prueba::Ilt(tasa));
        const ColumnasConmutadas& c = banco.motor.columnas;
        banco.motor.DimensionaReserva(n + 1);
        banco.motor.fReserva(I16(x), I16(n), I16(m), tipo, static_cast<float>(tasa), tc);
        QCOMPARE(banco.dialogos.textos(), QStringList{});

        // The benefits still to come at age y with k years left: the death cover (for life in whole
        // life, none in a pure endowment) and the survival benefit of the endowments.
        const auto beneficios = [&](int y, int k) {
            const double muerte = tipo == 4 ? 0.0 : c.M(y) - (tipo == 2 ? 0.0 : c.M(y + k));
            return (muerte + (tipo >= 3 ? c.D(y + k) : 0.0)) / c.D(y);
        };
        // Premiums still to come from age y: those up to x + m, or for life (its last age included)
        // when whole life is paid over its whole term.
        const auto anualidad = [&](int y) {
            if (tipo == 2 && m == n)
                return c.N(y) / c.D(y);
            return y < x + m ? (c.N(y) - c.N(x + m)) / c.D(y) : 0.0;
        };
        const double P = beneficios(x, n) / anualidad(x);
        // Modified premiums: K in year 1, Pz in years 2 to m, together worth ä P.
        double K = P, Pz = P;
        if (tc != 1.0f) {
            const double P20 = (c.M(x) - c.M(x + 20) + c.D(x + 20)) / (c.N(x) - c.N(x + 20));
            K = (c.M(x) - c.M(x + 1)) / c.D(x) + std::max(P - P20, 0.0);
            Pz = (anualidad(x) * P - K) / ((c.N(x + 1) - c.N(x + m)) / c.D(x));
        }
        const std::vector<double>& V = banco.motor.aReserva;
        // The guaranteed values of the same policy, with a charge of 5 % from year 2.
        const auto g = CalculaGarantias(c, x, n, m, tipo, V, {5.0, 2});
        for (int t = 0; t <= n; ++t) {
            double esperada = t == 0 ? 0.0 : beneficios(x + t, n - t) - Pz * anualidad(x + t);
            if (t == n && esperada < 0.005)
                esperada = 0.0;
            const auto i = static_cast<std::size_t>(t);
            VV_CERCA(V[i], esperada, 1e-8);
            if (t >= 1)
                VV_CERCA(banco.motor.aPrima[i], t == 1 ? K : (t <= m ? Pz : 0.0), 1e-12);
            VV_CERCA(g[i].seguro, beneficios(x + t, n - t), 1e-12);
            VV_CERCA(g[i].anualidad, anualidad(x + t), 1e-9);
            VV_CERCA(g[i].rescate, tipo != 1 && t >= 1 && t < n && t >= std::min(2, m) ? 0.95 * V[i] : 0.0, 1e-13);
            if (g[i].rescate == 0.0 || t >= m)
                continue;
            VV_CERCA(g[i].saldado * g[i].seguro, g[i].rescate, 1e-13);
            // The cost of k years' death cover at x + t, linear between whole years.
            const auto T = [&](int k) { return (c.M(x + t) - c.M(x + t + k)) / c.D(x + t); };
            const int k = static_cast<int>(std::floor(g[i].prorrogado));
            if (tipo == 4)
                QCOMPARE(g[i].prorrogado, 0.0);
            else if (k < n - t)
                VV_CERCA(T(k) + (g[i].prorrogado - k) * (T(k + 1) - T(k)), g[i].rescate, 1e-13);
            else
                QVERIFY(k == n - t && T(k) <= g[i].rescate);
        }
        for (const QPointF& f : figuras) {
            VV_CERCA(V[static_cast<std::size_t>(f.x())], f.y(), 5e-4);
            if (f.y() == 0) // nought, not rounding noise such as -2E-17
                QCOMPARE(V[static_cast<std::size_t>(f.x())], 0.0);
        }
    }

    void cifrasDelLibroAlSeisPorCiento()
    {
        // Bowers et al., Actuarial Mathematics, 2nd ed., appendix 2A, to the printed digits:
        // A40 = 0.16132, ä40 = 14.8166, and the whole life at 40 paid for life, 1000 P40 = 10.89.
        Banco banco(prueba::Ilt(6.0));
        const ColumnasConmutadas& c = banco.motor.columnas;
        VV_CERCA(c.M(40) / c.D(40), 0.16132, 0.000005);
        VV_CERCA(c.N(40) / c.D(40), 14.8166, 0.00005);
        VV_CERCA(1000 * banco.motor.fPrimaNivelada(40, 70, 70, 2), 10.89, 0.005);
    }

    void generaFilas()
    {
        // Ages 0..1 with D = 1, 1; N = 2, 1; M = 0.2, 0.1: the year's P and risk premium are both
        // 0.2 - 0.1 = 0.1 exactly. Six months: 0.1 * 6 = 0.6000000000000001, over 12 =
        // 0.05000000000000001, where 0.1 * (6/12) would give 0.05. Whatever the commission type,
        // beta is the year-1 rate: PT = (0.015 + 0.1) / (1 - 0.1) * 6/12. Seven rows t = 0..6, all at
        // the issue age, reserves (1 - (2t - 1)/12) 0.1 = (13 - 2t)/120 from month 1.
        Banco meses(Dos({1, 1}, {2, 1}, {0.2, 0.1}));
        std::vector<FilaResultado> filas;
        const auto guarda = [&](const FilaResultado& f) { filas.push_back(f); };
        GeneraFilas(meses.motor, DatosEscenario{0, 1, 6, 1, 0, 2}, {FilaComision{1, 10, 15}}, guarda);
        QCOMPARE(filas.size(), std::size_t{7});
        const QString seisMeses = Exacto(0.05000000000000001);
        for (int t = 0; t < 7; ++t) {
            const FilaResultado& f = filas[static_cast<std::size_t>(t)];
            // As text: QCOMPARE of doubles would forgive the last bit.
            QCOMPARE((QStringList{QString::number(f.anio), Exacto(f.edadAlcanzada), Exacto(f.primaNeta),
                                  Exacto(f.primaRiesgo)}),
                     (QStringList{QString::number(t), "0", seisMeses, seisMeses}));
            VV_CERCA(f.primaTarifa, 0.115 / 0.9 / 2, Tol);
            VV_CERCA(f.reserva, t == 0 ? 0.0 : (13 - 2 * t) / 120.0, Tol);
        }
        QCOMPARE(meses.dialogos.textos(), QStringList{});

        // Years 4, 3, 1 at 10, 30, 50 %, m = 2: 0.1 ä(0,2) with ä(0,2) = 1.9; ä(0,3) lies beyond
        // the table, so 1.9 serves again for 0.2; year 1 adds 0.2. beta = 0.19 + 0.38 + 0.2 = 0.77,
        // PT = (0.015/2 + 14/95) / (1 - 0.77/2).
        Banco tres(Columnas(0, 0.0, TresEdadesQ));
        filas.clear();
        GeneraFilas(tres.motor, DatosEscenario{0, 2, 2, 1, 0, 2},
                    {FilaComision{4, 10, 0}, FilaComision{3, 30, 0}, FilaComision{1, 50, 15}}, guarda);
        QCOMPARE(filas.size(), std::size_t{3});
        VV_CERCA(filas[0].primaTarifa, (0.0075 + 14.0 / 95) / 0.615, Tol);
        QCOMPARE(tres.dialogos.textos(), QStringList{"Funcion: fPrimaNivelada" + Subindice});
    }
};

QTEST_GUILESS_MAIN(TestMotor)
#include "TestMotor.moc"
