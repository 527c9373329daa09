// valvida-lote calcular: in-process through EjecutaLote, and the worked example through the real
// binary on a database made by crear-bd and filled with plain SQL.

#include "app/lote/Lote.h"
#include "core/BaseDatos.h"
#include "support/BaseTemporal.h"
#include "support/PruebaLote.h"

#include <QTemporaryDir>
#include <QTest>

using namespace valvida;
using prueba::BaseTemporal;

namespace {

const QString Cabecera = QStringLiteral("Escenario,Anio_Poliza,Edad_Alcanzada,Prima_Riesgo,Prima_Neta_Nivelada,"
                                        "Prima_Tarifa,Anualidad,Seguro,Reserva_Matematica,Rescate,Saldado,Prorrogado");

// The three-age table at 0 % with scenario 1: x = 0, n = m = 2, term, commission 50 % and 15 per
// mille; and scenario 2: a one-year term cover of 6 months with no commission, which raises no box.
const QStringList Ejemplo = {
    "insert into C_TablaMortalidad values(1, 'Tres edades', 0, 2)",
    "insert into T_DetalleMortalidad values(1, 0, 0.1), (1, 1, 0.2), (1, 2, 1)",
    "insert into T_Escenario values(1, 0, 1000, 1, 1, 0, 1, 2, 2, 'Ejemplo', 0), (2, 0, 1000, 1, 2, 0, 1, 1, 6, "
    "'Meses', 0)",
    "insert into T_Comision values(1, 1, 50, 15), (2, 1, 0, 0)",
};

const QString FilasEjemplo =
    QStringLiteral("1,0,0,0.1,0.147368421052632,0.294987468671679,0,0,0,0,0,0\n"
                   "1,1,1,0.2,0.147368421052632,0.294987468671679,0,0,0.0526315789473684,0,0,0\n"
                   "1,2,2,0.2,0.147368421052632,0.294987468671679,0,0,0,0,0,0\n");

} // namespace

class TestLoteCalcular : public QObject
{
    Q_OBJECT

  private slots:
    void salidas_data();
    void salidas();
    void binarioReal();
};

void TestLoteCalcular::salidas_data()
{
    QTest::addColumn<QString>("ruta"); // empty: a database holding the worked example
    QTest::addColumn<QString>("escenario");
    QTest::addColumn<int>("estado");
    QTest::addColumn<QString>("out"); // the whole of stdout, or how it starts when it ends with "..."
    QTest::addColumn<QString>("err"); // the whole of stderr, or how it starts when it ends with "..."
    const QString uso = UsoLote() + "\n";
    QVERIFY(UsoLote().contains("calcular RUTA_BD ESCENARIO"));
    // P = risk = PT = 0.1 a year, times 6/12; no box, status 0.
    QTest::newRow("sin cajas") << ""
                               << "2" << 0 << Cabecera + "\n2,0,0,0.05,0.05,0.05,0,0,0,0,0,0\n2,1,0,..."
                               << "";
    QTest::newRow("letras") << ""
                            << "uno" << 2 << "" << uso;
    QTest::newRow("decimal") << ""
                             << "1.5" << 2 << "" << uso;
    QTest::newRow("vacío") << ""
                           << "" << 2 << "" << uso;
    // The generator's own box, and nothing on stdout: a failed calculation has no results.
    QTest::newRow("escenario inexistente")
        << ""
        << "5" << 1 << ""
        << "Funcion: fGeneraResultado\nError:3021\nBOF o EOF es True, o el registro actual se eliminó. La operación "
           "solicitada requiere un registro actual.\n";
    QTest::newRow("base inexistente") << "no-existe.mdb"
                                      << "1" << 1 << ""
                                      << "No se abrió la base de datos: ...";
}

void TestLoteCalcular::salidas()
{
    QFETCH(QString, ruta);
    QFETCH(QString, escenario);
    QFETCH(int, estado);
    QFETCH(QString, out);
    QFETCH(QString, err);
    BaseTemporal base;
    for (const QString& s : Ejemplo)
        base.sql(s);
    const QString archivo = ruta.isEmpty() ? base.ruta() : base.carpeta() + "/" + ruta;
    const prueba::SalidaLote s = prueba::Lote({"calcular", archivo, escenario});
    QCOMPARE(s.estado, estado);
    for (const auto& [actual, esperado] : {std::pair{s.out, out}, std::pair{s.err, err}}) {
        if (esperado.endsWith("..."))
            QVERIFY2(actual.startsWith(esperado.chopped(3)), qPrintable(actual));
        else
            QCOMPARE(actual, esperado);
    }
    if (!ruta.isEmpty())
        QVERIFY(!QFile::exists(archivo)); // a missing database is not created
}

void TestLoteCalcular::binarioReal()
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("cavi.mdb");
    QCOMPARE(prueba::Programa({"crear-bd", ruta}).estado, 0);
    {
        const QString conexion = "prueba-binario";
        QSqlDatabase db = AbreBaseDatos(ruta, conexion);
        for (const QString& s : Ejemplo)
            Ejecuta(db, s);
        db = QSqlDatabase();
        CierraBaseDatos(conexion);
    }
    const prueba::SalidaLote calcular = prueba::Programa({"calcular", ruta, "1"});
    QCOMPARE(calcular.out, Cabecera + "\n" + FilasEjemplo);
    QCOMPARE(calcular.err, QString());
    QCOMPARE(calcular.estado, 0);
}

QTEST_GUILESS_MAIN(TestLoteCalcular)
#include "TestLoteCalcular.moc"
