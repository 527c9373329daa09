// valvida-lote calcular: in-process through EjecutaLote, and once through the real binary on a
// database made by crear-bd and filled with plain SQL.

#include "app/lote/Lote.h"
#include "core/BaseDatos.h"
#include "support/BaseTemporal.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace valvida;
using prueba::BaseTemporal;

namespace {

const QString Cabecera = QStringLiteral("Escenario,Anio_Poliza,Edad_Alcanzada,Prima_Riesgo,Prima_Neta_Nivelada,"
                                        "Prima_Tarifa,Anualidad,Seguro,Reserva_Matematica,Rescate,Saldado,Prorrogado");

// The three-age table at 0 % with scenario 1: x = 0, n = m = 2, term, commission 50 % and 15 per mille.
const QStringList Ejemplo = {
    "insert into C_TablaMortalidad values(1, 'Tres edades', 0, 2)",
    "insert into T_DetalleMortalidad values(1, 0, 0.1), (1, 1, 0.2), (1, 2, 1)",
    "insert into T_Escenario values(1, 0, 1000, 1, 1, 0, 1, 2, 2, 'Ejemplo', 0)",
    "insert into T_Comision values(1, 1, 50, 15)",
};

const QString FilasEjemplo = QStringLiteral("1,0,0,0.1,0.147368421052632,0.294987468671679,0,0,0,0,0,0\n"
                                            "1,1,1,0.2,0.147368421052632,0.294987468671679,0,0,0.0526315789473684,0,0,0\n"
                                            "1,2,2,0.2,0.147368421052632,0.294987468671679,0,0,0,0,0,0\n");

const QString CajaP20 = QStringLiteral("Funcion: fPrimaNivelada\nError:9\nEl subíndice está fuera del intervalo\n");

struct Salida
{
    int estado;
    QString out;
    QString err;
};

Salida Lote(const QStringList& argumentos)
{
    Salida s{0, {}, {}};
    QTextStream out(&s.out);
    QTextStream err(&s.err);
    s.estado = EjecutaLote(argumentos, out, err);
    return s;
}

} // namespace

class TestLoteCalcular : public QObject
{
    Q_OBJECT

private slots:
    void imprimeElEjemplo();
    void sinCajasTerminaConCero();
    void escenarioNoEnteroEsErrorDeUso_data();
    void escenarioNoEnteroEsErrorDeUso();
    void escenarioInexistente();
    void baseInexistente();
    void binarioReal();
};

void TestLoteCalcular::imprimeElEjemplo()
{
    BaseTemporal base;
    for (const QString& s : Ejemplo)
        base.sql(s);
    const Salida s = Lote({"calcular", base.ruta(), "1"});
    QCOMPARE(s.out, Cabecera + "\n" + FilasEjemplo);
    // The reference premium's box of the reserve: written, and the status says so.
    QCOMPARE(s.err, CajaP20);
    QCOMPARE(s.estado, 1);
}

void TestLoteCalcular::sinCajasTerminaConCero()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'Larga', 0, 30)");
    for (int x = 0; x <= 30; ++x)
        base.sql("insert into T_DetalleMortalidad values(1, ?, 0.01)", {x});
    base.sql("insert into T_Escenario values(3, 5, 1000, 3, 1, 4, 1, 2, 2, 'Dotal', 0)");
    base.sql("insert into T_Comision values(3, 1, 20, 10)");
    base.sql("insert into T_Resultado(Escenario, Anio_Poliza) values(3, 7)");
    const Salida s = Lote({"calcular", base.ruta(), "3"});
    QCOMPARE(s.err, QString());
    QCOMPARE(s.estado, 0);
    const QStringList lineas = s.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lineas.size(), 4);
    QCOMPARE(lineas[0], Cabecera);
    QVERIFY(lineas[1].startsWith("3,0,5,"));
    QVERIFY(lineas[3].startsWith("3,2,7,"));
}

void TestLoteCalcular::escenarioNoEnteroEsErrorDeUso_data()
{
    QTest::addColumn<QString>("escenario");
    QTest::newRow("letras") << "uno";
    QTest::newRow("decimal") << "1.5";
    QTest::newRow("vacío") << "";
}

void TestLoteCalcular::escenarioNoEnteroEsErrorDeUso()
{
    QFETCH(QString, escenario);
    BaseTemporal base;
    const Salida s = Lote({"calcular", base.ruta(), escenario});
    QCOMPARE(s.estado, 2);
    QCOMPARE(s.err, UsoLote() + "\n");
    QVERIFY(UsoLote().contains("calcular RUTA_BD ESCENARIO"));
    QCOMPARE(s.out, QString());
}

void TestLoteCalcular::escenarioInexistente()
{
    BaseTemporal base;
    for (const QString& s : Ejemplo)
        base.sql(s);
    const Salida s = Lote({"calcular", base.ruta(), "5"});
    QCOMPARE(s.out, Cabecera + "\n");
    QCOMPARE(s.err, QStringLiteral("Funcion: fGeneraResultado\nError:3021\nBOF o EOF es True, o el registro actual se "
                                   "eliminó. La operación solicitada requiere un registro actual.\n"));
    QCOMPARE(s.estado, 1);
}

void TestLoteCalcular::baseInexistente()
{
    QTemporaryDir dir;
    const Salida s = Lote({"calcular", dir.filePath("no-existe.mdb"), "1"});
    QCOMPARE(s.estado, 1);
    QVERIFY(s.err.startsWith("No se abrió la base de datos: "));
    QCOMPARE(s.out, QString());
    QVERIFY(!QFile::exists(dir.filePath("no-existe.mdb")));
}

void TestLoteCalcular::binarioReal()
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("cavi.mdb");
    QProcess crear;
    crear.start(VALVIDA_LOTE_BIN, {"crear-bd", ruta});
    QVERIFY(crear.waitForFinished(30000));
    QCOMPARE(crear.exitCode(), 0);
    {
        const QString conexion = "prueba-binario";
        QSqlDatabase db = AbreBaseDatos(ruta, conexion);
        for (const QString& s : Ejemplo)
            Ejecuta(db, s);
        db = QSqlDatabase();
        CierraBaseDatos(conexion);
    }
    QProcess calcular;
    calcular.start(VALVIDA_LOTE_BIN, {"calcular", ruta, "1"});
    QVERIFY(calcular.waitForFinished(30000));
    QCOMPARE(calcular.exitStatus(), QProcess::NormalExit);
    QCOMPARE(QString::fromUtf8(calcular.readAllStandardOutput()), Cabecera + "\n" + FilasEjemplo);
    QCOMPARE(QString::fromUtf8(calcular.readAllStandardError()), CajaP20);
    QCOMPARE(calcular.exitCode(), 1);
}

QTEST_GUILESS_MAIN(TestLoteCalcular)
#include "TestLoteCalcular.moc"
