// valvida-lote: what each command adds to the routines it runs (tested in their own units): its
// arguments, what it prints, its exit status; the real program making the sample database and
// running calcular and exportar; and the valuation of plans at any age and of a portfolio
// (tarifa, cartera and the menu's "Cartera") on a small table worked by hand and the
// Illustrative Life Table.

#include "actuarial/cartera/Cartera.h"
#include "app/lote/Lote.h"
#include "core/BaseDatos.h"
#include "core/ExportaEscenario.h"
#include "core/Numeros.h"
#include "support/BaseTemporal.h"
#include "support/Dialecto.h"
#include "support/PruebaLote.h"
#include "support/Tolerancia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlRecord>
#include <QTest>

#include <bit>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace valvida;
using prueba::BaseTemporal;
using prueba::Lote;
using prueba::Programa;

namespace {

const QString Cabecera = QStringLiteral("Escenario,Anio_Poliza,Edad_Alcanzada,Prima_Riesgo,Prima_Neta_Nivelada,"
                                        "Prima_Tarifa,Anualidad,Seguro,Reserva_Matematica,Rescate,Saldado,Prorrogado");

// The three-age table at 0 % (q = 0.1, 0.2, 1) and two 2-year terms at 0 paid over 2 years with
// a commission of 50 % and 15 per mille: 1 of commission type 1, the worked example, and 2 of
// type 2, whose reserve asks for the reference premium at ages the table lacks.
void Ejemplo(BaseTemporal& b)
{
    b.sql("insert into C_TablaMortalidad values(1, 'Tres edades', 0, 2)");
    b.sql("insert into T_DetalleMortalidad values(1, 0, 0.1), (1, 1, 0.2), (1, 2, 1)");
    b.sql("insert into T_Escenario values(1, 0, 1000, 1, 1, 0, 1, 2, 2, 'Ejemplo', 0), "
          "(2, 0, 1000, 1, 2, 0, 1, 2, 2, 'Comisión 2', 0)");
    b.sql("insert into T_Comision values(1, 1, 50, 15), (2, 1, 50, 15)");
}

// How making a database where one is refuses: a file that exists, a server's database with tables.
QString YaExiste(const QString& ruta)
{
    return (EsServidor(ruta) ? "La base de datos ya tiene tablas: " : "El archivo ya existe: ") + ruta;
}

// Where a new database can be made in the test's store: a file in the fixture's folder, or the
// fixture's server database emptied of its tables (a server's databases are made by its
// administrator; the program fills an empty one).
QString BaseVacia(BaseTemporal& b, const QString& archivo)
{
    if (!prueba::EnServidor())
        return b.carpeta() + '/' + archivo;
    for (const QString& tabla : TablasEsquema() + TablasAmpliacion())
        b.sql("drop table " + tabla);
    return b.ruta();
}

// The rows of a query, each value written by `celda`, joined by "|".
QStringList Filas(const QSqlDatabase& db, const QString& consulta,
                  const std::function<QString(const QVariant&)>& celda = ValorATexto)
{
    QStringList filas;
    for (QSqlQuery q = Consulta(db, consulta); Siguiente(q);) {
        QStringList celdas;
        for (int c = 0; c < q.record().count(); ++c)
            celdas << celda(q.value(c));
        filas << celdas.join('|');
    }
    return filas;
}

// A run as "status|stdout|stderr".
QString Salida(const prueba::SalidaLote& s)
{
    return QString::number(s.estado) + '|' + s.out + '|' + s.err;
}

// Table 1, ages 0..5 at 0 %: l = 1, .9, .72, .54, .27, .135. Scenario 1: 5-year term at 0 with 3
// premiums, P = (M0 - M5)/(N0 - N3) = .865/2.62, and reserves read prospectively: V2 + P = the
// 3-year cover at 2 = .25 + .75 (.5 + .5 .5) = .8125, V3 = .5 + .5 .5 = .75, V4 = q4 = .5, V5 = 0.
// Scenario 2: a 6-month term cover at 0, P = q0 = .1, V(j) = (1 - (2j - 1)/12) P. Scenario 3:
// whole life at 0 with 3 premiums. On the table of Bowers et al. (table 2, 6 %): 4 a 20-year
// endowment at 40 with 15 premiums and a three-year schedule, 5 whole life at 30 (80 years, paid
// for life), 6 a 6-month cover at 50, 7 a modified premium paid once, whose reserve divides by 0.
// Scenario 8: a 2-year term on table 1 with a modified premium, whose reference premium's 20
// years that table lacks.
void Planes(BaseTemporal& base)
{
    base.sql("insert into C_TablaMortalidad values(1, 'Seis edades', 0, 5)");
    base.sql("insert into T_DetalleMortalidad values(1,0,.1),(1,1,.2),(1,2,.25),(1,3,.5),(1,4,.5),(1,5,1)");
    // The new table's number after table 1; the notice that the load ended is no failure.
    QCOMPARE(Salida(Lote({"importar", base.ruta(), VALVIDA_TABLAS_DIR "/ilt-bowers.csv"})), QString("0|2\n|"));
    base.sql("insert into T_Escenario values(1,0,1,1,1,0,1,5,3,'T',0),(2,0,1,1,1,0,1,1,6,'M',0),"
             "(3,0,1,2,1,0,1,5,3,'V',0),(4,40,1,3,2,6,2,20,15,'D',3),(5,30,1,2,1,6,2,80,80,'VE',0),"
             "(6,50,1,1,1,6,2,1,6,'M',0),(7,40,1,3,2,6,2,10,1,'U',0),(8,0,1,1,2,0,1,2,2,'C',0)");
    base.sql("insert into T_Comision values(1,1,0,0),(2,1,0,0),(3,1,0,0),(4,1,50,15),(4,2,20,0),(4,3,5,0),"
             "(5,1,30,10),(6,1,10,0),(7,1,50,15),(8,1,50,15)");
}

} // namespace

class TestLote : public QObject
{
    Q_OBJECT

