#include "core/Constantes.h"
#include "support/BaseTemporal.h"
#include "support/PruebaUi.h"
#include "ui/ComboLista.h"
#include "ui/FlexGrid.h"
#include "ui/MDIForm1.h"
#include "ui/frmEscenarios.h"
#include "ui/frmResultados.h"

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTest>

#include <functional>

using namespace valvida;
using prueba::ClicCelda;
using prueba::FilaGrid;
using prueba::FilasGrid;
using Icono = Dialogos::Icono;
using Cambios = QMap<QString, QString>;

namespace {

// The form's controls in tab order; also the order in which enabled controls are listed.
const QStringList Orden = {
    "MSFlexGrid1",    "txtEdad",      "txtSumaAsegurada", "cmbTabla",     "txtInteresTecnico", "cmbTipoSeguro",
    "txtPlazoSeguro", "txtPlazoPago", "cmbTipoComision",  "txtTotalAños", "txtDescripcion",    "MSFlexGrid2",
    "cmdResultado",   "cmdAlta",      "cmdModificar",     "cmdAceptar",   "cmdCancelar",       "cmdSalir"};
const QStringList Navegando = {"MSFlexGrid1", "cmdResultado", "cmdAlta", "cmdModificar", "cmdSalir"};
const QStringList Nuevo = {"txtEdad",        "txtSumaAsegurada", "cmbTabla",     "txtInteresTecnico",
                           "cmbTipoSeguro",  "txtPlazoSeguro",   "txtPlazoPago", "cmbTipoComision",
                           "txtDescripcion", "MSFlexGrid2",      "cmdAceptar",   "cmdCancelar"};

// The main window on a real database, the scenario form opened from its menu. Tables A (ages 20
// to 100) and B (0 to 60); with `escenarioUno` also table 3, described "Tabla A" as well, and
// scenario 1 on it: whole life, two commission years.
struct Banco
{
    explicit Banco(bool conTablas = true, bool escenarioUno = false)
    {
        if (conTablas)
            base.sql(
                QStringLiteral("insert into C_TablaMortalidad values (1, 'Tabla A', 20, 100), (2, 'Tabla B', 0, 60)"));
        if (escenarioUno) {
            base.sql(QStringLiteral("insert into C_TablaMortalidad values (3, 'Tabla A', 0, 90)"));
            base.sql(
                QStringLiteral("insert into T_Escenario values (1, 40, 2000, 2, 2, 4, 3, 50, 20, 'Vida entera', 2)"));
            base.sql(QStringLiteral("insert into T_Comision values (1, 1, 60, 6), (1, 2, 30, 3)"));
        }
    }

    void abre()
    {
        principal.show();
        QVERIFY(QTest::qWaitForWindowExposed(&principal));
        principal.mnuEscenarios_Click();
        form = principal.hija<frmEscenarios>();
    }

    template <class T = QWidget> T* w(const QString& nombre) const
    {
        T* hallado = form->findChild<T*>(nombre);
        if (!hallado)
            qFatal("no existe el control %s", qPrintable(nombre));
        return hallado;
    }
    QLineEdit* caja(const char* nombre) const { return w<QLineEdit>(QString::fromUtf8(nombre)); }
    ComboLista* lista(const char* nombre) const { return w<ComboLista>(QString::fromUtf8(nombre)); }
    FlexGrid* escenarios() const { return w<FlexGrid>(QStringLiteral("MSFlexGrid1")); }
    FlexGrid* comision() const { return w<FlexGrid>(QStringLiteral("MSFlexGrid2")); }
    QString foco() const { return form->focusWidget() ? form->focusWidget()->objectName() : QString(); }
    void pulsa(const char* nombre) const { w<QPushButton>(QString::fromLatin1(nombre))->click(); }
    void elige(const char* nombre, int clave) { lista(nombre)->setCurrentIndex(lista(nombre)->findData(clave)); }
    int cuenta(const char* tabla) const { return base.valor(QStringLiteral("select count(*) from ") + tabla).toInt(); }

    QStringList habilitados() const
    {
        QStringList r;
        for (const QString& n : Orden)
            if (w(n)->isEnabled())
                r << n;
        return r;
    }

