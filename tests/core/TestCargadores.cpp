#include "core/Cargadores.h"
#include "support/BaseTemporal.h"

#include <QBuffer>
#include <QTest>

using namespace valvida;
using valvida::prueba::BaseTemporal;
using Caja = valvida::prueba::FakeDialogos::Caja;

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
    QStringList textos;
    QList<std::int32_t> claves;
    void AddItem(const QString& texto) override
    {
        textos << texto;
        claves << -1;
    }
    int NewIndex() const override { return static_cast<int>(textos.size()) - 1; }
    void setItemData(int indice, std::int32_t clave) override { claves[indice] = clave; }
};

} // namespace

class TestCargadores : public QObject
{
    Q_OBJECT

  private slots:
    void grillaRecibeFilasRecortadasSeparadasPorTab();
    void grillaSeDetieneEnUnNulo();
    void consultaFallidaMuestraLaCajaDeCargaFlexgrid();
    void consultaSinFilasNoAgregaNada();
    void listaMuestraLaSegundaColumnaYGuardaLaPrimera();
    void listaSeDetieneEnUnNulo();
    void csvEscribeCabeceraConLaPrimeraFila();
    void csvConNuloEscribeLasFilasAnteriores();
};

void TestCargadores::grillaRecibeFilasRecortadasSeparadasPorTab()
{
    BaseTemporal base;
    base.sql("create table A (x, y, z)");
    base.sql("insert into A values (?, ?, ?)", {QStringLiteral(" 12 "), QStringLiteral("abc"), 5.5});
    base.sql("insert into A values (?, ?, ?)", {3.0, 0.14736842105263157, 1.23e-5});
    base.sql("insert into A values ('', '', '')");
    base.sql("create table B (solo)");
    base.sql("insert into B values ('')");
    Filas grid;
    CargaFlexgrid(base.entorno(), "select * from A", grid);
    CargaFlexgrid(base.entorno(), "select * from B", grid);
    QCOMPARE(grid.filas, (QStringList{"12\tabc\t5.5", "3\t0.147368421052632\t1.23E-05", "\t\t", ""}));
    QCOMPARE(grid.cargas, 2);
    QVERIFY(base.dialogos.cajas.isEmpty());
}

void TestCargadores::grillaSeDetieneEnUnNulo()
{
    BaseTemporal base;
    base.sql("create table A (n, t)");
    base.sql("insert into A values (1, 'uno')");
    base.sql("insert into A values (2, null)");
    base.sql("insert into A values (3, 'tres')");
    Filas grid;
    CargaFlexgrid(base.entorno(), "select * from A order by n", grid);
    QCOMPARE(grid.filas, QStringList{"1\tuno"});
    QCOMPARE(base.dialogos.cajas.size(), 1);
    const Caja& caja = base.dialogos.cajas.first();
    QCOMPARE(caja.texto, QStringLiteral("Rutina: CargaFlexgrid\r\nError:94\r\nUso no válido de Null"));
    QCOMPARE(caja.icono, Dialogos::Icono::Critico);
    QCOMPARE(caja.botones, Dialogos::Botones::Aceptar);
    QCOMPARE(caja.titulo, TituloAplicacion);
}

void TestCargadores::consultaFallidaMuestraLaCajaDeCargaFlexgrid()
{
    BaseTemporal base;
    Filas grid;
    CargaFlexgrid(base.entorno(), "select * from NoExiste", grid);
    QVERIFY(grid.filas.isEmpty());
    QCOMPARE(base.dialogos.cajas.size(), 1);
    QVERIFY2(base.dialogos.cajas.first().texto.startsWith("Rutina: CargaFlexgrid\r\nError:100001\r\n"),
             qPrintable(base.dialogos.cajas.first().texto));
    QVERIFY(base.dialogos.cajas.first().texto.contains("no such table: NoExiste"));
}

void TestCargadores::consultaSinFilasNoAgregaNada()
{
    BaseTemporal base;
    Filas grid;
    Lista lista;
    QBuffer archivo;
    archivo.open(QIODevice::WriteOnly);
    CargaFlexgrid(base.entorno(), "select * from C_TablaMortalidad", grid);
    LlenaCombo(base.entorno(), "select * from C_TablaMortalidad", lista);
    VaciaCsv(base.entorno(), "select * from C_TablaMortalidad", archivo);
    QVERIFY(grid.filas.isEmpty());
    QVERIFY(lista.textos.isEmpty());
    QCOMPARE(archivo.data(), QByteArray());
    QVERIFY(base.dialogos.cajas.isEmpty());
}

void TestCargadores::listaMuestraLaSegundaColumnaYGuardaLaPrimera()
{
    BaseTemporal base;
    Lista lista;
    LlenaCombo(base.entorno(), "SELECT * FROM C_TipoSeguro", lista);
    LlenaCombo(base.entorno(), "SELECT * FROM C_TipoSeguro", lista);
    QCOMPARE(lista.textos, (QStringList{"Temporal", "Vida Entera", "Dotal Mixto", "Dotal Puro", "Temporal",
                                        "Vida Entera", "Dotal Mixto", "Dotal Puro"}));
    QCOMPARE(lista.claves, (QList<std::int32_t>{1, 2, 3, 4, 1, 2, 3, 4}));
}

void TestCargadores::listaSeDetieneEnUnNulo()
{
    BaseTemporal base;
    base.sql("insert into C_TablaMortalidad values (7, 'CSO 80', 0, 100)");
    base.sql("insert into C_TablaMortalidad values (8, null, 0, 100)");
    Lista lista;
    LlenaCombo(base.entorno(), "SELECT * FROM C_TablaMortalidad order by Tabla_Mortalidad", lista);
    QCOMPARE(lista.textos, QStringList{"CSO 80"});
    QCOMPARE(lista.claves, QList<std::int32_t>{7});
    QCOMPARE(base.dialogos.textos(), QStringList{"Rutina: LlenaCombo\r\nError:94\r\nUso no válido de Null"});
}

void TestCargadores::csvEscribeCabeceraConLaPrimeraFila()
{
    BaseTemporal base;
    base.sql("create table T (A, B, Descripcion)");
    base.sql("insert into T values (1, 2.5, ' Méx ')");
    base.sql("insert into T values (3, 4, 'x')");
    QBuffer archivo;
    archivo.open(QIODevice::WriteOnly);
    VaciaCsv(base.entorno(), "select * from T", archivo);
    // Windows-1252: "é" is the single byte E9.
    QCOMPARE(archivo.data(), QByteArray("A,B,Descripcion\r\n1,2.5,M\xe9x\r\n3,4,x\r\n"));
}

void TestCargadores::csvConNuloEscribeLasFilasAnteriores()
{
    BaseTemporal base;
    base.sql("create table T (A, B)");
    base.sql("insert into T values (1, 2)");
    base.sql("insert into T values (3, null)");
    QBuffer archivo;
    archivo.open(QIODevice::WriteOnly);
    VaciaCsv(base.entorno(), "select * from T order by A", archivo);
    QCOMPARE(archivo.data(), QByteArray("A,B\r\n1,2\r\n"));
    QCOMPARE(base.dialogos.textos(), QStringList{"Rutina: CargaFlexgrid\r\nError:94\r\nUso no válido de Null"});
}

QTEST_GUILESS_MAIN(TestCargadores)
#include "TestCargadores.moc"
