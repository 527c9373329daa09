#include "support/BaseTemporal.h"
#include "support/PruebaUi.h"
#include "ui/frmDetalle.h"

using namespace valvida;

class TestfrmDetalle : public QObject
{
    Q_OBJECT

  private slots:
    void aceptarLlegaALaReglaYListaLoGuardado()
    {
        prueba::BaseTemporal base;
        base.sql("insert into C_TablaMortalidad values(1, 'Veinte', 20, 21), (2, 'Otra', 0, 0)");
        frmDetalle f(base.entorno());
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        auto* grid = f.findChild<FlexGrid*>("MSFlexGrid1");
        // Enter in the grid presses the form's default button, "A&ceptar".
        QTest::keyClicks(grid, ".05.3\r");
        QCOMPARE(base.dialogos.textos(), QStringList{"la qx para edad:21 esta vacia"});
        QCOMPARE(std::tuple(grid->row(), grid->col(), f.focusWidget()), std::tuple(2, 1, static_cast<QWidget*>(grid)));

        QTest::keyClicks(grid, "1\r");
        const QStringList guardadas{"20|0.053", "21|1"};
        QCOMPARE(base.filas("select Edad, qx from T_DetalleMortalidad order by Edad"), guardadas);
        QCOMPARE(prueba::FilasGrid(grid), guardadas);
        // Another table in the list shows its own ages.
        f.findChild<QObject*>("cmbTabla")->setProperty("currentIndex", 1);
        QCOMPARE(prueba::FilasGrid(grid), QStringList{"0|"});
    }
};

QTEST_MAIN(TestfrmDetalle)
#include "TestfrmDetalle.moc"
