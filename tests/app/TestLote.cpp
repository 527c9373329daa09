// valvida-lote: what each command adds to the routines it runs (tested in their own units): its
// arguments, what it prints, its exit status; the real program making the sample database and
// running calcular and exportar; and the valuation of plans at any age and of a portfolio
// (tarifa, cartera and the menu's "Cartera") on a small table worked by hand and the
// Illustrative Life Table.

#include "actuarial/almacen/Cartera.h"
#include "app/lote/Lote.h"
#include "core/BaseDatos.h"
#include "core/ExportaEscenario.h"
#include "support/BaseTemporal.h"
#include "support/PruebaLote.h"
#include "support/Tolerancia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

using namespace valvida;
using prueba::BaseTemporal;
using prueba::Lote;
using prueba::Programa;

namespace {

const QString Cabecera = QStringLiteral("Escenario,Anio_Poliza,Edad_Alcanzada,Prima_Riesgo,Prima_Neta_Nivelada,"
                                        "Prima_Tarifa,Anualidad,Seguro,Reserva_Matematica,Rescate,Saldado,Prorrogado");

// The three-age table at 0 % (q = 0.1, 0.2, 1) and two 2-year terms at 0 paid over 2 years with
// a commission of 50 % and 15 per mille: 1 of commission type 1, the worked example, and 2 of
// type 2, whose reserve asks for the reference premium at ages the table lacks.
void Ejemplo(BaseTemporal& b)
{
    b.sql("insert into C_TablaMortalidad values(1, 'Tres edades', 0, 2)");
    b.sql("insert into T_DetalleMortalidad values(1, 0, 0.1), (1, 1, 0.2), (1, 2, 1)");
    b.sql("insert into T_Escenario values(1, 0, 1000, 1, 1, 0, 1, 2, 2, 'Ejemplo', 0), "
          "(2, 0, 1000, 1, 2, 0, 1, 2, 2, 'Comisión 2', 0)");
    b.sql("insert into T_Comision values(1, 1, 50, 15), (2, 1, 50, 15)");
}

// P = 0.28/1.9, PT = (0.015/2 + P)/(1 - 0.95/2), risk 0.1, 0.2, 0.2, reserves 0, (P - 0.1)/0.9, 0.
const QString FilasEjemplo =
    QStringLiteral("1,0,0,0.1,0.147368421052632,0.294987468671679,0,0,0,0,0,0\n"
                   "1,1,1,0.2,0.147368421052632,0.294987468671679,0,0,0.0526315789473684,0,0,0\n"
                   "1,2,2,0.2,0.147368421052632,0.294987468671679,0,0,0,0,0,0\n");

QByteArray Lee(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(no existe)");
}

QStringList Filas(const QSqlDatabase& db, const QString& consulta, const QVariantList& valores = {})
{
    QSqlQuery q = Consulta(db, consulta, valores);
    QStringList filas;
    while (Siguiente(q)) {
        QStringList celdas;
        for (int c = 0; c < q.record().count(); ++c)
            celdas << ValorATexto(q.value(c));
        filas << celdas.join('|');
    }
    return filas;
}

// Table 1, ages 0..5 at 0 %: l = 1, .9, .72, .54, .27, .135. Scenario 1: 5-year term at 0 with 3
// premiums, P = (M0 - M5)/(N0 - N3) = .865/2.62, and reserves read prospectively: V2 + P = the
// 3-year cover at 2 = .25 + .75 (.5 + .5 .5) = .8125, V3 = .5 + .5 .5 = .75, V4 = q4 = .5, V5 = 0.
// Scenario 2: a 6-month term cover at 0, P = q0 = .1, V(j) = (1 - (2j - 1)/12) P. Scenario 3:
// whole life at 0 with 3 premiums. On the table of Bowers et al. (table 2, 6 %): 4 a 20-year
// endowment at 40 with 15 premiums and a three-year schedule, 5 whole life at 30 (80 years, paid
// for life), 6 a 6-month cover at 50, 7 a modified premium paid once, whose reserve divides by 0.
// Scenario 8: a 2-year term on table 1 with a modified premium, whose reference premium's 20
// years that table lacks.
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
                 "(6,50,1,1,1,6,2,1,6,'M',0),(7,40,1,3,2,6,2,10,1,'U',0),(8,0,1,1,2,0,1,2,2,'C',0)");
        base.sql("insert into T_Comision values(1,1,0,0),(2,1,0,0),(3,1,0,0),(4,1,50,15),(4,2,20,0),(4,3,5,0),"
                 "(5,1,30,10),(6,1,10,0),(7,1,50,15),(8,1,50,15)");
    }
    // A portfolio file of these bytes, valued by the command.
    prueba::SalidaLote cartera(const QByteArray& contenido)
    {
        return Lote({"cartera", base.ruta(), base.archivo("c.csv", contenido), salida()});
    }
    QString salida() const { return base.carpeta() + "/valorada.csv"; }
    BaseTemporal base;
};

} // namespace

