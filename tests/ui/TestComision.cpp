#include "core/Cargadores.h"
#include "core/Constantes.h"
#include "core/Numeros.h"
#include "support/BaseTemporal.h"
#include "support/PruebaUi.h"
#include "ui/ComboLista.h"
#include "ui/Comision.h"
#include "ui/FlexGrid.h"

#include <QLineEdit>
#include <QTest>

using namespace valvida;
using prueba::FilaGrid;
using Icono = Dialogos::Icono;

namespace {

// The schedule with the four fields of the form it reads, on a real database.
struct Banco
{
    Banco()
    {
        // A third commission type: any type but 1 shapes the schedule by the total of years.
        base.sql(QStringLiteral("insert into C_TipoComision values (3, 'Comisión tres')"));
        tipo = new ComboLista(&ventana);
        total = new QLineEdit(&ventana);
        plazo = new QLineEdit(&ventana);
        suma = new QLineEdit(&ventana);
        comision = new Comision(base.entorno(), &ventana, {tipo, total, plazo, suma}, &ventana);
        comision->grid()->setGeometry(0, 40, 300, 300);
        LlenaCombo(base.entorno(), QStringLiteral("SELECT * FROM C_TipoComision"), *tipo);
        ventana.resize(320, 360);
        ventana.show();
    }

    FlexGrid* grid() const { return comision->grid(); }
    void eligeTipo(int clave) { tipo->setCurrentIndex(tipo->findData(clave)); }

    //! A schedule of several years, sum insured and payment term filled.
    void formaVariosAnios(const QString& anios, const QString& plazoPago = QStringLiteral("10"))
    {
        eligeTipo(2);
        suma->setText(QStringLiteral("1000"));
        plazo->setText(plazoPago);
        QTest::keyClicks(total, anios);
    }

    void teclea(int fila, int col, const QString& teclas)
    {
        grid()->setRow(fila);
        grid()->setCol(col);
        QTest::keyClicks(grid(), teclas);
    }

    QStringList filas() const { return prueba::FilasGrid(grid(), true); }

    prueba::BaseTemporal base;
    QWidget ventana;
    ComboLista* tipo;
    QLineEdit* total;
    QLineEdit* plazo;
    QLineEdit* suma;
    Comision* comision;
};

const QString EncabezadoAnios = QStringLiteral("Año comisión|Porcentaje Prima|Tantos suma");
const QString EncabezadoTipoUno = QStringLiteral("Año comisión|% Prima de Tarifa|0/00 Millar SA");

} // namespace

class TestComision : public QObject
{
    Q_OBJECT

  private slots:
    void init() { b = std::make_unique<Banco>(); }
    void cleanup() { b.reset(); }

    void formaPorTipo();
    void totalDeAnios_data();
    void totalDeAnios();
    void teclasEnLaRejilla_data();
    void teclasEnLaRejilla();
    void validaComision_data();
    void validaComision();

  private:
    std::unique_ptr<Banco> b;
};

void TestComision::formaPorTipo()
{
    // "1" then "2" typed on a payment term of 20: one year, then twelve.
    b->formaVariosAnios(QStringLiteral("1"), QStringLiteral("20"));
    QCOMPARE(b->filas(), (QStringList{EncabezadoAnios, QStringLiteral("1||")}));
    QTest::keyClicks(b->total, QStringLiteral("2"));
    QCOMPARE(b->grid()->rows(), 13);
    QCOMPARE(FilaGrid(b->grid(), 12), (QStringList{QStringLiteral("12"), QString(), QString()}));
    // Type 1: one year, under its own header; the total is emptied and closed.
    b->eligeTipo(1);
    QCOMPARE(b->filas(), (QStringList{EncabezadoTipoUno, QStringLiteral("1||")}));
    QCOMPARE(b->total->text(), QString());
    QVERIFY(!b->total->isEnabled());
    // Another type: only the header, as it was, until a total is typed; the box keeps its text.
    b->eligeTipo(3);
    QCOMPARE(b->filas(), QStringList{EncabezadoTipoUno});
    QVERIFY(b->total->isEnabled());
    QTest::keyClicks(b->total, QStringLiteral("2"));
    b->eligeTipo(2);
    QCOMPARE(b->filas(), QStringList{EncabezadoAnios});
    QCOMPARE(b->total->text(), QStringLiteral("2"));
    QVERIFY(b->base.dialogos.cajas.isEmpty());
}

