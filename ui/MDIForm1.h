#pragma once

#include "core/Entorno.h"

#include <QMainWindow>
#include <QPointer>

class QMdiArea;
class QMdiSubWindow;

namespace valvida {

class frmDetalle;
class frmResultados;

/*!
 * The main window: a multiple-document window holding the forms as child windows, its menu,
 * the import of a table and the initialisation of the system. Closing it asks about a scenario
 * being entered, closes the detail editor (which may ask about unsaved qx), the child windows, and
 * then the connection; a Cancel to either question keeps everything open. After the
 * initialisation empties the tables, every form is closed without a question.
 */
class MDIForm1 : public QMainWindow
{
    Q_OBJECT

  public:
    MDIForm1(Entorno entorno, QWidget* parent = nullptr);
    ~MDIForm1() override;

    Entorno& entorno() { return m_entorno; }
    QMdiArea* areaMdi() const { return m_area; }

    //! The child window holding a widget of type F, if one is open (one instance per form).
    template <class F> F* hija() const;

    //! Brings an open child form forward; false when it is not open (a null form).
    bool activaHija(QWidget* formulario);

    //! Puts a form into the window as a child, shown and active.
    QMdiSubWindow* agregaHija(QWidget* formulario);

    //! The detail editor, a window of its own beside the main window, when it is open.
    QWidget* ventanaDetalle() const { return m_detalle; }
    void fijaVentanaDetalle(QWidget* ventana) { m_detalle = ventana; }

    //! Opens the detail editor, or brings forward the one already open (menu and catalogue alike).
    frmDetalle* muestraDetalle();

    //! The results form, brought to the front with its list read again, or a new one.
    frmResultados* abreResultados();
    //! The results form showing scenario `escenario`: its rows, charts and, when listed, its title.
    frmResultados* muestraResultados(std::int32_t escenario);

  public slots:
    void mnuTablaDescripciones_Click();
    void mnuTablaDetalle_Click();
    void mnuTablaExcel_Click();
    void mnuConmutados_Click();
    void mnuEscenarios_Click();
    void mnuCartera_Click();
    void mnuHipotesis_Click();
    void mnuCurvas_Click();
    void mnuValoracion_Click();
    void mnuInicializar_Click();
    void mnuSalir_Click();

  protected:
    void closeEvent(QCloseEvent* evento) override;

  private:
    void construyeMenu();
    QList<QWidget*> formulariosHijos() const;

    Entorno m_entorno;
    QMdiArea* m_area;
    QPointer<QWidget> m_detalle;
};

template <class F> F* MDIForm1::hija() const
{
    for (QWidget* w : formulariosHijos()) {
        if (auto* f = qobject_cast<F*>(w))
            return f;
    }
    return nullptr;
}

} // namespace valvida
