// Which database the window program opens: --bd, else valvida.conf beside the program, else
// cavi.mdb there; and what it refuses before opening anything.

#include "core/BaseElegida.h"
#include "core/ErrorVV.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace valvida;

namespace {

const QString Servidor = QStringLiteral("postgresql://ana@servidor:5433/valvida?sslmode=require");
const QString Socket = QStringLiteral("postgresql:///valvida?host=/run/postgresql");

} // namespace

class TestBaseElegida : public QObject
{
    Q_OBJECT

  private slots:
    void elige_data()
    {
        // P is the program's folder, C the current one. "conf" null: no valvida.conf; "DIR": a folder
        // of that name. "esperado" is the name chosen, or "Error N: description".
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QByteArray>("conf");
        QTest::addColumn<QString>("esperado");
        const auto fila = [](const char* caso, const QStringList& argumentos, const QByteArray& conf,
                             const QString& esperado) { QTest::newRow(caso) << argumentos << conf << esperado; };
        const QString uso = QStringLiteral(" (uso: valvida [--bd URI|RUTA])");
        const QString linea = QStringLiteral("Error 5: P/valvida.conf, línea ");
        fila("sin nada", {}, {}, "P/cavi.mdb");
        fila("conf sin base", {}, "# sin servidor por ahora\n\n", "P/cavi.mdb");
        fila("conf con servidor", {}, "bd=" + Servidor.toUtf8(), Servidor);
        fila("conf con comentarios, CR LF y espacios", {},
             "\xef\xbb\xbf# equipo\r\n\r\n   # otro\r\n  bd = " + Socket.toUtf8() + "  \r\n", Socket);
        fila("conf con archivo relativo", {}, "bd=datos/equipo.mdb\n", "P/datos/equipo.mdb");
        fila("conf con archivo absoluto", {}, "bd=/srv/valvida/cavi.mdb\n", "/srv/valvida/cavi.mdb");
        fila("--bd gana a la conf", {"--bd", Socket}, "bd=" + Servidor.toUtf8(), Socket);
        fila("--bd no lee la conf", {"--bd", Socket}, "basura\n", Socket);
        fila("--bd con archivo relativo", {"--bd", "otra.mdb"}, {}, "C/otra.mdb");
        fila("--bd con postgres://", {"--bd", "postgres://servidor/valvida"}, {}, "postgres://servidor/valvida");
        // Refused, nothing opened.
        fila("--bd sin valor", {"--bd"}, {}, "Error 5: Falta la base de datos tras --bd" + uso);
        fila("--bd vacío", {"--bd", ""}, {}, "Error 5: Falta la base de datos tras --bd" + uso);
        fila("--bd dos veces", {"--bd", "a.mdb", "--bd", "b.mdb"}, {}, "Error 5: --bd aparece más de una vez" + uso);
        fila("argumento desconocido", {"cavi.mdb"}, {}, "Error 5: Argumento no reconocido: cavi.mdb" + uso);
        fila("--bd=URI", {"--bd=" + Servidor}, {}, "Error 5: Argumento no reconocido: --bd=" + Servidor + uso);
        fila("otra clave", {}, "# equipo\nbase=" + Servidor.toUtf8(), linea + "2: se esperaba bd=URI o bd=RUTA");
        fila("bd vacío", {}, "bd=  \n", linea + "1: se esperaba bd=URI o bd=RUTA");
        fila("bd sin igual", {}, "bd " + Servidor.toUtf8(), linea + "1: se esperaba bd=URI o bd=RUTA");
        fila("bd dos veces", {}, "bd=a.mdb\n#\nbd=b.mdb\n", linea + "3: la base de datos ya se nombró en la línea 1");
        fila("conf que es una carpeta", {}, "DIR",
             "Error 75: Error de acceso a la ruta o el archivo: P/valvida.conf (no es un archivo normal)");
    }

    void elige()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(QByteArray, conf);
        QFETCH(QString, esperado);
        QTemporaryDir programa, actual;
        const QString rutaConf = programa.filePath("valvida.conf");
        if (conf == "DIR") {
            QVERIFY(QDir().mkdir(rutaConf));
        } else if (!conf.isNull()) {
            QFile f(rutaConf);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(conf) == conf.size());
        }
        const QString antes = QDir::currentPath();
        QVERIFY(QDir::setCurrent(actual.path()));
        QString elegida;
        try {
            elegida = BaseElegida(argumentos, programa.path());
        } catch (const ErrorVV& e) {
            elegida = "Error " + QString::number(e.numero()) + ": " + e.descripcion();
        }
        QDir::setCurrent(antes);
        esperado.replace(QRegularExpression("^P/|(?<= )P/"), programa.path() + "/");
        esperado.replace(QRegularExpression("^C/"), QDir(actual.path()).canonicalPath() + "/");
        QCOMPARE(elegida, esperado);
    }
};

QTEST_GUILESS_MAIN(TestBaseElegida)
#include "TestBaseElegida.moc"
