// Several users on one database at once: four processes, each running 100 imports of a table,
// stores of a scenario and calculations of one shared scenario, interleaved. Afterwards every new
// table and scenario has a number of its own and all its rows, and the shared scenario holds one
// whole result, the one a calculation alone gives. Over the file and over the server alike.

#include "actuarial/almacen/Calculo.h"
#include "actuarial/cartera/LecturaCartera.h"
#include "app/lote/Lote.h"
#include "core/BaseDatos.h"
#include "core/EntradaEscenario.h"
#include "core/ErrorVV.h"
#include "core/ImportaTabla.h"
#include "support/BaseTemporal.h"
#include "support/PruebaLote.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTest>

#include <cmath>
#include <cstdio>

using namespace valvida;
using prueba::BaseTemporal;

namespace {

constexpr int Usuarios = 4;
constexpr int Operaciones = 100;

// One user's run: "T n" for each table imported, "E n" for each scenario stored, on standard
// output; status 1 and the reason on standard error at the first operation that fails.
int Usuario(const QString& ruta, const QString& tabla)
{
    prueba::FakeDialogos dialogos;
    try {
        Entorno entorno{AbreBaseDatos(ruta, QStringLiteral("usuario")), dialogos, QFileInfo(tabla).path()};
        const std::optional<EscenarioValido> modelo = LeeEscenarioGuardado(entorno.db, 1);
        if (!modelo)
            throw ErrorVV::sinRegistroActual();
        for (int i = 0; i < Operaciones; ++i) {
            switch (i % 3) {
            case 0: {
                const std::optional<int> numero = ImportaTabla(entorno, tabla);
                if (!numero)
                    throw ErrorVV(1, dialogos.textos().join(QLatin1Char('\n')));
                std::printf("T %d\n", *numero);
                break;
            }
            case 1: std::printf("E %d\n", GuardaEscenario(entorno.db, *modelo).numero); break;
            default:
                if (!CalculaEscenario(entorno, 1))
                    throw ErrorVV(1, dialogos.textos().join(QLatin1Char('\n')));
            }
        }
    } catch (const ErrorVV& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.descripcion()));
        return 1;
    }
    std::fflush(stdout);
    return 0;
}

} // namespace

class TestEquipo : public QObject
{
    Q_OBJECT

  private slots:
    void cuatroUsuariosALaVez()
    {
        BaseTemporal base;
        QByteArray filas;
        for (int x = 0; x <= 110; ++x)
            filas += QByteArray::number(x) + ',' +
                     QByteArray::number(x == 110 ? 1.0 : 0.0005 + 0.000015 * std::exp(0.1 * x), 'g', 17) +
                     ",Equipo\r\n";
        const QString tabla = base.archivo(QStringLiteral("tabla.csv"), filas);
        QCOMPARE(ImportaTabla(base.entorno(), tabla), std::optional(1));
        base.sql(QStringLiteral("insert into T_Escenario values (1, 40, 1000, 3, 2, 4.5, 1, 25, 20, 'Dotal', 5)"));
        for (int anio = 1; anio <= 5; ++anio)
            base.sql(QStringLiteral("insert into T_Comision values (1, ?, ?, ?)"), {anio, 60 - 10 * anio, 3});
        QVERIFY(CalculaEscenario(base.entorno(), 1));
        const QString resultado = QStringLiteral("select * from T_Resultado where Escenario = 1 order by Anio_Poliza");
        const QStringList solo = base.filas(resultado);
        QCOMPARE(solo.size(), 26);

        QList<QProcess*> procesos;
        for (int u = 0; u < Usuarios; ++u) {
            auto* p = new QProcess(this);
            p->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--usuario"), base.ruta(), tabla});
            procesos << p;
        }
        QSet<int> tablas{1};
        QSet<int> escenarios{1};
        int importadas = 1;
        int guardados = 1;
        for (QProcess* p : procesos) {
            QVERIFY(p->waitForFinished(120000));
            QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
            for (const QByteArray& linea : p->readAllStandardOutput().split('\n')) {
                if (linea.startsWith("T ")) {
                    tablas << linea.mid(2).toInt();
                    ++importadas;
                } else if (linea.startsWith("E ")) {
                    escenarios << linea.mid(2).toInt();
                    ++guardados;
                }
            }
        }
        // Every number given once, and every table and scenario whole.
        QCOMPARE(importadas, 1 + Usuarios * 34);
        QCOMPARE(tablas.size(), importadas);
        QCOMPARE(guardados, 1 + Usuarios * 33);
        QCOMPARE(escenarios.size(), guardados);
        QCOMPARE(base.filas(QStringLiteral("select count(*), min(Tabla_Mortalidad), max(Tabla_Mortalidad) "
                                           "from C_TablaMortalidad")),
                 QStringList{QStringLiteral("%1|1|%1").arg(importadas)});
        QCOMPARE(base.filas(QStringLiteral("select count(*) from (select Tabla_Mortalidad from T_DetalleMortalidad "
                                           "group by Tabla_Mortalidad having count(*) = 111) t")),
                 QStringList{QString::number(importadas)});
        QCOMPARE(base.filas(QStringLiteral("select count(*) from (select Escenario from T_Comision "
                                           "group by Escenario having count(*) = 5) t")),
                 QStringList{QString::number(guardados)});
        QCOMPARE(base.filas(QStringLiteral("select count(*) from T_Escenario")),
                 QStringList{QString::number(guardados)});
        QCOMPARE(base.filas(resultado), solo);
    }

