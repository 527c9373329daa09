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
    void abrirNoCreaUnArchivoQueFalta();
    void abrirRechazaLoQueNoEsBaseDeDatos();
    void abrirRechazaUnaBaseSinLasTablas();
    void tasaSeEncuentraPorIgualdadExacta();
    void textoConComillaSeGuardaComoSeEscribio();
    void transaccionSinConfirmarNoDejaNada();
};

void TestBaseDatos::rutaEnLaCarpetaDelPrograma_data()
{
    QTest::addColumn<QString>("carpeta");
    QTest::addColumn<QString>("ruta");
    QTest::newRow("raíz") << "/" << "/cavi.mdb";
    QTest::newRow("carpeta") << "/opt/calc" << "/opt/calc/cavi.mdb";
    QTest::newRow("con barra") << "/opt/calc/" << "/opt/calc/cavi.mdb";
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
        "Tabla_Mortalidad", "Tabla_Mortalidad,Edad", "Tabla_Mortalidad,Interes_Tecnico,Edad", "Escenario",
        "Escenario,Anio_Comision", "Escenario,Anio_Poliza", "Tipo_Seguro", "Tipo_Comision",
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

void TestBaseDatos::abrirNoCreaUnArchivoQueFalta()
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("cavi.mdb");
    try {
        AbreBaseDatos(ruta, "prueba-falta");
        QFAIL("abrió un archivo que no existe");
    } catch (const ErrorVV& e) {
        QCOMPARE(e.numero(), 14);
        QVERIFY2(e.descripcion().startsWith("No se puede abrir el archivo de base de datos"),
                 qPrintable(e.descripcion()));
    }
    QVERIFY(!QFile::exists(ruta));
    QVERIFY(!QSqlDatabase::contains("prueba-falta"));
}

void TestBaseDatos::abrirRechazaLoQueNoEsBaseDeDatos()
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("cavi.mdb");
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    try {
        AbreBaseDatos(ruta, "prueba-texto");
        QFAIL("abrió un archivo que no es base de datos");
    } catch (const ErrorVV& e) {
        QCOMPARE(e.numero(), 26);
        QVERIFY2(e.descripcion().startsWith("El archivo no es una base de datos"), qPrintable(e.descripcion()));
    }
    QVERIFY(!QSqlDatabase::contains("prueba-texto"));
}

void TestBaseDatos::abrirRechazaUnaBaseSinLasTablas()
{
    BaseTemporal base;
    base.sql("drop table T_Comision");
    try {
        AbreBaseDatos(base.ruta(), "prueba-incompleta");
        QFAIL("abrió una base sin T_Comision");
    } catch (const ErrorVV& e) {
        QCOMPARE(e.numero(), 1);
        QCOMPARE(e.descripcion(), QStringLiteral("La base de datos no tiene la tabla T_Comision"));
    }
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
        QCOMPARE(e.numero() & 0xff, 19);
    }
    QCOMPARE(base.valor("select count(*) from C_TablaMortalidad").toInt(), 0);
}

QTEST_GUILESS_MAIN(TestBaseDatos)
#include "TestBaseDatos.moc"