class TestLote : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void errorDeUso_data();
    void errorDeUso();
    void ordenes_data();
    void ordenes();
    void crearBd();
    void ejemploConSusEscenariosCalculados();
    void programaReal();
    void reservaEnVigor_data();
    void reservaEnVigor();
    void tarifaComoCalcular_data();
    void tarifaComoCalcular();
    void vidaEnteraPorEdad();
    void lineaRechazada_data();
    void lineaRechazada();
    void menu();

  private:
    // The sample database, made once by the real program, and a connection to it.
    QTemporaryDir m_dir;
    QSqlDatabase m_ejemplo;
};

void TestLote::initTestCase()
{
    // The tables travel inside the program; nothing on stderr: no import and no calculation
    // showed a box.
    const prueba::SalidaLote s = Programa({"crear-bd", "--ejemplo", m_dir.filePath("ejemplo.mdb")});
    QCOMPARE(s.err, QString());
    QCOMPARE(s.estado, 0);
    m_ejemplo = AbreBaseDatos(m_dir.filePath("ejemplo.mdb"), "prueba-ejemplo");
}

void TestLote::cleanupTestCase()
{
    m_ejemplo = QSqlDatabase();
    CierraBaseDatos("prueba-ejemplo");
}

void TestLote::errorDeUso_data()
{
    QTest::addColumn<QStringList>("argumentos");
    QTest::newRow("nada") << QStringList{};
    QTest::newRow("desconocido") << QStringList{"borrar", "a.mdb"};
    QTest::newRow("crear-bd, dos rutas") << QStringList{"crear-bd", "a.mdb", "b.mdb"};
    QTest::newRow("--ejemplo sin ruta") << QStringList{"crear-bd", "--ejemplo"};
    QTest::newRow("calcular, escenario decimal") << QStringList{"calcular", "a.mdb", "1.5"};
    QTest::newRow("exportar, escenario en letras") << QStringList{"exportar", "a.mdb", "dos", "e.csv"};
    QTest::newRow("tarifa, edades al revés") << QStringList{"tarifa", "a.mdb", "1", "50", "20"};
    QTest::newRow("tarifa, edad en letras") << QStringList{"tarifa", "a.mdb", "1", "x", "20"};
}

void TestLote::errorDeUso()
{
    QFETCH(QStringList, argumentos);
    const prueba::SalidaLote s = Lote(argumentos);
    QCOMPARE(s.estado, 2);
    QCOMPARE(s.out, QString());
    QCOMPARE(s.err, UsoLote() + "\n");
}

