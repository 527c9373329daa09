#include "support/BaseTemporal.h"
#include "support/PruebaUi.h"
#include "ui/frmConmutados.h"

#include <QLineEdit>
#include <QPushButton>

using namespace valvida;

class TestfrmConmutados : public QObject
{
    Q_OBJECT

  private slots:
    void construirLlegaALaRegla()
    {
        prueba::BaseTemporal base;
        base.sql("insert into C_TablaMortalidad values(1, 'Tres edades', 0, 2)");
        base.sql("insert into T_DetalleMortalidad values(1, 0, 0.1), (1, 1, 0.2), (1, 2, 1)");
        frmConmutados f(base.entorno());
        f.setLocale(QLocale("es_ES"));
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        auto* txtInteres = f.findChild<QLineEdit*>("txtInteresTecnico");
        f.findChild<QPushButton*>("cmdConstruir")->click();
        QCOMPARE(base.dialogos.textos(), QStringList{"Debe indicar un interes tecnico"});
        QCOMPARE(f.focusWidget(), txtInteres);

        // Under es_ES "4,5" is 4.5 %; Enter builds, and the grid lists the ages 0 to 2 at that rate.
        QTest::keyClicks(txtInteres, "4,5\r");
        QCOMPARE(base.filas("select distinct Interes_Tecnico from T_Conmutado"), QStringList{"4.5"});
        QCOMPARE(prueba::FilasGrid(f.findChild<FlexGrid*>("MSFlexGrid1")).size(), 3);
        QCOMPARE(base.dialogos.textos().size(), 1);
    }
};

QTEST_MAIN(TestfrmConmutados)
#include "TestfrmConmutados.moc"
