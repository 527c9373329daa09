// fGeneraResultado and CalculaEscenario against a real database file: the rows of T_Resultado
// after a calculation, worked by hand, and the exact error boxes.

#include "actuarial/almacen/Calculo.h"
#include "actuarial/almacen/Conmutados.h"
#include "actuarial/almacen/Generacion.h"
#include "core/BaseDatos.h"
#include "support/BaseTemporal.h"
#include "support/Tolerancia.h"

#include <QTest>

using namespace valvida;
using prueba::BaseTemporal;

namespace {

constexpr double Tol = 1e-13;

const QString CajaP20 = QStringLiteral("Funcion: fPrimaNivelada\r\nError:9\r\nEl subíndice está fuera del intervalo");
const QString CajaSinRegistro =
    QStringLiteral("Funcion: fGeneraResultado\r\nError:3021\r\nBOF o EOF es True, o el registro actual se eliminó. "
                   "La operación solicitada requiere un registro actual.");

// Table 1, ages 0..2, q = 0.1, 0.2, 1.
void TablaDeTresEdades(BaseTemporal& base)
{
    base.sql("insert into C_TablaMortalidad values(1, 'Tres edades', 0, 2)");
    base.sql("insert into T_DetalleMortalidad values(1, 0, 0.1), (1, 1, 0.2), (1, 2, 1)");
}

// Table 2, ages 0..5, q = 0.1 each: l = 1, 0.9, 0.81, 0.729, 0.6561, 0.59049.
void TablaDeSeisEdades(BaseTemporal& base)
{
    base.sql("insert into C_TablaMortalidad values(2, 'Seis edades', 0, 5)");
    for (int x = 0; x <= 5; ++x)
        base.sql("insert into T_DetalleMortalidad values(2, ?, 0.1)", {x});
}

// Escenario, Edad, Suma, Tipo_Seguro, Tipo_Comision, Interes, Tabla, Plazo_Seguro, Plazo_Pago.
void Escenario(BaseTemporal& base, int e, int x, int tipo, int tc, double i, int tabla, int n, int m)
{
    base.sql("insert into T_Escenario values(?, ?, 1000, ?, ?, ?, ?, ?, ?, 'prueba', 0)", {e, x, tipo, tc, i, tabla, n, m});
}

QList<double> Columna(const BaseTemporal& base, const QString& columna, int escenario)
{
    QList<double> valores;
    for (const QString& v : base.filas("select " + columna + " from T_Resultado where Escenario = ? order by Anio_Poliza",
                                       {escenario}))
        valores << v.toDouble();
    return valores;
}

double Valor(const BaseTemporal& base, const QString& columna, int escenario, int anio)
{
    return base.valor("select " + columna + " from T_Resultado where Escenario = ? and Anio_Poliza = ?", {escenario, anio})
        .toDouble();
}

// Rows as another connection sees them: only what was committed.
int FilasConfirmadas(const BaseTemporal& base, const QString& tabla)
{
    int n = -1;
    {
        QSqlDatabase otra = AbreBaseDatos(base.ruta(), QStringLiteral("otra-conexion"));
        QSqlQuery q = Consulta(otra, "select count(*) from " + tabla);
        Siguiente(q);
        n = q.value(0).toInt();
    }
    CierraBaseDatos(QStringLiteral("otra-conexion"));
    return n;
}

} // namespace

class TestAlmacenGeneracion : public QObject
{
    Q_OBJECT

private slots:
    void ejemploDeTresEdades();
    void diezAniosConCincoPagos();
    void comisionPorCalendario_data();
    void comisionPorCalendario();
    void coberturaMensual_data();
    void coberturaMensual();
    void erroresPropios_data();
    void erroresPropios();
    void conservaLasFilasAnterioresAUnFallo();
    void calculaEscenario();
    void calculaEscenarioInexistente();
    void calculaEscenarioConQxVacio();
};

void TestAlmacenGeneracion::ejemploDeTresEdades()
{
    BaseTemporal base;
    TablaDeTresEdades(base);
    Escenario(base, 1, 0, 1, 1, 0, 1, 2, 2);
    base.sql("insert into T_Comision values(1, 1, 50, 15)");
    CalculaConmutados(base.entorno(), 1, 0.0);
    fGeneraResultado(base.entorno(), 1);
    // P = 0.28/1.9; PT = (0.015/2 + P)/(1 - 0.95/2); reserves 0, (P - 0.1)/0.9, 0.
    QCOMPARE(base.filas("select * from T_Resultado order by Anio_Poliza"),
             (QStringList{"1|0|0|0.1|0.147368421052632|0.294987468671679|0|0|0|0|0|0",
                          "1|1|1|0.2|0.147368421052632|0.294987468671679|0|0|0.0526315789473684|0|0|0",
                          "1|2|2|0.2|0.147368421052632|0.294987468671679|0|0|0|0|0|0"}));
    QCOMPARE(base.dialogos.textos(), QStringList{CajaP20});
    QCOMPARE(base.dialogos.reloj, 0);
}

