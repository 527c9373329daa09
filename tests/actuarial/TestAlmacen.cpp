// The engine's store against a real database file: what T_Conmutado and T_Resultado hold after
// CalculaConmutados, fGeneraResultado and CalculaEscenario, worked by hand, and the exact boxes.

#include "actuarial/almacen/Calculo.h"
#include "actuarial/almacen/Conmutados.h"
#include "actuarial/almacen/Generacion.h"
#include "core/BaseDatos.h"
#include "support/BaseTemporal.h"
#include "support/Dialecto.h"
#include "support/Tolerancia.h"

#include <QScopeGuard>
#include <QTest>

#include <optional>

using namespace valvida;
using prueba::BaseTemporal;
using prueba::SegunAlmacen;

namespace {

const QString CajaSinRegistro =
    QStringLiteral("Funcion: fGeneraResultado\r\nError:3021\r\nBOF o EOF es True, o el registro actual se eliminó. "
                   "La operación solicitada requiere un registro actual.");
const QString CajaNull = QStringLiteral("Funcion: fGeneraResultado\r\nError:94\r\nUso no válido de Null");

// Table 1, ages 0..2, q = 0.1, 0.2, 1.
const QString TresEdades = QStringLiteral("(1, 0, 0.1), (1, 1, 0.2), (1, 2, 1)");

void TablaDeTresEdades(BaseTemporal& base, const QString& detalle = TresEdades)
{
    base.sql("insert into C_TablaMortalidad values(1, 'Tres edades', 0, 2)");
    if (!detalle.isEmpty())
        base.sql("insert into T_DetalleMortalidad values" + detalle);
}

// Scenario 1 from Edad, Tipo_Seguro, Tipo_Comision, Interes_Tecnico, Tabla_Mortalidad, Plazo_Seguro,
// Plazo_Pago, and its commission rows "(1, year, percent, per mille), ...".
void Escenario(BaseTemporal& base, const QVariantList& v, const QString& comisiones)
{
    base.sql("insert into T_Escenario values(1, ?, 1000, ?, ?, ?, ?, ?, ?, 'prueba', 0)", v);
    base.sql("insert into T_Comision values" + comisiones);
}

} // namespace

class TestAlmacen : public QObject
{
    Q_OBJECT

  private slots:
    void conmutados_data()
    {
        QTest::addColumn<QString>("detalle");
        QTest::addColumn<QString>("preparacion");
        QTest::addColumn<QStringList>("quedan"); // T_Conmutado: table|age|rate|Cx|Dx|Mx|Nx|Rx|Sx|px|lx|dex
        QTest::addColumn<QString>("caja");
        // Table 1 at 0 % is rebuilt; its old row at 4 % and table 2's at 0 % are left alone.
        const QString vieja = QStringLiteral("|9|9|9|9|9|9|9|9|9");
        const QStringList otras{"1|0|4" + vieja, "2|0|0" + vieja};
        // The example worked by hand: v = 1, l = 1, 0.9, 0.72, the sums from the last age down.
        QTest::newRow("tres edades") << TresEdades << QString()
                                     << QStringList{"1|0|0|0.1|1|1|2.62|2.62|4.96|0.9|1|0.1",
                                                    "1|1|0|0.18|0.9|0.9|1.62|1.62|2.34|0.8|0.9|0.18",
                                                    "1|2|0|0.72|0.72|0.72|0.72|0.72|0.72|0|0.72|0.72"} +
                                            otras
                                     << QString();
        // The old rows of rate 0 are gone whatever rule fails after their delete.
        const QString caja = QStringLiteral("Rutina: CalculaConmutados\r\nError:");
        const QString fuera = caja + "9\r\nEl subíndice está fuera del intervalo";
        QTest::newRow("sin filas") << QString() << QString() << otras << QString();
        QTest::newRow("edad sobre Edad_Final") << TresEdades + ", (1, 3, 1)" << QString() << otras << fuera;
        QTest::newRow("qx vacío") << "(1, 0, 0.1), (1, 1, null), (1, 2, 1)" << QString() << otras
                                  << caja + "94\r\nUso no válido de Null";
        // Ages that run backwards size no columns: the box before the delete, so the old rows stay.
        QTest::newRow("Edad_Final bajo Edad_Inicial") << TresEdades << "update C_TablaMortalidad set Edad_Final = -1"
                                                      << QStringList{"1|0|0" + vieja} + otras << fuera;
    }

