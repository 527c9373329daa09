// fGeneraResultado and CalculaEscenario against a real database file: the rows of T_Resultado
// after a calculation, worked by hand, and the exact error boxes.

#include "actuarial/almacen/Calculo.h"
#include "actuarial/almacen/Conmutados.h"
#include "actuarial/almacen/Generacion.h"
#include "core/BaseDatos.h"
#include "support/BaseTemporal.h"

#include <QTest>

using namespace valvida;
using prueba::BaseTemporal;

namespace {

const QString CajaP20 = QStringLiteral("Funcion: fPrimaNivelada\r\nError:9\r\nEl subíndice está fuera del intervalo");
const QString CajaSinRegistro =
    QStringLiteral("Funcion: fGeneraResultado\r\nError:3021\r\nBOF o EOF es True, o el registro actual se eliminó. "
                   "La operación solicitada requiere un registro actual.");
const QString CajaNull = QStringLiteral("Funcion: fGeneraResultado\r\nError:94\r\nUso no válido de Null");

// Table 1, ages 0..2, q = 0.1, 0.2, 1.
void TablaDeTresEdades(BaseTemporal& base)
{
    base.sql("insert into C_TablaMortalidad values(1, 'Tres edades', 0, 2)");
    base.sql("insert into T_DetalleMortalidad values(1, 0, 0.1), (1, 1, 0.2), (1, 2, 1)");
}

// Scenario 1 from Edad, Tipo_Seguro, Tipo_Comision, Interes_Tecnico, Tabla_Mortalidad, Plazo_Seguro,
// Plazo_Pago, and its commission rows "(1, year, percent, per mille), ...".
void Escenario(BaseTemporal& base, const QVariantList& v, const QString& comisiones)
{
    base.sql("insert into T_Escenario values(1, ?, 1000, ?, ?, ?, ?, ?, ?, 'prueba', 0)", v);
    base.sql("insert into T_Comision values" + comisiones);
}

// The first column of a query's rows as another connection sees them: only what was committed.
QStringList Confirmadas(const BaseTemporal& base, const QString& consulta)
{
    QStringList valores;
    {
        QSqlDatabase otra = AbreBaseDatos(base.ruta(), QStringLiteral("otra-conexion"));
        QSqlQuery q = Consulta(otra, consulta);
        while (Siguiente(q))
            valores << q.value(0).toString();
    }
    CierraBaseDatos(QStringLiteral("otra-conexion"));
    return valores;
}

} // namespace

class TestAlmacenGeneracion : public QObject
{
    Q_OBJECT

  private slots:
    void resultados_data();
    void resultados();
    void calculaEscenario_data();
    void calculaEscenario();
};

