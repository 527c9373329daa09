#include "support/BaseTemporal.h"
#include "support/PruebaUi.h"
#include "ui/MDIForm1.h"
#include "ui/frmEscenarios.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

using namespace valvida;
using prueba::FilasGrid;

namespace {

// The form in the main window, on tables A (ages 20 to 100) and B, with scenario 1 on table A:
// an endowment, commission over two years. Numbers are typed as in Spain.
struct Banco
{
    Banco()
    {
        base.sql("insert into C_TablaMortalidad values (1, 'Tabla A', 20, 100), (2, 'Tabla B de nombre largo', 0, 60)");
        base.sql("insert into T_Escenario values (1, 40, 2000, 3, 2, 4, 1, 60, 20, 'Dotal', 2)");
        base.sql("insert into T_Comision values (1, 1, 60, 6), (1, 2, 30, 3)");
        principal.show();
        principal.mnuEscenarios_Click();
        form = principal.hija<frmEscenarios>();
    }
    template <class T = QWidget> T* w(const QString& nombre) const { return form->findChild<T*>(nombre); }
    void teclea(const QStringList& cajas, const QStringList& textos, const char* boton = nullptr)
    {
        for (int i = 0; i < cajas.size(); ++i)
            QTest::keyClicks(w(cajas.at(i)), textos.at(i));
        if (boton)
            w<QPushButton>(boton)->click();
    }
    prueba::BaseTemporal base;
    MDIForm1 principal{base.entorno()};
    frmEscenarios* form = nullptr;
};

} // namespace