    void celda(int fila, int col, const QString& teclas)
    {
        comision()->setRow(fila);
        comision()->setCol(col);
        QTest::keyClicks(comision(), teclas);
    }

    //! A schedule of several years (commission type 2), one row per percentage.
    void escala(const QStringList& porcentajes, const QStringList& tantos)
    {
        elige("cmbTipoComision", 2);
        QTest::keyClicks(caja("txtTotalAños"), QString::number(porcentajes.size()));
        for (int i = 0; i < porcentajes.size(); ++i) {
            celda(i + 1, 1, porcentajes.at(i));
            celda(i + 1, 2, tantos.at(i));
        }
    }

    //! "Alta" and a valid scenario: age 35, sum insured 1000, table A, 5.5 %, term insurance of
    //! 10 years paid in 10, 50 % and 5 per mille in the first year. `cambios` replaces values.
    void llena(const Cambios& cambios = {}, bool conComision = true)
    {
        pulsa("cmdAlta");
        const Cambios normal = {
            {"txtEdad", "35"},        {"txtSumaAsegurada", "1000"}, {"txtInteresTecnico", "5.5"},
            {"txtPlazoSeguro", "10"}, {"txtPlazoPago", "10"},       {"txtDescripcion", "Mi escenario"}};
        // Pasted, as a negative rate can only arrive (a lone "-" is not a number and goes).
        for (const char* n :
             {"txtEdad", "txtSumaAsegurada", "txtInteresTecnico", "txtPlazoSeguro", "txtPlazoPago", "txtDescripcion"})
            caja(n)->insert(cambios.value(QString::fromLatin1(n), normal.value(QString::fromLatin1(n))));
        if (conComision) {
            celda(1, 1, QStringLiteral("50"));
            celda(1, 2, QStringLiteral("5"));
        }
    }

    prueba::BaseTemporal base;
    MDIForm1 principal{base.entorno()};
    frmEscenarios* form = nullptr;
};

} // namespace

class TestfrmEscenarios : public QObject
{
    Q_OBJECT

  private slots:
    void cleanup() { b.reset(); }

    void sinTablasNoQuedaAbierto();
    void escenarioGuardado();
    void disposicion();
    void altaCancelarYNumeros();
    void comprobaciones_data();
    void comprobaciones();
    void plazoDelSeguro();
    void comisionFallidaNoEscribeNada();
    void totalDeAniosFueraDeRango();
    void fallaAMitadNoDejaNada();
    void caminoCompleto();

  private:
    void abre(bool conTablas = true, bool escenarioUno = false)
    {
        b = std::make_unique<Banco>(conTablas, escenarioUno);
        b->abre();
    }
    std::unique_ptr<Banco> b;
};

void TestfrmEscenarios::sinTablasNoQuedaAbierto()
{
    abre(false);
    QCOMPARE(b->form, nullptr);
    QVERIFY(!HayTablasMortalidad);
    QCOMPARE(b->base.dialogos.textos(), QStringList{"No existen registros en Tabla mortalidad"});
    QCOMPARE(b->base.dialogos.cajas.first().icono, Icono::Exclamacion);
    QCOMPARE(b->base.dialogos.cajas.first().titulo, TituloAplicacion);
    QVERIFY(b->principal.areaMdi()->subWindowList().isEmpty());
}

