#include "support/BaseTemporal.h"
#include "support/PruebaUi.h"
#include "ui/GraficosResultado.h"
#include "ui/MDIForm1.h"
#include "ui/frmResultados.h"

#include <QAccessible>
#include <QChartView>
#include <QFile>
#include <QGraphicsTextItem>
#include <QScopeGuard>

using namespace valvida;
using namespace valvida::prueba;

class TestfrmResultados : public QObject
{
    Q_OBJECT

    std::unique_ptr<BaseTemporal> m_base;
    std::unique_ptr<MDIForm1> m_principal;
    frmResultados* m_form = nullptr;

    void abre(int anchoPrincipal = 1400)
    {
        m_principal = std::make_unique<MDIForm1>(m_base->entorno());
        m_principal->resize(anchoPrincipal, 1000);
        m_principal->show();
        m_form = m_principal->abreResultados();
    }
    template <class W = QWidget> W* control(const char* nombre)
    {
        return m_form->findChild<W*>(QString::fromLatin1(nombre));
    }
    // The texts the charts draw cut short, and an age-axis title that does not stand under its plot.
    QString textosMalPuestos()
    {
        QString mal;
        for (auto* vista : m_form->findChildren<QChartView*>())
            for (QGraphicsItem* item : vista->scene()->items())
                if (auto* t = dynamic_cast<QGraphicsTextItem*>(item);
                    t && t->isVisible() &&
                    (t->toPlainText().endsWith("...") ||
                     (t->toPlainText() == "Edad Alcanzada" &&
                      (t->sceneBoundingRect().top() < vista->chart()->plotArea().bottom() ||
                       !vista->sceneRect().contains(t->sceneBoundingRect())))))
                    mal += t->toPlainText() + ' ';
        return mal;
    }

