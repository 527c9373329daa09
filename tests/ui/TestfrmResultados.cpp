#include "support/BaseTemporal.h"
#include "support/PruebaUi.h"
#include "ui/GraficosResultado.h"
#include "ui/MDIForm1.h"
#include "ui/frmResultados.h"

#include <QCategoryAxis>
#include <QChartView>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QValueAxis>

#include <memory>

using namespace valvida;
using valvida::prueba::BaseTemporal;
using valvida::prueba::ClicCelda;
using valvida::prueba::FilaGrid;
using valvida::prueba::FilasGrid;

namespace {

/*
 * Scenario 1: one-year cover of 6 months at age 40, sum insured 100000, months 0 to 6.
 * Scenario 2: its table 9 has no catalogue row, so the list leaves it out.
 * Scenario 3: whole life 20-15 at age 35, sum insured 2000, policy years 0 to 20.
 * Scenario 4: stored, never calculated.
 * List rows: 1 -> scenario 1, 2 -> scenario 3, 3 -> scenario 4.
 */
void Siembra(BaseTemporal& b)
{
    b.sql("insert into C_TablaMortalidad values (1, 'CSO 80', 0, 100)");
    b.sql("insert into C_TablaMortalidad values (2, 'GAM 71', 0, 110)");
    b.sql("insert into T_Escenario values (1, 40, 100000, 1, 1, 4.5, 1, 1, 6, 'Mensual', 0)");
    b.sql("insert into T_Escenario values (2, 50, 9999, 3, 1, 5, 9, 2, 2, 'Sin tabla', 0)");
    b.sql("insert into T_Escenario values (3, 35, 2000, 2, 2, 3, 2, 20, 15, 'Vida entera', 3)");
    b.sql("insert into T_Escenario values (4, 30, 5000, 1, 1, 4.5, 1, 10, 10, 'Sin calcular', 0)");
    for (int mes = 0; mes <= 6; ++mes)
        b.sql("insert into T_Resultado values (1, ?, 40, 0.0005, 0.012345, 0.0123456789, 0, 0, ?, 0, 0, 0)",
              {mes, 0.001 * mes});
    b.sql("insert into T_Resultado values (2, 0, 50, 0.5, 0.9, 0.95, 0, 0, 0, 0, 0, 0)");
    b.sql("insert into T_Resultado values (2, 1, 51, 0.5, 0.9, 0.95, 0, 0, 0.4, 0, 0, 0)");
    for (int t = 0; t <= 20; ++t)
        b.sql("insert into T_Resultado values (3, ?, ?, ?, 0.0123, 0.015, 0, 0, ?, 0, 0, 0)",
              {t, 35 + t, 0.001 * (t + 1), 0.01 * t});
}

// A chart as a reader sees it: title, axis title and labels, then each series' legend and values.
QStringList Describe(QChartView* vista)
{
    auto* eje = qobject_cast<QCategoryAxis*>(vista->chart()->axes(Qt::Horizontal).value(0));
    QStringList d{vista->chart()->title(), eje->titleText() + QStringLiteral(": ") + eje->categoriesLabels().join(' ')};
    for (QAbstractSeries* s : vista->chart()->series()) {
        QString serie = s->name() + QLatin1Char(':');
        for (const QPointF& p : qobject_cast<QLineSeries*>(s)->points())
            serie += QLatin1Char(' ') + QString::number(p.y(), 'g', 15);
        d << serie;
    }
    return d;
}

// Geometry and visibility of every control: the form's layout.
QStringList Disposicion(QWidget* f)
{
    QStringList d;
    for (QWidget* w : f->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect g = w->geometry();
        d << w->objectName() + QString::asprintf(" %d,%d %dx%d %d", g.x(), g.y(), g.width(), g.height(),
                                                 int(w->isVisibleTo(f)));
    }
    d.sort(); // raising a chart reorders the children
    return d;
}

const QString CabeceraResultado =
    QStringLiteral("Año Póliza|Edad Alcanzada|Reserva Matematica|Prima Riesgo|Prima Neta Nivelada|Prima Tarifa");

} // namespace

class TestfrmResultados : public QObject
{
    Q_OBJECT

    std::unique_ptr<BaseTemporal> m_base;
    std::unique_ptr<MDIForm1> m_principal;
    frmResultados* m_form = nullptr;

