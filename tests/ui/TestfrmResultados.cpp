#include "support/BaseTemporal.h"
#include "support/PruebaUi.h"
#include "ui/GraficosResultado.h"
#include "ui/MDIForm1.h"
#include "ui/frmResultados.h"

#include <QCategoryAxis>
#include <QChartView>
#include <QDir>
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

QChartView* Grafico(frmResultados* f, const char* nombre)
{
    return f->findChild<QChartView*>(QString::fromLatin1(nombre));
}

QStringList Leyendas(QChartView* vista)
{
    QStringList nombres;
    for (QAbstractSeries* s : vista->chart()->series())
        nombres << s->name();
    return nombres;
}

QList<double> Valores(QChartView* vista, int serie)
{
    QList<double> valores;
    const auto* linea = qobject_cast<QLineSeries*>(vista->chart()->series().value(serie));
    if (linea) {
        for (const QPointF& p : linea->points())
            valores << p.y();
    }
    return valores;
}

QCategoryAxis* EjeEdad(QChartView* vista)
{
    return qobject_cast<QCategoryAxis*>(vista->chart()->axes(Qt::Horizontal).value(0));
}

// Geometry and visibility of every named control: the form's layout as a reader sees it.
QStringList Disposicion(frmResultados* f)
{
    QStringList d;
    for (const char* nombre : {"MSFlexGrid1", "MSFlexGrid2", "MSChart1", "MSChart2", "Label1", "Label2", "Label3",
                               "Label4", "cmdVaciar", "cmdSalir"}) {
        const QWidget* w = f->findChild<QWidget*>(QString::fromLatin1(nombre));
        const QRect g = w->geometry();
        d << QStringLiteral("%1 %2,%3 %4x%5 %6")
                 .arg(QString::fromLatin1(nombre))
                 .arg(g.x())
                 .arg(g.y())
                 .arg(g.width())
                 .arg(g.height())
                 .arg(w->isVisibleTo(f) ? QStringLiteral("visible") : QStringLiteral("oculto"));
    }
    return d;
}

} // namespace

class TestfrmResultados : public QObject
{
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void listaDeEscenariosConSusCabeceras();
    void clicMuestraElEscenarioDelNumeroDeLaFila();
    void coberturaAnualPorMeses();
    void resumenDePrimasParaLaSumaAsegurada();
    void escenarioSinResultados();
    void clicSinEscenariosNoHaceNada();
    void leyendasTrasVariasElecciones();
    void ejeConEtiquetasLegibles_data();
    void ejeConEtiquetasLegibles();
    void disposicionEnDecimosDelTamanoExterior_data();
    void disposicionEnDecimosDelTamanoExterior();
    void dosActivacionesVuelvenALaVistaNormal_data();
    void dosActivacionesVuelvenALaVistaNormal();
    void mostrarOtraVezRepasaLaLista();
    void vaciarExcelUsaLaFilaElegida();
    void salirCierraLaVentana();

