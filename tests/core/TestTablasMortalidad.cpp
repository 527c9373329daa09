#include "core/ErrorVV.h"
#include "core/Numeros.h"
#include "core/TablasMortalidad.h"
#include "support/BaseTemporal.h"
#include "support/Dialecto.h"

#include <QScopeGuard>
#include <QTest>

#include <clocale>

using namespace valvida;

class TestTablasMortalidad : public QObject
{
    Q_OBJECT

  private slots:
    void compruebaTabla()
    {
        // The checks in their order, a refusal as "message|box"; the ages are typed numbers, whole
        // as the catalogue keeps them (half to even).
        // clang-format off
        const char* const casos[][5] = {
            {"T", "20", "20", "C", "7|T|20|20"}, {"T", "5.5", "10", "C", "7|T|6|10"},
            {"T", "4,5", " 5,5 ", "es_ES", "7|T|4|6"},
            {"", "a", "b", "C", "La descripcion de la tabla no puede ser nulo|txtTablaDesc"},
            {"T", "", "b", "C", "La edad inicial debe ser numerica|txtDe"},
            {"T", "1", "1,5", "C", "La edad final debe ser numerica|txtAl"},
            {"T", "30", "20", "C", "La edad final debe ser mayor a la edad inicial|txtDe"},
            {"T", "5.5", "5.4", "C", "La edad final debe ser mayor a la edad inicial|txtDe"},
        };
        // clang-format on
        const char* const cajas[] = {"txtTablaDesc", "txtDe", "txtAl"};
        for (const auto& [descripcion, de, al, locale, esperado] : casos) {
            const auto r = CompruebaTabla({"7", descripcion, de, al}, QLocale(locale));
            const auto* t = std::get_if<TablaMortalidad>(&r);
            const auto* rechazo = std::get_if<RechazoTabla>(&r);
            const QString fila =
                t ? QStringLiteral("%1|%2|%3|").arg(t->tabla).arg(t->descripcion).arg(t->edadInicial) : "";
            QCOMPARE(t ? fila + QString::number(t->edadFinal) : rechazo->mensaje + '|' + cajas[int(rechazo->campo)],
                     esperado);
            QVERIFY(t || rechazo->icono == Dialogos::Icono::Exclamacion);
        }
        // An age beyond the catalogue's 16 bits is the overflow error.
        QVERIFY_THROWS_EXCEPTION(ErrorVV, CompruebaTabla({"7", "T", "0", "32767.5"}));
    }

    void compruebaQx()
    {
        // Every row is checked in order; the refusal names the index of its row. 0 and 1 pass. Under es_ES
        // a typed qx takes the comma, a stored one is the system's text.
        const std::pair<QList<FilaQx>, const char*> casos[] = {
            {{{"0", "0"}, {"1", "1"}, {"2", ".053"}}, ""},
            {{{"0", "0,0015", true}, {"1", "0.5", true}}, "1|la qx para edad:1 no es numerica"},
            {{{"20", ""}, {"21", ""}}, "0|la qx para edad:20 esta vacia"},
            {{{"0", "0.5"}, {"1", "1.5"}}, "1|la qx para edad:1 fuera del rango permitido"},
            {{{"7", "-0.1"}}, "0|la qx para edad:7 fuera del rango permitido"},
            {{{"0", "."}}, "0|la qx para edad:0 no es numerica"},
            {{{"5", "2"}, {"6", ""}}, "0|la qx para edad:5 fuera del rango permitido"},
        };
        for (const auto& [filas, rechazo] : casos) {
            const auto r = CompruebaQx(filas, QLocale(QLocale::Spanish, QLocale::Spain));
            QCOMPARE(r ? QString::number(r->fila) + '|' + r->mensaje : QString(), rechazo);
        }
    }