void TestAlmacenGeneracion::resultados_data()
{
    QTest::addColumn<QVariantList>("escenario");
    QTest::addColumn<QString>("comisiones");
    QTest::addColumn<QString>("consulta");
    QTest::addColumn<QStringList>("filas");
    QTest::addColumn<QStringList>("cajas");

    // P = 0.28/1.9; alpha = 0.015; beta = 0.5 * 1.9; PT = (0.015/2 + P)/(1 - 0.95/2); risk 0.1, 0.2
    // and row 2 repeating row 1; reserves 0, (P - 0.1)/0.9, 0.
    QTest::newRow("tres edades")
        << QVariantList{0, 1, 1, 0, 1, 2, 2} << "(1, 1, 50, 15)"
        << "select * from T_Resultado order by Anio_Poliza"
        << QStringList{"1|0|0|0.1|0.147368421052632|0.294987468671679|0|0|0|0|0|0",
                       "1|1|1|0.2|0.147368421052632|0.294987468671679|0|0|0.0526315789473684|0|0|0",
                       "1|2|2|0.2|0.147368421052632|0.294987468671679|0|0|0|0|0|0"}
        << QStringList{};

    // Table 2 at 0 % (q = 0.1 at ages 0..5), x = 0, n = m = 4, term: P = (1 - 0.6561)/3.439 = 0.1,
    // ä(0,4) = 3.439 used as a = 3; rows 50 % (year 1, 15 per mille), 20 % (2), 5 % (3).
    // Several years: beta = 0.50 + 0.20 * 0.9 + 0.05 * (0.81 + 0.729) = 0.75695,
    // PT = (0.015/3 + 0.1)/(1 - 0.75695/3) = 0.14043378435612...
    const QString calendario = QStringLiteral("(1, 1, 50, 15), (1, 2, 20, 0), (1, 3, 5, 0)");
    const QString primas = QStringLiteral("select distinct Prima_Neta_Nivelada, Prima_Tarifa from T_Resultado");
    QTest::newRow("varios años") << QVariantList{0, 1, 2, 0, 2, 4, 4} << calendario << primas
                                 << QStringList{"0.1|0.140433784356122"} << QStringList{CajaP20};
    // Type 1: only year 1 counts, over every premium year: beta = 0.5 * 3.439, PT = 0.24599765716517.
    QTest::newRow("tipo 1 con varias filas") << QVariantList{0, 1, 1, 0, 2, 4, 4} << calendario << primas
                                             << QStringList{"0.1|0.24599765716517"} << QStringList{};

    // One-year term cover at 0 %, P = risk = 0.1 a year, beta = 10 % whatever the commission type:
    // PT = (0.015 + 0.1)/(1 - 0.1) = 0.12777...; every premium times k/12 in each of the k + 1 rows
    // at age 0; V(j) = (1 - (2j - 1)/(2k)) 0.1, the last one 0 below 0.005.
    // To 13 decimals: the sums behind P leave noise in the 16th digit.
    const QString meses = QStringLiteral("select Anio_Poliza, Edad_Alcanzada, round(Prima_Riesgo, 13), "
                                         "round(Prima_Neta_Nivelada, 13), round(Prima_Tarifa, 13), "
                                         "round(Reserva_Matematica, 13), (select count(*) from T_Resultado) "
                                         "from T_Resultado where Anio_Poliza in (0, 1, 6, 12) order by 1");
    QTest::newRow("seis meses") << QVariantList{0, 1, 2, 0, 2, 1, 6} << "(1, 1, 10, 15)" << meses
                                << QStringList{"0|0|0.05|0.05|0.0638888888889|0|7",
                                               "1|0|0.05|0.05|0.0638888888889|0.0916666666667|7",
                                               "6|0|0.05|0.05|0.0638888888889|0.0083333333333|7"}
                                << QStringList{};
    QTest::newRow("doce meses") << QVariantList{0, 1, 2, 0, 2, 1, 12} << "(1, 1, 10, 15)" << meses
                                << QStringList{"0|0|0.1|0.1|0.1277777777778|0|13",
                                               "1|0|0.1|0.1|0.1277777777778|0.0958333333333|13",
                                               "6|0|0.1|0.1|0.1277777777778|0.0541666666667|13",
                                               "12|0|0.1|0.1|0.1277777777778|0|13"}
                                << QStringList{};

    // Table 3 (q = 0.001 (x - 10), ages 20..60) at 3.5 %, endowment at 30, n = 10, m = 5: rows 0..10
    // at ages 30..40, one P > 0 and one PT > P in all of them (after the payment term too), reserve
    // 0 at issue, rows 9 and 10 with one risk premium and rows 0..9 with ten, 0 in the five columns
    // that are not computed.
    QTest::newRow("diez años con cinco pagos")
        << QVariantList{30, 3, 1, 3.5, 3, 10, 5} << "(1, 1, 30, 10)"
        << "select count(*), min(Anio_Poliza), max(Anio_Poliza), min(Edad_Alcanzada - Anio_Poliza), "
           "max(Edad_Alcanzada - Anio_Poliza), count(distinct Prima_Neta_Nivelada), count(distinct Prima_Tarifa), "
           "min(Prima_Tarifa > Prima_Neta_Nivelada and Prima_Neta_Nivelada > 0), "
           "sum(Reserva_Matematica = 0 and Anio_Poliza = 0), "
           "(select count(distinct Prima_Riesgo) from T_Resultado where Anio_Poliza >= 9), "
           "count(distinct Prima_Riesgo), "
           "max(abs(Anualidad) + abs(Seguro) + abs(Rescate) + abs(Saldado) + abs(Prorrogado)) from T_Resultado"
        << QStringList{"11|0|10|30|30|1|1|1|1|1|10|0"} << QStringList{};

    // The generator's own failures: a box, and no row written (an unknown scenario: calculaEscenario).
    const QString ninguna = QStringLiteral("select count(*) from T_Resultado");
    const QVariantList ejemplo{0, 1, 1, 0, 1, 2, 2};
    QTest::newRow("sin fila de comisión del año 1")
        << ejemplo << "(1, 2, 50, 15)" << ninguna << QStringList{"0"} << QStringList{CajaSinRegistro};
    QTest::newRow("sin columnas para su tabla y tasa") << QVariantList{0, 1, 1, 7.5, 9, 2, 2} << "(1, 1, 50, 15)"
                                                       << ninguna << QStringList{"0"} << QStringList{CajaNull};
    QTest::newRow("edad vacía") << QVariantList{QVariant(), 1, 1, 0, 1, 2, 2} << "(1, 1, 50, 15)" << ninguna
                                << QStringList{"0"} << QStringList{CajaNull};
    QTest::newRow("plazo de 16 bits desbordado")
        << QVariantList{0, 1, 1, 0, 1, 40000, 2} << "(1, 1, 50, 15)" << ninguna << QStringList{"0"}
        << QStringList{"Funcion: fGeneraResultado\r\nError:6\r\nDesbordamiento"};
}

