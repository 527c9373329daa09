#include "core/ExportaEscenario.h"
#include "support/BaseTemporal.h"
#include "support/Dialecto.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

using namespace valvida;
using valvida::prueba::BaseTemporal;

namespace {

// Scenario 7 (its description starting as a formula; a one-year cover of six months, table 3, rate 4.5) with two result
// rows and a one-row schedule; table 3 also has columns at 5, and table 4 and scenario 8 rows of their own, none of
// which belong in scenario 7's file. Scenario 9 was never calculated; its rate, 10/3 %, reads 3.33333333333333 in the
// list, a number other than the one stored.
void Siembra(BaseTemporal& b)
{
    b.sql("insert into C_TablaMortalidad values (3, 'Tabla Prueba', 40, 41), (4, 'Otra', 40, 41)");
    b.sql("insert into T_DetalleMortalidad values (3, 40, 0.002), (3, 41, 0.0025), (4, 40, 0.5)");
    b.sql("insert into T_Conmutado values (3, 41, 4.5, 0.0021, 0.9, 0.4, 0.9, 0.4, 0.9, 0.9975, 0.998, 0.0025), "
          "(3, 40, 4.5, 0.0019, 1, 0.8, 1.9, 1.2, 2.8, 0.998, 1, 0.002), "
          "(3, 40, 5, 0.0018, 1, 0.7, 1.8, 1.1, 2.7, 0.998, 1, 0.002), "
          "(4, 40, 4.5, 0.4, 1, 0.4, 1, 0.4, 1, 0.5, 1, 0.5), (3, 41, ?, 1, 2, 3, 4, 5, 6, 7, 8, 9)",
          {10.0 / 3});
    b.sql("insert into T_Escenario values (7, 40, 100000, 1, 1, 4.5, 3, 1, 6, '=Niño', 0), "
          "(8, 30, 5000, 2, 2, 4.5, 3, 20, 10, 'Otro', 3), (9, 41, 2000, 1, 1, ?, 3, 5, 5, 'Sin calcular', 0)",
          {10.0 / 3});
    b.sql("insert into T_Resultado values (7, 0, 40, 0.0003, 0.00025, 0.0004, 0, 0, 0, 0, 0, 0), "
          "(7, 1, 40, 0.0003, 0.00025, 0.0004, 0, 0, 0.0000123, 0, 0, 0), (8, 0, 30, 0.1, 0.2, 0.3, 0, 0, 0, 0, 0, 0)");
    b.sql("insert into T_Comision values (7, 1, 50, 15), (8, 1, 40, 10)");
}

const QByteArray CabeceraEscenario = "Escenario,Edad,Suma_Asegurada,Tipo_Seguro,Tipo_Comision,Interes_Tecnico,"
                                     "Tabla_Mortalidad,Plazo_Seguro,Plazo_Pago,Descripcion,Total_Anios\r\n";
const QByteArray CabeceraConmutado = "Tabla_Mortalidad,Edad,Interes_Tecnico,Cx,Dx,Mx,Nx,Rx,Sx,px,lx,dex\r\n";

// The file of scenario 7, written out by hand.
const QByteArray ArchivoEscenario7 =
    "T_Escenario\r\n" + CabeceraEscenario +
    "7,40,100000,1,1,4.5,3,1,6,'=Ni\xF1o,0\r\n" // a text a spreadsheet would run as a formula
    "T_Resultado\r\n"
    "Escenario,Anio_Poliza,Edad_Alcanzada,Prima_Riesgo,Prima_Neta_Nivelada,Prima_Tarifa,Anualidad,Seguro,"
    "Reserva_Matematica,Rescate,Saldado,Prorrogado\r\n"
    "7,0,40,0.0003,0.00025,0.0004,0,0,0,0,0,0\r\n"
    "7,1,40,0.0003,0.00025,0.0004,0,0,1.23E-05,0,0,0\r\n"
    "T_DetalleMortalidad\r\n"
    "Tabla_Mortalidad,Edad,qx\r\n"
    "3,40,0.002\r\n"
    "3,41,0.0025\r\n"
    "T_Conmutado\r\n" +
    CabeceraConmutado +
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

