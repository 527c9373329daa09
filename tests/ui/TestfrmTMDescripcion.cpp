#include "support/BaseTemporal.h"
#include "support/PruebaUi.h"
#include "ui/FlexGrid.h"
#include "ui/MDIForm1.h"
#include "ui/frmDetalle.h"
#include "ui/frmTMDescripcion.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTest>

using namespace valvida;
using valvida::prueba::BaseTemporal;
using R = valvida::Dialogos::Respuesta;

namespace {

// The catalogue opened from the main window's menu, as the user opens it.
struct Catalogo
{
    explicit Catalogo(BaseTemporal& base)
        : ventana(base.entorno())
    {
        ventana.show();
        if (!QTest::qWaitForWindowActive(&ventana))
            qFatal("la ventana principal no se activó");
        ventana.mnuTablaDescripciones_Click();
        f = ventana.hija<frmTMDescripcion>();
        grid = f->findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1"));
    }
    ~Catalogo() { delete ventana.ventanaDetalle(); }

    QLineEdit* caja(const char* nombre) const { return f->findChild<QLineEdit*>(QString::fromLatin1(nombre)); }
    void clic(const char* nombre) const { f->findChild<QPushButton*>(QString::fromLatin1(nombre))->click(); }
    //! Types the description and the two ages into their boxes, replacing what they held.
    void escribe(const QString& descripcion, const QString& de, const QString& al) const
    {
        for (const auto& [nombre, texto] : {std::pair{"txtTablaDesc", descripcion}, {"txtDe", de}, {"txtAl", al}}) {
            caja(nombre)->clear();
            QTest::keyClicks(caja(nombre), texto);
        }
    }
    QStringList cajas() const
    {
        return {caja("txtTabla")->text(), caja("txtTablaDesc")->text(), caja("txtDe")->text(), caja("txtAl")->text()};
    }
    //! The controls that can be used now.
    QStringList activos() const
    {
        QStringList nombres;
        for (const char* n : {"MSFlexGrid1", "txtTabla", "txtTablaDesc", "txtDe", "txtAl", "cmdAlta", "cmdModificar",
                              "cmdAceptar", "cmdCancelar", "cmdDetalle", "cmdSalir"}) {
            if (f->findChild<QWidget*>(QString::fromLatin1(n))->isEnabled())
                nombres << QString::fromLatin1(n);
        }
        return nombres;
    }

    MDIForm1 ventana;
    frmTMDescripcion* f = nullptr;
    FlexGrid* grid = nullptr;
};

const QStringList Consultando{"MSFlexGrid1", "cmdAlta", "cmdModificar", "cmdDetalle", "cmdSalir"};
const QStringList Capturando{"txtTablaDesc", "txtDe", "txtAl", "cmdAceptar", "cmdCancelar"};
//! A new entry leaves Modificar as it was.
const QStringList CapturandoAlta{"txtTablaDesc", "txtDe", "txtAl", "cmdModificar", "cmdAceptar", "cmdCancelar"};
const QStringList Vacias{"", "", "", ""};

void TablaConDetalle(BaseTemporal& base, int tabla, int desde, int hasta)
{
    base.sql("insert into C_TablaMortalidad values(?, 'T', ?, ?)", {tabla, desde, hasta});
    for (int edad = desde; edad <= hasta; ++edad)
        base.sql("insert into T_DetalleMortalidad values(?, ?, 0.01)", {tabla, edad});
}

} // namespace

class TestfrmTMDescripcion : public QObject
{
    Q_OBJECT

private slots:
    void abreDesdeElMenu();
    void alta_data();
    void alta();
    void modificacion_data();
    void modificacion();
    void modificacionFallidaConservaElDetalle();
    void estadosDeLosBotones();
};

void TestfrmTMDescripcion::abreDesdeElMenu()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'Uno', 0, 100)");
    base.sql("insert into C_TablaMortalidad values(3, 'Tres', 12, 99)");
    Catalogo c(base);
    QCOMPARE(c.f->windowTitle(), QStringLiteral("Tablas Mortalidad - Descripción"));
    QCOMPARE(prueba::FilaGrid(c.grid, 0), (QStringList{"Tabla", "Descripción", "Edad Inicial", "Edad Final"}));
    QCOMPARE(prueba::FilasGrid(c.grid), (QStringList{"1|Uno|0|100", "3|Tres|12|99"}));
    QVERIFY(c.grid->item(1, 0)->textAlignment() & Qt::AlignLeft);
    QVERIFY(c.grid->item(1, 1)->textAlignment() & Qt::AlignLeft);
    QVERIFY(c.grid->item(1, 2)->textAlignment() & Qt::AlignRight);

    // One instance: the menu brings the same form forward.
    c.ventana.mnuTablaDescripciones_Click();
    QCOMPARE(c.ventana.areaMdi()->subWindowList().size(), 1);

    // Right after loading the current row is the header: the grid's focus copies nothing.
    c.grid->setFocus();
    QCOMPARE(c.cajas(), Vacias);
    prueba::ClicCelda(c.grid, 2, 1);
    QCOMPARE(c.cajas(), (QStringList{"3", "Tres", "12", "99"}));

    // "&Detalle" opens the menu's detail editor, a window of its own, on the first table of
    // its own list rather than the one selected here.
    c.clic("cmdDetalle");
    QPointer<frmDetalle> detalle = qobject_cast<frmDetalle*>(c.ventana.ventanaDetalle());
    QVERIFY(detalle && detalle->isVisible() && detalle->isWindow());
    QCOMPARE(detalle->tablaEnGrid(), std::optional<int>(1));
    QCOMPARE(c.ventana.areaMdi()->subWindowList().size(), 1);
    c.ventana.mnuTablaDetalle_Click();
    QCOMPARE(c.ventana.ventanaDetalle(), detalle.data());
    detalle->findChild<QPushButton*>("cmdSalir")->click();
    QTRY_VERIFY(detalle.isNull());

    c.clic("cmdSalir");
    QTRY_VERIFY(c.ventana.areaMdi()->subWindowList().isEmpty());
}

