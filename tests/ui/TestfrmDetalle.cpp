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
        base.sql("insert into T_DetalleMortalidad values(2, 0, 0.000426258304626)");
        frmDetalle f(base.entorno());
        f.setLocale(QLocale(QLocale::Spanish, QLocale::Spain));
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        auto* grid = f.findChild<FlexGrid*>("MSFlexGrid1");
        // Enter in the grid presses the form's default button, "A&ceptar"; under es_ES the comma is the decimal mark.
        QTest::keyClicks(grid, ",00.15\r");
        QCOMPARE(base.dialogos.textos(), QStringList{"la qx para edad:21 esta vacia"});
        QCOMPARE(std::tuple(grid->row(), grid->col(), f.focusWidget()), std::tuple(2, 1, static_cast<QWidget*>(grid)));

        QTest::keyClicks(grid, "1\r");
        QCOMPARE(base.filas("select Edad, qx from T_DetalleMortalidad where Tabla_Mortalidad = 1 order by Edad"),
                 (QStringList{"20|0.0015", "21|1"}));
        QCOMPARE(prueba::FilasGrid(grid), (QStringList{"20|0,0015", "21|1"}));
        // Another table in the list shows its own ages, its qx to 10 digits; stored again untouched, it keeps all 15.
        f.findChild<QObject*>("cmbTabla")->setProperty("currentIndex", 1);
        QCOMPARE(prueba::FilasGrid(grid), QStringList{"0|0,0004262583046"});
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(base.filas("select qx from T_DetalleMortalidad where Tabla_Mortalidad = 2"),
                 QStringList{"0.000426258304626"});
    }
};

QTEST_MAIN(TestfrmDetalle)
#include "TestfrmDetalle.moc"
