#include "app/lote/Lote.h"
#include "support/PruebaLote.h"

#include "support/BaseTemporal.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QThread>

using namespace valvida;
using valvida::prueba::BaseTemporal;

class TestLoteImportar : public QObject
{
    Q_OBJECT

  private slots:
    void importa_data();
    void importa();
    void baseInexistente();
    void argumentosDeMas();
    void muertoAMediasDejaAntesODespues();
};

void TestLoteImportar::importa_data()
{
    QTest::addColumn<QByteArray>("contenido");
    QTest::addColumn<int>("estado");
    QTest::addColumn<QString>("salida");
    QTest::addColumn<QString>("errores");
    QTest::addColumn<int>("tablas");

    QTest::newRow("buena tras las tablas 1 y 2") << QByteArray("0,0.1,Tabla X\r\n1,0.2,Tabla X\r\n") << 0 << "3\n"
                                                 << "" << 3;
    QTest::newRow("qx no numérica") << QByteArray("0,0.1,T\r\n1,abc,T\r\n") << 1 << ""
                                    << "La qx debe ser numerica\n"
                                    << 2;
    QTest::newRow("coma final") << QByteArray("0,0.1,\r\n") << 1 << ""
                                << QString::fromUtf8("Rutina: mnuTablaExcel_Click\nError:9\n"
                                                     "La línea 1 tiene 2 campos; se requieren al menos 3\n")
                                << 2;
}

void TestLoteImportar::importa()
{
    QFETCH(QByteArray, contenido);
    QFETCH(int, estado);
    QFETCH(QString, salida);
    QFETCH(QString, errores);
    QFETCH(int, tablas);

    BaseTemporal base;
    base.sql(QStringLiteral("insert into C_TablaMortalidad values(1, 'a', 0, 1)"));
    base.sql(QStringLiteral("insert into C_TablaMortalidad values(2, 'b', 0, 1)"));
    const prueba::SalidaLote s = prueba::Lote({"importar", base.ruta(), base.archivo("tabla.csv", contenido)});
    QCOMPARE(s.estado, estado);
    QCOMPARE(s.out, salida);
    QCOMPARE(s.err, errores);
    QCOMPARE(base.valor(QStringLiteral("select count(*) from C_TablaMortalidad")).toInt(), tablas);
}

void TestLoteImportar::baseInexistente()
{
    BaseTemporal base;
    const QString otra = base.carpeta() + QStringLiteral("/otra.mdb");
    const prueba::SalidaLote s = prueba::Lote({"importar", otra, base.archivo("tabla.csv", "0,0.1,T\r\n")});
    QCOMPARE(s.estado, 1);
    QVERIFY(s.out.isEmpty());
    QVERIFY2(s.err.startsWith(QStringLiteral("No se abrió la base de datos: ")), qPrintable(s.err));
    QVERIFY(!QFile::exists(otra));
}

void TestLoteImportar::argumentosDeMas()
{
    const prueba::SalidaLote s = prueba::Lote({"importar", "a.mdb"});
    QCOMPARE(s.estado, 2);
    QCOMPARE(s.err, UsoLote() + QLatin1Char('\n'));
    QVERIFY(UsoLote().contains(QStringLiteral("| importar RUTA_BD ARCHIVO")));
}

void TestLoteImportar::muertoAMediasDejaAntesODespues()
{
    // kill -9 at moments spread over an import of the longest table, by the real tool: the
    // database holds whole tables only, as before or as after, and stays sound.
    BaseTemporal base;
    QByteArray contenido;
    for (int x = 0; x < 32767; ++x)
        contenido += QByteArray::number(x) + ",0.001,Larga\r\n";
    const QString archivo = base.archivo("larga.csv", contenido);
    qint64 duracion = 0; // of a whole import, measured by the first run, which is not killed
    int muertos = 0;
    for (int decimo = -1; decimo < 10; ++decimo) {
        QElapsedTimer reloj;
        reloj.start();
        QProcess lote;
        lote.start(QStringLiteral(VALVIDA_LOTE_BIN), {"importar", base.ruta(), archivo});
        if (decimo >= 0) {
            QThread::msleep(static_cast<unsigned long>(duracion * decimo / 10));
            lote.kill();
        }
        QVERIFY(lote.waitForFinished());
        muertos += lote.exitStatus() == QProcess::CrashExit;
        duracion = decimo < 0 ? reloj.elapsed() : duracion;
        QCOMPARE(base.valor("pragma integrity_check").toString(), QStringLiteral("ok"));
        const int tablas = base.valor("select count(*) from C_TablaMortalidad").toInt();
        QCOMPARE(base.valor("select count(*) from T_DetalleMortalidad").toInt(), 32767 * tablas);
    }
    QVERIFY(muertos > 0);
}

QTEST_GUILESS_MAIN(TestLoteImportar)
#include "TestLoteImportar.moc"