    void guardar()
    {
        // The catalogue, then table|rows|first age|last age|sum of qx. Table 1 covers ages 0-110 with a qx
        // of 0.5 for each, table 2 ages 0-5 with 0.25; a store that fails leaves them so.
        const QStringList antes{"1|T|0|110", "2|T|0|5", "1|111|0|110|55.5", "2|6|0|5|1.5"};
        const auto falla = [](const QString& cuando) { return prueba::Disparador("f", cuando, prueba::Falla("f")); };
        const auto t = [](int n, std::int16_t de, std::int16_t al) { return TablaMortalidad{n, "O'Hara", de, al}; };
        using Guarda = std::function<void(const QSqlDatabase&)>;
        // clang-format off
        const std::tuple<Guarda, QStringList, QStringList> casos[] = {
            // A new table, its description as typed; a number already taken.
            {[&](auto& db) { AltaTablaMortalidad(db, t(3, 10, 20)); }, {},
             {"1|T|0|110", "2|T|0|5", "3|O'Hara|10|20", "1|111|0|110|55.5", "2|6|0|5|1.5"}},
            {[&](auto& db) { AltaTablaMortalidad(db, t(2, 10, 20)); }, {}, antes},
            // Narrowing trims the detail; widening adds no rows; the trim goes back with a failed update.
            {[&](auto& db) { ModificaTablaMortalidad(db, t(1, 10, 100)); }, {},
             {"1|O'Hara|10|100", "2|T|0|5", "1|91|10|100|45.5", "2|6|0|5|1.5"}},
            {[&](auto& db) { ModificaTablaMortalidad(db, t(1, -5, 120)); }, {},
             {"1|O'Hara|-5|120", "2|T|0|5", "1|111|0|110|55.5", "2|6|0|5|1.5"}},
            {[&](auto& db) { ModificaTablaMortalidad(db, t(1, 10, 100)); }, falla("before update on C_TablaMortalidad"), antes},
            // The qx store replaces every row of its table, or none (a failed insert, an age beyond 16 bits).
            {[](auto& db) { GuardaQx(db, 2, {{"0", ".053"}, {"1", "1"}}); }, {},
             {"1|T|0|110", "2|T|0|5", "1|111|0|110|55.5", "2|2|0|1|1.053"}},
            {[](auto& db) { GuardaQx(db, 2, {{"0", "0.1"}}); }, falla("before insert on T_DetalleMortalidad"), antes},
            {[](auto& db) { GuardaQx(db, 2, {{"0", "0.1"}, {"40000", "0.2"}}); }, {}, antes},
        };
        // clang-format on
        // Stored and listed with "." whatever the process's locale (where the machine has es_ES).
        std::setlocale(LC_NUMERIC, "es_ES.UTF-8");
        const auto restaura = qScopeGuard([] { std::setlocale(LC_NUMERIC, "C"); });
        for (const auto& [guarda, trigger, despues] : casos) {
            prueba::BaseTemporal base;
            base.sql("insert into C_TablaMortalidad values(1, 'T', 0, 110), (2, 'T', 0, 5)");
            base.sql("with recursive e(x) as (select 0 union all select x + 1 from e where x < 110) insert into "
                     "T_DetalleMortalidad select 1, x, 0.5 from e union all select 2, x, 0.25 from e where x <= 5");
            for (const QString& sentencia : trigger)
                base.sql(sentencia);
            if (despues == antes)
                QVERIFY_THROWS_EXCEPTION(ErrorVV, guarda(base.db()));
            else
                guarda(base.db());
            QCOMPARE(base.filas("select * from C_TablaMortalidad order by 1") +
                         base.filas("select Tabla_Mortalidad, count(*), min(Edad), max(Edad), sum(qx) "
                                    "from T_DetalleMortalidad group by 1 order by 1"),
                     despues);
        }
    }

    void leeDetalle()
    {
        // The stored rows by age, those outside the range too. (A table without rows gives one empty
        // qx per age: TestfrmDetalle edits one.)
        prueba::BaseTemporal base;
        base.sql("insert into C_TablaMortalidad values(1, 'T', 10, 11)");
        base.sql("insert into T_DetalleMortalidad values(1, 12, 0.5), (1, 10, 0.25)");
        const DetalleTabla d = LeeDetalle(base.db(), 1);
        QString texto = d.edadInicial + '-' + d.edadFinal + ':';
        for (const FilaQx& f : d.filas)
            texto += ' ' + f.edad + '=' + f.qx;
        QCOMPARE(texto, "10-11: 10=0.25 12=0.5");
        QVERIFY_THROWS_EXCEPTION(ErrorVV, LeeDetalle(base.db(), 3));
    }

    void compruebaInteres()
    {
        // The rate, or the message; in the checks' order.
        const char* const numerico = "El interes tecnico debe ser numerico";
        const char* const rango = "El interes tecnico debera estar comprendido entre 0 y 100";
        // clang-format off
        const char* const casos[][3] = {
            {"", "C", "Debe indicar un interes tecnico"}, {"  ", "C", numerico}, {"4,5", "C", numerico},
            {"1e400", "C", numerico}, {"4,5", "es_ES", "4.5"}, {"0", "C", "0"}, {"100", "C", "100"},
            {"-1", "C", rango}, {"100.5", "C", rango},
        };
        // clang-format on
        for (const auto& [texto, locale, esperado] : casos) {
            const auto r = CompruebaInteres(texto, QLocale(locale));
            const auto* tasa = std::get_if<double>(&r);
            QCOMPARE(tasa ? TextoNumero(*tasa) : std::get<RechazoInteres>(r).mensaje, esperado);
        }
    }
};

QTEST_GUILESS_MAIN(TestTablasMortalidad)
#include "TestTablasMortalidad.moc"
