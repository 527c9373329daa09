#include "app/lote/Lote.h"
#include "core/BaseDatos.h"
#include "support/PruebaLote.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace valvida;

// The first value of a query's first row.
static QVariant Valor(const QSqlDatabase& db, const QString& consulta, const QVariantList& valores = {})
{
    QSqlQuery q = Consulta(db, consulta, valores);
    return Siguiente(q) ? q.value(0) : QVariant();
}

class TestLoteCrearBd : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void creaUnaBaseNuevaConSusCatalogos();
    void rehusaUnArchivoExistente();
    void errorDeUso_data();
    void errorDeUso();
    void programaReal();
    void ejemploConSusEscenariosCalculados();
    void ejemploGuardaCadaTablaTalCual_data();
    void ejemploGuardaCadaTablaTalCual();

  private:
    // The sample database, made once by the in-process tool, and a connection to it.
    QTemporaryDir m_dir;
    QSqlDatabase m_db;
};

void TestLoteCrearBd::initTestCase()
{
    const QString ruta = m_dir.filePath("ejemplo.mdb");
    const prueba::SalidaLote s = prueba::Lote({"crear-bd", "--ejemplo", ruta});
    // Nothing on stderr: no import and no calculation showed a box.
    QCOMPARE(s.err, QString());
    QCOMPARE(s.estado, 0);
    m_db = AbreBaseDatos(ruta, "prueba-ejemplo");
}

void TestLoteCrearBd::cleanupTestCase()
{
    m_db = QSqlDatabase();
    CierraBaseDatos("prueba-ejemplo");
}

void TestLoteCrearBd::creaUnaBaseNuevaConSusCatalogos()
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("x.mdb");
    const prueba::SalidaLote s = prueba::Lote({"crear-bd", ruta});
    QCOMPARE(s.estado, 0);
    QCOMPARE(s.err, QString());
    // What the window needs to open: every column and the catalogues' codes.
    AbreBaseDatos(ruta, "prueba-crear", Comprobacion::ColumnasYCatalogos);
    CierraBaseDatos("prueba-crear");
}

void TestLoteCrearBd::rehusaUnArchivoExistente()
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("x.mdb");
    QCOMPARE(prueba::Lote({"crear-bd", ruta}).estado, 0);
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray antes = f.readAll();
    f.close();
    const prueba::SalidaLote s = prueba::Lote({"crear-bd", ruta});
    QCOMPARE(s.estado, 1);
    QCOMPARE(s.err, "No se creó la base de datos: El archivo ya existe: " + ruta + "\n");
    QCOMPARE(prueba::Lote({"crear-bd", "--ejemplo", ruta}).err, s.err);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), antes);
    // No half-made sample is left beside it either.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"x.mdb"});
}

void TestLoteCrearBd::errorDeUso_data()
{
    QTest::addColumn<QStringList>("argumentos");
    QTest::newRow("nada") << QStringList{};
    QTest::newRow("sin ruta") << QStringList{"crear-bd"};
    QTest::newRow("de más") << QStringList{"crear-bd", "a", "b"};
    QTest::newRow("ejemplo sin ruta") << QStringList{"crear-bd", "--ejemplo"};
    QTest::newRow("desconocido") << QStringList{"borrar", "a"};
}

void TestLoteCrearBd::errorDeUso()
{
    QFETCH(QStringList, argumentos);
    const prueba::SalidaLote s = prueba::Lote(argumentos);
    QCOMPARE(s.estado, 2);
    QVERIFY(s.err.startsWith("uso: valvida-lote "));
    QCOMPARE(s.err.count('\n'), 1);
    QCOMPARE(s.out, QString());
}

