#include "support/BaseTemporal.h"
#include "support/PruebaUi.h"
#include "ui/Arranque.h"
#include "ui/ComboLista.h"
#include "ui/QtDialogos.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QStyleOptionComboBox>
#include <QTimer>

using namespace valvida;
using namespace valvida::prueba;

class TestFlexGrid : public QObject
{
    Q_OBJECT

  private slots:
    void bandasFijasQuietasYEnteras()
    {
        FlexGrid grid;
        grid.setCols(8);
        grid.setFixedCols(1);
        for (int r = 0; r <= 111; ++r)
            grid.AddItem(QString::number(r) + "\t0.123456789012345\t2\t3\t4\t5\t6\t7");
        grid.ajustaColumnas();
        grid.resize(300, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        // Retitled and sized again alone, as a form does with its first header; then scrolled to the end.
        grid.setTextMatrix(0, 0, "Año Póliza larga");
        grid.ajustaColumnas();
        grid.scrollToItem(grid.item(grid.rows() - 1, 7));
        // What the user sees at a point of the cell area: the cell's text and the width it is drawn in.
        const auto celdaEn = [&grid](int x, int y) {
            QWidget* w = grid.childAt(grid.viewport()->geometry().topLeft() + QPoint(x, y));
            const QModelIndex i = qobject_cast<QTableView*>(w->parentWidget())->indexAt(QPoint(x, y) - w->pos());
            return grid.textMatrix(i.row(), i.column()) + '|' +
                   QString::number(qobject_cast<QTableView*>(w->parentWidget())->visualRect(i).width());
        };
        QVERIFY(celdaEn(2, grid.viewport()->height() - 4).startsWith("111|"));
        const int ancho = QFontMetrics(grid.item(0, 0)->font()).horizontalAdvance("Año Póliza larga");
        QVERIFY(celdaEn(2, 2).startsWith("Año Póliza larga|") && celdaEn(2, 2).section('|', 1).toInt() > ancho);
    }

    void listaTanAnchaComoSuEntradaMasLarga()
    {
        BaseTemporal base;
        ComboLista lista;
        LlenaCombo(base.entorno(), "SELECT * FROM C_TipoComision", lista);
        // At the narrowest a layout may make it, its text field holds the longest entry whole.
        QStyleOptionComboBox opcion;
        opcion.initFrom(&lista);
        opcion.rect = QRect(QPoint(), lista.minimumSizeHint());
        const QRect campo = lista.style()->subControlRect(QStyle::CC_ComboBox, &opcion, QStyle::SC_ComboBoxEditField);
        QVERIFY(campo.width() >= lista.fontMetrics().horizontalAdvance("Comisión primer año"));
    }

    void cajaRealEnEspanol()
    {
        QVERIFY(InstalaTraduccionQt());
        QtDialogos dialogos;
        QStringList vista;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
            auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            vista << caja->windowTitle() << caja->text() << QString::number(caja->icon());
            for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
                vista << caja->button(b)->text().remove('&');
            QTest::keyClick(caja, Qt::Key_Return); // Enter answers the box's default, here No
        });
        const QString texto = "la tabla ha sufrido cambios, deseas guardarlos";
        QCOMPARE(dialogos.mensaje(texto, Dialogos::Botones::SiNoCancelar, Dialogos::Icono::Informacion,
                                  TituloAplicacion, Dialogos::Respuesta::No),
                 Dialogos::Respuesta::No);
        QCOMPARE(vista, (QStringList{TituloAplicacion, texto, QString::number(QMessageBox::Information), "Sí", "No",
                                     "Cancelar"}));
        QCOMPARE(QtDialogos::FiltroQt("Archivo de valores separados por comas|*.csv"),
                 QStringLiteral("Archivo de valores separados por comas (*.csv *.CSV)"));
    }
};

QTEST_MAIN(TestFlexGrid)
#include "TestFlexGrid.moc"
