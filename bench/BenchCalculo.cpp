// Timing of one scenario's calculation on a generated 0..110 table in a temporary database:
// the commutation columns alone, the result generation of an 80-year endowment with a five-year
// commission schedule, the whole calculation, and the same arithmetic with no store at all.
// Prints the median of N runs of each. Usage: BenchCalculo [N]

#include "actuarial/almacen/Calculo.h"
#include "actuarial/almacen/Conmutados.h"
#include "actuarial/almacen/Generacion.h"
#include "actuarial/motor/Columnas.h"
#include "actuarial/motor/Generacion.h"
#include "actuarial/motor/Motor.h"
#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

using namespace valvida;

namespace {

// Gompertz-Makeham mortality, closed at 110.
double Qx(int x)
{
    return x == 110 ? 1.0 : 0.0005 + 0.000015 * std::exp(0.1 * x);
}

double MedianaMicrosegundos(int veces, const std::function<void()>& antes, const std::function<void()>& medido)
{
    std::vector<double> tiempos;
    tiempos.reserve(static_cast<std::size_t>(veces));
    for (int r = 0; r < veces; ++r) {
        antes();
        const auto inicio = std::chrono::steady_clock::now();
        medido();
        const auto fin = std::chrono::steady_clock::now();
        tiempos.push_back(std::chrono::duration<double, std::micro>(fin - inicio).count());
    }
    std::sort(tiempos.begin(), tiempos.end());
    return tiempos[tiempos.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int veces = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;

    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("cavi.mdb"));
    CreaBaseDatos(ruta);
    const QString conexion = QStringLiteral("bench");
    DialogosMudos dialogos;
    int estado = 0;
    {
        Entorno entorno{AbreBaseDatos(ruta, conexion), dialogos, dir.path()};
        std::vector<FilaDetalle> detalle;
        {
            Transaccion t(entorno.db);
            Ejecuta(entorno.db, QStringLiteral("insert into C_TablaMortalidad values(1, 'Generada', 0, 110)"));
            for (int x = 0; x <= 110; ++x) {
                Ejecuta(entorno.db, QStringLiteral("insert into T_DetalleMortalidad values(1, ?, ?)"), {x, Qx(x)});
                detalle.push_back({double(x), Qx(x)});
            }
            // 80-year endowment at 30, 20 premiums, commissions over five years.
            Ejecuta(entorno.db,
                    QStringLiteral("insert into T_Escenario values(1, 30, 100000, 3, 2, 4.5, 1, 80, 20, 'Dotal', 5)"));
            Ejecuta(entorno.db, QStringLiteral("insert into T_Comision values(1, 1, 50, 15), (1, 2, 30, 0), "
                                               "(1, 3, 20, 0), (1, 4, 10, 0), (1, 5, 5, 0)"));
            t.confirma();
        }
        const auto nada = [] {};
        const auto borraResultados = [&] {
            Ejecuta(entorno.db, QStringLiteral("delete from T_Resultado where Escenario = 1"));
        };

        const double conmutados = MedianaMicrosegundos(veces, nada, [&] { CalculaConmutados(entorno, 1, 4.5); });
        const double generacion = MedianaMicrosegundos(veces, borraResultados, [&] { fGeneraResultado(entorno, 1.0); });
        const double completo = MedianaMicrosegundos(veces, nada, [&] { CalculaEscenario(entorno, 1); });

        const DatosEscenario datos{30, 80, 20, 3, 4.5, 2};
        const std::vector<FilaComision> comisiones{{5, 5, 0}, {4, 10, 0}, {3, 20, 0}, {2, 30, 0}, {1, 50, 15}};
        std::size_t filas = 0;
        const double aritmetica = MedianaMicrosegundos(veces, nada, [&] {
            Motor motor([&](const FalloMotor& f) { MostrarError(dialogos, f.rutina, f.error); });
            motor.columnas.dimensiona(0, 110);
            CalculaColumnas(motor.columnas, 0, 4.5, detalle);
            filas = 0;
            GeneraFilas(motor, datos, comisiones, [&](const FilaResultado&) { ++filas; });
        });

        QSqlQuery q = Consulta(entorno.db, QStringLiteral("select count(*) from T_Resultado where Escenario = 1"));
        Siguiente(q);
        const int guardadas = q.value(0).toInt();
        std::printf("BenchCalculo: median of %d runs, 0..110 table, 80-year endowment, 5-year schedule\n", veces);
        std::printf("  CalculaConmutados (111 rows)          %10.1f us\n", conmutados);
        std::printf("  fGeneraResultado (81 rows)            %10.1f us\n", generacion);
        std::printf("  CalculaEscenario (whole calculation)  %10.1f us\n", completo);
        std::printf("  pure arithmetic of one scenario       %10.1f us\n", aritmetica);
        if (!dialogos.textos.isEmpty() || guardadas != 81 || filas != 81) {
            std::fprintf(stderr, "unexpected: %d boxes, %d stored rows, %zu computed rows\n",
                         static_cast<int>(dialogos.textos.size()), guardadas, filas);
            estado = 1;
        }
    }
    CierraBaseDatos(conexion);
    return estado;
}
