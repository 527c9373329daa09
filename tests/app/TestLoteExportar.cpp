#include "app/lote/Lote.h"
#include "support/BaseTemporal.h"

#include <QFile>
#include <QProcess>
#include <QTest>

using namespace valvida;
using valvida::prueba::BaseTemporal;

namespace {

struct Salida
{
    int estado;
    QString out;
    QString err;
};

Salida Lote(const QStringList& argumentos)
{
    QString out, err;
    QTextStream sOut(&out), sErr(&err);
    const int estado = EjecutaLote(argumentos, sOut, sErr);
    sOut.flush();
    sErr.flush();
    return {estado, out, err};
}

QByteArray Lee(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(no existe)");
}

// Scenario 2: twenty-year term on table 1 at 3.5 %; only its first policy year is stored.
void Siembra(BaseTemporal& b)
{
    b.sql("insert into C_TablaMortalidad values (1, 'T', 30, 30)");
    b.sql("insert into T_DetalleMortalidad values (1, 30, 0.001)");
    b.sql("insert into T_Conmutado values (1, 30, 3.5, 0.001, 1, 0.001, 1, 0.001, 1, 0.999, 1, 0.001)");
    b.sql("insert into T_Conmutado values (1, 30, 3, 0.002, 1, 0.002, 1, 0.002, 1, 0.999, 1, 0.001)");
    b.sql("insert into T_Escenario values (2, 30, 1000, 1, 2, 3.5, 1, 20, 20, 'Temporal 20', 2)");
    b.sql("insert into T_Resultado values (2, 0, 30, 0.25, 0.5, 0.75, 0, 0, 0, 0, 0, 0)");
    b.sql("insert into T_Comision values (2, 1, 30, 5)");
    b.sql("insert into T_Comision values (2, 2, 10, 0)");
}

const QByteArray ArchivoEscenario2 =
    "T_Escenario\r\n"
    "Escenario,Edad,Suma_Asegurada,Tipo_Seguro,Tipo_Comision,Interes_Tecnico,Tabla_Mortalidad,Plazo_Seguro,"
    "Plazo_Pago,Descripcion,Total_Anios\r\n"
    "2,30,1000,1,2,3.5,1,20,20,Temporal 20,2\r\n"
    "T_Resultado\r\n"
    "Escenario,Anio_Poliza,Edad_Alcanzada,Prima_Riesgo,Prima_Neta_Nivelada,Prima_Tarifa,Anualidad,Seguro,"
    "Reserva_Matematica,Rescate,Saldado,Prorrogado\r\n"
    "2,0,30,0.25,0.5,0.75,0,0,0,0,0,0\r\n"
    "T_DetalleMortalidad\r\n"
    "Tabla_Mortalidad,Edad,qx\r\n"
    "1,30,0.001\r\n"
    "T_Conmutado\r\n"
    "Tabla_Mortalidad,Edad,Interes_Tecnico,Cx,Dx,Mx,Nx,Rx,Sx,px,lx,dex\r\n"
    "1,30,3.5,0.001,1,0.001,1,0.001,1,0.999,1,0.001\r\n"
    "T_Comision\r\n"
    "Escenario,Anio_Comision,Porcentaje_Prima,Tantos_Suma\r\n"
    "2,1,30,5\r\n"
    "2,2,10,0\r\n";

} // namespace

class TestLoteExportar : public QObject
{
    Q_OBJECT

  private slots:
    void escribeElArchivoDelEscenario();
    void errorEsTextoYEstadoUno_data();
    void errorEsTextoYEstadoUno();
    void seccionIlegibleTerminaConEstadoUno();
    void programaReal();
};