void TestfrmTMDescripcion::alta_data()
{
    QTest::addColumn<QList<int>>("tablas");
    QTest::addColumn<QString>("descripcion");
    QTest::addColumn<QString>("de");
    QTest::addColumn<QString>("al");
    QTest::addColumn<QString>("guardada");
    // The check that stops the entry, and the box that then has the focus.
    QTest::addColumn<QString>("caja");
    QTest::addColumn<QString>("foco");
    QTest::newRow("tras 1, 2 y 5 propone 6; edades iguales")
        << QList<int>{1, 2, 5} << "Tabla A" << "20" << "20" << "6|Tabla A|20|20" << "" << "";
    QTest::newRow("catálogo vacío propone 1; 5.5 se guarda como 6")
        << QList<int>{} << "T" << "5.5" << "10" << "1|T|6|10" << "" << "";
    QTest::newRow("comilla como se escribió")
        << QList<int>{2} << "Tabla O'Hara" << "0" << "110" << "3|Tabla O'Hara|0|110" << "" << "";
    QTest::newRow("sin descripción") << QList<int>{} << "" << "0" << "1" << "1"
                                     << "La descripcion de la tabla no puede ser nulo" << "txtTablaDesc";
    QTest::newRow("edad inicial vacía") << QList<int>{} << "T" << "" << "1" << "1"
                                        << "La edad inicial debe ser numerica" << "txtDe";
    QTest::newRow("edad final con coma") << QList<int>{} << "T" << "1" << "1,5" << "1"
                                         << "La edad final debe ser numerica" << "txtAl";
    QTest::newRow("final menor") << QList<int>{} << "T" << "30" << "20" << "1"
                                 << "La edad final debe ser mayor a la edad inicial" << "txtDe";
    QTest::newRow("final menor al redondear") << QList<int>{} << "T" << "5.5" << "5.4" << "1"
                                              << "La edad final debe ser mayor a la edad inicial" << "txtDe";
}

void TestfrmTMDescripcion::alta()
{
    QFETCH(QList<int>, tablas);
    QFETCH(QString, descripcion);
    QFETCH(QString, de);
    QFETCH(QString, al);
    QFETCH(QString, guardada);
    QFETCH(QString, caja);
    QFETCH(QString, foco);
    BaseTemporal base;
    for (int t : tablas)
        base.sql("insert into C_TablaMortalidad values(?, 'T', 0, 1)", {t});
    Catalogo c(base);
    c.clic("cmdAlta");
    const QString numero = guardada.section(QLatin1Char('|'), 0, 0);
    QCOMPARE(c.cajas(), (QStringList{numero, "", "", ""}));
    QVERIFY(c.f->EsAlta());
    QCOMPARE(QApplication::focusWidget(), c.caja("txtTablaDesc"));
    c.escribe(descripcion, de, al);
    c.clic("cmdAceptar");

    const QStringList tecleadas{numero, descripcion, de, al};
    const QStringList fila = base.filas("select * from C_TablaMortalidad where Tabla_Mortalidad = ?", {numero});
    if (caja.isEmpty()) {
        QCOMPARE(base.dialogos.cajas.size(), 0);
        QCOMPARE(fila, QStringList{guardada});
        // The grid shows the texts as typed until the form is opened again.
        QCOMPARE(prueba::FilasGrid(c.grid).last(), tecleadas.join('|'));
        QCOMPARE(c.grid->rows(), tablas.size() + 2);
        QCOMPARE(c.activos(), Consultando);
        QVERIFY(!c.f->EsAlta());
    } else {
        QCOMPARE(base.dialogos.textos(), QStringList{caja});
        QCOMPARE(base.dialogos.cajas.first().icono, Dialogos::Icono::Exclamacion);
        QCOMPARE(base.dialogos.cajas.first().botones, Dialogos::Botones::Aceptar);
        QCOMPARE(QApplication::focusWidget()->objectName(), foco);
        QCOMPARE(fila, QStringList{});
        // The entry stays open with its texts.
        QCOMPARE(c.cajas(), tecleadas);
        QCOMPARE(c.activos(), CapturandoAlta);
    }
}

