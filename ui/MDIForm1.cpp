#include "ui/MDIForm1.h"

#include "actuarial/cartera/Cartera.h"
#include "core/Constantes.h"
#include "core/Dialogos.h"
#include "core/ImportaTabla.h"
#include "core/Inicializacion.h"
#include "ui/frmConmutados.h"
#include "ui/frmCurvas.h"
#include "ui/frmDetalle.h"
#include "ui/frmEscenarios.h"
#include "ui/frmHipotesis.h"
#include "ui/frmMejorEstimacion.h"
#include "ui/frmResultados.h"
#include "ui/frmResumenCartera.h"
#include "ui/frmTMDescripcion.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>

#include <algorithm>
#include <memory>

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
        {"mnuMejorEstimacion", "Mejor Estimación", Nivel::Submenu, nullptr},
        {"mnuHipotesis", "Hipótesis", Nivel::EnSubmenu, &MDIForm1::mnuHipotesis_Click},
        {"mnuCurvas", "Curvas de tipos", Nivel::EnSubmenu, &MDIForm1::mnuCurvas_Click},
        {"mnuValoracion", "Valoración", Nivel::EnSubmenu, &MDIForm1::mnuValoracion_Click},
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
        sub->resize(sub->size().boundedTo(area).expandedTo(sub->minimumSizeHint()));
        // A form given less width than it asks for may rearrange itself, and then be taller.
        const QSize tamano = sub->size();
        const int paso = 24 * static_cast<int>(m_area->subWindowList().size() - 1);
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

frmResultados* MDIForm1::abreResultados()
{
    if (frmResultados* abierto = hija<frmResultados>()) {
        abierto->recarga();
        activaHija(abierto);
        return abierto;
    }
    auto* resultados = new frmResultados(m_entorno);
    resultados->conectaVentana(agregaHija(resultados));
    return resultados;
}

frmResultados* MDIForm1::muestraResultados(std::int32_t escenario)
{
    frmResultados* resultados = abreResultados();
    const bool listado = resultados->seleccionaEscenario(escenario);
    resultados->LlenaResultado(escenario);
    if (listado)
        resultados->GeneraTitulo();
    return resultados;
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
    auto formulario = std::make_unique<frmConmutados>(m_entorno);
    if (!formulario->HayTablas())
        return;
    agregaHija(formulario.release());
}

void MDIForm1::mnuEscenarios_Click()
{
    if (activaHija(hija<frmEscenarios>()))
        return;
    // The form tells while it opens whether there is a mortality table to work with.
    auto formulario =
        std::make_unique<frmEscenarios>(m_entorno, [this](std::int32_t escenario) { muestraResultados(escenario); });
    if (!HayTablasMortalidad)
        return;
    agregaHija(formulario.release());
}

// Asks for the portfolio and the output file, values with a progress box that can be cancelled,
// and ends with a box of the summary, of the refused line, or of the cancel.
void MDIForm1::mnuCartera_Click()
{
    Dialogos& dialogos = m_entorno.dialogos;
    const QString filtro = QStringLiteral("Archivo de valores separados por comas|*.csv");
    const QString entrada =
        dialogos.abrirArchivo(m_entorno.carpetaAplicacion, filtro, QStringLiteral("Cartera de pólizas"));
    if (entrada.isEmpty())
        return;
    const QString salida =
        dialogos.guardarArchivo(m_entorno.carpetaAplicacion, filtro, QStringLiteral("Resultado de la cartera"));
    if (salida.isEmpty())
        return;
    ConCajaError(dialogos, QStringLiteral("Rutina: mnuCartera_Click"), [&] {
        std::unique_ptr<Dialogos::Progreso> progreso =
            dialogos.progreso(QStringLiteral("Valorando la cartera..."), QFileInfo(entrada).size());
        const ResultadoCartera r =
            ValoraCartera(m_entorno.db, entrada, salida, [&](qint64 hecho, qint64) { return progreso->avanza(hecho); });
        progreso.reset();
        switch (r.estado) {
        case ResultadoCartera::Estado::Valorada:
            agregaHija(new frmResumenCartera(m_entorno, LeeCuadroCartera(m_entorno.db, r, entrada, salida)));
            dialogos.mensaje(ResumenCartera(r, true).join(QStringLiteral("\r\n")), Dialogos::Botones::Aceptar,
                             Dialogos::Icono::Informacion);
            break;
        case ResultadoCartera::Estado::Rechazada:
            dialogos.mensaje(r.rechazo, Dialogos::Botones::Aceptar, Dialogos::Icono::Exclamacion);
            break;
        case ResultadoCartera::Estado::Cancelada:
            dialogos.mensaje(QStringLiteral("Valoración de la cartera cancelada"), Dialogos::Botones::Aceptar,
                             Dialogos::Icono::Informacion);
            break;
        }
    });
}

void MDIForm1::mnuHipotesis_Click()
{
    if (!activaHija(hija<frmHipotesis>()))
        agregaHija(new frmHipotesis(m_entorno));
}

void MDIForm1::mnuCurvas_Click()
{
    if (!activaHija(hija<frmCurvas>()))
        agregaHija(new frmCurvas(m_entorno));
}

void MDIForm1::mnuValoracion_Click()
{
    if (!activaHija(hija<frmMejorEstimacion>()))
        agregaHija(new frmMejorEstimacion(m_entorno));
}

void MDIForm1::mnuInicializar_Click()
{
    if (!Inizializar(m_entorno))
        return;
    // The rows the open forms list are gone: a form left open would offer a deleted scenario or
    // table, and the detail editor would store qx for a table that no longer exists.
    if (auto* escenarios = hija<frmEscenarios>())
        escenarios->CierraSinGuardar();
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
    // The questions come before anything closes, so a Cancel keeps everything open: first the
    // scenario being entered (its Yes stores it, its No drops it, and the form stays until all
    // close), then the detail editor, a window of its own that goes with the main window, as the
    // connection it works with is about to close.
    if (auto* escenarios = hija<frmEscenarios>(); escenarios && !escenarios->PuedeCerrar()) {
        evento->ignore();
        return;
    }
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