void TestAlmacenGeneracion::diezAniosConCincoPagos()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(3, 'Lineal', 20, 60)");
    for (int x = 20; x <= 60; ++x)
        base.sql("insert into T_DetalleMortalidad values(3, ?, ?)", {x, 0.001 * (x - 10)});
    Escenario(base, 4, 30, 3, 1, 3.5, 3, 10, 5);
    base.sql("insert into T_Comision values(4, 1, 30, 10)");
    CalculaConmutados(base.entorno(), 3, 3.5);
    fGeneraResultado(base.entorno(), 4);
    QCOMPARE(Columna(base, "Anio_Poliza", 4), (QList<double>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    QCOMPARE(Columna(base, "Edad_Alcanzada", 4), (QList<double>{30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40}));
    const QList<double> P = Columna(base, "Prima_Neta_Nivelada", 4);
    const QList<double> PT = Columna(base, "Prima_Tarifa", 4);
    QVERIFY(P.first() > 0 && PT.first() > P.first());
    QCOMPARE(P, QList<double>(11, P.first()));
    QCOMPARE(PT, QList<double>(11, PT.first()));
    QCOMPARE(Valor(base, "Reserva_Matematica", 4, 0), 0.0);
    QCOMPARE(Valor(base, "Prima_Riesgo", 4, 10), Valor(base, "Prima_Riesgo", 4, 9));
    QVERIFY(Valor(base, "Prima_Riesgo", 4, 9) > Valor(base, "Prima_Riesgo", 4, 8));
    QCOMPARE(base.filas("select distinct Anualidad, Seguro, Rescate, Saldado, Prorrogado from T_Resultado"),
             QStringList{"0|0|0|0|0"});
    QVERIFY(base.dialogos.cajas.isEmpty());
}

void TestAlmacenGeneracion::comisionPorCalendario_data()
{
    QTest::addColumn<int>("tipoComision");
    QTest::addColumn<double>("tarifa");
    // Six-age table at 0 %, x = 0, n = m = 4, term: P = (1 - 0.6561)/3.439 = 0.1,
    // ä(0,4) = 3.439 used as a = 3, alpha = 0.015; rows 50 % (year 1), 20 % (2), 5 % (3).
    // Several years: beta = 0.50 + 0.20 * 0.9 + 0.05 * (0.81 + 0.729) = 0.75695.
    QTest::newRow("varios años") << 2 << 0.1404337843561222;
    // Type 1: only year 1 counts, over every premium year: beta = 0.5 * 3.439.
    QTest::newRow("tipo 1 con varias filas") << 1 << 0.2459976571651699;
}

void TestAlmacenGeneracion::comisionPorCalendario()
{
    QFETCH(int, tipoComision);
    QFETCH(double, tarifa);
    BaseTemporal base;
    TablaDeSeisEdades(base);
    Escenario(base, 1, 0, 1, tipoComision, 0, 2, 4, 4);
    base.sql("insert into T_Comision values(1, 1, 50, 15), (1, 2, 20, 0), (1, 3, 5, 0)");
    CalculaConmutados(base.entorno(), 2, 0.0);
    fGeneraResultado(base.entorno(), 1);
    VV_CERCA(Valor(base, "Prima_Neta_Nivelada", 1, 0), 0.1, Tol);
    VV_CERCA(Valor(base, "Prima_Tarifa", 1, 0), tarifa, Tol);
    VV_CERCA(Valor(base, "Prima_Tarifa", 1, 4), tarifa, Tol);
}

void TestAlmacenGeneracion::coberturaMensual_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<QList<double>>("reservas");
    // P = 0.1 a year; V(j) = (1 - (2j - 1)/(2k)) P, the last one 0 below 0.005.
    QTest::newRow("seis meses") << 6 << QList<double>{0, 0.1 * 11 / 12, 0.075, 0.1 * 7 / 12, 0.1 * 5 / 12, 0.025, 0.1 / 12};
    QList<double> doce{0};
    for (int j = 1; j <= 11; ++j)
        doce << 0.1 * (24 - (2 * j - 1)) / 24;
    doce << 0;
    QTest::newRow("doce meses") << 12 << doce;
}

