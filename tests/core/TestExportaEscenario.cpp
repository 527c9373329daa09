#include "core/ExportaEscenario.h"
#include "support/BaseTemporal.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

using namespace valvida;
using valvida::prueba::BaseTemporal;

namespace {

// Scenario 7 (one-year cover of six months, table 3, rate 4.5) with two result rows and a
// one-row schedule; table 3 also has columns at 5, and table 4 and scenario 8 rows of their
// own, none of which belong in scenario 7's file. Scenario 9 was never calculated.
void Siembra(BaseTemporal& b)
{
    b.sql("insert into C_TablaMortalidad values (3, 'Tabla Prueba', 40, 41)");
    b.sql("insert into C_TablaMortalidad values (4, 'Otra', 40, 41)");
    b.sql("insert into T_DetalleMortalidad values (3, 40, 0.002)");
    b.sql("insert into T_DetalleMortalidad values (3, 41, 0.0025)");
    b.sql("insert into T_DetalleMortalidad values (4, 40, 0.5)");
    b.sql("insert into T_Conmutado values (3, 41, 4.5, 0.0021, 0.9, 0.4, 0.9, 0.4, 0.9, 0.9975, 0.998, 0.0025)");
    b.sql("insert into T_Conmutado values (3, 40, 4.5, 0.0019, 1, 0.8, 1.9, 1.2, 2.8, 0.998, 1, 0.002)");
    b.sql("insert into T_Conmutado values (3, 40, 5, 0.0018, 1, 0.7, 1.8, 1.1, 2.7, 0.998, 1, 0.002)");
    b.sql("insert into T_Conmutado values (4, 40, 4.5, 0.4, 1, 0.4, 1, 0.4, 1, 0.5, 1, 0.5)");
    b.sql("insert into T_Escenario values (7, 40, 100000, 1, 1, 4.5, 3, 1, 6, ?, 0)", {QStringLiteral("Niño")});
    b.sql("insert into T_Escenario values (8, 30, 5000, 2, 2, 4.5, 3, 20, 10, 'Otro', 3)");
    b.sql("insert into T_Escenario values (9, 41, 2000, 1, 1, 6, 3, 5, 5, 'Sin calcular', 0)");
    b.sql("insert into T_Resultado values (7, 0, 40, 0.0003, 0.00025, 0.0004, 0, 0, 0, 0, 0, 0)");
    b.sql("insert into T_Resultado values (7, 1, 40, 0.0003, 0.00025, 0.0004, 0, 0, 0.0000123, 0, 0, 0)");
    b.sql("insert into T_Resultado values (8, 0, 30, 0.1, 0.2, 0.3, 0, 0, 0, 0, 0, 0)");
    b.sql("insert into T_Comision values (7, 1, 50, 15)");
    b.sql("insert into T_Comision values (8, 1, 40, 10)");
}

QByteArray Lee(const QString& ruta)
{
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        return "(no existe)";
    return f.readAll();
}

const QByteArray CabeceraEscenario = "Escenario,Edad,Suma_Asegurada,Tipo_Seguro,Tipo_Comision,Interes_Tecnico,"
                                     "Tabla_Mortalidad,Plazo_Seguro,Plazo_Pago,Descripcion,Total_Anios\r\n";

// The file of scenario 7, written out by hand.
const QByteArray ArchivoEscenario7 =
    "T_Escenario\r\n" + CabeceraEscenario +
    "7,40,100000,1,1,4.5,3,1,6,Ni\xF1o,0\r\n"
    "T_Resultado\r\n"
    "Escenario,Anio_Poliza,Edad_Alcanzada,Prima_Riesgo,Prima_Neta_Nivelada,Prima_Tarifa,Anualidad,Seguro,"
    "Reserva_Matematica,Rescate,Saldado,Prorrogado\r\n"
    "7,0,40,0.0003,0.00025,0.0004,0,0,0,0,0,0\r\n"
    "7,1,40,0.0003,0.00025,0.0004,0,0,1.23E-05,0,0,0\r\n"
    "T_DetalleMortalidad\r\n"
    "Tabla_Mortalidad,Edad,qx\r\n"
    "3,40,0.002\r\n"
    "3,41,0.0025\r\n"
    "T_Conmutado\r\n"
    "Tabla_Mortalidad,Edad,Interes_Tecnico,Cx,Dx,Mx,Nx,Rx,Sx,px,lx,dex\r\n"
    "3,40,4.5,0.0019,1,0.8,1.9,1.2,2.8,0.998,1,0.002\r\n"
    "3,41,4.5,0.0021,0.9,0.4,0.9,0.4,0.9,0.9975,0.998,0.0025\r\n"
    "T_Comision\r\n"
    "Escenario,Anio_Comision,Porcentaje_Prima,Tantos_Suma\r\n"
    "7,1,50,15\r\n";

} // namespace