void TestLoteExportar::escribeElArchivoDelEscenario()
{
    BaseTemporal b;
    Siembra(b);
    const QString archivo = b.carpeta() + QStringLiteral("/esc2.csv");

    const Salida s = Lote({"exportar", b.ruta(), "2", archivo});

    QCOMPARE(s.err, QString());
    QCOMPARE(s.estado, 0);
    QCOMPARE(s.out, QStringLiteral("Escenario exportado: ") + archivo + QLatin1Char('\n'));
    // The table and rate come from the scenario's row: 3.5, not the columns stored at 3.
    QCOMPARE(Lee(archivo), ArchivoEscenario2);
}

void TestLoteExportar::errorEsTextoYEstadoUno_data()
{
    QTest::addColumn<QString>("escenario");
    QTest::addColumn<bool>("baseExiste");
    QTest::addColumn<bool>("soloLectura");
    QTest::addColumn<QString>("error");
    QTest::newRow("escenario inexistente") << "5" << true << false << "No existe el escenario 5";
    QTest::newRow("escenario no numérico") << "dos" << true << false << "el escenario no es un número: dos";
    QTest::newRow("base inexistente") << "2" << false << false << "";
    QTest::newRow("destino de solo lectura") << "2" << true << true << "Error de acceso a la ruta o el archivo: ";
}

void TestLoteExportar::errorEsTextoYEstadoUno()
{
    QFETCH(QString, escenario);
    QFETCH(bool, baseExiste);
    QFETCH(bool, soloLectura);
    QFETCH(QString, error);
    BaseTemporal b;
    Siembra(b);
    const QString archivo = b.carpeta() + QStringLiteral("/esc.csv");
    if (soloLectura) {
        QFile f(archivo);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("anterior");
        f.close();
        QVERIFY(QFile::setPermissions(archivo, QFileDevice::ReadOwner));
    }
    const QString base = baseExiste ? b.ruta() : b.carpeta() + QStringLiteral("/no-esta.mdb");

    const Salida s = Lote({"exportar", base, escenario, archivo});

    QCOMPARE(s.estado, 1);
    QCOMPARE(s.out, QString());
    QVERIFY2(s.err.startsWith(QStringLiteral("No se exportó el escenario: ") + error), qPrintable(s.err));
    QCOMPARE(s.err.count(QLatin1Char('\n')), 1);
    QCOMPARE(Lee(archivo), QByteArray(soloLectura ? "anterior" : "(no existe)"));
}

void TestLoteExportar::seccionIlegibleTerminaConEstadoUno()
{
    BaseTemporal b;
    Siembra(b);
    b.sql("insert into T_DetalleMortalidad values (1, 31, NULL)");
    const QString archivo = b.carpeta() + QStringLiteral("/esc2.csv");

    const Salida s = Lote({"exportar", b.ruta(), "2", archivo});

    QCOMPARE(s.estado, 1);
    QVERIFY2(s.err.startsWith(QStringLiteral("Rutina: CargaFlexgrid\nError:94\n")), qPrintable(s.err));
    // The file is written all the same, its table section cut before the age without qx.
    QCOMPARE(Lee(archivo), ArchivoEscenario2);
}

void TestLoteExportar::programaReal()
{
    BaseTemporal b;
    Siembra(b);
    const QString archivo = b.carpeta() + QStringLiteral("/real.csv");
    QProcess p;
    p.start(QStringLiteral(VALVIDA_LOTE_BIN), {"exportar", b.ruta(), "2", archivo});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(Lee(archivo), ArchivoEscenario2);

    p.start(QStringLiteral(VALVIDA_LOTE_BIN), {"exportar", b.ruta(), "9", archivo});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 1);
    QCOMPARE(QString::fromUtf8(p.readAllStandardError()),
             QStringLiteral("No se exportó el escenario: No existe el escenario 9\n"));
    QCOMPARE(Lee(archivo), ArchivoEscenario2);

    p.start(QStringLiteral(VALVIDA_LOTE_BIN), {"exportar", b.ruta(), "2"});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("exportar RUTA_BD ESCENARIO ARCHIVO")));
}

QTEST_GUILESS_MAIN(TestLoteExportar)
#include "TestLoteExportar.moc"
