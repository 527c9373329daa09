#include "core/BaseDatos.h"
#include "core/ErrorVV.h"
#include "support/BaseTemporal.h"
#include "support/Dialecto.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace valvida;
using valvida::prueba::BaseTemporal;
using valvida::prueba::EnServidor;

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

// Every table's key as "table:columns", the columns in the key's order.
QStringList Claves(const BaseTemporal& base)
{
    if (!EnServidor())
        return base.filas(
            "select t || ':' || group_concat(c) from (select m.name t, p.name c from sqlite_master m, "
            "pragma_table_info(m.name) p where m.type = 'table' and p.pk > 0 order by t, p.pk) group by t");
    return base.filas("select t.table_name || ':' || string_agg(k.column_name, ',' order by k.ordinal_position) "
                      "from information_schema.table_constraints t join information_schema.key_column_usage k "
                      "using (constraint_schema, constraint_name) where t.constraint_type = 'PRIMARY KEY' and "
                      "t.table_schema = current_schema() group by t.table_name order by t.table_name");
}

// A table's columns as "name type place-in-the-key" (0 outside it).
QStringList Columnas(const BaseTemporal& base, const QString& tabla)
{
    if (!EnServidor())
        return base.filas("select name || ' ' || type || ' ' || pk from pragma_table_info(?)", {tabla});
    return base.filas("select c.column_name || ' ' || c.data_type || ' ' || coalesce(k.ordinal_position, 0) from "
                      "information_schema.columns c left join information_schema.key_column_usage k using "
                      "(table_schema, table_name, column_name) where c.table_schema = current_schema() and "
                      "c.table_name = lower(?) order by c.ordinal_position",
                      {tabla});
}

// What a refused open or create must leave as it was: the file's bytes, or the server database's
// tables and columns.
QByteArray Huella(const BaseTemporal& base)
{
    if (!EnServidor())
        return prueba::LeeArchivo(base.ruta());
    return base
        .filas("select table_name || '.' || column_name || ' ' || data_type from information_schema.columns "
               "where table_schema = current_schema() order by table_name, ordinal_position")
        .join('\n')
        .toUtf8();
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
        // A server folds the names to lower case.
        BaseTemporal base;
        const auto nombres = [](const QStringList& claves) {
            return EnServidor() ? claves.join('\n').toLower().split('\n') : claves;
        };
        QCOMPARE(Claves(base),
                 nombres({"C_Curva:Curva", "C_TablaMortalidad:Tabla_Mortalidad", "C_TipoComision:Tipo_Comision",
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
        // The schema's types, REAL the server's 8-byte DOUBLE PRECISION.
        const QStringList columnas =
            EnServidor()
                ? QStringList{"escenario bigint 1", "penalizacion_rescate double precision 0", "anio_rescate bigint 0"}
                : QStringList{"Escenario INTEGER 1", "Penalizacion_Rescate REAL 0", "Anio_Rescate INTEGER 0"};
        QCOMPARE(Columnas(base, "T_Garantia"), columnas);
    }

    void crearNoDejaNadaAMedias()
    {
        // A database already there is kept as it was; a missing folder or a filling that fails leaves
        // no file. On a server a database with tables is refused, and a filling that fails leaves none.
        BaseTemporal base;
        const QByteArray antes = Huella(base);
        const QDir dir(base.carpeta());
        const std::function<void(const QString&)> falla = [](const QString&) { throw ErrorVV(57, "a medias"); };
        QCOMPARE(ErrorDe([&] { CreaBaseDatos(base.ruta()); }),
                 (EnServidor() ? "58 La base de datos ya tiene tablas: " : "58 El archivo ya existe: ") + base.ruta());
        QCOMPARE(Huella(base), antes);
        if (EnServidor()) {
            for (const QString& tabla : TablasEsquema() + TablasAmpliacion())
                base.sql("drop table " + tabla);
            QCOMPARE(ErrorDe([&] { CreaBaseDatos(base.ruta(), falla); }), "57 a medias");
            QCOMPARE(Huella(base), QByteArray());
            return;
        }
        QCOMPARE(ErrorDe([&] { CreaBaseDatos(dir.filePath("no/x.mdb")); }),
                 "76 No se encontró la carpeta: " + dir.absoluteFilePath("no"));
        QCOMPARE(ErrorDe([&] { CreaBaseDatos(dir.filePath("nueva.mdb"), falla); }), "57 a medias");
        QCOMPARE(Huella(base), antes);
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
            {"drop table T_Comision; create table T_Comision(Anio_Comision integer, Escenario integer, "
             "Porcentaje_Prima double precision, Tantos_Suma integer)", false,
             "3265 La columna Escenario de la tabla T_Comision debe ser la número 1"},
            {"alter table T_Resultado add column extra integer", false,
             "3265 La tabla T_Resultado tiene la columna extra de más"},
            {"alter table T_Garantia drop column Anio_Rescate", false,
             "3265 La tabla T_Garantia no tiene la columna Anio_Rescate"},
            // Names compare without regard to case; a catalogue may have further columns.
            {"drop table T_DetalleMortalidad; create table T_DetalleMortalidad(TABLA_MORTALIDAD integer, edad integer, "
             "QX double precision); alter table C_TipoSeguro add column Orden integer", true, ""},
            {"delete from C_TipoSeguro where Tipo_Seguro = 4", true, sinCodigo.arg("C_TipoSeguro", "el código 4")},
            {"delete from C_TipoComision where Tipo_Comision = 1", true, sinCodigo.arg("C_TipoComision", "el código 1")},
            {"delete from C_TipoComision where Tipo_Comision <> 1", true,
             sinCodigo.arg("C_TipoComision", "un código distinto de 1")},
            {"delete from C_TipoSeguro", false, ""}, // the commands read no catalogue
        };
        // clang-format on
        for (const auto& [cambio, catalogos, error] : casos) {
            if (EnServidor() && !cambio.contains(' '))
                continue; // a missing file, a file of other bytes: the file's alone
            BaseTemporal base;
            if (cambio == "borrar" || cambio == "texto")
                QVERIFY(QFile::remove(base.ruta()));
            if (cambio == "texto")
                base.archivo("cavi.mdb", QByteArray(4096, 'x'));
            for (const QString& sentencia : cambio.contains(' ') ? cambio.split(';') : QStringList())
                base.sql(sentencia);
            const QByteArray antes = Huella(base);
            const auto comprobacion = catalogos ? Comprobacion::ColumnasYCatalogos : Comprobacion::Columnas;
            QCOMPARE(ErrorDe([&] {
                         AbreBaseDatos(base.ruta(), "abrir", comprobacion);
                         CierraBaseDatos("abrir");
                     }),
                     error);
            QVERIFY(!QSqlDatabase::contains("abrir"));
            QCOMPARE(Huella(base), antes);
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
