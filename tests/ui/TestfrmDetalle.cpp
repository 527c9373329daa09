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
        base.sql("insert into C_TablaMortalidad values(1, 'Veinte', 20, 21)");
        frmDetalle f(base.entorno());
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        auto* grid = f.findChild<FlexGrid*>("MSFlexGrid1");
        // Enter in the grid presses the form's default button, "A&ceptar".
        QTest::keyClicks(grid, ".05.3\r");
        QCOMPARE(base.dialogos.textos(), QStringList{"la qx para edad:21 esta vacia"});
        QCOMPARE(std::pair(grid->row(), grid->col()), std::pair(2, 1));
        QCOMPARE(f.focusWidget(), grid);

        QTest::keyClicks(grid, "1\r");
        const QStringList guardadas{"20|0.053", "21|1"};
        QCOMPARE(base.filas("select Edad, qx from T_DetalleMortalidad order by Edad"), guardadas);
        QCOMPARE(prueba::FilasGrid(grid), guardadas);
    }
};

QTEST_MAIN(TestfrmDetalle)
#include "TestfrmDetalle.moc"
