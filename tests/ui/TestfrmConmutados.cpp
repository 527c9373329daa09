#include "support/BaseTemporal.h"
#include "support/PruebaUi.h"
#include "ui/ComboLista.h"
#include "ui/FlexGrid.h"
#include "ui/MDIForm1.h"
#include "ui/frmConmutados.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTest>

using namespace valvida;
using valvida::prueba::BaseTemporal;

namespace {

const QStringList Cabeceras{"Edad", "Cx", "Dx", "Mx", "Nx", "Rx", "Sx", "qx", "px", "lx", "dx"};

// Ages 0..2 with q = 0.1, 0.2, 1: lx = 1, 0.9, 0.72 and dx = 0.1, 0.18, 0.72.
void TablaDeTresEdades(BaseTemporal& base, int tabla, const QString& nombre)
{
    base.sql("insert into C_TablaMortalidad values(?, ?, 0, 2)", {tabla, nombre});
    base.sql("insert into T_DetalleMortalidad values(?, 0, 0.1), (?, 1, 0.2), (?, 2, 1)", {tabla, tabla, tabla});
}

// The viewer opened from the main window's menu; `f` stays null when the form did not stay open.
struct Visor
{
    explicit Visor(BaseTemporal& base)
        : ventana(base.entorno())
    {
        ventana.show();
        if (!QTest::qWaitForWindowActive(&ventana))
            qFatal("la ventana principal no se activó");
        ventana.mnuConmutados_Click();
        f = ventana.hija<frmConmutados>();
        if (f) {
            grid = f->findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1"));
            cmbTabla = f->findChild<ComboLista*>(QStringLiteral("cmbTabla"));
            txtInteres = f->findChild<QLineEdit*>(QStringLiteral("txtInteresTecnico"));
        }
    }

    void construye(const QString& interes)
    {
        txtInteres->clear();
        QTest::keyClicks(txtInteres, interes);
        f->findChild<QPushButton*>(QStringLiteral("cmdConstruir"))->click();
    }

    MDIForm1 ventana;
    frmConmutados* f = nullptr;
    FlexGrid* grid = nullptr;
    ComboLista* cmbTabla = nullptr;
    QLineEdit* txtInteres = nullptr;
};

} // namespace

class TestfrmConmutados : public QObject
{
    Q_OBJECT

private slots:
    void construyeYMuestra_data();
    void construyeYMuestra();
    void rechazaElInteres_data();
    void rechazaElInteres();
    void sinTablasNoQuedaAbierto();
};

void TestfrmConmutados::construyeYMuestra_data()
{
    QTest::addColumn<QString>("interes");
    QTest::addColumn<QStringList>("filas");
    // Edad|Cx|Dx|Mx|Nx|Rx|Sx|qx|px|lx|dx, worked by hand.
    QTest::newRow("0: v = 1, Dx = lx y Cx = dx") << "0"
                                                 << QStringList{"0|0.1|1|1|2.62|2.62|4.96|0.1|0.9|1|0.1",
                                                                "1|0.18|0.9|0.9|1.62|1.62|2.34|0.2|0.8|0.9|0.18",
                                                                "2|0.72|0.72|0.72|0.72|0.72|0.72|1|0|0.72|0.72"};
    QTest::newRow("100: v = 0.5") << "100"
                                  << QStringList{"0|0.05|1|0.185|1.63|0.41|2.44|0.1|0.9|1|0.1",
                                                 "1|0.045|0.45|0.135|0.63|0.225|0.81|0.2|0.8|0.9|0.18",
                                                 "2|0.09|0.18|0.09|0.18|0.09|0.18|1|0|0.72|0.72"};
}

void TestfrmConmutados::construyeYMuestra()
{
    QFETCH(QString, interes);
    QFETCH(QStringList, filas);
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'Otra', 0, 0)");
    base.sql("insert into T_DetalleMortalidad values(1, 0, 0.5)");
    TablaDeTresEdades(base, 4, "Tres edades");
    Visor v(base);
    QCOMPARE(v.cmbTabla->currentText(), QStringLiteral("Otra"));
    // Opened at a size where the list shows a table's name.
    QVERIFY2(v.cmbTabla->width() >= 150, qPrintable(QString::number(v.cmbTabla->width())));
    QTest::keyClick(v.cmbTabla, Qt::Key_Down);

    // Built twice at the same rate: the rows are rebuilt, not added again.
    for (int vez = 0; vez < 2; ++vez) {
        v.construye(interes);
        QCOMPARE(prueba::FilaGrid(v.grid, 0), Cabeceras);
        QCOMPARE(prueba::FilasGrid(v.grid), filas);
    }
    QCOMPARE(base.filas("select count(*) from T_Conmutado"), QStringList{"3"});
    QCOMPARE(base.dialogos.cajas.size(), 0);
    QCOMPARE(base.dialogos.reloj, 0);
    QVERIFY(base.dialogos.relojMaximo >= 1);

    // One instance: the menu brings the same form forward; "&Salir" closes it.
    v.ventana.mnuConmutados_Click();
    QCOMPARE(v.ventana.areaMdi()->subWindowList().size(), 1);
    v.f->findChild<QPushButton*>("cmdSalir")->click();
    QTRY_VERIFY(v.ventana.areaMdi()->subWindowList().isEmpty());
}

void TestfrmConmutados::rechazaElInteres_data()
{
    QTest::addColumn<QString>("interes");
    QTest::addColumn<QString>("caja");
    QTest::newRow("vacío") << "" << "Debe indicar un interes tecnico";
    QTest::newRow("letras") << "abc" << "El interes tecnico debe ser numerico";
    QTest::newRow("blancos") << "  " << "El interes tecnico debe ser numerico";
    QTest::newRow("negativo") << "-1" << "El interes tecnico debera estar comprendido entre 0 y 100";
    QTest::newRow("sobre 100") << "100.5" << "El interes tecnico debera estar comprendido entre 0 y 100";
}

void TestfrmConmutados::rechazaElInteres()
{
    QFETCH(QString, interes);
    QFETCH(QString, caja);
    BaseTemporal base;
    TablaDeTresEdades(base, 1, "T");
    Visor v(base);
    v.construye("0");
    const QStringList antes = prueba::FilasGrid(v.grid);
    QCOMPARE(antes.size(), 3);

    v.construye(interes);
    QCOMPARE(base.dialogos.textos(), QStringList{caja});
    QCOMPARE(base.dialogos.cajas.first().icono, Dialogos::Icono::Ninguno);
    QCOMPARE(base.dialogos.cajas.first().botones, Dialogos::Botones::Aceptar);
    QCOMPARE(QApplication::focusWidget(), v.txtInteres);
    QCOMPARE(prueba::FilasGrid(v.grid), antes);
    QCOMPARE(base.filas("select count(*), max(Interes_Tecnico) from T_Conmutado"), QStringList{"3|0"});
    QCOMPARE(base.dialogos.reloj, 0);
}

void TestfrmConmutados::sinTablasNoQuedaAbierto()
{
    BaseTemporal base;
    Visor v(base);
    QVERIFY(!v.f);
    QCOMPARE(base.dialogos.textos(), QStringList{"No existen registros en Tabla mortalidad"});
    QCOMPARE(base.dialogos.cajas.first().icono, Dialogos::Icono::Exclamacion);
    QVERIFY(v.ventana.areaMdi()->subWindowList().isEmpty());
}

QTEST_MAIN(TestfrmConmutados)
#include "TestfrmConmutados.moc"
