#include "support/BaseTemporal.h"
#include "support/PruebaUi.h"
#include "ui/ComboLista.h"
#include "ui/FlexGrid.h"
#include "ui/MDIForm1.h"
#include "ui/frmDetalle.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTest>

using namespace valvida;
using valvida::prueba::BaseTemporal;
using R = valvida::Dialogos::Respuesta;

namespace {

struct Formulario
{
    explicit Formulario(BaseTemporal& base)
        : f(base.entorno())
    {
        f.show();
        if (!QTest::qWaitForWindowExposed(&f))
            qFatal("la ventana no se mostró");
        grid = f.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1"));
        cmbTabla = f.findChild<ComboLista*>(QStringLiteral("cmbTabla"));
        cmdAceptar = f.findChild<QPushButton*>(QStringLiteral("cmdAceptar"));
        cmdCancelar = f.findChild<QPushButton*>(QStringLiteral("cmdCancelar"));
        cmdSalir = f.findChild<QPushButton*>(QStringLiteral("cmdSalir"));
    }

    // Replaces the qx of a row as the user does: erase key until empty, then the new text.
    void escribeQx(int fila, const QString& texto)
    {
        grid->setRow(fila);
        grid->setCol(1);
        while (!grid->text().isEmpty())
            QTest::keyClick(grid, Qt::Key_Backspace);
        QTest::keyClicks(grid, texto);
    }

    frmDetalle f;
    FlexGrid* grid = nullptr;
    ComboLista* cmbTabla = nullptr;
    QPushButton* cmdAceptar = nullptr;
    QPushButton* cmdCancelar = nullptr;
    QPushButton* cmdSalir = nullptr;
};

// Table 1 "Uno", ages 0..1 stored with qx 0.1 and 0.2; table 2 "Dos", ages 5..6 without rows.
void TablasUnoYDos(BaseTemporal& base)
{
    base.sql("insert into C_TablaMortalidad values(1, 'Uno', 0, 1)");
    base.sql("insert into C_TablaMortalidad values(2, 'Dos', 5, 6)");
    base.sql("insert into T_DetalleMortalidad values(1, 0, 0.1)");
    base.sql("insert into T_DetalleMortalidad values(1, 1, 0.2)");
}

const QString DetalleDe1 = QStringLiteral("select Edad, qx from T_DetalleMortalidad where Tabla_Mortalidad = 1 order by Edad");

} // namespace

class TestfrmDetalle : public QObject
{
    Q_OBJECT

private slots:
    void rangoSinFilasAvisaLaPrimeraQxVacia();
    void editorDeLaCelda();
    void limitesDeQx_data();
    void limitesDeQx();
    void enterEnLaCeldaGuarda();
    void cambioDeTabla_data();
    void cambioDeTabla();
    void cambioDeTablaConGuardadoFallido();
    void cientoUnaFilasExactas();
    void noCerrarTrasGuardadoFallido();
    void salirConCambios_data();
    void salirConCambios();
    void falloAlEscribirConservaLasFilas();
    void edadFueraDe16Bits();
    void menuAbreUnaVentanaPropia();
};

void TestfrmDetalle::rangoSinFilasAvisaLaPrimeraQxVacia()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'Veinte', 20, 25)");
    Formulario p(base);
    QCOMPARE(p.f.windowTitle(), QStringLiteral("Tablas Mortalidad - Detalle"));
    QVERIFY(p.f.isWindow());
    QCOMPARE(p.cmbTabla->currentText(), QStringLiteral("Veinte"));
    QCOMPARE(p.f.findChild<QLineEdit*>("txtEdadIni")->text(), QStringLiteral("20"));
    QCOMPARE(p.f.findChild<QLineEdit*>("txtEdadFin")->text(), QStringLiteral("25"));
    QCOMPARE(prueba::FilaGrid(p.grid, 0), (QStringList{"Edad", "qx"}));
    QCOMPARE(prueba::FilasGrid(p.grid), (QStringList{"20|", "21|", "22|", "23|", "24|", "25|"}));

    p.cmdAceptar->click();
    QCOMPARE(base.dialogos.textos(), QStringList{"la qx para edad:20 esta vacia"});
    QCOMPARE(base.dialogos.cajas.first().icono, Dialogos::Icono::Critico);
    QCOMPARE(base.dialogos.cajas.first().botones, Dialogos::Botones::Aceptar);
    QCOMPARE(p.grid->row(), 1);
    QCOMPARE(p.grid->col(), 1);
    QCOMPARE(base.valor("select count(*) from T_DetalleMortalidad").toInt(), 0);
    QVERIFY(p.f.NoCerrar());
}

