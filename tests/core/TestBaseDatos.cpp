#include "core/BaseDatos.h"
#include "core/ErrorVV.h"
#include "support/BaseTemporal.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace valvida;
using valvida::prueba::BaseTemporal;

class TestBaseDatos : public QObject
{
    Q_OBJECT

  private slots:
    void rutaEnLaCarpetaDelPrograma_data();
    void rutaEnLaCarpetaDelPrograma();
    void baseNuevaTieneElEsquemaYLosCatalogos();
    void crearNoTocaUnArchivoExistente();
    void abrirRechazaSinTocarElArchivo_data();
    void abrirRechazaSinTocarElArchivo();
    void tasaSeEncuentraPorIgualdadExacta();
    void textoConComillaSeGuardaComoSeEscribio();
    void transaccionSinConfirmarNoDejaNada();
};

void TestBaseDatos::rutaEnLaCarpetaDelPrograma_data()
{
    QTest::addColumn<QString>("carpeta");
    QTest::addColumn<QString>("ruta");
    QTest::newRow("raíz") << "/"
                          << "/cavi.mdb";
    QTest::newRow("carpeta") << "/opt/calc"
                             << "/opt/calc/cavi.mdb";
    QTest::newRow("con barra") << "/opt/calc/"
                               << "/opt/calc/cavi.mdb";
}

void TestBaseDatos::rutaEnLaCarpetaDelPrograma()
{
    QFETCH(QString, carpeta);
    QFETCH(QString, ruta);
    QCOMPARE(RutaBaseDatos(carpeta), ruta);
}

void TestBaseDatos::baseNuevaTieneElEsquemaYLosCatalogos()
{
    BaseTemporal base;
    const QStringList columnasEsperadas = {
        "C_TablaMortalidad:Tabla_Mortalidad,Descripcion,Edad_Inicial,Edad_Final",
        "T_DetalleMortalidad:Tabla_Mortalidad,Edad,qx",
        "T_Conmutado:Tabla_Mortalidad,Edad,Interes_Tecnico,Cx,Dx,Mx,Nx,Rx,Sx,px,lx,dex",
        "T_Escenario:Escenario,Edad,Suma_Asegurada,Tipo_Seguro,Tipo_Comision,Interes_Tecnico,Tabla_Mortalidad,"
        "Plazo_Seguro,Plazo_Pago,Descripcion,Total_Anios",
        "T_Comision:Escenario,Anio_Comision,Porcentaje_Prima,Tantos_Suma",
        "T_Resultado:Escenario,Anio_Poliza,Edad_Alcanzada,Prima_Riesgo,Prima_Neta_Nivelada,Prima_Tarifa,Anualidad,"
        "Seguro,Reserva_Matematica,Rescate,Saldado,Prorrogado",
        "C_TipoSeguro:Tipo_Seguro,Descripcion",
        "C_TipoComision:Tipo_Comision,Descripcion",
    };
    const QStringList clavesEsperadas = {
        "Tabla_Mortalidad", "Tabla_Mortalidad,Edad",   "Tabla_Mortalidad,Interes_Tecnico,Edad",
        "Escenario",        "Escenario,Anio_Comision", "Escenario,Anio_Poliza",
        "Tipo_Seguro",      "Tipo_Comision",
    };
    for (int i = 0; i < columnasEsperadas.size(); ++i) {
        const QString tabla = columnasEsperadas[i].section(':', 0, 0);
        QStringList columnas;
        QMap<int, QString> clave;
        QSqlQuery q(base.db());
        QVERIFY(q.exec("pragma table_info(" + tabla + ")"));
        while (q.next()) {
            columnas << q.value("name").toString();
            if (q.value("pk").toInt() > 0)
                clave.insert(q.value("pk").toInt(), q.value("name").toString());
        }
        QCOMPARE(tabla + ":" + columnas.join(','), columnasEsperadas[i]);
        QCOMPARE(clave.values().join(','), clavesEsperadas[i]);
        if (!tabla.startsWith("C_Tipo"))
            QCOMPARE(base.valor("select count(*) from " + tabla).toInt(), 0);
    }
    QCOMPARE(base.filas("select * from C_TipoSeguro order by 1"),
             (QStringList{"1|Temporal", "2|Vida Entera", "3|Dotal Mixto", "4|Dotal Puro"}));
    QCOMPARE(base.filas("select * from C_TipoComision order by 1"),
             (QStringList{"1|Comisión primer año", "2|Comisión varios años"}));
}

void TestBaseDatos::crearNoTocaUnArchivoExistente()
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("cavi.mdb");
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("contenido del usuario");
    f.close();
    try {
        CreaBaseDatos(ruta);
        QFAIL("creó sobre un archivo existente");
    } catch (const ErrorVV& e) {
        QCOMPARE(e.descripcion(), "El archivo ya existe: " + ruta);
    }
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("contenido del usuario"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"cavi.mdb"});
}

