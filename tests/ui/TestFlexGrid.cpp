#include "support/BaseTemporal.h"
#include "support/PruebaUi.h"
#include "ui/Arranque.h"
#include "ui/ComboLista.h"
#include "ui/FlexGrid.h"
#include "ui/QtDialogos.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace valvida;
using namespace valvida::prueba;

class TestFlexGrid : public QObject
{
    Q_OBJECT

private slots:
    void filasDesdeTextoConTabuladores();
    void cambiarFilasConservaLasCeldas();
    void celdaActualAvisaCadaCambio();
    void clicDelUsuarioEligeLaCelda();
    void cabeceraYColumnaFijasNoSeDesplazan();
    void teclasLleganAlFormulario();
    void cargaFlexgridEnLaGrilla();
    void listaNoEligeAlAgregar();
    void cajaRealConTituloTextoEIcono();
    void botonesEnEspanol();
    void filtroDeArchivos();
};

void TestFlexGrid::filasDesdeTextoConTabuladores()
{
    FlexGrid grid;
    grid.setCols(3);
    grid.setRows(1);
    grid.AddItem("1\tabc\t5.5");
    grid.AddItem("2");
    grid.AddItem("");
    QCOMPARE(grid.rows(), 4);
    QCOMPARE(FilaGrid(&grid, 1), (QStringList{"1", "abc", "5.5"}));
    QCOMPARE(FilaGrid(&grid, 2), (QStringList{"2", "", ""}));
    QCOMPARE(FilaGrid(&grid, 3), (QStringList{"", "", ""}));
    // Numbers stand to the right and texts to the left, unless a column is set to the left.
    const auto derecha = [&grid](int r, int c) { return bool(grid.item(r, c)->textAlignment() & Qt::AlignRight); };
    QVERIFY(derecha(1, 2));
    QVERIFY(!derecha(1, 1));
    grid.setColAlignmentLeft(2);
    QVERIFY(!derecha(1, 2));
}

void TestFlexGrid::cambiarFilasConservaLasCeldas()
{
    FlexGrid grid;
    grid.setCols(2);
    grid.setRows(1);
    grid.setTextMatrix(0, 0, "Edad");
    grid.AddItem("20\t0.1");
    grid.AddItem("21\t0.2");
    grid.setRows(2);
    grid.setRows(4);
    QCOMPARE(FilaGrid(&grid, 0), (QStringList{"Edad", ""}));
    QCOMPARE(FilaGrid(&grid, 1), (QStringList{"20", "0.1"}));
    QCOMPARE(FilaGrid(&grid, 2), (QStringList{"", ""}));
    QCOMPARE(grid.textMatrix(3, 1), QString());
}

void TestFlexGrid::celdaActualAvisaCadaCambio()
{
    FlexGrid grid;
    grid.setCols(2);
    grid.setRows(3);
    QSignalSpy cambios(&grid, &FlexGrid::rowColChange);
    QCOMPARE(grid.row(), 0);
    grid.setRow(2);
    grid.setCol(1);
    grid.setCol(1);
    QCOMPARE(cambios.count(), 2);
    grid.setText("x");
    QCOMPARE(grid.textMatrix(2, 1), QStringLiteral("x"));
    // Code may make the fixed header row current.
    grid.setRow(0);
    QCOMPARE(grid.row(), 0);
    QCOMPARE(cambios.count(), 3);
    grid.setRows(2);
    grid.setRow(5);
    QCOMPARE(grid.row(), 0);
}

