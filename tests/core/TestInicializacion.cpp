#include "core/Inicializacion.h"
#include "support/BaseTemporal.h"
#include "support/Dialecto.h"

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
        const ErrorVV niega = prueba::ErrorDeFalla("no");
        const QString negado =
            "Rutina: Inizializar\r\nError:" + QString::number(niega.numero()) + "\r\n" + niega.descripcion();
        // clang-format off
        const std::tuple<R, bool, QStringList, QStringList> casos[] = {
            {R::Si, false, {pregunta, fin}, tablas},
            {R::No, false, {pregunta, "Inicializacion de sistema Cancelado"}, {}},
            // A failed delete is reported and the others still run.
            {R::Si, true, {pregunta, negado, fin}, tablas.mid(1)},
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
            for (const QString& sql : filas.split(';'))
                base.sql(sql);
            if (falla)
                prueba::CreaDisparador(base, "niega", "before delete on T_Resultado", prueba::Falla("no"));
            for (const QString& t : tablas + QStringList{"C_TipoSeguro", "C_TipoComision"})
                prueba::CreaDisparador(base, "b" + t, "after delete on " + t,
                                       QString("insert into R select '%1'").arg(t));
            base.dialogos.responde({respuesta});

            QCOMPARE(Inizializar(base.entorno()), respuesta == R::Si);
            QCOMPARE(base.dialogos.textos(), cajas);
            QCOMPARE(base.filas("select tabla from R order by " + prueba::OrdenDeInsercion()), vaciadas);
            QCOMPARE(base.dialogos.cajas.first().predeterminada, R::No); // a hasty Enter must not empty the tables
            for (const auto& caja : base.dialogos.cajas)
                QCOMPARE(caja.icono, caja.texto.startsWith("Rutina") ? Icono::Critico : Icono::Informacion);
        }
    }
};

QTEST_GUILESS_MAIN(TestInicializacion)
#include "TestInicializacion.moc"
