#include "core/ImportaTabla.h"

#include "support/BaseTemporal.h"

#include "core/BaseDatos.h"

#include <QTest>
#include <QThread>

#include <semaphore>
#include <thread>

#include <sys/stat.h>

using namespace valvida;
using valvida::prueba::BaseTemporal;
using valvida::prueba::FakeDialogos;

class TestImportaTabla : public QObject
{
    Q_OBJECT

  private slots:
    void importaArchivo_data();
    void importaArchivo();
    void rechazaSinEscribir_data();
    void rechazaSinEscribir();
    void esperaAlOtroPrograma_data();
    void esperaAlOtroPrograma();
};

void TestImportaTabla::importaArchivo_data()
{
    QTest::addColumn<QByteArray>("contenido");
    QTest::addColumn<QList<int>>("previas");
    QTest::addColumn<int>("numero");
    QTest::addColumn<QString>("catalogo");
    QTest::addColumn<QStringList>("detalle");

    QTest::newRow("tres líneas CR LF") << QByteArray("0,0.1,Tabla X\r\n1,0.2,Tabla X\r\n2,1,Tabla X\r\n")
                                       << QList<int>{} << 1 << "1|Tabla X|0|2"
                                       << QStringList{"1|0|0.1", "1|1|0.2", "1|2|1"};
    QTest::newRow("siguiente número tras 1 y 4") << QByteArray("0,0.1,T\r\n1,0.2,T\r\n") << QList<int>{1, 4} << 5
                                                 << "5|T|0|1" << QStringList{"5|0|0.1", "5|1|0.2"};
    // "2,1,,z": an empty field between two separators is a field of its own.
    QTest::newRow("última descripción vacía con cuatro campos")
        << QByteArray("0,0.1,Tabla A,z\r\n1,0.2,Tabla A,z\r\n2,1,,z\r\n") << QList<int>{} << 1 << "1||0|2"
        << QStringList{"1|0|0.1", "1|1|0.2", "1|2|1"};
    QTest::newRow("edades descendentes en el orden del archivo")
        << QByteArray("2,0.3,D\r\n1,0.2,D\r\n0,0.1,D\r\n") << QList<int>{} << 1 << "1|D|2|0"
        << QStringList{"1|2|0.3", "1|1|0.2", "1|0|0.1"};
    QTest::newRow("LF y última línea sin fin")
        << QByteArray("0,0.1,T\n1,0.2,T") << QList<int>{} << 1 << "1|T|0|1" << QStringList{"1|0|0.1", "1|1|0.2"};
    // A spreadsheet's "CSV (Macintosh)" ends lines with CR alone; the three ends may even mix.
    QTest::newRow("CR solo, LF y CR LF") << QByteArray("0,0.1,T\r1,0.2,T\n2,0.3,T\r\n3,1,Mac\r") << QList<int>{} << 1
                                         << "1|Mac|0|3" << QStringList{"1|0|0.1", "1|1|0.2", "1|2|0.3", "1|3|1"};
    QTest::newRow("comilla en la descripción")
        << QByteArray("7,0.5,Tabla O'Hara\r\n") << QList<int>{} << 1 << "1|Tabla O'Hara|7|7" << QStringList{"1|7|0.5"};
    QTest::newRow("Windows-1252") << QByteArray("0,0.1,Mu\xf1oz a\xf1o \x80\r\n") << QList<int>{} << 1
                                  << QString::fromUtf8("1|Muñoz año €|0|0") << QStringList{"1|0|0.1"};
    QTest::newRow("UTF-8 con marca de orden")
        << QByteArray("\xef\xbb\xbf"
                      "0,0.1,Ni\xc3\xb1o\r\n")
        << QList<int>{} << 1 << QString::fromUtf8("1|Niño|0|0") << QStringList{"1|0|0.1"};
    QTest::newRow("exponente y blancos como números") << QByteArray(" 30 ,1e-3,E\r\n31, .5 ,E\r\n") << QList<int>{} << 1
                                                      << "1|E|30|31" << QStringList{"1|30|0.001", "1|31|0.5"};
}

