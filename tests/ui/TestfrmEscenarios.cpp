#include "core/Constantes.h"
#include "support/BaseTemporal.h"
#include "support/PruebaUi.h"
#include "ui/ComboLista.h"
#include "ui/Comision.h"
#include "ui/FlexGrid.h"
#include "ui/MDIForm1.h"
#include "ui/frmEscenarios.h"
#include "ui/frmResultados.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

using namespace valvida;
using prueba::ClicCelda;
using prueba::FilaGrid;
using Icono = Dialogos::Icono;

namespace {

// The main window on a real database, the scenario form opened from its menu.
struct Banco
{
    explicit Banco(bool conTablas)
    {
        if (conTablas) {
            base.sql(QStringLiteral("insert into C_TablaMortalidad values (1, 'Tabla A', 20, 100)"));
            base.sql(QStringLiteral("insert into C_TablaMortalidad values (2, 'Tabla B', 0, 60)"));
        }
    }

    void abre()
    {
        principal.show();
        QVERIFY(QTest::qWaitForWindowExposed(&principal));
        principal.mnuEscenarios_Click();
        form = principal.hija<frmEscenarios>();
    }

    template <class T>
    T* w(const char* nombre) const
    {
        T* hallado = form->findChild<T*>(QString::fromUtf8(nombre));
        if (!hallado)
            qFatal("no existe el control %s", nombre);
        return hallado;
    }
    QLineEdit* caja(const char* nombre) const { return w<QLineEdit>(nombre); }
    ComboLista* lista(const char* nombre) const { return w<ComboLista>(nombre); }
    QPushButton* boton(const char* nombre) const { return w<QPushButton>(nombre); }
    FlexGrid* escenarios() const { return w<FlexGrid>("MSFlexGrid1"); }
    FlexGrid* comision() const { return w<FlexGrid>("MSFlexGrid2"); }
    QString focoEn() const { return form->focusWidget() ? form->focusWidget()->objectName() : QString(); }

    void elige(const char* nombre, int clave) { lista(nombre)->setCurrentIndex(lista(nombre)->findData(clave)); }

    void celda(int fila, int col, const QString& teclas)
    {
        comision()->setRow(fila);
        comision()->setCol(col);
        QTest::keyClicks(comision(), teclas);
    }

    /*!
     * Presses "Alta" and types a valid scenario: age 35, sum insured 1000, table A, 5.5 %,
     * term insurance of 10 years paid in 10, commission in the first year only (50 %, 5 per
     * mille). A value in `cambios` replaces the one for that box; an empty one leaves it empty.
     * The schedule row keeps what it held before "Alta", so it is typed only on request.
     */
    void llena(const QMap<QString, QString>& cambios = {}, bool escala = true)
    {
        boton("cmdAlta")->click();
        auto valor = [&](const char* nombre, const char* normal) {
            return cambios.value(QString::fromUtf8(nombre), QString::fromUtf8(normal));
        };
        QTest::keyClicks(caja("txtEdad"), valor("txtEdad", "35"));
        QTest::keyClicks(caja("txtSumaAsegurada"), valor("txtSumaAsegurada", "1000"));
        // A pasted interest arrives in one change, as a negative number can only arrive.
        caja("txtInteresTecnico")->insert(valor("txtInteresTecnico", "5.5"));
        QTest::keyClicks(caja("txtPlazoSeguro"), valor("txtPlazoSeguro", "10"));
        QTest::keyClicks(caja("txtPlazoPago"), valor("txtPlazoPago", "10"));
        QTest::keyClicks(caja("txtDescripcion"), valor("txtDescripcion", "Mi escenario"));
        if (escala) {
            celda(1, 1, QStringLiteral("50"));
            celda(1, 2, QStringLiteral("5"));
        }
    }

    int cuenta(const QString& tabla) const { return base.valor(QStringLiteral("select count(*) from ") + tabla).toInt(); }

    prueba::BaseTemporal base;
    MDIForm1 principal{base.entorno()};
    frmEscenarios* form = nullptr;
};

// Scenario 1 stored as the form would store it: whole life on table 3, two commission years.
void GuardaEscenarioUno(prueba::BaseTemporal& base)
{
    base.sql(QStringLiteral("insert into C_TablaMortalidad values (3, 'Tabla A', 0, 90)"));
    base.sql(QStringLiteral("insert into T_Escenario values (1, 40, 2000, 2, 2, 4, 3, 50, 20, 'Vida entera', 2)"));
    base.sql(QStringLiteral("insert into T_Comision values (1, 1, 60, 6)"));
    base.sql(QStringLiteral("insert into T_Comision values (1, 2, 30, 3)"));
}

QStringList Filas(const FlexGrid* grid)
{
    QStringList r;
    for (int i = 0; i < grid->rows(); ++i)
        r << FilaGrid(grid, i).join(QLatin1Char('|'));
    return r;
}

} // namespace

class TestfrmEscenarios : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { b.reset(); }

    void sinTablasNoQuedaAbierto();
    void apertura();
    void aperturaSinEscenarios();
    void disposicion_data();
    void disposicion();
    void ordenDeTabulacion();
    void numerosNuevos();
    void comprobaciones_data();
    void comprobaciones();
    void aceptados_data();
    void aceptados();
    void mesesACubrir();
    void vidaEnteraTomaElPlazoDeLaTabla();
    void plazoTecleadoSeVacia_data();
    void plazoTecleadoSeVacia();
    void comisionFallidaNoEscribeNada();
    void escalaDeVariosAnios();
    void totalDeAniosFueraDeRango();
    void fallaAMitadNoDejaNada();
    void muestraEscenarioPorClaves();
    void altaYCancelar();
    void modificarYAceptarAgregaCopia();
    void salir();
    void resultadoEnElEncabezadoNoHaceNada();
    void caminoCompleto();

