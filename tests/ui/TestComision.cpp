#include "core/BaseDatos.h"
#include "core/Cargadores.h"
#include "core/Constantes.h"
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

    QStringList filas() const
    {
        QStringList r;
        for (int i = 0; i < grid()->rows(); ++i)
            r << FilaGrid(grid(), i).join(QLatin1Char('|'));
        return r;
    }

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

    void tipoUnoDaUnaFilaYCierraElTotal();
    void otroTipoDejaSoloElEncabezado();
    void totalDeAnios_data();
    void totalDeAnios();
    void teclearUnoYDos();
    void plazoDePagoNoNumerico();
    void sinSumaAseguradaNoSeDaForma();
    void totalSoloAdmiteEnteros();
    void teclasEnLaRejilla_data();
    void teclasEnLaRejilla();
    void validaComision_data();
    void validaComision();
    void guardaYCargaLasFilas();

private:
    std::unique_ptr<Banco> b;
};

void TestComision::tipoUnoDaUnaFilaYCierraElTotal()
{
    b->formaVariosAnios(QStringLiteral("3"));
    QCOMPARE(b->grid()->rows(), 4);
    b->eligeTipo(1);
    QCOMPARE(b->filas(), (QStringList{EncabezadoTipoUno, QStringLiteral("1||")}));
    QCOMPARE(b->total->text(), QString());
    QVERIFY(!b->total->isEnabled());
    QVERIFY(b->base.dialogos.cajas.isEmpty());
}

void TestComision::otroTipoDejaSoloElEncabezado()
{
    b->formaVariosAnios(QStringLiteral("2"));
    b->eligeTipo(3);
    QCOMPARE(b->filas(), QStringList{EncabezadoAnios});
    QVERIFY(b->total->isEnabled());
    QCOMPARE(b->total->text(), QStringLiteral("2"));

    // From type 1 the header of type 1 stays.
    b->eligeTipo(1);
    b->eligeTipo(2);
    QCOMPARE(b->filas(), QStringList{EncabezadoTipoUno});
    QVERIFY(b->total->isEnabled());
}

void TestComision::totalDeAnios_data()
{
    QTest::addColumn<QString>("plazoPago");
    QTest::addColumn<QString>("anios");
    QTest::addColumn<int>("filas");
    QTest::addColumn<bool>("rechazado");
    QTest::newRow("10 de 10") << "10" << "10" << 11 << false;
    QTest::newRow("11 de 10") << "10" << "11" << 1 << true;
    QTest::newRow("cero") << "10" << "0" << 1 << false;
    QTest::newRow("plazo 9.5 cuenta 10") << "9.5" << "10" << 11 << false;
    QTest::newRow("plazo 10.5 cuenta 10") << "10.5" << "11" << 1 << true;
    QTest::newRow("más que 16 bits") << "10" << "99999" << 1 << true;
}

void TestComision::totalDeAnios()
{
    QFETCH(QString, plazoPago);
    QFETCH(QString, anios);
    QFETCH(int, filas);
    QFETCH(bool, rechazado);
    b->formaVariosAnios(QString(), plazoPago);
    b->total->setText(anios);

    QCOMPARE(b->grid()->rows(), filas);
    QCOMPARE(b->grid()->textMatrix(0, 1), QStringLiteral("Porcentaje Prima"));
    for (int i = 1; i < filas; ++i)
        QCOMPARE(b->grid()->textMatrix(i, 0), QString::number(i));
    if (rechazado) {
        QCOMPARE(b->base.dialogos.cajas.size(), 1);
        const auto& caja = b->base.dialogos.cajas.first();
        QCOMPARE(caja.texto, QStringLiteral("total de años debe ser menor o igual a Plazo de pago"));
        QCOMPARE(caja.icono, Icono::Exclamacion);
        QCOMPARE(caja.titulo, TituloAplicacion);
        QCOMPARE(b->total->text(), QString());
        QCOMPARE(b->ventana.focusWidget(), b->total);
    } else {
        QVERIFY(b->base.dialogos.cajas.isEmpty());
        QCOMPARE(b->total->text(), anios);
    }
}

void TestComision::teclearUnoYDos()
{
    b->formaVariosAnios(QStringLiteral("1"), QStringLiteral("20"));
    QCOMPARE(b->filas(), (QStringList{EncabezadoAnios, QStringLiteral("1||")}));
    QTest::keyClicks(b->total, QStringLiteral("2"));
    QCOMPARE(b->grid()->rows(), 13);
    QCOMPARE(FilaGrid(b->grid(), 12), (QStringList{QStringLiteral("12"), QString(), QString()}));
}

void TestComision::plazoDePagoNoNumerico()
{
    b->formaVariosAnios(QStringLiteral("3"));
    b->plazo->clear();
    QTest::keyClicks(b->total, QStringLiteral("0"));

    QCOMPARE(b->base.dialogos.cajas.size(), 1);
    const auto& caja = b->base.dialogos.cajas.first();
    QCOMPARE(caja.texto, QStringLiteral("El plazo de pago debe ser numerico"));
    QCOMPARE(caja.icono, Icono::Ninguno);
    QCOMPARE(caja.titulo, Dialogos::TituloPredeterminado());
    QVERIFY(caja.titulo != TituloAplicacion);
    QCOMPARE(b->ventana.focusWidget(), b->plazo);
    QCOMPARE(b->grid()->rows(), 4);
}

void TestComision::sinSumaAseguradaNoSeDaForma()
{
    b->eligeTipo(2);
    b->suma->setText(QStringLiteral("mil"));
    b->plazo->setText(QStringLiteral("10"));
    QTest::keyClicks(b->total, QStringLiteral("3"));
    QCOMPARE(b->suma->text(), QString());
    QCOMPARE(b->grid()->rows(), 1);
    QVERIFY(b->base.dialogos.cajas.isEmpty());
}

