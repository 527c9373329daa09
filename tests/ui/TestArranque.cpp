// Start-up refusing a database the forms cannot work with: the box "Rutina: main", no window,
// and the file as it was.

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
    void catalogoVacioNoAbreLaVentana()
    {
        prueba::BaseTemporal base;
        base.sql("delete from C_TipoComision");
        QFile archivo(base.ruta());
        QVERIFY(archivo.open(QIODevice::ReadOnly));
        const QByteArray antes = archivo.readAll();

        QVERIFY(!Arranca(base.dialogos, base.carpeta(), "prueba-arranque"));

        QCOMPARE(base.dialogos.textos(),
                 QStringList{"Rutina: main\r\nError:3021\r\nAl catálogo C_TipoComision le falta el código 1"});
        QVERIFY(!QSqlDatabase::contains("prueba-arranque"));
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
        QVERIFY(archivo.seek(0));
        QCOMPARE(archivo.readAll(), antes);
    }
};

QTEST_MAIN(TestArranque)
#include "TestArranque.moc"