void TestComision::totalDeAnios_data()
{
    QTest::addColumn<QString>("suma");
    QTest::addColumn<QString>("plazoPago");
    QTest::addColumn<QString>("anios");
    QTest::addColumn<int>("filas");
    QTest::addColumn<QString>("mensaje");
    QTest::addColumn<QString>("queda");
    const QString mayor = QStringLiteral("total de años debe ser menor o igual a Plazo de pago");
    const QString plazo = QStringLiteral("El plazo de pago debe ser numerico");
    // From a schedule of 3 years on a payment term of 10, the sum insured, the payment term and
    // then the total change to these.
    // clang-format off
    QTest::newRow("10 de 10") << "1000" << "10" << "10" << 11 << "" << "10";
    QTest::newRow("11 de 10") << "1000" << "10" << "11" << 1 << mayor << "";
    QTest::newRow("cero") << "1000" << "10" << "0" << 1 << "" << "0";
    QTest::newRow("plazo 9.5 cuenta 10") << "1000" << "9.5" << "10" << 11 << "" << "10";
    QTest::newRow("plazo 10.5 cuenta 10") << "1000" << "10.5" << "11" << 1 << mayor << "";
    QTest::newRow("más que 16 bits") << "1000" << "10" << "99999" << 1 << mayor << "";
    QTest::newRow("un punto") << "1000" << "10" << "." << 1 << "" << "";
    QTest::newRow("con signo") << "1000" << "10" << "-3" << 1 << "" << "";
    QTest::newRow("plazo vacío") << "1000" << "" << "0" << 4 << plazo << "0";
    QTest::newRow("sin suma asegurada") << "mil" << "10" << "2" << 4 << "" << "2";
    // clang-format on
}

void TestComision::totalDeAnios()
{
    QFETCH(QString, suma);
    QFETCH(QString, plazoPago);
    QFETCH(QString, anios);
    QFETCH(int, filas);
    QFETCH(QString, mensaje);
    QFETCH(QString, queda);
    b->formaVariosAnios(QStringLiteral("3"));
    b->suma->setText(suma);
    b->plazo->setText(plazoPago);
    b->total->setText(anios);

    QCOMPARE(b->grid()->rows(), filas);
    for (int i = 1; i < filas; ++i)
        QCOMPARE(b->grid()->textMatrix(i, 0), QString::number(i));
    QCOMPARE(b->total->text(), queda);
    // Without a sum insured the schedule keeps its shape and the box is emptied.
    QCOMPARE(b->suma->text(), EsNumerico(suma) ? suma : QString());
    QCOMPARE(b->base.dialogos.textos(), mensaje.isEmpty() ? QStringList() : QStringList{mensaje});
    if (mensaje.isEmpty())
        return;
    // The payment-term box alone has no icon and the default title.
    const auto& caja = b->base.dialogos.cajas.first();
    const bool delPlazo = mensaje.startsWith(QStringLiteral("El plazo"));
    QCOMPARE(caja.icono, delPlazo ? Icono::Ninguno : Icono::Exclamacion);
    QCOMPARE(caja.titulo, delPlazo ? Dialogos::TituloPredeterminado() : TituloAplicacion);
    QCOMPARE(b->ventana.focusWidget(), delPlazo ? b->plazo : b->total);
}

void TestComision::teclasEnLaRejilla_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("teclas");
    QTest::addColumn<QString>("celda");
    // clang-format off
    QTest::newRow("un solo punto") << 1 << "1..5" << "1.5";
    QTest::newRow("letras no") << 1 << "a1-b" << "1";
    QTest::newRow("tantos") << 2 << "2.5" << "2.5";
    QTest::newRow("el año no se teclea") << 0 << "7" << "1";
    QTest::newRow("retroceso en el año") << 0 << "\b" << "";
    QTest::newRow("retroceso en porcentaje") << 1 << "15\b" << "1";
    QTest::newRow("retroceso en celda vacía") << 2 << "\b\b" << "";
    // clang-format on
}