void TestImportaTabla::importaArchivo()
{
    QFETCH(QByteArray, contenido);
    QFETCH(QList<int>, previas);
    QFETCH(int, numero);
    QFETCH(QString, catalogo);
    QFETCH(QStringList, detalle);

    BaseTemporal base;
    for (int t : previas)
        base.sql(QStringLiteral("insert into C_TablaMortalidad values(?, 'previa', 0, 1)"), {t});
    const std::optional<int> nueva = ImportaTabla(base.entorno(), base.archivo("tabla.csv", contenido));

    QCOMPARE(nueva, std::optional<int>(numero));
    QCOMPARE(base.filas(QStringLiteral("select * from C_TablaMortalidad where Tabla_Mortalidad = ?"), {numero}),
             QStringList{catalogo});
    QCOMPARE(base.filas(QStringLiteral("select * from T_DetalleMortalidad order by rowid")), detalle);
    QCOMPARE(base.valor(QStringLiteral("select count(*) from C_TablaMortalidad")).toInt(), previas.size() + 1);
    QCOMPARE(base.dialogos.textos(), QStringList{"Carga finalizada con exito"});
    QCOMPARE(base.dialogos.cajas.first().icono, Dialogos::Icono::Informacion);
    QCOMPARE(base.dialogos.reloj, 0);
    QCOMPARE(base.dialogos.relojMaximo, 1);
    // Stored as numbers, not as the file's texts.
    QCOMPARE(base.valor(QStringLiteral("select count(*) from T_DetalleMortalidad "
                                       "where typeof(Edad) <> 'integer' or typeof(qx) <> 'real'"))
                 .toInt(),
             0);
}

void TestImportaTabla::rechazaSinEscribir_data()
{
    QTest::addColumn<QByteArray>("contenido");
    QTest::addColumn<QString>("caja");

    const QString error = QStringLiteral("Rutina: mnuTablaExcel_Click\r\nError:");
    QByteArray cuatroBuenas("0,0.1,T\r\n1,0.2,T\r\n2,0.3,T\r\n3,0.4,T\r\n");
    QTest::newRow("qx abc en la línea 5") << cuatroBuenas + "4,abc,T\r\n5,0.6,T\r\n"
                                          << "La qx debe ser numerica";
    QTest::newRow("qx punto solo") << QByteArray("0,.,T\r\n") << "La qx debe ser numerica";
    QTest::newRow("edad no numérica en la línea 3")
        << QByteArray("0,0.1,T\r\n1,0.2,T\r\nx,0.3,T\r\n") << "La edad debe ser numerica";
    QTest::newRow("qx se revisa antes que la edad") << QByteArray("0,0.1,T\r\nx,y,T\r\n") << "La qx debe ser numerica";
    QTest::newRow("la primera línea que falla decide")
        << QByteArray("0,0.1,T\r\nx,0.2,T\r\n2,z,T\r\n") << "La edad debe ser numerica";
    QTest::newRow("coma final: dos campos")
        << QByteArray("0,0.1,\r\n1,0.2,\r\n") << error + "9\r\nLa línea 1 tiene 2 campos; se requieren al menos 3";
    QTest::newRow("archivo vacío") << QByteArray() << error + "9\r\nEl archivo está vacío";
    QTest::newRow("línea vacía") << QByteArray("0,0.1,T\r\n\r\n2,0.3,T\r\n")
                                 << error + "9\r\nLa línea 2 tiene 0 campos y la primera 3";
    QTest::newRow("otra cantidad de campos")
        << QByteArray("0,0.1,T\r\n1,0.2,T,x\r\n") << error + "9\r\nLa línea 2 tiene 4 campos y la primera 3";
    QTest::newRow("línea de cabecera") << QByteArray("Edad,qx,Descripcion\r\n0,0.1,T\r\n")
                                       << error + "13\r\nNo coinciden los tipos";
    QTest::newRow("primera edad fuera de 16 bits") << QByteArray("32768,0.1,T\r\n") << error + "6\r\nDesbordamiento";
    QTest::newRow("otra edad fuera de 16 bits")
        << QByteArray("0,0.1,T\r\n-32769,0.2,T\r\n") << error + "6\r\nDesbordamiento";
    // An age repeated in the file passes every check and fails at the second insert of its key.
    QTest::newRow("edad repetida: falla al escribir")
        << QByteArray("0,0.1,T\r\n1,0.2,T\r\n1,0.3,T\r\n")
        << error + "101555\r\nLa fila viola una restricción de la tabla (UNIQUE constraint failed: "
                   "T_DetalleMortalidad.Tabla_Mortalidad, T_DetalleMortalidad.Edad)";
    QTest::newRow("40000 líneas con CR solo") << QByteArray("1,0.1,T\r").repeated(40000)
                                              << error + "6\r\nDesbordamiento: el archivo tiene más de 32767 líneas";
    // Files that never end or never come: a path of their own instead of bytes ("@"), the box
    // naming it (%1). A hole of 64 GB of zeros after the lines takes no disk; reading stops at the limit.
    const QString noNormal = error + "75\r\nError de acceso a la ruta o el archivo: %1 (no es un archivo normal)";
    QTest::newRow("inexistente") << QByteArray("@no-existe.csv") << error + "53\r\nNo se encontró el archivo: %1";
    QTest::newRow("/dev/zero") << QByteArray("@/dev/zero") << noNormal;
    QTest::newRow("FIFO sin escritor") << QByteArray("@fifo") << noNormal;
    QTest::newRow("32767 líneas y 64 GB más")
        << QByteArray("@lineas.csv") << error + "6\r\nDesbordamiento: el archivo tiene más de 32767 líneas";
    QTest::newRow("una línea de 64 GB") << QByteArray("@linea.csv")
                                        << error + "6\r\nDesbordamiento: la línea 2 tiene más de 4096 bytes";
}