private:
    void abre(bool conTablas = true)
    {
        b = std::make_unique<Banco>(conTablas);
        b->abre();
    }
    std::unique_ptr<Banco> b;
};

void TestfrmEscenarios::sinTablasNoQuedaAbierto()
{
    abre(false);
    QCOMPARE(b->form, nullptr);
    QVERIFY(!HayTablasMortalidad);
    QCOMPARE(b->base.dialogos.cajas.size(), 1);
    QCOMPARE(b->base.dialogos.cajas.first().texto, QStringLiteral("No existen registros en Tabla mortalidad"));
    QCOMPARE(b->base.dialogos.cajas.first().icono, Icono::Exclamacion);
    QCOMPARE(b->base.dialogos.cajas.first().titulo, TituloAplicacion);
    QVERIFY(b->principal.areaMdi()->subWindowList().isEmpty());
}

void TestfrmEscenarios::apertura()
{
    b = std::make_unique<Banco>(true);
    GuardaEscenarioUno(b->base);
    b->abre();
    QVERIFY(b->form);
    QVERIFY(HayTablasMortalidad);
    QCOMPARE(b->form->windowTitle(), QStringLiteral("Escenarios"));
    QCOMPARE(b->form->size(), QSize(749, 421));
    QCOMPARE(Filas(b->escenarios()),
             (QStringList{"Escenario|Edad|Suma Asegurada|Tipo Seguro|Tipo Comision|Interes Técnico|Tabla Mortalidad|"
                          "Plazo Seguro|Plazo Pago|Descripción",
                          "1|40|2000|Vida Entera|Comisión varios años|4|Tabla A|50|20|Vida entera"}));
    QCOMPARE(Filas(b->comision()), (QStringList{"Año Comisión|% Prima de Tarifa|0/00 Millar SA", "1||"}));
    QCOMPARE(b->lista("cmbTabla")->count(), 3);
    QCOMPARE(b->lista("cmbTabla")->currentText(), QStringLiteral("Tabla A"));

    const char* const habilitados[] = {"cmdResultado", "cmdAlta", "cmdModificar", "cmdSalir"};
    for (const char* n : habilitados)
        QVERIFY2(b->boton(n)->isEnabled(), n);
    QVERIFY(!b->boton("cmdAceptar")->isEnabled());
    QVERIFY(!b->boton("cmdCancelar")->isEnabled());
    for (const char* n : {"txtEdad", "txtSumaAsegurada", "txtInteresTecnico", "txtPlazoSeguro", "txtPlazoPago",
                          "txtTotalAños", "txtDescripcion"})
        QVERIFY2(!b->caja(n)->isEnabled(), n);
    for (const char* n : {"cmbTabla", "cmbTipoSeguro", "cmbTipoComision"})
        QVERIFY2(!b->lista(n)->isEnabled(), n);
    QVERIFY(b->escenarios()->isEnabled());
    QVERIFY(!b->comision()->isEnabled());
    QCOMPARE(b->form->estado(), frmEscenarios::Estado::Navegando);

    // The menu entry brings the same form forward.
    b->principal.mnuEscenarios_Click();
    QCOMPARE(b->principal.areaMdi()->subWindowList().size(), 1);
    QCOMPARE(b->base.dialogos.cajas.size(), 0);
}

void TestfrmEscenarios::aperturaSinEscenarios()
{
    abre();
    QCOMPARE(b->escenarios()->rows(), 1);
    QVERIFY(!b->boton("cmdResultado")->isEnabled());
    QVERIFY(b->boton("cmdAlta")->isEnabled());
}