class TestExportaEscenario : public QObject
{
    Q_OBJECT

    std::unique_ptr<BaseTemporal> b;
    QString ruta(const QString& nombre = QStringLiteral("escenario.csv")) { return b->carpeta() + '/' + nombre; }

  private slots:
    void init()
    {
        b = std::make_unique<BaseTemporal>();
        Siembra(*b);
    }

    void escribeLasCincoSecciones_data()
    {
        QTest::addColumn<int>("escenario");
        QTest::addColumn<int>("tabla");
        QTest::addColumn<double>("tasa");
        QTest::addColumn<QByteArray>("esperado");

        // The rate 4.5 picks its own commutation rows of table 3, neither those at 5 nor table 4's.
        QTest::newRow("calculado, tasa 4.5") << 7 << 3 << 4.5 << ArchivoEscenario7;
        // Never calculated, no schedule, no columns at 6: those sections are their title alone.
        QTest::newRow("secciones vacías") << 9 << 3 << 6.0
                                          << QByteArray("T_Escenario\r\n" + CabeceraEscenario +
                                                        "9,41,2000,1,1,6,3,5,5,Sin calcular,0\r\n"
                                                        "T_Resultado\r\n"
                                                        "T_DetalleMortalidad\r\n"
                                                        "Tabla_Mortalidad,Edad,qx\r\n"
                                                        "3,40,0.002\r\n"
                                                        "3,41,0.0025\r\n"
                                                        "T_Conmutado\r\n"
                                                        "T_Comision\r\n");
        QTest::newRow("escenario inexistente") << 99 << 5 << 4.5
                                               << QByteArray("T_Escenario\r\nT_Resultado\r\nT_DetalleMortalidad\r\n"
                                                             "T_Conmutado\r\nT_Comision\r\n");
    }

    void escribeLasCincoSecciones()
    {
        QFETCH(int, escenario);
        QFETCH(int, tabla);
        QFETCH(double, tasa);
        // A longer file of another export is there first: nothing of it may remain.
        b->archivo(QStringLiteral("escenario.csv"), QByteArray(4000, 'x') + "\r\n");
        ExportaEscenario(b->entorno(), escenario, static_cast<std::int16_t>(tabla), tasa, ruta());
        QTEST(Lee(ruta()), "esperado");
        if (escenario != 99) {
            // Again, with the table and rate read from the scenario's own row: the same file.
            ExportaEscenario(b->entorno(), escenario, ruta());
            QTEST(Lee(ruta()), "esperado");
        }
        QVERIFY(b->dialogos.cajas.isEmpty());
        // No temporary file is left beside it.
        QCOMPARE(QDir(b->carpeta()).entryList(QDir::Files), (QStringList{"cavi.mdb", "escenario.csv"}));
    }

    void unaSeccionQueFallaNoDetieneLasDemas()
    {
        b->sql("insert into T_DetalleMortalidad values (3, 42, NULL)");
        ExportaEscenario(b->entorno(), 7, 3, 4.5, ruta());
        QCOMPARE(b->dialogos.textos().size(), 1);
        QVERIFY2(b->dialogos.textos().at(0).startsWith(QStringLiteral("Rutina: CargaFlexgrid\r\nError:94\r\n")),
                 qPrintable(b->dialogos.textos().at(0)));
        // The table's section stops before the age with no qx; the later sections are all there.
        QCOMPARE(Lee(ruta()), ArchivoEscenario7);
    }

    void archivoQueNoSePuedeEscribirQuedaIntacto_data()
    {
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QString>("caja"); // how the box starts; %1 is the chosen path
        const QString acceso =
            QStringLiteral("Rutina: cmdVaciar_Click\r\nError:75\r\nError de acceso a la ruta o el archivo: ");
        const QString base =
            QStringLiteral("Rutina: cmdVaciar_Click\r\nError:70\r\nPermiso denegado: %1 es la base de datos abierta");
        QTest::newRow("marcado de solo lectura") << "viejo.csv" << acceso + "%1";
        QTest::newRow("carpeta inexistente") << "no/hay/carpeta.csv" << acceso;
        // The dialog opens in the database's own folder: its name, or a link to it, would replace it.
        QTest::newRow("la base de datos") << "cavi.mdb" << base;
        QTest::newRow("un enlace a la base de datos") << "enlace.csv" << base;
    }

