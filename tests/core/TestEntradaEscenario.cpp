#include "core/CalendarioComision.h"
#include "core/EntradaEscenario.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"
#include "core/Plazos.h"
#include "support/BaseTemporal.h"

#include <QTest>

using namespace valvida;

namespace {

const QLocale Espanol(QLocale::Spanish, QLocale::Spain);
const char* const Campos[] = {"Edad",        "SumaAsegurada",       "Tabla",        "InteresTecnico", "TipoSeguro",
                              "PlazoSeguro", "PlazoPago",           "TipoComision", "TotalAnios",     "Descripcion",
                              "Comision",    "PenalizacionRescate", "AnioRescate"};

// Values in the order they are checked: interest|payment term|insurance term|sum insured|age|
// description|total of years|table|commission type|schedule rows "[year/]percentage/per mille;...",
// numbered unless the year is given[|surrender charge|first year of surrender].
EntradaEscenario Entrada(const QString& texto)
{
    const QStringList v = texto.split('|');
    EntradaEscenario e{v[4], v[3], v[0], v[2], v[1], v[6], v[5], v[7].toInt(), 1, v[8].toInt(), {}};
    if (v.size() > 10)
        e.penalizacionRescate = v[10], e.anioRescate = v[11];
    for (const QString& f : v[9].split(';', Qt::SkipEmptyParts))
        e.comision << (f.count('/') == 2 ? QStringList() : QStringList{QString::number(e.comision.size() + 1)}) +
                          f.split('/');
    return e;
}

// An accepted scenario as the table writes it: interest|payment term|insurance term|sum insured|
// age|total of years|each row "year/percentage/per mille"[|surrender charge/first year].
QString Cifras(const EscenarioValido& v, bool rescate)
{
    QStringList obtenido;
    for (double x : {v.interesTecnico, double(v.plazoPago), double(v.plazoSeguro), v.sumaAsegurada, double(v.edad),
                     double(v.totalAnios)})
        obtenido << TextoNumero(x);
    for (const AnioComision& a : v.comision)
        obtenido << QStringList{TextoNumero(a.anio), TextoNumero(a.porcentaje), TextoNumero(a.tantos)}.join('/');
    if (rescate)
        obtenido << TextoNumero(v.rescate.penalizacion) + '/' + QString::number(v.rescate.anioRescate);
    return obtenido.join('|');
}

} // namespace

class TestEntradaEscenario : public QObject
{
    Q_OBJECT

