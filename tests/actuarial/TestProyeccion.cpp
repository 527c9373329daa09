// The best estimate's projection: a policy worked by hand through two years, and on the
// Illustrative Life Table the chain back to the reserve.

#include "actuarial/motor/Motor.h"
#include "actuarial/motor/Proyeccion.h"
#include "support/Ilt.h"
#include "support/Tolerancia.h"

#include <QTest>

#include <cmath>

using namespace valvida;

namespace {

// A 2-year term at 0 paid over 2 years, q = 0.1 and 0.2, PT = 0.2 per unit on a sum of 1000;
// commissions 50 % then 10 % with 15 per mille in year 1; 10 a policy inflated at 10 % and 5 % of
// each premium; 20 % lapse in year 1 surrendering R(1) = 0.05; spot rates 10 % and 20 %.
struct Caso
{
    PlanProyeccion plan{0, 2, 2, 1, false, 0.2, {0, 0.05, 0}, {0, 50, 10}, {0, 15}};
    HipotesisProyeccion hipotesis{0, {0.1, 0.2}, 100, 10, 5, 10, {0, 20}};
    CurvaTipos curva{{10, 20}};

    double valora(double s, std::vector<FlujoAnio>* flujos = nullptr) const
    {
        const double f = s - std::floor(s);
        return ProyectaPoliza(plan, hipotesis, FactoresFraccion(f, 2, curva, hipotesis.inflacionGastos), 1000, s,
                              flujos);
    }
};

} // namespace

class TestProyeccion : public QObject
{
    Q_OBJECT

  private slots:
    void aMano()
    {
        // Year 1 at 0: premium 200, commissions 100 + 15, expenses 10 + 10; deaths 100, 0.9 alive, 0.18
        // lapse for 9. Year 2 at 1, 0.72 in force: premium 144, commission 14.4, expenses 7.2 + 0.72 x 11;
        // deaths 144 at 2 (v = 1/1.44). Net 44 and 29.52.
        Caso c;
        std::vector<FlujoAnio> flujos;
        VV_CERCA(c.valora(0, &flujos), -65 + 109 / 1.1 - 114.48 / 1.1 + 100, 1e-12);
        QCOMPARE(flujos.size(), std::size_t{2});
        const FlujoAnio& a = flujos[0];
        const FlujoAnio& b = flujos[1];
        const QList<double> vistos{a.primas, a.fallecimientos, a.rescates,     a.gastos, a.comisiones, a.neto(),
                                   b.primas, b.fallecimientos, b.vencimientos, b.gastos, b.comisiones, b.neto()};
        const QList<double> esperados{200, 100, 9, 20, 115, 44, 144, 144, 0, 15.12, 14.4, 29.52};
        for (qsizetype i = 0; i < vistos.size(); ++i)
            VV_CERCA(vistos[i], esperados[i], 1e-12);
        VV_CERCA(a.valorActual + b.valorActual, -65 + 109 / 1.1 - 114.48 / 1.1 + 100, 1e-12);

        // Half a year in force: year 1's premium was paid; of its deaths 0.05/0.95 remain, then 0.2 of
        // the 0.8 x 18/19 in force at 0.5, valued at 1.5 on 15 % (between the two rates).
        const double vivos = 0.8 * 18 / 19, medio = std::pow(1.1, -0.5);
        VV_CERCA(c.valora(0.5),
                 (1000 / 19.0 + 0.2 * 18 / 19 * 50) * medio +
                     vivos * (0.15 * 200 + 10 * std::sqrt(1.1) - 200 + 0.2 * 1000 * std::pow(1.15, -1.5) / medio) *
                         medio,
                 1e-12);

        // A lapse of 100 % in year 1 leaves year 2 nothing: 0.9 surrender 45.
        c.hipotesis.caida = {0, 100};
        VV_CERCA(c.valora(0, &flujos), -65 + 145 / 1.1, 1e-12);
        // A year past the lapse table's last takes its rate; none before the first.
        QCOMPARE((QList<double>{c.hipotesis.tasaCaida(0), c.hipotesis.tasaCaida(7)}), (QList<double>{0, 100}));
        // A heavier mortality than the table's is capped at certain death, and so is an age past it.
        c.hipotesis.porcentajeMortalidad = 600;
        QCOMPARE((QList<double>{c.hipotesis.q(1), c.hipotesis.q(2)}), (QList<double>{1, 1}));
    }

    void cadenaHastaLaReserva()
    {
        // The pricing table at 100 %, no lapses, expenses or commissions (PT = P) and a flat curve at the
        // technical rate: at whole years in force the best estimate is the sum times the reserve V(k).
        const double suma = 1000;
        HipotesisProyeccion h;
        for (const FilaDetalle& f : prueba::DetalleIlt())
            h.qx.push_back(*f.qx);
        const CurvaTipos curva{{6}};
        // x, n, m, type: a term, an endowment paid 15 years, a pure endowment, whole life for life and paid 10.
        const std::array<std::array<int, 4>, 5> planes{
            {{40, 20, 20, 1}, {40, 20, 15, 3}, {30, 25, 25, 4}, {50, 60, 60, 2}, {50, 60, 10, 2}}};
        for (const auto& [x, n, m, tipo] : planes) {
            bool fallo = false;
            Motor motor([&fallo](const FalloMotor&) { fallo = true; });
            motor.columnas = prueba::Ilt(6);
            motor.DimensionaReserva(n + 1);
            const auto corto = [](int v) { return static_cast<std::int16_t>(v); };
            motor.fReserva(corto(x), corto(n), corto(m), tipo, 6.0f, 1.0f);
            const PlanProyeccion plan{x, n, m, tipo, tipo == 2 && m == n, motor.aPrima.at(1), {}, {}, {}};
            QVERIFY(!fallo);
            for (int k : {0, 1, 7, n - 3}) {
                const double be = ProyectaPoliza(plan, h, FactoresFraccion(0, n + 1, curva, 0), suma, k);
                const double V = suma * motor.aReserva.at(static_cast<std::size_t>(k));
                QVERIFY2(std::fabs(be - V) <= 1e-8 * std::max(1.0, std::fabs(V)),
                         qPrintable(QString("x %1 n %2 m %3 tipo %4, k %5: %6 y %7")
                                        .arg(x)
                                        .arg(n)
                                        .arg(m)
                                        .arg(tipo)
                                        .arg(k)
                                        .arg(be, 0, 'g', 17)
                                        .arg(V, 0, 'g', 17)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestProyeccion)
#include "TestProyeccion.moc"