void TestLote::ordenes_data()
{
    // BD is the database of Ejemplo, OTRA one that is not there, a name.csv a file in its folder.
    QTest::addColumn<QStringList>("argumentos");
    QTest::addColumn<QByteArray>("archivo"); // written as t.csv first
    QTest::addColumn<QString>("preparacion");
    QTest::addColumn<int>("estado");
    QTest::addColumn<QString>("out"); // the whole of stdout, or how it starts when it ends with "..."
    QTest::addColumn<QString>("err"); // the same for stderr
    const auto fila = [](const char* nombre, const QStringList& argumentos, int estado, const QString& out,
                         const QString& err, const QByteArray& archivo = {}, const QString& preparacion = {}) {
        QTest::newRow(nombre) << argumentos << archivo << preparacion << estado << out << err;
    };
    const QString noSeAbrio = QStringLiteral("No se abrió la base de datos: ...");
    // A database that is not there is not created: each command says which work it did not do.
    fila("importar sin base", {"importar", "OTRA", "t.csv"}, 1, "", noSeAbrio);
    fila("calcular sin base", {"calcular", "OTRA", "1"}, 1, "", noSeAbrio);
    fila("exportar sin base", {"exportar", "OTRA", "1", "e.csv"}, 1, "", "No se exportó el escenario: ...");
    fila("tarifa sin base", {"tarifa", "OTRA", "1"}, 1, "", "No se calculó la tarifa: ...");
    fila("cartera sin base", {"cartera", "OTRA", "c.csv", "s.csv"}, 1, "", "No se valoró la cartera: ...");
    // The new table's number after table 1; the notice that the load ended is no failure.
    fila("importar", {"importar", "BD", "t.csv"}, 0, "2\n", "", "0,0.1,X\r\n1,1,X\r\n");
    // A box is its lines on stderr and status 1.
    fila("importar, coma final", {"importar", "BD", "t.csv"}, 1, "",
         "Rutina: mnuTablaExcel_Click\nError:9\nLa línea 1 tiene 2 campos; se requieren al menos 3\n", "0,0.1,\r\n");
    // The reserve's box for the reference premium, and the rows it did not stop. P as in the worked
    // example; K = c1 + (P - 0) in year 1, so V(1) = (K - 0.1)/0.9 = 28/171; V(2) = 0.
    fila("calcular, caja de una función", {"calcular", "BD", "2"}, 1,
         Cabecera + "\n2,0,0,0.1,0.147368421052632,0.294987468671679,0,0,0,0,0,0\n"
                    "2,1,1,0.2,0.147368421052632,0.294987468671679,0,0,0.16374269005848,0,0,0\n"
                    "2,2,2,0.2,0.147368421052632,0.294987468671679,0,0,0,0,0,0\n",
         "Funcion: fPrimaNivelada\nError:9\nEl subíndice está fuera del intervalo\n");
    // The generator's own box, and nothing on stdout: a failed calculation has no results.
    fila("calcular, escenario inexistente", {"calcular", "BD", "5"}, 1, "",
         "Funcion: fGeneraResultado\nError:3021\nBOF o EOF es True, o el registro actual se eliminó. La operación "
         "solicitada requiere un registro actual.\n");
    fila("exportar, escenario inexistente", {"exportar", "BD", "5", "e.csv"}, 1, "",
         "No se exportó el escenario: No existe el escenario 5\n");
    fila("exportar, sección ilegible", {"exportar", "BD", "1", "e.csv"}, 1, "", "Rutina: CargaFlexgrid\nError:94\n...",
         {}, "insert into T_DetalleMortalidad values(1, 3, null)");
}

void TestLote::ordenes()
{
    QFETCH(QStringList, argumentos);
    QFETCH(QByteArray, archivo);
    QFETCH(QString, preparacion);
    QFETCH(int, estado);
    QFETCH(QString, out);
    QFETCH(QString, err);
    BaseTemporal base;
    Ejemplo(base);
    if (!preparacion.isEmpty())
        base.sql(preparacion);
    base.archivo("t.csv", archivo);
    const QString otra = base.carpeta() + "/otra.mdb";
    for (QString& a : argumentos)
        a = a == "BD" ? base.ruta() : (a == "OTRA" ? otra : (a.endsWith(".csv") ? base.carpeta() + "/" + a : a));
    const prueba::SalidaLote s = Lote(argumentos);
    QCOMPARE(s.estado, estado);
    for (const auto& [actual, esperado] : {std::pair{s.out, out}, std::pair{s.err, err}}) {
        if (esperado.endsWith("..."))
            QVERIFY2(actual.startsWith(esperado.chopped(3)), qPrintable(actual));
        else
            QCOMPARE(actual, esperado);
    }
    QVERIFY(!QFile::exists(otra));
}