    frmResultados* abre()
    {
        if (!m_principal) {
            m_principal = std::make_unique<MDIForm1>(m_base->entorno());
            m_principal->resize(1400, 1000);
            m_principal->show();
        }
        return m_form = frmResultados::Muestra(*m_principal);
    }
    FlexGrid* lista() { return m_form->findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1")); }
    FlexGrid* tabla() { return m_form->findChild<FlexGrid*>(QStringLiteral("MSFlexGrid2")); }
    QChartView* grafico(const QString& nombre) { return m_form->findChild<QChartView*>(nombre); }
    QString etiqueta(const char* nombre) { return m_form->findChild<QLabel*>(QString::fromLatin1(nombre))->text(); }
    QPushButton* boton(const char* nombre) { return m_form->findChild<QPushButton*>(QString::fromLatin1(nombre)); }
    QMdiSubWindow* ventana() { return qobject_cast<QMdiSubWindow*>(m_form->parentWidget()); }

  private slots:
    void init()
    {
        m_base = std::make_unique<BaseTemporal>();
        Siembra(*m_base);
    }

    void cleanup()
    {
        m_form = nullptr;
        m_principal.reset();
        m_base.reset();
    }

    void clicMuestraElEscenarioDeLaFila_data()
    {
        QTest::addColumn<int>("antes");
        QTest::addColumn<int>("fila");
        QTest::addColumn<QStringList>("filas");
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<QString>("resumen");
        QTest::addColumn<QStringList>("etiquetas");

        // 0.012345 x 100000 = 1234.5; 0.0123456789 x 100000 = 1234.56789 -> 1234.5679 at four
        // decimals; both amounts start at character 22.
        QTest::newRow("seis meses")
            << 3 << 1
            << QStringList{QString(CabeceraResultado).replace("Año", "Mes"), "0|40|0|0.0005|0.012345|0.0123456789",
                           "6|40|0.006|0.0005|0.012345|0.0123456789"}
            << "Escenario 1: Temporal 1-6" << "Prima Nivelada Anual: 1234.5\r\nPrima Tarifa Anual:   1234.5679"
            << QStringList{"40,0", "40,1", "40,2", "40,3", "40,4", "40,5", "40,6"};
        // Row 2 holds scenario 3, as scenario 2 is not listed. 0.0123 x 2000 = 24.6; 0.015 x 2000 = 30.
        // 21 years: every second age on the axis.
        QTest::newRow("fila 2, escenario 3")
            << 1 << 2 << QStringList{CabeceraResultado, "0|35|0|0.001|0.0123|0.015", "20|55|0.2|0.021|0.0123|0.015"}
            << "Escenario 3: Vida Entera 20-15" << "Prima Nivelada Anual: 24.6\r\nPrima Tarifa Anual:   30"
            << QStringList{"35", "37", "39", "41", "43", "45", "47", "49", "51", "53", "55"};
        QTest::newRow("sin resultados") << 2 << 3 << QStringList{CabeceraResultado} << "Escenario 4: Temporal 10-10"
                                        << QString() << QStringList();
    }

    void clicMuestraElEscenarioDeLaFila()
    {
        QFETCH(int, antes);
        QFETCH(int, fila);
        QFETCH(QStringList, filas);
        QFETCH(QStringList, etiquetas);
        abre();
        ClicCelda(lista(), antes, 1);
        ClicCelda(lista(), fila, 1);

        // The header, the first and the last result row; the title and the summary.
        QStringList vistas{FilaGrid(tabla(), 0).join('|')};
        if (tabla()->rows() > 1)
            vistas << FilasGrid(tabla()).first() << FilasGrid(tabla()).last();
        QCOMPARE(vistas, filas);
        QTEST(etiqueta("Label4"), "titulo");
        QTEST(etiqueta("Label3"), "resumen");

        // Both charts draw the table's own columns under their titles and legends, whatever came before.
        const auto columna = [this](int c) {
            QString valores;
            for (int r = 1; r < tabla()->rows(); ++r)
                valores += QLatin1Char(' ') + QString::number(tabla()->textMatrix(r, c).toDouble(), 'g', 15);
            return valores;
        };
        const QString eje = "Edad Alcanzada: " + etiquetas.join(' ');
        QCOMPARE(Describe(grafico("MSChart1")), (QStringList{"Primas", eje, "Prima Riesgo:" + columna(3),
                                                             "Prima Neta Nivelada:" + columna(4), "Prima Tarifa:" + columna(5)}));
        QCOMPARE(Describe(grafico("MSChart2")), (QStringList{"Reservas", eje, "Reserva Matematica:" + columna(2)}));
        // The value axis holds every premium, from zero (the tariff premium is the largest here).
        const auto* valores = qobject_cast<QValueAxis*>(grafico("MSChart1")->chart()->axes(Qt::Vertical).value(0));
        QVERIFY(valores->min() <= 0 && valores->max() >= tabla()->textMatrix(1, 5).toDouble());
        // The current cells are left where the title put them.
        QCOMPARE((QList<int>{lista()->col(), tabla()->row(), tabla()->col()}), (QList<int>{3, 0, 0}));
        QVERIFY(m_base->dialogos.cajas.isEmpty());
    }

    void escenarioFueraDeLaLista()
    {
        abre();
        ClicCelda(lista(), 2, 1);
        // Scenario 2 has no catalogue row: no scenario stays chosen, so nothing is titled or
        // exported as if it were scenario 3; its rows still show by number.
        QVERIFY(!m_form->seleccionaEscenario(2));
        QCOMPARE(lista()->row(), 0);
        m_form->LlenaResultado(2);
        const QStringList filas{"0|50|0|0.5|0.9|0.95", "1|51|0.4|0.5|0.9|0.95"};
        QCOMPARE(FilasGrid(tabla()), filas);
        QCOMPARE(lista()->col(), 3);
        // With no scenario row current, a click on the list or on the export does nothing.
        ClicCelda(lista(), 0, 2);
        QTest::mouseClick(boton("cmdVaciar"), Qt::LeftButton);
        QCOMPARE(FilasGrid(tabla()), filas);
        QCOMPARE(etiqueta("Label4") + etiqueta("Label3"), QString());
        QVERIFY(m_base->dialogos.carpetasDialogo.isEmpty());
        QVERIFY(m_base->dialogos.cajas.isEmpty());
    }

    void pasoDeLasEtiquetas()
    {
        // At most 20 labels: every 1, 2, 5, 10... points, the smallest step that fits.
        for (const auto& [puntos, paso] : QList<QPair<int, int>>{{0, 1}, {20, 1}, {41, 5}, {101, 10}})
            QCOMPARE(PasoEtiquetas(puntos, 20), paso);
    }

    void disposicionEnDecimosDelTamanoExterior()
    {
        // The 10000 x 8000 example at a fifth of its size (the chart test below draws it at a tenth).
        const int e = 2;
        abre();
        ventana()->resize(1000 * e, 800 * e);
        const auto g = [this](const char* nombre) {
            return m_form->findChild<QWidget*>(QString::fromLatin1(nombre))->geometry();
        };
        for (const auto& [nombre, r] : QList<QPair<const char*, QRect>>{{"MSFlexGrid1", {0, 40, 500, 280}},
                                                                        {"MSFlexGrid2", {500, 40, 500, 280}},
                                                                        {"Label3", {0, 320, 500, 80}},
                                                                        {"Label4", {500, 320, 500, 80}},
                                                                        {"MSChart1", {0, 400, 500, 320}},
                                                                        {"MSChart2", {500, 400, 500, 320}}})
            QCOMPARE(g(nombre), QRect(r.topLeft() * e, r.size() * e));
        QCOMPARE((QList<int>{g("Label1").x(), g("Label1").y(), g("Label1").width(), g("Label2").x(), g("Label2").y(),
                             g("cmdVaciar").y(), g("cmdSalir").y()}),
                 (QList<int>{0, 0, 500 * e, 500 * e, 0, 720 * e, 720 * e}));
    }

    void dosActivacionesVuelvenALaVistaNormal()
    {
        abre();
        ventana()->resize(1000, 800);
        ClicCelda(lista(), 2, 1);
        const QStringList normal = Disposicion(m_form);
        for (const auto& [nombre, x] : QList<QPair<const char*, int>>{{"MSChart1", 0}, {"MSChart2", 500}}) {
            QChartView* vista = grafico(QString::fromLatin1(nombre));
            const auto activa = [vista] {
                QTest::mouseClick(vista->viewport(), Qt::LeftButton, Qt::NoModifier, vista->viewport()->rect().center());
            };
            activa();
            QVERIFY(!m_form->VistaNormal());
            QCOMPARE(vista->geometry(), m_form->rect());
            for (QWidget* w : m_form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                QCOMPARE(w->isVisibleTo(m_form), w == vista);
            activa();
            QVERIFY(m_form->VistaNormal());
            QCOMPARE(Disposicion(m_form), normal);

            // Re-activated while enlarged: back to its half-size place, still alone; the next click shows all.
            activa();
            QMdiSubWindow* otra = m_principal->agregaHija(new QWidget);
            QCOMPARE(m_principal->areaMdi()->activeSubWindow(), otra);
            m_principal->areaMdi()->setActiveSubWindow(ventana());
            QCOMPARE(vista->geometry(), QRect(x, 400, 500, 320));
            QVERIFY(!m_form->VistaNormal() && !lista()->isVisibleTo(m_form));
            activa();
            QCOMPARE(Disposicion(m_form), normal);
        }
    }

    void listaDeEscenariosRepasadaAlMostrarOtraVez()
    {
        frmResultados* primero = abre();
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Resultados"));
        QCOMPARE(FilaGrid(lista(), 0), (QStringList{"Escenario", "Edad", "Tipo de Seguro", "Plazo Seguro", "Plazo Pago",
                                                    "Suma Aseg.", "Id Mortalidad", "Mortalidad", "Interes Técnico"}));
        QCOMPARE(FilasGrid(lista()), (QStringList{"1|40|Temporal|1|6|100000|1|CSO 80|4.5",
                                                  "3|35|Vida Entera|20|15|2000|2|GAM 71|3",
                                                  "4|30|Temporal|10|10|5000|1|CSO 80|4.5"}));
        QCOMPARE(FilaGrid(tabla(), 0), (QStringList{"Año Poliza", "Edad Alcanzada", "Reserva Matematica",
                                                    "Prima Riesgo", "Prima Neta Nivelada", "Prima Tarifa"}));
        QCOMPARE((QStringList{etiqueta("Label1"), etiqueta("Label2"), boton("cmdVaciar")->text(),
                              boton("cmdVaciar")->toolTip(), boton("cmdSalir")->text()}),
                 (QStringList{"Escenario", "Resultado", "&Vaciar Excel", "Descarga el escenario y el resultado",
                              "&Salir"}));
        ClicCelda(lista(), 2, 1);
        m_base->sql("insert into T_Escenario values (5, 45, 3000, 4, 1, 4.5, 1, 10, 10, 'Nuevo', 0)");

        QCOMPARE(abre(), primero);
        QCOMPARE(m_principal->areaMdi()->subWindowList().size(), 1);
        QCOMPARE(FilasGrid(lista()).last(), QStringLiteral("5|45|Dotal Puro|10|10|3000|1|CSO 80|4.5"));
        // Scenario 3 stays chosen, so the scenario form's call order still fills the right one.
        QCOMPARE(lista()->row(), 2);
        QVERIFY(m_form->seleccionaEscenario(5));
        m_form->LlenaResultado(5);
        m_form->GeneraTitulo();
        QCOMPARE(etiqueta("Label4"), QStringLiteral("Escenario 5: Dotal Puro 10-10"));

        QTest::mouseClick(boton("cmdSalir"), Qt::LeftButton);
        QTRY_COMPARE(m_principal->hija<frmResultados>(), nullptr);
    }

    void vaciarExcelUsaElEscenarioDeLaFila()
    {
        m_base->sql("insert into T_Conmutado values (2, 35, 3, 0.1, 1, 0.1, 1, 0.1, 1, 0.9, 1, 0.1)");
        m_base->sql("insert into T_Conmutado values (2, 35, 4.5, 0.2, 1, 0.2, 1, 0.2, 1, 0.8, 1, 0.2)");
        abre();
        ClicCelda(lista(), 3, 1);
        ClicCelda(lista(), 2, 1);
        m_base->dialogos.eligeArchivo(m_base->carpeta() + QStringLiteral("/vida"));
        QTest::mouseClick(boton("cmdVaciar"), Qt::LeftButton);

        // Row 2 is scenario 3 (table 2, rate 3); ".csv" was added to the name typed.
        QFile f(m_base->carpeta() + QStringLiteral("/vida.csv"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lineas = f.readAll().split('\n');
        QCOMPARE(lineas.at(2), QByteArray("3,35,2000,2,2,3,2,20,15,Vida entera,3\r"));
        const qsizetype conmutado = lineas.indexOf("T_Conmutado\r");
        QCOMPARE(lineas.mid(conmutado + 2, 2),
                 (QList<QByteArray>{"2,35,3,0.1,1,0.1,1,0.1,1,0.9,1,0.1\r", "T_Comision\r"}));
        QCOMPARE(lista()->col(), 8);
        QVERIFY(m_base->dialogos.cajas.isEmpty());
        QCOMPARE(m_base->dialogos.reloj, 0);
    }
};

QTEST_MAIN(TestfrmResultados)
#include "TestfrmResultados.moc"