void TestfrmEscenarios::escenarioGuardado()
{
    abre(true, true);
    QVERIFY(HayTablasMortalidad);
    QCOMPARE(b->form->windowTitle(), QStringLiteral("Escenarios"));
    QCOMPARE(FilasGrid(b->escenarios(), true),
             (QStringList{"Escenario|Edad|Suma Asegurada|Tipo Seguro|Tipo Comision|Interes Técnico|Tabla Mortalidad|"
                          "Plazo Seguro|Plazo Pago|Descripción",
                          "1|40|2000|Vida Entera|Comisión varios años|4|Tabla A|50|20|Vida entera"}));
    QCOMPARE(FilasGrid(b->comision(), true), (QStringList{"Año Comisión|% Prima de Tarifa|0/00 Millar SA", "1||"}));
    QCOMPARE(b->lista("cmbTabla")->count(), 3);
    QCOMPARE(b->habilitados(), Navegando);
    QStringList orden;
    QWidget* w = b->escenarios();
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && Orden.contains(w->objectName()))
            orden << w->objectName();
        w = w->nextInFocusChain();
    } while (w != b->escenarios() && orden.size() < Orden.size());
    QCOMPARE(orden, Orden);
    b->principal.mnuEscenarios_Click(); // the same form comes forward
    QCOMPARE(b->principal.areaMdi()->subWindowList().size(), 1);

    // "Resultado" and a click on the header row do nothing.
    b->base.sql(QStringLiteral("insert into T_DetalleMortalidad values (3, 0, 0.5)"));
    b->pulsa("cmdResultado");
    QCOMPARE(b->base.dialogos.relojMaximo, 0);
    QCOMPARE(b->cuenta("T_Conmutado") + b->cuenta("T_Resultado"), 0);
    QCOMPARE(b->principal.hija<frmResultados>(), nullptr);
    ClicCelda(b->escenarios(), 0, 2);
    QCOMPARE(b->caja("txtEdad")->text(), QString());

    ClicCelda(b->escenarios(), 1, 3);
    QStringList cajas;
    for (const char* n : {"txtEdad", "txtSumaAsegurada", "txtInteresTecnico", "txtPlazoSeguro", "txtPlazoPago",
                          "txtDescripcion", "txtTotalAños"})
        cajas << b->caja(n)->text();
    QCOMPARE(cajas, (QStringList{"40", "2000", "4", "50", "20", "Vida entera", ""}));
    QCOMPARE(b->lista("cmbTipoSeguro")->claveActual(), 2);
    QCOMPARE(b->lista("cmbTipoComision")->claveActual(), 2);
    QCOMPARE(b->lista("cmbTabla")->claveActual(), 3); // "Tabla A" twice: the stored key decides
    QCOMPARE(FilasGrid(b->comision(), true),
             (QStringList{"Año Comisión|% Prima de Tarifa|0/00 Millar SA", "1|60|6", "2|30|3"}));
    QCOMPARE(b->escenarios()->row(), 1);
    QCOMPARE(b->escenarios()->col(), 3);

    // Modificar keeps the fields disabled (the commission type left its total box enabled);
    // Aceptar stores a copy with a new number and total 0, since the total is not shown.
    b->pulsa("cmdModificar");
    QCOMPARE(b->habilitados(), (QStringList{"MSFlexGrid1", "txtTotalAños", "cmdAceptar", "cmdCancelar"}));
    b->pulsa("cmdAceptar");
    QCOMPARE(b->base.filas(QStringLiteral("select * from T_Escenario order by Escenario")),
             (QStringList{"1|40|2000|2|2|4|3|50|20|Vida entera|2", "2|40|2000|2|2|4|3|50|20|Vida entera|0"}));
    QCOMPARE(b->base.filas(QStringLiteral("select * from T_Comision order by Escenario, Anio_Comision")),
             (QStringList{"1|1|60|6", "1|2|30|3", "2|1|60|6", "2|2|30|3"}));
    QCOMPARE(b->escenarios()->row(), 2);
    QCOMPARE(b->habilitados(), Navegando);
    QVERIFY(b->base.dialogos.cajas.isEmpty());

    b->pulsa("cmdSalir");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(b->principal.areaMdi()->subWindowList().isEmpty());
}

