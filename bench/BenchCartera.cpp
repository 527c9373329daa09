// Timing of `valvida-lote cartera` on a generated portfolio: a database with a 0..110 table
// (Gompertz-Makeham qx, closed at 110) and six plans, a file of N policies spread over them (issue
// ages 20..60, sums 1,000..500,000, times in force to the hundredth of a year), then the command
// run R times in-process and once as the real program beside this one. Prints the median time
// and the policies per second.
// Usage: BenchCartera [N] [R] [CARPETA]; with CARPETA the database and the portfolio stay there,
// for `/usr/bin/time -v build/valvida-lote cartera CARPETA/cavi.mdb CARPETA/cartera.csv OUT`.

#include "app/lote/Lote.h"
#include "core/BaseDatos.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

using namespace valvida;

namespace {

double Qx(int x)
{
    return x == 110 ? 1.0 : 0.0005 + 0.000015 * std::exp(0.1 * x);
}

struct PlanBench
{
    const char* escenario; // the row of T_Escenario
    const char* comision;  // its rows of T_Comision
    int plazo;             // insurance term at age 60 at most (whole life: to 110)
};

// Term, endowment with a five-year schedule, whole life, pure endowment, a one-year cover and a
// limited-pay endowment: every branch of the engine's premium and reserve.
const PlanBench Planes[] = {
    {"(1, 40, 1000, 1, 1, 4, 1, 20, 20, 'Temporal', 0)", "(1, 1, 30, 5)", 20},
    {"(2, 40, 1000, 3, 2, 4.5, 1, 25, 20, 'Dotal', 5)",
     "(2, 1, 50, 15), (2, 2, 30, 0), (2, 3, 20, 0), (2, 4, 10, 0), (2, 5, 5, 0)", 25},
    {"(3, 40, 1000, 2, 1, 3, 1, 70, 30, 'Vida entera', 0)", "(3, 1, 40, 10)", 50},
    {"(4, 40, 1000, 4, 1, 2.5, 1, 15, 15, 'Dotal puro', 0)", "(4, 1, 10, 0)", 15},
    {"(5, 40, 1000, 1, 1, 4, 1, 1, 12, 'Un año', 0)", "(5, 1, 15, 0)", 1},
    {"(6, 40, 1000, 3, 2, 5, 1, 30, 10, 'Dotal pagos limitados', 3)", "(6, 1, 60, 20), (6, 2, 20, 0), (6, 3, 10, 0)",
     30},
};

void CreaDatos(const QString& ruta)
{
    CreaBaseDatos(ruta);
    const QString conexion = QStringLiteral("bench-cartera");
    {
        QSqlDatabase db = AbreBaseDatos(ruta, conexion);
        Transaccion t(db);
        Ejecuta(db, QStringLiteral("insert into C_TablaMortalidad values(1, 'Generada', 0, 110)"));
        for (int x = 0; x <= 110; ++x)
            Ejecuta(db, QStringLiteral("insert into T_DetalleMortalidad values(1, ?, ?)"), {x, Qx(x)});
        for (const PlanBench& p : Planes) {
            Ejecuta(db, QStringLiteral("insert into T_Escenario values") + QString::fromUtf8(p.escenario));
            Ejecuta(db, QStringLiteral("insert into T_Comision values") + QString::fromUtf8(p.comision));
        }
        // The best estimate's assumptions: the same table at 90 %, expenses, lapses and a rising curve.
        Ejecuta(db, QStringLiteral("insert into T_Hipotesis values(1, 'Realista', 1, 90, 30, 2, 2)"));
        Ejecuta(db, QStringLiteral("insert into T_Caida values(1, 1, 8), (1, 3, 4), (1, 6, 2)"));
        Ejecuta(db, QStringLiteral("insert into C_Curva values(1, 'Creciente', '2026-12-31')"));
        for (int k = 1; k <= 60; ++k)
            Ejecuta(db, QStringLiteral("insert into T_Curva values(1, ?, ?)"), {k, 2.0 + 0.03 * k});
        t.confirma();
    }
    CierraBaseDatos(conexion);
}

void CreaCartera(const QString& ruta, long polizas)
{
    std::mt19937_64 azar(20240613);
    std::uniform_int_distribution<int> plan(0, std::size(Planes) - 1);
    std::uniform_int_distribution<int> edad(20, 60);
    std::uniform_int_distribution<int> suma(1, 500);
    std::string texto = "Poliza,Escenario,Edad,Suma_Asegurada,Antiguedad\n";
    texto.reserve(static_cast<std::size_t>(polizas) * 40 + 64);
    char linea[96];
    for (long i = 0; i < polizas; ++i) {
        const int p = plan(azar);
        const int x = edad(azar);
        const int n = p == 2 ? 110 - x : Planes[p].plazo;
        const int centesimas = std::uniform_int_distribution<int>(0, n * 100 - 1)(azar);
        const int largo = std::snprintf(linea, sizeof linea, "P%07ld,%d,%d,%d000,%d.%02d\n", i + 1, p + 1, x,
                                        suma(azar), centesimas / 100, centesimas % 100);
        texto.append(linea, static_cast<std::size_t>(largo));
    }
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly) ||
        archivo.write(texto.data(), static_cast<qint64>(texto.size())) != static_cast<qint64>(texto.size()))
        std::fprintf(stderr, "no se pudo escribir %s\n", qPrintable(ruta));
}