    void conmutados()
    {
        QFETCH(QString, detalle);
        QFETCH(QString, preparacion);
        QFETCH(QStringList, quedan);
        QFETCH(QString, caja);
        BaseTemporal base;
        TablaDeTresEdades(base, detalle);
        base.sql("insert into T_Conmutado values(1, 0, 0, 9, 9, 9, 9, 9, 9, 9, 9, 9), "
                 "(1, 0, 4, 9, 9, 9, 9, 9, 9, 9, 9, 9), (2, 0, 0, 9, 9, 9, 9, 9, 9, 9, 9, 9)");
        if (!preparacion.isEmpty())
            base.sql(preparacion);
        QCOMPARE(CalculaConmutados(base.entorno(), 1, 0.0), caja.isEmpty());
        QCOMPARE(base.dialogos.textos(), caja.isEmpty() ? QStringList{} : QStringList{caja});
        for (const prueba::FakeDialogos::Caja& c : base.dialogos.cajas)
            QCOMPARE(c.icono, Dialogos::Icono::Critico);
        QCOMPARE(base.filas("select * from T_Conmutado order by Tabla_Mortalidad, Interes_Tecnico, Edad"), quedan);
        QCOMPARE((QList<int>{base.dialogos.relojMaximo, base.dialogos.reloj}), (QList<int>{1, 0})); // deepest, now
    }

    void resultados_data()
    {
        QTest::addColumn<QVariantList>("escenario");
        QTest::addColumn<QString>("comisiones");
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<QStringList>("filas");
        QTest::addColumn<QStringList>("cajas");

        // P = 0.28/1.9; alpha = 0.015; beta = 0.5 * 1.9; PT = (0.015/2 + P)/(1 - 0.95/2); risk 0.1, 0.2
        // and row 2 repeating row 1; reserves 0, (P - 0.1)/0.9, 0; annuities (N - N2)/D = 1.9, 0.9/0.9,
        // 0; benefits (M - M2)/D = 0.28, 0.18/0.9, 0 at the end; a term has no surrender value.
        QTest::newRow("tres edades")
            << QVariantList{0, 1, 1, 0, 1, 2, 2} << "(1, 1, 50, 15)"
            << "select * from T_Resultado order by Anio_Poliza"
            << QStringList{"1|0|0|0.1|0.147368421052632|0.294987468671679|1.9|0.28|0|0|0|0",
                           "1|1|1|0.2|0.147368421052632|0.294987468671679|1|0.2|0.0526315789473684|0|0|0",
                           "1|2|2|0.2|0.147368421052632|0.294987468671679|0|0|0|0|0|0"}
            << QStringList{};

        // Table 2 at 0 % (q = 0.1 at ages 0..5), x = 1, n = m = 4, term: P = (0.9 - 0.59049)/3.0951 = 0.1,
        // ä(1,4) = 3.439 used as a = 3; rows 50 % (year 1, 15 per mille), 20 % (2), 5 % (3).
        // Several years: beta = 0.50 + 0.20 * 0.9 + 0.05 * (0.81 + 0.729) = 0.75695,
        // PT = (0.015/3 + 0.1)/(1 - 0.75695/3) = 0.14043378435612..., in every row, each at age 1 + t.
        const QString calendario = QStringLiteral("(1, 1, 50, 15), (1, 2, 20, 0), (1, 3, 5, 0)");
        const QString primas = QStringLiteral(
            "select distinct Edad_Alcanzada - Anio_Poliza, Prima_Neta_Nivelada, Prima_Tarifa from T_Resultado");
        QTest::newRow("varios años")
            << QVariantList{1, 1, 2, 0, 2, 4, 4} << calendario << primas << QStringList{"1|0.1|0.140433784356122"}
            << QStringList{"Funcion: fPrimaNivelada\r\nError:9\r\nEl subíndice está fuera del intervalo"};
        // Type 1: only year 1 counts, over every premium year: beta = 0.5 * 3.439, PT = 0.24599765716517.
        QTest::newRow("tipo 1 con varias filas") << QVariantList{1, 1, 1, 0, 2, 4, 4} << calendario << primas
                                                 << QStringList{"1|0.1|0.24599765716517"} << QStringList{};

        // The generator's own failures: a box, and no row written (an unknown scenario: calculaEscenario).
        const QString ninguna = QStringLiteral("select count(*) from T_Resultado");
        QTest::newRow("sin fila de comisión del año 1") << QVariantList{0, 1, 1, 0, 1, 2, 2} << "(1, 2, 50, 15)"
                                                        << ninguna << QStringList{"0"} << QStringList{CajaSinRegistro};
        QTest::newRow("sin columnas para su tabla y tasa") << QVariantList{0, 1, 1, 7.5, 9, 2, 2} << "(1, 1, 50, 15)"
                                                           << ninguna << QStringList{"0"} << QStringList{CajaNull};
        QTest::newRow("edad vacía") << QVariantList{QVariant(), 1, 1, 0, 1, 2, 2} << "(1, 1, 50, 15)" << ninguna
                                    << QStringList{"0"} << QStringList{CajaNull};
    }