void TestAlmacenGeneracion::resultados()
{
    QFETCH(QVariantList, escenario);
    QFETCH(QString, comisiones);
    QFETCH(QString, consulta);
    QFETCH(QStringList, filas);
    QFETCH(QStringList, cajas);
    BaseTemporal base;
    TablaDeTresEdades(base);
    base.sql("insert into C_TablaMortalidad values(2, 'Seis edades', 0, 5), (3, 'Lineal', 20, 60)");
    for (int x = 0; x <= 5; ++x)
        base.sql("insert into T_DetalleMortalidad values(2, ?, 0.1)", {x});
    for (int x = 20; x <= 60; ++x)
        base.sql("insert into T_DetalleMortalidad values(3, ?, ?)", {x, 0.001 * (x - 10)});
    Escenario(base, escenario, comisiones);
    CalculaConmutados(base.entorno(), static_cast<std::int16_t>(escenario[4].toInt()), escenario[3].toDouble());
    fGeneraResultado(base.entorno(), 1);
    QCOMPARE(base.filas(consulta), filas);
    QCOMPARE(base.dialogos.textos(), cajas);
    QCOMPARE(base.dialogos.reloj, 0);
}

void TestAlmacenGeneracion::calculaEscenario_data()
{
    QTest::addColumn<int>("escenario");
    QTest::addColumn<QString>("preparacion");
    QTest::addColumn<QStringList>("cajas");
    QTest::addColumn<QStringList>("resultados"); // committed: Escenario|Anio_Poliza|Prima_Riesgo
    QTest::addColumn<QString>("conmutados");     // committed: rows of T_Conmutado
    // The scenario's own table 1 and rate 100 %: its stale columns are rebuilt from the current qx
    // (table 2 is left alone), its old rows replaced, other scenarios' kept. Risk premium at 100 %:
    // (M(0) - M(1))/D(0) = 0.05/1, then 0.045/0.45 = 0.1, repeated in the last row.
    QTest::newRow("ejemplo a 100 %") << 1 << "" << QStringList{}
                                     << QStringList{"1|0|0.05", "1|1|0.1", "1|2|0.1", "8|0|"} << "3";
    // No such scenario: its rows go, there are no columns to rebuild, the generator tells.
    QTest::newRow("escenario inexistente") << 9 << "" << QStringList{CajaSinRegistro} << QStringList{"8|0|"} << "1";
    // The columns cannot be rebuilt: that one box, and no results from the old columns or none.
    // A rule that fails keeps the deletes before it.
    QTest::newRow("qx vacío") << 1 << "update T_DetalleMortalidad set qx = null where Edad = 1"
                              << QStringList{"Rutina: CalculaConmutados\r\nError:94\r\nUso no válido de Null"}
                              << QStringList{"8|0|"} << "0";
    // The store failing undoes the whole calculation, whatever SQLite itself undid: as before.
    const QStringList antes{"1|5|", "8|0|"};
    QTest::newRow("inserción rechazada")
        << 1
        << "create trigger rechaza before insert on T_Resultado when new.Anio_Poliza = 2 "
           "begin select raise(abort, 'disco lleno'); end"
        << QStringList{"Funcion: fGeneraResultado\r\nError:101811\r\nLa fila viola una restricción de la tabla (disco "
                       "lleno)"}
        << antes << "1";
    // A page limit at the file's size: the columns' page, filled by another table's row, must grow.
    QTest::newRow("disco lleno en los conmutados")
        << 1
        << "insert into T_Conmutado(Tabla_Mortalidad, Edad, Interes_Tecnico, lx) values(9, 0, 0, zeroblob(3900))\n"
           "pragma max_page_count = 1"
        << QStringList{"Rutina: CalculaConmutados\r\nError:100013\r\nEl disco está lleno (database or disk is full)"}
        << antes << "2";
    QTest::newRow("otro programa escribe")
        << 1 << "bloqueada"
        << QStringList{"Rutina: CalculaEscenario\r\nError:100005\r\nLa base de datos está bloqueada por otro "
                       "programa (database is locked)"}
        << antes << "1";
}

