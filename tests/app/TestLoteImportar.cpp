#include "app/lote/Lote.h"
#include "support/PruebaLote.h"

#include "support/BaseTemporal.h"

#include <QFile>
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

QTEST_GUILESS_MAIN(TestLoteImportar)
#include "TestLoteImportar.moc"
