// CalculaConmutados against a real database file: what T_Conmutado holds afterwards, and the
// exact error boxes.

#include "actuarial/almacen/Conmutados.h"
#include "actuarial/motor/Columnas.h"
#include "support/BaseTemporal.h"

#include <QTest>

using namespace valvida;
using prueba::BaseTemporal;

namespace {

const QString Columnas = QStringLiteral(
    "select Tabla_Mortalidad, Edad, Interes_Tecnico, Cx, Dx, Mx, Nx, Rx, Sx, px, lx, dex from T_Conmutado ");

// Table 1, ages 0..2, q = 0.1, 0.2, 1.
void TablaDeTresEdades(BaseTemporal& base)
{
    base.sql(QStringLiteral("insert into C_TablaMortalidad values(1, 'Tres edades', 0, 2)"));
    base.sql(QStringLiteral("insert into T_DetalleMortalidad values(1, 0, 0.1), (1, 1, 0.2), (1, 2, 1)"));
}

} // namespace

class TestAlmacenConmutados : public QObject
{
    Q_OBJECT

private slots:
    void guardaLasColumnasDelEjemplo();
    void guardaCadaValorTalCual();
    void reemplazaSoloSuTasa();
    void detalleVacioSoloBorra();
    void filaErroneaNoGuardaNada_data();
    void filaErroneaNoGuardaNada();
    void conservaLasFilasAnterioresAUnFallo();
};

void TestAlmacenConmutados::guardaLasColumnasDelEjemplo()
{
    BaseTemporal base;
    TablaDeTresEdades(base);
    CalculaConmutados(base.entorno(), 1, 0.0);
    // Cx Dx Mx Nx Rx Sx px lx dex, as worked by hand.
    QCOMPARE(base.filas(Columnas + "order by Edad"),
             (QStringList{"1|0|0|0.1|1|1|2.62|2.62|4.96|0.9|1|0.1", "1|1|0|0.18|0.9|0.9|1.62|1.62|2.34|0.8|0.9|0.18",
                          "1|2|0|0.72|0.72|0.72|0.72|0.72|0.72|0|0.72|0.72"}));
    QVERIFY(base.dialogos.cajas.isEmpty());
    QCOMPARE(base.dialogos.relojMaximo, 1);
    QCOMPARE(base.dialogos.reloj, 0);
}

void TestAlmacenConmutados::guardaCadaValorTalCual()
{
    // At 4.1 % the values need all 17 digits; the store keeps the very double computed.
    BaseTemporal base;
    TablaDeTresEdades(base);
    CalculaConmutados(base.entorno(), 1, 4.1);
    ColumnasConmutadas enMemoria;
    enMemoria.dimensiona(0, 2);
    CalculaColumnas(enMemoria, 0, 4.1, {{0.0, 0.1}, {1.0, 0.2}, {2.0, 1.0}});
    for (int x = 0; x <= 2; ++x) {
        const QVariantList clave{x, 4.1};
        QCOMPARE(base.valor("select Dx from T_Conmutado where Edad = ? and Interes_Tecnico = ?", clave).toDouble(),
                 enMemoria.D(x));
        QCOMPARE(base.valor("select Sx from T_Conmutado where Edad = ? and Interes_Tecnico = ?", clave).toDouble(),
                 enMemoria.Sx[static_cast<std::size_t>(x)]);
    }
    // Rate 100: D(1) = 0.9 * 0.5, C(2) = 0.72 * 0.125.
    CalculaConmutados(base.entorno(), 1, 100.0);
    QCOMPARE(base.valor("select Dx from T_Conmutado where Edad = 1 and Interes_Tecnico = 100").toDouble(), 0.45);
    QCOMPARE(base.valor("select Cx from T_Conmutado where Edad = 2 and Interes_Tecnico = 100").toDouble(), 0.09);
}

