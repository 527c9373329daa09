#include "support/BaseTemporal.h"
#include "ui/MDIForm1.h"

#include <QAction>
#include <QTest>

using namespace valvida;
using valvida::prueba::BaseTemporal;

class TestMenuImportar : public QObject
{
    Q_OBJECT

private slots:
    void importaElArchivoElegido_data();
    void importaElArchivoElegido();
};

void TestMenuImportar::importaElArchivoElegido_data()
{
    QTest::addColumn<bool>("cancela");
    QTest::addColumn<QStringList>("cajas");
    QTest::addColumn<QStringList>("catalogo");
    QTest::newRow("elige el archivo") << false << QStringList{"Carga finalizada con exito"}
                                      << QStringList{"1|Tabla X|0|2"};
    QTest::newRow("cancela el diálogo") << true << QStringList{} << QStringList{};
}

void TestMenuImportar::importaElArchivoElegido()
{
    QFETCH(bool, cancela);
    QFETCH(QStringList, cajas);
    QFETCH(QStringList, catalogo);
    BaseTemporal base;
    const QString ruta = base.archivo("t.csv", "0,0.1,Tabla X\r\n1,0.2,Tabla X\r\n2,1,Tabla X\r\n");
    MDIForm1 ventana(base.entorno());
    base.dialogos.eligeArchivo(cancela ? QString() : ruta);
    ventana.findChild<QAction*>("mnuTablaExcel")->trigger();

    QCOMPARE(base.dialogos.carpetasDialogo, QStringList{base.carpeta()});
    QCOMPARE(base.dialogos.filtrosDialogo, QStringList{"Archivo de valores separados por comas|*.csv"});
    QCOMPARE(base.dialogos.textos(), cajas);
    QCOMPARE(base.filas("select * from C_TablaMortalidad"), catalogo);
    QCOMPARE(base.valor("select count(*) from T_DetalleMortalidad").toInt(), catalogo.size() * 3);
    QCOMPARE(base.dialogos.reloj, 0);
    QVERIFY(base.dialogos.relojMaximo >= 1);
    QVERIFY(!base.dialogos.relojNegativo);
}

QTEST_MAIN(TestMenuImportar)
#include "TestMenuImportar.moc"
