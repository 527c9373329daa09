// CalculaConmutados against a real database file: what T_Conmutado holds afterwards, and the
// exact error boxes.

#include "actuarial/almacen/Conmutados.h"
#include "actuarial/motor/Columnas.h"
#include "support/BaseTemporal.h"
#include "support/Tolerancia.h"

#include <QTest>

using namespace valvida;
using prueba::BaseTemporal;
using prueba::Exacto;

namespace {

// Table 1, ages 0..2, q = 0.1, 0.2, 1.
const QString TresEdades = QStringLiteral("(1, 0, 0.1), (1, 1, 0.2), (1, 2, 1)");

void Tabla(BaseTemporal& base, const QString& detalle = TresEdades)
{
    base.sql("insert into C_TablaMortalidad values(1, 'Tres edades', 0, 2)");
    if (!detalle.isEmpty())
        base.sql("insert into T_DetalleMortalidad values" + detalle);
}

} // namespace

class TestAlmacenConmutados : public QObject
{
    Q_OBJECT

  private slots:
    void guardaLasColumnasDelEjemplo();
    void guardaCadaValorTalCual();
    void reemplazaSoloSuTasa();
    void fallosConservanLoHecho_data();
    void fallosConservanLoHecho();
};

void TestAlmacenConmutados::guardaLasColumnasDelEjemplo()
{
    BaseTemporal base;
    Tabla(base);
    CalculaConmutados(base.entorno(), 1, 0.0);
    // Cx Dx Mx Nx Rx Sx px lx dex, as worked by hand.
    QCOMPARE(base.filas("select Tabla_Mortalidad, Edad, Interes_Tecnico, Cx, Dx, Mx, Nx, Rx, Sx, px, lx, dex "
                        "from T_Conmutado order by Edad"),
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
    Tabla(base);
    CalculaConmutados(base.entorno(), 1, 4.1);
    ColumnasConmutadas enMemoria;
    enMemoria.dimensiona(0, 2);
    CalculaColumnas(enMemoria, 0, 4.1, {{0.0, 0.1}, {1.0, 0.2}, {2.0, 1.0}});
    for (int x = 0; x <= 2; ++x) {
        const QVariantList clave{x, 4.1};
        const auto i = static_cast<std::size_t>(x);
        QCOMPARE(
            Exacto(base.valor("select Dx from T_Conmutado where Edad = ? and Interes_Tecnico = ?", clave).toDouble()),
            Exacto(enMemoria.Dx[i]));
        QCOMPARE(
            Exacto(base.valor("select Sx from T_Conmutado where Edad = ? and Interes_Tecnico = ?", clave).toDouble()),
            Exacto(enMemoria.Sx[i]));
    }
}

void TestAlmacenConmutados::reemplazaSoloSuTasa()
{
    BaseTemporal base;
    Tabla(base);
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

void TestAlmacenConmutados::fallosConservanLoHecho_data()
{
    QTest::addColumn<QString>("detalle");
    QTest::addColumn<QString>("preparacion");
    QTest::addColumn<QString>("caja");
    QTest::addColumn<QStringList>("quedan"); // Interes_Tecnico|Edad left in T_Conmutado
    // The old rows of rate 3 are gone whatever rule fails after their delete; rate 4's stay.
    QTest::newRow("sin filas") << ""
                               << ""
                               << "" << QStringList{"4|0"};
    QTest::newRow("edad sobre Edad_Final")
        << TresEdades + ", (1, 3, 1)"
        << ""
        << "Rutina: CalculaConmutados\r\nError:9\r\nEl subíndice está fuera del intervalo" << QStringList{"4|0"};
    QTest::newRow("qx vacío") << "(1, 0, 0.1), (1, 1, null), (1, 2, 1)"
                              << ""
                              << "Rutina: CalculaConmutados\r\nError:94\r\nUso no válido de Null" << QStringList{"4|0"};
    // A store that refuses the third row undoes the whole rebuild: the old rows are back.
    QTest::newRow("inserción rechazada")
        << TresEdades
        << "create trigger rechaza before insert on T_Conmutado when new.Edad = 2 "
           "begin select raise(abort, 'disco lleno'); end"
        << "Rutina: CalculaConmutados\r\nError:101811\r\nLa fila viola una restricción "
           "de la tabla (disco lleno)"
        << QStringList{"3|0", "4|0"};
}

void TestAlmacenConmutados::fallosConservanLoHecho()
{
    QFETCH(QString, detalle);
    QFETCH(QString, preparacion);
    QFETCH(QString, caja);
    QFETCH(QStringList, quedan);
    BaseTemporal base;
    Tabla(base, detalle);
    base.sql("insert into T_Conmutado(Tabla_Mortalidad, Edad, Interes_Tecnico, Dx) values(1, 0, 3, 1), (1, 0, 4, 1)");
    if (!preparacion.isEmpty())
        base.sql(preparacion);
    QCOMPARE(CalculaConmutados(base.entorno(), 1, 3.0), caja.isEmpty());
    QCOMPARE(base.dialogos.textos(), caja.isEmpty() ? QStringList{} : QStringList{caja});
    if (!caja.isEmpty())
        QCOMPARE(base.dialogos.cajas.first().icono, Dialogos::Icono::Critico);
    QCOMPARE(base.filas("select Interes_Tecnico, Edad from T_Conmutado order by 1, 2"), quedan);
    QCOMPARE(base.dialogos.reloj, 0);
}

QTEST_GUILESS_MAIN(TestAlmacenConmutados)
#include "TestAlmacenConmutados.moc"
