#include "support/BaseTemporal.h"
#include "support/PruebaUi.h"
#include "ui/frmTMDescripcion.h"

#include <QLineEdit>
#include <QPushButton>

using namespace valvida;

class TestfrmTMDescripcion : public QObject
{
    Q_OBJECT

  private slots:
    void aceptarLlegaALaReglaYListaLoGuardado()
    {
        prueba::BaseTemporal base;
        frmTMDescripcion f(base.entorno(), {});
        f.setLocale(QLocale("es_ES"));
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        auto* txtDe = f.findChild<QLineEdit*>("txtDe");
        auto* aceptar = f.findChild<QPushButton*>("cmdAceptar");
        f.findChild<QPushButton*>("cmdAlta")->click();
        for (const auto& [caja, texto] : {std::pair{"txtTablaDesc", "Nueva"}, {"txtDe", "30"}, {"txtAl", "20"}})
            QTest::keyClicks(f.findChild<QLineEdit*>(caja), texto);
        aceptar->click();
        QCOMPARE(base.dialogos.textos(), QStringList{"La edad final debe ser mayor a la edad inicial"});
        QCOMPARE(f.focusWidget(), txtDe);

        // Under es_ES "5,5" is 5.5; the catalogue keeps 6, and 6 is what the grid and the box show.
        txtDe->clear();
        QTest::keyClicks(txtDe, "5,5");
        aceptar->click();
        QCOMPARE(base.filas("select * from C_TablaMortalidad"), QStringList{"1|Nueva|6|20"});
        auto* grid = f.findChild<FlexGrid*>("MSFlexGrid1");
        QCOMPARE(prueba::FilasGrid(grid, true).value(grid->row()) + '|' + txtDe->text(), "1|Nueva|6|20|6");

        // Modificar asks before it trims the detail.
        f.findChild<QPushButton*>("cmdModificar")->click();
        aceptar->click();
        QCOMPARE(base.dialogos.textos().last(), "Al modificar la tabla de mortalidad, \r\nprobablemente se modifica el "
                                                "detalle de mortalidad\r\nDesea continuar");
    }
};

QTEST_MAIN(TestfrmTMDescripcion)
#include "TestfrmTMDescripcion.moc"