void TestComision::totalSoloAdmiteEnteros()
{
    b->formaVariosAnios(QStringLiteral("2"));
    QCOMPARE(b->grid()->rows(), 3);
    QTest::keyClicks(b->total, QStringLiteral("."));
    QCOMPARE(b->total->text(), QString());
    QCOMPARE(b->grid()->rows(), 1);
    b->total->setText(QStringLiteral("-3"));
    QCOMPARE(b->total->text(), QString());
    QCOMPARE(b->grid()->rows(), 1);
    QVERIFY(b->base.dialogos.cajas.isEmpty());
}

void TestComision::teclasEnLaRejilla_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("teclas");
    QTest::addColumn<QString>("celda");
    QTest::newRow("un solo punto") << 1 << "1..5" << "1.5";
    QTest::newRow("letras no") << 1 << "a1-b" << "1";
    QTest::newRow("tantos") << 2 << "2.5" << "2.5";
    QTest::newRow("el año no se teclea") << 0 << "7" << "1";
    QTest::newRow("retroceso en el año") << 0 << "\b" << "";
    QTest::newRow("retroceso en porcentaje") << 1 << "15\b" << "1";
    QTest::newRow("retroceso en celda vacía") << 2 << "\b\b" << "";
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
    QTest::newRow("decrecientes") << L{"50", "40", "40", "10"} << L{"5", "4", "4", "1"} << 0 << "" << 0 << 0;
    QTest::newRow("sube") << L{"50", "60"} << L{"5", "5"} << 0 << "el Porcentaje Prima debe ser decreciente" << 2 << 1;
    QTest::newRow("un cero levanta el límite") << L{"50", "0", "70"} << L{"5", "5", "5"} << 0 << "" << 0 << 0;
    QTest::newRow("cien") << L{"100"} << L{"5"} << 0 << "" << 0 << 0;
    QTest::newRow("100.5 en la fila 2")
        << L{"100", "100.5"} << L{"5", "5"} << 0 << "el Porcentaje Prima para edad:2 fuera del rango permitido" << 2 << 1;
    QTest::newRow("tantos suben") << L{"50", "40"} << L{"5", "6"} << 0 << "Tantos suma debe ser decreciente" << 2 << 2;
    QTest::newRow("tantos tras un cero") << L{"50", "40"} << L{"0", "6"} << 0 << "" << 0 << 0;
    QTest::newRow("porcentaje vacío")
        << L{"50", ""} << L{"5", "5"} << 0 << "el Porcentaje Prima para edad:2 esta vacia" << 2 << 1;
    QTest::newRow("tantos vacío") << L{"50"} << L{""} << 0 << "el Tantos suma para edad:1 esta vacia" << 1 << 2;
    QTest::newRow("un punto solo")
        << L{"."} << L{"5"} << 0 << "el Porcentaje Prima de la fila 1 no es numerico" << 1 << 1;
    QTest::newRow("tantos punto") << L{"50"} << L{"."} << 0 << "el Tantos suma de la fila 1 no es numerico" << 1 << 2;
    QTest::newRow("tantos más que 16 bits")
        << L{"50"} << L{"40000"} << 0 << "el Tantos suma de la fila 1 fuera del rango permitido" << 1 << 2;
    QTest::newRow("año borrado")
        << L{"50", "40"} << L{"5", "4"} << 2 << "el Año comisión de la fila 2 no es numerico" << 2 << 0;
    QTest::newRow("sin filas") << L{} << L{} << 0 << "" << 0 << 0;
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

    const bool valida = b->comision->ValidaComision();
    QCOMPARE(valida, mensaje.isEmpty());
    QCOMPARE(b->filas(), antes);
    if (mensaje.isEmpty()) {
        QVERIFY(b->base.dialogos.cajas.isEmpty());
        return;
    }
    QCOMPARE(b->base.dialogos.textos(), QStringList{mensaje});
    QCOMPARE(b->base.dialogos.cajas.first().icono, Icono::Critico);
    QCOMPARE(b->base.dialogos.cajas.first().titulo, TituloAplicacion);
    QCOMPARE(b->grid()->row(), fila);
    QCOMPARE(b->grid()->col(), col);
    QCOMPARE(b->ventana.focusWidget(), b->grid());
}

void TestComision::guardaYCargaLasFilas()
{
    b->base.sql(QStringLiteral("insert into T_Comision values (7, 9, 1, 1)"));
    b->base.sql(QStringLiteral("insert into T_Comision values (8, 1, 20, 2)"));
    b->formaVariosAnios(QStringLiteral("3"));
    const QStringList valores[] = {{"50", "5"}, {"40", "3.5"}, {"30.25", "2.5"}};
    for (int i = 0; i < 3; ++i) {
        b->teclea(i + 1, 1, valores[i].at(0));
        b->teclea(i + 1, 2, valores[i].at(1));
    }
    QVERIFY(b->comision->ValidaComision());
    b->comision->GuardaFilas(7);
    // Whole rates per mille, half to even: 3.5 is 4 and 2.5 is 2. Other scenarios untouched.
    QCOMPARE(b->base.filas(QStringLiteral("select * from T_Comision order by Escenario, Anio_Comision")),
             (QStringList{"7|1|50|5", "7|2|40|4", "7|3|30.25|2", "8|1|20|2"}));

    b->eligeTipo(1);
    b->comision->CargaFilas(7);
    QCOMPARE(b->filas(), (QStringList{EncabezadoTipoUno, "1|50|5", "2|40|4", "3|30.25|2"}));
}

QTEST_MAIN(TestComision)
#include "TestComision.moc"
