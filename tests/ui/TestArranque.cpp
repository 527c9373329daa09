// Start-up: the database chosen by --bd, valvida.conf or the folder opens the main window, which
// names it in its title, when the forms can work with it; any other gives the box "Rutina: main",
// no window, and the file as it was (a missing one is not created).

#include "core/BaseDatos.h"
#include "core/Constantes.h"
#include "support/BaseTemporal.h"
#include "ui/Arranque.h"
#include "ui/MDIForm1.h"

#include <QApplication>
#include <QTest>

using namespace valvida;

class TestArranque : public QObject
{
    Q_OBJECT

  private slots:
    void abreSoloUnaBaseUtil_data()
    {
        QTest::addColumn<QString>("preparacion"); // a statement, or "borrar": cavi.mdb is removed
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QByteArray>("conf"); // valvida.conf beside the program, if any
        QTest::addColumn<QString>("caja");    // how the box starts; empty: the window opens
        QTest::addColumn<QString>("abierta"); // the database the window's title names
        // A file that is no database is refused on the same road (TestBaseDatos has each refusal);
        // TestBaseElegida has each choice. "otra.mdb" is a good database beside cavi.mdb.
        // clang-format off
        QTest::newRow("base útil") << QString() << QStringList() << QByteArray() << QString() << "cavi.mdb";
        QTest::newRow("archivo que falta") << "borrar" << QStringList() << QByteArray()
            << "Rutina: main\r\nError:100014\r\nNo se puede abrir" << QString();
        QTest::newRow("catálogo vacío") << "delete from C_TipoComision" << QStringList() << QByteArray()
            << "Rutina: main\r\nError:3021\r\nAl catálogo C_TipoComision le falta el código 1" << QString();
        QTest::newRow("--bd") << "borrar" << QStringList{"--bd", "OTRA"} << QByteArray() << QString() << "otra.mdb";
        QTest::newRow("valvida.conf") << "borrar" << QStringList() << QByteArray("# equipo\nbd=otra.mdb\n")
            << QString() << "otra.mdb";
        QTest::newRow("valvida.conf ilegible") << QString() << QStringList() << QByteArray("otra.mdb\n")
            << "Rutina: main\r\nError:5\r\nCARPETA/valvida.conf, línea 1: se esperaba bd=URI o bd=RUTA" << QString();
        QTest::newRow("--bd sin valor") << QString() << QStringList{"--bd"} << QByteArray()
            << "Rutina: main\r\nError:5\r\nFalta la base de datos tras --bd" << QString();
        // clang-format on
    }

    void abreSoloUnaBaseUtil()
    {
        QFETCH(QString, preparacion);
        QFETCH(QStringList, argumentos);
        QFETCH(QByteArray, conf);
        QFETCH(QString, caja);
        QFETCH(QString, abierta);
        prueba::BaseTemporal base;
        const QString otra = base.carpeta() + "/otra.mdb";
        CreaBaseDatos(otra);
        if (!conf.isEmpty())
            base.archivo("valvida.conf", conf);
        if (preparacion == "borrar")
            QVERIFY(QFile::remove(base.ruta()));
        else if (!preparacion.isEmpty())
            base.sql(preparacion);
        argumentos.replaceInStrings("OTRA", otra);
        caja.replace("CARPETA", base.carpeta());
        const auto bytes = [&] { return prueba::LeeArchivo(base.ruta()) + prueba::LeeArchivo(otra); };
        const QByteArray antes = bytes();

        std::unique_ptr<MDIForm1> ventana = Arranca(base.dialogos, argumentos, base.carpeta(), "prueba-arranque");

        QCOMPARE(!ventana, !caja.isEmpty());
        QCOMPARE(base.dialogos.cajas.size(), caja.isEmpty() ? 0 : 1);
        if (ventana) {
            QVERIFY(ventana->isVisible());
            QCOMPARE(ventana->windowTitle(), TituloAplicacion + " - " + base.carpeta() + "/" + abierta);
            QCOMPARE(ventana->entorno().carpetaAplicacion, base.carpeta());
            ventana.reset();
            CierraBaseDatos("prueba-arranque");
            return;
        }
        QVERIFY2(base.dialogos.textos().first().startsWith(caja), qPrintable(base.dialogos.textos().first()));
        QCOMPARE(base.dialogos.cajas.first().icono, Dialogos::Icono::Critico);
        QCOMPARE(base.dialogos.cajas.first().titulo, TituloAplicacion);
        QCOMPARE(base.dialogos.reloj, 0);
        QVERIFY(!QSqlDatabase::contains("prueba-arranque") && QApplication::topLevelWidgets().isEmpty());
        QCOMPARE(bytes(), antes);
    }
};

QTEST_MAIN(TestArranque)
#include "TestArranque.moc"
