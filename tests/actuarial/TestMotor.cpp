// The engine alone, on columns in memory. Expected values are worked by hand from the tables
// given here (fractions noted beside them), never by the engine's own formulas.

#include "actuarial/motor/Columnas.h"
#include "actuarial/motor/Generacion.h"
#include "actuarial/motor/Motor.h"
#include "support/FakeDialogos.h"
#include "support/Tolerancia.h"

#include <QFile>
#include <QPointF>
#include <QTest>

#include <algorithm>

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

// The Illustrative Life Table (Bowers et al.) as shipped, at a rate in percent.
ColumnasConmutadas Ilt(double tasa)
{
    QFile archivo(QStringLiteral(VALVIDA_TABLAS_DIR "/ilt-bowers.csv"));
    QStringList detalle;
    if (archivo.open(QIODevice::ReadOnly))
        for (const QString& linea : QString::fromUtf8(archivo.readAll()).split('\n', Qt::SkipEmptyParts))
            detalle << linea.section(',', 0, 1).replace(',', ':');
    return Columnas(0, tasa, detalle.join(' '));
}

// Ages 0..2, q = 0.1, 0.2, 1: l = 1, 0.9, 0.72; d = 0.1, 0.18, 0.72.
const QString TresEdadesQ = QStringLiteral("0:0.1 1:0.2 2:1");

// An engine with its own box recorder.
struct Banco
{
    explicit Banco(ColumnasConmutadas c) { motor.columnas = std::move(c); }
    FakeDialogos dialogos;
    Motor motor{dialogos};
};

std::int16_t I16(int v)
{
    return static_cast<std::int16_t>(v);
}

} // namespace

class TestMotor : public QObject
{
    Q_OBJECT

  private slots:
    void columnas_data();
    void columnas();
    void funcionesDePrima_data();
    void funcionesDePrima();
    void tarifaRedondeaLaAnualidad();
    void reservas_data();
    void reservas();
    void reservaProspectiva_data();
    void reservaProspectiva();
    void cifrasDelLibroAlSeisPorCiento();
    void mesesEscalanElProductoPrimero();
    void anualidadFueraDeTablaConservaLaAnterior();
};

void TestMotor::columnas_data()
{
    QTest::addColumn<int>("primera"); // the catalogue's first age
    QTest::addColumn<QString>("detalle");
    QTest::addColumn<double>("tasa");
    QTest::addColumn<int>("edad");
    QTest::addColumn<QList<double>>("valores"); // l, d, p, D, C, N, M, R, S
    // At 100 %, v = 0.5: D = l 0.5^x, C = d 0.5^(x+1). The rate-0 values are checked as stored by
    // TestAlmacen::conmutados.
    QTest::newRow("100% edad 0") << 0 << TresEdadesQ << 100.0 << 0
                                 << QList<double>{1, 0.1, 0.9, 1, 0.05, 1.63, 0.185, 0.41, 2.44};
    QTest::newRow("100% edad 2") << 0 << TresEdadesQ << 100.0 << 2
                                 << QList<double>{0.72, 0.72, 0, 0.18, 0.09, 0.18, 0.09, 0.09, 0.18};
    // Same q from age 12: l(12) = 1, but the exponent is the age itself, so every discounted
    // column is the age-0 one times 0.5^12.
    const double F = 0.000244140625;
    QTest::newRow("desde 12") << 12 << "12:0.1 13:0.2 14:1" << 100.0 << 12
                              << QList<double>{1, 0.1, 0.9, F, 0.05 * F, 1.63 * F, 0.185 * F, 0.41 * F, 2.44 * F};
    // No row for age 2 at 0 %: l(3) comes from the empty slot and everything from it is 0; the
    // sums run over the stored ages only.
    const QString hueco = QStringLiteral("0:0.1 1:0.2 3:0.5");
    QTest::newRow("hueco edad 0") << 0 << hueco << 0.0 << 0 << QList<double>{1, 0.1, 0.9, 1, 0.1, 1.9, 0.28, 0.46, 2.8};
    QTest::newRow("hueco edad 3") << 0 << hueco << 0.0 << 3 << QList<double>{0, 0, 0.5, 0, 0, 0, 0, 0, 0};
    // No row at the first age: the whole table starts from an empty slot.
    QTest::newRow("primera edad alta") << 0 << "1:0.2 2:1" << 0.0 << 1 << QList<double>{0, 0, 0.8, 0, 0, 0, 0, 0, 0};
}

