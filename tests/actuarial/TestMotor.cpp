// The engine alone, on columns in memory. Expected values are worked by hand from the tables
// given here (fractions noted beside them), never by the engine's own formulas.

#include "actuarial/motor/Columnas.h"
#include "actuarial/motor/Generacion.h"
#include "actuarial/motor/Motor.h"
#include "core/ErrorVV.h"
#include "support/FakeDialogos.h"
#include "support/Tolerancia.h"

#include <QTest>

using namespace valvida;
using prueba::FakeDialogos;

namespace {

constexpr double Tol = 1e-13;

const QString Subindice = QStringLiteral("\r\nError:9\r\nEl subíndice está fuera del intervalo");
const QString PorCero = QStringLiteral("\r\nError:11\r\nDivisión por cero");
const QString Desborde = QStringLiteral("\r\nError:6\r\nDesbordamiento");

std::vector<FilaDetalle> Detalle(std::initializer_list<std::pair<double, double>> filas)
{
    std::vector<FilaDetalle> d;
    for (const auto& [edad, q] : filas)
        d.push_back({edad, q});
    return d;
}

// Ages 0..2, q = 0.1, 0.2, 1: l = 1, 0.9, 0.72; d = 0.1, 0.18, 0.72.
ColumnasConmutadas TresEdades(double tasa)
{
    ColumnasConmutadas c;
    c.dimensiona(0, 2);
    CalculaColumnas(c, 0, tasa, Detalle({{0, 0.1}, {1, 0.2}, {2, 1.0}}));
    return c;
}

int ErrorDe(const std::function<void()>& accion)
{
    try {
        accion();
    } catch (const ErrorVV& e) {
        return e.numero();
    }
    return 0;
}

} // namespace

class TestMotor : public QObject
{
    Q_OBJECT

private slots:
    void columnasTresEdades_data();
    void columnasTresEdades();
    void columnasDesdeEdadDoce();
    void huecoYPrimeraEdadAltaDejanCeros();
    void erroresDeColumnas();
    void ejemploDeTresEdades();
    void primaNiveladaPorTipo_data();
    void primaNiveladaPorTipo();
    void tipoDesconocidoConservaLosCoeficientes();
    void seguroPorTipo_data();
    void seguroPorTipo();
    void cajasDeError_data();
    void cajasDeError();
    void tarifaRedondeaLaAnualidad_data();
    void tarifaRedondeaLaAnualidad();
    void reservaDeTresEdades_data();
    void reservaDeTresEdades();
    void reservaModificada_data();
    void reservaModificada();
    void reservaConUnSoloPago();
    void reservaConSupervivientesCero();
    void reservaMensualTemporal_data();
    void reservaMensualTemporal();
    void reservaMensualAcumulaAlInteres();
    void generaEjemploDeTresEdades();
    void anualidadFueraDeTablaConservaLaAnterior();
};

void TestMotor::columnasTresEdades_data()
{
    QTest::addColumn<double>("tasa");
    QTest::addColumn<int>("edad");
    // l, d, p, D, C, N, M, R, S
    QTest::addColumn<QList<double>>("valores");
    QTest::newRow("0% edad 0") << 0.0 << 0 << QList<double>{1, 0.1, 0.9, 1, 0.1, 2.62, 1, 2.62, 4.96};
    QTest::newRow("0% edad 1") << 0.0 << 1 << QList<double>{0.9, 0.18, 0.8, 0.9, 0.18, 1.62, 0.9, 1.62, 2.34};
    QTest::newRow("0% edad 2") << 0.0 << 2 << QList<double>{0.72, 0.72, 0, 0.72, 0.72, 0.72, 0.72, 0.72, 0.72};
    // v = 0.5: D = l 0.5^x, C = d 0.5^(x+1).
    QTest::newRow("100% edad 0") << 100.0 << 0 << QList<double>{1, 0.1, 0.9, 1, 0.05, 1.63, 0.185, 0.41, 2.44};
    QTest::newRow("100% edad 1") << 100.0 << 1
                                 << QList<double>{0.9, 0.18, 0.8, 0.45, 0.045, 0.63, 0.135, 0.225, 0.81};
    QTest::newRow("100% edad 2") << 100.0 << 2 << QList<double>{0.72, 0.72, 0, 0.18, 0.09, 0.18, 0.09, 0.09, 0.18};
}

