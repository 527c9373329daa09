#include "core/Cargadores.h"
#include "support/BaseTemporal.h"
#include "support/Dialecto.h"

#include <QTest>

using namespace valvida;
using valvida::prueba::BaseTemporal;

namespace {

// What a grid and a list receive, kept as plain data.
struct Filas : ReceptorFilas
{
    QStringList filas;
    int cargas = 0;
    void AddItem(const QString& fila) override { filas << fila; }
    void finCarga() override { ++cargas; }
};

struct Lista : ReceptorLista
{
    QStringList items; // "text=key"
    void AddItem(const QString& texto) override { items << texto; }
    int NewIndex() const override { return static_cast<int>(items.size()) - 1; }
    void setItemData(int indice, std::int32_t clave) override { items[indice] += '=' + QString::number(clave); }
};

const QString CajaNulo = QStringLiteral("\r\nError:94\r\nUso no válido de Null");

} // namespace

class TestCargadores : public QObject
{
    Q_OBJECT

  private slots:
    void grillaYListaRecibenLasFilas()
    {
        // A grid's cells trimmed and in the system's text of numbers; a list shows the second column and
        // keeps the first, a second load adding to the first. A null stops a load, the rows before it
        // stay and the grid hears the load's end either way.
        BaseTemporal base;
        base.sql("create table A (n integer, t text, x double precision)");
        base.sql("insert into A values (1, ' 12 ', 5.5), (2, 'dos', 0.14736842105263157), (3, '', 1.23e-5), "
                 "(4, null, 1), (5, 'después', 2)");
        base.sql("insert into C_TablaMortalidad values (7, 'CSO 80', 0, 100), (8, null, 0, 100)");
        Filas grid;
        CargaFlexgrid(base.entorno(), "select * from A order by n", grid);
        QCOMPARE(grid.filas, (QStringList{"1\t12\t5.5", "2\tdos\t0.147368421052632", "3\t\t1.23E-05"}));
        QCOMPARE(grid.cargas, 1);
        const auto& caja = base.dialogos.cajas.first();
        QVERIFY(caja.icono == Dialogos::Icono::Critico && caja.botones == Dialogos::Botones::Aceptar &&
                caja.titulo == TituloAplicacion);
        Lista lista;
        LlenaCombo(base.entorno(), "select * from C_TipoSeguro order by Tipo_Seguro", lista);
        LlenaCombo(base.entorno(), "select * from C_TablaMortalidad order by Tabla_Mortalidad", lista);
        QCOMPARE(lista.items,
                 (QStringList{"Temporal=1", "Vida Entera=2", "Dotal Mixto=3", "Dotal Puro=4", "CSO 80=7"}));
        // A query the store refuses: the database's number and the store's own words.
        CargaFlexgrid(base.entorno(), "select * from NoExiste", grid);
        QCOMPARE(grid.cargas, 2);
        QCOMPARE(base.dialogos.textos(),
                 (QStringList{"Rutina: CargaFlexgrid" + CajaNulo, "Rutina: LlenaCombo" + CajaNulo,
                              prueba::EnServidor() ? "Rutina: CargaFlexgrid\r\nError:200000\r\nError del servidor de "
                                                     "base de datos 42P01 (relation \"noexiste\" does not exist)"
                                                   : "Rutina: CargaFlexgrid\r\nError:100001\r\nError en la "
                                                     "instrucción SQL (no such table: NoExiste)"}));
    }
};

QTEST_GUILESS_MAIN(TestCargadores)
#include "TestCargadores.moc"
