// Start-up: a database the forms can work with opens the main window; any other file gives the box
// "Rutina: main", no window, and the file as it was (a missing one is not created).

#include "core/BaseDatos.h"
#include "support/BaseTemporal.h"
#include "ui/Arranque.h"
#include "ui/MDIForm1.h"

#include <QApplication>
#include <QDir>
#include <QTest>

using namespace valvida;

class TestArranque : public QObject
{
    Q_OBJECT

  private slots:
    void abreSoloUnaBaseUtil_data()
    {
        QTest::addColumn<QString>("preparacion"); // a statement, or what becomes of the file
        QTest::addColumn<QString>("caja");        // how the box starts; empty: the window opens
        QTest::newRow("base útil") << ""
                                   << "";
        QTest::newRow("archivo que falta") << "borrar"
                                           << "Rutina: main\r\nError:100014\r\nNo se puede abrir";
        QTest::newRow("no es una base") << "texto"
                                        << "Rutina: main\r\nError:100026\r\nEl archivo no es una base";
        QTest::newRow("catálogo vacío")
            << "delete from C_TipoComision"
            << "Rutina: main\r\nError:3021\r\nAl catálogo C_TipoComision le falta el código 1";
    }

    void abreSoloUnaBaseUtil()
    {
        QFETCH(QString, preparacion);
        QFETCH(QString, caja);
        prueba::BaseTemporal base;
        QFile archivo(base.ruta());
        if (preparacion == "borrar")
            QVERIFY(archivo.remove());
        else if (preparacion == "texto")
            QVERIFY(archivo.open(QIODevice::WriteOnly) && archivo.write("Edad,qx\r\n") > 0);
        else if (!preparacion.isEmpty())
            base.sql(preparacion);
        archivo.close();
        const QByteArray antes = archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
        archivo.close();

        std::unique_ptr<MDIForm1> ventana = Arranca(base.dialogos, base.carpeta(), "prueba-arranque");

        QCOMPARE(!ventana, !caja.isEmpty());
        QCOMPARE(base.dialogos.cajas.size(), caja.isEmpty() ? 0 : 1);
        if (ventana) {
            QVERIFY(ventana->isVisible());
            ventana.reset();
            CierraBaseDatos("prueba-arranque");
            return;
        }
        QVERIFY2(base.dialogos.textos().first().startsWith(caja), qPrintable(base.dialogos.textos().first()));
        QCOMPARE(base.dialogos.cajas.first().icono, Dialogos::Icono::Critico);
        QCOMPARE(base.dialogos.reloj, 0);
        QVERIFY(!QSqlDatabase::contains("prueba-arranque"));
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
        QCOMPARE(archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray(), antes);
        QCOMPARE(QFile::exists(base.ruta()), preparacion != "borrar");
    }
};

QTEST_MAIN(TestArranque)
#include "TestArranque.moc"
