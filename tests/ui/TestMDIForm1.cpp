#include "support/BaseTemporal.h"
#include "support/PruebaUi.h"
#include "ui/MDIForm1.h"
#include "ui/frmDetalle.h"
#include "ui/frmEscenarios.h"

#include <QtWidgets>

using namespace valvida;
using R = valvida::Dialogos::Respuesta;

namespace {

// The main window with a one-age table (qx 0.5 stored), the catalogue and the viewer open, and the
// detail editor open on that table.
struct Escritorio
{
    explicit Escritorio(prueba::BaseTemporal& base)
        : ventana(base.entorno())
    {
        base.sql("insert into C_TablaMortalidad values(1, 'Experiencia de una cartera de vida individual', 0, 0)");
        base.sql("insert into T_DetalleMortalidad values(1, 0, 0.5)");
        ventana.show();
        for (const char* menu : {"mnuTablaDescripciones", "mnuConmutados", "mnuTablaDetalle"})
            ventana.findChild<QAction*>(menu)->trigger();
        detalle = qobject_cast<frmDetalle*>(ventana.ventanaDetalle());
    }
    ~Escritorio() { delete detalle; }
    int abiertas() const { return int(ventana.areaMdi()->subWindowList().size()) + (detalle ? 1 : 0); }

    MDIForm1 ventana;
    QPointer<frmDetalle> detalle;
};

} // namespace

class TestMDIForm1 : public QObject
{
    Q_OBJECT

  private slots:
    void menuConSusNombresYTitulos()
    {
        prueba::BaseTemporal base;
        MDIForm1 ventana(base.entorno());
        QCOMPARE(ventana.windowTitle(), TituloAplicacion);
        QStringList entradas;
        for (QAction* a : ventana.menuBar()->actions() + ventana.menuBar()->actions().first()->menu()->actions())
            entradas << a->objectName() + "=" + a->text().trimmed() + (a->isEnabled() ? "" : "-");
        QCOMPARE(entradas.join(", "),
                 "mnuTablas=Tablas de mortalidad, mnuConmutados=Conmutados, mnuEscenarios=Escenarios, "
                 "mnuCartera=Cartera, mnuMejorEstimacion=Mejor Estimación, "
                 "Vacio3=-, Vacio2=-, Vacio1=-, mnuInicializar=Inicializar Sistema, mnuSalir=Salir, "
                 "mnuTablaDescripciones=Descripciones Mortalidad, mnuTablaDetalle=Detalle Mortalidad, "
                 "mnuTablaExcel=Cargar Tablas Excel");
        // "Cartera" asks for the portfolio file, then the output: cancelled it writes nothing; then the
        // summary in a box. A 5-year term at 0 % with 3 premiums, P = (M0 - M5)/(N0 - N3) = .865/2.62.
        ventana.findChild<QAction*>("mnuCartera")->trigger();
        QCOMPARE(base.dialogos.dialogosSinArchivo, 1);
        base.sql("insert into C_TablaMortalidad values(1, 'Seis edades', 0, 5)");
        base.sql("insert into T_DetalleMortalidad values(1,0,.1),(1,1,.2),(1,2,.25),(1,3,.5),(1,4,.5),(1,5,1)");
        base.sql("insert into T_Escenario values(1,0,1,1,1,0,1,5,3,'T',0)");
        base.sql("insert into T_Comision values(1,1,0,0)");
        const QString entrada =
            base.archivo("c.csv", "Poliza,Escenario,Edad,Suma_Asegurada,Antiguedad\nA,1,0,1000,0\n");
        const QString salida = base.carpeta() + "/s.csv";
        for (const bool cancela : {true, false}) {
            base.dialogos.cancelaProgreso = cancela;
            base.dialogos.eligeArchivo(entrada);
            base.dialogos.eligeArchivo(salida);
            ventana.findChild<QAction*>("mnuCartera")->trigger();
            QCOMPARE(QFile::exists(salida), !cancela);
        }
        QCOMPARE(base.dialogos.textos(),
                 (QStringList{"Valoración de la cartera cancelada",
                              "Pólizas: 1\r\nReserva total: 330.15\r\nPrima de tarifa total: 330.15"}));
        QCOMPARE(base.dialogos.progresos.first(),
                 "Valorando la cartera.../" + QString::number(QFileInfo(entrada).size()));
        QCOMPARE(base.dialogos.titulosDialogo.mid(1, 2),
                 (QStringList{"Cartera de pólizas", "Resultado de la cartera"}));
    }

