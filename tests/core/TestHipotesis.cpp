#include "core/ErrorVV.h"
#include "core/Hipotesis.h"
#include "support/BaseTemporal.h"
#include "support/Dialecto.h"

#include <QTest>

using namespace valvida;

class TestHipotesis : public QObject
{
    Q_OBJECT

  private slots:
    void compruebaYGuardaUnConjunto()
    {
        // The checks in order under es_ES, a refusal as "message|field|lapse row"; table 7 is stored. Lapse
        // rows "year:rate": one with both cells empty is skipped, yet counted in the row a refusal names.
        const char* const campos[] = {"desc", "tabla", "mort", "gasto", "%gasto", "infl", "anio", "tasa"};
        // clang-format off
        const char* const casos[][8] = {
            {" ", "7", "1", "0", "0", "0", "", "Debe indicar la descripción de la hipótesis|desc|-1"},
            {"H", "", "1", "0", "0", "0", "", "Debe elegir una tabla de mortalidad|tabla|-1"},
            {"H", "9", "1", "0", "0", "0", "", "No existe la tabla de mortalidad 9|tabla|-1"},
            {"H", "7", "0", "0", "0", "0", "", "El % de mortalidad debe ser un número mayor que 0 y no mayor que 1000|mort|-1"},
            {"H", "7", "1", "-0,01", "0", "0", "", "El gasto por póliza debe ser un número mayor o igual que 0|gasto|-1"},
            {"H", "7", "1", "0", "100,5", "0", "", "El % de gasto sobre prima debe ser un número entre 0 y 100|%gasto|-1"},
            {"H", "7", "1", "0", "0", "-100", "", "El % de inflación de gastos debe ser un número mayor que -100 y no mayor que 100|infl|-1"},
            {"H", "7", "1", "0", "0", "0", "1:5 : 1:4", "Fila 3, Año Póliza: debe ser mayor que el de la fila anterior|anio|2"},
            {"H", "7", "1", "0", "0", "0", "1,5:5", "Fila 1, Año Póliza: debe ser un número entero de 1 a 32767|anio|0"},
            {"H", "7", "1", "0", "0", "0", "2:100,5", "Fila 1, % Caída: debe ser un número entre 0 y 100|tasa|0"},
            {"Experiencia", "7", "1000", "45,5", "100", "-99,5", "1:12,5 : 3:0", ""},
        };
        // clang-format on
        prueba::BaseTemporal base;
        base.sql("insert into C_TablaMortalidad values(7, 'T', 0, 5)");
        std::optional<ConjuntoHipotesis> aceptado;
        for (const auto& c : casos) {
            EntradaHipotesis e{c[0], *c[1] ? std::optional(std::atoi(c[1])) : std::nullopt, c[2], c[3], c[4], c[5], {}};
            for (const QString& fila : QString(c[6]).split(' ', Qt::SkipEmptyParts))
                e.caidas << FilaCaidaTecleada{fila.section(':', 0, 0), fila.section(':', 1)};
            const auto r = CompruebaHipotesis(base.db(), e, QLocale("es_ES"));
            const auto* x = std::get_if<RechazoHipotesis>(&r);
            QCOMPARE(x ? QString("%1|%2|%3").arg(x->mensaje, campos[int(x->campo)]).arg(x->fila) : QString(), c[7]);
            if (!x)
                aceptado = std::get<ConjuntoHipotesis>(r);
        }
        // Stored after set 4 with its lapse rows, or nothing at all when a lapse row fails to store.
        base.sql("insert into T_Hipotesis values(4, 'Otra', 7, 100, 0, 0, 0)");
        prueba::CreaDisparador(base, "f", "before insert on T_Caida", prueba::Falla("f"), "new.Anio_Poliza = 3");
        QVERIFY_THROWS_EXCEPTION(ErrorVV, GuardaHipotesis(base.db(), *aceptado));
        prueba::QuitaDisparador(base, "f");
        QCOMPARE(GuardaHipotesis(base.db(), *aceptado), 5);
        QCOMPARE(base.filas("select * from T_Hipotesis where Hipotesis = 5") +
                     base.filas("select * from T_Caida order by Anio_Poliza"),
                 (QStringList{"5|Experiencia|7|1000|45.5|100|-99.5", "5|1|12.5", "5|3|0"}));
        // Modified: set 4's row and lapse rows replaced, set 5's untouched.
        base.sql("insert into T_Caida values(4, 9, 1)");
        QCOMPARE(GuardaHipotesis(base.db(), *aceptado, 4), 4);
        QCOMPARE(base.filas("select * from T_Hipotesis where Hipotesis = 4") +
                     base.filas("select * from T_Caida order by Hipotesis, Anio_Poliza"),
                 (QStringList{"4|Experiencia|7|1000|45.5|100|-99.5", "4|1|12.5", "4|3|0", "5|1|12.5", "5|3|0"}));
        QCOMPARE(ArchivoFlujos("c/s.CSV") + ' ' + ArchivoFlujos("c/s"), "c/s-flujos.CSV c/s-flujos.csv");
    }
};

QTEST_GUILESS_MAIN(TestHipotesis)
#include "TestHipotesis.moc"