void TestfrmEscenarios::disposicion_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QRect>("lugar");
    // Twips at 15 to the pixel; heights of boxes and labels are the form's own.
    QTest::newRow("lista") << "MSFlexGrid1" << "" << QRect(8, 8, 737, 153);
    QTest::newRow("marco de campos") << "Frame1" << "" << QRect(8, 168, 489, 201);
    QTest::newRow("marco de comisión") << "Frame3" << "" << QRect(504, 168, 249, 249);
    QTest::newRow("marco de botones") << "Frame2" << "" << QRect(8, 368, 489, 49);
    QTest::newRow("rejilla de comisión") << "MSFlexGrid2" << "" << QRect(8, 40, 233, 201);
    QTest::newRow("resultado") << "cmdResultado" << "&Resultado" << QRect(14, 16, 65, 25);
    QTest::newRow("alta") << "cmdAlta" << "&Alta" << QRect(110, 16, 65, 25);
    QTest::newRow("modificar") << "cmdModificar" << "&Modificar" << QRect(182, 16, 65, 25);
    QTest::newRow("aceptar") << "cmdAceptar" << "A&ceptar" << QRect(254, 16, 65, 25);
    QTest::newRow("cancelar") << "cmdCancelar" << "Ca&ncelar" << QRect(326, 16, 65, 25);
    QTest::newRow("salir") << "cmdSalir" << "&Salir" << QRect(398, 16, 65, 25);
    QTest::newRow("edad") << "txtEdad" << "" << QRect(96, 16, 81, 0);
    QTest::newRow("tabla") << "cmbTabla" << "" << QRect(96, 64, 249, 0);
    QTest::newRow("plazo seguro") << "txtPlazoSeguro" << "" << QRect(272, 112, 49, 0);
    QTest::newRow("plazo pago") << "txtPlazoPago" << "" << QRect(416, 112, 49, 0);
    QTest::newRow("total de años") << "txtTotalAños" << "" << QRect(272, 136, 49, 0);
    QTest::newRow("descripción") << "txtDescripcion" << "" << QRect(152, 168, 329, 0);
    QTest::newRow("etiqueta edad") << "lblEdad" << "Edad:" << QRect(8, 16, 0, 0);
    QTest::newRow("etiqueta suma") << "lblSumaAsegurada" << "Suma Asegurada:" << QRect(8, 40, 0, 0);
    QTest::newRow("etiqueta tabla") << "lblTablaMortalidad" << "Tabla Mortalidad:" << QRect(8, 64, 0, 0);
    QTest::newRow("etiqueta interés") << "lblInteresTecnico" << "%Interes Técnico:" << QRect(8, 88, 0, 0);
    QTest::newRow("etiqueta tipo") << "lblTipoSeguro" << "Tipo Seguro:" << QRect(8, 112, 0, 0);
    QTest::newRow("etiqueta plazo") << "lblPlazoSeguro" << "Plazo Seguro:" << QRect(192, 112, 0, 0);
    QTest::newRow("etiqueta pago") << "Label6" << "Plazo Pago:" << QRect(320, 112, 0, 0);
    QTest::newRow("etiqueta comisión") << "lblTipoComision" << "Tipo Comisión:" << QRect(8, 136, 0, 0);
    QTest::newRow("etiqueta total") << "lblTotalAnios" << "Total de Años:" << QRect(192, 136, 0, 0);
    QTest::newRow("etiqueta descripción") << "lblDescripcion" << "Descripcion del Escenario:" << QRect(8, 168, 0, 0);
    QTest::newRow("etiqueta del marco") << "lblComision" << "Comision" << QRect(16, 16, 217, 0);
}

void TestfrmEscenarios::disposicion()
{
    QFETCH(QString, control);
    QFETCH(QString, texto);
    QFETCH(QRect, lugar);
    abre();
    QWidget* c = b->form->findChild<QWidget*>(control);
    QVERIFY(c);
    // Labels stand a little lower than their boxes to share the baseline; ±3 pixels.
    QCOMPARE(c->x(), lugar.x());
    QVERIFY2(c->y() >= lugar.y() && c->y() <= lugar.y() + 3, qPrintable(QString::number(c->y())));
    if (lugar.width() > 0)
        QCOMPARE(c->width(), lugar.width());
    if (lugar.height() > 0)
        QCOMPARE(c->height(), lugar.height());
    if (auto* etiqueta = qobject_cast<QLabel*>(c))
        QCOMPARE(etiqueta->text(), texto);
    if (auto* boton = qobject_cast<QPushButton*>(c))
        QCOMPARE(boton->text(), texto);
}

void TestfrmEscenarios::ordenDeTabulacion()
{
    abre();
    const QStringList esperado = {"MSFlexGrid1",    "txtEdad",         "txtSumaAsegurada", "cmbTabla",
                                  "txtInteresTecnico", "cmbTipoSeguro", "txtPlazoSeguro",   "txtPlazoPago",
                                  "cmbTipoComision", "txtTotalAños",    "txtDescripcion",   "MSFlexGrid2",
                                  "cmdResultado",    "cmdAlta",         "cmdModificar",     "cmdAceptar",
                                  "cmdCancelar",     "cmdSalir"};
    QStringList orden;
    QWidget* w = b->escenarios();
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty() && esperado.contains(w->objectName()))
            orden << w->objectName();
        w = w->nextInFocusChain();
    } while (w != b->escenarios() && orden.size() < esperado.size());
    QCOMPARE(orden, esperado);
    for (const char* n : {"lblPlazoSeguro", "Label6", "lblTotalAnios"})
        QVERIFY2(b->w<QLabel>(n)->alignment().testFlag(Qt::AlignRight), n);
}

void TestfrmEscenarios::numerosNuevos()
{
    abre();
    b->llena({{"txtDescripcion", "Caso de O'Brien"}});
    b->boton("cmdAceptar")->click();
    QVERIFY(b->base.dialogos.cajas.isEmpty());
    // The description keeps its quote; the numbers are stored as typed.
    QCOMPARE(b->base.filas(QStringLiteral("select * from T_Escenario")),
             QStringList{"1|35|1000|1|1|5.5|1|10|10|Caso de O'Brien|0"});
    QCOMPARE(b->base.filas(QStringLiteral("select * from T_Comision")), QStringList{"1|1|50|5"});
    QCOMPARE(FilaGrid(b->escenarios(), 1).join(QLatin1Char('|')),
             QStringLiteral("1|35|1000|Temporal|Comisión primer año|5.5|Tabla A|10|10|Caso de O'Brien"));
    QCOMPARE(b->escenarios()->row(), 1);
    QCOMPARE(b->form->estado(), frmEscenarios::Estado::Navegando);
    QVERIFY(!b->caja("txtEdad")->isEnabled());
    QVERIFY(!b->lista("cmbTabla")->isEnabled());
    QCOMPARE(b->caja("txtEdad")->text(), QStringLiteral("35"));
    QVERIFY(!b->comision()->isEnabled());
    QVERIFY(b->escenarios()->isEnabled());
    QVERIFY(b->boton("cmdResultado")->isEnabled());
    QVERIFY(b->boton("cmdModificar")->isEnabled());
    QVERIFY(!b->boton("cmdAceptar")->isEnabled());

    // Later scenarios take the highest number stored + 1, gaps and all.
    b->base.sql(QStringLiteral("insert into T_Escenario values (7, 30, 500, 1, 1, 3, 2, 5, 5, 'otro', 0)"));
    b->llena({}, false);
    QCOMPARE(FilaGrid(b->comision(), 1), (QStringList{"1", "50", "5"}));
    b->boton("cmdAceptar")->click();
    QCOMPARE(b->base.dialogos.textos(), QStringList{});
    QCOMPARE(b->base.valor(QStringLiteral("select max(Escenario) from T_Escenario")).toInt(), 8);
    QCOMPARE(b->base.filas(QStringLiteral("select * from T_Comision where Escenario = 8")), QStringList{"8|1|50|5"});
    QCOMPARE(b->escenarios()->textMatrix(2, 0), QStringLiteral("8"));
    QCOMPARE(b->escenarios()->row(), 2);
}

