#include "core/BaseDatos.h"
#include "core/ErrorVV.h"
#include "support/BaseTemporal.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace valvida;
using valvida::prueba::BaseTemporal;

namespace {

// The error a step raises as "number description"; empty when it raises none.
QString ErrorDe(const std::function<void()>& paso)
{
    try {
        paso();
    } catch (const ErrorVV& e) {
        return QString::number(e.numero()) + ' ' + e.descripcion();
    }
    return {};
}

} // namespace

class TestBaseDatos : public QObject
{
    Q_OBJECT

  private slots:
    void rutaEnLaCarpetaDelPrograma()
    {
        for (const auto& [carpeta, ruta] : {std::pair{"/", "/cavi.mdb"}, std::pair{"/opt/calc", "/opt/calc/cavi.mdb"},
                                            std::pair{"/opt/calc/", "/opt/calc/cavi.mdb"}})
            QCOMPARE(RutaBaseDatos(carpeta), ruta);
    }

    void baseNuevaTieneLasClaves()
    {
        // Every table's key, its columns in the key's order (the columns themselves reach the export's
        // header lines). The catalogues' rows reach TestCargadores' list and the scenario's stored row.
        BaseTemporal base;
        QCOMPARE(
            base.filas("select t || ':' || group_concat(c) from (select m.name t, p.name c from sqlite_master m, "
                       "pragma_table_info(m.name) p where m.type = 'table' and p.pk > 0 order by t, p.pk) group by t"),
            (QStringList{"C_Curva:Curva", "C_TablaMortalidad:Tabla_Mortalidad", "C_TipoComision:Tipo_Comision",
                         "C_TipoSeguro:Tipo_Seguro", "T_Caida:Hipotesis,Anio_Poliza",
                         "T_Comision:Escenario,Anio_Comision", "T_Conmutado:Tabla_Mortalidad,Interes_Tecnico,Edad",
                         "T_Curva:Curva,Plazo", "T_DetalleMortalidad:Tabla_Mortalidad,Edad", "T_Escenario:Escenario",
                         "T_Garantia:Escenario", "T_Hipotesis:Hipotesis", "T_Resultado:Escenario,Anio_Poliza"}));
    }

    void abrirAgregaLasTablasNuevas()
    {
        // A database made before the surrender terms opens with them added, and nothing of its own changed.
        BaseTemporal base;
        base.sql("insert into T_Escenario values (1, 30, 500, 1, 1, 3, 1, 5, 5, 'antes', 0)");
        base.sql("drop table T_Garantia");
        const QStringList antes = base.filas("select * from T_Escenario");
        AbreBaseDatos(base.ruta(), "abrir");
        CierraBaseDatos("abrir");
        QCOMPARE(base.filas("select * from T_Escenario"), antes);
        QCOMPARE(base.filas("select name || ' ' || type || ' ' || pk from pragma_table_info('T_Garantia')"),
                 (QStringList{"Escenario INTEGER 1", "Penalizacion_Rescate REAL 0", "Anio_Rescate INTEGER 0"}));
    }

