#include "app/lote/Lote.h"
#include "support/PruebaLote.h"
#include "core/BaseDatos.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace valvida;

class TestLoteCrearBd : public QObject
{
    Q_OBJECT

private slots:
    void creaUnaBaseNuevaConSusCatalogos();
    void errorDeUso_data();
    void errorDeUso();
    void programaReal();
};

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

void TestLoteCrearBd::errorDeUso_data()
{
    QTest::addColumn<QStringList>("argumentos");
    QTest::newRow("nada") << QStringList{};
    QTest::newRow("sin ruta") << QStringList{"crear-bd"};
    QTest::newRow("de más") << QStringList{"crear-bd", "a", "b"};
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
    QVERIFY(QFile::exists(ruta));
    // An existing file is refused and left as it was (the bytes: TestBaseDatos).
    const prueba::SalidaLote segunda = prueba::Programa({"crear-bd", ruta});
    QCOMPARE(segunda.estado, 1);
    QCOMPARE(segunda.err, "No se creó la base de datos: El archivo ya existe: " + ruta + "\n");
    QCOMPARE(prueba::Programa({}).estado, 2);
}

QTEST_GUILESS_MAIN(TestLoteCrearBd)
#include "TestLoteCrearBd.moc"