void TestMotor::columnas()
{
    QFETCH(int, primera);
    QFETCH(QString, detalle);
    QFETCH(double, tasa);
    QFETCH(int, edad);
    QFETCH(QList<double>, valores);
    const ColumnasConmutadas c = Columnas(primera, tasa, detalle);
    const std::size_t i = c.indice(edad);
    const QList<double> actual{c.lx[i], c.dex[i], c.px[i], c.Dx[i], c.Cx[i], c.Nx[i], c.Mx[i], c.Rx[i], c.Sx[i]};
    for (int k = 0; k < actual.size(); ++k)
        VV_CERCA(actual[k], valores[k], Tol);
}

void TestMotor::funcionesDePrima_data()
{
    // fPrimaNivelada (x, n, m, tipo), fSeguro (x, n, 9, tipo), fPrimaTarifa (0.1, beta, 0.015, x, m)
    // with (a, b) = (n, m) or (m, beta). Three-age table at 0 %: D = 1, 0.9, 0.72;
    // N = 2.62, 1.62, 0.72; M = 1, 0.9, 0.72. x above 2: ages 5..32767, every slot 0.
    QTest::addColumn<QString>("funcion");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("tipo");
    QTest::addColumn<double>("valor");
    QTest::addColumn<QString>("caja");
    const QString P = QStringLiteral("Funcion: fPrimaNivelada");
    // Each type's premium is checked on the Illustrative Life Table (reservaProspectiva).
    // m > n: the payment term is cut to n; x + m = 3 lies beyond the table and is never read.
    QTest::newRow("P temporal m>n") << "P" << 0 << 1 << 3 << 1 << 0.1 << "";
    // Whole life: the n = m rule is tested before the cut, so m > n pays over n years only (n = m
    // would be M(0)/N(0) = 1/2.62).
    QTest::newRow("P vida entera m>n") << "P" << 0 << 1 << 3 << 2 << 1.0 << "";
    // Type 7 selects nothing: the pure endowment's switches, set just before, price it.
    QTest::newRow("P tipo desconocido") << "P" << 0 << 2 << 2 << 7 << 0.72 / 1.9 << "";
    QTest::newRow("P fuera de tabla") << "P" << 0 << 3 << 3 << 1 << 0.0 << P + Subindice;
    QTest::newRow("P sin pagos") << "P" << 0 << 0 << 0 << 1 << 0.0 << P + PorCero;

    const QString A = QStringLiteral("Funcion: fSeguro");
    QTest::newRow("A temporal 2") << "A" << 0 << 2 << 9 << 1 << 0.28 << "";
    QTest::newRow("A fuera de tabla, sin caja") << "A" << 0 << 3 << 9 << 1 << 0.0 << "";
    QTest::newRow("A D(x)=0") << "A" << 5 << 1 << 1 << 1 << 0.0 << A + PorCero;

    const QString T = QStringLiteral("Funcion: fPrimaTarifa");
    QTest::newRow("T a=0") << "T" << 0 << 0 << 0 << 1 << 0.0 << T + PorCero;
    QTest::newRow("T beta=a") << "T" << 0 << 2 << 2 << 1 << 0.0 << T + PorCero;
    QTest::newRow("T fuera de tabla") << "T" << 0 << 5 << 0 << 1 << 0.0 << T + Subindice;
}

