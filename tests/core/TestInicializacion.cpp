#include "core/Inicializacion.h"
#include "support/BaseTemporal.h"

#include <QTest>

using namespace valvida;
using valvida::prueba::BaseTemporal;

namespace {

const QStringList TablasDatos = {"T_Resultado", "T_Comision", "T_Escenario",
                                 "T_Conmutado", "T_DetalleMortalidad", "C_TablaMortalidad"};

// One row in every data table, and a log that records the order in which tables are emptied.
void LlenaTodo(BaseTemporal& base)
{
    base.sql("insert into C_TablaMortalidad values (1, 'T', 0, 1)");
    base.sql("insert into T_DetalleMortalidad values (1, 0, 0.5)");
    base.sql("insert into T_Conmutado (Tabla_Mortalidad, Edad, Interes_Tecnico) values (1, 0, 4)");
    base.sql("insert into T_Escenario values (1, 30, 1000, 1, 1, 4, 1, 10, 10, 'E', 0)");
    base.sql("insert into T_Comision values (1, 1, 50, 15)");
    base.sql("insert into T_Resultado values (1, 0, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0)");
    base.sql("create table Registro (n integer primary key autoincrement, tabla text)");
    for (const QString& t : TablasDatos)
        base.sql("create trigger borra_" + t + " after delete on " + t + " begin insert into Registro (tabla) values ('" +
                 t + "'); end");
}

} // namespace

class TestInicializacion : public QObject
{
    Q_OBJECT

private slots:
    void siVaciaLasSeisTablasEnOrden();
    void noNoBorraNada();
    void unBorradoFallidoNoDetieneLosDemas();
};

void TestInicializacion::siVaciaLasSeisTablasEnOrden()
{
    BaseTemporal base;
    LlenaTodo(base);
    base.dialogos.responde({Dialogos::Respuesta::Si});
    Inizializar(base.entorno());
    for (const QString& t : TablasDatos)
        QCOMPARE(base.valor("select count(*) from " + t).toInt(), 0);
    QCOMPARE(base.filas("select tabla from Registro order by n"), TablasDatos);
    QCOMPARE(base.valor("select count(*) from C_TipoSeguro").toInt(), 4);
    QCOMPARE(base.valor("select count(*) from C_TipoComision").toInt(), 2);
    const auto& cajas = base.dialogos.cajas;
    QCOMPARE(base.dialogos.textos(), (QStringList{"Desea inicializar el sistema", "Inicializacion de sistema finalizado"}));
    QCOMPARE(cajas[0].botones, Dialogos::Botones::SiNo);
    QCOMPARE(cajas[0].predeterminada, Dialogos::Respuesta::No); // Enter must not empty the tables
    QCOMPARE(cajas[0].icono, Dialogos::Icono::Informacion);
    QCOMPARE(cajas[1].icono, Dialogos::Icono::Informacion);
    QCOMPARE(cajas[1].titulo, TituloAplicacion);
    QCOMPARE(base.dialogos.reloj, 0);
    QCOMPARE(base.dialogos.relojMaximo, 1);
}

void TestInicializacion::noNoBorraNada()
{
    BaseTemporal base;
    LlenaTodo(base);
    base.dialogos.responde({Dialogos::Respuesta::No});
    Inizializar(base.entorno());
    for (const QString& t : TablasDatos)
        QCOMPARE(base.valor("select count(*) from " + t).toInt(), 1);
    QCOMPARE(base.dialogos.textos(), (QStringList{"Desea inicializar el sistema", "Inicializacion de sistema Cancelado"}));
    QCOMPARE(base.dialogos.cajas[1].icono, Dialogos::Icono::Informacion);
}

void TestInicializacion::unBorradoFallidoNoDetieneLosDemas()
{
    BaseTemporal base;
    LlenaTodo(base);
    // A trigger that refuses the first delete makes that step fail inside the store.
    base.sql("create trigger niega before delete on T_Resultado begin select raise(abort, 'bloqueada'); end");
    base.dialogos.responde({Dialogos::Respuesta::Si});
    Inizializar(base.entorno());
    const QStringList textos = base.dialogos.textos();
    QCOMPARE(textos.size(), 3);
    QCOMPARE(textos[1], QStringLiteral("Rutina: Inizializar\r\nError:101811\r\n"
                                       "La fila viola una restricción de la tabla (bloqueada)"));
    QCOMPARE(base.dialogos.cajas[1].icono, Dialogos::Icono::Critico);
    QCOMPARE(textos[2], QStringLiteral("Inicializacion de sistema finalizado"));
    QCOMPARE(base.valor("select count(*) from T_Resultado").toInt(), 1);
    for (const QString& t : TablasDatos.mid(1))
        QCOMPARE(base.valor("select count(*) from " + t).toInt(), 0);
}

QTEST_GUILESS_MAIN(TestInicializacion)
#include "TestInicializacion.moc"
