// valvida-lote tarifa and cartera, and the menu's portfolio valuation, on a database holding a
// small table worked by hand and the Illustrative Life Table.

#include "actuarial/almacen/Cartera.h"
#include "support/BaseTemporal.h"
#include "support/PruebaLote.h"
#include "support/Tolerancia.h"

#include <QFileInfo>
#include <QTest>

using namespace valvida;
using prueba::BaseTemporal;
using prueba::Lote;

namespace {

// Table 1, ages 0..5 at 0 %: l = 1, .9, .72, .54, .27, .135. Scenario 1: 5-year term at 0 with 3
// premiums, P = (M0 - M5)/(N0 - N3) = .865/2.62, and reserves read prospectively: V2 + P = the
// 3-year cover at 2 = .25 + .75 (.5 + .5 .5) = .8125, V3 = .5 + .5 .5 = .75, V4 = q4 = .5, V5 = 0.
// Scenario 2: a 6-month term cover at 0, P = q0 = .1, V(j) = (1 - (2j - 1)/12) P. Scenario 3:
// whole life at 0 with 3 premiums. On the table of Bowers et al. (table 2, 6 %): 4 a 20-year
// endowment at 40 with 15 premiums and a three-year schedule, 5 whole life at 30 (80 years, paid
// for life), 6 a 6-month cover at 50, 7 a modified premium paid once, whose reserve divides by 0.
class Fixture
{
  public:
    Fixture()
    {
        base.sql("insert into C_TablaMortalidad values(1, 'Seis edades', 0, 5)");
        base.sql("insert into T_DetalleMortalidad values(1,0,.1),(1,1,.2),(1,2,.25),(1,3,.5),(1,4,.5),(1,5,1)");
        QCOMPARE(Lote({"importar", base.ruta(), VALVIDA_TABLAS_DIR "/ilt-bowers.csv"}).out, QString("2\n"));
        base.sql("insert into T_Escenario values(1,0,1,1,1,0,1,5,3,'T',0),(2,0,1,1,1,0,1,1,6,'M',0),"
                 "(3,0,1,2,1,0,1,5,3,'V',0),(4,40,1,3,2,6,2,20,15,'D',3),(5,30,1,2,1,6,2,80,80,'VE',0),"
                 "(6,50,1,1,1,6,2,1,6,'M',0),(7,40,1,3,2,6,2,10,1,'U',0)");
        base.sql("insert into T_Comision values(1,1,0,0),(2,1,0,0),(3,1,0,0),(4,1,50,15),(4,2,20,0),(4,3,5,0),"
                 "(5,1,30,10),(6,1,10,0),(7,1,50,15)");
    }
    // A portfolio file of these bytes, valued by the command.
    prueba::SalidaLote cartera(const QByteArray& contenido)
    {
        return Lote({"cartera", base.ruta(), base.archivo("c.csv", contenido), salida()});
    }
    QString salida() const { return base.carpeta() + "/valorada.csv"; }
    BaseTemporal base;
};

QStringList Lineas(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts) : QStringList();
}

} // namespace

class TestLoteCartera : public QObject
{
    Q_OBJECT

  private slots:
    void reservaEnVigor_data();
    void reservaEnVigor();
    void tarifaComoCalcular_data();
    void tarifaComoCalcular();
    void vidaEnteraPorEdad();
    void lineaRechazada_data();
    void lineaRechazada();
    void menu();
};

void TestLoteCartera::reservaEnVigor_data()
{
    QTest::addColumn<QByteArray>("poliza");
    QTest::addColumn<double>("primaNeta");
    QTest::addColumn<double>("reserva");
    const double P = 865.0 / 2.62;
    // At issue the reserve is the first premium just paid.
    QTest::newRow("s = 0") << QByteArray("A,1,0,1000,0") << P << P;
    // Halfway through year 3, premiums still paid: (V2 + P + V3) / 2.
    QTest::newRow("s = 2.5") << QByteArray("A,1,0,1000,2.5") << P << 781.25;
    QTest::newRow("s = 3.5, sin prima") << QByteArray("A,1,0,1000,3.5") << P << 625.0;
    QTest::newRow("s = 4.25, último año") << QByteArray("A,1,0,1000,4.25") << P << 375.0;
    // Six months of cover: premium 6/12 of the year's; 0.3 years (3.6 months) reads the row of
    // month 3, 1000 (1 - 5/12) P; nothing is left after month 6.
    QTest::newRow("mes 3") << QByteArray("B,2,0,1000,0.3") << 50.0 << 700.0 / 12;
    QTest::newRow("pasada la cobertura") << QByteArray("B,2,0,1000,0.75") << 50.0 << 0.0;
}

