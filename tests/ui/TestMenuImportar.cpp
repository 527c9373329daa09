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
    void cancelarNoHaceNada();
    void importaElArchivoElegido();
};

void TestMenuImportar::cancelarNoHaceNada()
{
    BaseTemporal base;
    MDIForm1 ventana(base.entorno());
    base.dialogos.eligeArchivo(QString());
    ventana.findChild<QAction*>("mnuTablaExcel")->trigger();
    QCOMPARE(base.dialogos.carpetasDialogo, QStringList{base.carpeta()});
    QCOMPARE(base.dialogos.filtrosDialogo, QStringList{"Archivo de valores separados por comas|*.csv"});
    QCOMPARE(base.dialogos.cajas.size(), 0);
    QCOMPARE(base.dialogos.reloj, 0);
    QCOMPARE(base.valor("select count(*) from C_TablaMortalidad").toInt(), 0);
}

void TestMenuImportar::importaElArchivoElegido()
{
    BaseTemporal base;
    const QString ruta = base.archivo("t.csv", "0,0.1,Tabla X\r\n1,0.2,Tabla X\r\n2,1,Tabla X\r\n");

    MDIForm1 ventana(base.entorno());
    base.dialogos.eligeArchivo(ruta);
    ventana.findChild<QAction*>("mnuTablaExcel")->trigger();
    QCOMPARE(base.dialogos.textos(), QStringList{"Carga finalizada con exito"});
    QCOMPARE(base.filas("select * from C_TablaMortalidad"), QStringList{"1|Tabla X|0|2"});
    QCOMPARE(base.valor("select count(*) from T_DetalleMortalidad").toInt(), 3);
    QCOMPARE(base.dialogos.reloj, 0);
    QVERIFY(base.dialogos.relojMaximo >= 1);
    QVERIFY(!base.dialogos.relojNegativo);
}

QTEST_MAIN(TestMenuImportar)
#include "TestMenuImportar.moc"
