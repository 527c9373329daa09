// Start-up: a database the forms can work with opens the main window; any other file gives the box
// "Rutina: main", no window, and the file as it was (a missing one is not created).

#include "core/BaseDatos.h"
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
        QTest::addColumn<QString>("preparacion"); // a statement, or "borrar": the file is removed
        QTest::addColumn<QString>("caja");        // how the box starts; empty: the window opens
        // A file that is no database is refused on the same road (TestBaseDatos has each refusal).
        // clang-format off
        QTest::newRow("base útil") << QString() << QString();
        QTest::newRow("archivo que falta") << "borrar" << "Rutina: main\r\nError:100014\r\nNo se puede abrir";
        QTest::newRow("catálogo vacío") << "delete from C_TipoComision"
            << "Rutina: main\r\nError:3021\r\nAl catálogo C_TipoComision le falta el código 1";
        // clang-format on
    }

    void abreSoloUnaBaseUtil()
    {
        QFETCH(QString, preparacion);
        QFETCH(QString, caja);
        prueba::BaseTemporal base;
        if (preparacion == "borrar")
            QVERIFY(QFile::remove(base.ruta()));
        else if (!preparacion.isEmpty())
            base.sql(preparacion);
        const auto bytes = [&base] { return prueba::LeeArchivo(base.ruta()); };
        const QByteArray antes = bytes();

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
        QVERIFY(!QSqlDatabase::contains("prueba-arranque") && QApplication::topLevelWidgets().isEmpty());
        QCOMPARE(bytes(), antes);
    }
};

QTEST_MAIN(TestArranque)
#include "TestArranque.moc"