class TestfrmEscenarios : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain)); }

    void entradaCopiaYAlta()
    {
        Banco b;
        b.teclea({}, {}, "cmdAlta");
        FlexGrid* comision = b.w<FlexGrid>("MSFlexGrid2");
        prueba::ClicCelda(comision, 1, 1);
        b.teclea({"MSFlexGrid2", "txtEdad", "txtSumaAsegurada", "txtInteresTecnico", "txtPlazoSeguro", "txtPlazoPago",
                  "txtDescripcion"},
                 {"50", "71", "1000,5", "4,5", "30", "10", "Temporal a 30"}, "cmdAceptar");
        QCOMPARE(b.base.dialogos.textos(),
                 {"La edad más el plazo de seguro sobrepasa la edad final de la tabla de mortalidad (100)"});
        QCOMPARE(b.form->focusWidget(), b.w("txtPlazoSeguro"));
        // The list shows what was stored: the age as the whole number computed (a new age empties a
        // term typed by hand).
        b.w<QLineEdit>("txtEdad")->setText("35,5");
        comision->setCol(2);
        b.teclea({"txtPlazoSeguro", "MSFlexGrid2"}, {"30", "5"}, "cmdAceptar");
        QCOMPARE(FilasGrid(b.w<FlexGrid>("MSFlexGrid1")).last(),
                 "2|36|1.000,50|Temporal|Comisión primer año|4,5|Tabla A|30|10|Temporal a 30");

        // A copy of scenario 1 stores the schedule on show, and as its total the years shown.
        prueba::ClicCelda(b.w<FlexGrid>("MSFlexGrid1"), 1, 3);
        b.teclea({}, {}, "cmdModificar");
        b.teclea({}, {}, "cmdAceptar");
        QCOMPARE(b.base.filas("select * from T_Escenario where Escenario = 3"),
                 QStringList{"3|40|2000|3|2|4|1|60|20|Dotal|2"});
        QCOMPARE(b.base.filas("select * from T_Comision where Escenario = 3"), (QStringList{"3|1|60|6", "3|2|30|3"}));
        // The fields follow the highlight moved by the keys, in texts that read back as the stored numbers.
        QTest::keyClick(b.w("MSFlexGrid1"), Qt::Key_Up);
        QCOMPARE((QStringList{b.w<QLineEdit>("txtEdad")->text(), b.w<QLineEdit>("txtSumaAsegurada")->text(),
                              b.w<QLineEdit>("txtInteresTecnico")->text()}),
                 (QStringList{"36", "1.000,50", "4,5"}));
        // A new entry starts from an empty schedule: typed values are not appended to the old ones.
        // Tab lands on the first value to type.
        b.teclea({}, {}, "cmdAlta");
        QVERIFY(QTest::qWaitForWindowActive(&b.principal));
        b.w("txtDescripcion")->setFocus();
        QTest::keyClick(b.w("txtDescripcion"), Qt::Key_Tab);
        b.teclea({"MSFlexGrid2"}, {"30"});
        // The year is the grid's numbering: keys in its column change nothing.
        prueba::ClicCelda(comision, 1, 0);
        b.teclea({"MSFlexGrid2"}, {"7"});
        QCOMPARE(FilasGrid(comision), QStringList{"1|30|"});
        // A refused total of years sends the keyboard back to its box, emptied.
        b.w("cmbTipoComision")->setProperty("currentIndex", 1);
        b.teclea({"txtPlazoPago", "txtTotalAños"}, {"2", "5"});
        QCOMPARE(b.base.dialogos.textos().last(), "total de años debe ser menor o igual a Plazo de pago");
        QCOMPARE(std::pair(b.form->focusWidget(), b.w<QLineEdit>("txtTotalAños")->text()),
                 std::pair(b.w("txtTotalAños"), QString()));
    }

    void cierreSinGuardar()
    {
        // Closed in the middle of a copy, the form asks first; Yes stores as "Aceptar" does: scenario 2.
        Banco b;
        prueba::ClicCelda(b.w<FlexGrid>("MSFlexGrid1"), 1, 0);
        b.teclea({}, {}, "cmdModificar");
        b.base.dialogos.responde({Dialogos::Respuesta::Si});
        QVERIFY(b.form->parentWidget()->close());
        QCOMPARE(b.base.dialogos.textos(), QStringList{"el escenario no se ha guardado, deseas guardarlo"});
        QCOMPARE(b.base.filas("select count(*) from T_Escenario"), QStringList{"2"});
    }

    void disposicion()
    {
        // At 16 points. Overlaps, cut texts and unnamed boxes TestMDIForm1 looks for in every form. Here:
        // the payment term's label holds its one-year text too; the schedule scrolls down, never sideways.
        QApplication::setFont(QFont(QFont().family(), 16));
        Banco b;
        auto* plazoPago = b.w<QLabel>("Label6");
        QVERIFY(plazoPago->fontMetrics().horizontalAdvance("Meses a Cubrir:") <= plazoPago->contentsRect().width());
        auto* comision = b.w<FlexGrid>("MSFlexGrid2");
        for (int c = 0; c < 3; ++c)
            QVERIFY(static_cast<QAbstractItemView*>(comision)->sizeHintForColumn(c) <= comision->columnWidth(c));
        QCOMPARE(comision->horizontalScrollBar()->maximum(), 0);

        // Tab order; every input is named by its label (a list and a table by relation or by name).
        const QStringList orden = {
            "MSFlexGrid1",    "txtEdad",      "txtSumaAsegurada", "cmbTabla",     "txtInteresTecnico", "cmbTipoSeguro",
            "txtPlazoSeguro", "txtPlazoPago", "cmbTipoComision",  "txtTotalAños", "txtDescripcion",    "MSFlexGrid2",
            "cmdResultado",   "cmdAlta",      "cmdModificar",     "cmdAceptar",   "cmdCancelar",       "cmdSalir"};
        QStringList visto;
        for (QWidget* w = b.w("MSFlexGrid1"); visto.size() < orden.size(); w = w->nextInFocusChain())
            visto << (orden.contains(w->objectName()) ? QStringList{w->objectName()} : QStringList());
        QCOMPARE(visto, orden);
        for (QLabel* l : b.form->findChildren<QLabel*>()) {
            QAccessibleInterface* entrada = QAccessible::queryAccessibleInterface(l->buddy());
            const bool nombrada =
                entrada->text(QAccessible::Name) == l->text() ||
                entrada->relations(QAccessible::Label).value(0).first == QAccessible::queryAccessibleInterface(l);
            QVERIFY2(nombrada, qPrintable(l->text()));
        }

        // A larger window gives its height to the list; the fields keep their size.
        const auto alturas = [&b] { return QList<int>{b.w("MSFlexGrid1")->height(), b.w("Frame1")->height()}; };
        const QList<int> antes = alturas();
        b.form->parentWidget()->resize(b.form->parentWidget()->size() + QSize(300, 200));
        QTRY_COMPARE(alturas(), (QList<int>{antes[0] + 200, antes[1]}));
    }
};

QTEST_MAIN(TestfrmEscenarios)
#include "TestfrmEscenarios.moc"