    void archivoQueNoSePuedeEscribirQuedaIntacto()
    {
        QFETCH(QString, nombre);
        QFETCH(QString, caja);
        if (nombre == QStringLiteral("viejo.csv"))
            QVERIFY(QFile::setPermissions(b->archivo(nombre, "contenido anterior\r\n"),
                                          QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        if (nombre == QStringLiteral("enlace.csv"))
            QVERIFY(QFile::link(b->ruta(), ruta(nombre)));
        const QByteArray antes = Lee(ruta(nombre));
        const QStringList archivos = QDir(b->carpeta()).entryList(QDir::Files);
        b->dialogos.eligeArchivo(ruta(nombre));

        QVERIFY(!DescargaEscenario(b->entorno(), 7));

        QCOMPARE(b->dialogos.cajas.size(), 1);
        QVERIFY2(b->dialogos.cajas.at(0).texto.startsWith(caja.replace("%1", ruta(nombre))),
                 qPrintable(b->dialogos.cajas.at(0).texto));
        QCOMPARE(b->dialogos.cajas.at(0).icono, Dialogos::Icono::Critico);
        // The old file as it was, and no temporary file beside it.
        QCOMPARE(Lee(ruta(nombre)), antes);
        QCOMPARE(QDir(b->carpeta()).entryList(QDir::Files), archivos);
        QCOMPARE(b->dialogos.reloj, 0);
    }

    void tasaGuardadaConTodasSusCifras()
    {
        // 10/3 % reads 3.33333333333333 in the list, a number other than the one stored.
        b->sql("update T_Escenario set Interes_Tecnico = ? where Escenario = 7", {10.0 / 3});
        b->sql("update T_Conmutado set Interes_Tecnico = ? where Interes_Tecnico = 4.5 and Tabla_Mortalidad = 3",
               {10.0 / 3});
        b->dialogos.eligeArchivo(ruta());
        QVERIFY(DescargaEscenario(b->entorno(), 7));
        QVERIFY(
            Lee(ruta()).contains("lx,dex\r\n3,40,3.33333333333333,0.0019,1,0.8,1.9,1.2,2.8,0.998,1,0.002\r\n3,41,"));
    }

    void dialogoEligeElNombre_data()
    {
        QTest::addColumn<QString>("elegido");
        QTest::addColumn<QString>("escrito");
        QTest::newRow("cancelado") << ""
                                   << "";
        QTest::newRow("sin extensión") << "salida"
                                       << "salida.csv";
        QTest::newRow("con extensión CSV") << "salida.CSV"
                                           << "salida.CSV";
        QTest::newRow("otra extensión") << "salida.txt"
                                        << "salida.txt";
    }

    void dialogoEligeElNombre()
    {
        QFETCH(QString, elegido);
        QFETCH(QString, escrito);
        b->dialogos.eligeArchivo(elegido.isEmpty() ? QString() : ruta(elegido));

        QCOMPARE(DescargaEscenario(b->entorno(), 7), !escrito.isEmpty());

        QCOMPARE(b->dialogos.carpetasDialogo, QStringList{b->carpeta()});
        QCOMPARE(b->dialogos.filtrosDialogo,
                 QStringList{QStringLiteral("Archivo de valores separados por comas|*.CSV")});
        QStringList archivos{QStringLiteral("cavi.mdb")};
        if (!escrito.isEmpty()) {
            archivos << escrito;
            QCOMPARE(Lee(ruta(escrito)), ArchivoEscenario7);
        }
        QCOMPARE(QDir(b->carpeta()).entryList(QDir::Files), archivos);
        QVERIFY(b->dialogos.cajas.isEmpty());
        // The hourglass while writing only, and gone afterwards.
        QCOMPARE((QList<int>{b->dialogos.relojMaximo, b->dialogos.reloj}), (QList<int>{escrito.isEmpty() ? 0 : 1, 0}));
    }
};

QTEST_GUILESS_MAIN(TestExportaEscenario)
#include "TestExportaEscenario.moc"
