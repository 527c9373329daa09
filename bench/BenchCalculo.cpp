// Timing of one scenario's calculation on a generated 0..110 table in a temporary database:
// the commutation columns alone, the result generation of an 80-year endowment with a five-year
// commission schedule, the whole calculation, and the same arithmetic with no store at all.
// Its peer, bench/peer_calculo.py (Python and its sqlite3 module), calculates the same scenario in
// the same database, its runs in blocks alternating with the whole calculation's so that both meet
// the same load; the rows it stores must be ours. Prints the median of N runs of each and the
// ratio. Usage: BenchCalculo [N]

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
#include <QProcess>
#include <QSqlRecord>
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

void Mide(std::vector<double>& tiempos, int veces, const std::function<void()>& antes,
          const std::function<void()>& medido)
{
    for (int r = 0; r < veces; ++r) {
        antes();
        const auto inicio = std::chrono::steady_clock::now();
        medido();
        const auto fin = std::chrono::steady_clock::now();
        tiempos.push_back(std::chrono::duration<double, std::micro>(fin - inicio).count());
    }
}

double Mediana(std::vector<double> tiempos)
{
    std::sort(tiempos.begin(), tiempos.end());
    return tiempos[tiempos.size() / 2];
}

double MedianaMicrosegundos(int veces, const std::function<void()>& antes, const std::function<void()>& medido)
{
    std::vector<double> tiempos;
    Mide(tiempos, veces, antes, medido);
    return Mediana(std::move(tiempos));
}

// The scenario's stored rows, columns and results, every value as a double.
std::vector<std::vector<double>> FilasGuardadas(const QSqlDatabase& db)
{
    std::vector<std::vector<double>> filas;
    for (const QString& sql : {QStringLiteral("select Edad, Cx, Dx, Mx, Nx, Rx, Sx, px, lx, dex from T_Conmutado "
                                              "where Tabla_Mortalidad = 1 and Interes_Tecnico = 4.5 order by Edad"),
                               QStringLiteral("select * from T_Resultado where Escenario = 1 order by Anio_Poliza")}) {
        QSqlQuery q = Consulta(db, sql);
        while (Siguiente(q)) {
            filas.emplace_back();
            for (int c = 0; c < q.record().count(); ++c)
                filas.back().push_back(q.value(c).toDouble());
        }
        filas.emplace_back(); // between the two tables
    }
    return filas;
}

// The largest difference between two sets of rows, relative to the values' size (at least 1);
// infinite when their shapes differ.
double DiferenciaMaxima(const std::vector<std::vector<double>>& a, const std::vector<std::vector<double>>& b)
{
    if (a.size() != b.size())
        return INFINITY;
    double maxima = 0.0;
    for (std::size_t f = 0; f < a.size(); ++f) {
        if (a[f].size() != b[f].size())
            return INFINITY;
        for (std::size_t c = 0; c < a[f].size(); ++c) {
            const double escala = std::max({1.0, std::fabs(a[f][c]), std::fabs(b[f][c])});
            maxima = std::max(maxima, std::fabs(a[f][c] - b[f][c]) / escala);
        }
    }
    return maxima;
}

// The peer, run block by block on the same database.
class Par
{
  public:
    explicit Par(const QString& ruta)
    {
        m_proceso.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_proceso.start(QStringLiteral("python3"),
                        {QStringLiteral(VALVIDA_PAR_CALCULO), QStringLiteral("--lotes"), ruta});
    }
    ~Par()
    {
        m_proceso.closeWriteChannel();
        m_proceso.waitForFinished(-1);
    }

    //! Runs it `veces` times and adds their times; false (and why, on stderr) when it did not run.
    bool mide(int veces, std::vector<double>& tiempos)
    {
        m_proceso.write(QByteArray::number(veces) + '\n');
        while (!m_proceso.canReadLine()) {
            if (!m_proceso.waitForReadyRead(-1)) {
                std::fprintf(stderr, "peer_calculo.py did not run: %s\n", qUtf8Printable(m_proceso.errorString()));
                return false;
            }
        }
        const QList<QByteArray> leidos = m_proceso.readLine().trimmed().split(' ');
        for (const QByteArray& t : leidos)
            tiempos.push_back(t.toDouble());
        return leidos.size() == veces;
    }

  private:
    QProcess m_proceso;
};

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
        // The whole calculation and its peer by turns, ten runs at a time.
        std::vector<double> tiempos;
        std::vector<double> tiemposPar;
        double diferencia = 0.0;
        bool parCorre = true;
        {
            Par par(ruta);
            for (int hechas = 0; hechas < veces && parCorre; hechas += 10) {
                const int bloque = std::min(10, veces - hechas);
                Mide(tiempos, bloque, nada, [&] { CalculaEscenario(entorno, 1); });
                const std::vector<std::vector<double>> nuestras = FilasGuardadas(entorno.db);
                parCorre = par.mide(bloque, tiemposPar);
                diferencia = std::max(diferencia, DiferenciaMaxima(nuestras, FilasGuardadas(entorno.db)));
            }
        }
        const double completo = Mediana(tiempos);
        const double par = parCorre ? Mediana(tiemposPar) : 0.0;

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
        if (parCorre) {
            std::printf("  Python peer, sqlite3 (same rows)      %10.1f us\n", par);
            std::printf("  peer / CalculaEscenario               %10.2f\n", par / completo);
            std::printf("  peer's rows against ours, at most     %10.1g relative\n", diferencia);
        }
        // The peer's rows are ours but for the last bits of its own arithmetic.
        if (!dialogos.textos.isEmpty() || guardadas != 81 || filas != 81 || !parCorre || !(diferencia < 1e-9)) {
            std::fprintf(stderr, "unexpected: %d boxes, %d stored rows, %zu computed rows, peer's rows off by %g\n",
                         static_cast<int>(dialogos.textos.size()), guardadas, filas, diferencia);
            estado = 1;
        }
    }
    CierraBaseDatos(conexion);
    return estado;
}