void TestImportaTabla::rechazaSinEscribir()
{
    QFETCH(QByteArray, contenido);
    QFETCH(QString, caja);

    BaseTemporal base;
    base.sql(QStringLiteral("insert into C_TablaMortalidad values(1, 'previa', 0, 1)"));
    base.sql(QStringLiteral("insert into T_DetalleMortalidad values(1, 0, 0.5)"));
    QString ruta = base.archivo("tabla.csv", contenido);
    if (contenido.startsWith('@')) {
        const QString nombre = QString::fromUtf8(contenido.mid(1));
        ruta = nombre.startsWith('/') ? nombre : base.carpeta() + '/' + nombre;
        if (nombre == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(ruta).constData(), 0600), 0);
        if (nombre.startsWith("linea")) {
            base.archivo(nombre, QByteArray("1,0.1,T\n").repeated(nombre == "lineas.csv" ? 32767 : 1));
            QVERIFY(QFile::resize(ruta, QFileInfo(ruta).size() + (qint64(1) << 36)));
        }
    }
    QCOMPARE(ImportaTabla(base.entorno(), ruta), std::nullopt);

    QCOMPARE(base.dialogos.textos(), QStringList{caja.replace("%1", ruta)});
    QCOMPARE(base.dialogos.cajas.first().icono, Dialogos::Icono::Critico);
    QCOMPARE(base.dialogos.cajas.first().botones, Dialogos::Botones::Aceptar);
    QCOMPARE(base.filas(QStringLiteral("select * from C_TablaMortalidad")), QStringList{"1|previa|0|1"});
    QCOMPARE(base.filas(QStringLiteral("select * from T_DetalleMortalidad")), QStringList{"1|0|0.5"});
    QCOMPARE(base.dialogos.reloj, 0);
}

void TestImportaTabla::esperaAlOtroPrograma_data()
{
    QTest::addColumn<int>("suelta"); // ms until another program lets go of its write lock
    QTest::addColumn<int>("espera"); // ms this connection waits for a lock (its busy timeout)
    QTest::addColumn<QString>("caja");
    QTest::newRow("suelta antes") << 300 << 5000 << "Carga finalizada con exito";
    QTest::newRow("no suelta a tiempo") << 1000 << 100
                                        << "Rutina: mnuTablaExcel_Click\r\nError:100005\r\nLa base de datos está "
                                           "bloqueada por otro programa (database is locked)";
}

void TestImportaTabla::esperaAlOtroPrograma()
{
    QFETCH(int, suelta);
    QFETCH(int, espera);
    QFETCH(QString, caja);
    BaseTemporal base;
    base.sql(QStringLiteral("pragma busy_timeout = %1").arg(espera));
    std::binary_semaphore tomada(0);
    std::thread otro([&] {
        {
            QSqlDatabase db = AbreBaseDatos(base.ruta(), "otro-programa");
            Ejecuta(db, "begin immediate");
            tomada.release();
            QThread::msleep(static_cast<unsigned long>(suelta));
            Ejecuta(db, "rollback");
        }
        CierraBaseDatos("otro-programa");
    });
    tomada.acquire();
    ImportaTabla(base.entorno(), base.archivo("tabla.csv", "0,0.1,T\r\n"));
    otro.join();
    QCOMPARE(base.dialogos.textos(), QStringList{caja});
    QCOMPARE(base.valor("select count(*) from T_DetalleMortalidad").toInt(), suelta < espera ? 1 : 0);
}

QTEST_GUILESS_MAIN(TestImportaTabla)
#include "TestImportaTabla.moc"