void TestAlmacenGeneracion::coberturaMensual()
{
    QFETCH(int, k);
    QFETCH(QList<double>, reservas);
    BaseTemporal base;
    TablaDeSeisEdades(base);
    Escenario(base, 7, 0, 1, 2, 0, 2, 1, k);
    base.sql("insert into T_Comision values(7, 1, 10, 15)");
    CalculaConmutados(base.entorno(), 2, 0.0);
    fGeneraResultado(base.entorno(), 7);
    QCOMPARE(Columna(base, "Anio_Poliza", 7).size(), k + 1);
    QCOMPARE(Columna(base, "Edad_Alcanzada", 7), QList<double>(k + 1, 0.0));
    const double parte = k / 12.0;
    for (int t = 0; t <= k; ++t) {
        VV_CERCA(Valor(base, "Prima_Riesgo", 7, t), 0.1 * parte, Tol);
        VV_CERCA(Valor(base, "Prima_Neta_Nivelada", 7, t), 0.1 * parte, Tol);
        // beta = 0.10 whatever the commission type: (0.015 + 0.1)/(1 - 0.1), for k months.
        VV_CERCA(Valor(base, "Prima_Tarifa", 7, t), 0.115 / 0.9 * parte, Tol);
        VV_CERCA(Valor(base, "Reserva_Matematica", 7, t), reservas[t], Tol);
    }
    QVERIFY(base.dialogos.cajas.isEmpty());
}

void TestAlmacenGeneracion::erroresPropios_data()
{
    QTest::addColumn<QString>("preparacion");
    QTest::addColumn<QString>("caja");
    QTest::newRow("escenario inexistente") << "" << CajaSinRegistro;
    QTest::newRow("sin fila de comisión del año 1")
        << "insert into T_Escenario values(1, 0, 1000, 1, 1, 0, 1, 2, 2, 'x', 0);"
           "insert into T_Comision values(1, 2, 50, 15)"
        << CajaSinRegistro;
    QTest::newRow("sin columnas para su tasa")
        << "insert into T_Escenario values(1, 0, 1000, 1, 1, 7.5, 1, 2, 2, 'x', 0);"
           "insert into T_Comision values(1, 1, 50, 15)"
        << "Funcion: fGeneraResultado\r\nError:94\r\nUso no válido de Null";
    QTest::newRow("edad vacía")
        << "insert into T_Escenario values(1, null, 1000, 1, 1, 0, 1, 2, 2, 'x', 0);"
           "insert into T_Comision values(1, 1, 50, 15)"
        << "Funcion: fGeneraResultado\r\nError:94\r\nUso no válido de Null";
    QTest::newRow("plazo de 16 bits desbordado")
        << "insert into T_Escenario values(1, 0, 1000, 1, 1, 0, 1, 40000, 2, 'x', 0);"
           "insert into T_Comision values(1, 1, 50, 15)"
        << "Funcion: fGeneraResultado\r\nError:6\r\nDesbordamiento";
}

void TestAlmacenGeneracion::erroresPropios()
{
    QFETCH(QString, preparacion);
    QFETCH(QString, caja);
    BaseTemporal base;
    TablaDeTresEdades(base);
    CalculaConmutados(base.entorno(), 1, 0.0);
    for (const QString& s : preparacion.split(';', Qt::SkipEmptyParts))
        base.sql(s);
    fGeneraResultado(base.entorno(), 1);
    QCOMPARE(base.dialogos.textos(), QStringList{caja});
    QCOMPARE(base.valor("select count(*) from T_Resultado").toInt(), 0);
    QCOMPARE(base.dialogos.reloj, 0);
}

void TestAlmacenGeneracion::conservaLasFilasAnterioresAUnFallo()
{
    BaseTemporal base;
    TablaDeTresEdades(base);
    Escenario(base, 1, 0, 1, 1, 0, 1, 2, 2);
    base.sql("insert into T_Comision values(1, 1, 50, 15)");
    base.sql("create trigger rechaza before insert on T_Resultado when new.Anio_Poliza = 2 "
             "begin select raise(abort, 'disco lleno'); end");
    CalculaConmutados(base.entorno(), 1, 0.0);
    fGeneraResultado(base.entorno(), 1);
    QCOMPARE(base.dialogos.cajas.size(), 2);
    QCOMPARE(base.dialogos.cajas[0].texto, CajaP20);
    QVERIFY(base.dialogos.cajas[1].texto.startsWith("Funcion: fGeneraResultado\r\nError:"));
    QVERIFY(base.dialogos.cajas[1].texto.contains("disco lleno"));
    QCOMPARE(Columna(base, "Anio_Poliza", 1), (QList<double>{0, 1}));
}