    void resultados()
    {
        QFETCH(QVariantList, escenario);
        QFETCH(QString, comisiones);
        QFETCH(QString, consulta);
        QFETCH(QStringList, filas);
        QFETCH(QStringList, cajas);
        BaseTemporal base;
        TablaDeTresEdades(base);
        base.sql("insert into C_TablaMortalidad values(2, 'Seis edades', 0, 5)");
        base.sql("insert into T_DetalleMortalidad values(2, 0, .1), (2, 1, .1), (2, 2, .1), (2, 3, .1), (2, 4, .1), "
                 "(2, 5, .1)");
        Escenario(base, escenario, comisiones);
        CalculaConmutados(base.entorno(), static_cast<std::int16_t>(escenario[4].toInt()), escenario[3].toDouble());
        fGeneraResultado(base.entorno(), 1);
        QCOMPARE(base.filas(consulta), filas);
        QCOMPARE(base.dialogos.textos(), cajas);
        QCOMPARE(base.dialogos.reloj, 0);
    }

    void garantias()
    {
        // Table 2 at 0 % (q = 0.1): l = 1, .9, .81, .729, ...; a 3-year endowment at 0, P = 1/2.71. At 0 %
        // an endowment's benefit is worth 1 at every t; annuities (N(t) - N(3))/l(t) = 2.71, 1.9, 1, 0;
        // reserves 1 - 1.9 P = .81/2.71 and 1 - P = 1.71/2.71. With no row of terms (0 % from year 2)
        // year 2 surrenders its reserve; with 5 % from year 1 both years do, 95 % of it. The extended
        // cover: T(k) from age 1 = .1, .19 <= .95 .81/2.71, so the 2 years left; from age 2, the 1 left.
        const double V1 = .81 / 2.71, V2 = 1.71 / 2.71;
        const QList<QList<double>> sinFila{{2.71, 1, 0, 0, 0}, {1.9, 1, 0, 0, 0}, {1, 1, V2, V2, 1}, {0, 1, 0, 0, 0}};
        const QList<QList<double>> conFila{
            {2.71, 1, 0, 0, 0}, {1.9, 1, .95 * V1, .95 * V1, 2}, {1, 1, .95 * V2, .95 * V2, 1}, {0, 1, 0, 0, 0}};
        for (const bool fila : {false, true}) {
            BaseTemporal base;
            base.sql("insert into C_TablaMortalidad values(2, 'Seis edades', 0, 5)");
            base.sql("insert into T_DetalleMortalidad values(2,0,.1),(2,1,.1),(2,2,.1),(2,3,.1),(2,4,.1),(2,5,.1)");
            Escenario(base, {0, 3, 1, 0, 2, 3, 3}, "(1, 1, 0, 0)");
            if (fila)
                base.sql("insert into T_Garantia values(1, 5, 1)");
            CalculaEscenario(base.entorno(), 1);
            QCOMPARE(base.dialogos.textos(), QStringList{});
            QSqlQuery q = Consulta(base.db(), "select Anualidad, Seguro, Rescate, Saldado, Prorrogado from T_Resultado "
                                              "order by Anio_Poliza");
            for (const QList<double>& esperada : fila ? conFila : sinFila) {
                QVERIFY(Siguiente(q));
                for (int c = 0; c < 5; ++c)
                    VV_CERCA(q.value(c).toDouble(), esperada[c], 1e-12);
            }
        }
    }