void TestMotor::columnasTresEdades()
{
    QFETCH(double, tasa);
    QFETCH(int, edad);
    QFETCH(QList<double>, valores);
    const ColumnasConmutadas c = TresEdades(tasa);
    const std::size_t i = c.indice(edad);
    VV_CERCA(c.lx[i], valores[0], Tol);
    VV_CERCA(c.dex[i], valores[1], Tol);
    VV_CERCA(c.px[i], valores[2], Tol);
    VV_CERCA(c.Dx[i], valores[3], Tol);
    VV_CERCA(c.Cx[i], valores[4], Tol);
    VV_CERCA(c.Nx[i], valores[5], Tol);
    VV_CERCA(c.Mx[i], valores[6], Tol);
    VV_CERCA(c.Rx[i], valores[7], Tol);
    VV_CERCA(c.Sx[i], valores[8], Tol);
}

void TestMotor::columnasDesdeEdadDoce()
{
    ColumnasConmutadas c;
    c.dimensiona(12, 14);
    CalculaColumnas(c, 12, 100.0, Detalle({{12, 0.1}, {13, 0.2}, {14, 1.0}}));
    QCOMPARE(c.l(12), 1.0);
    // The exponent is the age itself: D(12) = 0.5^12, C(12) = 0.1 * 0.5^13.
    VV_CERCA(c.D(12), 0.000244140625, 1e-18);
    VV_CERCA(c.C(12), 0.1 * 0.0001220703125, 1e-18);
    VV_CERCA(c.D(13), 0.9 * 0.0001220703125, 1e-18);
}

void TestMotor::huecoYPrimeraEdadAltaDejanCeros()
{
    // No row for age 2: l(3) comes from the empty slot and everything from it is 0.
    ColumnasConmutadas hueco;
    hueco.dimensiona(0, 3);
    CalculaColumnas(hueco, 0, 0.0, Detalle({{0, 0.1}, {1, 0.2}, {3, 0.5}}));
    QCOMPARE(hueco.l(3), 0.0);
    QCOMPARE(hueco.D(3), 0.0);
    QCOMPARE(hueco.N(3), 0.0);
    QCOMPARE(hueco.px[3], 0.5);
    VV_CERCA(hueco.N(1), 0.9, Tol); // sums run over stored ages only
    VV_CERCA(hueco.N(0), 1.9, Tol);

    // No row at the first age: the whole table starts from an empty slot.
    ColumnasConmutadas alta;
    alta.dimensiona(0, 2);
    CalculaColumnas(alta, 0, 0.0, Detalle({{1, 0.2}, {2, 1.0}}));
    for (int x = 1; x <= 2; ++x) {
        QCOMPARE(alta.l(x), 0.0);
        QCOMPARE(alta.D(x), 0.0);
        QCOMPARE(alta.N(x), 0.0);
        QCOMPARE(alta.M(x), 0.0);
    }
}

void TestMotor::erroresDeColumnas()
{
    ColumnasConmutadas c;
    c.dimensiona(0, 2);
    QCOMPARE(ErrorDe([&] { CalculaColumnas(c, 0, 0.0, Detalle({{0, 0.1}, {3, 0.2}})); }), 9);
    QCOMPARE(ErrorDe([&] { CalculaColumnas(c, 0, 0.0, {{0.0, std::nullopt}}); }), 94);
    QCOMPARE(ErrorDe([&] { CalculaColumnas(c, 0, -100.0, Detalle({{0, 0.1}})); }), 11);
    QCOMPARE(ErrorDe([&] { c.dimensiona(5, 3); }), 9);
}