  private slots:
    void comprueba_data()
    {
        QTest::addColumn<QString>("entrada");
        QTest::addColumn<QString>("resultado");
        // Refused: the message > the field to focus. Accepted: interest|payment term|insurance term|
        // sum insured|age|total of years as stored|each stored row "year/percentage/per mille".
        // clang-format off
        QTest::newRow("vacío 1") << "|||||||1|1|50/5" << "El interes técnico no puede ser nulo > InteresTecnico";
        QTest::newRow("vacío 2") << "5,5|||||||1|1|50/5" << "El plazo de pago no puede ser nulo > PlazoPago";
        QTest::newRow("vacío 3") << "5,5|10||||||1|1|50/5" << "El plazo de seguro no puede ser nulo > PlazoSeguro";
        QTest::newRow("vacío 4") << "5,5|10|10|||||1|1|50/5" << "La suma asegurada no puede ser nulo > SumaAsegurada";
        QTest::newRow("vacío 5") << "5,5|10|10|1000||||1|1|50/5" << "La edad no puede ser nulo > Edad";
        QTest::newRow("vacío 6") << "5,5|10|10|1000|35|||1|1|50/5" << "La descripción no puede ser nula > Descripcion";
        QTest::newRow("sin terminar") << "-|6|5|1000|35|D||1|1|50/5" << "El interes técnico no es un número válido > InteresTecnico";
        QTest::newRow("edad de 17 bits") << "5,5|10|10|1000|40000|D||1|1|50/5" << "La edad esta fuera del rango permitido > Edad";
        QTest::newRow("7: 5 y 6") << "101|6|5|1000|35|D||1|1|50/5" << "El plazo de pago deber ser menor o igual al plazo de seguro > PlazoPago";
        QTest::newRow("7 en enteros") << "5,5|10,5|10,4|1000|35|D||1|1|50/5" << "5.5|10|10|1000|35|0|1/50/5";
        QTest::newRow("8: 13") << "5,5|13|1|1000|35|D||1|1|50/5" << "Los meses de vigor son entre 1 y 12 > PlazoPago";
        QTest::newRow("8: 0") << "5,5|0|1|1000|35|D||1|1|50/5" << "Los meses de vigor son entre 1 y 12 > PlazoPago";
        QTest::newRow("1 y 12") << "5,5|12|1|1000|35|D||1|1|50/5" << "5.5|12|1|1000|35|0|1/50/5";
        QTest::newRow("9: 100.5") << "100,5|10|10|1000|19|D||1|1|50/5" << "El interes técnico debera estar comprendido entre 0 y 100 > InteresTecnico";
        QTest::newRow("coma decimal y grupos") << "4,5|10|10|1.000,50|36,5|D||1|1|50/5" << "4.5|10|10|1000.5|36|0|1/50/5";
        QTest::newRow("suma 0") << "5,5|10|10|0|35|D||1|1|50/5" << "La suma asegurada debe ser mayor que cero > SumaAsegurada";
        QTest::newRow("suma de un billón") << "5,5|10|10|1.000.000.000.000|35|D||1|1|50/5" << "5.5|10|10|1000000000000|35|0|1/50/5";
        QTest::newRow("suma de un billón y un céntimo") << "5,5|10|10|1.000.000.000.000,01|35|D||1|1|50/5" << "La suma asegurada no puede ser mayor que 1.000.000.000.000 > SumaAsegurada";
        QTest::newRow("plazo 0") << "5,5|0|0|1000|35|D||1|1|50/5" << "El plazo de seguro debe ser mayor que cero > PlazoSeguro";
        QTest::newRow("pago 0") << "5,5|0|10|1000|35|D||1|1|50/5" << "El plazo de pago debe ser mayor que cero > PlazoPago";
        QTest::newRow("sin tabla") << "5,5|10|10|1000|35|D||9|1|50/5" << "La tabla de mortalidad no existe > Tabla";
        QTest::newRow("10: 19") << "5,5|10|10|1000|19|D||1|1|/5" << "La edad debe ser mayor a Edad Inicial de la tabla de mortalidad > Edad";
        QTest::newRow("19,5 es 20") << "100|10|10|1000|19,5|D||1|1|50/5" << "100|10|10|1000|20|0|1/50/5";
        QTest::newRow("pasa la última edad") << "5,5|10|30|1000|71|D||1|1|50/5" << "La edad más el plazo de seguro sobrepasa la edad final de la tabla de mortalidad (100) > PlazoSeguro";
        QTest::newRow("llega a la última edad") << "0|1|30|1000|70|D||1|1|50/5" << "0|1|30|1000|70|0|1/50/5";
        QTest::newRow("prima de referencia fuera") << "5,5|10|10|1000|85|D|1|1|2|50/5" << "La edad más 20 años, la prima de referencia de la comisión varios años, sobrepasa la edad final de la tabla de mortalidad (100) > TipoComision";
        QTest::newRow("rescate vacío") << "5,5|10|10|1000|35|D||1|1|50/5||2" << "La penalización de rescate no puede ser nula > PenalizacionRescate";
        QTest::newRow("rescate 100,5") << "5,5|10|10|1000|35|D||1|1|50/5|100,5|2" << "La penalización de rescate debera estar comprendida entre 0 y 100 > PenalizacionRescate";
        QTest::newRow("año de rescate vacío") << "5,5|10|10|1000|35|D||1|1|50/5|5|" << "El año de rescate no puede ser nulo > AnioRescate";
        for (const char* anio : {"0,5", "99,5"})
            QTest::addRow("año de rescate %s", anio) << "5,5|10|10|1000|35|D||1|1|50/5|5|" + QString(anio) << "El año de rescate debe ser un número entero entre 1 y 99 > AnioRescate";
        QTest::newRow("rescate 2,5 desde 98,5") << "5,5|10|10|1000|35|D||1|1|50/5|2,5|98,5" << "5.5|10|10|1000|35|0|1/50/5|2.5/98";
        QTest::newRow("sin años") << "5,5|10|10|1000|35|D||1|2|" << "El total de años no puede ser nulo > TotalAnios";
        QTest::newRow("total sin filas") << "5,5|10|10|1000|35|D|3|1|2|" << "La comisión debe tener una fila por cada año: 3 > TotalAnios";
        const QString edad = "el Porcentaje Prima para edad:";
        QTest::newRow("sube") << "5,5|10|10|1000|35|D||1|2|50/5;60/5" << "el Porcentaje Prima debe ser decreciente > Comision@2,1";
        QTest::newRow("un cero levanta el límite") << "5,5|10|10|1000|35|D||1|2|50/5;50/5;0/0;70/6,5" << "5.5|10|10|1000|35|4|1/50/5|2/50/5|3/0/0|4/70/6";
        QTest::newRow("100,5 en la fila 2") << "5,5|10|10|1000|35|D||1|2|100/5;100,5/5" << edad + "2 fuera del rango permitido > Comision@2,1";
        QTest::newRow("tantos suben") << "5,5|10|10|1000|35|D||1|2|50/5;40/6" << "Tantos suma debe ser decreciente > Comision@2,2";
        QTest::newRow("porcentaje vacío") << "5,5|10|10|1000|35|D||1|2|50/5;/5" << edad + "2 esta vacia > Comision@2,1";
        QTest::newRow("tantos vacío") << "5,5|10|10|1000|35|D||1|1|50/" << "el Tantos suma para edad:1 esta vacia > Comision@1,2";
        QTest::newRow("punto decimal en España") << "5,5|10|10|1000|35|D||1|1|4.5/5" << "el Porcentaje Prima de la fila 1 no es numerico > Comision@1,1";
        QTest::newRow("tantos 40000") << "5,5|10|10|1000|35|D||1|1|50/40000" << "el Tantos suma de la fila 1 fuera del rango permitido > Comision@1,2";
        QTest::newRow("año 10 cortado a 1") << "5,5|10|10|1000|35|D||1|2|50/5;40/4;1/30/3" << "el Año comisión de la fila 3 debe ser 3 > Comision@3,0";
        QTest::newRow("total sobre el pago") << "5,5|10|10|1000|35|D|11|1|2|50/5" << "total de años debe ser menor o igual a Plazo de pago > TotalAnios";
        QTest::newRow("varios años") << "5,5|10|10|1000|35|D|2|1|2|50/5;40/2,5" << "5.5|10|10|1000|35|2|1/50/5|2/40/2";
        QTest::newRow("copia: las filas") << "5,5|10|10|1000|35|D||1|2|50/5;40/3,5;0/0" << "5.5|10|10|1000|35|3|1/50/5|2/40/4|3/0/0";
        // clang-format on
    }