void TestMotor::funcionesDePrima()
{
    QFETCH(QString, funcion);
    QFETCH(int, x);
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, tipo);
    QFETCH(double, valor);
    QFETCH(QString, caja);
    Banco banco(Columnas(0, 0.0, TresEdadesQ));
    Motor& motor = banco.motor;
    // Every evaluation must set all its switches: start from the pure endowment's.
    motor.fPrimaNivelada(0, 2, 2, 4);
    if (x > 2)
        motor.columnas.dimensiona(5, 32767);
    double resultado = -1;
    if (funcion == QLatin1String("P"))
        resultado = motor.fPrimaNivelada(I16(x), I16(a), I16(b), tipo);
    else if (funcion == QLatin1String("A"))
        resultado = motor.fSeguro(I16(x), I16(a), I16(b), tipo);
    else
        resultado = motor.fPrimaTarifa(0.1, b, 0.015, I16(x), I16(a));
    VV_CERCA(resultado, valor, Tol);
    QCOMPARE(banco.dialogos.textos(), caja.isEmpty() ? QStringList{} : QStringList{caja});
    if (!caja.isEmpty())
        QCOMPARE(banco.dialogos.cajas.first().icono, Dialogos::Icono::Critico);
}

void TestMotor::tarifaRedondeaLaAnualidad()
{
    // P = 0.1, beta = 0.4, alpha = 0.02 spread over a payments: (0.02/a + 0.1) / (1 - 0.4/a), with
    // a the annuity rounded half to even: 7.5 is 8, 6.5 is 6.
    for (const auto& [anualidad, tarifa] :
         {std::pair{7.5, 0.1025 / 0.95}, std::pair{6.5, (0.02 / 6 + 0.1) / (1 - 0.4 / 6)}}) {
        ColumnasConmutadas c;
        c.dimensiona(0, 1);
        c.Dx = {1.0, 0.5};
        c.Nx = {1.0 + anualidad, 1.0};
        Banco banco(c);
        VV_CERCA(banco.motor.fPrimaTarifa(0.1, 0.4, 0.02, 0, 1), tarifa, Tol);
    }
}

void TestMotor::reservas_data()
{
    QTest::addColumn<double>("tasaColumnas");
    QTest::addColumn<QString>("detalle");
    QTest::addColumn<QList<int>>("xnmTipo");
    QTest::addColumn<float>("tasa");
    QTest::addColumn<float>("tc");
    QTest::addColumn<QList<double>>("reservas"); // aReserva(0..n+1)
    QTest::addColumn<QStringList>("cajas");
    // Three-age table at 0 %, term, n = m = 2, tc = 1 (at i = 0: TestAlmacen::resultados): P = 14/95 in
    // both years; 4.1 arrives as 4.099999904632568359375, g = 1.04099999904632568:
    // V(1) = (P g - 0.1) / 0.9, V(2) = ((P + V(1)) 0.9 g - 0.18) / 0.72, the interest earned beyond
    // the 0 % the premium was priced at. A level premium needs no reference premium, whose ages
    // (0..20) lie beyond the table: no box.
    const QString cajaP20 = "Funcion: fPrimaNivelada" + Subindice;
    const double g = 1.04099999904632568359375, P = 14.0 / 95, V1 = (P * g - 0.1) / 0.9;
    QTest::newRow("tres edades 4.1 % en 32 bits")
        << 0.0 << TresEdadesQ << QList<int>{0, 2, 2, 1} << 4.1f << 1.0f
        << QList<double>{0, V1, ((P + V1) * 0.9 * g - 0.18) / 0.72, 0} << QStringList{};
    // q = 0.1, 1, 0.5, 0.5 at 0 %: l = 1, 0.9, 0, 0; P = 1/1.9; V1 = (P - 0.1)/0.9 = 9/19; year 2
    // divides by l(2) = 0 and the rest stay 0.
    QTest::newRow("supervivientes cero") << 0.0 << "0:0.1 1:1 2:0.5 3:0.5" << QList<int>{0, 3, 3, 1} << 0.0f << 1.0f
                                         << QList<double>{0, 9.0 / 19, 0, 0, 0}
                                         << QStringList{"Rutina: fReserva" + PorCero};
    // One premium and commission type 2: the reference premium's box (its ages lie beyond the
    // table), then ä1 = (N(1) - N(1)) / D(1) = 0: the modified premium divides by zero and every
    // reserve stays 0.
    QTest::newRow("un solo pago, comisión 2")
        << 0.0 << TresEdadesQ << QList<int>{0, 2, 1, 1} << 0.0f << 2.0f << QList<double>{0, 0, 0, 0}
        << QStringList{cajaP20, "Rutina: fReserva" + PorCero};
    // One-year pure endowment of 6 months at 10 %: P = D(1)/D(0) = 0.9/1.1; V(j) = P 1.1^(j/6), V(6) = 0.9.
    const QList<double> dotal{
        0, 0.8312824372691351, 0.8445928217370277, 0.8581163303210331, 0.8718563755363179, 0.8858164245387901, 0.9, 0};
    QTest::newRow("seis meses al 10 %") << 10.0 << TresEdadesQ << QList<int>{0, 1, 6, 4} << 10.0f << 2.0f << dotal
                                        << QStringList{};
    // One-year term cover of 12 months at 0 %: P = q(0) = 0.1; V(j) = (1 - (2j - 1)/24) P, the
    // premium not yet earned, from 23/24 P down to P/24 = 0.0042, below 0.005: no reserve.
    QTest::newRow("doce meses, temporal")
        << 0.0 << TresEdadesQ << QList<int>{0, 1, 12, 1} << 0.0f << 1.0f
        << QList<double>{0,        2.3 / 24, 2.1 / 24, 1.9 / 24, 1.7 / 24, 1.5 / 24, 1.3 / 24,
                         1.1 / 24, 0.9 / 24, 0.7 / 24, 0.5 / 24, 0.3 / 24, 0,        0}
        << QStringList{};
}

