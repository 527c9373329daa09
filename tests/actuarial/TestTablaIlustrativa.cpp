// The shipped Illustrative Life Table (Bowers, Gerber, Hickman, Jones, Nesbitt, Actuarial
// Mathematics, 2nd ed., 1997, appendix 2A) valued through the program at 6 %: imported as a user's
// file, its columns built by CalculaConmutados and a whole life at 40 calculated as "&Resultado"
// calculates it. Expected values are the book's printed figures, to its printed digits.

#include "actuarial/almacen/Calculo.h"
#include "core/ImportaTabla.h"
#include "support/BaseTemporal.h"
#include "support/Tolerancia.h"

#include <QTest>

using namespace valvida;

class TestTablaIlustrativa : public QObject
{
    Q_OBJECT

  private slots:
    void cifrasDelLibroAlSeisPorCiento();
};

void TestTablaIlustrativa::cifrasDelLibroAlSeisPorCiento()
{
    prueba::BaseTemporal b;
    QVERIFY(ImportaTabla(b.entorno(), QStringLiteral(VALVIDA_TABLAS_DIR "/ilt-bowers.csv")) == 1);
    // Whole life at 40 to the table's last age, 110, premiums for life.
    b.sql("insert into T_Escenario values(1, 40, 1000, 2, 1, 6, 1, 70, 70, 'P40', 0)");
    b.sql("insert into T_Comision values(1, 1, 0, 0)");
    CalculaEscenario(b.entorno(), 1);

    const double p40 = b.valor("select Prima_Neta_Nivelada from T_Resultado where Anio_Poliza = 0").toDouble();
    VV_CERCA(1000 * p40, 10.89, 0.005);
    // A40 = M40 / D40 and ä40 = N40 / D40, from the columns as stored.
    const QString a40 = "select %1 / Dx from T_Conmutado where Edad = 40 and Interes_Tecnico = 6";
    VV_CERCA(b.valor(a40.arg("Mx")).toDouble(), 0.16132, 0.000005);
    VV_CERCA(b.valor(a40.arg("Nx")).toDouble(), 14.8166, 0.00005);
}

QTEST_GUILESS_MAIN(TestTablaIlustrativa)
#include "TestTablaIlustrativa.moc"