void TestAlmacenConmutados::reemplazaSoloSuTasa()
{
    BaseTemporal base;
    TablaDeTresEdades(base);
    base.sql("insert into T_Conmutado(Tabla_Mortalidad, Edad, Interes_Tecnico, Dx) values(1, 40, 4, 9), (2, 0, 4, 9)");
    CalculaConmutados(base.entorno(), 1, 4.0);
    CalculaConmutados(base.entorno(), 1, 5.0);
    CalculaConmutados(base.entorno(), 1, 4.0); // a second call leaves the same rows
    QCOMPARE(base.filas("select Tabla_Mortalidad, Interes_Tecnico, count(*), min(Edad), max(Edad) from T_Conmutado "
                        "group by Tabla_Mortalidad, Interes_Tecnico order by 1, 2"),
             (QStringList{"1|4|3|0|2", "1|5|3|0|2", "2|4|1|0|0"}));
    // D(1) = 0.9 / 1.05 at 5 %, 0.9 / 1.04 at 4 %: each rate has its own rows.
    QCOMPARE(base.filas("select Dx from T_Conmutado where Edad = 1 order by Interes_Tecnico"),
             (QStringList{"0.865384615384615", "0.857142857142857"}));
}

void TestAlmacenConmutados::detalleVacioSoloBorra()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'Vacía', 0, 110)");
    base.sql("insert into T_Conmutado(Tabla_Mortalidad, Edad, Interes_Tecnico, Dx) values(1, 0, 3, 1)");
    CalculaConmutados(base.entorno(), 1, 3.0);
    QCOMPARE(base.valor("select count(*) from T_Conmutado").toInt(), 0);
    QVERIFY(base.dialogos.cajas.isEmpty());
}

void TestAlmacenConmutados::filaErroneaNoGuardaNada_data()
{
    QTest::addColumn<QString>("detalle");
    QTest::addColumn<QString>("caja");
    QTest::newRow("edad sobre Edad_Final") << "(1, 0, 0.1), (1, 1, 0.2), (1, 2, 1), (1, 3, 1)"
                                           << "Rutina: CalculaConmutados\r\nError:9\r\nEl subíndice está fuera del "
                                              "intervalo";
    QTest::newRow("qx vacío") << "(1, 0, 0.1), (1, 1, null), (1, 2, 1)"
                              << "Rutina: CalculaConmutados\r\nError:94\r\nUso no válido de Null";
}

void TestAlmacenConmutados::filaErroneaNoGuardaNada()
{
    QFETCH(QString, detalle);
    QFETCH(QString, caja);
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values(1, 'Tres edades', 0, 2)");
    base.sql("insert into T_DetalleMortalidad values" + detalle);
    base.sql("insert into T_Conmutado(Tabla_Mortalidad, Edad, Interes_Tecnico, Dx) values(1, 0, 3, 1), (1, 0, 4, 1)");
    CalculaConmutados(base.entorno(), 1, 3.0);
    QCOMPARE(base.dialogos.textos(), QStringList{caja});
    QCOMPARE(base.dialogos.cajas.first().icono, Dialogos::Icono::Critico);
    // The old rows of this rate are gone all the same; the other rate's stay.
    QCOMPARE(base.filas("select Interes_Tecnico from T_Conmutado"), QStringList{"4"});
    QCOMPARE(base.dialogos.reloj, 0);
}

void TestAlmacenConmutados::conservaLasFilasAnterioresAUnFallo()
{
    BaseTemporal base;
    TablaDeTresEdades(base);
    base.sql("create trigger rechaza before insert on T_Conmutado when new.Edad = 2 "
             "begin select raise(abort, 'disco lleno'); end");
    CalculaConmutados(base.entorno(), 1, 0.0);
    QCOMPARE(base.dialogos.cajas.size(), 1);
    QVERIFY(base.dialogos.cajas.first().texto.startsWith("Rutina: CalculaConmutados\r\nError:"));
    QVERIFY(base.dialogos.cajas.first().texto.contains("disco lleno"));
    QCOMPARE(base.filas("select Edad from T_Conmutado order by Edad"), (QStringList{"0", "1"}));
}

QTEST_GUILESS_MAIN(TestAlmacenConmutados)
#include "TestAlmacenConmutados.moc"