void TestMotor::reservas()
{
    QFETCH(double, tasaColumnas);
    QFETCH(QString, detalle);
    QFETCH(QList<int>, xnmTipo);
    QFETCH(float, tasa);
    QFETCH(float, tc);
    QFETCH(QList<double>, reservas);
    QFETCH(QStringList, cajas);
    Banco banco(Columnas(0, tasaColumnas, detalle));
    banco.motor.DimensionaReserva(static_cast<int>(reservas.size()) - 1);
    banco.motor.fReserva(I16(xnmTipo[0]), I16(xnmTipo[1]), I16(xnmTipo[2]), xnmTipo[3], tasa, tc);
    QCOMPARE(banco.motor.aReserva.size(), static_cast<std::size_t>(reservas.size()));
    for (int t = 0; t < reservas.size(); ++t)
        VV_CERCA(banco.motor.aReserva[static_cast<std::size_t>(t)], reservas[t], Tol);
    QCOMPARE(banco.dialogos.textos(), cajas);
}

void TestMotor::reservaProspectiva_data()
{
    QTest::addColumn<double>("tasa");
    QTest::addColumn<QList<int>>("xnmTipo");
    QTest::addColumn<float>("tc");
    QTest::addColumn<QList<QPointF>>("figuras"); // (year, reserve) computed apart from this program
    const QList<QPointF> ninguna;
    // Every type with level, limited and single premiums on the Illustrative Life Table at 6 %;
    // whole life runs to the table's last age, 110.
    for (int tipo : {1, 2, 3, 4}) {
        const int x = tipo == 2 ? 50 : 40;
        const int n = tipo == 2 ? 60 : 20;
        for (int m : {n, 10, 1})
            QTest::addRow("tipo %d, %d primas", tipo, m) << 6.0 << QList<int>{x, n, m, tipo} << 1.0f << ninguna;
    }
    QTest::newRow("vida entera a 50, 10 primas")
        << 6.0 << QList<int>{50, 60, 10, 2} << 1.0f << QList<QPointF>{{40, 0.793}, {59, 0.927}};
    QTest::newRow("temporal 5 a 60, prima única, 4.5 %")
        << 4.5 << QList<int>{60, 5, 1, 1} << 1.0f << QList<QPointF>{{4, 0.0187}, {5, 0}};
    QTest::newRow("dotal puro 5 a 60, prima única, 4.5 %")
        << 4.5 << QList<int>{60, 5, 1, 4} << 1.0f << QList<QPointF>{{4, 0.938}, {5, 1}};
    QTest::newRow("dotal puro 20 a 30, 4.5 %")
        << 4.5 << QList<int>{30, 20, 20, 4} << 1.0f << QList<QPointF>{{19, 0.922}, {20, 1}};
    QTest::newRow("dotal 20 a 40, 10 primas, 4 %")
        << 4.0 << QList<int>{40, 20, 10, 3} << 1.0f << QList<QPointF>{{20, 1}};
    // Commission type 2: year 1 carries c1 (P = P20 here: the reference premium itself), or c1 and
    // the excess P - P20 (10 premiums), and Pz the years after.
    QTest::newRow("dotal 20 a 40, comisión 2, 4 %")
        << 4.0 << QList<int>{40, 20, 20, 3} << 2.0f << QList<QPointF>{{1, 0}, {20, 1}};
    QTest::newRow("dotal 20 a 40, 10 primas, comisión 2") << 6.0 << QList<int>{40, 20, 10, 3} << 2.0f << ninguna;
}

