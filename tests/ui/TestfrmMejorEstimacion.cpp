#include "support/BaseTemporal.h"
#include "support/PruebaUi.h"
#include "ui/frmMejorEstimacion.h"

#include <QLabel>
#include <QPushButton>

using namespace valvida;

class TestfrmMejorEstimacion : public QObject
{
    Q_OBJECT

  private slots:
    void valorarMuestraLosFlujosOElAviso()
    {
        // A 5-year term at age 0 paid for 3 years (P = .865/2.62 a unit at 0 %, as in TestMDIForm1) on its own
        // table, a flat curve at 0 % and 10 a year per policy in force: deaths and premiums are both 865 on a
        // sum of 1000, the best estimate the expenses 10 (1 + .9 + .72 + .54 + .27) = 34.30.
        prueba::BaseTemporal base;
        for (const char* sql :
             {"insert into C_TablaMortalidad values(1, 'T', 0, 5)",
              "insert into T_DetalleMortalidad values(1,0,.1),(1,1,.2),(1,2,.25),(1,3,.5),(1,4,.5),(1,5,1)",
              "insert into T_Escenario values(1,0,1,1,1,0,1,5,3,'T',0)", "insert into T_Comision values(1,1,0,0)",
              "insert into T_Hipotesis values(1,'H',1,100,10,0,0)", "insert into C_Curva values(1,'P','')",
              "insert into T_Curva values(1,1,0)"})
            base.sql(sql);
        frmMejorEstimacion f(base.entorno());
        const QString flujos = base.carpeta() + "/s-flujos.csv";
        base.dialogos.eligeArchivo(base.archivo("c.csv", {}));
        base.dialogos.eligeArchivo(base.carpeta() + "/s.csv");
        for (const char* boton : {"cmdCartera", "cmdResultado"})
            f.findChild<QPushButton*>(boton)->click();
        // The second year's row and the total, or the box of a cancel or of a refused line.
        const std::tuple<QByteArray, bool, QStringList> casos[] = {
            {"A,1,0,1000,0\n",
             false,
             {"2|297.14|180.00|0.00|0.00|9.00|0.00|-108.14|-108.14",
              "Total|865.00|865.00|0.00|0.00|34.30|0.00|34.30|34.30", "Mejor estimación: 34.30"}},
            {"A,1,0,1000,0\n", true, {"Valoración cancelada"}},
            {"A,1,0,1000,0\nB,1,0,0,0\n", false, {"Línea 3, campo Suma_Asegurada: debe ser mayor que 0"}},
        };
        for (const auto& [lineas, cancela, esperado] : casos) {
            base.archivo("c.csv", "Poliza,Escenario,Edad,Suma_Asegurada,Antiguedad\n" + lineas);
            base.dialogos.cancelaProgreso = cancela;
            base.dialogos.cajas.clear();
            QFile::remove(flujos);
            f.findChild<QPushButton*>("cmdValorar")->click();
            const QStringList filas = prueba::FilasGrid(f.findChild<FlexGrid*>("MSFlexGrid1"));
            QCOMPARE(filas.mid(1, 1) + filas.mid(filas.size() - 1) + base.dialogos.textos() +
                         QStringList(f.findChild<QLabel*>("lblMejorEstimacion")->text()).filter("M"),
                     esperado);
            QCOMPARE(QFile::exists(flujos), !lineas.contains('B') && !cancela);
        }
    }
};

QTEST_MAIN(TestfrmMejorEstimacion)
#include "TestfrmMejorEstimacion.moc"