void TestFlexGrid::clicDelUsuarioEligeLaCelda()
{
    FlexGrid grid;
    grid.setCols(3);
    grid.setRows(1);
    for (int i = 0; i < 5; ++i)
        grid.AddItem(QString("%1\ta\tb").arg(i));
    grid.resize(400, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy clics(&grid, &FlexGrid::Click);
    ClicCelda(&grid, 3, 2);
    QCOMPARE(clics.count(), 1);
    QCOMPARE(grid.row(), 3);
    QCOMPARE(grid.col(), 2);
    // A click on the header row does not move the current cell.
    ClicCelda(&grid, 0, 1);
    QCOMPARE(clics.count(), 2);
    QCOMPARE(grid.row(), 3);
}

void TestFlexGrid::cabeceraYColumnaFijasNoSeDesplazan()
{
    FlexGrid grid;
    grid.setCols(8);
    grid.setRows(1);
    grid.setFixedCols(1);
    for (int c = 0; c < 8; ++c)
        grid.setTextMatrix(0, c, QString("Col%1").arg(c));
    for (int r = 1; r <= 111; ++r)
        grid.AddItem(QString::number(r - 1) + "\t0.123456789012345\t2\t3\t4\t5\t6\t7");
    grid.ajustaColumnas();
    grid.resize(300, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.scrollToItem(grid.item(111, 7));
    QVERIFY(grid.verticalScrollBar()->value() > 0);
    QVERIFY(grid.horizontalScrollBar()->value() > 0);
    // What stands at a point of the grid's area, as the user sees it: the cell under it.
    const auto celdaEn = [&grid](QPoint punto) {
        QWidget* w = grid.childAt(grid.viewport()->geometry().topLeft() + punto);
        auto* vista = w ? qobject_cast<QTableView*>(w->parentWidget()) : nullptr;
        const QModelIndex i = vista ? vista->indexAt(punto - (w->mapTo(&grid, QPoint()) -
                                                              grid.viewport()->geometry().topLeft()))
                                    : QModelIndex();
        return i.isValid() ? grid.textMatrix(i.row(), i.column()) : QString("?");
    };
    QCOMPARE(celdaEn(QPoint(2, 2)), QStringLiteral("Col0"));
    QCOMPARE(celdaEn(QPoint(2, grid.viewport()->height() - 4)), QStringLiteral("110"));
    QVERIFY(celdaEn(QPoint(grid.columnWidth(0) + 2, 2)).startsWith("Col"));
    // A click on the fixed header is a click of the grid; the current cell stays.
    grid.setRow(5);
    QSignalSpy clics(&grid, &FlexGrid::Click);
    QWidget* cabecera = grid.childAt(grid.viewport()->geometry().topLeft() + QPoint(2, 2));
    QTest::mouseClick(cabecera, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    QCOMPARE(clics.count(), 1);
    QCOMPARE(grid.row(), 5);
}

void TestFlexGrid::teclasLleganAlFormulario()
{
    FlexGrid grid;
    grid.setCols(2);
    grid.setRows(3);
    QSignalSpy pulsadas(&grid, &FlexGrid::KeyPress);
    QSignalSpy soltadas(&grid, &FlexGrid::KeyUp);
    QTest::keyClick(&grid, '5');
    QTest::keyClick(&grid, '.');
    QTest::keyClick(&grid, Qt::Key_Backspace);
    QCOMPARE(pulsadas.count(), 3);
    QCOMPARE(pulsadas.at(0).at(0).value<QChar>(), QChar('5'));
    QCOMPARE(pulsadas.at(1).at(0).value<QChar>(), QChar('.'));
    QCOMPARE(soltadas.last().at(0).toInt(), int(Qt::Key_Backspace));
    // The grid has no editor of its own: typing changes no cell.
    QCOMPARE(grid.text(), QString());
}

void TestFlexGrid::cargaFlexgridEnLaGrilla()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values (1, ' CSO ', 0, 100)");
    base.sql("insert into C_TablaMortalidad values (2, 'GAM', 5.5, 99)");
    FlexGrid grid;
    grid.setCols(4);
    grid.setRows(1);
    CargaFlexgrid(base.entorno(), "SELECT * FROM C_TablaMortalidad", grid);
    QCOMPARE(grid.rows(), 3);
    QCOMPARE(FilaGrid(&grid, 1), (QStringList{"1", "CSO", "0", "100"}));
    QCOMPARE(FilaGrid(&grid, 2), (QStringList{"2", "GAM", "5.5", "99"}));
}

void TestFlexGrid::listaNoEligeAlAgregar()
{
    BaseTemporal base;
    ComboLista lista;
    QSignalSpy selecciones(&lista, &QComboBox::currentIndexChanged);
    LlenaCombo(base.entorno(), "SELECT * FROM C_TipoComision", lista);
    QCOMPARE(lista.count(), 2);
    QCOMPARE(lista.currentIndex(), -1);
    QCOMPARE(selecciones.count(), 0);
    QVERIFY(lista.seleccionaClave(2));
    QCOMPARE(lista.currentText(), QStringLiteral("Comisión varios años"));
    QCOMPARE(lista.claveActual(), 2);
    QCOMPARE(selecciones.count(), 1);
    QVERIFY(!lista.seleccionaClave(9));
    QCOMPARE(lista.claveActual(), 2);
}

void TestFlexGrid::cajaRealConTituloTextoEIcono()
{
    QtDialogos dialogos;
    QString titulo, texto;
    QMessageBox::Icon icono = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
        auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(caja);
        titulo = caja->windowTitle();
        texto = caja->text();
        icono = caja->icon();
        // Enter answers the box's default, here No.
        QTest::keyClick(caja, Qt::Key_Return);
    });
    const auto r = dialogos.mensaje("Desea inicializar el sistema", Dialogos::Botones::SiNo,
                                    Dialogos::Icono::Informacion, TituloAplicacion, Dialogos::Respuesta::No);
    QCOMPARE(r, Dialogos::Respuesta::No);
    QCOMPARE(titulo, TituloAplicacion);
    QCOMPARE(texto, QStringLiteral("Desea inicializar el sistema"));
    QCOMPARE(icono, QMessageBox::Information);
}

void TestFlexGrid::botonesEnEspanol()
{
    QVERIFY(InstalaTraduccionQt());
    QtDialogos dialogos;
    QStringList botones;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
        auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(caja);
        for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
            botones << caja->button(b)->text().remove('&');
        caja->button(QMessageBox::Cancel)->click();
    });
    const auto r = dialogos.mensaje("la tabla ha sufrido cambios, deseas guardarlos", Dialogos::Botones::SiNoCancelar,
                                    Dialogos::Icono::Ninguno, TituloAplicacion, Dialogos::Respuesta::Aceptar);
    QCOMPARE(r, Dialogos::Respuesta::Cancelar);
    QCOMPARE(botones, (QStringList{"Sí", "No", "Cancelar"}));
}

void TestFlexGrid::filtroDeArchivos()
{
    QCOMPARE(QtDialogos::FiltroQt("Archivo de valores separados por comas|*.csv"),
             QStringLiteral("Archivo de valores separados por comas (*.csv *.CSV)"));
}

QTEST_MAIN(TestFlexGrid)
#include "TestFlexGrid.moc"