void TestAlmacenGeneracion::calculaEscenario()
{
    BaseTemporal base;
    TablaDeTresEdades(base);
    TablaDeSeisEdades(base);
    Escenario(base, 1, 0, 1, 1, 0, 1, 2, 2);
    Escenario(base, 2, 0, 1, 1, 0, 2, 4, 4);
    base.sql("insert into T_Comision values(1, 1, 50, 15), (2, 1, 50, 15)");
    base.sql("insert into T_Resultado(Escenario, Anio_Poliza) values(1, 5), (2, 0)");
    // Stale columns of table 1 at 0 %: the calculation must rebuild them from the current qx.
    base.sql("insert into T_Conmutado(Tabla_Mortalidad, Edad, Interes_Tecnico, Dx, Nx, Mx) values(1, 0, 0, 9, 9, 9)");
    bool relojDuranteCajas = true;
    base.dialogos.alMostrar = [&](const prueba::FakeDialogos::Caja&) { relojDuranteCajas &= base.dialogos.reloj > 0; };

    CalculaEscenario(base.entorno(), 1);

    QCOMPARE(base.filas("select Escenario, Anio_Poliza, Prima_Riesgo from T_Resultado order by 1, 2"),
             (QStringList{"1|0|0.1", "1|1|0.2", "1|2|0.2", "2|0|NULL"}));
    QCOMPARE(base.valor("select count(*) from T_Conmutado where Tabla_Mortalidad = 1").toInt(), 3);
    QCOMPARE(base.valor("select count(*) from T_Conmutado where Tabla_Mortalidad = 2").toInt(), 0);
    QCOMPARE(base.dialogos.textos(), QStringList{CajaP20});
    QCOMPARE(FilasConfirmadas(base, "T_Resultado"), 4);
    QCOMPARE(FilasConfirmadas(base, "T_Conmutado"), 3);
    QVERIFY(relojDuranteCajas);
    QCOMPARE(base.dialogos.reloj, 0);

    // The scenario's own table and rate, whatever was calculated before.
    base.sql("update T_Escenario set Interes_Tecnico = 100, Tabla_Mortalidad = 1 where Escenario = 1");
    CalculaEscenario(base.entorno(), 1);
    QCOMPARE(base.valor("select count(*) from T_Conmutado where Interes_Tecnico = 100").toInt(), 3);
    // At 100 %: (M(1) - M(2))/D(1) = 0.045/0.45.
    VV_CERCA(Valor(base, "Prima_Riesgo", 1, 1), 0.1, Tol);
}

void TestAlmacenGeneracion::calculaEscenarioInexistente()
{
    BaseTemporal base;
    TablaDeTresEdades(base);
    base.sql("insert into T_Resultado(Escenario, Anio_Poliza) values(9, 0), (8, 0)");
    CalculaEscenario(base.entorno(), 9);
    QCOMPARE(base.dialogos.textos(), QStringList{CajaSinRegistro});
    QCOMPARE(base.filas("select Escenario from T_Resultado"), QStringList{"8"});
    QCOMPARE(base.valor("select count(*) from T_Conmutado").toInt(), 0);
    QCOMPARE(base.dialogos.reloj, 0);
}

void TestAlmacenGeneracion::calculaEscenarioConQxVacio()
{
    BaseTemporal base;
    TablaDeTresEdades(base);
    base.sql("update T_DetalleMortalidad set qx = null where Edad = 1");
    Escenario(base, 1, 0, 1, 1, 0, 1, 2, 2);
    base.sql("insert into T_Comision values(1, 1, 50, 15)");
    base.sql("insert into T_Resultado(Escenario, Anio_Poliza) values(1, 0)");
    base.sql("insert into T_Conmutado(Tabla_Mortalidad, Edad, Interes_Tecnico, Dx) values(1, 0, 0, 1)");
    CalculaEscenario(base.entorno(), 1);
    // Each routine tells its own failure; the deletes before them are kept.
    QCOMPARE(base.dialogos.textos(),
             (QStringList{"Rutina: CalculaConmutados\r\nError:94\r\nUso no válido de Null",
                          "Funcion: fGeneraResultado\r\nError:94\r\nUso no válido de Null"}));
    QCOMPARE(base.valor("select count(*) from T_Resultado").toInt(), 0);
    QCOMPARE(FilasConfirmadas(base, "T_Resultado"), 0);
    QCOMPARE(FilasConfirmadas(base, "T_Conmutado"), 0);
    QCOMPARE(base.dialogos.reloj, 0);
}

QTEST_GUILESS_MAIN(TestAlmacenGeneracion)
#include "TestAlmacenGeneracion.moc"