    void escenarioSinResultadosNiComision()
    {
        // Scenario 9 has no results and no schedule: those sections are their title alone. Its columns
        // are found at the rate as stored, to the last bit. Scenario 7's file: through the dialog, below.
        ExportaEscenario(b->entorno(), 9, ruta());
        QCOMPARE(prueba::LeeArchivo(ruta()),
                 "T_Escenario\r\n" + CabeceraEscenario +
                     "9,41,2000,1,1,3.33333333333333,3,5,5,Sin calcular,0\r\nT_Resultado\r\n"
                     "T_DetalleMortalidad\r\nTabla_Mortalidad,Edad,qx\r\n3,40,0.002\r\n3,41,0.0025\r\n"
                     "T_Conmutado\r\n" +
                     CabeceraConmutado + "3,41,3.33333333333333,1,2,3,4,5,6,7,8,9\r\nT_Comision\r\n");
        QVERIFY(b->dialogos.cajas.isEmpty());
    }

    void descarga()
    {
        // The name chosen in the dialog (empty: cancelled), the scenario, how the box starts (%1 the
        // path; none: no box) and the file written, scenario 7's.
        const QString error = QStringLiteral("Rutina: cmdVaciar_Click\r\nError:");
        const QString acceso = error + "75\r\nError de acceso a la ruta o el archivo: ";
        const QString base = error + "70\r\nPermiso denegado: %1 es la base de datos abierta";
        // clang-format off
        const std::tuple<QString, int, QString, QString> casos[] = {
            {"", 7, "", ""}, {"salida", 7, "", "salida.csv"}, {"salida.CSV", 7, "", "salida.CSV"},
            {"viejo.csv", 7, acceso + "%1", ""}, // marked read-only
            {"no/hay/carpeta.csv", 7, acceso, ""},
            // The dialog opens in the database's own folder: its name, or a link to it, would replace it.
            {"cavi.mdb", 7, base, ""}, {"enlace.csv", 7, base, ""}, {"cavi.mdb", 99, base, ""},
            {"e.csv", 99, error + "3021\r\nNo existe el escenario 99", ""},
            // An age of the table without qx stops its section; the later sections are all there.
            {"nulo.csv", 7, "Rutina: CargaFlexgrid\r\nError:94\r\nUso no válido de Null", "nulo.csv"},
        };
        // clang-format on
        for (const auto& [nombre, escenario, caja, escrito] : casos) {
            if (caja == base && prueba::EnServidor())
                continue; // a server's database is no file in that folder
            init();
            if (nombre == "viejo.csv")
                QVERIFY(QFile::setPermissions(b->archivo(nombre, "contenido anterior\r\n"),
                                              QFileDevice::ReadOwner | QFileDevice::ReadGroup));
            if (nombre == "enlace.csv")
                QVERIFY(QFile::link(b->ruta(), ruta(nombre)));
            if (nombre == "salida.CSV") // a longer file of another export: nothing of it may remain
                b->archivo(nombre, QByteArray(4000, 'x') + "\r\n");
            if (nombre == "nulo.csv")
                b->sql("insert into T_DetalleMortalidad values (3, 42, NULL)");
            const QByteArray antes = prueba::LeeArchivo(ruta(nombre));
            QStringList archivos = QDir(b->carpeta()).entryList(QDir::Files);
            b->dialogos.eligeArchivo(nombre.isEmpty() ? QString() : ruta(nombre));

            QCOMPARE(DescargaEscenario(b->entorno(), escenario), !escrito.isEmpty());

            QCOMPARE(b->dialogos.carpetasDialogo, QStringList{b->carpeta()});
            QCOMPARE(b->dialogos.filtrosDialogo, QStringList{"Libro de Excel|*.xlsx;;Texto CSV|*.csv"});
            const QString texto = b->dialogos.textos().join('\n');
            QVERIFY2(caja.isEmpty() ? b->dialogos.cajas.isEmpty()
                                    : texto.startsWith(QString(caja).replace("%1", ruta(nombre))),
                     qPrintable(texto));
            QVERIFY(b->dialogos.cajas.size() <= 1);
            // The file written, or an old file as it was; no temporary file beside it.
            QCOMPARE(prueba::LeeArchivo(ruta(escrito.isEmpty() ? nombre : escrito)),
                     escrito.isEmpty() ? antes : ArchivoEscenario7);
            if (!escrito.isEmpty() && !archivos.contains(escrito))
                archivos << escrito;
            QCOMPARE(QDir(b->carpeta()).entryList(QDir::Files), archivos);
            // The hourglass while writing only, and gone afterwards.
            QCOMPARE((QList<int>{b->dialogos.relojMaximo, b->dialogos.reloj}),
                     (QList<int>{nombre.isEmpty() ? 0 : 1, 0}));
        }
    }
};

QTEST_GUILESS_MAIN(TestExportaEscenario)
#include "TestExportaEscenario.moc"