    void columnasRecienGuardadas_data()
    {
        QTest::addColumn<QString>("preparacion");
        // Stored ages 0..5 of the catalogue's 0..7: the endowment of 5 years reaches age 6, beyond the columns.
        QTest::newRow("edades del detalle") << "";
        // What is stored is not what was computed: the generation must read it.
        QTest::newRow("un disparador cambia las columnas")
            << prueba::Disparador("dobla", "after insert on T_Conmutado",
                                  "update T_Conmutado set Dx = 2 * Dx where Tabla_Mortalidad = new.Tabla_Mortalidad "
                                  "and Interes_Tecnico = new.Interes_Tecnico and Edad = new.Edad")
                   .join('\n');
    }

    void columnasRecienGuardadas()
    {
        // The calculation hands the generation the columns it has just stored: the same rows and boxes
        // as the generation alone gives from the stored columns.
        QFETCH(QString, preparacion);
        BaseTemporal base;
        base.sql("insert into C_TablaMortalidad values(2, 'Seis edades', 0, 7)");
        base.sql("insert into T_DetalleMortalidad values(2, 0, .1), (2, 1, .15), (2, 2, .2), (2, 3, .3), (2, 4, .5), "
                 "(2, 5, .6)");
        Escenario(base, {1, 3, 1, 4, 2, 4, 3}, "(1, 1, 50, 15)");
        for (const QString& sentencia : preparacion.split('\n', Qt::SkipEmptyParts))
            base.sql(sentencia);
        for (const int plazo : {4, 5}) {
            base.sql("update T_Escenario set Plazo_Seguro = ?", {plazo});
            const qsizetype antes = base.dialogos.textos().size();
            CalculaEscenario(base.entorno(), 1);
            const QStringList cajas = base.dialogos.textos().mid(antes);
            const QStringList filas = base.filas("select * from T_Resultado order by Anio_Poliza");
            base.sql("delete from T_Resultado");
            fGeneraResultado(base.entorno(), 1);
            QCOMPARE(base.dialogos.textos().mid(antes + cajas.size()), cajas);
            QCOMPARE(base.filas("select * from T_Resultado order by Anio_Poliza"), filas);
            QVERIFY(filas.size() > 1);
        }
    }

    void filasAntesDeUnaCaja()
    {
        // l(3) = 0: the reserve tells first, then the risk premium of year 3, with years 0 to 2 already in
        // the table while its box shows.
        BaseTemporal base;
        base.sql("insert into C_TablaMortalidad values(2, 'Cinco edades', 0, 4)");
        base.sql("insert into T_DetalleMortalidad values(2, 0, .1), (2, 1, .2), (2, 2, 1), (2, 3, .5), (2, 4, .5)");
        Escenario(base, {0, 1, 1, 0, 2, 4, 4}, "(1, 1, 50, 15)");
        QStringList vistas;
        base.dialogos.alMostrar = [&](const prueba::FakeDialogos::Caja& c) {
            vistas << c.texto.section('\r', 0, 0) + ' ' + base.filas("select count(*) from T_Resultado").join("");
        };
        CalculaEscenario(base.entorno(), 1);
        QCOMPARE(vistas, (QStringList{"Rutina: fReserva 0", "Funcion: fSeguro 3"}));
        QCOMPARE(base.filas("select count(*) from T_Resultado"), QStringList{"5"});
    }

