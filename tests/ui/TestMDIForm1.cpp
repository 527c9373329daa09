#include "core/BaseDatos.h"
#include "support/BaseTemporal.h"
#include "ui/Arranque.h"
#include "ui/MDIForm1.h"

#include <QAction>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

using namespace valvida;
using valvida::prueba::BaseTemporal;
using valvida::prueba::FakeDialogos;

class TestMDIForm1 : public QObject
{
    Q_OBJECT

private slots:
    void menuConSusTitulosEnOrden();
    void inicializarDesdeElMenu();
    void cerrarCierraHijasDetalleYConexion();
    void hijasSeAbrenEnCascadaDentroDelArea();
    void arranqueConArchivoQueFalta();
    void arranqueConArchivoQueNoEsBase();
    void arranqueMuestraLaVentana();
    void cleanup();
};

void TestMDIForm1::menuConSusTitulosEnOrden()
{
    BaseTemporal base;
    MDIForm1 ventana(base.entorno());
    QCOMPARE(ventana.windowTitle(), TituloAplicacion);
    QStringList arriba;
    for (QAction* a : ventana.menuBar()->actions())
        arriba << a->objectName() + "=" + a->text().trimmed() + (a->isEnabled() ? "" : " (inactiva)");
    QCOMPARE(arriba, (QStringList{"mnuTablas=Tablas de mortalidad", "mnuConmutados=Conmutados",
                                  "mnuEscenarios=Escenarios", "mnuCartera=Cartera", "Vacio3= (inactiva)", "Vacio2= (inactiva)",
                                  "Vacio1= (inactiva)", "mnuInicializar=Inicializar Sistema", "mnuSalir=Salir"}));
    QStringList tablas;
    for (QAction* a : ventana.menuBar()->actions().first()->menu()->actions())
        tablas << a->objectName() + "=" + a->text();
    QCOMPARE(tablas, (QStringList{"mnuTablaDescripciones=Descripciones Mortalidad",
                                  "mnuTablaDetalle=Detalle Mortalidad", "mnuTablaExcel=Cargar Tablas Excel"}));
}

void TestMDIForm1::inicializarDesdeElMenu()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values (1, 'T', 0, 1)");
    MDIForm1 ventana(base.entorno());
    base.dialogos.responde({Dialogos::Respuesta::Si});
    ventana.findChild<QAction*>("mnuInicializar")->trigger();
    QCOMPARE(base.valor("select count(*) from C_TablaMortalidad").toInt(), 0);
    QCOMPARE(base.dialogos.textos().last(), QStringLiteral("Inicializacion de sistema finalizado"));
    // "Cartera" starts by asking for the portfolio file.
    ventana.findChild<QAction*>("mnuCartera")->trigger();
    QCOMPARE(base.dialogos.dialogosSinArchivo, 1);
}

void TestMDIForm1::cerrarCierraHijasDetalleYConexion()
{
    BaseTemporal base;
    auto* ventana = new MDIForm1(base.entorno());
    ventana->show();
    QPointer<QWidget> hija = new QWidget;
    ventana->agregaHija(hija);
    QPointer<QWidget> detalle = new QWidget;
    detalle->setAttribute(Qt::WA_DeleteOnClose);
    detalle->show();
    ventana->fijaVentanaDetalle(detalle);
    QVERIFY(base.db().isOpen());
    ventana->findChild<QAction*>("mnuSalir")->trigger();
    QTRY_VERIFY(hija.isNull());
    QTRY_VERIFY(detalle.isNull());
    QVERIFY(!ventana->isVisible());
    QVERIFY(!base.db().isOpen());
    delete ventana;
}

void TestMDIForm1::hijasSeAbrenEnCascadaDentroDelArea()
{
    BaseTemporal base;
    MDIForm1 ventana(base.entorno());
    ventana.resize(800, 600);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana));
    auto* pequena = new QWidget;
    pequena->resize(300, 200);
    auto* grande = new QWidget;
    grande->resize(3000, 2000);
    QMdiSubWindow* primera = ventana.agregaHija(pequena);
    QMdiSubWindow* segunda = ventana.agregaHija(grande);
    const QRect area = ventana.areaMdi()->viewport()->rect();
    QCOMPARE(primera->pos(), QPoint(0, 0));
    QVERIFY2(area.contains(segunda->geometry()), "la ventana grande queda fuera del área");
    ventana.areaMdi()->closeAllSubWindows();
}

void TestMDIForm1::arranqueConArchivoQueFalta()
{
    QTemporaryDir dir;
    FakeDialogos dialogos;
    auto ventana = Arranca(dialogos, dir.path(), "prueba-arranque-falta");
    QVERIFY(!ventana);
    QCOMPARE(dialogos.cajas.size(), 1);
    const QString texto = dialogos.cajas.first().texto;
    QVERIFY2(texto.startsWith("Rutina: main\r\nError:14\r\nNo se puede abrir el archivo de base de datos"),
             qPrintable(texto));
    QCOMPARE(texto.count("\r\n"), 2);
    QCOMPARE(dialogos.cajas.first().icono, Dialogos::Icono::Critico);
    QCOMPARE(dialogos.cajas.first().titulo, TituloAplicacion);
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    QCOMPARE(dialogos.reloj, 0);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestMDIForm1::arranqueConArchivoQueNoEsBase()
{
    QTemporaryDir dir;
    QFile f(dir.filePath("cavi.mdb"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Edad,qx\n");
    f.close();
    FakeDialogos dialogos;
    auto ventana = Arranca(dialogos, dir.path(), "prueba-arranque-texto");
    QVERIFY(!ventana);
    QCOMPARE(dialogos.cajas.size(), 1);
    QVERIFY2(dialogos.cajas.first().texto.startsWith("Rutina: main\r\nError:26\r\n"),
             qPrintable(dialogos.cajas.first().texto));
}

void TestMDIForm1::arranqueMuestraLaVentana()
{
    QTemporaryDir dir;
    CreaBaseDatos(dir.filePath("cavi.mdb"));
    FakeDialogos dialogos;
    {
        auto ventana = Arranca(dialogos, dir.path(), "prueba-arranque-bien");
        QVERIFY(ventana);
        QVERIFY(ventana->isVisible());
        QCOMPARE(ventana->windowTitle(), TituloAplicacion);
        QVERIFY(ventana->entorno().db.isOpen());
        QVERIFY(dialogos.cajas.isEmpty());
        QCOMPARE(dialogos.reloj, 0);
    }
    CierraBaseDatos("prueba-arranque-bien");
}

void TestMDIForm1::cleanup()
{
    // No window outlives its test.
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty() ||
                std::none_of(QApplication::topLevelWidgets().cbegin(), QApplication::topLevelWidgets().cend(),
                             [](QWidget* w) { return w->isVisible(); }));
}

QTEST_MAIN(TestMDIForm1)
#include "TestMDIForm1.moc"