    void inicializarOCerrarConQxSinGuardar()
    {
        const QString inicializar("Desea inicializar el sistema"), fin("Inicializacion de sistema finalizado"),
            cancelado("Inicializacion de sistema Cancelado"), guardar("la tabla ha sufrido cambios, deseas guardarlos"),
            escenario("el escenario no se ha guardado, deseas guardarlo");
        // After the initialisation's Yes every form closes, the detail editor and a scenario entry without
        // their questions (their tables are gone). Closing the main window asks about the scenario first (No
        // drops it; Yes refused keeps all open), then the editor: Yes stores "0.4"; a Cancel keeps all open.
        const std::tuple<const char*, QList<R>, QStringList, int, QStringList> casos[] = {
            {"mnuInicializar", {R::Si}, {inicializar, fin}, 0, {}},
            {"mnuInicializar", {R::No}, {inicializar, cancelado}, 4, {"0.5"}},
            {"mnuSalir", {R::Cancelar}, {escenario}, 4, {"0.5"}},
            {"mnuSalir", {R::Si}, {escenario, "El interes técnico no puede ser nulo"}, 4, {"0.5"}},
            {"mnuSalir", {R::No, R::Cancelar}, {escenario, guardar}, 4, {"0.5"}},
            {"mnuSalir", {R::No, R::Si}, {escenario, guardar}, 0, {"0.4"}},
            {"mnuSalir", {R::No, R::No}, {escenario, guardar}, 0, {"0.5"}},
        };
        for (const auto& [menu, respuestas, cajas, abiertas, qx] : casos) {
            prueba::BaseTemporal base;
            Escritorio e(base);
            // "0.5" edited to "0.4" and not stored; a scenario being entered.
            QTest::keyClicks(e.detalle->findChild<FlexGrid*>("MSFlexGrid1"), "\b4");
            e.ventana.mnuEscenarios_Click();
            e.ventana.hija<frmEscenarios>()->cmdAlta_Click();
            for (const R r : respuestas)
                base.dialogos.responde({r});
            e.ventana.findChild<QAction*>(menu)->trigger();
            QCOMPARE(base.dialogos.textos(), cajas);
            QTRY_COMPARE(e.abiertas(), abiertas);
            // Salir closes the main window, unless Cancel kept the editor open; its connection goes with it.
            QCOMPARE(e.ventana.isVisible(), QByteArray(menu) != "mnuSalir" || abiertas > 0);
            QCOMPARE(base.db().isOpen(), e.ventana.isVisible());
            QVERIFY(base.db().open());
            QCOMPARE(base.filas("select qx from T_DetalleMortalidad"), qx);
        }
    }

    void formulariosEnterosQueCrecen()
    {
        // At 16 points, where room is shortest; the scenario form as well.
        const auto restaura = qScopeGuard([letra = QApplication::font()] { QApplication::setFont(letra); });
        QApplication::setFont(QFont(QApplication::font().family(), 16));
        prueba::BaseTemporal base;
        Escritorio e(base);
        e.ventana.mnuEscenarios_Click();
        QList<QWidget*> formularios{e.detalle};
        for (QMdiSubWindow* sub : e.ventana.areaMdi()->subWindowList())
            formularios << sub->widget();
        QCOMPARE(formularios.size(), 4);
        for (QWidget* f : formularios) {
            QList<QRect> vistos;
            for (QWidget* w : f->findChildren<QWidget*>()) {
                auto* const lista = qobject_cast<QComboBox*>(w);
                const bool entrada = lista || qobject_cast<QLineEdit*>(w);
                const bool texto = lista || qobject_cast<QLabel*>(w) || qobject_cast<QPushButton*>(w);
                if (!w->isVisible() || !(entrada || texto || qobject_cast<FlexGrid*>(w)))
                    continue;
                const QRect r(w->mapTo(f, QPoint()), w->size());
                const auto encima = [&r](const QRect& otro) { return otro.intersects(r); };
                const QByteArray que = (f->objectName() + ": " + w->objectName()).toUtf8();
                // Inside its form and over no other control; texts whole; every input named by its label.
                QVERIFY2(f->rect().contains(r) && std::none_of(vistos.cbegin(), vistos.cend(), encima), que);
                QVERIFY2(!texto || (w->width() >= w->sizeHint().width() && w->height() >= w->sizeHint().height()), que);
                // A box holds at least a 16-bit number, an age or a table's number.
                QVERIFY2(!entrada || w->width() >= w->fontMetrics().horizontalAdvance("-32768"), que);
                const QString nombreAccesible = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
                QVERIFY2(!entrada || !nombreAccesible.isEmpty(), que);
                // A list's field holds every entry whole, whatever size the list asks for.
                QStyleOptionComboBox o;
                o.initFrom(w);
                const QRect campo =
                    w->style()->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, w);
                for (int i = 0; lista && i < lista->count(); ++i)
                    QVERIFY2(lista->fontMetrics().horizontalAdvance(lista->itemText(i)) <= campo.width(), que);
                vistos << r;
            }
            auto* grid = f->findChild<FlexGrid*>("MSFlexGrid1");
            const QSize antes = grid->size();
            QWidget* marco = f->isWindow() ? f : f->parentWidget();
            marco->resize(marco->size() + QSize(200, 150));
            QTRY_VERIFY2(grid->width() > antes.width() && grid->height() > antes.height(), qPrintable(f->objectName()));
        }
    }
};

QTEST_MAIN(TestMDIForm1)
#include "TestMDIForm1.moc"