void TestMotor::ejemploDeTresEdades()
{
    FakeDialogos dialogos;
    Motor motor(dialogos);
    motor.columnas = TresEdades(0.0);
    const double P = motor.fPrimaNivelada(0, 2, 2, 1);
    VV_CERCA(P, 0.28 / 1.9, Tol); // 0.1473684...
    VV_CERCA(motor.fSeguro(0, 2, 2, 1), 0.28, Tol);
    VV_CERCA(motor.fSeguro(0, 1, 1, 1), 0.1, Tol);
    // ä = 1.9 is used as a = 2: (0.015/2 + P) / (1 - 0.95/2).
    VV_CERCA(motor.fPrimaTarifa(P, 0.95, 0.015, 0, 2), 0.2949874686716792, Tol);
    QVERIFY(dialogos.cajas.isEmpty());
}

void TestMotor::primaNiveladaPorTipo_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("tipo");
    QTest::addColumn<double>("prima");
    // Three-age table at 0 %: D = 1, 0.9, 0.72; N = 2.62, 1.62, 0.72; M = 1, 0.9, 0.72.
    QTest::newRow("temporal") << 2 << 2 << 1 << 0.28 / 1.9;
    QTest::newRow("vida entera n=m") << 2 << 2 << 2 << 1 / 2.62;
    QTest::newRow("dotal mixto") << 2 << 2 << 3 << 1 / 1.9;
    QTest::newRow("dotal puro") << 2 << 2 << 4 << 0.72 / 1.9;
    // m > n: the payment term is cut to n; x + m = 3 lies beyond the table and is never read.
    QTest::newRow("temporal m>n") << 1 << 3 << 1 << 0.1;
    QTest::newRow("dotal mixto m>n") << 1 << 3 << 3 << 1.0;
    QTest::newRow("dotal puro m>n") << 1 << 3 << 4 << 0.9;
    // Whole life: the n = m rule is tested before the cut, so m > n pays over n years only.
    QTest::newRow("vida entera n=m=1") << 1 << 1 << 2 << 1 / 2.62;
    QTest::newRow("vida entera m>n") << 1 << 3 << 2 << 1.0;
    QTest::newRow("vida entera m<n") << 2 << 1 << 2 << 1.0;
}

void TestMotor::primaNiveladaPorTipo()
{
    QFETCH(int, n);
    QFETCH(int, m);
    QFETCH(int, tipo);
    QFETCH(double, prima);
    FakeDialogos dialogos;
    Motor motor(dialogos);
    motor.columnas = TresEdades(0.0);
    VV_CERCA(motor.fPrimaNivelada(0, static_cast<std::int16_t>(n), static_cast<std::int16_t>(m), tipo), prima, Tol);
    QVERIFY(dialogos.cajas.isEmpty());
}

void TestMotor::tipoDesconocidoConservaLosCoeficientes()
{
    FakeDialogos dialogos;
    Motor motor(dialogos);
    motor.columnas = TresEdades(0.0);
    motor.fPrimaNivelada(0, 2, 2, 4);
    // Type 7 selects nothing: the pure endowment's switches price it.
    VV_CERCA(motor.fPrimaNivelada(0, 2, 2, 7), 0.72 / 1.9, Tol);
}

void TestMotor::seguroPorTipo_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("tipo");
    QTest::addColumn<double>("valor");
    QTest::newRow("temporal 1") << 1 << 1 << 0.1;
    QTest::newRow("vida entera") << 1 << 2 << 1.0;
    QTest::newRow("dotal mixto 1") << 1 << 3 << 1.0;
    QTest::newRow("dotal puro 1") << 1 << 4 << 0.9;
    QTest::newRow("temporal 2") << 2 << 1 << 0.28;
    QTest::newRow("dotal puro 2") << 2 << 4 << 0.72;
    QTest::newRow("fuera de tabla, sin caja") << 3 << 1 << 0.0;
}