void TestMotor::reservaProspectiva()
{
    QFETCH(double, tasa);
    QFETCH(QList<int>, xnmTipo);
    QFETCH(float, tc);
    QFETCH(QList<QPointF>, figuras);
    const int x = xnmTipo[0], n = xnmTipo[1], m = xnmTipo[2], tipo = xnmTipo[3];
    Banco banco(Ilt(tasa));
    const ColumnasConmutadas& c = banco.motor.columnas;
    banco.motor.DimensionaReserva(n + 1);
    banco.motor.fReserva(I16(x), I16(n), I16(m), tipo, static_cast<float>(tasa), tc);
    QCOMPARE(banco.dialogos.textos(), QStringList{});

    // The benefits still to come at age y with k years left, by type.
    const auto beneficios = [&](int y, int k) {
        switch (tipo) {
        case 1: return (c.M(y) - c.M(y + k)) / c.D(y);
        case 2: return c.M(y) / c.D(y);
        case 3: return (c.M(y) - c.M(y + k) + c.D(y + k)) / c.D(y);
        default: return c.D(y + k) / c.D(y);
        }
    };
    // Premiums still to come from age y: those up to x + m, or for life (its last age included)
    // when whole life is paid over its whole term.
    const bool vitalicia = tipo == 2 && m == n;
    const auto anualidad = [&](int y) {
        if (vitalicia)
            return c.N(y) / c.D(y);
        return y < x + m ? (c.N(y) - c.N(x + m)) / c.D(y) : 0.0;
    };
    const double P = beneficios(x, n) / anualidad(x);
    // Modified premiums: K in year 1, Pz in years 2 to m, together worth ä P.
    double K = P, Pz = P;
    if (tc != 1.0f) {
        const double P20 = (c.M(x) - c.M(x + 20) + c.D(x + 20)) / (c.N(x) - c.N(x + 20));
        const double c1 = (c.M(x) - c.M(x + 1)) / c.D(x);
        K = c1 + std::max(P - P20, 0.0);
        Pz = (anualidad(x) * P - K) / ((c.N(x + 1) - c.N(x + m)) / c.D(x));
    }
    const std::vector<double>& V = banco.motor.aReserva;
    const std::vector<double>& prima = banco.motor.aPrima;
    for (int t = 0; t <= n; ++t) {
        double esperada = t == 0 ? 0.0 : beneficios(x + t, n - t) - Pz * anualidad(x + t);
        if (t == n && esperada < 0.005)
            esperada = 0.0;
        VV_CERCA(V[static_cast<std::size_t>(t)], esperada, 1e-8);
        if (t >= 1)
            VV_CERCA(prima[static_cast<std::size_t>(t)], t == 1 ? K : (t <= m ? Pz : 0.0), 1e-12);
    }
    for (const QPointF& f : figuras) {
        VV_CERCA(V[static_cast<std::size_t>(f.x())], f.y(), 5e-4);
        if (f.y() == 0) // nought, not rounding noise such as -2E-17
            QCOMPARE(V[static_cast<std::size_t>(f.x())], 0.0);
    }
}