    void calculaEscenario_data()
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
            << prueba::Disparador("rechaza", "before insert on T_Resultado", prueba::Falla("disco lleno"),
                                  "new.Anio_Poliza = 2")
                   .join('\n')
            << QStringList{"Funcion: fGeneraResultado\r\n" +
                           SegunAlmacen("Error:101811\r\nLa fila viola una restricción de la tabla (disco lleno)",
                                        "Error:200000\r\nError del servidor de base de datos P0001 (disco lleno)")}
            << antes << "1";
        // A page limit at the file's size: the columns' page, filled by another table's row, must grow. A
        // server's disk cannot be filled from here: the columns' insert fails as a full disk (53100) fails it.
        const QString otraTabla =
            QStringLiteral("insert into T_Conmutado(Tabla_Mortalidad, Edad, Interes_Tecnico, lx) values(9, 0, 0, ");
        QTest::newRow("disco lleno en los conmutados")
            << 1
            << SegunAlmacen(otraTabla + "zeroblob(3900))\npragma max_page_count = 1",
                            otraTabla + "0)\n" +
                                prueba::Disparador("lleno", "before insert on T_Conmutado",
                                                   prueba::Falla("database or disk is full", "53100"))
                                    .join('\n'))
            << QStringList{"Rutina: CalculaConmutados\r\nError:100013\r\nEl disco está lleno (database or disk is "
                           "full)"}
            << antes << "2";
        QTest::newRow("otro programa escribe")
            << 1 << "bloqueada"
            << QStringList{"Rutina: CalculaEscenario\r\nError:100005\r\nLa base de datos está bloqueada por otro "
                           "programa (" +
                           SegunAlmacen("database is locked", "canceling statement due to lock timeout") + ")"}
            << antes << "1";
    }

    void calculaEscenario()
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
        base.sql(
            "insert into T_Conmutado(Tabla_Mortalidad, Edad, Interes_Tecnico, Dx, Nx, Mx) values(1, 0, 100, 9, 9, 9)");
        // Another connection: it sees only what was committed, and as another program it can hold
        // the write lock throughout (and the calculation waits for it only briefly).
        QSqlDatabase otra = AbreBaseDatos(base.ruta(), "otra-conexion");
        const auto cierra = qScopeGuard([&] { otra = QSqlDatabase(), CierraBaseDatos("otra-conexion"); });
        std::optional<Transaccion> escribe;
        if (preparacion == "bloqueada") {
            escribe.emplace(otra);
            preparacion = SegunAlmacen("pragma busy_timeout = 100", "set lock_timeout = 100");
        }
        for (const QString& sentencia : preparacion.split('\n', Qt::SkipEmptyParts))
            base.sql(sentencia);
        bool relojDuranteCajas = true;
        base.dialogos.alMostrar = [&](const prueba::FakeDialogos::Caja&) {
            relojDuranteCajas &= base.dialogos.reloj > 0;
        };
        // Stored when nothing was told.
        QCOMPARE(CalculaEscenario(base.entorno(), escenario), cajas.isEmpty());
        QCOMPARE(base.dialogos.textos(), cajas);
        QVERIFY(relojDuranteCajas);
        QCOMPARE(base.dialogos.reloj, 0);
        // Each row's values as the system's text, a null as nothing.
        const auto confirmadas = [&](const QString& consulta) {
            QStringList filas;
            for (QSqlQuery q = Consulta(otra, consulta); Siguiente(q);) {
                QStringList valores;
                for (int c = 0; c < q.record().count(); ++c)
                    valores << (q.isNull(c) ? QString() : ValorATexto(q.value(c)));
                filas << valores.join('|');
            }
            return filas;
        };
        QCOMPARE(confirmadas("select Escenario, Anio_Poliza, Prima_Riesgo from T_Resultado order by Escenario, "
                             "Anio_Poliza"),
                 resultados);
        QCOMPARE(confirmadas("select count(*) from T_Conmutado"), QStringList{conmutados});
    }
};

QTEST_GUILESS_MAIN(TestAlmacen)
#include "TestAlmacen.moc"