void TestLoteCartera::reservaEnVigor()
{
    QFETCH(QByteArray, poliza);
    QFETCH(double, primaNeta);
    QFETCH(double, reserva);
    Fixture f;
    const prueba::SalidaLote s = f.cartera(CabeceraCartera.toUtf8() + "\r\n" + poliza + "\r\n");
    QCOMPARE(s.err, QString());
    const QStringList salida = Lineas(f.salida());
    QCOMPARE(salida.value(0), CabeceraCartera + "," + ColumnasValoradas);
    const QStringList campos = salida.value(1).split(',');
    QCOMPARE(campos.mid(0, 5).join(','), QString::fromUtf8(poliza));
    VV_CERCA(campos.value(5).toDouble(), primaNeta, 1e-9);
    VV_CERCA(campos.value(6).toDouble(), primaNeta, 1e-9); // no expense, no commission
    VV_CERCA(campos.value(7).toDouble(), reserva, 1e-9);
    QCOMPARE(s.out,
             "Pólizas: 1\nReserva total: " + campos.value(7) + "\nPrima de tarifa total: " + campos.value(6) + "\n");
}

void TestLoteCartera::tarifaComoCalcular_data()
{
    QTest::addColumn<QString>("escenario");
    QTest::addColumn<QString>("edad");
    QTest::addColumn<QString>("plazos");
    QTest::newRow("temporal") << "1"
                              << "0"
                              << "5,3";
    QTest::newRow("por meses") << "2"
                               << "0"
                               << "1,6";
    QTest::newRow("dotal, calendario") << "4"
                                       << "40"
                                       << "20,15";
    QTest::newRow("vida entera") << "5"
                                 << "30"
                                 << "80,80";
    QTest::newRow("meses, Bowers") << "6"
                                   << "50"
                                   << "1,6";
}

void TestLoteCartera::tarifaComoCalcular()
{
    QFETCH(QString, escenario);
    QFETCH(QString, edad);
    QFETCH(QString, plazos);
    Fixture f;
    const prueba::SalidaLote tarifa = Lote({"tarifa", f.base.ruta(), escenario, edad, edad});
    QCOMPARE(tarifa.err, QString());
    // Only read: no commutation columns, no results were stored.
    QCOMPARE(f.base.valor("select (select count(*) from T_Conmutado) + (select count(*) from T_Resultado)").toInt(), 0);
    const QStringList calcular = Lote({"calcular", f.base.ruta(), escenario}).out.split('\n');
    const QStringList primera = calcular.value(1).split(',');
    QCOMPARE(tarifa.out, "Edad,Plazo_Seguro,Plazo_Pago,Prima_Neta_Nivelada,Prima_Tarifa\n" + edad + "," + plazos + "," +
                             primera.value(4) + "," + primera.value(5) + "\n");
}

void TestLoteCartera::vidaEnteraPorEdad()
{
    Fixture f;
    // To the last age, 5: three premiums while the term allows; at 4 a year is left, which
    // would be a cover by months.
    QStringList plazos;
    for (const QString& fila : Lote({"tarifa", f.base.ruta(), "3"}).out.split('\n', Qt::SkipEmptyParts))
        plazos << fila.section(',', 0, 2);
    QCOMPARE(plazos, (QStringList{"Edad,Plazo_Seguro,Plazo_Pago", "0,5,3", "1,4,3", "2,3,3", "3,2,2"}));
    const prueba::SalidaLote s = Lote({"tarifa", f.base.ruta(), "3", "2", "4"});
    QCOMPARE(s.estado, 1);
    QCOMPARE(s.out, QString());
    QCOMPARE(s.err, QString("Edad 4: el plan no cabe en la tabla de mortalidad (edades 0 a 5)\n"));
}

