#include "ui/MDIForm1.h"

#include "actuarial/almacen/Cartera.h"
#include "core/Constantes.h"
#include "core/Dialogos.h"
#include "core/ImportaTabla.h"
#include "core/Inicializacion.h"
#include "ui/frmConmutados.h"
#include "ui/frmDetalle.h"
#include "ui/frmEscenarios.h"
#include "ui/frmTMDescripcion.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

#include <algorithm>

namespace valvida {

MDIForm1::MDIForm1(Entorno entorno, QWidget* parent)
    : QMainWindow(parent)
    , m_entorno(std::move(entorno))
    , m_area(new QMdiArea(this))
{
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(TituloAplicacion);
    m_area->setObjectName(QStringLiteral("areaMdi"));
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_area);
    construyeMenu();
    resize(1100, 760);
}

MDIForm1::~MDIForm1() = default;

void MDIForm1::construyeMenu()
{
    struct Entrada
    {
        const char* nombre;
        const char* titulo;
        void (MDIForm1::*accion)();
    };
    QMenuBar* barra = menuBar();

    QMenu* tablas = barra->addMenu(QStringLiteral("Tablas de mortalidad"));
    tablas->menuAction()->setObjectName(QStringLiteral("mnuTablas"));
    const Entrada enTablas[] = {
        {"mnuTablaDescripciones", "Descripciones Mortalidad", &MDIForm1::mnuTablaDescripciones_Click},
        {"mnuTablaDetalle", "Detalle Mortalidad", &MDIForm1::mnuTablaDetalle_Click},
        {"mnuTablaExcel", "Cargar Tablas Excel", &MDIForm1::mnuTablaExcel_Click},
    };
    for (const Entrada& e : enTablas) {
        QAction* a = tablas->addAction(QString::fromUtf8(e.titulo));
        a->setObjectName(QString::fromLatin1(e.nombre));
        connect(a, &QAction::triggered, this, e.accion);
    }

    const Entrada arriba[] = {
        {"mnuConmutados", "Conmutados", &MDIForm1::mnuConmutados_Click},
        {"mnuEscenarios", "Escenarios", &MDIForm1::mnuEscenarios_Click},
        {"mnuCartera", "Cartera", &MDIForm1::mnuCartera_Click},
        {"Vacio3", "", nullptr},
        {"Vacio2", "", nullptr},
        {"Vacio1", "", nullptr},
        {"mnuInicializar", "Inicializar Sistema", &MDIForm1::mnuInicializar_Click},
        {"mnuSalir", "Salir", &MDIForm1::mnuSalir_Click},
    };
    for (const Entrada& e : arriba) {
        // The three blank entries only put space between "Escenarios" and "Inicializar Sistema".
        QAction* a = barra->addAction(e.accion ? QString::fromUtf8(e.titulo) : QStringLiteral("    "));
        a->setObjectName(QString::fromLatin1(e.nombre));
        if (e.accion)
            connect(a, &QAction::triggered, this, e.accion);
        else
            a->setEnabled(false);
    }
}

QList<QWidget*> MDIForm1::formulariosHijos() const
{
    QList<QWidget*> formularios;
    for (QMdiSubWindow* sub : m_area->subWindowList()) {
        if (sub->widget())
            formularios << sub->widget();
    }
    return formularios;
}

QMdiSubWindow* MDIForm1::agregaHija(QWidget* formulario)
{
    formulario->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow* sub = m_area->addSubWindow(formulario);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(formulario->windowTitle());
    formulario->show();
    sub->show();
    // Each new form opens in cascade from the top left, whole within the main window's area,
    // rather than where the free space happens to be (often half out of sight).
    const QSize area = m_area->viewport()->size();
    if (area.isValid() && !area.isEmpty()) {
        const QSize tamano = sub->size().boundedTo(area);
        const int paso = 24 * static_cast<int>(m_area->subWindowList().size() - 1);
        sub->resize(tamano);
        sub->move(std::clamp(paso, 0, std::max(0, area.width() - tamano.width())),
                  std::clamp(paso, 0, std::max(0, area.height() - tamano.height())));
    }
    m_area->setActiveSubWindow(sub);
    return sub;
}

bool MDIForm1::activaHija(QWidget* formulario)
{
    if (!formulario)
        return false;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(formulario->parentWidget())) {
        sub->showNormal();
        sub->mdiArea()->setActiveSubWindow(sub);
    }
    return true;
}

void MDIForm1::mnuTablaDescripciones_Click()
{
    if (activaHija(hija<frmTMDescripcion>()))
        return;
    agregaHija(new frmTMDescripcion(m_entorno, [this] { muestraDetalle(); }));
}

frmDetalle* MDIForm1::muestraDetalle()
{
    auto* detalle = qobject_cast<frmDetalle*>(m_detalle.data());
    if (!detalle) {
        detalle = new frmDetalle(m_entorno);
        detalle->setAttribute(Qt::WA_DeleteOnClose);
        fijaVentanaDetalle(detalle);
    }
    detalle->show();
    detalle->raise();
    detalle->activateWindow();
    return detalle;
}

void MDIForm1::mnuTablaDetalle_Click()
{
    muestraDetalle();
}

void MDIForm1::mnuTablaExcel_Click()
{
    RelojArena reloj(m_entorno.dialogos);
    const QString archivo = m_entorno.dialogos.abrirArchivo(m_entorno.carpetaAplicacion,
                                                            QStringLiteral("Archivo de valores separados por comas|*.csv"));
    if (archivo.isEmpty())
        return;
    ImportaTabla(m_entorno, archivo);
}

void MDIForm1::mnuConmutados_Click()
{
    if (activaHija(hija<frmConmutados>()))
        return;
    // Without mortality tables the form has said so at its load and is not kept.
    auto* formulario = new frmConmutados(m_entorno);
    if (!formulario->HayTablas()) {
        delete formulario;
        return;
    }
    agregaHija(formulario);
}

void MDIForm1::mnuEscenarios_Click()
{
    if (activaHija(hija<frmEscenarios>()))
        return;
    // The form tells while it opens whether there is a mortality table to work with.
    auto* formulario = new frmEscenarios(*this);
    if (!HayTablasMortalidad) {
        delete formulario;
        return;
    }
    agregaHija(formulario);
}

void MDIForm1::mnuCartera_Click()
{
    ValoraCarteraElegida(m_entorno);
}

void MDIForm1::mnuInicializar_Click()
{
    Inizializar(m_entorno);
}

void MDIForm1::mnuSalir_Click()
{
    close();
}

void MDIForm1::closeEvent(QCloseEvent* evento)
{
    m_area->closeAllSubWindows();
    if (!m_area->subWindowList().isEmpty()) {
        evento->ignore();
        return;
    }
    // The detail editor is a window of its own; it goes with the main window, as the
    // connection it works with is about to close.
    if (m_detalle && !m_detalle->close()) {
        evento->ignore();
        return;
    }
    m_entorno.db.close();
    evento->accept();
}

} // namespace valvida
