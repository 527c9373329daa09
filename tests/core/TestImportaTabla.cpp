#include "core/ImportaTabla.h"

#include "support/BaseTemporal.h"
#include "support/Dialecto.h"

#include "core/BaseDatos.h"

#include <QTest>
#include <QThread>

#include <semaphore>
#include <thread>

#include <sys/stat.h>

using namespace valvida;
using valvida::prueba::BaseTemporal;

class TestImportaTabla : public QObject
{
    Q_OBJECT

  private slots:
    void importa_data()
    {
        // The file, the tables already there (each with the qx 0.5 at age 0), the one box, and the
        // new table's catalogue row and detail rows in the file's order (none when it is refused).
        QTest::addColumn<QByteArray>("contenido");
        QTest::addColumn<QList<int>>("previas");
        QTest::addColumn<QString>("caja");
        QTest::addColumn<QStringList>("nueva");
        const QString fin = AvisoCargaFinalizada + ": tabla %2",
                      error = QStringLiteral("Rutina: mnuTablaExcel_Click\r\nError:");
        const QList<int> ninguna, una{1};

        // clang-format off
        // The ages in the file's order: the first opens the table, the last closes it.
        QTest::newRow("tras 1 y 4, descendentes") << QByteArray("2,0.3,D\r\n1,0.2,D\r\n0,0.1,D\r\n") << QList<int>{1, 4}
            << fin << QStringList{"5|D|2|0", "5|2|0.3", "5|1|0.2", "5|0|0.1"};
        // "2,1,,z": an empty field between two separators is a field of its own.
        QTest::newRow("última descripción vacía, cuatro campos") << QByteArray("0,0.1,A,z\r\n1,0.2,A,z\r\n2,1,,z\r\n")
            << ninguna << fin << QStringList{"1||0|2", "1|0|0.1", "1|1|0.2", "1|2|1"};
        // A spreadsheet's "CSV (Macintosh)" ends lines with CR alone; the three ends may even mix, and
        // the last line may have none.
        QTest::newRow("CR solo, LF, CR LF y sin fin") << QByteArray("0,0.1,T\r1,0.2,T\n2,0.3,T\r\n3,1,Mac") << ninguna
            << fin << QStringList{"1|Mac|0|3", "1|0|0.1", "1|1|0.2", "1|2|0.3", "1|3|1"};
        QTest::newRow("Windows-1252") << QByteArray("0,0.1,O'Hara Mu\xf1oz a\xf1o \x80\r\n") << ninguna << fin
            << QStringList{QString::fromUtf8("1|O'Hara Muñoz año €|0|0"), "1|0|0.1"};
        QTest::newRow("exponente y blancos como números") << QByteArray(" 30 ,1e-3,E\r\n31, .5 ,E\r\n") << ninguna
            << fin << QStringList{"1|E|30|31", "1|30|0.001", "1|31|0.5"};
        QTest::newRow("edades escritas con decimales") << QByteArray("0,0.1,F\r\n1.0,0.2,F\r\n2e0,1,F\r\n") << ninguna
            << fin << QStringList{"1|F|0|2", "1|0|0.1", "1|1|0.2", "1|2|1"};

        // Refused, leaving the store as it was. Each line is checked for the qx before its age; the
        // first line that fails decides.
        QTest::newRow("qx antes que la edad") << QByteArray("0,0.1,T\r\nx,y,T\r\n") << una
            << QString::fromUtf8("La qx debe ser numerica: línea 2, campo qx (y)") << QStringList{};
        QTest::newRow("la primera que falla: edad vacía") << QByteArray("0,0.1,T\r\n,0.2,T\r\n2,z,T\r\n") << una
            << QString::fromUtf8("La edad debe ser numerica: línea 2, campo Edad ()") << QStringList{};
        // A qx is a probability: 0 and 1 pass, anything beyond is refused with its line.
        QTest::newRow("qx mayor que 1") << QByteArray("0,0.1,T\r\n1,1.7,T\r\n") << una
            << QString::fromUtf8("La qx debe estar entre 0 y 1: línea 2, campo qx (1.7)") << QStringList{};
        QTest::newRow("qx negativa tras 0 y 1") << QByteArray("0,0,T\r\n1,1,T\r\n2, -0.3 ,T\r\n") << una
            << QString::fromUtf8("La qx debe estar entre 0 y 1: línea 3, campo qx ( -0.3 )") << QStringList{};
        QTest::newRow("coma final: dos campos") << QByteArray("0,0.1,\r\n1,0.2,\r\n") << una
            << error + "9\r\nLa línea 1 tiene 2 campos; se requieren al menos 3" << QStringList{};
        QTest::newRow("archivo vacío") << QByteArray() << una << error + "9\r\nEl archivo está vacío" << QStringList{};
        QTest::newRow("línea vacía") << QByteArray("0,0.1,T\r\n\r\n2,0.3,T\r\n") << una
            << error + "9\r\nLa línea 2 tiene 0 campos y la primera 3" << QStringList{};
        // Each refusal of a field names its line and field.
        QTest::newRow("línea de cabecera") << QByteArray("Edad,qx,Descripcion\r\n0,0.1,T\r\n") << una
            << error + "13\r\nNo coinciden los tipos: línea 1, campo Edad (Edad)" << QStringList{};
        QTest::newRow("otra edad fuera de 16 bits") << QByteArray("0,0.1,T\r\n-32769,0.2,T\r\n") << una
            << error + "6\r\nDesbordamiento: línea 2, campo Edad (-32769)" << QStringList{};
        QTest::newRow("qx fuera de un double") << QByteArray("0,0.1,T\r\n1,1e-400,T\r\n") << una
            << error + "6\r\nDesbordamiento: línea 2, campo qx (1e-400)" << QStringList{};
        QTest::newRow("edad repetida") << QByteArray("0,0.1,T\r\n1,0.2,T\r\n1.0,0.3,T\r\n") << una
            << error + "3022\r\nClave duplicada: línea 3, campo Edad (1.0): la edad ya está en la línea 2"
            << QStringList{};
        // Files that never end or never come: a path of their own instead of bytes ("@"), the box
        // naming it (%1). A hole of 64 GB of zeros after the lines takes no disk; reading stops at the limit.
        QTest::newRow("inexistente") << QByteArray("@no-existe.csv") << una
            << error + "53\r\nNo se encontró el archivo: %1" << QStringList{};
        QTest::newRow("FIFO sin escritor") << QByteArray("@fifo") << una
            << error + "75\r\nError de acceso a la ruta o el archivo: %1 (no es un archivo normal)" << QStringList{};
        QTest::newRow("32767 líneas y 64 GB más") << QByteArray("@lineas.csv") << una
            << error + "6\r\nDesbordamiento: el archivo tiene más de 32767 líneas" << QStringList{};
        QTest::newRow("una línea de 64 GB") << QByteArray("@linea.csv") << una
            << error + "6\r\nDesbordamiento: la línea 2 tiene más de 4096 bytes" << QStringList{};
        // clang-format on
    }

