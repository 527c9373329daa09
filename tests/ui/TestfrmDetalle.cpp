#include "support/BaseTemporal.h"
#include "support/PruebaUi.h"
#include "ui/ComboLista.h"
#include "ui/FlexGrid.h"
#include "ui/frmDetalle.h"

#include <QLineEdit>
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
        , grid(f.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1")))
        , cmbTabla(f.findChild<ComboLista*>(QStringLiteral("cmbTabla")))
    {
        f.show();
        f.activateWindow();
        if (!QTest::qWaitForWindowActive(&f))
            qFatal("la ventana no se activó");
    }

    void clic(const char* boton) { f.findChild<QPushButton*>(QString::fromLatin1(boton))->click(); }

    // Replaces the qx of a row as the user does: erase key until empty, then the new text.
    void escribeQx(int fila, const QString& texto)
    {
        grid->setFocus();
        grid->setRow(fila);
        grid->setCol(1);
        while (!grid->text().isEmpty())
            QTest::keyClick(grid, Qt::Key_Backspace);
        QTest::keyClicks(grid, texto);
    }

    frmDetalle f;
    FlexGrid* grid;
    ComboLista* cmbTabla;
};

const QString DetalleDe1 = QStringLiteral("select Edad, qx from T_DetalleMortalidad where Tabla_Mortalidad = 1 order by Edad");
const QString Pregunta = QStringLiteral("la tabla ha sufrido cambios, deseas guardarlos");

} // namespace

class TestfrmDetalle : public QObject
{
    Q_OBJECT

private slots:
    void rangoSinFilasAvisaLaPrimeraQxVacia();
    void editorDeLaCelda();
    void limitesDeQx_data();
    void limitesDeQx();
    void preguntaAlCambiarOSalir_data();
    void preguntaAlCambiarOSalir();
    void cientoUnaFilasExactas();
};

void TestfrmDetalle::rangoSinFilasAvisaLaPrimeraQxVacia()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'Veinte', 20, 25)");
    Formulario p(base);
    QCOMPARE(p.f.windowTitle(), QStringLiteral("Tablas Mortalidad - Detalle"));
    QCOMPARE((QStringList{p.cmbTabla->currentText(), p.f.findChild<QLineEdit*>("txtEdadIni")->text(),
                          p.f.findChild<QLineEdit*>("txtEdadFin")->text()}),
             (QStringList{"Veinte", "20", "25"}));
    QCOMPARE(prueba::FilaGrid(p.grid, 0), (QStringList{"Edad", "qx"}));
    QCOMPARE(prueba::FilasGrid(p.grid), (QStringList{"20|", "21|", "22|", "23|", "24|", "25|"}));

    p.clic("cmdAceptar");
    QCOMPARE(base.dialogos.textos(), QStringList{"la qx para edad:20 esta vacia"});
    QCOMPARE(base.dialogos.cajas.first().icono, Dialogos::Icono::Critico);
    QCOMPARE(base.dialogos.cajas.first().botones, Dialogos::Botones::Aceptar);
    QCOMPARE(std::pair(p.grid->row(), p.grid->col()), std::pair(1, 1));
    QCOMPARE(base.valor("select count(*) from T_DetalleMortalidad").toInt(), 0);

    // The store stopped at a message: the first close is refused without a word, the second
    // closes without asking.
    QVERIFY(!p.f.HayCambios());
    QVERIFY(!p.f.close());
    QVERIFY(p.f.close());
    QCOMPARE(base.dialogos.cajas.size(), 1);
}