  private slots:
    void ordenes_data()
    {
        // BD is the database of Ejemplo, OTRA one that is not there, a name.csv a file in its folder;
        // t.csv holds a line one field short.
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QString>("salida"); // the whole "status|stdout|stderr", or how it starts before "..."
        QTest::addColumn<QString>("preparacion");
        const auto fila = [](const char* nombre, const QStringList& argumentos, const QString& salida,
                             const QString& preparacion = {}) {
            QTest::newRow(nombre) << argumentos << salida << preparacion;
        };
        // A command line that is no command: the usage and status 2, before any file is looked at.
        const QString uso = "2||" + UsoLote() + "\n";
        fila("nada", {}, uso);
        fila("desconocido", {"borrar", "a.mdb"}, uso);
        fila("crear-bd, dos rutas", {"crear-bd", "a.mdb", "b.mdb"}, uso);
        fila("copiar sin destino", {"copiar", "a.mdb"}, uso);
        fila("--ejemplo sin ruta", {"crear-bd", "--ejemplo"}, uso);
        fila("calcular, escenario decimal", {"calcular", "OTRA", "1.5"}, uso);
        fila("exportar, escenario en letras", {"exportar", "OTRA", "dos", "e.csv"}, uso);
        fila("tarifa, edades al revés", {"tarifa", "OTRA", "1", "50", "20"}, uso);
        fila("tarifa, edad en letras", {"tarifa", "OTRA", "1", "x", "20"}, uso);
        fila("cartera, opción desconocida", {"cartera", "--suma", "r.csv", "OTRA", "c.csv", "s.csv"}, uso);
        // A database that is not there is not created: each command says which work it did not do.
        const QString noSeAbrio = QStringLiteral("1||No se abrió la base de datos: ...");
        fila("importar sin base", {"importar", "OTRA", "t.csv"}, noSeAbrio);
        fila("calcular sin base", {"calcular", "OTRA", "1"}, noSeAbrio);
        fila("exportar sin base", {"exportar", "OTRA", "1", "e.csv"}, "1||No se exportó el escenario: ...");
        fila("tarifa sin base", {"tarifa", "OTRA", "1"}, "1||No se calculó la tarifa: ...");
        fila("cartera sin base", {"cartera", "OTRA", "c.csv", "s.csv"}, "1||No se valoró la cartera: ...");
        // A box is its lines on stderr and status 1.
        fila("importar, coma final", {"importar", "BD", "t.csv"},
             "1||Rutina: mnuTablaExcel_Click\nError:9\nLa línea 1 tiene 2 campos; se requieren al menos 3\n");
        // The reserve's box for the reference premium, and the rows it did not stop. P as in the worked
        // example; K = c1 + (P - 0) in year 1, so V(1) = (K - 0.1)/0.9 = 28/171; V(2) = 0.
        fila("calcular, caja de una función", {"calcular", "BD", "2"},
             "1|" + Cabecera +
                 "\n2,0,0,0.1,0.147368421052632,0.294987468671679,1.9,0.28,0,0,0,0\n"
                 "2,1,1,0.2,0.147368421052632,0.294987468671679,1,0.2,0.16374269005848,0,0,0\n"
                 "2,2,2,0.2,0.147368421052632,0.294987468671679,0,0,0,0,0,0\n"
                 "|Funcion: fPrimaNivelada\nError:9\nEl subíndice está fuera del intervalo\n");
        // The generator's own box, and nothing on stdout: a failed calculation has no results.
        fila("calcular, escenario inexistente", {"calcular", "BD", "5"},
             "1||Funcion: fGeneraResultado\nError:3021\nBOF o EOF es True, o el registro actual se eliminó. La "
             "operación solicitada requiere un registro actual.\n");
        fila("exportar, escenario inexistente", {"exportar", "BD", "5", "e.csv"},
             "1||No se exportó el escenario: No existe el escenario 5\n");
        fila("exportar, sección ilegible", {"exportar", "BD", "1", "e.csv"}, "1||Rutina: CargaFlexgrid\nError:94\n...",
             "insert into T_DetalleMortalidad values(1, 3, null)");
    }