    void comprueba()
    {
        QFETCH(QString, entrada);
        QFETCH(QString, resultado);
        const EntradaEscenario e = Entrada(entrada);
        const auto r =
            CompruebaEscenario(e, e.tabla == 1 ? std::optional(EdadesTabla{20, 100}) : std::nullopt, Espanol);
        if (const Rechazo* rechazo = std::get_if<Rechazo>(&r)) {
            const bool celda = rechazo->campo == CampoEscenario::Comision;
            QCOMPARE(rechazo->mensaje + " > " + Campos[int(rechazo->campo)] +
                         (celda ? QStringLiteral("@%1,%2").arg(rechazo->fila).arg(rechazo->columna) : QString()),
                     resultado);
            QCOMPARE(rechazo->icono, celda ? Dialogos::Icono::Critico : Dialogos::Icono::Exclamacion);
            return;
        }
        QCOMPARE(Cifras(std::get<EscenarioValido>(r), e.penalizacionRescate != "0" || e.anioRescate != "2"), resultado);
    }

    void plazoVidaEnteraYTotalDeAnios()
    {
        // Whole life at 36 on a table ending at 100 runs 64 years; the age as typed, half to even.
        QCOMPARE(PlazoVidaEntera(100, *EnteroTecleado("35,5", Espanol)), 64);
        QVERIFY(!EnteroTecleado("40000", Espanol) && !EnteroTecleado("-", Espanol) && !EnteroTecleado("36.5", Espanol));
        // The rows a total typed asks for: the payment term counts as the whole number it is stored
        // as, and an empty total or 0 asks nothing of it (the form empties the box between entries).
        QCOMPARE(std::get<int>(FilasPorTotal("10", "9,5", Espanol)), 10);
        for (const char* vacio : {"", "0"})
            QCOMPARE(std::get<int>(FilasPorTotal(vacio, "", Espanol)), 0);
        QCOMPARE(std::get<Rechazo>(FilasPorTotal("99999", "1e9", Espanol)).mensaje,
                 "El total de años esta fuera del rango permitido");
        // The payment term's box alone has no icon and the program's default title.
        const Rechazo sinPlazo = std::get<Rechazo>(FilasPorTotal("3", "", Espanol));
        QCOMPARE(sinPlazo.mensaje, "El plazo de pago debe ser numerico");
        QVERIFY(sinPlazo.icono == Dialogos::Icono::Ninguno && sinPlazo.tituloPredeterminado &&
                sinPlazo.campo == CampoEscenario::PlazoPago);
    }

