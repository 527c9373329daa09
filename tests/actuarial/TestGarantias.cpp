// The guaranteed values: worked by hand from the columns given here, and on the Illustrative Life
// Table checked against the engine's reserves and values computed here from the table's columns.

#include "actuarial/motor/Garantias.h"
#include "actuarial/motor/Motor.h"
#include "core/ErrorVV.h"
#include "support/Ilt.h"
#include "support/Tolerancia.h"

#include <QTest>

#include <array>
#include <cmath>

using namespace valvida;

namespace {

constexpr double Tol = 1e-13;

// Ages 0..3 given by D, N and M alone, all the guaranteed values read.
ColumnasConmutadas Cuatro(double D2 = 0.5)
{
    ColumnasConmutadas c;
    c.dimensiona(0, 3);
    c.Dx = {1, 0.8, D2, 0.4}, c.Nx = {2.7, 1.7, 0.9, 0.4}, c.Mx = {0.6, 0.45, 0.25, 0.15};
    return c;
}

} // namespace

class TestGarantias : public QObject
{
    Q_OBJECT

  private slots:
    void aMano()
    {
        // Cuatro() at x = 0, n = 3, V = 0, 0.3, 0.6, 0.9. Cover bought at age 1: T(1) = 0.2/0.8 = 0.25,
        // T(2) = 0.3/0.8 = 0.375, so 0.3 buys 1 + 0.05/0.125 years and 0.27 buys 1 + 0.02/0.125; at age 2
        // the one year left costs 0.1/0.5. Type, m, R, A, t; annuity, benefit, surrender, paid-up, extended.
        const std::tuple<std::array<int, 5>, std::array<double, 5>> casos[] = {
            {{2, 3, 0, 2, 1}, {1.7 / 0.8, 0.5625, 0, 0, 0}}, // paid for life; before year A
            {{2, 3, 0, 1, 1}, {1.7 / 0.8, 0.5625, 0.3, 0.3 / 0.5625, 1.4}},
            {{2, 3, 0, 1, 2}, {1.8, 0.5, 0.6, 1, 1}}, // 0.6 buys more than the sum, and the year left
            {{2, 3, 0, 1, 3}, {1, 0.375, 0, 0, 0}},   // at the last age, still a premium to pay
            {{2, 2, 10, 1, 1}, {1, 0.5625, 0.27, 0.48, 1.16}},
            {{2, 2, 10, 5, 2}, {0, 0.5, 0.54, 1, 1}}, // A beyond m: from year m, paid up in full
            {{3, 3, 0, 1, 1}, {1.3 / 0.8, 0.875, 0.3, 0.3 / 0.875, 1.4}},
            {{3, 3, 150, 1, 1}, {1.3 / 0.8, 0.875, 0, 0, 0}}, // a charge above the reserve leaves nothing
            {{3, 3, 0, 1, 3}, {0, 1, 0, 0, 0}},
            {{4, 1, 0, 2, 1}, {0, 0.5, 0.3, 1, 0}}, // single premium: from year 1
        };
        for (const auto& [e, esperado] : casos) {
            const auto g = CalculaGarantias(Cuatro(), 0, 3, e[1], e[0], {0, 0.3, 0.6, 0.9}, {1.0 * e[2], e[3]});
            QCOMPARE(g.size(), std::size_t{4});
            const ValoresGarantizados& f = g[static_cast<std::size_t>(e[4])];
            const double actual[] = {f.anualidad, f.seguro, f.rescate, f.saldado, f.prorrogado};
            for (std::size_t k = 0; k < esperado.size(); ++k)
                VV_CERCA(actual[k], esperado[k], Tol);
        }
    }

    void errores()
    {
        // x + n beyond the columns, a negative term, a reserve short: 9. D(2) = 0, read at t = 2: 11.
        const std::tuple<int, int, std::size_t, double, int> casos[] = {
            {1, 3, 4, 0.5, 9}, {0, -1, 4, 0.5, 9}, {0, 3, 3, 0.5, 9}, {0, 3, 4, 0, 11}};
        for (const auto& [x, n, reservas, D2, numero] : casos) {
            try {
                CalculaGarantias(Cuatro(D2), x, n, n, 3, std::vector<double>(reservas, 0.1));
                QFAIL("no error");
            } catch (const ErrorVV& e) {
                QCOMPARE(e.numero(), numero);
            }
        }
    }

    void identidades_data()
    {
        QTest::addColumn<QList<int>>("xnmTipo");
        QTest::addColumn<float>("tc");
        // Every type with level, limited and single premium at 6 %. A single premium has no later
        // premiums to modify; a modified premium for life is formed on the annuity of the term.
        for (int tipo : {1, 2, 3, 4})
            for (int m : {tipo == 2 ? 60 : 20, 10, 1})
                for (float tc : {1.0f, 2.0f})
                    if (tc == 1.0f || (m != 1 && !(tipo == 2 && m == 60)))
                        QTest::addRow("tipo %d, %d primas, comisión %g", tipo, m, double(tc))
                            << QList<int>{tipo == 2 ? 50 : 40, tipo == 2 ? 60 : 20, m, tipo} << tc;
    }

    void identidades()
    {
        QFETCH(QList<int>, xnmTipo);
        QFETCH(float, tc);
        const int x = xnmTipo[0], n = xnmTipo[1], m = xnmTipo[2], tipo = xnmTipo[3];
        bool fallo = false;
        Motor motor([&fallo](const FalloMotor&) { fallo = true; });
        motor.columnas = prueba::Ilt(6.0);
        const ColumnasConmutadas& c = motor.columnas;
        motor.DimensionaReserva(n + 1);
        motor.fReserva(static_cast<std::int16_t>(x), static_cast<std::int16_t>(n), static_cast<std::int16_t>(m), tipo,
                       6.0f, tc);
        QVERIFY(!fallo);
        const auto g = CalculaGarantias(c, x, n, m, tipo, motor.aReserva, {5.0, 2});
        QCOMPARE(g.size(), static_cast<std::size_t>(n) + 1);

        for (int t = 1; t <= n; ++t) {
            const ValoresGarantizados& f = g[static_cast<std::size_t>(t)];
            const double V = motor.aReserva[static_cast<std::size_t>(t)];
            // The prospective reserve, with the premium of the years after t (at maturity, whole life
            // paid for life still owes its last age's). The recursion's rounding grows as D(x) / D(x+t).
            const double pi = motor.aPrima[static_cast<std::size_t>(std::min(t + 1, n))];
            VV_CERCA(f.seguro - pi * f.anualidad, V, 1e-14 * c.D(x) / c.D(x + t));
            VV_CERCA(f.rescate, tipo != 1 && t < n && t >= std::min(2, m) ? 0.95 * V : 0.0, Tol);
            if (f.rescate == 0.0 || t >= m)
                continue;
            VV_CERCA(f.saldado * f.seguro, f.rescate, Tol);
            // The cost of k years' death cover at x + t, linear between whole years.
            const auto T = [&](int k) { return (c.M(x + t) - c.M(x + t + k)) / c.D(x + t); };
            const int k = static_cast<int>(std::floor(f.prorrogado));
            if (tipo == 4)
                QCOMPARE(f.prorrogado, 0.0);
            else if (k < n - t)
                VV_CERCA(T(k) + (f.prorrogado - k) * (T(k + 1) - T(k)), f.rescate, Tol);
            else
                QVERIFY(k == n - t && T(k) <= f.rescate);
        }
    }
};

QTEST_GUILESS_MAIN(TestGarantias)
#include "TestGarantias.moc"