void TestMotor::cifrasDelLibroAlSeisPorCiento()
{
    // Bowers et al., Actuarial Mathematics, 2nd ed., appendix 2A, to the printed digits:
    // A40 = 0.16132, ä40 = 14.8166, and the whole life at 40 paid for life, 1000 P40 = 10.89.
    Banco banco(Ilt(6.0));
    const ColumnasConmutadas& c = banco.motor.columnas;
    VV_CERCA(c.M(40) / c.D(40), 0.16132, 0.000005);
    VV_CERCA(c.N(40) / c.D(40), 14.8166, 0.00005);
    VV_CERCA(1000 * banco.motor.fPrimaNivelada(40, 70, 70, 2), 10.89, 0.005);
}

void TestMotor::mesesEscalanElProductoPrimero()
{
    // Ages 0..1 with D = 1, 1; N = 2, 1; M = 0.2, 0.1: the year's P and risk premium are both
    // 0.2 - 0.1 = 0.1 exactly. Six months: 0.1 * 6 = 0.6000000000000001, over 12 =
    // 0.05000000000000001, where 0.1 * (6/12) would give 0.05. Whatever the commission type,
    // beta is the year-1 rate: PT = (0.015 + 0.1) / (1 - 0.1) * 6/12. Seven rows t = 0..6, all at
    // the issue age, reserves (1 - (2t - 1)/12) 0.1 = (13 - 2t)/120 from month 1.
    ColumnasConmutadas c;
    c.dimensiona(0, 1);
    c.Dx = {1, 1};
    c.Nx = {2, 1};
    c.Mx = {0.2, 0.1};
    Banco banco(c);
    std::vector<FilaResultado> filas;
    GeneraFilas(banco.motor, DatosEscenario{0, 1, 6, 1, 0, 2}, {FilaComision{1, 10, 15}},
                [&](const FilaResultado& f) { filas.push_back(f); });
    QCOMPARE(filas.size(), std::size_t{7});
    const QString seisMeses = Exacto(0.05000000000000001);
    for (int t = 0; t < 7; ++t) {
        const FilaResultado& f = filas[static_cast<std::size_t>(t)];
        // QCOMPARE of doubles would forgive the last bit.
        QCOMPARE((QStringList{Exacto(f.primaNeta), Exacto(f.primaRiesgo)}), (QStringList{seisMeses, seisMeses}));
        QCOMPARE(f.anio, t);
        QCOMPARE(f.edadAlcanzada, 0.0);
        VV_CERCA(f.primaTarifa, 0.115 / 0.9 / 2, Tol);
        VV_CERCA(f.reserva, t == 0 ? 0.0 : (13 - 2 * t) / 120.0, Tol);
    }
    QCOMPARE(banco.dialogos.textos(), QStringList{});
}

void TestMotor::anualidadFueraDeTablaConservaLaAnterior()
{
    Banco banco(Columnas(0, 0.0, TresEdadesQ));
    std::vector<FilaResultado> filas;
    // Years 4, 3, 1 at 10, 30, 50 %, m = 2: 0.1 ä(0,2) with ä(0,2) = 1.9; ä(0,3) lies beyond
    // the table, so 1.9 serves again for 0.2; year 1 adds 0.2. beta = 0.19 + 0.38 + 0.2 = 0.77.
    GeneraFilas(banco.motor, DatosEscenario{0, 2, 2, 1, 0, 2},
                {FilaComision{4, 10, 0}, FilaComision{3, 30, 0}, FilaComision{1, 50, 15}},
                [&](const FilaResultado& f) { filas.push_back(f); });
    QCOMPARE(filas.size(), std::size_t{3});
    // (0.015/2 + 14/95) / (1 - 0.77/2)
    VV_CERCA(filas[0].primaTarifa, 0.2518185708172871, Tol);
    QCOMPARE(banco.dialogos.textos(), QStringList{"Funcion: fPrimaNivelada" + Subindice});
}

QTEST_GUILESS_MAIN(TestMotor)
#include "TestMotor.moc"