void TestMotor::seguroPorTipo()
{
    QFETCH(int, n);
    QFETCH(int, tipo);
    QFETCH(double, valor);
    FakeDialogos dialogos;
    Motor motor(dialogos);
    motor.columnas = TresEdades(0.0);
    VV_CERCA(motor.fSeguro(0, static_cast<std::int16_t>(n), 9, tipo), valor, Tol);
    QVERIFY(dialogos.cajas.isEmpty());
}

void TestMotor::cajasDeError_data()
{
    QTest::addColumn<QString>("caso");
    QTest::addColumn<QString>("caja");
    QTest::newRow("nivelada fuera de tabla") << "nivelada 0 3 3" << "Funcion: fPrimaNivelada" + Subindice;
    QTest::newRow("nivelada sin pagos") << "nivelada 0 0 0" << "Funcion: fPrimaNivelada" + PorCero;
    QTest::newRow("nivelada x+n desborda") << "nivelada 32767 1 1" << "Funcion: fPrimaNivelada" + Desborde;
    QTest::newRow("seguro D(x)=0") << "seguro 5 1 1" << "Funcion: fSeguro" + PorCero;
    QTest::newRow("seguro x+n desborda") << "seguro 32767 1 1" << "Funcion: fSeguro" + Desborde;
    QTest::newRow("tarifa a=0") << "tarifa 0 0 0" << "Funcion: fPrimaTarifa" + PorCero;
    QTest::newRow("tarifa beta=a") << "tarifa 0 2 2" << "Funcion: fPrimaTarifa" + PorCero;
    QTest::newRow("tarifa fuera de tabla") << "tarifa 0 5 0" << "Funcion: fPrimaTarifa" + Subindice;
}

void TestMotor::cajasDeError()
{
    QFETCH(QString, caso);
    QFETCH(QString, caja);
    const QStringList p = caso.split(QLatin1Char(' '));
    FakeDialogos dialogos;
    Motor motor(dialogos);
    motor.columnas = TresEdades(0.0);
    const auto x = static_cast<std::int16_t>(p[1].toInt());
    if (x > 2) {
        // Ages at the top of the 16-bit range, every slot 0.
        motor.columnas.dimensiona(5, 32767);
    }
    const auto a = static_cast<std::int16_t>(p[2].toInt());
    const auto b = static_cast<std::int16_t>(p[3].toInt());
    double resultado = -1;
    if (p[0] == QLatin1String("nivelada"))
        resultado = motor.fPrimaNivelada(x, a, b, 1);
    else if (p[0] == QLatin1String("seguro"))
        resultado = motor.fSeguro(x, a, b, 1);
    else
        resultado = motor.fPrimaTarifa(0.1, b, 0.015, x, a); // here a is m and b is beta
    QCOMPARE(resultado, 0.0);
    QCOMPARE(dialogos.textos(), QStringList{caja});
    QCOMPARE(dialogos.cajas.first().icono, Dialogos::Icono::Critico);
}

void TestMotor::tarifaRedondeaLaAnualidad_data()
{
    QTest::addColumn<double>("anualidad");
    QTest::addColumn<double>("tarifa");
    // P = 0.1, beta = 0.4, alpha = 0.02: (0.02/a + 0.1) / (1 - 0.4/a).
    QTest::newRow("7.5 -> 8") << 7.5 << 0.1078947368421053;
    QTest::newRow("6.5 -> 6") << 6.5 << 0.1107142857142857;
    QTest::newRow("2.5 -> 2") << 2.5 << 0.1375;
    QTest::newRow("3.5 -> 4") << 3.5 << 0.1166666666666667;
    QTest::newRow("un pago") << 1.0 << 0.2;
}