void TestfrmEscenarios::comprobaciones_data()
{
    QTest::addColumn<QString>("caja");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("caja2");
    QTest::addColumn<QString>("texto2");
    QTest::addColumn<QString>("mensaje");
    QTest::addColumn<QString>("foco");
    QTest::newRow("1 interés") << "txtInteresTecnico" << "" << "" << ""
                               << "El interes técnico no puede ser nulo" << "txtInteresTecnico";
    QTest::newRow("2 pago") << "txtPlazoPago" << "" << "" << "" << "El plazo de pago no puede ser nulo"
                            << "txtPlazoPago";
    QTest::newRow("3 plazo") << "txtPlazoSeguro" << "" << "" << "" << "El plazo de seguro no puede ser nulo"
                             << "txtPlazoSeguro";
    QTest::newRow("4 suma") << "txtSumaAsegurada" << "" << "" << "" << "La suma asegurada no puede ser nulo"
                            << "txtSumaAsegurada";
    QTest::newRow("5 edad") << "txtEdad" << "" << "" << "" << "La edad no puede ser nulo" << "txtEdad";
    QTest::newRow("6 descripción") << "txtDescripcion" << "" << "" << "" << "La descripción no puede ser nula"
                                   << "txtDescripcion";
    QTest::newRow("7 plazo 5 pago 6") << "txtPlazoSeguro" << "5" << "txtPlazoPago" << "6"
                                      << "El plazo de pago deber ser menor o igual al plazo de seguro"
                                      << "txtPlazoPago";
    QTest::newRow("8 plazo 1 pago 13") << "txtPlazoSeguro" << "1" << "txtPlazoPago" << "13"
                                       << "Los meses de vigor son entre 1 y 12" << "txtPlazoPago";
    QTest::newRow("8 plazo 1 pago 0") << "txtPlazoSeguro" << "1" << "txtPlazoPago" << "0"
                                      << "Los meses de vigor son entre 1 y 12" << "txtPlazoPago";
    QTest::newRow("9 interés -0.5") << "txtInteresTecnico" << "-0.5" << "" << ""
                                    << "El interes técnico debera estar comprendido entre 0 y 100"
                                    << "txtInteresTecnico";
    QTest::newRow("9 interés 100.5") << "txtInteresTecnico" << "100.5" << "" << ""
                                     << "El interes técnico debera estar comprendido entre 0 y 100"
                                     << "txtInteresTecnico";
    QTest::newRow("10 edad bajo la tabla") << "txtEdad" << "19" << "" << ""
                                           << "La edad debe ser mayor a Edad Inicial de la tabla de mortalidad"
                                           << "txtEdad";
    QTest::newRow("edad de más de 16 bits") << "txtEdad" << "40000" << "" << ""
                                            << "La edad esta fuera del rango permitido" << "txtEdad";
}

void TestfrmEscenarios::comprobaciones()
{
    QFETCH(QString, caja);
    QFETCH(QString, texto);
    QFETCH(QString, caja2);
    QFETCH(QString, texto2);
    QFETCH(QString, mensaje);
    QFETCH(QString, foco);
    abre();
    QMap<QString, QString> cambios{{caja, texto}};
    if (!caja2.isEmpty())
        cambios.insert(caja2, texto2);
    b->llena(cambios);
    QCOMPARE(b->caja(qPrintable(caja))->text(), texto);
    b->boton("cmdAceptar")->click();

    QCOMPARE(b->base.dialogos.textos(), QStringList{mensaje});
    QCOMPARE(b->base.dialogos.cajas.first().icono, Icono::Exclamacion);
    QCOMPARE(b->base.dialogos.cajas.first().titulo, TituloAplicacion);
    QCOMPARE(b->focoEn(), foco);
    QCOMPARE(b->cuenta(QStringLiteral("T_Escenario")), 0);
    QCOMPARE(b->cuenta(QStringLiteral("T_Comision")), 0);
    QCOMPARE(b->form->estado(), frmEscenarios::Estado::Nuevo);
    QVERIFY(b->boton("cmdAceptar")->isEnabled());
}

void TestfrmEscenarios::aceptados_data()
{
    QTest::addColumn<QString>("caja");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("caja2");
    QTest::addColumn<QString>("texto2");
    QTest::addColumn<QString>("guardado");
    QTest::newRow("edad inicial de la tabla") << "txtEdad" << "20" << "" << "" << "1|20|1000|1|1|5.5|1|10|10";
    QTest::newRow("interés 0") << "txtInteresTecnico" << "0" << "" << "" << "1|35|1000|1|1|0|1|10|10";
    QTest::newRow("interés 100") << "txtInteresTecnico" << "100" << "" << "" << "1|35|1000|1|1|100|1|10|10";
    QTest::newRow("un año, 12 meses") << "txtPlazoSeguro" << "1" << "txtPlazoPago" << "12"
                                      << "1|35|1000|1|1|5.5|1|1|12";
}