void TestLoteCrearBd::programaReal()
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("cavi.mdb");
    QCOMPARE(prueba::Programa({"crear-bd", ruta}).estado, 0);
    const prueba::SalidaLote segunda = prueba::Programa({"crear-bd", ruta});
    QCOMPARE(segunda.estado, 1);
    QCOMPARE(segunda.err, "No se creó la base de datos: El archivo ya existe: " + ruta + "\n");
    QCOMPARE(prueba::Programa({}).estado, 2);
    // The tables travel inside the program, wherever it is started from.
    QCOMPARE(prueba::Programa({"crear-bd", "--ejemplo", dir.filePath("ejemplo.mdb")}).estado, 0);
}

void TestLoteCrearBd::ejemploConSusEscenariosCalculados()
{
    // Type, commission type, terms, total of years, schedule rows, schedule years that pay more
    // than the year before, and result rows of each sample: the endowment of 20 years with its one
    // commission row, the whole life to the last age of its table (110 - 40) paid for life with a
    // five-year schedule, and twelve months of cover with one row per month from 0; every scenario
    // calculated (rows n + 1).
    QCOMPARE(Valor(m_db, "select group_concat(fila, ' ') from (select Escenario || '|' || Tipo_Seguro || '|' || "
                         "Tipo_Comision || '|' || Plazo_Seguro || '|' || Plazo_Pago || '|' || Total_Anios || '|' || "
                         "(select count(*) from T_Comision c where c.Escenario = e.Escenario) || '|' || "
                         "(select count(*) from T_Comision a, T_Comision b where a.Escenario = e.Escenario and "
                         "b.Escenario = e.Escenario and b.Anio_Comision = a.Anio_Comision + 1 and "
                         "(b.Porcentaje_Prima > a.Porcentaje_Prima or b.Tantos_Suma > a.Tantos_Suma)) || '|' || "
                         "(select count(*) from T_Resultado r where r.Escenario = e.Escenario) "
                         "as fila from T_Escenario e order by Escenario)")
                 .toString(),
             "1|3|1|20|20|0|1|0|21 2|2|2|70|70|5|5|0|71 3|1|1|1|12|0|1|0|13");
}

void TestLoteCrearBd::ejemploGuardaCadaTablaTalCual_data()
{
    QTest::addColumn<QString>("archivo");
    const QStringList archivos = QDir(VALVIDA_TABLAS_DIR).entryList({"*.csv"});
    QCOMPARE(archivos.size(), 7);
    for (const QString& archivo : archivos)
        QTest::newRow(qPrintable(archivo)) << archivo;
}

void TestLoteCrearBd::ejemploGuardaCadaTablaTalCual()
{
    QFETCH(QString, archivo);
    QFile f(VALVIDA_TABLAS_DIR "/" + archivo);
    QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lineas = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    const auto campo = [&](qsizetype linea, int c) { return lineas.at(linea).split(',').at(c); };
    // The table the file's description names, its age range, then every line's age and qx, all
    // compared by the store as numbers, to the last bit.
    const QString descripcion = campo(lineas.size() - 1, 2);
    const QVariantList tabla = {descripcion, campo(0, 0).toDouble(), campo(lineas.size() - 1, 0).toDouble()};
    QCOMPARE(Valor(m_db,
                   "select count(*) from C_TablaMortalidad where Descripcion = ? and Edad_Inicial = ? "
                   "and Edad_Final = ?",
                   tabla)
                 .toInt(),
             1);
    const QString detalle = "select count(*) from T_DetalleMortalidad d, C_TablaMortalidad t where "
                            "d.Tabla_Mortalidad = t.Tabla_Mortalidad and t.Descripcion = ?";
    QCOMPARE(Valor(m_db, detalle, {descripcion}).toInt(), lineas.size());
    for (qsizetype i = 0; i < lineas.size(); ++i)
        QVERIFY2(Valor(m_db, detalle + " and Edad = ? and qx = ?",
                       {descripcion, campo(i, 0).toDouble(), campo(i, 1).toDouble()})
                         .toInt() == 1,
                 qPrintable(lineas.at(i)));
}

QTEST_GUILESS_MAIN(TestLoteCrearBd)
#include "TestLoteCrearBd.moc"