void TestfrmDetalle::editorDeLaCelda()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'T', 7, 7)");
    Formulario p(base);
    p.grid->setRow(1);
    p.grid->setCol(1);
    QVERIFY(!p.f.HayCambios());
    QTest::keyClicks(p.grid, ".05.3a-,e ");
    QCOMPARE(p.grid->textMatrix(1, 1), QStringLiteral(".053"));
    QVERIFY(p.f.HayCambios());
    QTest::keyClick(p.grid, Qt::Key_Backspace);
    QCOMPARE(p.grid->textMatrix(1, 1), QStringLiteral(".05"));

    // Column 0 is never edited, neither by typing nor by erasing.
    p.grid->setCol(0);
    QTest::keyClick(p.grid, Qt::Key_Backspace);
    QTest::keyClicks(p.grid, "9");
    QCOMPARE(prueba::FilaGrid(p.grid, 1), (QStringList{"7", ".05"}));

    // Cancelar drops the edits.
    p.clic("cmdCancelar");
    QCOMPARE(prueba::FilasGrid(p.grid), QStringList{"7|"});
    QVERIFY(!p.f.HayCambios());
}

void TestfrmDetalle::limitesDeQx_data()
{
    QTest::addColumn<QString>("preparacion");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QStringList>("guardado");
    QTest::addColumn<QString>("caja");
    QTest::newRow("cero") << "" << "0" << QStringList{"0|0"} << "";
    QTest::newRow("uno") << "" << "1" << QStringList{"0|1"} << "";
    QTest::newRow("punto inicial") << "" << ".053" << QStringList{"0|0.053"} << "";
    QTest::newRow("uno y medio") << "" << "1.5" << QStringList{"0|0.5"}
                                 << "la qx para edad:0 fuera del rango permitido";
    QTest::newRow("punto solo") << "" << "." << QStringList{"0|0.5"} << "la qx para edad:0 no es numerica";
    // A failure while writing: the table keeps the rows it had, and the edits still count as unsaved.
    QTest::newRow("la base rechaza la fila")
        << "create trigger falla before insert on T_DetalleMortalidad begin select raise(abort, 'falla'); end"
        << "0.9" << QStringList{"0|0.5"}
        << "Rutina: cmdAceptar_Click\r\nError:101811\r\nLa fila viola una restricción de la tabla (falla)";
    QTest::newRow("edad fuera de 16 bits") << "insert into T_DetalleMortalidad values(1, 40000, 0.3)" << "0.9"
                                           << QStringList{"0|0.5", "40000|0.3"}
                                           << "Rutina: cmdAceptar_Click\r\nError:6\r\nDesbordamiento";
}

void TestfrmDetalle::limitesDeQx()
{
    QFETCH(QString, preparacion);
    QFETCH(QString, texto);
    QFETCH(QStringList, guardado);
    QFETCH(QString, caja);

    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'T', 0, 0)");
    base.sql("insert into T_DetalleMortalidad values(1, 0, 0.5)");
    if (!preparacion.isEmpty())
        base.sql(preparacion);
    Formulario p(base);
    p.escribeQx(1, texto);
    // Enter in the grid presses the form's default button, "A&ceptar".
    QTest::keyClick(p.grid, Qt::Key_Return);

    QCOMPARE(base.filas(DetalleDe1), guardado);
    QCOMPARE(base.dialogos.textos(), caja.isEmpty() ? QStringList{} : QStringList{caja});
    QCOMPARE(p.f.NoCerrar(), !caja.isEmpty());
    QCOMPARE(p.f.HayCambios(), caja.startsWith(QStringLiteral("Rutina")));
}

void TestfrmDetalle::preguntaAlCambiarOSalir_data()
{
    QTest::addColumn<bool>("salir");
    QTest::addColumn<R>("respuesta");
    QTest::addColumn<QString>("qx"); // typed for age 1 of table "Uno"
    QTest::addColumn<QStringList>("cajas");
    QTest::addColumn<bool>("guarda");
    // The list's table when the form stays open (the grid then holds that table), empty when it closed.
    QTest::addColumn<QString>("lista");
    const QStringList sola{Pregunta};
    const QStringList vacia{Pregunta, "la qx para edad:1 esta vacia"};
    QTest::newRow("tabla, sí: guarda en la tabla editada") << false << R::Si << "0.25" << sola << true << "Dos";
    QTest::newRow("tabla, no: descarta") << false << R::No << "0.25" << sola << false << "Dos";
    QTest::newRow("tabla, cancelar: sigue editando") << false << R::Cancelar << "0.25" << sola << false << "Uno";
    // The grid keeps the edited table, and the list names it again.
    QTest::newRow("tabla, sí con qx vacía") << false << R::Si << "" << vacia << false << "Uno";
    QTest::newRow("salir, sí: guarda y cierra") << true << R::Si << "0.25" << sola << true << "";
    QTest::newRow("salir, no: cierra sin guardar") << true << R::No << "0.25" << sola << false << "";
    QTest::newRow("salir, cancelar: sigue abierta") << true << R::Cancelar << "0.25" << sola << false << "Uno";
    QTest::newRow("salir, sí con qx vacía: sigue abierta") << true << R::Si << "" << vacia << false << "Uno";
}