void TestfrmDetalle::editorDeLaCelda()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'T', 7, 7)");
    Formulario p(base);
    p.grid->setRow(1);
    p.grid->setCol(1);
    QVERIFY(!p.f.HayCambios());
    QTest::keyClicks(p.grid, ".05.3");
    QCOMPARE(p.grid->textMatrix(1, 1), QStringLiteral(".053"));
    QVERIFY(p.f.HayCambios());
    QTest::keyClicks(p.grid, "a-,e ");
    QCOMPARE(p.grid->textMatrix(1, 1), QStringLiteral(".053"));
    QTest::keyClick(p.grid, Qt::Key_Backspace);
    QCOMPARE(p.grid->textMatrix(1, 1), QStringLiteral(".05"));

    // Column 0 is never edited, neither by typing nor by erasing.
    p.grid->setCol(0);
    QTest::keyClick(p.grid, Qt::Key_Backspace);
    QTest::keyClicks(p.grid, "9");
    QCOMPARE(prueba::FilaGrid(p.grid, 1), (QStringList{"7", ".05"}));

    // Cancelar drops the edits.
    p.cmdCancelar->click();
    QCOMPARE(prueba::FilasGrid(p.grid), QStringList{"7|"});
    QVERIFY(!p.f.HayCambios());
}

void TestfrmDetalle::limitesDeQx_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("guardado");
    QTest::addColumn<QString>("caja");
    QTest::newRow("cero") << "0" << "0|0" << "";
    QTest::newRow("uno") << "1" << "0|1" << "";
    QTest::newRow("punto inicial") << ".053" << "0|0.053" << "";
    QTest::newRow("uno y medio") << "1.5" << "0|0.5" << "la qx para edad:0 fuera del rango permitido";
    QTest::newRow("punto solo") << "." << "0|0.5" << "la qx para edad:0 no es numerica";
    QTest::newRow("vacía") << "" << "0|0.5" << "la qx para edad:0 esta vacia";
}

void TestfrmDetalle::limitesDeQx()
{
    QFETCH(QString, texto);
    QFETCH(QString, guardado);
    QFETCH(QString, caja);

    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'T', 0, 0)");
    base.sql("insert into T_DetalleMortalidad values(1, 0, 0.5)");
    Formulario p(base);
    QCOMPARE(prueba::FilasGrid(p.grid), QStringList{"0|0.5"});
    p.escribeQx(1, texto);
    p.cmdAceptar->click();

    QCOMPARE(base.filas(DetalleDe1), QStringList{guardado});
    QCOMPARE(base.dialogos.textos(), caja.isEmpty() ? QStringList{} : QStringList{caja});
    QCOMPARE(p.f.NoCerrar(), !caja.isEmpty());
    QVERIFY(!p.f.HayCambios());
}

void TestfrmDetalle::enterEnLaCeldaGuarda()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'T', 3, 3)");
    Formulario p(base);
    p.f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&p.f));
    p.grid->setFocus();
    p.escribeQx(1, "0.25");
    QTest::keyClick(p.grid, Qt::Key_Return);
    QCOMPARE(base.filas(DetalleDe1), QStringList{"3|0.25"});
    QVERIFY(!p.f.HayCambios());
}

void TestfrmDetalle::cambioDeTabla_data()
{
    QTest::addColumn<R>("respuesta");
    QTest::addColumn<QStringList>("tabla1");
    QTest::addColumn<QStringList>("grid");
    QTest::addColumn<QString>("lista");
    QTest::addColumn<bool>("cambios");
    QTest::newRow("sí: guarda en la tabla editada") << R::Si << QStringList{"0|0.1", "1|0.25"}
                                                    << QStringList{"5|", "6|"} << "Dos" << false;
    QTest::newRow("no: descarta") << R::No << QStringList{"0|0.1", "1|0.2"} << QStringList{"5|", "6|"} << "Dos"
                                  << false;
    QTest::newRow("cancelar: sigue editando") << R::Cancelar << QStringList{"0|0.1", "1|0.2"}
                                              << QStringList{"0|0.1", "1|0.25"} << "Uno" << true;
}