// The floor of a portfolio's valuation: reading its input and writing an output of the same size
// in 1 MB blocks, with one fdatasync. Printed with its median of 5 runs.
double Suelo(const QString& entrada, qint64 tamanoSalida, const QString& carpeta)
{
    std::vector<double> segundos;
    std::vector<char> bloque(std::size_t{1} << 20, 'x');
    const QByteArray destino = QFile::encodeName(carpeta + QStringLiteral("/suelo.csv"));
    for (int r = 0; r < 5; ++r) {
        QElapsedTimer reloj;
        reloj.start();
        QFile lectura(entrada);
        if (!lectura.open(QIODevice::ReadOnly))
            return 1.0;
        while (lectura.read(bloque.data(), static_cast<qint64>(bloque.size())) > 0) {
        }
        const int fd = ::open(destino.constData(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
        for (qint64 hecho = 0; fd >= 0 && hecho < tamanoSalida;) {
            const auto n = static_cast<std::size_t>(std::min<qint64>(tamanoSalida - hecho, qint64(bloque.size())));
            if (::write(fd, bloque.data(), n) != static_cast<ssize_t>(n))
                break;
            hecho += static_cast<qint64>(n);
        }
        if (fd >= 0) {
            ::fdatasync(fd);
            ::close(fd);
        }
        segundos.push_back(static_cast<double>(reloj.nsecsElapsed()) / 1e9);
    }
    std::sort(segundos.begin(), segundos.end());
    std::printf("  floor: read %lld + write %lld bytes + fdatasync  %8.3f s\n",
                static_cast<long long>(QFileInfo(entrada).size()), static_cast<long long>(tamanoSalida), segundos[2]);
    return segundos[2];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const long polizas = argc > 1 ? std::max(1L, std::atol(argv[1])) : 1000000L;
    const int veces = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    QTemporaryDir temporal;
    const QString carpeta = argc > 3 ? QString::fromLocal8Bit(argv[3]) : temporal.path();
    QDir().mkpath(carpeta);
    const QString base = carpeta + QStringLiteral("/cavi.mdb");
    const QString cartera = carpeta + QStringLiteral("/cartera.csv");
    const QString salida = carpeta + QStringLiteral("/valorada.csv");
    QFile::remove(base);
    CreaDatos(base);
    CreaCartera(cartera, polizas);

    // Each command: the median of R in-process runs, then the program itself, start to exit.
    const QString flujos = carpeta + QStringLiteral("/flujos.csv");
    const QList<QStringList> ordenes{{QStringLiteral("cartera"), base, cartera, salida},
                                     {QStringLiteral("mejor-estimacion"), base, cartera, QStringLiteral("1"),
                                      QStringLiteral("1"), salida, QStringLiteral("--flujos"), flujos}};
    std::printf("BenchCartera: %ld policies, 6 plans, median of %d in-process runs\n", polizas, veces);
    for (const QStringList& orden : ordenes) {
        std::vector<double> segundos;
        QString resumen;
        for (int r = 0; r < veces; ++r) {
            QString out;
            QString err;
            QTextStream flujoOut(&out);
            QTextStream flujoErr(&err);
            QElapsedTimer reloj;
            reloj.start();
            const int estado = EjecutaLote(orden, flujoOut, flujoErr);
            segundos.push_back(static_cast<double>(reloj.nsecsElapsed()) / 1e9);
            if (estado != 0) {
                std::fprintf(stderr, "%s: estado %d\n%s", qPrintable(orden.first()), estado, qPrintable(err));
                return 1;
            }
            resumen = out;
        }
        std::sort(segundos.begin(), segundos.end());
        const double mediana = segundos[segundos.size() / 2];
        std::printf("%s\n  in-process   %8.3f s  %12.0f policies/s\n", qPrintable(orden.first()), mediana,
                    static_cast<double>(polizas) / mediana);
        const QString programa = QCoreApplication::applicationDirPath() + QStringLiteral("/../valvida-lote");
        if (QFile::exists(programa)) {
            QProcess proceso;
            QElapsedTimer reloj;
            reloj.start();
            proceso.start(programa, orden);
            proceso.waitForFinished(-1);
            const double s = static_cast<double>(reloj.nsecsElapsed()) / 1e9;
            std::printf("  valvida-lote %8.3f s  %12.0f policies/s (status %d)\n", s, static_cast<double>(polizas) / s,
                        proceso.exitCode());
        }
        std::printf("%s", qPrintable(resumen));
        if (orden.first() == QLatin1String("cartera"))
            std::printf("  cartera / floor %5.2f\n", mediana / Suelo(cartera, QFileInfo(salida).size(), carpeta));
    }
    return 0;
}