    void ordenes()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(QString, salida);
        QFETCH(QString, preparacion);
        BaseTemporal base;
        Ejemplo(base);
        if (!preparacion.isEmpty())
            base.sql(preparacion);
        base.archivo("t.csv", "0,0.1,\r\n");
        const QString otra = base.carpeta() + "/otra.mdb";
        for (QString& a : argumentos)
            a = a == "BD" ? base.ruta() : (a == "OTRA" ? otra : (a.endsWith(".csv") ? base.carpeta() + "/" + a : a));
        const QString s = Salida(Lote(argumentos));
        if (salida.endsWith("..."))
            QVERIFY2(s.startsWith(salida.chopped(3)), qPrintable(s));
        else
            QCOMPARE(s, salida);
        QVERIFY(!QFile::exists(otra));
    }

    void crearBd()
    {
        // What the window needs to open: every column and the catalogues' codes.
        BaseTemporal base, vacia;
        const QString ruta = base.carpeta() + "/x.mdb", ejemplo = BaseVacia(vacia, "ejemplo.mdb");
        // What a killed run left (no process has that number) goes with the next run; a live one's stays.
        const QString vivo = "x.mdb." + QString::number(QCoreApplication::applicationPid()) + ".tmp";
        for (const QString& resto : {QString("x.mdb.2147483647.tmp"), QString("x.mdb.2147483647.tmp-journal"), vivo})
            base.archivo(resto, "resto");
        QCOMPARE(Salida(Programa({"crear-bd", ruta})), "0|Base de datos creada: " + ruta + "\n|");
        QVERIFY(QFile::remove(base.carpeta() + "/" + vivo));
        AbreBaseDatos(ruta, "prueba-crear", Comprobacion::ColumnasYCatalogos);
        CierraBaseDatos("prueba-crear");
        // An existing file is refused, and neither it nor a half-made sample beside it changes; so is the
        // fixture's database, and its catalogue stays.
        const QByteArray antes = prueba::LeeArchivo(ruta);
        for (const QString& existente : {ruta, base.ruta()})
            for (const QStringList& argumentos :
                 {QStringList{"crear-bd", existente}, QStringList{"crear-bd", "--ejemplo", existente}})
                QCOMPARE(Salida(Lote(argumentos)), "1||No se creó la base de datos: " + YaExiste(existente) + "\n");
        QCOMPARE(prueba::LeeArchivo(ruta), antes);
        QCOMPARE(base.filas("select count(*) from C_TipoSeguro"), QStringList{"4"});
        QStringList hechos = QDir(base.carpeta()).entryList(QDir::Files);
        hechos.removeOne("cavi.mdb"); // the fixture's, when it is a file
        QCOMPARE(hechos, QStringList{"x.mdb"});
        // The sample, by the real program: the tables travel inside it, and nothing on stderr means
        // that no import and no calculation showed a box.
        QCOMPARE(Salida(Programa({"crear-bd", "--ejemplo", ejemplo})), "0|Base de datos creada: " + ejemplo + "\n|");
        const auto cierra = qScopeGuard([] { CierraBaseDatos("prueba-ejemplo"); });
        const QSqlDatabase e = AbreBaseDatos(ejemplo, "prueba-ejemplo");
        // Type, commission type, terms, years of schedule, its rows, and result rows: the endowment of
        // 20 years with its one commission row, the whole life to the last age of its table (110 - 40)
        // paid for life with a five-year schedule, and twelve months of cover, one row per month from
        // 0; every scenario calculated (rows n + 1).
        QCOMPARE(Filas(e, "select Escenario, Tipo_Seguro, Tipo_Comision, Plazo_Seguro, Plazo_Pago, Total_Anios, "
                          "(select count(*) from T_Comision c where c.Escenario = s.Escenario), "
                          "(select count(*) from T_Resultado r where r.Escenario = s.Escenario) "
                          "from T_Escenario s order by Escenario"),
                 (QStringList{"1|3|1|20|20|0|1|21", "2|2|2|70|70|5|5|71", "3|1|1|1|12|0|1|13"}));
        // The seven shipped tables, every qx read back to its last bit as its file gives it.
        const auto qx = [](const QString& t) { return QString::number(t.toDouble(), 'g', 17); };
        QStringList archivos, guardadas;
        for (const QString& archivo : QDir(VALVIDA_TABLAS_DIR).entryList({"*.csv"}))
            for (const QString& l :
                 QString(prueba::LeeArchivo(VALVIDA_TABLAS_DIR "/" + archivo)).split("\r\n", Qt::SkipEmptyParts))
                archivos << l.section(',', 2) + '|' + l.section(',', 0, 0) + '|' + qx(l.section(',', 1, 1));
        for (QSqlQuery q = Consulta(e, "select Descripcion, Edad, qx from T_DetalleMortalidad "
                                       "join C_TablaMortalidad using (Tabla_Mortalidad)");
             Siguiente(q);)
            guardadas << q.value(0).toString() + '|' + q.value(1).toString() + '|' + qx(q.value(2).toString());
        archivos.sort(), guardadas.sort();
        QCOMPARE(guardadas, archivos);
    }

    void fallos()
    {
        // Every file we write is whole or not written, under a hostile user and a failing disk. Each
        // case ends with status 1 and its message, its watched file (W) as it was, and no leftover
        // beside it. BD is the database, LINK a link to it, C a portfolio, S an older good output
        // (W), FIFO a named pipe; "lleno" limits the files the program writes to 300 bytes (a full
        // disk, without privileges), "stdout" sends its standard output to /dev/full.
        BaseTemporal base;
        Ejemplo(base);
        const QString carpeta = base.carpeta();
        const QString c = base.archivo("c.csv", CabeceraCartera.toUtf8() + "\r\nA,1,0,1000,1\r\nB,1,0,1000,0\r\n"
                                                                           "C,1,0,1000,0\r\nD,1,0,1000,0\r\n");
        QFile::link(base.ruta(), carpeta + "/link.mdb");
        QVERIFY(::mkfifo(QFile::encodeName(carpeta + "/fifo").constData(), 0600) == 0);
        const QString cartera = "1||No se valoró la cartera: ", exportar = "1||No se exportó el escenario: ";
        const QString lleno = "Error de entrada/salida del dispositivo: S (Archivo demasiado grande)\n";
        const QString fifo = "Error de acceso a la ruta o el archivo: FIFO (no es un archivo normal)\n";
        const struct
        {
            const char* caso;
            QStringList argumentos;
            const char* preparacion;
            QString salida;
            QString vigilado;
        } casos[] = {
            {"cartera sobre la base",
             {"cartera", "BD", "C", "BD"},
             "",
             cartera + "Permiso denegado: BD es la base de datos abierta\n",
             "BD"},
            {"cartera sobre un enlace a la base",
             {"cartera", "BD", "C", "LINK"},
             "",
             cartera + "Permiso denegado: LINK es la base de datos abierta\n",
             "BD"},
            {"cartera sobre su entrada",
             {"cartera", "BD", "C", "C"},
             "",
             cartera + "Permiso denegado: C es la cartera que se valora\n",
             "C"},
            {"cartera, disco lleno", {"cartera", "BD", "C", "S"}, "lleno", cartera + lleno, "S"},
            {"resumen sobre la salida",
             {"cartera", "--resumen", "S", "BD", "C", "S"},
             "",
             cartera + "Permiso denegado: S es la salida de la cartera\n",
             "S"},
            {"exportar, disco lleno", {"exportar", "BD", "1", "S"}, "lleno", exportar + lleno, "S"},
            {"tarifa a un disco lleno",
             {"tarifa", "BD", "1"},
             "stdout",
             "1||No se pudo escribir la salida estándar: No queda espacio en el dispositivo\n",
             "S"},
            {"cartera de un FIFO", {"cartera", "BD", "FIFO", "S"}, "", cartera + fifo, "S"},
            {"cartera de /dev/zero",
             {"cartera", "BD", "/dev/zero", "S"},
             "",
             cartera + "Error de acceso a la ruta o el archivo: /dev/zero (no es un archivo normal)\n",
             "S"},
            {"cartera a un FIFO", {"cartera", "BD", "C", "FIFO"}, "", cartera + fifo, "S"},
            {"exportar a un FIFO", {"exportar", "BD", "1", "FIFO"}, "", exportar + fifo, "S"},
        };
        const QMap<QString, QString> rutas{{"BD", base.ruta()},
                                           {"LINK", carpeta + "/link.mdb"},
                                           {"C", c},
                                           {"S", carpeta + "/s.csv"},
                                           {"FIFO", carpeta + "/fifo"}};
        const auto ruta = [&](const QString& a) { return rutas.value(a, a); };
        for (const auto& caso : casos) {
            if (caso.vigilado == "BD" && prueba::EnServidor())
                continue; // a server's database is no file an output could replace
            base.archivo("s.csv", "bueno\r\n");
            const QStringList antes = QDir(carpeta).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
            const QByteArray vigilado = prueba::LeeArchivo(ruta(caso.vigilado));
            QStringList argumentos;
            for (const QString& a : caso.argumentos)
                argumentos << ruta(a);
            const QString preparacion = caso.preparacion;
            const prueba::SalidaLote s = Programa(argumentos, [&](QProcess& p) {
                if (preparacion == "stdout")
                    p.setStandardOutputFile("/dev/full");
                if (preparacion == "lleno")
                    p.setChildProcessModifier([] {
                        ::signal(SIGXFSZ, SIG_IGN);
                        const rlimit limite{300, 300};
                        ::setrlimit(RLIMIT_FSIZE, &limite);
                    });
            });
            QString esperada = caso.salida;
            for (auto r = rutas.cbegin(); r != rutas.cend(); ++r)
                esperada.replace(QRegularExpression("\\b" + r.key() + "\\b"), r.value());
            QVERIFY2(Salida(s) == esperada, qPrintable(QString(caso.caso) + ": " + Salida(s)));
            QVERIFY2(prueba::LeeArchivo(ruta(caso.vigilado)) == vigilado, caso.caso);
            QCOMPARE(QDir(carpeta).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), antes);
            QVERIFY(QFileInfo(carpeta + "/fifo").isFile() == false && QFileInfo(carpeta + "/fifo").exists());
        }
    }

    void programaReal()
    {
        // calcular prints every row of the worked example: P = 0.28/1.9, PT = (0.015/2 + P)/(1 -
        // 0.95/2), risk 0.1, 0.2, 0.2, reserves 0, (P - 0.1)/0.9, 0. exportar writes the file that the
        // results form's export writes.
        BaseTemporal base;
        Ejemplo(base);
        QCOMPARE(Salida(Programa({"calcular", base.ruta(), "1"})),
                 "0|" + Cabecera +
                     "\n1,0,0,0.1,0.147368421052632,0.294987468671679,1.9,0.28,0,0,0,0\n"
                     "1,1,1,0.2,0.147368421052632,0.294987468671679,1,0.2,0.0526315789473684,0,0,0\n"
                     "1,2,2,0.2,0.147368421052632,0.294987468671679,0,0,0,0,0,0\n|");
        const QString archivo = base.carpeta() + "/real.csv", directo = base.carpeta() + "/directo.csv";
        QCOMPARE(Salida(Programa({"exportar", base.ruta(), "1", archivo})),
                 "0|Escenario exportado: " + archivo + "\n|");
        ExportaEscenario(base.entorno(), 1, directo);
        QCOMPARE(prueba::LeeArchivo(archivo), prueba::LeeArchivo(directo));
    }

    void copiar()
    {
        // Every table, a value of each kind: texts with quotes and accents, an empty text and a null, a
        // large integer, a third, a subnormal, 0.1 + 0.2, the largest double, a text in a REAL column;
        // copied to a file, and by the real program from it back to the test's store. Every table's rows
        // as each copy reads them, each double to its bits, each value with its kind. The source's
        // catalogues replace the schema's, an extra column of theirs left out.
        BaseTemporal base, vacia;
        Planes(base);
        QCOMPARE(Lote({"calcular", base.ruta(), "4"}).estado, 0);
        const double tercio = 1.0 / 3, subnormal = 1e-310, suma = 0.1 + 0.2, maximo = 1.7976931348623157e308;
        // 2^53 + 1, which no double holds, in an INTEGER of 64 bits (a server's BIGINT). Only the file
        // holds a text in a REAL column.
        const qlonglong entero = 9007199254740993LL;
        const QVariant texto = prueba::EnServidor() ? QVariant(0.5) : QVariant(QStringLiteral("n/a"));
        base.sql("insert into T_Garantia values(4, 5, 2), (5, null, null)");
        base.sql("insert into T_Hipotesis values(?,?,?,?,?,?,?)",
                 {1, "Tarifa \"ñ\" 'año'", entero, tercio, subnormal, suma, maximo});
        base.sql("insert into T_Hipotesis values(2, '', null, ?, 0.1, 5, null)", {texto});
        base.sql("insert into T_Caida values(1, 1, 8), (1, 2, 4.5), (2, 1, null)");
        base.sql("insert into C_Curva values(1, 'Plana', '2026-12-31'), (2, null, null)");
        base.sql("insert into T_Curva values(1, 1, 6), (1, 2, 6.25)");
        base.sql("alter table C_TipoComision add column Nota TEXT");
        base.sql("update C_TipoComision set Descripcion = 'Varios años (equipo)', Nota = 'x' where Tipo_Comision = 2");
        const QString copia = base.carpeta() + "/copia.mdb", vuelta = BaseVacia(vacia, "vuelta.mdb");
        qint64 filas = 0;
        for (const QString& tabla : TablasEsquema() + TablasAmpliacion())
            filas += base.filas("select count(*) from " + tabla).first().toLongLong();
        const QString copiada("0|Base de datos copiada: %1 (%2 filas en 13 tablas)\n|");
        QCOMPARE(Salida(Lote({"copiar", base.ruta(), copia})), copiada.arg(copia).arg(filas));
        QCOMPARE(Salida(Programa({"copiar", copia, vuelta})), copiada.arg(vuelta).arg(filas));

        const auto celda = [](const QVariant& v) {
            if (v.isNull())
                return QString("NULL");
            if (v.typeId() == QMetaType::Double)
                return "double:" + QString::number(std::bit_cast<quint64>(v.toDouble()), 16);
            // Whatever the store's width of an integer.
            if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::ULongLong)
                return "entero:" + v.toString();
            return QString(v.typeName()) + ':' + v.toString();
        };
        const auto lee = [&](const QSqlDatabase& db, const QString& consulta) {
            QStringList leidas = Filas(db, consulta, celda);
            leidas.sort();
            return leidas;
        };
        for (const QString& destino : {copia, vuelta}) {
            // Each copy opens as the window opens a database.
            const auto cierra = qScopeGuard([] { CierraBaseDatos("prueba-copia"); });
            const QSqlDatabase d = AbreBaseDatos(destino, "prueba-copia", Comprobacion::ColumnasYCatalogos);
            for (const QString& tabla : TablasEsquema() + TablasAmpliacion()) {
                const QSqlRecord columnas = Consulta(d, "select * from " + tabla).record();
                QStringList nombres;
                for (int c = 0; c < columnas.count(); ++c)
                    nombres << columnas.fieldName(c);
                const QStringList copiadas = lee(d, "select * from " + tabla);
                QVERIFY2(!copiadas.isEmpty(), qPrintable(tabla));
                QCOMPARE(copiadas, lee(base.db(), "select " + nombres.join(',') + " from " + tabla));
            }
            QCOMPARE(lee(d, "select * from C_TipoComision"),
                     (QStringList{"entero:1|QString:Comisión primer año", "entero:2|QString:Varios años (equipo)"}));
            QCOMPARE(lee(d, "select Tabla_Mortalidad, Porcentaje_Mortalidad, Gasto_Poliza, Porcentaje_Gasto_Prima, "
                            "Inflacion_Gastos, Descripcion from T_Hipotesis where Hipotesis = 1"),
                     QStringList{"entero:" + QString::number(entero) + '|' + celda(tercio) + '|' + celda(subnormal) +
                                 '|' + celda(suma) + '|' + celda(maximo) + "|QString:Tarifa \"ñ\" 'año'"});
            QCOMPARE(lee(d, "select Descripcion, Porcentaje_Mortalidad from T_Hipotesis where Hipotesis = 2"),
                     QStringList{"QString:|" + celda(texto)});
        }
    }

    void copiarFallido()
    {
        // Each refusal: status 1, its message, the folder as it was (no copy, no temporary file left),
        // an existing destination untouched. BD is the database, X an existing file, SIN a missing one.
        BaseTemporal base;
        Ejemplo(base);
        const QString existente = base.archivo("x.mdb", "no se toca");
        const QString copia = base.carpeta() + "/copia.mdb";
        const QString no = "1||No se copió la base de datos: ";
        const struct
        {
            const char* caso;
            QString origen;
            QString destino;
            const char* preparacion;
            QString salida; // or how it starts, before "..."
        } casos[] = {
            {"destino existente", base.ruta(), existente, "", no + YaExiste(existente) + "\n"},
            {"destino que es el origen", base.ruta(), base.ruta(), "", no + YaExiste(base.ruta()) + "\n"},
            {"carpeta que falta", base.ruta(), base.carpeta() + "/no/copia.mdb", "",
             no + "No se encontró la carpeta: " + base.carpeta() + "/no\n"},
            {"origen que falta", base.carpeta() + "/sin.mdb", copia, "", no + "..."},
            {"origen que no es una base", existente, copia, "", no + "..."},
            // A table without its key holds a row twice: the copy refuses it, all of it.
            {"fila repetida", base.ruta(), copia,
             "drop table T_Comision; create table T_Comision(Escenario INTEGER, Anio_Comision INTEGER, "
             "Porcentaje_Prima DOUBLE PRECISION, Tantos_Suma INTEGER); insert into T_Comision values(1, 1, 50, 15), "
             "(1, 1, 50, 15)",
             no + "La fila viola una restricción de la tabla (UNIQUE constraint failed: T_Comision.Escenario, "
                  "T_Comision.Anio_Comision)\n"},
        };
        for (const auto& caso : casos) {
            for (const QString& sentencia : QString(caso.preparacion).split("; ", Qt::SkipEmptyParts))
                base.sql(sentencia);
            const QStringList antes = QDir(base.carpeta()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
            const QByteArray bytes = prueba::LeeArchivo(existente) + prueba::LeeArchivo(base.ruta());
            const QString s = Salida(Lote({"copiar", caso.origen, caso.destino}));
            if (caso.salida.endsWith("..."))
                QVERIFY2(s.startsWith(caso.salida.chopped(3)) && s.count('\n') == 1, qPrintable(s));
            else
                QVERIFY2(s == caso.salida, qPrintable(QString(caso.caso) + ": " + s));
            QCOMPARE(QDir(base.carpeta()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), antes);
            QCOMPARE(prueba::LeeArchivo(existente) + prueba::LeeArchivo(base.ruta()), bytes);
        }
    }

    void mejorEstimacion()
    {
        // Scenario 9, a 20-year endowment at 40 on the Illustrative Life Table at 6 % with no commission:
        // on that table at 100 %, no lapses or expenses and a flat curve at 6 %, a policy 5 years in
        // force has a best estimate of its sum times the reserve V(5) that calcular stores.
        BaseTemporal base;
        Planes(base);
        base.sql("insert into T_Escenario values(9,40,1,3,1,6,2,20,20,'D',0)");
        base.sql("insert into T_Comision values(9,1,0,0)");
        base.sql("insert into T_Hipotesis values(1,'Tarifa',2,100,0,0,0)");
        const QString c = base.carpeta() + "/";
        // The curve: a header skipped, maturities 1 and 2; its refusals name line and field.
        const std::pair<QByteArray, QString> curvas[] = {
            {"Plazo,Tipo\r\n1,6\r\n2,6\r\n", "0|1\n|"},
            {"1,6\n3,6\n", "1||No se importó la curva: Línea 2, campo Plazo: debe ser 2\n"},
            {"1,seis\n", "1||No se importó la curva: Línea 1, campo Tipo: no es un número\n"},
            {"1,-100\n", "1||No se importó la curva: Línea 1, campo Tipo: debe ser mayor que -100\n"},
            {"1;6\n", "1||No se importó la curva: Línea 1: debe tener 2 campos separados por comas\n"},
        };
        for (const auto& [bytes, salida] : curvas)
            QCOMPARE(Salida(Lote({"importar-curva", base.ruta(), base.archivo("c.csv", bytes), "Plana", "2026-12-31"})),
                     salida);
        const QString v5 = Lote({"calcular", base.ruta(), "9"}).out.split('\n').value(6).section(',', 8, 8);
        base.archivo("p.csv", CabeceraCartera.toUtf8() + "\nZ,9,40,1000,5\n");
        const prueba::SalidaLote r =
            Lote({"mejor-estimacion", base.ruta(), c + "p.csv", "1", "1", c + "s.csv", "--flujos", c + "f.csv"});
        QCOMPARE(r.estado, 0);
        const double be = QString(prueba::LeeArchivo(c + "s.csv")).split('\n').value(1).section(',', 5).toDouble();
        VV_CERCA(be, 1000 * v5.toDouble(), 1e-8 * be);
        // The flows' values add up to the total; 15 years remain.
        double valor = 0;
        const QStringList anios = QString(prueba::LeeArchivo(c + "f.csv")).split('\n', Qt::SkipEmptyParts);
        for (const QString& anio : anios.mid(1))
            valor += anio.section(',', 8).toDouble();
        QCOMPARE(anios.size(), 16);
        VV_CERCA(valor, be, 1e-9 * be);
        QCOMPARE(r.out, "Pólizas: 1\nMejor estimación total: " + TextoNumero(be) + "\n");
        QCOMPARE(Salida(Lote({"mejor-estimacion", base.ruta(), c + "p.csv", "7", "1", c + "s.csv"})),
                 "1||No se valoró la cartera: No existe la hipótesis 7\n");
    }

    void tarifa()
    {
        BaseTemporal base;
        Planes(base);
        const auto corre = [&](const QStringList& resto) { return Lote(QStringList{"tarifa", base.ruta()} + resto); };
        // Whole life to the last age, 5: three premiums while the term allows; at 4 a year is left,
        // which would be a cover by months.
        QStringList plazos;
        for (const QString& fila : corre({"3"}).out.split('\n', Qt::SkipEmptyParts))
            plazos << fila.section(',', 0, 2);
        QCOMPARE(plazos, (QStringList{"Edad,Plazo_Seguro,Plazo_Pago", "0,5,3", "1,4,3", "2,3,3", "3,2,2"}));
        QCOMPARE(Salida(corre({"3", "2", "4"})),
                 "1||Edad 4: el plan no cabe en la tabla de mortalidad (edades 0 a 5)\n");
        // The modified 20-year endowment fits while its term and its reference premium's end by 110.
        const QStringList dotal = corre({"4"}).out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE((QStringList{dotal.value(1).section(',', 0, 2), dotal.last().section(',', 0, 2)}),
                 (QStringList{"0,20,15", "90,20,15"}));
        // Scenario, its age, n and m: tarifa at that age gives the premiums of calcular's first row
        // (scenarios 1 and 2 are worked by hand in cartera), and only reads: no commutation columns,
        // no results were stored.
        const QStringList planes{"4,40,20,15", "5,30,80,80", "6,50,1,6"};
        QStringList tarifas;
        for (const QString& plan : planes)
            tarifas << Salida(corre({plan.section(',', 0, 0), plan.section(',', 1, 1), plan.section(',', 1, 1)}));
        QCOMPARE(base.filas("select (select count(*) from T_Conmutado) + (select count(*) from T_Resultado)"),
                 QStringList{"0"});
        for (qsizetype k = 0; k < planes.size(); ++k) {
            const QStringList primera =
                Lote({"calcular", base.ruta(), planes[k].section(',', 0, 0)}).out.split('\n').value(1).split(',');
            QCOMPARE(tarifas[k], "0|Edad,Plazo_Seguro,Plazo_Pago,Prima_Neta_Nivelada,Prima_Tarifa\n" +
                                     planes[k].section(',', 1) + "," + primera.value(4) + "," + primera.value(5) +
                                     "\n|");
        }
    }

    void cartera()
    {
        // Scenario 1, P = 1000 .865/2.62: at issue the reserve is the first premium just paid; halfway
        // through year 3, premiums still paid, (V2 + P + V3)/2; then half a year unpaid, and a quarter
        // into the last year. Scenario 2, six months of cover: premium 6/12 of the year's; 0.3 years
        // (3.6 months) reads the row of month 3, 1000 (1 - 5/12) P; nothing is left after month 6.
        const double P = 865.0 / 2.62;
        const std::tuple<QByteArray, double, double> polizas[] = {
            {"A,1,0,1000,0", P, P},        {"A,1,0,1000,2.5", P, 781.25},        {"A,1,0,1000,3.5", P, 625.0},
            {"A,1,0,1000,4.25", P, 375.0}, {"B,2,0,1000,0.3", 50.0, 700.0 / 12}, {"B,2,0,1000,0.75", 50.0, 0.0}};
        BaseTemporal base;
        Planes(base);
        QByteArray bytes = CabeceraCartera.toUtf8();
        for (const auto& poliza : polizas)
            bytes += "\r\n" + std::get<0>(poliza);
        const QString entrada = base.archivo("c.csv", bytes + "\r\n"), salida = base.carpeta() + "/valorada.csv";
        // Reserves P + 781.25 + 625 + 375 + 700/12 = 2169.736005089059; tariff premiums 4 P + 2 x 50 =
        // 1420.6106870229007: no expense, no commission.
        const QStringList resumen{"Pólizas: 6", "Reserva total: 2169.73600508906",
                                  "Prima de tarifa total: 1420.6106870229"};
        QCOMPARE(Salida(Lote({"cartera", base.ruta(), entrada, salida})), "0|" + resumen.join('\n') + "\n|");
        const QStringList filas = QString::fromUtf8(prueba::LeeArchivo(salida)).split('\n');
        // A policy number a spreadsheet would run comes back as text.
        const QString formula = base.archivo("f.csv", CabeceraCartera.toUtf8() + "\r\n=cmd|' /C calc'!A0,1,0,1,0\r\n");
        QCOMPARE(Lote({"cartera", base.ruta(), formula, formula + ".s"}).estado, 0);
        QVERIFY(prueba::LeeArchivo(formula + ".s").contains("\n'=cmd|' /C calc'!A0,1,0,1,0,"));
        // The header alone, without its line's end, is a portfolio of no policies.
        QCOMPARE(Salida(Lote({"cartera", base.ruta(), base.archivo("h.csv", CabeceraCartera.toUtf8()), salida})),
                 "0|Pólizas: 0\nReserva total: 0\nPrima de tarifa total: 0\n|");
        QCOMPARE(prueba::LeeArchivo(salida), (CabeceraCartera + ',' + ColumnasValoradas + '\n').toUtf8());
        QCOMPARE(filas.value(0), CabeceraCartera + "," + ColumnasValoradas);
        for (int k = 0; k < 6; ++k) {
            const auto& [poliza, prima, reserva] = polizas[k];
            const QStringList campos = filas.value(k + 1).split(',');
            QCOMPARE(campos.mid(0, 5).join(','), QString::fromUtf8(poliza));
            VV_CERCA(campos.value(5).toDouble(), prima, 1e-9);
            VV_CERCA(campos.value(6).toDouble(), prima, 1e-9);
            VV_CERCA(campos.value(7).toDouble(), reserva, 1e-9);
        }
        // Each refused line: its message, status 1, and no file written. A good line 2, then the bad line 3.
        QFile::remove(salida);
        const QByteArray antes = CabeceraCartera.toUtf8() + "\r\nA,1,0,1000,1\r\n";
        const QString cabecera = "Línea 1: la cabecera debe ser " + CabeceraCartera, campo = "Línea 3, campo ";
        const QString noCabe = campo + "Edad: el plan no cabe en la tabla de mortalidad (edades 0 a 5)";
        const QString plazo = campo + "Antiguedad: debe ser mayor o igual que 0 y menor que el plazo del seguro (5)";
        const std::pair<QByteArray, QString> rechazadas[] = {
            {"Poliza;Escenario;Edad;Suma_Asegurada;Antiguedad\r\nA,1,0,1000,1", cabecera},
            {"", cabecera},
            {antes + "C,1,0,1000,1,5", "Línea 3: debe tener 5 campos separados por comas"},
            {antes + ",1,0,1000,1", campo + "Poliza: está vacío"},
            {antes + "C,uno,0,1000,1", campo + "Escenario: no es un número"},
            {antes + "C,9,0,1000,1", campo + "Escenario: no existe el escenario 9"},
            {antes + "C,1,0.5,1000,1", campo + "Edad: debe ser un número entero"},
            {antes + "C,1,1,1000,1", noCabe},
            {antes + "C,1,-1,1000,1", noCabe},
            {antes + "C,8,0,1000,1", noCabe}, // no reference premium
            {antes + "C,7,40,1000,1",
             campo + "Edad: el cálculo da el error Rutina: fReserva, Error:11, División por cero"},
            {antes + "C,1,0,0,1", campo + "Suma_Asegurada: debe ser mayor que 0"},
            // Digits beyond a double's range are no number, not 0 years in force.
            {antes + "C,1,0,1000," + QByteArray(400, '9'), campo + "Antiguedad: no es un número"},
            {antes + "C,1,0,1000,5", plazo},
            {antes + "C,1,0,1000,-0.5", plazo},
            {antes + "C,1,0,1000," + QByteArray(4097 - 11, '1'), "Línea 3: tiene más de 4096 bytes"},
            // Two reserves of 0.78 x 1.7e308 each: their sum is no number.
            {antes + "C,1,0,1.7e308,2.5\r\nD,1,0,1.7e308,2.5", "Línea 4: los totales de la cartera se desbordan"},
        };
        for (const auto& [archivo, mensaje] : rechazadas) {
            QCOMPARE(Salida(Lote({"cartera", base.ruta(), base.archivo("c.csv", archivo), salida})),
                     "1||" + mensaje + "\n");
            QVERIFY(!QFile::exists(salida));
        }
    }

    void carteraPorBloques()
    {
        // A portfolio of about a megabyte is valued a block at a time on several threads: each line
        // comes back in its place as the same policy valued alone, the totals are 10,000 times
        // those of the six alone, and a refusal deep in the file keeps its line number, the first
        // in line order winning (a sum that overflows the totals included).
        BaseTemporal base;
        Planes(base);
        const QByteArray tipos[] = {"1,0,1000,2.5",  "2,0,1000,0.3",   "4,40,250,7.25",
                                    "5,30,1.5,12.5", "6,50,3000,0.45", "3,0,10,1"};
        const QString salida = base.carpeta() + "/valorada.csv";
        const auto valora = [&](const std::function<QByteArray(int)>& linea, int n) {
            QByteArray bytes = CabeceraCartera.toUtf8() + "\n";
            for (int i = 0; i < n; ++i)
                bytes += linea(i) + (i % 2 ? "\r\n" : "\n");
            return Lote({"cartera", base.ruta(), base.archivo("c.csv", bytes), salida});
        };
        // Policy numbers of 2 to 25 bytes: the comma after them anywhere in a word of eight.
        const auto poliza = [&](int i) {
            return "P" + QByteArray(i % 7 * 3, '0') + QByteArray::number(i) + ',' + tipos[i % 6];
        };
        const prueba::SalidaLote solas = valora(poliza, 6);
        QCOMPARE(solas.estado, 0);
        const QList<QByteArray> valoradas = prueba::LeeArchivo(salida).split('\n');
        // The first policy spelt otherwise (zeros, points, signs, 8 and 16 digits, exponents,
        // blanks) is the same policy.
        const QByteArray grafias[] = {"01,00,1000,2.50",           "1,-0,1000.,2.5", "1.0,0,00001000,2.5000000",
                                      "1,0,1000.00000000000,02.5", "1,0,1e3,25e-1",  " 1,0 ,+1000,2.5 "};
        // Twice, the second line ending in "\r\n": the line comes back as read, without its end.
        const QByteArray columnas = valoradas[1].mid(poliza(0).size());
        for (const QByteArray& grafia : grafias) {
            QCOMPARE(valora([&](int) { return "P0," + grafia; }, 2).estado, 0);
            const QList<QByteArray> dos = prueba::LeeArchivo(salida).split('\n');
            QCOMPARE(dos.value(1), "P0," + grafia + columnas);
            QCOMPARE(dos.value(2), "P0," + grafia + columnas);
        }
        // Scenario 1 again as scenario 20, on its qx twenty years on, a table from age 20: the plans
        // kept by age from there give the same values.
        base.sql("insert into C_TablaMortalidad values(3, 'Desde 20', 20, 25)");
        base.sql("insert into T_DetalleMortalidad values(3,20,.1),(3,21,.2),(3,22,.25),(3,23,.5),(3,24,.5),(3,25,1)");
        base.sql("insert into T_Escenario values(20,0,1,1,1,0,3,5,3,'T',0)");
        base.sql("insert into T_Comision values(20,1,0,0)");
        QCOMPARE(valora([&](int i) { return "Q" + QByteArray::number(i) + ",20,20,1000,2.5"; }, 3).estado, 0);
        for (const QByteArray& linea : prueba::LeeArchivo(salida).split('\n').mid(1, 3))
            QCOMPARE(linea.mid(linea.indexOf(",2.5,") + 4), columnas);
        const int n = 60000;
        const prueba::SalidaLote todas = valora(poliza, n);
        QCOMPARE(Salida(todas).section('\n', 0, 0), "0|Pólizas: 60000");
        const QList<QByteArray> lineas = prueba::LeeArchivo(salida).split('\n');
        QCOMPARE(lineas.size(), n + 2);
        for (int i = 0; i < n; ++i) {
            if (lineas[i + 1] != poliza(i) + valoradas[i % 6 + 1].mid(poliza(i % 6).size()))
                QFAIL(lineas[i + 1].constData());
        }
        for (int k : {1, 2}) {
            const double una = solas.out.section('\n', k, k).section(": ", 1).toDouble();
            VV_CERCA(todas.out.section('\n', k, k).section(": ", 1).toDouble(), 10000 * una, 1e-12 * 10000 * una);
        }
        // The summary by scenario, ascending though scenario 3 comes last: 10,000 of each policy.
        const QString resumen = base.carpeta() + "/resumen.csv";
        QCOMPARE(Lote({"cartera", "--resumen", resumen, base.ruta(), base.carpeta() + "/c.csv", salida}).estado, 0);
        const QList<QByteArray> filas = prueba::LeeArchivo(resumen).split('\n');
        for (int k = 0; k < 6; ++k) {
            const QList<QByteArray> fila = filas.value(k + 1).split(',');
            const int i = k < 2 ? k : k == 2 ? 5 : k - 1; // the policy of scenario k + 1
            QCOMPARE(fila.value(0) + ',' + fila.value(2), QByteArray::number(k + 1) + ",10000");
            const double reserva = valoradas[i + 1].split(',').value(7).toDouble();
            VV_CERCA(fila.value(5).toDouble(), 10000 * reserva, 1e-9 * 10000 * reserva + 1e-9);
        }
        // A cancel waits for the blocks already read: nothing is written, and a refusal among
        // them is still the file's.
        for (const bool mala : {false, true}) {
            QByteArray bytes = CabeceraCartera.toUtf8();
            for (int i = 0; i < n; ++i)
                bytes += '\n' + (mala && i == 100 ? QByteArray("X,9,0,1000,1") : poliza(i));
            int llamadas = 0;
            QFile::remove(salida);
            const ResultadoCartera r = ValoraCartera(base.db(), base.archivo("c.csv", bytes), salida,
                                                     [&](qint64, qint64) { return ++llamadas < 2; });
            QCOMPARE(int(r.estado), int(mala ? Recorrido::Estado::Rechazada : Recorrido::Estado::Cancelada));
            QCOMPARE(r.rechazo, mala ? "Línea 102, campo Escenario: no existe el escenario 9" : "");
            QVERIFY(!QFile::exists(salida));
        }
        // Policies i replaced, and the message: the policy on line i + 2.
        const QByteArray desborda = "X,1,0,1.7e308,2.5";
        const std::pair<QMap<int, QByteArray>, QString> rechazadas[] = {
            {{{50000, "X,9,0,1000,1"}}, "Línea 50002, campo Escenario: no existe el escenario 9"},
            {{{40000, "X,1,0,1000,9"}, {20000, "X,1,0.5,1000,1"}, {55000, "X,9,0,1000,1"}},
             "Línea 20002, campo Edad: debe ser un número entero"},
            {{{30000, desborda}, {30001, desborda}, {30002, "X,1,-1,1000,1"}},
             "Línea 30003: los totales de la cartera se desbordan"},
            {{{30000, desborda}, {30001, "X,1,0,0,1"}, {30002, desborda}},
             "Línea 30003, campo Suma_Asegurada: debe ser mayor que 0"},
            {{{59999, "X,1,0,1000," + QByteArray(5000, '1')}}, "Línea 60001: tiene más de 4096 bytes"},
        };
        for (const auto& [cambios, mensaje] : rechazadas) {
            QFile::remove(salida);
            QCOMPARE(Salida(valora([&](int i) { return cambios.value(i, poliza(i)); }, n)), "1||" + mensaje + "\n");
            QVERIFY(!QFile::exists(salida));
        }
    }
};

QTEST_GUILESS_MAIN(TestLote)
#include "TestLote.moc"