void TestfrmEscenarios::aceptados()
{
    QFETCH(QString, caja);
    QFETCH(QString, texto);
    QFETCH(QString, caja2);
    QFETCH(QString, texto2);
    QFETCH(QString, guardado);
    abre();
    QMap<QString, QString> cambios{{caja, texto}};
    if (!caja2.isEmpty())
        cambios.insert(caja2, texto2);
    b->llena(cambios);
    b->boton("cmdAceptar")->click();
    QCOMPARE(b->base.dialogos.textos(), QStringList{});
    QCOMPARE(b->base.filas(QStringLiteral("select Escenario, Edad, Suma_Asegurada, Tipo_Seguro, Tipo_Comision, "
                                          "Interes_Tecnico, Tabla_Mortalidad, Plazo_Seguro, Plazo_Pago "
                                          "from T_Escenario")),
             QStringList{guardado});
}

void TestfrmEscenarios::mesesACubrir()
{
    abre();
    b->boton("cmdAlta")->click();
    QLineEdit* plazo = b->caja("txtPlazoSeguro");
    QLabel* etiqueta = b->w<QLabel>("Label6");
    QTest::keyClicks(plazo, QStringLiteral("1"));
    QCOMPARE(etiqueta->text(), QStringLiteral("Meses a Cubrir:"));
    QTest::keyClicks(plazo, QStringLiteral("0"));
    QCOMPARE(etiqueta->text(), QStringLiteral("Plazo Pago:"));
    plazo->clear();
    QTest::keyClicks(plazo, QStringLiteral("1.0"));
    QCOMPARE(etiqueta->text(), QStringLiteral("Plazo Pago:"));
    // Text that is not a number never stays in the box.
    QTest::keyClicks(plazo, QStringLiteral("x"));
    QCOMPARE(plazo->text(), QString());
}

void TestfrmEscenarios::vidaEnteraTomaElPlazoDeLaTabla()
{
    abre();
    b->boton("cmdAlta")->click();
    QLineEdit* plazo = b->caja("txtPlazoSeguro");
    QTest::keyClicks(b->caja("txtEdad"), QStringLiteral("35"));
    b->elige("cmbTipoSeguro", 2);
    QCOMPARE(plazo->text(), QStringLiteral("65"));
    QVERIFY(!plazo->isEnabled());
    b->elige("cmbTabla", 2);
    QCOMPARE(plazo->text(), QStringLiteral("25"));
    b->elige("cmbTipoSeguro", 3);
    QCOMPARE(plazo->text(), QString());
    QVERIFY(plazo->isEnabled());
}

void TestfrmEscenarios::plazoTecleadoSeVacia_data()
{
    QTest::addColumn<QString>("accion");
    QTest::newRow("otra tabla") << "tabla";
    QTest::newRow("otro tipo") << "tipo";
    QTest::newRow("otra edad") << "edad";
}

void TestfrmEscenarios::plazoTecleadoSeVacia()
{
    QFETCH(QString, accion);
    abre();
    b->boton("cmdAlta")->click();
    QTest::keyClicks(b->caja("txtEdad"), QStringLiteral("35"));
    QTest::keyClicks(b->caja("txtPlazoSeguro"), QStringLiteral("10"));
    QCOMPARE(b->caja("txtPlazoSeguro")->text(), QStringLiteral("10"));
    if (accion == QLatin1String("tabla"))
        b->elige("cmbTabla", 2);
    else if (accion == QLatin1String("tipo"))
        b->elige("cmbTipoSeguro", 4);
    else
        QTest::keyClicks(b->caja("txtEdad"), QStringLiteral("6"));
    QCOMPARE(b->caja("txtPlazoSeguro")->text(), QString());
    QVERIFY(b->caja("txtPlazoSeguro")->isEnabled());
}

void TestfrmEscenarios::comisionFallidaNoEscribeNada()
{
    b = std::make_unique<Banco>(true);
    GuardaEscenarioUno(b->base);
    b->abre();
    b->llena();
    b->elige("cmbTipoComision", 2);
    QTest::keyClicks(b->caja("txtTotalAños"), QStringLiteral("2"));
    b->celda(1, 1, QStringLiteral("50"));
    b->celda(1, 2, QStringLiteral("5"));
    b->celda(2, 1, QStringLiteral("60"));
    b->celda(2, 2, QStringLiteral("5"));
    b->boton("cmdAceptar")->click();

    QCOMPARE(b->base.dialogos.textos(), QStringList{QStringLiteral("el Porcentaje Prima debe ser decreciente")});
    QCOMPARE(b->base.dialogos.cajas.first().icono, Icono::Critico);
    QCOMPARE(b->cuenta(QStringLiteral("T_Escenario")), 1);
    QCOMPARE(b->cuenta(QStringLiteral("T_Comision")), 2);
    QCOMPARE(b->form->estado(), frmEscenarios::Estado::Nuevo);
    QCOMPARE(b->focoEn(), QStringLiteral("MSFlexGrid2"));
    QCOMPARE(b->comision()->row(), 2);
    QCOMPARE(b->comision()->col(), 1);
    QCOMPARE(b->escenarios()->row(), 1);
}

