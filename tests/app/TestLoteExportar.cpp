#include "app/lote/Lote.h"
#include "core/ExportaEscenario.h"
#include "support/BaseTemporal.h"
#include "support/PruebaLote.h"

#include <QFile>
#include <QTest>

using namespace valvida;
using valvida::prueba::BaseTemporal;

namespace {

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

// Scenario 2's file as the export itself writes it (its bytes are checked with the export).
QByteArray ArchivoEscenario2(BaseTemporal& b)
{
    const QString ruta = b.carpeta() + QStringLiteral("/directo.csv");
    ExportaEscenario(b.entorno(), 2, ruta);
    return Lee(ruta);
}

} // namespace

class TestLoteExportar : public QObject
{
    Q_OBJECT

  private slots:
    void escribeElArchivoDelEscenario()
    {
        BaseTemporal b;
        Siembra(b);
        const QString archivo = b.carpeta() + QStringLiteral("/esc2.csv");

        const prueba::SalidaLote s = prueba::Lote({"exportar", b.ruta(), "2", archivo});

        QCOMPARE(s.err, QString());
        QCOMPARE(s.estado, 0);
        QCOMPARE(s.out, QStringLiteral("Escenario exportado: ") + archivo + QLatin1Char('\n'));
        // Table 1 at the scenario's rate 3.5, not the columns stored at 3.
        QVERIFY(
            Lee(archivo).contains("T_Conmutado\r\nTabla_Mortalidad,Edad,Interes_Tecnico,Cx,Dx,Mx,Nx,Rx,Sx,px,lx,dex\r\n"
                                  "1,30,3.5,0.001,1,0.001,1,0.001,1,0.999,1,0.001\r\nT_Comision\r\n"));
        QCOMPARE(Lee(archivo), ArchivoEscenario2(b));
    }

    void errorEsTextoYEstadoUno_data()
    {
        QTest::addColumn<QString>("escenario");
        QTest::addColumn<bool>("baseExiste");
        QTest::addColumn<QString>("destino"); // esc.csv, or "bd": the database itself
        QTest::addColumn<QString>("error");   // how it starts; %1 is the destination
        QTest::newRow("escenario inexistente") << "5" << true << "esc.csv"
                                               << "No existe el escenario 5";
        QTest::newRow("base inexistente") << "2" << false << "esc.csv"
                                          << "";
        QTest::newRow("destino de solo lectura") << "2" << true << "esc.csv"
                                                 << "Error de acceso a la ruta o el archivo: ";
        QTest::newRow("destino es la base") << "2" << true << "bd"
                                            << "Permiso denegado: %1 es la base de datos abierta\n";
    }

    void errorEsTextoYEstadoUno()
    {
        QFETCH(QString, escenario);
        QFETCH(bool, baseExiste);
        QFETCH(QString, destino);
        QFETCH(QString, error);
        BaseTemporal b;
        Siembra(b);
        const QString archivo = destino == QStringLiteral("bd") ? b.ruta() : b.carpeta() + '/' + destino;
        if (QTest::currentDataTag() == QStringLiteral("destino de solo lectura"))
            QVERIFY(QFile::setPermissions(b.archivo(destino, "anterior"), QFileDevice::ReadOwner));
        const QByteArray antes = Lee(archivo);
        const QString base = baseExiste ? b.ruta() : b.carpeta() + QStringLiteral("/no-esta.mdb");

        const prueba::SalidaLote s = prueba::Lote({"exportar", base, escenario, archivo});

        QCOMPARE(s.estado, 1);
        QCOMPARE(s.out, QString());
        QVERIFY2(s.err.startsWith(QStringLiteral("No se exportó el escenario: ") + error.replace("%1", archivo)),
                 qPrintable(s.err));
        QCOMPARE(s.err.count(QLatin1Char('\n')), 1);
        QCOMPARE(Lee(archivo), antes);
    }

    void seccionIlegibleTerminaConEstadoUno()
    {
        BaseTemporal b;
        Siembra(b);
        const QByteArray completo = ArchivoEscenario2(b);
        b.sql("insert into T_DetalleMortalidad values (1, 31, NULL)");
        const QString archivo = b.carpeta() + QStringLiteral("/esc2.csv");

        const prueba::SalidaLote s = prueba::Lote({"exportar", b.ruta(), "2", archivo});

        QCOMPARE(s.estado, 1);
        QVERIFY2(s.err.startsWith(QStringLiteral("Rutina: CargaFlexgrid\nError:94\n")), qPrintable(s.err));
        // The file is written all the same, its table section cut before the age without qx.
        QCOMPARE(Lee(archivo), completo);
    }

    void programaReal()
    {
        BaseTemporal b;
        Siembra(b);
        const QString archivo = b.carpeta() + QStringLiteral("/real.csv");
        QCOMPARE(prueba::Programa({"exportar", b.ruta(), "2", archivo}).estado, 0);
        QCOMPARE(Lee(archivo), ArchivoEscenario2(b));

        const prueba::SalidaLote uso = prueba::Programa({"exportar", b.ruta(), "2"});
        QCOMPARE(uso.estado, 2);
        QVERIFY(uso.err.contains(QStringLiteral("exportar RUTA_BD ESCENARIO ARCHIVO")));
        // A scenario that is not a whole number is a usage error too, and the file stays as it was.
        const QByteArray antes = Lee(archivo);
        QCOMPARE(prueba::Programa({"exportar", b.ruta(), "dos", archivo}).estado, 2);
        QCOMPARE(Lee(archivo), antes);
    }
};

QTEST_GUILESS_MAIN(TestLoteExportar)
#include "TestLoteExportar.moc"