    void importa()
    {
        QFETCH(QByteArray, contenido);
        QFETCH(QList<int>, previas);
        QFETCH(QString, caja);

        BaseTemporal base;
        for (int t : previas) {
            base.sql(QStringLiteral("insert into C_TablaMortalidad values(?, 'previa', 0, 1)"), {t});
            base.sql(QStringLiteral("insert into T_DetalleMortalidad values(?, 0, 0.5)"), {t});
        }
        // The catalogue row and the detail rows of the tables whose number is (or is not) n.
        const auto tablas = [&](const char* comparacion, int n) {
            const QString donde =
                QStringLiteral(" where Tabla_Mortalidad %1 ? order by %2").arg(comparacion, prueba::OrdenDeInsercion());
            return base.filas("select * from C_TablaMortalidad" + donde, {n}) +
                   base.filas("select * from T_DetalleMortalidad" + donde, {n});
        };
        const QStringList antes = tablas("<>", 0);
        QString ruta = base.archivo("tabla.csv", contenido);
        if (contenido.startsWith('@')) {
            ruta = base.carpeta() + '/' + QString::fromUtf8(contenido.mid(1));
            if (ruta.endsWith("fifo"))
                QCOMPARE(mkfifo(QFile::encodeName(ruta).constData(), 0600), 0);
            if (ruta.contains("linea")) {
                base.archivo(QFileInfo(ruta).fileName(),
                             QByteArray("1,0.1,T\n").repeated(ruta.contains("lineas") ? 32767 : 1));
                QVERIFY(QFile::resize(ruta, QFileInfo(ruta).size() + (qint64(1) << 36)));
            }
        }

        const int nueva = ImportaTabla(base.entorno(), ruta).value_or(0);

        QCOMPARE(base.dialogos.textos(), QStringList{caja.replace("%1", ruta).replace("%2", QString::number(nueva))});
        QCOMPARE(base.dialogos.cajas.first().icono,
                 caja.startsWith(AvisoCargaFinalizada) ? Dialogos::Icono::Informacion : Dialogos::Icono::Critico);
        QCOMPARE(tablas("<>", nueva), antes);
        QTEST(tablas("=", nueva), "nueva");
        // Stored as numbers, not as the file's texts (a server's typed columns hold nothing else); the
        // hourglass while it ran, and gone.
        if (!prueba::EnServidor())
            QCOMPARE(base.filas("select distinct typeof(Edad) || typeof(qx) from T_DetalleMortalidad"),
                     QStringList{"integerreal"});
        QCOMPARE((QList<int>{base.dialogos.relojMaximo, base.dialogos.reloj}), (QList<int>{1, 0}));
    }

    void esperaAlOtroPrograma()
    {
        // Another program holds the write lock for a while: the import waits for it up to the busy
        // timeout (a server's lock timeout), and past it fails with nothing written.
        const std::tuple<int, int, QString> casos[] = {
            {300, 5000, AvisoCargaFinalizada + ": tabla 1"},
            {1000, 100,
             "Rutina: mnuTablaExcel_Click\r\nError:100005\r\nLa base de datos está bloqueada por otro programa " +
                 QString(prueba::EnServidor() ? "(canceling statement due to lock timeout)" : "(database is locked)")},
        };
        for (const auto& [suelta, espera, caja] : casos) {
            BaseTemporal base;
            base.sql((prueba::EnServidor() ? QStringLiteral("set lock_timeout = %1")
                                           : QStringLiteral("pragma busy_timeout = %1"))
                         .arg(espera));
            std::binary_semaphore tomada(0);
            std::thread otro([&, suelta = suelta] {
                {
                    QSqlDatabase db = AbreBaseDatos(base.ruta(), "otro-programa");
                    Transaccion escribe(db);
                    tomada.release();
                    QThread::msleep(static_cast<unsigned long>(suelta));
                }
                CierraBaseDatos("otro-programa");
            });
            tomada.acquire();
            ImportaTabla(base.entorno(), base.archivo("tabla.csv", "0,0.1,T\r\n"));
            otro.join();
            QCOMPARE(base.dialogos.textos(), QStringList{caja});
            QCOMPARE(base.filas("select count(*) from T_DetalleMortalidad"), QStringList{suelta < espera ? "1" : "0"});
        }
    }
};

QTEST_GUILESS_MAIN(TestImportaTabla)
#include "TestImportaTabla.moc"