    // The sample database made where the run's database is (a file, or the server's), then copied
    // into a file: every command writes the same bytes from both.
    void lasMismasSalidasDeLaCopia()
    {
        BaseTemporal base(BaseTemporal::Vacia);
        const QString origen = base.ruta();
        const QString copia = base.carpeta() + QStringLiteral("/copia.mdb");
        QCOMPARE(prueba::Lote({"crear-bd", "--ejemplo", origen}).estado, 0);
        QCOMPARE(prueba::Lote({"importar-curva", origen, base.archivo("curva.csv", "1,3\n2,3.5\n3,3.8\n4,4\n"),
                               "Creciente", "2026-12-31"})
                     .estado,
                 0);
        {
            QSqlDatabase db = AbreBaseDatos(origen, QStringLiteral("hipotesis"));
            Ejecuta(db, QStringLiteral("insert into T_Hipotesis values (1, 'Realista', 1, 90, 25, 3, 2)"));
            Ejecuta(db, QStringLiteral("insert into T_Caida values (1, 1, 8), (1, 2, 4), (1, 4, 2)"));
        }
        CierraBaseDatos(QStringLiteral("hipotesis"));
        QCOMPARE(prueba::Lote({"copiar", origen, copia}).estado, 0);

        QByteArray cartera = CabeceraCartera.toUtf8() + '\n';
        for (int e = 1; e <= 3; ++e) {
            for (int p = 0; p < 4; ++p)
                cartera += QStringLiteral("P%1-%2,%1,%3,%4,%5\n")
                               .arg(e)
                               .arg(p)
                               .arg(35 + 5 * (e % 2) + p)
                               .arg(1000 * (p + 1))
                               .arg(0.2 * p)
                               .toUtf8();
        }
        base.archivo("cartera.csv", cartera);
        const QString c = base.carpeta() + QLatin1Char('/');
        const QList<QStringList> ordenes = {
            {"calcular", "{bd}", "1"},
            {"calcular", "{bd}", "2"},
            {"calcular", "{bd}", "3"},
            {"exportar", "{bd}", "1", c + "{n}.csv"},
            {"exportar", "{bd}", "3", c + "{n}.csv"},
            {"tarifa", "{bd}", "2", "20", "60"},
            {"cartera", "--resumen", c + "{n}.csv", "{bd}", c + "cartera.csv", c + "{n}-salida.csv"},
            {"mejor-estimacion", "{bd}", c + "cartera.csv", "1", "1", c + "{n}.csv", "--flujos", c + "{n}-f.csv"},
        };
        for (const QStringList& orden : ordenes) {
            QByteArray salidas[2];
            for (int i = 0; i < 2; ++i) {
                QStringList argumentos = orden;
                argumentos.replaceInStrings(QStringLiteral("{bd}"), i == 0 ? origen : copia);
                argumentos.replaceInStrings(QStringLiteral("{n}"), QString::number(i));
                const prueba::SalidaLote s = prueba::Lote(argumentos);
                QVERIFY2(s.estado == 0, qPrintable(orden.join(' ') + ": " + s.err));
                salidas[i] = QString(s.out).replace(c + QString::number(i), QStringLiteral("{n}")).toUtf8();
                for (const QString& archivo :
                     {QStringLiteral("%1.csv"), QStringLiteral("%1-salida.csv"), QStringLiteral("%1-f.csv")})
                    salidas[i] += prueba::LeeArchivo(c + archivo.arg(i));
            }
            QVERIFY2(salidas[0].size() > 100, qPrintable(orden.join(' ')));
            QVERIFY2(salidas[0] == salidas[1], qPrintable(orden.join(' ')));
        }
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--usuario") == 0)
        return Usuario(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    TestEquipo prueba;
    return QTest::qExec(&prueba, argc, argv);
}

#include "TestEquipo.moc"
