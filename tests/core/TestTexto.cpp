#include "core/Texto.h"

#include <QTest>

using namespace valvida;

class TestTexto : public QObject
{
    Q_OBJECT

  private slots:
    void decodifica()
    {
        // clang-format off
        const std::pair<QByteArray, QString> casos[] = {
            {"Tabla M\xc3\xa9xico", QStringLiteral("Tabla México")},
            {"\xef\xbb\xbf" "0,0.1,A", QStringLiteral("0,0.1,A")}, // the byte-order mark goes
            {"Tabla M\xe9xico a\xf1o", QStringLiteral("Tabla México año")}, // not UTF-8: Windows-1252
            {"\x81\x8d\x8f\x90\x9d", QStringLiteral("\u0081\u008d\u008f\u0090\u009d")}, // its five unassigned bytes
        };
        // clang-format on
        for (const auto& [bytes, texto] : casos)
            QCOMPARE(DecodificaTexto(bytes), texto);
    }

    void tablaWindows1252()
    {
        // The 27 characters Windows-1252 puts in 0x80..0x9F, where Latin-1 has control codes, as the
        // code page's published table gives them.
        const QByteArray bytes("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8a\x8b\x8c\x8e"
                               "\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9a\x9b\x9c\x9e\x9f");
        const QString texto = QStringLiteral("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ");
        QCOMPARE(DecodificaTexto(bytes), texto);
        QCOMPARE(CodificaWindows1252(texto), bytes);
        QCOMPARE(CodificaWindows1252(QStringLiteral("Año Póliza ÿ π")), QByteArray("A\xf1o P\xf3liza \xff ?"));
    }

    void celdaCsv()
    {
        // What a spreadsheet would run as a formula gets a "'"; numbers and plain texts stay.
        const std::pair<QString, QString> casos[] = {
            {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
            {"+A1", "'+A1"},
            {"-X", "'-X"},
            {"@SUMA(A1)", "'@SUMA(A1)"},
            {"\tx", "'\tx"},
            {"\rx", "'\rx"},
            {"-5", "-5"},
            {"+1E3", "+1E3"},
            {"Dotal = 20", "Dotal = 20"},
            {"", ""},
        };
        for (const auto& [celda, escrita] : casos)
            QCOMPARE(CeldaCsv(celda), escrita);
    }
};

QTEST_GUILESS_MAIN(TestTexto)
#include "TestTexto.moc"