void TestfrmEscenarios::escalaDeVariosAnios()
{
    abre();
    b->llena();
    b->elige("cmbTipoComision", 2);
    QTest::keyClicks(b->caja("txtTotalAños"), QStringLiteral("3"));
    const QStringList porcentajes = {"50", "40", "40"};
    const QStringList tantos = {"5", "3.5", "2.5"};
    for (int i = 0; i < 3; ++i) {
        b->celda(i + 1, 1, porcentajes.at(i));
        b->celda(i + 1, 2, tantos.at(i));
    }
    b->boton("cmdAceptar")->click();
    QCOMPARE(b->base.dialogos.textos(), QStringList{});
    QCOMPARE(b->base.valor(QStringLiteral("select Total_Anios from T_Escenario")).toInt(), 3);
    QCOMPARE(b->base.valor(QStringLiteral("select Tipo_Comision from T_Escenario")).toInt(), 2);
    QCOMPARE(b->base.filas(QStringLiteral("select * from T_Comision order by Anio_Comision")),
             (QStringList{"1|1|50|5", "1|2|40|4", "1|3|40|2"}));
}

void TestfrmEscenarios::totalDeAniosFueraDeRango()
{
    abre();
    b->boton("cmdAlta")->click();
    b->elige("cmbTipoComision", 2);
    // Before the sum insured is known the total shapes nothing, so only the save can refuse it.
    QTest::keyClicks(b->caja("txtTotalAños"), QStringLiteral("99999"));
    QCOMPARE(b->comision()->rows(), 1);
    QTest::keyClicks(b->caja("txtEdad"), QStringLiteral("35"));
    QTest::keyClicks(b->caja("txtSumaAsegurada"), QStringLiteral("1000"));
    QTest::keyClicks(b->caja("txtInteresTecnico"), QStringLiteral("5"));
    QTest::keyClicks(b->caja("txtPlazoSeguro"), QStringLiteral("10"));
    QTest::keyClicks(b->caja("txtPlazoPago"), QStringLiteral("10"));
    QTest::keyClicks(b->caja("txtDescripcion"), QStringLiteral("d"));
    b->boton("cmdAceptar")->click();
    QCOMPARE(b->base.dialogos.textos(), QStringList{QStringLiteral("El total de años esta fuera del rango permitido")});
    QCOMPARE(b->base.dialogos.cajas.first().icono, Icono::Exclamacion);
    QCOMPARE(b->focoEn(), QStringLiteral("txtTotalAños"));
    QCOMPARE(b->cuenta(QStringLiteral("T_Escenario")), 0);
}

void TestfrmEscenarios::fallaAMitadNoDejaNada()
{
    abre();
    b->llena();
    b->elige("cmbTipoComision", 2);
    QTest::keyClicks(b->caja("txtTotalAños"), QStringLiteral("10"));
    for (int i = 1; i <= 10; ++i) {
        b->celda(i, 1, QStringLiteral("10"));
        b->celda(i, 2, QStringLiteral("1"));
    }
    // Year 10 cut back to 1: the second row of year 1 cannot be stored.
    b->celda(10, 0, QStringLiteral("\b"));
    b->boton("cmdAceptar")->click();

    QCOMPARE(b->base.dialogos.cajas.size(), 1);
    const QString texto = b->base.dialogos.cajas.first().texto;
    QVERIFY2(texto.startsWith(QStringLiteral("Rutina: cmdAceptar_Click\r\nError:")) &&
                 texto.contains(QStringLiteral("La fila viola una restricción de la tabla")),
             qPrintable(texto));
    QCOMPARE(b->base.dialogos.cajas.first().icono, Icono::Critico);
    QCOMPARE(b->cuenta(QStringLiteral("T_Escenario")), 0);
    QCOMPARE(b->cuenta(QStringLiteral("T_Comision")), 0);
    QCOMPARE(b->form->estado(), frmEscenarios::Estado::Nuevo);
}

void TestfrmEscenarios::muestraEscenarioPorClaves()
{
    b = std::make_unique<Banco>(true);
    GuardaEscenarioUno(b->base);
    b->abre();
    ClicCelda(b->escenarios(), 0, 2);
    QCOMPARE(b->caja("txtEdad")->text(), QString());

    ClicCelda(b->escenarios(), 1, 3);
    QCOMPARE(b->caja("txtEdad")->text(), QStringLiteral("40"));
    QCOMPARE(b->caja("txtSumaAsegurada")->text(), QStringLiteral("2000"));
    QCOMPARE(b->lista("cmbTipoSeguro")->claveActual(), 2);
    QCOMPARE(b->lista("cmbTipoComision")->claveActual(), 2);
    QCOMPARE(b->caja("txtInteresTecnico")->text(), QStringLiteral("4"));
    // "Tabla A" is both table 1 and table 3; the scenario's key decides.
    QCOMPARE(b->lista("cmbTabla")->claveActual(), 3);
    QCOMPARE(b->caja("txtPlazoSeguro")->text(), QStringLiteral("50"));
    QCOMPARE(b->caja("txtPlazoPago")->text(), QStringLiteral("20"));
    QCOMPARE(b->caja("txtDescripcion")->text(), QStringLiteral("Vida entera"));
    QCOMPARE(b->caja("txtTotalAños")->text(), QString());
    QCOMPARE(Filas(b->comision()), (QStringList{"Año Comisión|% Prima de Tarifa|0/00 Millar SA", "1|60|6", "2|30|3"}));
    QCOMPARE(b->escenarios()->row(), 1);
    QCOMPARE(b->escenarios()->col(), 3);
    QVERIFY(b->base.dialogos.cajas.isEmpty());
}