void TestfrmDetalle::cambioDeTabla()
{
    QFETCH(R, respuesta);
    QFETCH(QStringList, tabla1);
    QFETCH(QStringList, grid);
    QFETCH(QString, lista);
    QFETCH(bool, cambios);

    BaseTemporal base;
    TablasUnoYDos(base);
    Formulario p(base);
    p.grid->setRow(2);
    p.grid->setCol(1);
    QTest::keyClicks(p.grid, "5");

    base.dialogos.responde({respuesta});
    QTest::keyClick(p.cmbTabla, Qt::Key_Down);
    QCOMPARE(base.dialogos.textos(), QStringList{"la tabla ha sufrido cambios, deseas guardarlos"});
    QCOMPARE(base.dialogos.cajas.first().botones, Dialogos::Botones::SiNoCancelar);
    QCOMPARE(base.dialogos.cajas.first().icono, Dialogos::Icono::Ninguno);
    QCOMPARE(base.filas(DetalleDe1), tabla1);
    QCOMPARE(prueba::FilasGrid(p.grid), grid);
    QCOMPARE(p.cmbTabla->currentText(), lista);
    QCOMPARE(p.f.HayCambios(), cambios);
    QCOMPARE(base.valor("select count(*) from T_DetalleMortalidad where Tabla_Mortalidad = 2").toInt(), 0);
}

void TestfrmDetalle::cambioDeTablaConGuardadoFallido()
{
    BaseTemporal base;
    TablasUnoYDos(base);
    Formulario p(base);
    p.escribeQx(2, "");

    base.dialogos.responde({R::Si});
    QTest::keyClick(p.cmbTabla, Qt::Key_Down);
    QCOMPARE(base.dialogos.textos(), (QStringList{"la tabla ha sufrido cambios, deseas guardarlos",
                                                  "la qx para edad:1 esta vacia"}));
    // The grid keeps the edited table, and the list names it again.
    QCOMPARE(prueba::FilasGrid(p.grid), (QStringList{"0|0.1", "1|"}));
    QCOMPARE(p.cmbTabla->currentText(), QStringLiteral("Uno"));
    QCOMPARE(base.filas(DetalleDe1), (QStringList{"0|0.1", "1|0.2"}));
}

void TestfrmDetalle::cientoUnaFilasExactas()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'Cien', 0, 100)");
    base.sql("insert into C_TablaMortalidad values(2, 'Otra', 0, 0)");
    base.sql("insert into T_DetalleMortalidad values(2, 0, 0.3)");
    Formulario p(base);
    QCOMPARE(p.grid->rows(), 102);
    QStringList esperado;
    for (int edad = 0; edad <= 100; ++edad) {
        const QString milesimas = QStringLiteral("%1").arg(edad, 3, 10, QLatin1Char('0'));
        p.escribeQx(edad + 1, QStringLiteral("0.") + milesimas);
        // 0.005, 0.01 (from 0.010), 0.1 (from 0.100): the system's shortest text.
        QString corto = QStringLiteral("0.") + milesimas;
        while (corto.endsWith(QLatin1Char('0')))
            corto.chop(1);
        esperado << QStringLiteral("%1|%2").arg(edad).arg(corto == QStringLiteral("0.") ? QStringLiteral("0") : corto);
    }
    p.cmdAceptar->click();
    QCOMPARE(base.dialogos.cajas.size(), 0);
    QCOMPARE(base.filas(DetalleDe1), esperado);

    // Stored again after one change: still exactly 101 rows.
    p.escribeQx(1, "1");
    p.cmdAceptar->click();
    esperado[0] = QStringLiteral("0|1");
    QCOMPARE(base.filas(DetalleDe1), esperado);
    QCOMPARE(base.filas("select * from T_DetalleMortalidad where Tabla_Mortalidad = 2"), QStringList{"2|0|0.3"});
}

void TestfrmDetalle::noCerrarTrasGuardadoFallido()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'T', 0, 0)");
    Formulario p(base);
    p.cmdAceptar->click();
    QCOMPARE(base.dialogos.textos(), QStringList{"la qx para edad:0 esta vacia"});
    QVERIFY(!p.f.HayCambios());
    // The first attempt is refused without a word, the second closes without asking.
    QVERIFY(!p.f.close());
    QVERIFY(p.f.isVisible());
    QVERIFY(p.f.close());
    QVERIFY(!p.f.isVisible());
    QCOMPARE(base.dialogos.cajas.size(), 1);
}