void TestLoteCartera::lineaRechazada_data()
{
    QTest::addColumn<QByteArray>("archivo");
    QTest::addColumn<QString>("mensaje");
    // A good line 2, then the bad line 3.
    const QByteArray antes = CabeceraCartera.toUtf8() + "\r\nA,1,0,1000,1\r\n";
    const QString campo = "Línea 3, campo ";
    QTest::newRow("cabecera") << QByteArray("Poliza;Escenario;Edad;Suma_Asegurada;Antiguedad\r\nA,1,0,1000,1")
                              << "Línea 1: la cabecera debe ser " + CabeceraCartera;
    QTest::newRow("archivo vacío") << QByteArray() << "Línea 1: la cabecera debe ser " + CabeceraCartera;
    QTest::newRow("coma decimal") << antes + "C,1,0,1000,1,5"
                                  << "Línea 3: debe tener 5 campos separados por comas";
    QTest::newRow("póliza") << antes + ",1,0,1000,1" << campo + "Poliza: está vacío";
    QTest::newRow("escenario texto") << antes + "C,uno,0,1000,1" << campo + "Escenario: no es un número";
    QTest::newRow("escenario inexistente") << antes + "C,9,0,1000,1" << campo + "Escenario: no existe el escenario 9";
    QTest::newRow("edad texto") << antes + "C,1,cero,1000,1" << campo + "Edad: no es un número";
    QTest::newRow("edad decimal") << antes + "C,1,0.5,1000,1" << campo + "Edad: debe ser un número entero";
    const QString noCabe = campo + "Edad: el plan no cabe en la tabla de mortalidad (edades 0 a 5)";
    QTest::newRow("edad pasada") << antes + "C,1,1,1000,1" << noCabe;
    QTest::newRow("edad menor") << antes + "C,1,-1,1000,1" << noCabe;
    QTest::newRow("caja de la reserva")
        << antes + "C,7,40,1000,1"
        << campo + "Edad: el cálculo da el error Rutina: fReserva, Error:11, División por cero";
    QTest::newRow("suma 0") << antes + "C,1,0,0,1" << campo + "Suma_Asegurada: debe ser mayor que 0";
    QTest::newRow("suma infinita") << antes + "C,1,0,1e400,1" << campo + "Suma_Asegurada: no es un número";
    const QString plazo = campo + "Antiguedad: debe ser mayor o igual que 0 y menor que el plazo del seguro (5)";
    QTest::newRow("s = n") << antes + "C,1,0,1000,5" << plazo;
    QTest::newRow("s < 0") << antes + "C,1,0,1000,-0.5" << plazo;
}

void TestLoteCartera::lineaRechazada()
{
    QFETCH(QByteArray, archivo);
    QFETCH(QString, mensaje);
    Fixture f;
    const prueba::SalidaLote s = f.cartera(archivo);
    QCOMPARE(s.err, mensaje + "\n");
    QCOMPARE(s.estado, 1);
    QCOMPARE(s.out, QString());
    QVERIFY(!QFile::exists(f.salida()));
}

void TestLoteCartera::menu()
{
    Fixture f;
    const QString entrada = f.base.archivo("c.csv", CabeceraCartera.toUtf8() + "\nA,1,0,1000,2.5\nB,1,0,1000,3.5\n");
    f.base.dialogos.cancelaProgreso = true;
    f.base.dialogos.eligeArchivo(entrada);
    f.base.dialogos.eligeArchivo(f.salida());
    ValoraCarteraElegida(f.base.entorno());
    QVERIFY(!QFile::exists(f.salida()));
    f.base.dialogos.cancelaProgreso = false;
    f.base.dialogos.eligeArchivo(entrada);
    f.base.dialogos.eligeArchivo(f.salida());
    ValoraCarteraElegida(f.base.entorno());
    QCOMPARE(Lineas(f.salida()).size(), 3);
    // Reserves 781.25 + 625; tariff premium 1000 P twice.
    QCOMPARE(f.base.dialogos.textos(),
             (QStringList{"Valoración de la cartera cancelada",
                          "Pólizas: 2\r\nReserva total: 1406.25\r\nPrima de tarifa total: 660.30534351145"}));
    QCOMPARE(f.base.dialogos.progresos.first(),
             "Valorando la cartera.../" + QString::number(QFileInfo(entrada).size()));
}

QTEST_GUILESS_MAIN(TestLoteCartera)
#include "TestLoteCartera.moc"