void TestfrmEscenarios::altaYCancelar()
{
    abre();
    b->boton("cmdAlta")->click();
    QCOMPARE(b->form->estado(), frmEscenarios::Estado::Nuevo);
    for (const char* n : {"cmdAlta", "cmdModificar", "cmdSalir", "cmdResultado"})
        QVERIFY2(!b->boton(n)->isEnabled(), n);
    QVERIFY(b->boton("cmdAceptar")->isEnabled());
    QVERIFY(b->boton("cmdCancelar")->isEnabled());
    for (const char* n : {"txtEdad", "txtSumaAsegurada", "txtInteresTecnico", "txtPlazoSeguro", "txtPlazoPago",
                          "txtDescripcion"})
        QVERIFY2(b->caja(n)->isEnabled(), n);
    QVERIFY(!b->caja("txtTotalAños")->isEnabled());
    QVERIFY(b->lista("cmbTipoComision")->isEnabled());
    QVERIFY(!b->escenarios()->isEnabled());
    QVERIFY(b->comision()->isEnabled());
    QCOMPARE(b->focoEn(), QStringLiteral("txtEdad"));
    // The first commission type was already selected; its reaction shaped the schedule anew.
    QCOMPARE(Filas(b->comision()), (QStringList{"Año comisión|% Prima de Tarifa|0/00 Millar SA", "1||"}));

    b->llena();
    b->elige("cmbTabla", 2);
    b->elige("cmbTipoComision", 2);
    b->boton("cmdCancelar")->click();
    QCOMPARE(b->form->estado(), frmEscenarios::Estado::Navegando);
    for (const char* n : {"txtEdad", "txtSumaAsegurada", "txtInteresTecnico", "txtPlazoSeguro", "txtPlazoPago",
                          "txtDescripcion", "txtTotalAños"}) {
        QVERIFY2(!b->caja(n)->isEnabled(), n);
        QVERIFY2(b->caja(n)->text().isEmpty(), n);
    }
    QCOMPARE(b->lista("cmbTabla")->currentIndex(), 0);
    QCOMPARE(b->lista("cmbTipoComision")->claveActual(), 1);
    QVERIFY(!b->lista("cmbTabla")->isEnabled());
    QVERIFY(b->escenarios()->isEnabled());
    QVERIFY(!b->comision()->isEnabled());
    QCOMPARE(b->comision()->rows(), 2);
    QVERIFY(b->boton("cmdAlta")->isEnabled());
    QVERIFY(!b->boton("cmdAceptar")->isEnabled());
    QVERIFY(b->base.dialogos.cajas.isEmpty());
    QCOMPARE(b->cuenta(QStringLiteral("T_Escenario")), 0);
}

void TestfrmEscenarios::modificarYAceptarAgregaCopia()
{
    b = std::make_unique<Banco>(true);
    GuardaEscenarioUno(b->base);
    b->abre();
    ClicCelda(b->escenarios(), 1, 0);
    b->boton("cmdModificar")->click();
    QCOMPARE(b->form->estado(), frmEscenarios::Estado::Copia);
    QVERIFY(!b->boton("cmdModificar")->isEnabled());
    QVERIFY(b->boton("cmdAceptar")->isEnabled());
    QVERIFY(!b->caja("txtEdad")->isEnabled());
    QVERIFY(b->escenarios()->isEnabled());
    b->boton("cmdAceptar")->click();

    QVERIFY(b->base.dialogos.cajas.isEmpty());
    // The total of years is not shown, so the copy holds 0; the original is untouched.
    QCOMPARE(b->base.filas(QStringLiteral("select * from T_Escenario order by Escenario")),
             (QStringList{"1|40|2000|2|2|4|3|50|20|Vida entera|2", "2|40|2000|2|2|4|3|50|20|Vida entera|0"}));
    QCOMPARE(b->base.filas(QStringLiteral("select * from T_Comision order by Escenario, Anio_Comision")),
             (QStringList{"1|1|60|6", "1|2|30|3", "2|1|60|6", "2|2|30|3"}));
    QCOMPARE(b->escenarios()->rows(), 3);
    QCOMPARE(b->escenarios()->row(), 2);
    QCOMPARE(b->form->estado(), frmEscenarios::Estado::Navegando);
}

void TestfrmEscenarios::salir()
{
    abre();
    b->boton("cmdSalir")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(b->principal.hija<frmEscenarios>(), nullptr);
    QVERIFY(b->principal.areaMdi()->subWindowList().isEmpty());
}

void TestfrmEscenarios::resultadoEnElEncabezadoNoHaceNada()
{
    b = std::make_unique<Banco>(true);
    GuardaEscenarioUno(b->base);
    b->base.sql(QStringLiteral("insert into T_DetalleMortalidad values (3, 0, 0.5)"));
    b->abre();
    QCOMPARE(b->escenarios()->row(), 0);
    QVERIFY(b->boton("cmdResultado")->isEnabled());
    b->boton("cmdResultado")->click();
    QVERIFY(b->base.dialogos.cajas.isEmpty());
    QCOMPARE(b->base.dialogos.relojMaximo, 0);
    QCOMPARE(b->cuenta(QStringLiteral("T_Conmutado")), 0);
    QCOMPARE(b->cuenta(QStringLiteral("T_Resultado")), 0);
    QCOMPARE(b->principal.hija<frmResultados>(), nullptr);
}