  private:
    frmResultados* abre();
    FlexGrid* lista() { return m_form->findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1")); }
    FlexGrid* tabla() { return m_form->findChild<FlexGrid*>(QStringLiteral("MSFlexGrid2")); }
    QString etiqueta(const char* nombre) { return m_form->findChild<QLabel*>(QString::fromLatin1(nombre))->text(); }

    std::unique_ptr<BaseTemporal> m_base;
    std::unique_ptr<MDIForm1> m_principal;
    frmResultados* m_form = nullptr;
};

void TestfrmResultados::init()
{
    m_base = std::make_unique<BaseTemporal>();
    Siembra(*m_base);
}

void TestfrmResultados::cleanup()
{
    m_form = nullptr;
    m_principal.reset();
    m_base.reset();
}

frmResultados* TestfrmResultados::abre()
{
    if (!m_principal) {
        m_principal = std::make_unique<MDIForm1>(m_base->entorno());
        m_principal->resize(1400, 1000);
        m_principal->show();
    }
    m_form = frmResultados::Muestra(*m_principal);
    return m_form;
}

void TestfrmResultados::listaDeEscenariosConSusCabeceras()
{
    abre();
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Resultados"));
    QCOMPARE(FilaGrid(lista(), 0), (QStringList{"Escenario", "Edad", "Tipo de Seguro", "Plazo Seguro", "Plazo Pago",
                                                "Suma Aseg.", "Id Mortalidad", "Mortalidad", "Interes Técnico"}));
    QCOMPARE(lista()->rows(), 4);
    QCOMPARE(FilaGrid(lista(), 1), (QStringList{"1", "40", "Temporal", "1", "6", "100000", "1", "CSO 80", "4.5"}));
    QCOMPARE(FilaGrid(lista(), 2), (QStringList{"3", "35", "Vida Entera", "20", "15", "2000", "2", "GAM 71", "3"}));
    QCOMPARE(FilaGrid(lista(), 3).first(), QStringLiteral("4"));
    QCOMPARE(FilaGrid(tabla(), 0), (QStringList{"Año Poliza", "Edad Alcanzada", "Reserva Matematica", "Prima Riesgo",
                                                "Prima Neta Nivelada", "Prima Tarifa"}));
    QCOMPARE(etiqueta("Label1"), QStringLiteral("Escenario"));
    QCOMPARE(etiqueta("Label2"), QStringLiteral("Resultado"));
    const auto* vaciar = m_form->findChild<QPushButton*>(QStringLiteral("cmdVaciar"));
    QCOMPARE(vaciar->text(), QStringLiteral("&Vaciar Excel"));
    QCOMPARE(vaciar->toolTip(), QStringLiteral("Descarga el escenario y el resultado"));
    QCOMPARE(m_form->findChild<QPushButton*>(QStringLiteral("cmdSalir"))->text(), QStringLiteral("&Salir"));
}

void TestfrmResultados::clicMuestraElEscenarioDelNumeroDeLaFila()
{
    abre();
    // Row 2 holds scenario 3 because scenario 2 is not listed: scenario 3's rows must show.
    ClicCelda(lista(), 2, 1);
    QCOMPARE(tabla()->rows(), 22);
    QCOMPARE(FilaGrid(tabla(), 0).first(), QStringLiteral("Año Póliza"));
    QCOMPARE(FilaGrid(tabla(), 1), (QStringList{"0", "35", "0", "0.001", "0.0123", "0.015"}));
    QCOMPARE(FilaGrid(tabla(), 21), (QStringList{"20", "55", "0.2", "0.021", "0.0123", "0.015"}));
    QCOMPARE(etiqueta("Label4"), QStringLiteral("Escenario 3: Vida Entera 20-15"));
    QCOMPARE(EjeEdad(Grafico(m_form, "MSChart1"))->titleText(), QStringLiteral("Edad Alcanzada"));

    // Chosen by number: a scenario the list lacks is not found, one it has is found by its row.
    QVERIFY(!m_form->seleccionaEscenario(2));
    QVERIFY(m_form->seleccionaEscenario(4));
    QCOMPARE(lista()->row(), 3);
    // The number reaches the table even for the unlisted scenario.
    m_form->LlenaResultado(2);
    QCOMPARE(tabla()->rows(), 3);
    QCOMPARE(FilaGrid(tabla(), 2), (QStringList{"1", "51", "0.4", "0.5", "0.9", "0.95"}));
    QVERIFY(m_base->dialogos.cajas.isEmpty());
}

void TestfrmResultados::coberturaAnualPorMeses()
{
    abre();
    ClicCelda(lista(), 1, 2);
    QCOMPARE(FilaGrid(tabla(), 0).first(), QStringLiteral("Mes Póliza"));
    QCOMPARE(tabla()->rows(), 8);
    const QStringList meses{"40,0", "40,1", "40,2", "40,3", "40,4", "40,5", "40,6"};
    for (const char* nombre : {"MSChart1", "MSChart2"})
        QCOMPARE(EjeEdad(Grafico(m_form, nombre))->categoriesLabels(), meses);
    QCOMPARE(Valores(Grafico(m_form, "MSChart1"), 1), QList<double>(7, 0.012345));
    QCOMPARE(Valores(Grafico(m_form, "MSChart2"), 0), (QList<double>{0, 0.001, 0.002, 0.003, 0.004, 0.005, 0.006}));
    // The current cells are left where the title put them.
    QCOMPARE(lista()->col(), 3);
    QCOMPARE(tabla()->row(), 0);
    QCOMPARE(tabla()->col(), 0);
}

void TestfrmResultados::resumenDePrimasParaLaSumaAsegurada()
{
    abre();
    ClicCelda(lista(), 1, 1);
    // 0.012345 x 100000 = 1234.5; 0.0123456789 x 100000 = 1234.56789 -> 1234.5679 at four decimals.
    QCOMPARE(etiqueta("Label3"), QStringLiteral("Prima Nivelada Anual: 1234.5\r\nPrima Tarifa Anual:   1234.5679"));
    const QStringList lineas = etiqueta("Label3").split(QStringLiteral("\r\n"));
    QCOMPARE(lineas.at(0).indexOf(QStringLiteral("1234")), 22);
    QCOMPARE(lineas.at(1).indexOf(QStringLiteral("1234")), 22);
    ClicCelda(lista(), 2, 1);
    // 0.0123 x 2000 = 24.6 and 0.015 x 2000 = 30.
    QCOMPARE(etiqueta("Label3"), QStringLiteral("Prima Nivelada Anual: 24.6\r\nPrima Tarifa Anual:   30"));
}

void TestfrmResultados::escenarioSinResultados()
{
    abre();
    ClicCelda(lista(), 2, 1);
    ClicCelda(lista(), 3, 1);
    QCOMPARE(tabla()->rows(), 1);
    QCOMPARE(FilaGrid(tabla(), 0), (QStringList{"Año Póliza", "Edad Alcanzada", "Reserva Matematica", "Prima Riesgo",
                                                "Prima Neta Nivelada", "Prima Tarifa"}));
    QCOMPARE(etiqueta("Label4"), QStringLiteral("Escenario 4: Temporal 10-10"));
    QCOMPARE(etiqueta("Label3"), QString());
    for (const char* nombre : {"MSChart1", "MSChart2"}) {
        QCOMPARE(EjeEdad(Grafico(m_form, nombre))->categoriesLabels(), QStringList());
        for (int s = 0; s < Grafico(m_form, nombre)->chart()->series().size(); ++s)
            QCOMPARE(Valores(Grafico(m_form, nombre), s), QList<double>());
    }
    QVERIFY(m_base->dialogos.cajas.isEmpty());
}

void TestfrmResultados::clicSinEscenariosNoHaceNada()
{
    m_base->sql("delete from T_Escenario");
    abre();
    QCOMPARE(lista()->rows(), 1);
    ClicCelda(lista(), 0, 2);
    QCOMPARE(tabla()->rows(), 1);
    QCOMPARE(etiqueta("Label4"), QString());
    QTest::mouseClick(m_form->findChild<QPushButton*>(QStringLiteral("cmdVaciar")), Qt::LeftButton);
    QVERIFY(m_base->dialogos.cajas.isEmpty());
    QVERIFY(m_base->dialogos.carpetasDialogo.isEmpty());
}

void TestfrmResultados::leyendasTrasVariasElecciones()
{
    abre();
    for (int fila : {1, 2, 3, 1, 2}) {
        ClicCelda(lista(), fila, 1);
        QCOMPARE(Leyendas(Grafico(m_form, "MSChart1")),
                 (QStringList{"Prima Riesgo", "Prima Neta Nivelada", "Prima Tarifa"}));
        QCOMPARE(Leyendas(Grafico(m_form, "MSChart2")), QStringList{"Reserva Matematica"});
        QCOMPARE(Grafico(m_form, "MSChart1")->chart()->title(), QStringLiteral("Primas"));
        QCOMPARE(Grafico(m_form, "MSChart2")->chart()->title(), QStringLiteral("Reservas"));
    }
    // Scenario 3 last: its risk premiums 0.001 to 0.021 year by year, the value axis holding them all.
    QList<double> riesgo;
    for (int t = 0; t <= 20; ++t)
        riesgo << 0.001 * (t + 1);
    QCOMPARE(Valores(Grafico(m_form, "MSChart1"), 0), riesgo);
    const auto* eje = qobject_cast<QValueAxis*>(Grafico(m_form, "MSChart1")->chart()->axes(Qt::Vertical).value(0));
    QVERIFY(eje->min() <= 0 && eje->max() >= 0.021 && eje->max() < 0.05);
}

void TestfrmResultados::ejeConEtiquetasLegibles_data()
{
    QTest::addColumn<int>("puntos");
    QTest::addColumn<int>("paso");
    QTest::newRow("siete meses") << 7 << 1;
    QTest::newRow("veinte") << 20 << 1;
    QTest::newRow("veintiuno") << 21 << 2;
    QTest::newRow("cuarenta y uno") << 41 << 5;
    QTest::newRow("ciento uno") << 101 << 10;
    QTest::newRow("ninguno") << 0 << 1;
}

void TestfrmResultados::ejeConEtiquetasLegibles()
{
    QFETCH(int, puntos);
    QFETCH(int, paso);
    QCOMPARE(PasoEtiquetas(puntos, 20), paso);
    QList<FilaGrafico> filas;
    for (int t = 0; t < puntos; ++t)
        filas << FilaGrafico{30.0 + t, 0, 0, 0, 0};
    const DatosGrafico datos = DatosReservas(filas, false);
    QCOMPARE(datos.etiquetas.size(), puntos);
    if (puntos > 0) {
        QCOMPARE(datos.etiquetas.first(), QStringLiteral("30"));
        QCOMPARE(datos.etiquetas.last(), QString::number(29 + puntos));
    }
}

void TestfrmResultados::disposicionEnDecimosDelTamanoExterior_data()
{
    QTest::addColumn<int>("escala");
    // The 10000 x 8000 example at a tenth and at a fifth of its size.
    QTest::newRow("1000 x 800") << 1;
    QTest::newRow("2000 x 1600") << 2;
}

void TestfrmResultados::disposicionEnDecimosDelTamanoExterior()
{
    QFETCH(int, escala);
    abre();
    auto* ventana = qobject_cast<QMdiSubWindow*>(m_form->parentWidget());
    QVERIFY(ventana);
    ventana->resize(1000 * escala, 800 * escala);
    const auto geometria = [this](const char* nombre) {
        return m_form->findChild<QWidget*>(QString::fromLatin1(nombre))->geometry();
    };
    const int e = escala;
    QCOMPARE(geometria("MSFlexGrid1"), QRect(0, 40 * e, 500 * e, 280 * e));
    QCOMPARE(geometria("MSFlexGrid2"), QRect(500 * e, 40 * e, 500 * e, 280 * e));
    QCOMPARE(geometria("Label3"), QRect(0, 320 * e, 500 * e, 80 * e));
    QCOMPARE(geometria("Label4"), QRect(500 * e, 320 * e, 500 * e, 80 * e));
    QCOMPARE(geometria("MSChart1"), QRect(0, 400 * e, 500 * e, 320 * e));
    QCOMPARE(geometria("MSChart2"), QRect(500 * e, 400 * e, 500 * e, 320 * e));
    QCOMPARE(geometria("Label1").topLeft(), QPoint(0, 0));
    QCOMPARE(geometria("Label1").width(), 500 * e);
    QCOMPARE(geometria("Label2").topLeft(), QPoint(500 * e, 0));
    QCOMPARE(geometria("cmdVaciar").y(), 720 * e);
    QCOMPARE(geometria("cmdSalir").y(), 720 * e);
    QCOMPARE(m_form->UnidadAncho(), 100.0 * e);
    QCOMPARE(m_form->UnidadAlto(), 80.0 * e);
}

void TestfrmResultados::dosActivacionesVuelvenALaVistaNormal_data()
{
    QTest::addColumn<QString>("grafico");
    QTest::newRow("primas") << "MSChart1";
    QTest::newRow("reservas") << "MSChart2";
}

void TestfrmResultados::dosActivacionesVuelvenALaVistaNormal()
{
    QFETCH(QString, grafico);
    abre();
    qobject_cast<QMdiSubWindow*>(m_form->parentWidget())->resize(1000, 800);
    ClicCelda(lista(), 2, 1);
    const QStringList normal = Disposicion(m_form);
    auto* vista = m_form->findChild<QChartView*>(grafico);
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

    // Resized while enlarged: back to its half-size place, still alone; the next click shows all.
    activa();
    qobject_cast<QMdiSubWindow*>(m_form->parentWidget())->resize(1200, 900);
    QVERIFY(!m_form->VistaNormal());
    QCOMPARE(vista->geometry().size(), QSize(600, 360));
    QCOMPARE(m_form->findChild<QWidget*>(QStringLiteral("MSFlexGrid1"))->isVisibleTo(m_form), false);
    activa();
    QVERIFY(m_form->VistaNormal());
    qobject_cast<QMdiSubWindow*>(m_form->parentWidget())->resize(1000, 800);
    QCOMPARE(Disposicion(m_form), normal);

    // Re-activated while enlarged: the same.
    activa();
    auto* otra = m_principal->agregaHija(new QWidget);
    QCOMPARE(m_principal->areaMdi()->activeSubWindow(), otra);
    m_principal->areaMdi()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(m_form->parentWidget()));
    QCOMPARE(vista->geometry().size(), QSize(500, 320));
    QVERIFY(!m_form->VistaNormal());
}

