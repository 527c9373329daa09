// The guaranteed values worked by hand from the columns given here; on the Illustrative Life Table
// they are checked beside the reserve (TestMotor::reservaProspectiva).

#include "actuarial/motor/Garantias.h"
#include "core/ErrorVV.h"
#include "support/Tolerancia.h"

#include <QTest>

#include <array>

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
};

QTEST_GUILESS_MAIN(TestGarantias)
#include "TestGarantias.moc"