void TestfrmEscenarios::caminoCompleto()
{
    // A table of three ages, q = 0.1, 0.2, 1, and a second one the list must not lend its columns.
    b = std::make_unique<Banco>(false);
    b->base.sql(QStringLiteral("insert into C_TablaMortalidad values (1, 'Tres edades', 0, 2)"));
    b->base.sql(QStringLiteral("insert into C_TablaMortalidad values (2, 'Otra', 0, 2)"));
    const double q1[] = {0.1, 0.2, 1.0};
    const double q2[] = {0.5, 0.5, 1.0};
    for (int x = 0; x < 3; ++x) {
        b->base.sql(QStringLiteral("insert into T_DetalleMortalidad values (1, ?, ?)"), {x, q1[x]});
        b->base.sql(QStringLiteral("insert into T_DetalleMortalidad values (2, ?, ?)"), {x, q2[x]});
    }
    b->abre();

    // Term insurance at age 0 for 2 years paid in 2, rate 0, sum insured 1000, 50 % and 15 per
    // mille of commission in the first year.
    const QMap<QString, QString> escenario = {{"txtEdad", "0"},          {"txtInteresTecnico", "0"},
                                              {"txtPlazoSeguro", "2"},   {"txtPlazoPago", "2"},
                                              {"txtDescripcion", "Camino"}};
    b->llena(escenario, false);
    b->celda(1, 1, QStringLiteral("50"));
    b->celda(1, 2, QStringLiteral("15"));
    b->boton("cmdAceptar")->click();
    QCOMPARE(b->base.dialogos.textos(), QStringList{});
    QCOMPARE(b->base.filas(QStringLiteral("select * from T_Escenario")), QStringList{"1|0|1000|1|1|0|1|2|2|Camino|0"});
    QCOMPARE(b->base.filas(QStringLiteral("select * from T_Comision")), QStringList{"1|1|50|15"});

    // A second scenario on the other table leaves that table in the list of tables; the list's
    // row then goes back to scenario 1 by keyboard, without showing it.
    b->llena(escenario, false);
    b->elige("cmbTabla", 2);
    QTest::keyClicks(b->caja("txtPlazoSeguro"), QStringLiteral("2"));
    b->boton("cmdAceptar")->click();
    QCOMPARE(b->base.dialogos.textos(), QStringList{});
    QCOMPARE(b->base.valor(QStringLiteral("select Tabla_Mortalidad from T_Escenario where Escenario = 2")).toInt(), 2);
    QTest::keyClick(b->escenarios(), Qt::Key_Up);
    QCOMPARE(b->escenarios()->row(), 1);
    QCOMPARE(b->lista("cmbTabla")->claveActual(), 2);

    b->boton("cmdResultado")->click();
    QCOMPARE(b->base.dialogos.reloj, 0);
    QVERIFY(b->base.dialogos.relojMaximo > 0);
    QCOMPARE(b->escenarios()->col(), 0);
    QCOMPARE(b->base.filas(QStringLiteral("select Tabla_Mortalidad, Interes_Tecnico, count(*) from T_Conmutado "
                                          "group by Tabla_Mortalidad, Interes_Tecnico")),
             QStringList{"1|0|3"});
    // The 20-year reference premium of the reserve lies beyond this table: its one box.
    QCOMPARE(b->base.dialogos.cajas.size(), 1);
    QVERIFY(b->base.dialogos.cajas.first().texto.startsWith(QStringLiteral("Funcion: fPrimaNivelada")));

    // By hand, at rate 0: D = l = 1, 0.9, 0.72; N = 2.62, 1.62, 0.72; M = 1, 0.9, 0.72.
    // P = (M0 - M2) / (N0 - N2) = 0.28 / 1.9 = 14/95; alpha = 0.015, beta = 0.5 * 1.9 = 0.95,
    // annuity 1.9 used as 2: PT = (0.015/2 + 14/95) / (1 - 0.95/2) = 1177/3990.
    // Risk premiums 0.1 and 0.18/0.9; reserve V1 = (P - 0.1) / 0.9 = 1/19, V2 < 0 kept as 0.
    QCOMPARE(b->base.filas(QStringLiteral("select * from T_Resultado order by Escenario, Anio_Poliza")),
             (QStringList{"1|0|0|0.1|0.147368421052632|0.294987468671679|0|0|0|0|0|0",
                          "1|1|1|0.2|0.147368421052632|0.294987468671679|0|0|0.0526315789473684|0|0|0",
                          "1|2|2|0.2|0.147368421052632|0.294987468671679|0|0|0|0|0|0"}));

    frmResultados* resultados = b->principal.hija<frmResultados>();
    QVERIFY(resultados);
    auto* lista = resultados->findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1"));
    auto* tabla = resultados->findChild<FlexGrid*>(QStringLiteral("MSFlexGrid2"));
    QCOMPARE(lista->textMatrix(lista->row(), 0), QStringLiteral("1"));
    QCOMPARE(FilaGrid(tabla, 0).first(), QStringLiteral("Año Póliza"));
    QCOMPARE(FilaGrid(tabla, 1),
             (QStringList{"0", "0", "0", "0.1", "0.147368421052632", "0.294987468671679"}));
    // Per 1000 insured: 147.368421... and 294.987468... to four decimals.
    QCOMPARE(resultados->findChild<QLabel*>(QStringLiteral("Label3"))->text(),
             QStringLiteral("Prima Nivelada Anual: 147.3684\r\nPrima Tarifa Anual:   294.9875"));
    QCOMPARE(resultados->findChild<QLabel*>(QStringLiteral("Label4"))->text(),
             QStringLiteral("Escenario 1: Temporal 2-2"));

    // A second run replaces the rows instead of adding to them.
    b->boton("cmdResultado")->click();
    QCOMPARE(b->cuenta(QStringLiteral("T_Resultado")), 3);
    QCOMPARE(b->principal.areaMdi()->subWindowList().size(), 2);
}

QTEST_MAIN(TestfrmEscenarios)
#include "TestfrmEscenarios.moc"
