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
#include <QScreen>

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
    // The workspace takes most of the screen, so the forms open whole in it, at a large font too,
    // and it is never larger than the screen.
    if (const QScreen* pantalla = screen())
        resize(pantalla->availableGeometry().size() * 9 / 10);
}

MDIForm1::~MDIForm1() = default;

void MDIForm1::construyeMenu()
{
    enum class Nivel { Submenu, EnSubmenu, Arriba };
    struct Entrada
    {
        const char* nombre;
        const char* titulo;
        Nivel nivel;
        void (MDIForm1::*accion)();
    };
    // The menu in display order; a submenu's entries follow the entry that opens it. The blank
    // entries carry no action: they only put space between "Escenarios" and "Inicializar Sistema".
    static const Entrada menu[] = {
        {"mnuTablas", "Tablas de mortalidad", Nivel::Submenu, nullptr},
        {"mnuTablaDescripciones", "Descripciones Mortalidad", Nivel::EnSubmenu, &MDIForm1::mnuTablaDescripciones_Click},
        {"mnuTablaDetalle", "Detalle Mortalidad", Nivel::EnSubmenu, &MDIForm1::mnuTablaDetalle_Click},
        {"mnuTablaExcel", "Cargar Tablas Excel", Nivel::EnSubmenu, &MDIForm1::mnuTablaExcel_Click},
        {"mnuConmutados", "Conmutados", Nivel::Arriba, &MDIForm1::mnuConmutados_Click},
        {"mnuEscenarios", "Escenarios", Nivel::Arriba, &MDIForm1::mnuEscenarios_Click},
        {"mnuCartera", "Cartera", Nivel::Arriba, &MDIForm1::mnuCartera_Click},
        {"Vacio3", "", Nivel::Arriba, nullptr},
        {"Vacio2", "", Nivel::Arriba, nullptr},
        {"Vacio1", "", Nivel::Arriba, nullptr},
        {"mnuInicializar", "Inicializar Sistema", Nivel::Arriba, &MDIForm1::mnuInicializar_Click},
        {"mnuSalir", "Salir", Nivel::Arriba, &MDIForm1::mnuSalir_Click},
    };
    QMenuBar* barra = menuBar();
    QMenu* submenu = nullptr;
    for (const Entrada& e : menu) {
        QAction* a = nullptr;
        if (e.nivel == Nivel::Submenu) {
            submenu = barra->addMenu(QString::fromUtf8(e.titulo));
            a = submenu->menuAction();
        } else if (e.nivel == Nivel::EnSubmenu) {
            a = submenu->addAction(QString::fromUtf8(e.titulo));
        } else {
            a = barra->addAction(e.accion ? QString::fromUtf8(e.titulo) : QStringLiteral("    "));
            a->setEnabled(e.accion != nullptr);
        }
        a->setObjectName(QString::fromLatin1(e.nombre));
        if (e.accion)
            connect(a, &QAction::triggered, this, e.accion);
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
    // rather than where the free space happens to be (often half out of sight); but never below
    // the size its controls need: the area scrolls to a form larger than itself.
    const QSize area = m_area->viewport()->size();
    if (area.isValid() && !area.isEmpty()) {
        const QSize tamano = sub->size().boundedTo(area).expandedTo(sub->minimumSizeHint());
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
    const QString archivo = m_entorno.dialogos.abrirArchivo(
        m_entorno.carpetaAplicacion, QStringLiteral("Archivo de valores separados por comas|*.csv"));
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
    if (!Inizializar(m_entorno))
        return;
    // The rows the open forms list are gone: a form left open would offer a deleted scenario or
    // table, and the detail editor would store qx for a table that no longer exists.
    m_area->closeAllSubWindows();
    if (auto* detalle = qobject_cast<frmDetalle*>(m_detalle.data()))
        detalle->CierraSinGuardar();
}

void MDIForm1::mnuSalir_Click()
{
    close();
}

void MDIForm1::closeEvent(QCloseEvent* evento)
{
    // The detail editor is a window of its own; it goes with the main window, as the connection
    // it works with is about to close. It goes first: its question about unsaved qx may answer
    // Cancel, and then everything stays open.
    if (m_detalle && !m_detalle->close()) {
        evento->ignore();
        return;
    }
    m_area->closeAllSubWindows();
    if (!m_area->subWindowList().isEmpty()) {
        evento->ignore();
        return;
    }
    m_entorno.db.close();
    evento->accept();
}

} // namespace valvida