void TestMotor::tarifaRedondeaLaAnualidad()
{
    QFETCH(double, anualidad);
    QFETCH(double, tarifa);
    FakeDialogos dialogos;
    Motor motor(dialogos);
    motor.columnas.dimensiona(0, 1);
    motor.columnas.Dx = {1.0, 0.5};
    motor.columnas.Nx = {1.0 + anualidad, 1.0};
    VV_CERCA(motor.fPrimaTarifa(0.1, 0.4, 0.02, 0, 1), tarifa, Tol);
}

void TestMotor::reservaDeTresEdades_data()
{
    QTest::addColumn<float>("tasa");
    QTest::addColumn<double>("v1");
    QTest::newRow("0 %") << 0.0f << (0.28 / 1.9 - 0.1) / 0.9; // 0.0526316...
    // 4.1 arrives as 4.099999904632568359375: V(1) = (14/95 * 1.04099999904632568 - 0.1) / 0.9.
    QTest::newRow("4.1 % en 32 bits") << 4.1f << 0.05934502908360888;
}

void TestMotor::reservaDeTresEdades()
{
    QFETCH(float, tasa);
    QFETCH(double, v1);
    FakeDialogos dialogos;
    Motor motor(dialogos);
    motor.columnas = TresEdades(0.0);
    motor.DimensionaReserva(3);
    motor.fReserva(0, 2, 2, 1, tasa, 1.0f);
    QCOMPARE(motor.aReserva.size(), std::size_t{4});
    QCOMPARE(motor.aReserva[0], 0.0);
    VV_CERCA(motor.aReserva[1], v1, 1e-16);
    QCOMPARE(motor.aReserva[2], 0.0); // negative (-0.18 at 0 %), stored as 0
    QCOMPARE(motor.aReserva[3], 0.0);
    // The reference premium's ages (0..20) lie beyond the table: its box, once.
    QCOMPARE(dialogos.textos(), QStringList{"Funcion: fPrimaNivelada" + Subindice});
}

void TestMotor::reservaModificada_data()
{
    QTest::addColumn<double>("M20");
    QTest::addColumn<double>("D20");
    QTest::addColumn<double>("v1");
    QTest::addColumn<double>("v2");
    // Hand-made columns at x = 0: P = (0.5 - 0.26)/(3 - 0.6) = 0.1, c1 = 0.05, ä = 2.4,
    // E ä1 = 0.8 * 1.75 = 1.4. P20 = (0.5 - M20 + D20)/(3 - 0.5).
    // P20 = 0.2 >= P: Pz = (0.24 - 0.05)/1.4 = 19/140; V1 = 5/126; V2 = 81/1120.
    QTest::newRow("P <= P20") << 0.1 << 0.1 << 5.0 / 126 << 81.0 / 1120;
    // P20 = 0.02: K = 0.05 + 0.08; Pz = 0.11/1.4 = 11/140; V1 = (11/140 - 0.1)/0.9 < 0,
    // V2 = ((11/140 + V1) 0.9 - 0.1)/0.8.
    QTest::newRow("P > P20") << 0.45 << 0.0 << (11.0 / 140 - 0.1) / 0.9 << ((11.0 / 140 + (11.0 / 140 - 0.1) / 0.9) * 0.9 - 0.1) / 0.8;
}

namespace {

// Columns of ages 0..20 worked by hand for the modified-premium cases.
void ColumnasModificadas(Motor& motor, double M20, double D20)
{
    ColumnasConmutadas& c = motor.columnas;
    c.dimensiona(0, 20);
    c.Dx[0] = 1, c.Dx[1] = 0.8, c.Dx[2] = 0.5, c.Dx[3] = 0.4, c.Dx[20] = D20;
    c.Nx[0] = 3, c.Nx[1] = 2, c.Nx[2] = 1.2, c.Nx[3] = 0.6, c.Nx[20] = 0.5;
    c.Mx[0] = 0.5, c.Mx[1] = 0.45, c.Mx[3] = 0.26, c.Mx[20] = M20;
    c.lx[0] = 1, c.lx[1] = 0.9, c.lx[2] = 0.8, c.lx[3] = 0.6;
    c.dex[0] = 0.1, c.dex[1] = 0.1, c.dex[2] = 0.2;
}

} // namespace