  private slots:
    void init()
    {
        m_principal.reset();
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain)); // the grids' numbers take its marks
        // 1: one-year cover of 6 months at 40, sum insured 100000. 2: its table has no catalogue row,
        // so the list leaves it out. 3: whole life 80-15 at 30, sum insured 2000. 4: never calculated.
        m_base = std::make_unique<BaseTemporal>();
        m_base->sql("insert into C_TablaMortalidad values (1, 'CSO 80', 0, 100), (2, 'GAM 71', 0, 110)");
        m_base->sql("insert into T_Escenario values (1, 40, 100000, 1, 1, 4.5, 1, 1, 6, 'Mensual', 0), "
                    "(2, 50, 9999, 3, 1, 5, 9, 2, 2, 'Sin tabla', 0), (3, 30, 2000, 2, 2, 3, 2, 80, 15, 'Vida', 3), "
                    "(4, 30, 5000, 1, 1, 4.5, 1, 10, 10, 'Nuevo', 0)");
        m_base->sql("with recursive t(n) as (select 0 union all select n + 1 from t where n < 80) "
                    "insert into T_Resultado select 3, n, 30 + n, 0.001 * (n + 1), 0.0123, 0.015, 9.5, 0.25, 0.01 * n, "
                    "0.02, 0.5, 7 "
                    "from t union all select 1, n, 40, 0.0005, 0.012345, 0.0123456789, 0, 0, 0.001 * n, 0, 0, 0 "
                    "from t where n <= 6");
    }

    void eligeEscenario_data()
    {
        QTest::addColumn<int>("antes");         // the list row clicked first
        QTest::addColumn<int>("gesto");         // then a key, or a click on the number of this list row
        QTest::addColumn<QStringList>("vista"); // title, first header and row, summary, scenario exported
        // 0.012345 x 100000 = 1234.5; 0.0123456789 x 100000 = 1234.5679 at four decimals.
        // The results to 8 decimals in the locale's mark.
        const QStringList uno{
            "Escenario 1: Temporal 1-6", "Mes Póliza",
            "0|40|0,00000000|0,00050000|0,01234500|0,01234568|0,00000000|0,00000000|0,00000000|0,00000000|0,00000000",
            "Prima Nivelada Anual: 1234.5\r\nPrima Tarifa Anual:   1234.5679", "1"};
        // Row 2 holds scenario 3, as scenario 2 is not listed. 0.0123 x 2000 = 24.6; 0.015 x 2000 = 30.
        // clang-format off
        QTest::newRow("clic en el número") << 1 << 2 << QStringList{"Escenario 3: Vida Entera 80-15", "Año Póliza",
            "0|30|0,00000000|0,00100000|0,01230000|0,01500000|9,50000000|0,25000000|0,02000000|0,50000000|7,00000000",
            "Prima Nivelada Anual: 24.6\r\nPrima Tarifa Anual:   30", "3"};
        QTest::newRow("flecha arriba") << 2 << int(Qt::Key_Up) << uno;
        QTest::newRow("arriba en la primera fila") << 1 << int(Qt::Key_Up) << uno; // the header is no scenario
        // The first scenario shown: its empty charts were never laid out with ages.
        QTest::newRow("sin resultados") << 0 << 3 << QStringList{"Escenario 4: Temporal 10-10", "Año Póliza", "", "", "4"};
        // clang-format on
    }

    void eligeEscenario()
    {
        QFETCH(int, antes);
        QFETCH(int, gesto);
        abre();
        auto* lista = control<FlexGrid>("MSFlexGrid1");
        auto* tabla = control<FlexGrid>("MSFlexGrid2");
        if (antes)
            ClicCelda(lista, antes, 1);
        gesto > 3 ? QTest::keyClick(lista, Qt::Key(gesto)) : ClicCelda(lista, gesto, 0);
        m_base->dialogos.eligeArchivo(m_base->carpeta() + "/e");
        QTest::mouseClick(control("cmdVaciar"), Qt::LeftButton);
        QTEST((QStringList{control("Label4")->property("text").toString(), tabla->textMatrix(0, 0),
                           FilasGrid(tabla).value(0), control("Label3")->property("text").toString(),
                           LeeArchivo(m_base->carpeta() + "/e.csv").split('\n').value(2).split(',').at(0)}),
              "vista");
        // The sum insured as money, right-aligned as a number; the rate without trailing zeros.
        QCOMPARE(FilasGrid(lista).value(0), "1|40|Temporal|1|6|100.000,00|1|CSO 80|4,5");
        QVERIFY(lista->item(1, 5)->textAlignment() & Qt::AlignRight);
        // The chosen row is highlighted whole; the charts' texts stand whole and in place.
        const QModelIndexList resaltadas = lista->selectionModel()->selectedIndexes();
        QVERIFY(resaltadas.size() == lista->cols() - 1 && resaltadas.last().row() == lista->row());
        // Its number too, and no other row's.
        QVERIFY(lista->item(lista->row(), 0)->background() == lista->palette().highlight() &&
                lista->item(lista->row() % 3 + 1, 0)->background() == lista->palette().button());
        QTRY_COMPARE(textosMalPuestos(), QString());
        QVERIFY(m_base->dialogos.cajas.isEmpty());
    }

    void datosDeLosGraficos()
    {
        // A one-year cover's rows are months: each label is the age, a comma and the month from 0.
        const QList<FilaGrafico> meses{{40, 0.5, 0.25, 0.3, 0}, {40, 0.5, 0.25, 0.3, 0.125}, {40, 0.5, 0.25, 0.3, 0}};
        QStringList visto;
        const QList<FilaGrafico> anios{{35, 0, 0, 0, 0, 0}, {36, 0, 0, 0, 0.02, 0.019}};
        for (const DatosGrafico& datos : {DatosPrimas(meses, true), DatosReservas(anios, false)}) {
            visto << datos.titulo + '|' + datos.tituloEje + '|' + datos.etiquetas.join(' ');
            for (const SerieGrafico& serie : datos.series) {
                visto << serie.leyenda;
                for (const QPointF& p : serie.puntos)
                    visto.last() += QString(" %1=%2").arg(p.x()).arg(p.y());
            }
        }
        QCOMPARE(visto, (QStringList{"Primas|Edad Alcanzada|40,0 40,1 40,2", "Prima Riesgo 0=0.5 1=0.5 2=0.5",
                                     "Prima Neta Nivelada 0=0.25 1=0.25 2=0.25", "Prima Tarifa 0=0.3 1=0.3 2=0.3",
                                     "Reservas|Edad Alcanzada|35 36", "Reserva Matematica 0=0 1=0.02",
                                     "Valor de Rescate 0=0 1=0.019"}));
    }

    void seDisponeEnDosMitadesYAmpliaUnGrafico()
    {
        // At 16 points in a narrow main window, where room is shortest.
        const auto restaura = qScopeGuard([letra = QApplication::font()] { QApplication::setFont(letra); });
        QApplication::setFont(QFont(QApplication::font().family(), 16));
        abre(1000);
        // As the scenario form shows a scenario it has just calculated.
        QVERIFY(m_form->seleccionaEscenario(3));
        m_form->LlenaResultado(3);
        m_form->GeneraTitulo();
        QApplication::processEvents(); // the layout takes the widths of the columns loaded
        // Both halves side by side, each from top to bottom above the buttons; every text whole; usable:
        // a header and four rows in each grid, each chart 30 characters by 12 lines.
        const char* mitades[2][5] = {{"Label1", "MSFlexGrid1", "Label3", "MSChart1", "cmdVaciar"},
                                     {"Label2", "MSFlexGrid2", "Label4", "MSChart2", "cmdSalir"}};
        const QFontMetrics m = m_form->fontMetrics();
        for (int i = 0; i < 5; ++i) {
            QVERIFY2(control(mitades[0][i])->geometry().right() < control(mitades[1][i])->x(), mitades[0][i]);
            for (const auto* mitad : mitades) {
                QWidget* w = control(mitad[i]);
                QVERIFY2(i == 4 || w->geometry().bottom() < control(mitad[i + 1])->y(), mitad[i]);
                QVERIFY2(i % 2 || w->size().expandedTo(w->sizeHint()) == w->size(), mitad[i]);
                if (auto* grid = qobject_cast<FlexGrid*>(w))
                    QVERIFY(grid->viewport()->height() >= grid->rowHeight(0) + 4 * grid->rowHeight(1));
                QVERIFY(i != 3 || (w->width() >= 30 * m.averageCharWidth() && w->height() >= 12 * m.height()));
            }
        }
        QTRY_COMPARE(textosMalPuestos(), QString());
        QStringList nombres; // read by screen readers: the headings
        for (const char* n : {"MSFlexGrid1", "MSFlexGrid2", "MSChart1", "MSChart2"})
            nombres << QAccessible::queryAccessibleInterface(control(n))->text(QAccessible::Name);
        QCOMPARE(nombres.join(' '), QStringLiteral("Escenario Resultado Primas Reservas"));
        // A click enlarges a chart to the whole form, alone, its title naming the scenario; the next brings
        // the layout back.
        auto* vista = control<QChartView>("MSChart2");
        const QRect enSuMitad = vista->geometry();
        const auto activa = [vista] { QTest::mouseClick(vista->viewport(), Qt::LeftButton, {}, QPoint(9, 9)); };
        activa();
        QVERIFY(vista->geometry() == m_form->rect() && !control("MSChart1")->isVisible() &&
                !control("Label1")->isVisible() &&
                vista->chart()->title() == "Reservas - Escenario 3: Vida Entera 80-15");
        activa();
        QVERIFY(vista->geometry() == enSuMitad && control("MSChart1")->isVisible() && control("Label1")->isVisible() &&
                vista->chart()->title() == "Reservas");
    }
};

QTEST_MAIN(TestfrmResultados)
#include "TestfrmResultados.moc"