void TestfrmEscenarios::disposicion()
{
    abre();
    // The drawing in twips, scaled by one factor: x, y, and the width and height it gives.
    // clang-format off
    const struct { const char* control; int x, y, ancho, alto; } dibujo[] = {
        {"MSFlexGrid1", 120, 120, 11055, 2295}, {"Frame1", 120, 2520, 7335, 3015}, {"Frame3", 7560, 2520, 3735, 3735},
        {"Frame2", 120, 5520, 7335, 735}, {"MSFlexGrid2", 120, 600, 3495, 3015}, {"lblComision", 240, 240, 3255, 0},
        {"cmdResultado", 210, 240, 975, 375}, {"cmdAlta", 1650, 240, 975, 375}, {"cmdModificar", 2730, 240, 975, 375},
        {"cmdAceptar", 3810, 240, 975, 375}, {"cmdCancelar", 4890, 240, 975, 375}, {"cmdSalir", 5970, 240, 975, 375},
        {"txtEdad", 1440, 240, 0, 0}, {"txtSumaAsegurada", 1440, 600, 0, 0}, {"cmbTabla", 1440, 960, 3735, 0},
        {"txtInteresTecnico", 1440, 1320, 0, 0}, {"cmbTipoSeguro", 1440, 1680, 0, 0}, {"lblEdad", 120, 240, 0, 0},
        {"txtPlazoSeguro", 4080, 1680, 735, 0}, {"txtPlazoPago", 6240, 1680, 735, 0}, {"txtTotalAños", 4080, 2040, 735, 0},
        {"cmbTipoComision", 1440, 2040, 0, 0}, {"txtDescripcion", 2280, 2520, 4935, 0}, {"lblPlazoSeguro", 2880, 1680, 0, 0},
    };
    // clang-format on
    const double k = b->escenarios()->width() / 11055.0;
    QVERIFY(k >= 1.0 / 15.0 - 0.001);
    auto cerca = [k](int pixeles, int twips) { return qAbs(pixeles - twips * k) <= 1.0; };
    for (const auto& d : dibujo) {
        const QWidget* c = b->w(QString::fromUtf8(d.control));
        QVERIFY2(cerca(c->x(), d.x) && cerca(c->y(), d.y), d.control);
        QVERIFY2((d.ancho == 0 || cerca(c->width(), d.ancho)) && (d.alto == 0 || cerca(c->height(), d.alto)),
                 d.control);
    }
    // The client area holds the commission frame with the margin the list keeps on the left.
    QVERIFY(cerca(b->form->width(), 7560 + 3735 + 120) && cerca(b->form->height(), 6315));

    // Nothing in the entry frame overlaps, and every label shows its whole text (Label6 its
    // longer one too).
    QStringList textos;
    const QList<QWidget*> hijos =
        b->w(QStringLiteral("Frame1"))->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* c : hijos) {
        for (QWidget* otro : hijos)
            QVERIFY2(c == otro || !c->geometry().intersects(otro->geometry()), qPrintable(c->objectName()));
        if (auto* l = qobject_cast<QLabel*>(c)) {
            textos << l->text();
            const QString mas = l == b->w(QStringLiteral("Label6")) ? QStringLiteral("Meses a Cubrir:") : l->text();
            QVERIFY2(l->fontMetrics().horizontalAdvance(mas) <= l->width(), qPrintable(mas));
            QCOMPARE(l->alignment().testFlag(Qt::AlignRight), l->x() > b->caja("txtEdad")->x());
        }
    }
    QCOMPARE(textos, (QStringList{"Edad:", "Suma Asegurada:", "Tabla Mortalidad:", "%Interes Técnico:", "Tipo Seguro:",
                                  "Plazo Seguro:", "Plazo Pago:", "Tipo Comisión:", "Total de Años:",
                                  "Descripcion del Escenario:"}));
    QCOMPARE(b->w<QLabel>(QStringLiteral("lblComision"))->text(), QStringLiteral("Comision"));
    QStringList botones;
    for (const QString& n : Orden.mid(12))
        botones << b->w<QPushButton>(n)->text();
    QCOMPARE(botones, (QStringList{"&Resultado", "&Alta", "&Modificar", "A&ceptar", "Ca&ncelar", "&Salir"}));
}