void TestLote::crearBd()
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("x.mdb");
    const prueba::SalidaLote s = Lote({"crear-bd", ruta});
    QCOMPARE(s.out, "Base de datos creada: " + ruta + "\n");
    QCOMPARE(s.err, QString());
    QCOMPARE(s.estado, 0);
    // What the window needs to open: every column and the catalogues' codes.
    AbreBaseDatos(ruta, "prueba-crear", Comprobacion::ColumnasYCatalogos);
    CierraBaseDatos("prueba-crear");
    // An existing file is refused, and neither it nor a half-made sample beside it changes.
    const QByteArray antes = Lee(ruta);
    for (const QStringList& argumentos : {QStringList{"crear-bd", ruta}, QStringList{"crear-bd", "--ejemplo", ruta}}) {
        const prueba::SalidaLote otra = Lote(argumentos);
        QCOMPARE(otra.estado, 1);
        QCOMPARE(otra.err, "No se creó la base de datos: El archivo ya existe: " + ruta + "\n");
    }
    QCOMPARE(Lee(ruta), antes);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"x.mdb"});
}

void TestLote::ejemploConSusEscenariosCalculados()
{
    // Type, commission type, terms, years of schedule, its rows, and result rows: the endowment of
    // 20 years with its one commission row, the whole life to the last age of its table (110 - 40)
    // paid for life with a five-year schedule, and twelve months of cover, one row per month from
    // 0; every scenario calculated (rows n + 1).
    QCOMPARE(Filas(m_ejemplo, "select Escenario, Tipo_Seguro, Tipo_Comision, Plazo_Seguro, Plazo_Pago, Total_Anios, "
                              "(select count(*) from T_Comision c where c.Escenario = e.Escenario), "
                              "(select count(*) from T_Resultado r where r.Escenario = e.Escenario) "
                              "from T_Escenario e order by Escenario"),
             (QStringList{"1|3|1|20|20|0|1|21", "2|2|2|70|70|5|5|71", "3|1|1|1|12|0|1|13"}));
    // The seven shipped tables, one row of qx for each line of their files.
    qsizetype lineas = 0;
    for (const QString& archivo : QDir(VALVIDA_TABLAS_DIR).entryList({"*.csv"}))
        lineas += Lee(VALVIDA_TABLAS_DIR "/" + archivo).count('\n');
    QCOMPARE(Filas(m_ejemplo, "select (select count(*) from C_TablaMortalidad), count(*) from T_DetalleMortalidad"),
             QStringList{"7|" + QString::number(lineas)});
}

void TestLote::programaReal()
{
    // calcular prints every row of the worked example; exportar writes the file that the results
    // form's export writes.
    BaseTemporal base;
    Ejemplo(base);
    const prueba::SalidaLote calcular = Programa({"calcular", base.ruta(), "1"});
    QCOMPARE(calcular.out, Cabecera + "\n" + FilasEjemplo);
    QCOMPARE(calcular.err, QString());
    QCOMPARE(calcular.estado, 0);
    const QString archivo = base.carpeta() + "/real.csv";
    const prueba::SalidaLote exportar = Programa({"exportar", base.ruta(), "1", archivo});
    QCOMPARE(exportar.out, "Escenario exportado: " + archivo + "\n");
    QCOMPARE(exportar.estado, 0);
    ExportaEscenario(base.entorno(), 1, base.carpeta() + "/directo.csv");
    QCOMPARE(Lee(archivo), Lee(base.carpeta() + "/directo.csv"));
}

void TestLote::reservaEnVigor_data()
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

void TestLote::reservaEnVigor()
{
    QFETCH(QByteArray, poliza);
    QFETCH(double, primaNeta);
    QFETCH(double, reserva);
    Fixture f;
    const prueba::SalidaLote s = f.cartera(CabeceraCartera.toUtf8() + "\r\n" + poliza + "\r\n");
    QCOMPARE(s.err, QString());
    const QStringList salida = QString::fromUtf8(Lee(f.salida())).split('\n');
    QCOMPARE(salida.value(0), CabeceraCartera + "," + ColumnasValoradas);
    const QStringList campos = salida.value(1).split(',');
    QCOMPARE(campos.mid(0, 5).join(','), QString::fromUtf8(poliza));
    VV_CERCA(campos.value(5).toDouble(), primaNeta, 1e-9);
    VV_CERCA(campos.value(6).toDouble(), primaNeta, 1e-9); // no expense, no commission
    VV_CERCA(campos.value(7).toDouble(), reserva, 1e-9);
    QCOMPARE(s.out,
             "Pólizas: 1\nReserva total: " + campos.value(7) + "\nPrima de tarifa total: " + campos.value(6) + "\n");
}