void TestfrmDetalle::preguntaAlCambiarOSalir()
{
    QFETCH(bool, salir);
    QFETCH(R, respuesta);
    QFETCH(QString, qx);
    QFETCH(QStringList, cajas);
    QFETCH(bool, guarda);
    QFETCH(QString, lista);

    // Table 1 "Uno", ages 0..1 stored with qx 0.1 and 0.2; table 2 "Dos", ages 5..6 without rows.
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'Uno', 0, 1), (2, 'Dos', 5, 6)");
    base.sql("insert into T_DetalleMortalidad values(1, 0, 0.1), (1, 1, 0.2)");
    Formulario p(base);
    p.escribeQx(2, qx);
    base.dialogos.responde({respuesta});
    if (salir)
        p.clic("cmdSalir");
    else
        QTest::keyClick(p.cmbTabla, Qt::Key_Down);

    QCOMPARE(base.dialogos.textos(), cajas);
    QCOMPARE(base.dialogos.cajas.first().botones, Dialogos::Botones::SiNoCancelar);
    QCOMPARE(base.dialogos.cajas.first().icono, Dialogos::Icono::Ninguno);
    QCOMPARE(base.filas(DetalleDe1), (QStringList{"0|0.1", guarda ? "1|0.25" : "1|0.2"}));
    QCOMPARE(base.valor("select count(*) from T_DetalleMortalidad where Tabla_Mortalidad = 2").toInt(), 0);
    QCOMPARE(p.f.isVisible(), !lista.isEmpty());
    if (p.f.isVisible()) {
        QCOMPARE(p.cmbTabla->currentText(), lista);
        QCOMPARE(prueba::FilasGrid(p.grid),
                 (lista == QStringLiteral("Dos") ? QStringList{"5|", "6|"} : QStringList{"0|0.1", "1|" + qx}));
        QCOMPARE(p.f.HayCambios(), lista == QStringLiteral("Uno"));
    }
}

void TestfrmDetalle::cientoUnaFilasExactas()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'Cien', 0, 100)");
    base.sql("insert into C_TablaMortalidad values(2, 'Otra', 0, 0)");
    base.sql("insert into T_DetalleMortalidad values(2, 0, 0.3)");
    Formulario p(base);
    QCOMPARE(p.grid->rows(), 102);
    for (int fila = 1; fila <= 101; ++fila)
        p.escribeQx(fila, "0.005");
    p.clic("cmdAceptar");
    const QString resumen = QStringLiteral("select count(*), min(Edad), max(Edad), min(qx), max(qx) "
                                           "from T_DetalleMortalidad where Tabla_Mortalidad = 1");
    QCOMPARE(base.filas(resumen), QStringList{"101|0|100|0.005|0.005"});

    // Stored again over its own rows after one change: still exactly 101 rows.
    p.escribeQx(101, "1");
    p.clic("cmdAceptar");
    QCOMPARE(base.filas(resumen), QStringList{"101|0|100|0.005|1"});
    QCOMPARE(base.filas("select * from T_DetalleMortalidad where Tabla_Mortalidad = 2"), QStringList{"2|0|0.3"});
    QCOMPARE(base.dialogos.cajas.size(), 0);
}

QTEST_MAIN(TestfrmDetalle)
#include "TestfrmDetalle.moc"