void TestfrmEscenarios::altaCancelarYNumeros()
{
    abre();
    QVERIFY(!b->w(QStringLiteral("cmdResultado"))->isEnabled());
    b->pulsa("cmdAlta");
    QCOMPARE(b->habilitados(), Nuevo);
    QCOMPARE(b->foco(), QStringLiteral("txtEdad"));
    // The first commission type was already selected; its reaction shaped the schedule anew.
    QCOMPARE(FilasGrid(b->comision(), true), (QStringList{"Año comisión|% Prima de Tarifa|0/00 Millar SA", "1||"}));

    b->llena();
    b->elige("cmbTabla", 2);
    b->elige("cmbTipoComision", 2);
    b->pulsa("cmdCancelar");
    QCOMPARE(b->habilitados(), Navegando);
    for (const char* n : {"txtEdad", "txtSumaAsegurada", "txtInteresTecnico", "txtPlazoSeguro", "txtPlazoPago",
                          "txtDescripcion", "txtTotalAños"})
        QVERIFY2(b->caja(n)->text().isEmpty(), n);
    QCOMPARE(b->lista("cmbTabla")->currentIndex(), 0);
    QCOMPARE(b->lista("cmbTipoComision")->claveActual(), 1);
    QCOMPARE(b->comision()->rows(), 2);
    QCOMPARE(b->cuenta("T_Escenario"), 0);

    // The first scenario is number 1; the description keeps its quote, numbers stay as typed.
    b->llena({{"txtDescripcion", "Caso de O'Brien"}});
    b->pulsa("cmdAceptar");
    QCOMPARE(b->base.filas(QStringLiteral("select * from T_Escenario")),
             QStringList{"1|35|1000|1|1|5.5|1|10|10|Caso de O'Brien|0"});
    QCOMPARE(b->base.filas(QStringLiteral("select * from T_Comision")), QStringList{"1|1|50|5"});
    QCOMPARE(FilaGrid(b->escenarios(), 1).join(QLatin1Char('|')),
             QStringLiteral("1|35|1000|Temporal|Comisión primer año|5.5|Tabla A|10|10|Caso de O'Brien"));
    QCOMPARE(b->escenarios()->row(), 1);
    QCOMPARE(b->habilitados(), Navegando);

    // Later ones take the highest number stored + 1, gaps and all; a multi-year schedule keeps
    // its total and whole rates per mille, half to even (3.5 as 4, 2.5 as 2).
    b->base.sql(QStringLiteral("insert into T_Escenario values (7, 30, 500, 1, 1, 3, 2, 5, 5, 'otro', 0)"));
    b->llena({}, false);
    b->escala({"50", "40", "30.25"}, {"5", "3.5", "2.5"});
    b->pulsa("cmdAceptar");
    QCOMPARE(b->base.filas(QStringLiteral("select Escenario, Tipo_Comision, Total_Anios from T_Escenario where "
                                          "Escenario > 7")),
             QStringList{"8|2|3"});
    QCOMPARE(b->base.filas(QStringLiteral("select * from T_Comision where Escenario = 8 order by Anio_Comision")),
             (QStringList{"8|1|50|5", "8|2|40|4", "8|3|30.25|2"}));
    QCOMPARE(b->escenarios()->textMatrix(2, 0), QStringLiteral("8"));
    QCOMPARE(b->escenarios()->row(), 2);
    QVERIFY(b->base.dialogos.cajas.isEmpty());
}