void TestComision::teclasEnLaRejilla()
{
    QFETCH(int, col);
    QFETCH(QString, teclas);
    QFETCH(QString, celda);
    b->eligeTipo(2);
    b->eligeTipo(1);
    b->teclea(1, col, teclas);
    QCOMPARE(b->grid()->textMatrix(1, col), celda);
    // The header never takes keys.
    b->teclea(0, col, teclas);
    QCOMPARE(FilaGrid(b->grid(), 0).join(QLatin1Char('|')), EncabezadoTipoUno);
}

void TestComision::validaComision_data()
{
    QTest::addColumn<QStringList>("porcentajes");
    QTest::addColumn<QStringList>("tantos");
    QTest::addColumn<int>("anioBorrado");
    QTest::addColumn<QString>("mensaje");
    QTest::addColumn<int>("fila");
    QTest::addColumn<int>("col");
    using L = QStringList;
    const QString edad = QStringLiteral("el Porcentaje Prima para edad:");
    // clang-format off
    QTest::newRow("decrecientes") << L{"50", "40", "40", "10"} << L{"5", "4", "4", "1"} << 0 << "" << 0 << 0;
    QTest::newRow("sube") << L{"50", "60"} << L{"5", "5"} << 0 << "el Porcentaje Prima debe ser decreciente" << 2 << 1;
    QTest::newRow("un cero levanta el límite") << L{"50", "0", "70"} << L{"5", "5", "5"} << 0 << "" << 0 << 0;
    // Row 1 at 100 passes; row 2 fails.
    QTest::newRow("100.5 en la fila 2") << L{"100", "100.5"} << L{"5", "5"} << 0
                                        << edad + "2 fuera del rango permitido" << 2 << 1;
    QTest::newRow("tantos suben") << L{"50", "40"} << L{"5", "6"} << 0 << "Tantos suma debe ser decreciente" << 2 << 2;
    QTest::newRow("tantos tras un cero") << L{"50", "40"} << L{"0", "6"} << 0 << "" << 0 << 0;
    QTest::newRow("porcentaje vacío") << L{"50", ""} << L{"5", "5"} << 0 << edad + "2 esta vacia" << 2 << 1;
    QTest::newRow("tantos vacío") << L{"50"} << L{""} << 0 << "el Tantos suma para edad:1 esta vacia" << 1 << 2;
    QTest::newRow("un punto") << L{"."} << L{"5"} << 0 << "el Porcentaje Prima de la fila 1 no es numerico" << 1 << 1;
    QTest::newRow("tantos punto") << L{"50"} << L{"."} << 0 << "el Tantos suma de la fila 1 no es numerico" << 1 << 2;
    QTest::newRow("tantos 40000") << L{"50"} << L{"40000"} << 0
                                  << "el Tantos suma de la fila 1 fuera del rango permitido" << 1 << 2;
    QTest::newRow("año borrado") << L{"50", "40"} << L{"5", "4"} << 2 << "el Año comisión de la fila 2 no es numerico"
                                 << 2 << 0;
    QTest::newRow("sin filas") << L{} << L{} << 0 << "" << 0 << 0;
    // clang-format on
}

void TestComision::validaComision()
{
    QFETCH(QStringList, porcentajes);
    QFETCH(QStringList, tantos);
    QFETCH(int, anioBorrado);
    QFETCH(QString, mensaje);
    QFETCH(int, fila);
    QFETCH(int, col);
    b->formaVariosAnios(QString::number(porcentajes.size()));
    for (int i = 0; i < porcentajes.size(); ++i) {
        b->teclea(i + 1, 1, porcentajes.at(i));
        b->teclea(i + 1, 2, tantos.at(i));
    }
    if (anioBorrado > 0)
        b->teclea(anioBorrado, 0, QStringLiteral("\b"));
    const QStringList antes = b->filas();

    QCOMPARE(b->comision->ValidaComision(), mensaje.isEmpty());
    QCOMPARE(b->filas(), antes);
    QCOMPARE(b->base.dialogos.textos(), mensaje.isEmpty() ? QStringList() : QStringList{mensaje});
    if (mensaje.isEmpty())
        return;
    QCOMPARE(b->base.dialogos.cajas.first().icono, Icono::Critico);
    QCOMPARE(b->base.dialogos.cajas.first().titulo, TituloAplicacion);
    QCOMPARE(QPoint(b->grid()->row(), b->grid()->col()), QPoint(fila, col));
    QCOMPARE(b->ventana.focusWidget(), b->grid());
}

QTEST_MAIN(TestComision)
#include "TestComision.moc"
