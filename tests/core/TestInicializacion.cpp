#include "core/Inicializacion.h"
#include "support/BaseTemporal.h"

#include <QTest>

using namespace valvida;
using R = valvida::Dialogos::Respuesta;
using Icono = valvida::Dialogos::Icono;

class TestInicializacion : public QObject
{
    Q_OBJECT

  private slots:
    void vaciaLasSeisTablasEnOrden()
    {
        // Each table before the tables it refers to; the two fixed catalogues are never touched.
        const QStringList tablas{"T_Resultado", "T_Comision",          "T_Escenario",
                                 "T_Conmutado", "T_DetalleMortalidad", "C_TablaMortalidad"};
        const QString pregunta("Desea inicializar el sistema"), fin("Inicializacion de sistema finalizado");
        // clang-format off
        const std::tuple<R, QString, QStringList, QStringList> casos[] = {
            {R::Si, "", {pregunta, fin}, tablas},
            {R::No, "", {pregunta, "Inicializacion de sistema Cancelado"}, {}},
            // A failed delete is reported and the others still run.
            {R::Si, "create trigger niega before delete on T_Resultado begin select raise(abort, 'no'); end",
             {pregunta, "Rutina: Inizializar\r\nError:101811\r\nLa fila viola una restricción de la tabla (no)", fin},
             tablas.mid(1)},
        };
        // clang-format on
        for (const auto& [respuesta, falla, cajas, vaciadas] : casos) {
            // One row in every data table, and a log of the rows deleted, in order.
            prueba::BaseTemporal base;
            // clang-format off
            const QString filas("insert into C_TablaMortalidad values (1, 'T', 0, 1); create table R (tabla text);"
                "insert into T_DetalleMortalidad values (1, 0, 0.5); insert into T_Comision values (1, 1, 50, 15);"
                "insert into T_Conmutado (Tabla_Mortalidad, Edad, Interes_Tecnico) values (1, 0, 4);"
                "insert into T_Escenario values (1, 30, 1000, 1, 1, 4, 1, 10, 10, 'E', 0);"
                "insert into T_Resultado values (1, 0, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0)");
            // clang-format on
            for (const QString& sql : filas.split(';') + QStringList{falla})
                if (!sql.isEmpty())
                    base.sql(sql);
            for (const QString& t : tablas + QStringList{"C_TipoSeguro", "C_TipoComision"})
                base.sql(QString("create trigger b%1 after delete on %1 begin insert into R select '%1'; end").arg(t));
            base.dialogos.responde({respuesta});

            QCOMPARE(Inizializar(base.entorno()), respuesta == R::Si);
            QCOMPARE(base.dialogos.textos(), cajas);
            QCOMPARE(base.filas("select tabla from R order by rowid"), vaciadas);
            QCOMPARE(base.dialogos.cajas.first().predeterminada, R::No); // a hasty Enter must not empty the tables
            for (const auto& caja : base.dialogos.cajas)
                QCOMPARE(caja.icono, caja.texto.startsWith("Rutina") ? Icono::Critico : Icono::Informacion);
        }
    }
};

QTEST_GUILESS_MAIN(TestInicializacion)
#include "TestInicializacion.moc"