void TestfrmEscenarios::comprobaciones_data()
{
    QTest::addColumn<Cambios>("cambios");
    QTest::addColumn<QString>("mensaje");
    QTest::addColumn<QString>("foco");
    QTest::addColumn<QString>("guardado");
    const QString nulo = QStringLiteral(" no puede ser nulo");
    const QString pago = QStringLiteral("El plazo de pago deber ser menor o igual al plazo de seguro");
    const QString meses = QStringLiteral("Los meses de vigor son entre 1 y 12");
    const QString interes = QStringLiteral("El interes técnico debera estar comprendido entre 0 y 100");
    const QString edad = QStringLiteral("La edad debe ser mayor a Edad Inicial de la tabla de mortalidad");
    // Refused: the message, the box that gets the focus; nothing stored. Accepted: the row stored.
    // clang-format off
    QTest::newRow("1") << Cambios{{"txtInteresTecnico", ""}} << "El interes técnico" + nulo << "txtInteresTecnico" << "";
    QTest::newRow("2") << Cambios{{"txtPlazoPago", ""}} << "El plazo de pago" + nulo << "txtPlazoPago" << "";
    QTest::newRow("3") << Cambios{{"txtPlazoSeguro", ""}} << "El plazo de seguro" + nulo << "txtPlazoSeguro" << "";
    QTest::newRow("4") << Cambios{{"txtSumaAsegurada", ""}} << "La suma asegurada" + nulo << "txtSumaAsegurada" << "";
    QTest::newRow("5") << Cambios{{"txtEdad", ""}} << "La edad" + nulo << "txtEdad" << "";
    QTest::newRow("6") << Cambios{{"txtDescripcion", ""}} << "La descripción no puede ser nula" << "txtDescripcion"
                       << "";
    QTest::newRow("7: 5 y 6") << Cambios{{"txtPlazoSeguro", "5"}, {"txtPlazoPago", "6"}} << pago << "txtPlazoPago" << "";
    QTest::newRow("8: 13") << Cambios{{"txtPlazoSeguro", "1"}, {"txtPlazoPago", "13"}} << meses << "txtPlazoPago" << "";
    QTest::newRow("8: 0") << Cambios{{"txtPlazoSeguro", "1"}, {"txtPlazoPago", "0"}} << meses << "txtPlazoPago" << "";
    QTest::newRow("9: -0.5") << Cambios{{"txtInteresTecnico", "-0.5"}} << interes << "txtInteresTecnico" << "";
    QTest::newRow("9: 100.5") << Cambios{{"txtInteresTecnico", "100.5"}} << interes << "txtInteresTecnico" << "";
    QTest::newRow("10: 19") << Cambios{{"txtEdad", "19"}} << edad << "txtEdad" << "";
    QTest::newRow("40000") << Cambios{{"txtEdad", "40000"}} << "La edad esta fuera del rango permitido" << "txtEdad"
                           << "";
    QTest::newRow("edad inicial") << Cambios{{"txtEdad", "20"}} << "" << "" << "1|20|1000|1|1|5.5|1|10|10";
    QTest::newRow("interés 0") << Cambios{{"txtInteresTecnico", "0"}} << "" << "" << "1|35|1000|1|1|0|1|10|10";
    QTest::newRow("interés 100") << Cambios{{"txtInteresTecnico", "100"}} << "" << "" << "1|35|1000|1|1|100|1|10|10";
    QTest::newRow("1 y 12") << Cambios{{"txtPlazoSeguro", "1"}, {"txtPlazoPago", "12"}} << "" << ""
                            << "1|35|1000|1|1|5.5|1|1|12";
    // clang-format on
}

void TestfrmEscenarios::comprobaciones()
{
    QFETCH(Cambios, cambios);
    QFETCH(QString, mensaje);
    QFETCH(QString, foco);
    QFETCH(QString, guardado);
    abre();
    b->llena(cambios);
    for (auto it = cambios.cbegin(); it != cambios.cend(); ++it)
        QCOMPARE(b->caja(qPrintable(it.key()))->text(), it.value());
    b->pulsa("cmdAceptar");
    QCOMPARE(b->base.dialogos.textos(), mensaje.isEmpty() ? QStringList() : QStringList{mensaje});
    QCOMPARE(
        b->base.filas(QStringLiteral("select Escenario, Edad, Suma_Asegurada, Tipo_Seguro, Tipo_Comision, "
                                     "Interes_Tecnico, Tabla_Mortalidad, Plazo_Seguro, Plazo_Pago from T_Escenario")),
        guardado.isEmpty() ? QStringList() : QStringList{guardado});
    if (mensaje.isEmpty())
        return;
    QCOMPARE(b->base.dialogos.cajas.first().icono, Icono::Exclamacion);
    QCOMPARE(b->base.dialogos.cajas.first().titulo, TituloAplicacion);
    QCOMPARE(b->foco(), foco);
    QCOMPARE(b->cuenta("T_Comision"), 0);
    QCOMPARE(b->habilitados(), Nuevo);
}