void TestfrmResultados::mostrarOtraVezRepasaLaLista()
{
    frmResultados* primero = abre();
    ClicCelda(lista(), 2, 1);
    m_base->sql("insert into T_Escenario values (5, 45, 3000, 4, 1, 4.5, 1, 10, 10, 'Nuevo', 0)");

    QCOMPARE(abre(), primero);
    QCOMPARE(m_principal->areaMdi()->subWindowList().size(), 1);
    QCOMPARE(lista()->rows(), 5);
    QCOMPARE(FilaGrid(lista(), 4).mid(0, 3), (QStringList{"5", "45", "Dotal Puro"}));
    // Scenario 3 stays chosen, so the scenario form's call order still fills the right one.
    QCOMPARE(lista()->row(), 2);
    QVERIFY(m_form->seleccionaEscenario(5));
    m_form->LlenaResultado(5);
    m_form->GeneraTitulo();
    QCOMPARE(etiqueta("Label4"), QStringLiteral("Escenario 5: Dotal Puro 10-10"));
}

void TestfrmResultados::vaciarExcelUsaLaFilaElegida()
{
    m_base->sql("insert into T_Conmutado values (2, 35, 3, 0.1, 1, 0.1, 1, 0.1, 1, 0.9, 1, 0.1)");
    m_base->sql("insert into T_Conmutado values (2, 35, 4.5, 0.2, 1, 0.2, 1, 0.2, 1, 0.8, 1, 0.2)");
    abre();
    ClicCelda(lista(), 3, 1);
    ClicCelda(lista(), 2, 1);
    auto* vaciar = m_form->findChild<QPushButton*>(QStringLiteral("cmdVaciar"));

    m_base->dialogos.eligeArchivo(QString());
    QTest::mouseClick(vaciar, Qt::LeftButton);
    QCOMPARE(QDir(m_base->carpeta()).entryList(QDir::Files), QStringList{QStringLiteral("cavi.mdb")});

    m_base->dialogos.eligeArchivo(m_base->carpeta() + QStringLiteral("/vida"));
    QTest::mouseClick(vaciar, Qt::LeftButton);
    QFile f(m_base->carpeta() + QStringLiteral("/vida.csv"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lineas = f.readAll().split('\n');
    QCOMPARE(lineas.at(2), QByteArray("3,35,2000,2,2,3,2,20,15,Vida entera,3\r"));
    QCOMPARE(lineas.at(3), QByteArray("T_Resultado\r"));
    QCOMPARE(lineas.at(5), QByteArray("3,0,35,0.001,0.0123,0.015,0,0,0,0,0,0\r"));
    // Table 2 at the row's rate 3: the one row at that rate.
    const qsizetype conmutado = lineas.indexOf("T_Conmutado\r");
    QCOMPARE(lineas.at(conmutado + 2), QByteArray("2,35,3,0.1,1,0.1,1,0.1,1,0.9,1,0.1\r"));
    QCOMPARE(lineas.at(conmutado + 3), QByteArray("T_Comision\r"));
    QCOMPARE(m_base->dialogos.carpetasDialogo.size(), 2);
    QVERIFY(m_base->dialogos.cajas.isEmpty());
    QCOMPARE(m_base->dialogos.reloj, 0);
}

void TestfrmResultados::salirCierraLaVentana()
{
    abre();
    QTest::mouseClick(m_form->findChild<QPushButton*>(QStringLiteral("cmdSalir")), Qt::LeftButton);
    QTRY_VERIFY(m_principal->areaMdi()->subWindowList().isEmpty());
    QCOMPARE(m_principal->hija<frmResultados>(), nullptr);
}

QTEST_MAIN(TestfrmResultados)
#include "TestfrmResultados.moc"
