#pragma once

#include "core/Rechazo.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>

class QLineEdit;
class QWidget;

namespace valvida {

struct Entorno;
class ComboLista;
class FlexGrid;

/*!
 * The commission schedule of a scenario: the grid `MSFlexGrid2`, one row per commission year
 * with the percentage of the tariff premium and the rate per mille of the sum insured. Its shape
 * follows the commission type and the total of years (`FilasPorTotal`); its rows are checked and
 * stored with the scenario (`CompruebaEscenario`, `GuardaEscenario`). Of the hosting form it
 * reads only the fields it is given; it owns the grid and the enabled state of `txtTotalAños`.
 */
class Comision : public QObject
{
    Q_OBJECT

  public:
    //! The form's fields the schedule reads.
    struct Campos
    {
        ComboLista* tipoComision;
        QLineEdit* totalAnios;
        QLineEdit* plazoPago;
    };

    //! Creates the grid inside `marco` and follows the commission type and the total of years.
    Comision(Entorno& entorno, QWidget* marco, Campos campos, QObject* parent = nullptr);

    FlexGrid* grid() const { return m_grid; }

    //! The header the form writes once its list is loaded, and the numbering.
    void EncabezadoInicial();

    //! Writes each row's year number into column 0.
    void Numera();

    //! The data rows' texts, as the save checks them.
    QList<QStringList> Celdas() const;

    //! Makes a refused cell current and puts the focus in the grid.
    void MuestraCelda(int fila, int columna);

    //! Drops the data rows: a new entry starts with no values typed.
    void Vacia();

    //! Shows a scenario's stored rows, each number in a text that reads back as it (`TextoCaja`);
    //! the header stays as it is.
    void MuestraFilas(const QList<AnioComision>& filas);

  public slots:
    void cmbTipoComision_Click();
    void txtTotalAnios_Change();
    void MSFlexGrid2_KeyPress(QChar tecla);
    void MSFlexGrid2_KeyUp(int tecla);
    void MSFlexGrid2_GotFocus();

  protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

  private:
    void Encabezado(const QString& c0, const QString& c1, const QString& c2);
    void Ajusta();
    //! Each rate per mille as the whole number stored, once its cell is left.
    void RedondeaTantos();

    Entorno& m_entorno;
    Campos m_campos;
    FlexGrid* m_grid;
};

} // namespace valvida