void TestfrmEscenarios::plazoDelSeguro()
{
    abre();
    b->pulsa("cmdAlta");
    QLineEdit* plazo = b->caja("txtPlazoSeguro");
    const QLabel* etiqueta = b->w<QLabel>(QStringLiteral("Label6"));
    // A one-year cover counts its payment in months; "10" and "1.0" are years.
    QTest::keyClicks(plazo, QStringLiteral("1"));
    QCOMPARE(etiqueta->text(), QStringLiteral("Meses a Cubrir:"));
    QTest::keyClicks(plazo, QStringLiteral("0"));
    QCOMPARE(etiqueta->text(), QStringLiteral("Plazo Pago:"));
    plazo->setText(QStringLiteral("1.0"));
    QCOMPARE(etiqueta->text(), QStringLiteral("Plazo Pago:"));
    QTest::keyClicks(plazo, QStringLiteral("x"));
    QCOMPARE(plazo->text(), QString());

    // Whole life runs to the table's last age: 100 - 35 on table A, 60 - 35 on table B.
    QTest::keyClicks(b->caja("txtEdad"), QStringLiteral("35"));
    b->elige("cmbTipoSeguro", 2);
    QCOMPARE(plazo->text(), QStringLiteral("65"));
    QVERIFY(!plazo->isEnabled());
    b->elige("cmbTabla", 2);
    QCOMPARE(plazo->text(), QStringLiteral("25"));
    b->elige("cmbTipoSeguro", 3);
    QCOMPARE(plazo->text(), QString());
    QVERIFY(plazo->isEnabled());

    // A term typed by hand goes with a new table, insurance type or age.
    const std::function<void()> cambios[] = {[this] { b->elige("cmbTabla", 1); },
                                             [this] { b->elige("cmbTipoSeguro", 4); },
                                             [this] { QTest::keyClicks(b->caja("txtEdad"), QStringLiteral("6")); }};
    for (const auto& cambio : cambios) {
        QTest::keyClicks(plazo, QStringLiteral("10"));
        QCOMPARE(plazo->text(), QStringLiteral("10"));
        cambio();
        QCOMPARE(plazo->text(), QString());
        QVERIFY(plazo->isEnabled());
    }
}

void TestfrmEscenarios::comisionFallidaNoEscribeNada()
{
    abre(true, true);
    b->llena({}, false);
    b->escala({"50", "60"}, {"5", "5"});
    b->pulsa("cmdAceptar");
    QCOMPARE(b->base.dialogos.textos(), QStringList{"el Porcentaje Prima debe ser decreciente"});
    QCOMPARE(b->cuenta("T_Escenario") + b->cuenta("T_Comision"), 1 + 2);
    QCOMPARE(b->form->estado(), frmEscenarios::Estado::Nuevo);
    QCOMPARE(b->escenarios()->row(), 1);
}

void TestfrmEscenarios::totalDeAniosFueraDeRango()
{
    abre();
    b->llena({{"txtSumaAsegurada", ""}}, false);
    b->elige("cmbTipoComision", 2);
    // Before the sum insured is known the total shapes nothing, so only the save can refuse it.
    QTest::keyClicks(b->caja("txtTotalAños"), QStringLiteral("99999"));
    QTest::keyClicks(b->caja("txtSumaAsegurada"), QStringLiteral("1000"));
    QCOMPARE(b->comision()->rows(), 1);
    b->pulsa("cmdAceptar");
    QCOMPARE(b->base.dialogos.textos(), QStringList{"El total de años esta fuera del rango permitido"});
    QCOMPARE(b->base.dialogos.cajas.first().icono, Icono::Exclamacion);
    QCOMPARE(b->foco(), QStringLiteral("txtTotalAños"));
    QCOMPARE(b->cuenta("T_Escenario"), 0);
}

void TestfrmEscenarios::fallaAMitadNoDejaNada()
{
    abre();
    b->llena({}, false);
    b->escala(QStringList(10, QStringLiteral("10")), QStringList(10, QStringLiteral("1")));
    // Year 10 cut back to 1: the second row of year 1 cannot be stored.
    b->celda(10, 0, QStringLiteral("\b"));
    b->pulsa("cmdAceptar");
    QCOMPARE(b->base.dialogos.cajas.size(), 1);
    const QString texto = b->base.dialogos.cajas.first().texto;
    QVERIFY2(texto.startsWith(QStringLiteral("Rutina: cmdAceptar_Click\r\nError:")) &&
                 texto.contains(QStringLiteral("La fila viola una restricción de la tabla")),
             qPrintable(texto));
    QCOMPARE(b->base.dialogos.cajas.first().icono, Icono::Critico);
    QCOMPARE(b->cuenta("T_Escenario") + b->cuenta("T_Comision"), 0);
    QCOMPARE(b->form->estado(), frmEscenarios::Estado::Nuevo);
}