void TestMotor::reservaModificada()
{
    QFETCH(double, M20);
    QFETCH(double, D20);
    QFETCH(double, v1);
    QFETCH(double, v2);
    FakeDialogos dialogos;
    Motor motor(dialogos);
    ColumnasModificadas(motor, M20, D20);
    motor.DimensionaReserva(4);
    motor.fReserva(0, 3, 3, 1, 0.0f, 2.0f);
    VV_CERCA(motor.aReserva[1], v1, Tol);
    VV_CERCA(motor.aReserva[2], v2, Tol);
    QCOMPARE(motor.aReserva[3], 0.0); // year 3 carries no premium: negative, stored as 0
    QVERIFY(dialogos.cajas.isEmpty());
}

void TestMotor::reservaConUnSoloPago()
{
    FakeDialogos dialogos;
    Motor motor(dialogos);
    ColumnasModificadas(motor, 0.1, 0.1);
    motor.DimensionaReserva(4);
    motor.fReserva(0, 3, 1, 1, 0.0f, 2.0f);
    // ä1 = (N(1) - N(1)) / D(1) = 0: the modified premium divides by zero.
    QCOMPARE(dialogos.textos(), QStringList{"Rutina: fReserva" + PorCero});
    QCOMPARE(motor.aReserva, (std::vector<double>{0, 0, 0, 0, 0}));
}

void TestMotor::reservaConSupervivientesCero()
{
    FakeDialogos dialogos;
    Motor motor(dialogos);
    // q = 0.1, 1, 0.5, 0.5 at 0 %: l = 1, 0.9, 0, 0; N = 1.9, 0.9, 0, 0; M = 1, 0.9, 0, 0.
    motor.columnas.dimensiona(0, 3);
    CalculaColumnas(motor.columnas, 0, 0.0, Detalle({{0, 0.1}, {1, 1.0}, {2, 0.5}, {3, 0.5}}));
    motor.DimensionaReserva(4);
    motor.fReserva(0, 3, 3, 1, 0.0f, 1.0f);
    // P = 1/1.9; V1 = (P - 0.1)/0.9 = 9/19; year 2 divides by l(2) = 0.
    VV_CERCA(motor.aReserva[1], 9.0 / 19, Tol);
    QCOMPARE(motor.aReserva[2], 0.0);
    QCOMPARE(motor.aReserva[3], 0.0);
    QCOMPARE(dialogos.textos(),
             (QStringList{"Funcion: fPrimaNivelada" + Subindice, "Rutina: fReserva" + PorCero}));
}

void TestMotor::reservaMensualTemporal_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<QList<double>>("reservas");
    // P = 0.1 (three-age table): V(j) = (1 - (2j - 1)/(2k)) P.
    QTest::newRow("k=6") << 6 << QList<double>{0, 0.1 * 11 / 12, 0.075, 0.1 * 7 / 12, 0.1 * 5 / 12, 0.025, 0.1 / 12, 0};
    QList<double> doce{0};
    for (int j = 1; j <= 11; ++j)
        doce << 0.1 * (24 - (2 * j - 1)) / 24;
    doce << 0 << 0; // V(12) = P/24 = 0.0041667 < 0.005
    QTest::newRow("k=12") << 12 << doce;
}