void TestBaseDatos::abrirRechazaSinTocarElArchivo_data()
{
    QTest::addColumn<QString>("cambio"); // statements on a new database, ";" between them
    QTest::addColumn<bool>("catalogos");
    QTest::addColumn<QString>("error"); // number and description; empty: it opens
    const QString sinCodigo = QStringLiteral("3021 Al catálogo %1 le falta %2");
    QTest::newRow("no existe") << "borrar" << false
                               << "100014 No se puede abrir el archivo de base de datos "
                                  "(unable to open database file)";
    QTest::newRow("no es una base") << "texto" << false
                                    << "100026 El archivo no es una base de datos "
                                       "(file is not a database)";
    QTest::newRow("sin tabla") << "drop table T_Comision" << false
                               << "3078 La base de datos no tiene la tabla T_Comision";
    QTest::newRow("sin columna") << "alter table T_Escenario drop column Descripcion" << false
                                 << "3265 La tabla T_Escenario no tiene la columna Descripcion";
    QTest::newRow("columnas en otro orden")
        << "drop table T_Comision; create table T_Comision(Anio_Comision, Escenario, Porcentaje_Prima, Tantos_Suma)"
        << false << "3265 La columna Escenario de la tabla T_Comision debe ser la número 1";
    QTest::newRow("columna de más") << "alter table T_Resultado add column Extra" << false
                                    << "3265 La tabla T_Resultado tiene la columna Extra de más";
    // Names compare without regard to case; a catalogue may have further columns.
    QTest::newRow("mayúsculas y catálogo ampliado")
        << "drop table T_DetalleMortalidad; create table T_DetalleMortalidad(TABLA_MORTALIDAD, edad, QX);"
           "alter table C_TipoSeguro add column Orden"
        << true << "";
    QTest::newRow("C_TipoSeguro vacío") << "delete from C_TipoSeguro" << true
                                        << sinCodigo.arg("C_TipoSeguro", "el código 1");
    QTest::newRow("sin el tipo 3") << "delete from C_TipoSeguro where Tipo_Seguro = 3" << true
                                   << sinCodigo.arg("C_TipoSeguro", "el código 3");
    QTest::newRow("sin comisión 1") << "delete from C_TipoComision where Tipo_Comision = 1" << true
                                    << sinCodigo.arg("C_TipoComision", "el código 1");
    QTest::newRow("solo comisión 1") << "delete from C_TipoComision where Tipo_Comision <> 1" << true
                                     << sinCodigo.arg("C_TipoComision", "un código distinto de 1");
    // The commands read no catalogue.
    QTest::newRow("catálogo vacío, un comando") << "delete from C_TipoSeguro" << false << "";
}

void TestBaseDatos::abrirRechazaSinTocarElArchivo()
{
    QFETCH(QString, cambio);
    QFETCH(bool, catalogos);
    QFETCH(QString, error);
    BaseTemporal base;
    if (cambio == "borrar" || cambio == "texto") {
        QVERIFY(QFile::remove(base.ruta()));
        if (cambio == "texto")
            base.archivo("cavi.mdb", QByteArray(4096, 'x'));
    } else {
        for (const QString& sentencia : cambio.split(';'))
            base.sql(sentencia);
    }
    const auto bytes = [&] {
        QFile f(base.ruta());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(no existe)");
    };
    const QByteArray antes = bytes();
    QString obtenido;
    try {
        AbreBaseDatos(base.ruta(), "prueba-abrir",
                      catalogos ? Comprobacion::ColumnasYCatalogos : Comprobacion::Columnas);
        CierraBaseDatos("prueba-abrir");
    } catch (const ErrorVV& e) {
        obtenido = QString::number(e.numero()) + " " + e.descripcion();
    }
    QCOMPARE(obtenido, error);
    QVERIFY(!QSqlDatabase::contains("prueba-abrir"));
    QCOMPARE(bytes(), antes);
}

void TestBaseDatos::tasaSeEncuentraPorIgualdadExacta()
{
    BaseTemporal base;
    for (double tasa : {5.5, 5.49, 4.0})
        base.sql("insert into T_Conmutado (Tabla_Mortalidad, Edad, Interes_Tecnico) values (1, 30, ?)", {tasa});
    QCOMPARE(base.valor("select count(*) from T_Conmutado where Interes_Tecnico = ?", {5.50}).toInt(), 1);
    QCOMPARE(base.valor("select count(*) from T_Conmutado where Interes_Tecnico = 5.5").toInt(), 1);
    QCOMPARE(base.valor("select count(*) from T_Conmutado where Interes_Tecnico = ?", {4}).toInt(), 1);
    QCOMPARE(base.valor("select count(*) from T_Conmutado where Interes_Tecnico = ?", {5.499}).toInt(), 0);
    // Read by position: number, description, first age, last age.
    base.sql("insert into C_TablaMortalidad values (?, ?, ?, ?)", {3, QStringLiteral("GAM 71"), 12, 99});
    QCOMPARE(base.filas("select * from C_TablaMortalidad"), QStringList{"3|GAM 71|12|99"});
}

void TestBaseDatos::textoConComillaSeGuardaComoSeEscribio()
{
    BaseTemporal base;
    Ejecuta(base.db(), "insert into C_TablaMortalidad values (?, ?, ?, ?)",
            {1, QStringLiteral("Tabla d'Alembert"), 0, 100});
    QCOMPARE(base.valor("select Descripcion from C_TablaMortalidad").toString(), QStringLiteral("Tabla d'Alembert"));
}

void TestBaseDatos::transaccionSinConfirmarNoDejaNada()
{
    BaseTemporal base;
    try {
        Transaccion t(base.db());
        Ejecuta(base.db(), "insert into C_TablaMortalidad values (1, 'A', 0, 1)");
        Ejecuta(base.db(), "insert into C_TablaMortalidad values (1, 'B', 0, 1)");
        t.confirma();
        QFAIL("la clave repetida no falló");
    } catch (const ErrorVV& e) {
        QCOMPARE(e.numero(), 101555); // SQLITE_CONSTRAINT_PRIMARYKEY, apart from the program's numbers
    }
    QCOMPARE(base.valor("select count(*) from C_TablaMortalidad").toInt(), 0);
}

QTEST_GUILESS_MAIN(TestBaseDatos)
#include "TestBaseDatos.moc"
