#include "app/lote/Lote.h"
#include "core/BaseDatos.h"

#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace valvida;

namespace {

struct Salida
{
    int estado;
    QString out;
    QString err;
};

Salida Lote(const QStringList& argumentos)
{
    QString out, err;
    QTextStream sOut(&out), sErr(&err);
    const int estado = EjecutaLote(argumentos, sOut, sErr);
    sOut.flush();
    sErr.flush();
    return {estado, out, err};
}

} // namespace

class TestLoteCrearBd : public QObject
{
    Q_OBJECT

private slots:
    void creaUnaBaseNuevaConSusCatalogos();
    void rehusaUnArchivoExistente();
    void errorDeUso_data();
    void errorDeUso();
    void programaReal();
};

void TestLoteCrearBd::creaUnaBaseNuevaConSusCatalogos()
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("x.mdb");
    const Salida s = Lote({"crear-bd", ruta});
    QCOMPARE(s.estado, 0);
    QCOMPARE(s.err, QString());
    {
        QSqlDatabase db = AbreBaseDatos(ruta, "prueba-crear");
        QSqlQuery q(db);
        QVERIFY(q.exec("select count(*) from C_TipoSeguro"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 4);
    }
    CierraBaseDatos("prueba-crear");
}

void TestLoteCrearBd::rehusaUnArchivoExistente()
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("x.mdb");
    QCOMPARE(Lote({"crear-bd", ruta}).estado, 0);
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray antes = f.readAll();
    f.close();
    const Salida s = Lote({"crear-bd", ruta});
    QCOMPARE(s.estado, 1);
    QCOMPARE(s.err, "No se creó la base de datos: El archivo ya existe: " + ruta + "\n");
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), antes);
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
    const Salida s = Lote(argumentos);
    QCOMPARE(s.estado, 2);
    QVERIFY(s.err.startsWith("uso: valvida-lote "));
    QCOMPARE(s.err.count('\n'), 1);
    QCOMPARE(s.out, QString());
}

void TestLoteCrearBd::programaReal()
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("cavi.mdb");
    QProcess p;
    p.start(VALVIDA_LOTE_BIN, {"crear-bd", ruta});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(QFile::exists(ruta));
    p.start(VALVIDA_LOTE_BIN, {"crear-bd", ruta});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 1);
    QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains("El archivo ya existe"));
    p.start(VALVIDA_LOTE_BIN, {});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 2);
}

QTEST_GUILESS_MAIN(TestLoteCrearBd)
#include "TestLoteCrearBd.moc"