void TestLote::tarifaComoCalcular_data()
{
    // Scenario, its age, n and m: tarifa at that age gives the premiums of calcular's first row
    // (scenarios 1 and 2 are worked by hand in reservaEnVigor).
    QTest::addColumn<QStringList>("plan");
    QTest::newRow("dotal, calendario") << QStringList{"4", "40", "20", "15"};
    QTest::newRow("vida entera") << QStringList{"5", "30", "80", "80"};
    QTest::newRow("meses, Bowers") << QStringList{"6", "50", "1", "6"};
}

void TestLote::tarifaComoCalcular()
{
    QFETCH(QStringList, plan);
    Fixture f;
    const prueba::SalidaLote tarifa = Lote({"tarifa", f.base.ruta(), plan[0], plan[1], plan[1]});
    QCOMPARE(tarifa.err, QString());
    // Only read: no commutation columns, no results were stored.
    QCOMPARE(f.base.valor("select (select count(*) from T_Conmutado) + (select count(*) from T_Resultado)").toInt(), 0);
    const QStringList primera = Lote({"calcular", f.base.ruta(), plan[0]}).out.split('\n').value(1).split(',');
    QCOMPARE(tarifa.out, "Edad,Plazo_Seguro,Plazo_Pago,Prima_Neta_Nivelada,Prima_Tarifa\n" + plan.mid(1).join(',') +
                             "," + primera.value(4) + "," + primera.value(5) + "\n");
}

void TestLote::vidaEnteraPorEdad()
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
    // The modified 20-year endowment fits while its term and its reference premium's end by 110.
    const QStringList dotal = Lote({"tarifa", f.base.ruta(), "4"}).out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE((QStringList{dotal.value(1).section(',', 0, 2), dotal.last().section(',', 0, 2)}),
             (QStringList{"0,20,15", "90,20,15"}));
}

void TestLote::lineaRechazada_data()
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
    QTest::newRow("edad decimal") << antes + "C,1,0.5,1000,1" << campo + "Edad: debe ser un número entero";
    const QString noCabe = campo + "Edad: el plan no cabe en la tabla de mortalidad (edades 0 a 5)";
    QTest::newRow("edad pasada") << antes + "C,1,1,1000,1" << noCabe;
    QTest::newRow("edad menor") << antes + "C,1,-1,1000,1" << noCabe;
    QTest::newRow("sin prima de referencia") << antes + "C,8,0,1000,1" << noCabe;
    QTest::newRow("caja de la reserva")
        << antes + "C,7,40,1000,1"
        << campo + "Edad: el cálculo da el error Rutina: fReserva, Error:11, División por cero";
    QTest::newRow("suma 0") << antes + "C,1,0,0,1" << campo + "Suma_Asegurada: debe ser mayor que 0";
    // Digits beyond a double's range are no number, not 0 years in force.
    QTest::newRow("antigüedad de 400 cifras")
        << antes + "C,1,0,1000," + QByteArray(400, '9') << campo + "Antiguedad: no es un número";
    const QString plazo = campo + "Antiguedad: debe ser mayor o igual que 0 y menor que el plazo del seguro (5)";
    QTest::newRow("s = n") << antes + "C,1,0,1000,5" << plazo;
    QTest::newRow("s < 0") << antes + "C,1,0,1000,-0.5" << plazo;
}

void TestLote::lineaRechazada()
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

void TestLote::menu()
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
    QCOMPARE(Lee(f.salida()).count('\n'), 3);
    // Reserves 781.25 + 625; tariff premium 1000 P twice.
    QCOMPARE(f.base.dialogos.textos(),
             (QStringList{"Valoración de la cartera cancelada",
                          "Pólizas: 2\r\nReserva total: 1406.25\r\nPrima de tarifa total: 660.30534351145"}));
    QCOMPARE(f.base.dialogos.progresos.first(),
             "Valorando la cartera.../" + QString::number(QFileInfo(entrada).size()));
}

QTEST_GUILESS_MAIN(TestLote)
#include "TestLote.moc"