void TestfrmEscenarios::caminoCompleto()
{
    // A table of three ages, q = 0.1, 0.2, 1, and a second one the list must not lend its columns.
    b = std::make_unique<Banco>(false);
    b->base.sql(QStringLiteral("insert into C_TablaMortalidad values (1, 'Tres edades', 0, 2), (2, 'Otra', 0, 2)"));
    b->base.sql(QStringLiteral("insert into T_DetalleMortalidad values (1, 0, 0.1), (1, 1, 0.2), (1, 2, 1), "
                               "(2, 0, 0.5), (2, 1, 0.5), (2, 2, 1)"));
    b->abre();

    // Term insurance at age 0 for 2 years paid in 2, rate 0, sum insured 1000, 50 % and 15 per
    // mille of commission in the first year.
    const Cambios escenario = {{"txtEdad", "0"},
                               {"txtInteresTecnico", "0"},
                               {"txtPlazoSeguro", "2"},
                               {"txtPlazoPago", "2"},
                               {"txtDescripcion", "Camino"}};
    b->llena(escenario, false);
    b->celda(1, 1, QStringLiteral("50"));
    b->celda(1, 2, QStringLiteral("15"));
    b->pulsa("cmdAceptar");

    // A second scenario on the other table leaves that table in the list of tables; the list's
    // row then goes back to scenario 1 by keyboard, without showing it.
    b->llena(escenario, false);
    b->elige("cmbTabla", 2);
    QTest::keyClicks(b->caja("txtPlazoSeguro"), QStringLiteral("2"));
    b->pulsa("cmdAceptar");
    QCOMPARE(b->base.valor(QStringLiteral("select Tabla_Mortalidad from T_Escenario where Escenario = 2")).toInt(), 2);
    QVERIFY(b->base.dialogos.cajas.isEmpty());
    QTest::keyClick(b->escenarios(), Qt::Key_Up);
    QCOMPARE(b->escenarios()->row(), 1);
    QCOMPARE(b->lista("cmbTabla")->claveActual(), 2);

    b->pulsa("cmdResultado");
    QCOMPARE(b->base.dialogos.reloj, 0);
    QVERIFY(b->base.dialogos.relojMaximo > 0);
    QCOMPARE(b->escenarios()->col(), 0);
    QCOMPARE(b->base.filas(QStringLiteral("select Tabla_Mortalidad, Interes_Tecnico, count(*) from T_Conmutado "
                                          "group by Tabla_Mortalidad, Interes_Tecnico")),
             QStringList{"1|0|3"});
    QVERIFY(b->base.dialogos.cajas.isEmpty());

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
    QCOMPARE(FilaGrid(tabla, 1), (QStringList{"0", "0", "0", "0.1", "0.147368421052632", "0.294987468671679"}));
    // Per 1000 insured: 147.368421... and 294.987468... to four decimals.
    QCOMPARE(resultados->findChild<QLabel*>(QStringLiteral("Label3"))->text(),
             QStringLiteral("Prima Nivelada Anual: 147.3684\r\nPrima Tarifa Anual:   294.9875"));
    QCOMPARE(resultados->findChild<QLabel*>(QStringLiteral("Label4"))->text(),
             QStringLiteral("Escenario 1: Temporal 2-2"));

    // A second run replaces the rows instead of adding to them.
    b->pulsa("cmdResultado");
    QCOMPARE(b->cuenta("T_Resultado"), 3);
    QCOMPARE(b->principal.areaMdi()->subWindowList().size(), 2);
}

QTEST_MAIN(TestfrmEscenarios)
#include "TestfrmEscenarios.moc"
