#include "core/Texto.h"

#include <QTest>

using namespace valvida;

class TestTexto : public QObject
{
    Q_OBJECT

  private slots:
    void decodifica_data();
    void decodifica();
    void codificaWindows1252();
};

void TestTexto::decodifica_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("texto");
    QTest::newRow("utf-8") << QByteArray("Tabla M\xc3\xa9xico") << QStringLiteral("Tabla México");
    QTest::newRow("marca de orden") << QByteArray("\xef\xbb\xbf"
                                                  "0,0.1,A")
                                    << QStringLiteral("0,0.1,A");
    QTest::newRow("windows-1252") << QByteArray("Tabla M\xe9xico a\xf1o") << QStringLiteral("Tabla México año");
    QTest::newRow("euro y comillas") << QByteArray("\x80 \x93x\x94") << QStringLiteral("€ “x”");
    QTest::newRow("ascii") << QByteArray("30,0.0012,Tabla A") << QStringLiteral("30,0.0012,Tabla A");
}

void TestTexto::decodifica()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, texto);
    QCOMPARE(DecodificaTexto(bytes), texto);
}

void TestTexto::codificaWindows1252()
{
    QCOMPARE(CodificaWindows1252(QStringLiteral("Año Póliza €")), QByteArray("A\xf1o P\xf3liza \x80"));
    QCOMPARE(CodificaWindows1252(QStringLiteral("π")), QByteArray("?"));
    QCOMPARE(DecodificaTexto(CodificaWindows1252(QStringLiteral("Comisión varios años"))),
             QStringLiteral("Comisión varios años"));
}

QTEST_GUILESS_MAIN(TestTexto)
#include "TestTexto.moc"