    void textoCaja()
    {
        // A stored number in a box: the screen's text where it reads back as that number, else the shortest that does.
        const std::tuple<double, Formato, QLocale, QString> casos[] = {
            {2000, Formato::Dinero, Espanol, "2.000,00"},
            {1000.555, Formato::Dinero, Espanol, "1000,555"},
            {33.333333333333, Formato::Conmutado, QLocale::c(), "33.333333333333"}};
        for (const auto& [valor, formato, locale, texto] : casos)
            QCOMPARE(TextoCaja(valor, formato, locale), texto);
    }

    void guardaEscenarioConSuComision()
    {
        prueba::BaseTemporal base;
        base.sql("insert into C_TablaMortalidad values (1, 'Tabla A', 20, 100)");
        base.sql("insert into T_Escenario values (7, 30, 500, 1, 1, 3, 1, 5, 5, 'otro', 0)");
        const EscenarioValido e{
            36, 1000.5, 3, 2, 4.5, 1, 20, 10, "Dotal 30/20 de O'Brien", 2, {{1, 50, 5}, {2, 40.25, 4}}, {2.5, 3}};
        // The largest number + 1, the schedule under the same number.
        QCOMPARE(GuardaEscenario(base.db(), e).numero, 8);
        QCOMPARE(base.filas("select * from T_Escenario where Escenario = 8"),
                 QStringList{"8|36|1000.5|3|2|4.5|1|20|10|Dotal 30/20 de O'Brien|2"});
        QCOMPARE(base.filas("select * from T_Comision order by Anio_Comision"),
                 (QStringList{"8|1|50|5", "8|2|40.25|4"}));
        // Its surrender terms beside it; read back whole, and a scenario without them reads the defaults.
        QCOMPARE(base.filas("select * from T_Garantia"), QStringList{"8|2.5|3"});
        const std::optional<EscenarioValido> leido = LeeEscenarioGuardado(base.db(), 8);
        QCOMPARE(Cifras(*leido, true) +
                     QStringLiteral("|%1|%2|%3|").arg(leido->tabla).arg(leido->tipoSeguro).arg(leido->tipoComision) +
                     leido->descripcion,
                 "4.5|10|20|1000.5|36|2|1/50/5|2/40.25/4|2.5/3|1|3|2|Dotal 30/20 de O'Brien");
        QCOMPARE(Cifras(*LeeEscenarioGuardado(base.db(), 7), true), "3|5|5|500|30|0|0/2");

        // A year twice breaks the schedule's key half way: neither the scenario nor a row stays.
        EscenarioValido doble = e;
        doble.comision[1].anio = 1;
        QVERIFY_THROWS_EXCEPTION(ErrorVV, GuardaEscenario(base.db(), doble));
        QCOMPARE(base.filas("select (select count(*) from T_Escenario), (select count(*) from T_Comision), "
                            "(select count(*) from T_Garantia)"),
                 QStringList{"2|2|1"});
    }
};

QTEST_GUILESS_MAIN(TestEntradaEscenario)
#include "TestEntradaEscenario.moc"