void TestfrmTMDescripcion::modificacion_data()
{
    QTest::addColumn<QString>("de");
    QTest::addColumn<QString>("al");
    QTest::addColumn<R>("respuesta");
    QTest::addColumn<QString>("catalogo");
    QTest::addColumn<QString>("detalle");
    QTest::newRow("recorta 0-110 a 10-100") << "10" << "100" << R::Si << "1|Nueva|10|100" << "91|10|100";
    QTest::newRow("no guarda nada") << "10" << "100" << R::No << "1|T|0|110" << "111|0|110";
    QTest::newRow("ampliar no borra ni agrega") << "-5" << "120" << R::Si << "1|Nueva|-5|120" << "111|0|110";
}

void TestfrmTMDescripcion::modificacion()
{
    QFETCH(QString, de);
    QFETCH(QString, al);
    QFETCH(R, respuesta);
    QFETCH(QString, catalogo);
    QFETCH(QString, detalle);
    BaseTemporal base;
    TablaConDetalle(base, 1, 0, 110);
    TablaConDetalle(base, 2, 0, 5);
    Catalogo c(base);
    prueba::ClicCelda(c.grid, 1, 0);
    c.clic("cmdModificar");
    c.escribe("Nueva", de, al);
    base.dialogos.responde({respuesta});
    c.clic("cmdAceptar");

    QCOMPARE(base.dialogos.textos(), QStringList{"Al modificar la tabla de mortalidad, \r\nprobablemente se modifica el "
                                                 "detalle de mortalidad\r\nDesea continuar"});
    QCOMPARE(base.dialogos.cajas.first().icono, Dialogos::Icono::Pregunta);
    QCOMPARE(base.dialogos.cajas.first().botones, Dialogos::Botones::SiNo);
    QCOMPARE(base.filas("select * from C_TablaMortalidad where Tabla_Mortalidad = 1"), QStringList{catalogo});
    QCOMPARE(base.filas("select count(*), min(Edad), max(Edad) from T_DetalleMortalidad where Tabla_Mortalidad = 1"),
             QStringList{detalle});
    QCOMPARE(base.filas("select count(*) from T_DetalleMortalidad where Tabla_Mortalidad = 2"), QStringList{"6"});
    // The boxes and the grid row show what is stored (the typed texts, or the old ones after No).
    QCOMPARE(c.cajas().join('|'), catalogo);
    QCOMPARE(prueba::FilasGrid(c.grid).first(), catalogo);
    QCOMPARE(c.activos(), Consultando);
}

void TestfrmTMDescripcion::modificacionFallidaConservaElDetalle()
{
    BaseTemporal base;
    TablaConDetalle(base, 1, 0, 110);
    base.sql("create trigger falla before update on C_TablaMortalidad begin select raise(abort, 'falla'); end");
    Catalogo c(base);
    prueba::ClicCelda(c.grid, 1, 1);
    c.clic("cmdModificar");
    c.escribe("T", "10", "110");
    base.dialogos.responde({R::Si});
    c.clic("cmdAceptar");

    QCOMPARE(base.dialogos.cajas.size(), 2);
    QVERIFY2(base.dialogos.textos().last().startsWith("Rutina: cmdAceptar_Click\r\nError:"),
             qPrintable(base.dialogos.textos().last()));
    QCOMPARE(base.filas("select count(*) from T_DetalleMortalidad"), QStringList{"111"});
    QCOMPARE(base.filas("select * from C_TablaMortalidad"), QStringList{"1|T|0|110"});
}

void TestfrmTMDescripcion::estadosDeLosBotones()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'Uno', 0, 100)");
    Catalogo c(base);
    QCOMPARE(c.activos(), Consultando);
    // Modificar with no table copied into the boxes does nothing.
    c.clic("cmdModificar");
    QCOMPARE(c.activos(), Consultando);

    c.clic("cmdAlta");
    QCOMPARE(c.activos(), CapturandoAlta);
    // Modificar during a new entry only switches itself off: the entry stays a new one.
    c.clic("cmdModificar");
    QCOMPARE(c.activos(), Capturando);
    QVERIFY(c.f->EsAlta());

    // An abandoned new entry leaves no number behind for Modificar.
    c.clic("cmdCancelar");
    QCOMPARE(c.activos(), Consultando);
    QVERIFY(!c.f->EsAlta());
    QCOMPARE(c.cajas(), Vacias);
    c.clic("cmdModificar");
    QCOMPARE(c.activos(), Consultando);

    prueba::ClicCelda(c.grid, 1, 3);
    c.clic("cmdModificar");
    QCOMPARE(c.activos(), Capturando);
    c.escribe("Cambiada", "0", "100");
    c.clic("cmdCancelar");
    // Cancel puts the stored texts back.
    QCOMPARE(c.cajas(), (QStringList{"1", "Uno", "0", "100"}));
    QCOMPARE(c.activos(), Consultando);
    QCOMPARE(base.filas("select * from C_TablaMortalidad"), QStringList{"1|Uno|0|100"});
    QCOMPARE(base.dialogos.cajas.size(), 0);
}

QTEST_MAIN(TestfrmTMDescripcion)
#include "TestfrmTMDescripcion.moc"
