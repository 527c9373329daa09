#include "core/ImportaTabla.h"

#include "support/BaseTemporal.h"

#include <QTest>

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
    void archivoInexistente();
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
    QTest::newRow("siguiente número tras 1 y 4")
        << QByteArray("0,0.1,T\r\n1,0.2,T\r\n") << QList<int>{1, 4} << 5 << "5|T|0|1"
        << QStringList{"5|0|0.1", "5|1|0.2"};
    // "2,1,,z": an empty field between two separators is a field of its own.
    QTest::newRow("última descripción vacía con cuatro campos")
        << QByteArray("0,0.1,Tabla A,z\r\n1,0.2,Tabla A,z\r\n2,1,,z\r\n") << QList<int>{} << 1 << "1||0|2"
        << QStringList{"1|0|0.1", "1|1|0.2", "1|2|1"};
    QTest::newRow("edades descendentes en el orden del archivo")
        << QByteArray("2,0.3,D\r\n1,0.2,D\r\n0,0.1,D\r\n") << QList<int>{} << 1 << "1|D|2|0"
        << QStringList{"1|2|0.3", "1|1|0.2", "1|0|0.1"};
    QTest::newRow("LF y última línea sin fin") << QByteArray("0,0.1,T\n1,0.2,T") << QList<int>{} << 1 << "1|T|0|1"
                                               << QStringList{"1|0|0.1", "1|1|0.2"};
    QTest::newRow("comilla en la descripción") << QByteArray("7,0.5,Tabla O'Hara\r\n") << QList<int>{} << 1
                                               << "1|Tabla O'Hara|7|7" << QStringList{"1|7|0.5"};
    QTest::newRow("Windows-1252") << QByteArray("0,0.1,Mu\xf1oz a\xf1o \x80\r\n") << QList<int>{} << 1
                                  << QString::fromUtf8("1|Muñoz año €|0|0") << QStringList{"1|0|0.1"};
    QTest::newRow("UTF-8 con marca de orden") << QByteArray("\xef\xbb\xbf" "0,0.1,Ni\xc3\xb1o\r\n") << QList<int>{}
                                              << 1 << QString::fromUtf8("1|Niño|0|0") << QStringList{"1|0|0.1"};
    QTest::newRow("exponente y blancos como números")
        << QByteArray(" 30 ,1e-3,E\r\n31, .5 ,E\r\n") << QList<int>{} << 1 << "1|E|30|31"
        << QStringList{"1|30|0.001", "1|31|0.5"};
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
    QTest::newRow("qx abc en la línea 5") << cuatroBuenas + "4,abc,T\r\n5,0.6,T\r\n" << "La qx debe ser numerica";
    QTest::newRow("qx punto solo") << QByteArray("0,.,T\r\n") << "La qx debe ser numerica";
    QTest::newRow("edad no numérica en la línea 3")
        << QByteArray("0,0.1,T\r\n1,0.2,T\r\nx,0.3,T\r\n") << "La edad debe ser numerica";
    QTest::newRow("qx se revisa antes que la edad") << QByteArray("0,0.1,T\r\nx,y,T\r\n") << "La qx debe ser numerica";
    QTest::newRow("la primera línea que falla decide")
        << QByteArray("0,0.1,T\r\nx,0.2,T\r\n2,z,T\r\n") << "La edad debe ser numerica";
    QTest::newRow("coma final: dos campos") << QByteArray("0,0.1,\r\n1,0.2,\r\n") << error + "9\r\nLa línea 1 tiene 2 campos; se requieren al menos 3";
    QTest::newRow("archivo vacío") << QByteArray() << error + "9\r\nEl archivo está vacío";
    QTest::newRow("línea vacía") << QByteArray("0,0.1,T\r\n\r\n2,0.3,T\r\n") << error + "9\r\nLa línea 2 tiene 0 campos y la primera 3";
    QTest::newRow("otra cantidad de campos") << QByteArray("0,0.1,T\r\n1,0.2,T,x\r\n") << error + "9\r\nLa línea 2 tiene 4 campos y la primera 3";
    QTest::newRow("línea de cabecera") << QByteArray("Edad,qx,Descripcion\r\n0,0.1,T\r\n") << error + "13\r\nNo coinciden los tipos";
    QTest::newRow("primera edad fuera de 16 bits") << QByteArray("32768,0.1,T\r\n") << error + "6\r\nDesbordamiento";
    QTest::newRow("otra edad fuera de 16 bits") << QByteArray("0,0.1,T\r\n-32769,0.2,T\r\n") << error + "6\r\nDesbordamiento";
    QByteArray largo;
    for (int i = 0; i < 32768; ++i)
        largo += "1,0.1,T\n";
    // An age repeated in the file passes every check and fails at the second insert of its key.
    QTest::newRow("edad repetida: falla al escribir")
        << QByteArray("0,0.1,T\r\n1,0.2,T\r\n1,0.3,T\r\n") << error + "1555\r\nLa fila viola una restricción de la tabla (UNIQUE constraint failed: "
           "T_DetalleMortalidad.Tabla_Mortalidad, T_DetalleMortalidad.Edad)";
    QTest::newRow("más de 32767 líneas") << largo << error + "6\r\nDesbordamiento: el archivo tiene más de 32767 líneas";
}

void TestImportaTabla::rechazaSinEscribir()
{
    QFETCH(QByteArray, contenido);
    QFETCH(QString, caja);

    BaseTemporal base;
    base.sql(QStringLiteral("insert into C_TablaMortalidad values(1, 'previa', 0, 1)"));
    base.sql(QStringLiteral("insert into T_DetalleMortalidad values(1, 0, 0.5)"));
    QCOMPARE(ImportaTabla(base.entorno(), base.archivo("tabla.csv", contenido)), std::nullopt);

    QCOMPARE(base.dialogos.textos(), QStringList{caja});
    QCOMPARE(base.dialogos.cajas.first().icono, Dialogos::Icono::Critico);
    QCOMPARE(base.dialogos.cajas.first().botones, Dialogos::Botones::Aceptar);
    QCOMPARE(base.filas(QStringLiteral("select * from C_TablaMortalidad")), QStringList{"1|previa|0|1"});
    QCOMPARE(base.filas(QStringLiteral("select * from T_DetalleMortalidad")), QStringList{"1|0|0.5"});
    QCOMPARE(base.dialogos.reloj, 0);
}

void TestImportaTabla::archivoInexistente()
{
    BaseTemporal base;
    const QString ruta = base.carpeta() + QStringLiteral("/no-existe.csv");
    QCOMPARE(ImportaTabla(base.entorno(), ruta), std::nullopt);
    QCOMPARE(base.dialogos.textos(),
             QStringList{QStringLiteral("Rutina: mnuTablaExcel_Click\r\nError:53\r\nNo se encontró el archivo: ") + ruta});
    QCOMPARE(base.valor(QStringLiteral("select count(*) from C_TablaMortalidad")).toInt(), 0);
}

QTEST_GUILESS_MAIN(TestImportaTabla)
#include "TestImportaTabla.moc"