void TestAlmacenGeneracion::calculaEscenario()
{
    QFETCH(int, escenario);
    QFETCH(QString, preparacion);
    QFETCH(QStringList, cajas);
    QFETCH(QStringList, resultados);
    QFETCH(QString, conmutados);
    BaseTemporal base;
    TablaDeTresEdades(base);
    base.sql("insert into C_TablaMortalidad values(2, 'Otra', 0, 2)");
    Escenario(base, {0, 1, 1, 100, 1, 2, 2}, "(1, 1, 50, 15)");
    base.sql("insert into T_Resultado(Escenario, Anio_Poliza) values(?, 5), (8, 0)", {escenario});
    base.sql("insert into T_Conmutado(Tabla_Mortalidad, Edad, Interes_Tecnico, Dx, Nx, Mx) values(1, 0, 100, 9, 9, 9)");
    QSqlDatabase otroPrograma; // holds the write lock throughout
    if (preparacion == "bloqueada") {
        otroPrograma = AbreBaseDatos(base.ruta(), "otro-programa");
        Ejecuta(otroPrograma, "begin immediate");
        preparacion = "pragma busy_timeout = 100";
    }
    for (const QString& sentencia : preparacion.split('\n', Qt::SkipEmptyParts))
        base.sql(sentencia);
    bool relojDuranteCajas = true;
    base.dialogos.alMostrar = [&](const prueba::FakeDialogos::Caja&) { relojDuranteCajas &= base.dialogos.reloj > 0; };
    // Stored when nothing was told.
    QCOMPARE(CalculaEscenario(base.entorno(), escenario), cajas.isEmpty());
    QCOMPARE(base.dialogos.textos(), cajas);
    QCOMPARE(Confirmadas(base, "select Escenario || '|' || Anio_Poliza || '|' || ifnull(Prima_Riesgo, '') "
                               "from T_Resultado order by Escenario, Anio_Poliza"),
             resultados);
    QCOMPARE(Confirmadas(base, "select count(*) from T_Conmutado"), QStringList{conmutados});
    QVERIFY(relojDuranteCajas);
    QCOMPARE(base.dialogos.reloj, 0);
    otroPrograma = QSqlDatabase();
    CierraBaseDatos("otro-programa");
}

QTEST_GUILESS_MAIN(TestAlmacenGeneracion)
#include "TestAlmacenGeneracion.moc"