    void crearNoDejaNadaAMedias()
    {
        // A file already there is kept as it was; a missing folder or a filling that fails leaves no file.
        BaseTemporal base;
        const QByteArray antes = prueba::LeeArchivo(base.ruta());
        const QDir dir(base.carpeta());
        const std::function<void(const QString&)> falla = [](const QString&) { throw ErrorVV(57, "a medias"); };
        QCOMPARE(ErrorDe([&] { CreaBaseDatos(base.ruta()); }), "58 El archivo ya existe: " + base.ruta());
        QCOMPARE(ErrorDe([&] { CreaBaseDatos(dir.filePath("no/x.mdb")); }),
                 "76 No se encontró la carpeta: " + dir.absoluteFilePath("no"));
        QCOMPARE(ErrorDe([&] { CreaBaseDatos(dir.filePath("nueva.mdb"), falla); }), "57 a medias");
        QCOMPARE(prueba::LeeArchivo(base.ruta()), antes);
        QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"cavi.mdb"});
    }

    void abrirRechazaSinTocarElArchivo()
    {
        // Statements on a new database (";" between them), whether the window's catalogue check runs,
        // and the refusal as "number description" (empty: it opens).
        const QString sinCodigo = QStringLiteral("3021 Al catálogo %1 le falta %2");
        // clang-format off
        const std::tuple<QString, bool, QString> casos[] = {
            {"borrar", false, "100014 No se puede abrir el archivo de base de datos (unable to open database file)"},
            {"texto", false, "100026 El archivo no es una base de datos (file is not a database)"},
            {"drop table T_Comision", false, "3078 La base de datos no tiene la tabla T_Comision"},
            {"alter table T_Escenario drop column Descripcion", false,
             "3265 La tabla T_Escenario no tiene la columna Descripcion"},
            {"drop table T_Comision; create table T_Comision(Anio_Comision, Escenario, Porcentaje_Prima, Tantos_Suma)",
             false, "3265 La columna Escenario de la tabla T_Comision debe ser la número 1"},
            {"alter table T_Resultado add column Extra", false, "3265 La tabla T_Resultado tiene la columna Extra de más"},
            {"alter table T_Garantia drop column Anio_Rescate", false,
             "3265 La tabla T_Garantia no tiene la columna Anio_Rescate"},
            // Names compare without regard to case; a catalogue may have further columns.
            {"drop table T_DetalleMortalidad; create table T_DetalleMortalidad(TABLA_MORTALIDAD, edad, QX);"
             "alter table C_TipoSeguro add column Orden", true, ""},
            {"delete from C_TipoSeguro where Tipo_Seguro = 4", true, sinCodigo.arg("C_TipoSeguro", "el código 4")},
            {"delete from C_TipoComision where Tipo_Comision = 1", true, sinCodigo.arg("C_TipoComision", "el código 1")},
            {"delete from C_TipoComision where Tipo_Comision <> 1", true,
             sinCodigo.arg("C_TipoComision", "un código distinto de 1")},
            {"delete from C_TipoSeguro", false, ""}, // the commands read no catalogue
        };
        // clang-format on
        for (const auto& [cambio, catalogos, error] : casos) {
            BaseTemporal base;
            if (cambio == "borrar" || cambio == "texto")
                QVERIFY(QFile::remove(base.ruta()));
            if (cambio == "texto")
                base.archivo("cavi.mdb", QByteArray(4096, 'x'));
            for (const QString& sentencia : cambio.contains(' ') ? cambio.split(';') : QStringList())
                base.sql(sentencia);
            const QByteArray antes = prueba::LeeArchivo(base.ruta());
            const auto comprobacion = catalogos ? Comprobacion::ColumnasYCatalogos : Comprobacion::Columnas;
            QCOMPARE(ErrorDe([&] { AbreBaseDatos(base.ruta(), "abrir", comprobacion), CierraBaseDatos("abrir"); }),
                     error);
            QVERIFY(!QSqlDatabase::contains("abrir"));
            QCOMPARE(prueba::LeeArchivo(base.ruta()), antes);
        }
        // A driver's error without an SQLite code (no connection, say) reads as the generic one.
        QCOMPARE(ErrorDe([] { throw ErrorVV::deSql(QSqlError("sin conexión", {}, QSqlError::ConnectionError)); }),
                 "100001 Error en la instrucción SQL (sin conexión)");
    }

    void sentenciaComoEjecutaYConsulta()
    {
        // A kept statement fails as Ejecuta does, at its preparation or at its step (a generic error
        // read again at the reset), and reads what Consulta reads.
        BaseTemporal base;
        base.sql("insert into T_Escenario(Escenario) values (1)");
        for (const char* sql : {"selec 1", "select * from T_Nada", "insert into T_Escenario(Escenario) values (1)",
                                "insert into T_Comision values (null, 1, 1, 1)", "select abs(-9223372036854775808)"}) {
            const QString error = ErrorDe([&] { Ejecuta(base.db(), sql); });
            QVERIFY(!error.isEmpty());
            QCOMPARE(ErrorDe([&] { Sentencia(base.db(), sql).ejecuta(); }), error);
        }
        const QString valores = "select 7, 2.5, 'siete', null, x'00ff', '', ?";
        QSqlQuery q = Consulta(base.db(), valores, {QString()});
        QVERIFY(Siguiente(q));
        Sentencia s(base.db(), valores);
        s.enlaza(0, QVariant(QString()));
        QVERIFY(s.siguiente());
        for (int c = 0; c < 7; ++c) {
            QCOMPARE(s.valor(c).typeId(), q.value(c).typeId());
            QCOMPARE(s.valor(c).isNull(), q.value(c).isNull());
            QCOMPARE(s.valor(c), q.value(c));
        }
        QVERIFY(!s.siguiente());
    }

    void sentenciasGuardadasNoImpidenCerrar()
    {
        // A connection closed by itself, as the window closes it, finalizes its kept statements: the
        // file is let go, and opened again the statements are prepared again. The same text in use
        // twice at once is two statements.
        BaseTemporal base;
        QSqlDatabase db = AbreBaseDatos(base.ruta(), "guardadas");
        for (int vez = 0; vez < 2; ++vez) {
            Sentencia fuera(db, "select count(*) from C_TipoSeguro");
            Sentencia dentro(db, "select count(*) from C_TipoSeguro");
            QVERIFY(fuera.siguiente() && dentro.siguiente());
            QCOMPARE(fuera.numero(0) + dentro.numero(0), 8.0);
        }
        db.close();
        QVERIFY(!db.lastError().isValid());
        QVERIFY(db.open());
        QVERIFY(Sentencia(db, "select count(*) from C_TipoSeguro").siguiente());
        db = QSqlDatabase();
        CierraBaseDatos("guardadas");
    }
};

QTEST_GUILESS_MAIN(TestBaseDatos)
#include "TestBaseDatos.moc"
