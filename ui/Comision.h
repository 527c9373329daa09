#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>

class QLineEdit;
class QWidget;

namespace valvida {

struct Entorno;
class ComboLista;
class FlexGrid;

/*!
 * A typed number as a 16-bit whole number (half to even); nothing when it does not fit, so the
 * caller can refuse the field by name instead of failing half way through a save.
 */
std::optional<std::int16_t> Entero16Campo(const QString& texto);

/*!
 * The commission schedule of a scenario: the grid `MSFlexGrid2`, one row per commission year
 * with the percentage of the tariff premium and the rate per mille of the sum insured. Its shape
 * follows the commission type (type 1: one year; any other: the total of years typed, never
 * more than the payment term). Of the hosting form it reads only the fields it is given; it owns
 * the grid and the enabled state of `txtTotalAños`.
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
        QLineEdit* sumaAsegurada;
    };

    //! Creates the grid inside `marco` and follows the commission type and the total of years.
    Comision(Entorno& entorno, QWidget* marco, Campos campos, QObject* parent = nullptr);

    FlexGrid* grid() const { return m_grid; }

    //! The header the form writes once its list is loaded, and the numbering.
    void EncabezadoInicial();

    //! Writes each row's year number into column 0.
    void Numera();

    /*!
     * Checks every row before a save: years, percentages (0 to 100, non-increasing unless the
     * row before held 0) and rates per mille (non-increasing likewise). The first failure shows
     * its box, makes the offending cell current, puts the focus in the grid and gives false.
     */
    bool ValidaComision();

    /*!
     * Replaces the scenario's stored rows with the grid's. Runs inside the caller's transaction;
     * the rate per mille is stored as a whole number (2.5 as 2, 3.5 as 4). Cells must have
     * passed `ValidaComision`.
     */
    void GuardaFilas(std::int32_t escenario);

    //! Shows a scenario's stored rows, in stored order; the header stays as it is.
    void CargaFilas(std::int32_t escenario);

public slots:
    void cmbTipoComision_Click();
    void txtTotalAnios_Change();
    void MSFlexGrid2_KeyPress(QChar tecla);
    void MSFlexGrid2_KeyUp(int tecla);

private:
    void Encabezado(const QString& c0, const QString& c1, const QString& c2);
    bool Rechaza(int fila, int columna, const QString& mensaje);

    Entorno& m_entorno;
    Campos m_campos;
    FlexGrid* m_grid;
};

} // namespace valvida
