#include "core/ErrorVV.h"
#include "core/Numeros.h"

#include <QTest>

#include <clocale>
#include <cmath>
#include <limits>

using namespace valvida;

class TestNumeros : public QObject
{
    Q_OBJECT

  private slots:
    void textoNumero_data();
    void textoNumero();
    void esNumerico_data();
    void esNumerico();
    void aNumeroRechazaLoQueNoEsNumero();
    void entero16RedondeaAlParYDesborda_data();
    void entero16RedondeaAlParYDesborda();
    void flotante32ComoLlegaLaTasa();
    void redondeaParACuatroDecimales_data();
    void redondeaParACuatroDecimales();
};

void TestNumeros::textoNumero_data()
{
    QTest::addColumn<double>("valor");
    QTest::addColumn<QString>("texto");
    QTest::newRow("5.5") << 5.5 << "5.5";
    QTest::newRow("entero") << 3.0 << "3";
    QTest::newRow("15 cifras") << 0.14736842105263157 << "0.147368421052632";
    QTest::newRow("cero") << 0.0 << "0";
    QTest::newRow("menos cero") << -0.0 << "0";
    QTest::newRow("negativo") << -2.25 << "-2.25";
    QTest::newRow("exponente pequeño") << 1.23e-5 << "1.23E-05";
    QTest::newRow("límite sin exponente") << 0.0001 << "0.0001";
    QTest::newRow("uno sin decimales") << 1e-5 << "1E-05";
    QTest::newRow("grande sin exponente") << 999999999999999.0 << "999999999999999";
    QTest::newRow("grande con exponente") << 1e15 << "1E+15";
    QTest::newRow("redondeo a 15") << 0.1 + 0.2 << "0.3";
    QTest::newRow("sin agrupar") << 1234567.5 << "1234567.5";
    QTest::newRow("exponente de tres cifras") << 2.5e-100 << "2.5E-100";
}

void TestNumeros::textoNumero()
{
    QFETCH(double, valor);
    QFETCH(QString, texto);
    QCOMPARE(TextoNumero(valor), texto);
    // The program runs under the user's numeric locale, whose decimal mark may be the comma.
    if (std::setlocale(LC_NUMERIC, "es_ES.UTF-8")) {
        const QString bajoEs = TextoNumero(valor);
        std::setlocale(LC_NUMERIC, "C");
        QCOMPARE(bajoEs, texto);
    }
    // What is written reads back as the same number to 15 digits.
    QVERIFY(std::fabs(ANumero(texto) - valor) <= std::fabs(valor) * 1e-14);
}

void TestNumeros::esNumerico_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("numerico");
    QTest::newRow("entero") << "35" << true;
    QTest::newRow("decimal") << "5.5" << true;
    QTest::newRow("blancos") << "  4.5  " << true;
    QTest::newRow("signo menos") << "-0.5" << true;
    QTest::newRow("signo más") << "+7" << true;
    QTest::newRow("punto inicial") << ".053" << true;
    QTest::newRow("punto final") << "5." << true;
    QTest::newRow("exponente") << "1e-3" << true;
    QTest::newRow("exponente mayúscula") << "1.2E+05" << true;
    QTest::newRow("vacío") << "" << false;
    QTest::newRow("blancos solos") << "   " << false;
    QTest::newRow("punto solo") << "." << false;
    QTest::newRow("coma decimal") << "5,5" << false;
    QTest::newRow("dos puntos") << "1.2.3" << false;
    QTest::newRow("letras") << "abc" << false;
    QTest::newRow("número y letra") << "12a" << false;
    QTest::newRow("exponente sin cifras") << "1e" << false;
    QTest::newRow("signo solo") << "-" << false;
}

void TestNumeros::esNumerico()
{
    QFETCH(QString, texto);
    QFETCH(bool, numerico);
    QCOMPARE(EsNumerico(texto), numerico);
}

void TestNumeros::aNumeroRechazaLoQueNoEsNumero()
{
    QCOMPARE(ANumero(QStringLiteral(" 4.5 ")), 4.5);
    try {
        ANumero(QStringLiteral("5,5"));
        QFAIL("5,5 se leyó como número");
    } catch (const ErrorVV& e) {
        QCOMPARE(e.numero(), 13);
        QCOMPARE(e.descripcion(), QStringLiteral("No coinciden los tipos"));
    }
    try {
        ANumero(QStringLiteral("1e400"));
        QFAIL("1e400 se leyó como número");
    } catch (const ErrorVV& e) {
        QCOMPARE(e.numero(), 6);
    }
}

void TestNumeros::entero16RedondeaAlParYDesborda_data()
{
    QTest::addColumn<double>("valor");
    QTest::addColumn<int>("esperado");
    QTest::addColumn<bool>("desborda");
    QTest::newRow("4.5 al par") << 4.5 << 4 << false;
    QTest::newRow("5.5 al par") << 5.5 << 6 << false;
    QTest::newRow("-2.5 al par") << -2.5 << -2 << false;
    QTest::newRow("4.49") << 4.49 << 4 << false;
    QTest::newRow("máximo") << 32767.0 << 32767 << false;
    QTest::newRow("mínimo") << -32768.0 << -32768 << false;
    QTest::newRow("32767.5 sube y desborda") << 32767.5 << 0 << true;
    QTest::newRow("-32768.5 baja al par") << -32768.5 << -32768 << false;
    QTest::newRow("32768") << 32768.0 << 0 << true;
    QTest::newRow("-32769") << -32769.0 << 0 << true;
    QTest::newRow("infinito") << std::numeric_limits<double>::infinity() << 0 << true;
}

void TestNumeros::entero16RedondeaAlParYDesborda()
{
    QFETCH(double, valor);
    QFETCH(int, esperado);
    QFETCH(bool, desborda);
    try {
        const int r = AEntero16(valor);
        QVERIFY2(!desborda, "se esperaba el error 6");
        QCOMPARE(r, esperado);
    } catch (const ErrorVV& e) {
        QVERIFY2(desborda, "error inesperado");
        QCOMPARE(e.numero(), 6);
        QCOMPARE(e.descripcion(), QStringLiteral("Desbordamiento"));
    }
}

void TestNumeros::flotante32ComoLlegaLaTasa()
{
    const double tasa = static_cast<double>(AFlotante32(4.1));
    QVERIFY(tasa != 4.1);
    QVERIFY(std::fabs(tasa - 4.1) < 1e-6);
    QCOMPARE(static_cast<double>(AFlotante32(5.5)), 5.5);
}

void TestNumeros::redondeaParACuatroDecimales_data()
{
    QTest::addColumn<double>("valor");
    QTest::addColumn<QString>("texto");
    QTest::newRow("prima por suma") << 0.012345 * 100000 << "1234.5";
    QTest::newRow("corta") << 2.718281828 << "2.7183";
    QTest::newRow("empate al par abajo") << 0.00125 * 10 << "0.0125";
    QTest::newRow("entero") << 100.0 << "100";
}

void TestNumeros::redondeaParACuatroDecimales()
{
    QFETCH(double, valor);
    QFETCH(QString, texto);
    QCOMPARE(TextoNumero(RedondeaPar(valor, 4)), texto);
}

QTEST_GUILESS_MAIN(TestNumeros)
#include "TestNumeros.moc"