void TestMotor::reservaMensualTemporal()
{
    QFETCH(int, k);
    QFETCH(QList<double>, reservas);
    FakeDialogos dialogos;
    Motor motor(dialogos);
    motor.columnas = TresEdades(0.0);
    motor.DimensionaReserva(k + 1);
    motor.fReserva(0, 1, static_cast<std::int16_t>(k), 1, 0.0f, 1.0f);
    QCOMPARE(motor.aReserva.size(), static_cast<std::size_t>(reservas.size()));
    for (int j = 0; j < reservas.size(); ++j)
        VV_CERCA(motor.aReserva[static_cast<std::size_t>(j)], reservas[j], Tol);
    QVERIFY(dialogos.cajas.isEmpty());
}

void TestMotor::reservaMensualAcumulaAlInteres()
{
    FakeDialogos dialogos;
    Motor motor(dialogos);
    motor.columnas = TresEdades(10.0);
    motor.DimensionaReserva(7);
    // Pure endowment for one year: P = D(1)/D(0) = 0.9/1.1; V(j) = P 1.1^(j/6), V(6) = 0.9.
    motor.fReserva(0, 1, 6, 4, 10.0f, 2.0f);
    const double esperadas[] = {0,
                                0.8312824372691351,
                                0.8445928217370277,
                                0.8581163303210331,
                                0.8718563755363179,
                                0.8858164245387901,
                                0.9,
                                0};
    for (std::size_t j = 0; j < 8; ++j)
        VV_CERCA(motor.aReserva[j], esperadas[j], Tol);
}

void TestMotor::generaEjemploDeTresEdades()
{
    FakeDialogos dialogos;
    Motor motor(dialogos);
    motor.columnas = TresEdades(0.0);
    std::vector<FilaResultado> filas;
    GeneraFilas(motor, DatosEscenario{0, 2, 2, 1, 0, 1}, {FilaComision{1, 50, 15}},
                [&](const FilaResultado& f) { filas.push_back(f); });
    QCOMPARE(filas.size(), std::size_t{3});
    const double riesgo[] = {0.1, 0.2, 0.2};
    const double reserva[] = {0, (0.28 / 1.9 - 0.1) / 0.9, 0};
    for (std::size_t t = 0; t < 3; ++t) {
        QCOMPARE(filas[t].anio, static_cast<std::int32_t>(t));
        QCOMPARE(filas[t].edadAlcanzada, static_cast<double>(t));
        VV_CERCA(filas[t].primaRiesgo, riesgo[t], Tol);
        VV_CERCA(filas[t].primaNeta, 0.28 / 1.9, Tol);
        VV_CERCA(filas[t].primaTarifa, 0.2949874686716792, Tol);
        VV_CERCA(filas[t].reserva, reserva[t], Tol);
    }
    QCOMPARE(dialogos.textos(), QStringList{"Funcion: fPrimaNivelada" + Subindice});
}

void TestMotor::anualidadFueraDeTablaConservaLaAnterior()
{
    FakeDialogos dialogos;
    Motor motor(dialogos);
    motor.columnas = TresEdades(0.0);
    std::vector<FilaResultado> filas;
    // Years 4, 3, 1 at 10, 30, 50 %, m = 2: 0.1 ä(0,2) with ä(0,2) = 1.9; ä(0,3) lies beyond
    // the table, so 1.9 serves again for 0.2; year 1 adds 0.2. beta = 0.19 + 0.38 + 0.2 = 0.77.
    GeneraFilas(motor, DatosEscenario{0, 2, 2, 1, 0, 2},
                {FilaComision{4, 10, 0}, FilaComision{3, 30, 0}, FilaComision{1, 50, 15}},
                [&](const FilaResultado& f) { filas.push_back(f); });
    QCOMPARE(filas.size(), std::size_t{3});
    // (0.015/2 + 14/95) / (1 - 0.77/2)
    VV_CERCA(filas[0].primaTarifa, 0.2518185708172871, Tol);
    QCOMPARE(dialogos.textos(), QStringList{"Funcion: fPrimaNivelada" + Subindice});
}

QTEST_GUILESS_MAIN(TestMotor)
#include "TestMotor.moc"
