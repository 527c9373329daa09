#include "app/lote/Lote.h"

#include "support/BaseTemporal.h"

#include <QFile>
#include <QProcess>
#include <QTest>

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
    void programaReal();

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
                                    << "La qx debe ser numerica\n" << 2;
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
    QString textoOut;
    QString textoErr;
    QTextStream out(&textoOut);
    QTextStream err(&textoErr);
    QCOMPARE(EjecutaLote({"importar", base.ruta(), base.archivo("tabla.csv", contenido)}, out, err), estado);
    QCOMPARE(textoOut, salida);
    QCOMPARE(textoErr, errores);
    QCOMPARE(base.valor(QStringLiteral("select count(*) from C_TablaMortalidad")).toInt(), tablas);
}

void TestLoteImportar::baseInexistente()
{
    BaseTemporal base;
    QString textoOut;
    QString textoErr;
    QTextStream out(&textoOut);
    QTextStream err(&textoErr);
    const QString otra = base.carpeta() + QStringLiteral("/otra.mdb");
    QCOMPARE(EjecutaLote({"importar", otra, base.archivo("tabla.csv", "0,0.1,T\r\n")}, out, err), 1);
    QVERIFY(textoOut.isEmpty());
    QVERIFY2(textoErr.startsWith(QStringLiteral("No se abrió la base de datos: ")), qPrintable(textoErr));
    QVERIFY(!QFile::exists(otra));
}

void TestLoteImportar::argumentosDeMas()
{
    QString textoOut;
    QString textoErr;
    QTextStream out(&textoOut);
    QTextStream err(&textoErr);
    QCOMPARE(EjecutaLote({"importar", "a.mdb"}, out, err), 2);
    QCOMPARE(textoErr, UsoLote() + QLatin1Char('\n'));
    QVERIFY(UsoLote().contains(QStringLiteral("| importar RUTA_BD ARCHIVO")));
}

void TestLoteImportar::programaReal()
{
    // The installed tool: the number on stdout, nothing on stderr, status 0.
    BaseTemporal base;
    QProcess proceso;
    proceso.start(QStringLiteral(VALVIDA_LOTE_BIN),
                  {QStringLiteral("importar"), base.ruta(), base.archivo("tabla.csv", "0,0.1,Tabla X\n1,0.2,Tabla X\n")});
    QVERIFY(proceso.waitForFinished(30000));
    QCOMPARE(proceso.exitCode(), 0);
    QCOMPARE(proceso.readAllStandardOutput(), QByteArray("1\n"));
    QCOMPARE(proceso.readAllStandardError(), QByteArray());
    QCOMPARE(base.filas(QStringLiteral("select * from C_TablaMortalidad")), QStringList{"1|Tabla X|0|1"});
    QCOMPARE(base.filas(QStringLiteral("select * from T_DetalleMortalidad order by Edad")),
             (QStringList{"1|0|0.1", "1|1|0.2"}));
}

QTEST_GUILESS_MAIN(TestLoteImportar)
#include "TestLoteImportar.moc"