void TestfrmDetalle::salirConCambios_data()
{
    QTest::addColumn<R>("respuesta");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("abierta");
    QTest::addColumn<QString>("guardado");
    QTest::addColumn<QStringList>("cajas");
    const QString pregunta = QStringLiteral("la tabla ha sufrido cambios, deseas guardarlos");
    QTest::newRow("sí guarda y cierra") << R::Si << "0.7" << false << "0|0.7" << QStringList{pregunta};
    QTest::newRow("no cierra sin guardar") << R::No << "0.7" << false << "0|0.5" << QStringList{pregunta};
    QTest::newRow("cancelar sigue abierta") << R::Cancelar << "0.7" << true << "0|0.5" << QStringList{pregunta};
    QTest::newRow("sí con qx inválida sigue abierta")
        << R::Si << "1.5" << true << "0|0.5"
        << QStringList{pregunta, QStringLiteral("la qx para edad:0 fuera del rango permitido")};
}

void TestfrmDetalle::salirConCambios()
{
    QFETCH(R, respuesta);
    QFETCH(QString, texto);
    QFETCH(bool, abierta);
    QFETCH(QString, guardado);
    QFETCH(QStringList, cajas);

    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'T', 0, 0)");
    base.sql("insert into T_DetalleMortalidad values(1, 0, 0.5)");
    Formulario p(base);
    p.escribeQx(1, texto);
    base.dialogos.responde({respuesta});
    p.cmdSalir->click();
    QCOMPARE(p.f.isVisible(), abierta);
    QCOMPARE(base.filas(DetalleDe1), QStringList{guardado});
    QCOMPARE(base.dialogos.textos(), cajas);
}

void TestfrmDetalle::falloAlEscribirConservaLasFilas()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'T', 0, 2)");
    for (int edad = 0; edad <= 2; ++edad)
        base.sql("insert into T_DetalleMortalidad values(1, ?, ?)", {edad, 0.1 * (edad + 1)});
    base.sql("create trigger falla before insert on T_DetalleMortalidad when new.Edad = 2 "
             "begin select raise(abort, 'falla'); end");
    Formulario p(base);
    p.escribeQx(1, "0.9");
    p.cmdAceptar->click();
    QCOMPARE(base.dialogos.cajas.size(), 1);
    QVERIFY2(base.dialogos.textos().first().startsWith(QStringLiteral("Rutina: cmdAceptar_Click\r\nError:")),
             qPrintable(base.dialogos.textos().first()));
    QCOMPARE(base.filas(DetalleDe1), (QStringList{"0|0.1", "1|0.2", "2|0.3"}));
    // Not stored: the edits still count as unsaved.
    QVERIFY(p.f.HayCambios());
}

void TestfrmDetalle::edadFueraDe16Bits()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'T', 0, 0)");
    base.sql("insert into T_DetalleMortalidad values(1, 0, 0.1)");
    base.sql("insert into T_DetalleMortalidad values(1, 40000, 0.2)");
    Formulario p(base);
    QCOMPARE(prueba::FilasGrid(p.grid), (QStringList{"0|0.1", "40000|0.2"}));
    p.cmdAceptar->click();
    QCOMPARE(base.dialogos.textos(), QStringList{"Rutina: cmdAceptar_Click\r\nError:6\r\nDesbordamiento"});
    QCOMPARE(base.filas(DetalleDe1), (QStringList{"0|0.1", "40000|0.2"}));
}

void TestfrmDetalle::menuAbreUnaVentanaPropia()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'T', 0, 0)");
    MDIForm1 ventana(base.entorno());
    ventana.show();
    ventana.mnuTablaDetalle_Click();
    QPointer<QWidget> detalle = ventana.ventanaDetalle();
    QVERIFY(qobject_cast<frmDetalle*>(detalle.data()));
    QVERIFY(detalle->isWindow());
    QVERIFY(detalle->isVisible());
    QVERIFY(ventana.areaMdi()->subWindowList().isEmpty());
    ventana.mnuTablaDetalle_Click();
    QCOMPARE(ventana.ventanaDetalle(), detalle.data());

    detalle->findChild<QPushButton*>("cmdSalir")->click();
    QTRY_VERIFY(detalle.isNull());
    ventana.mnuTablaDetalle_Click();
    QVERIFY(ventana.ventanaDetalle());
    delete ventana.ventanaDetalle();
}

QTEST_MAIN(TestfrmDetalle)
#include "TestfrmDetalle.moc"
