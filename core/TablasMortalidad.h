#pragma once

// The rules of the forms that keep and show mortality tables: the catalogue, the detail editor
// and the commutation viewer. Plain values in, refusals or stored rows out; no widgets.

#include "core/Dialogos.h"

#include <QList>
#include <QLocale>
#include <QSqlDatabase>
#include <QString>

#include <cstdint>
#include <optional>
#include <variant>

namespace valvida {

//! A row of the catalogue of mortality tables as it is stored.
struct TablaMortalidad
{
    int tabla = 0;
    QString descripcion;
    std::int16_t edadInicial = 0;
    std::int16_t edadFinal = 0;
};

//! First and last age of a mortality table, as the catalogue keeps them.
struct EdadesTabla
{
    std::int16_t inicial = 0;
    std::int16_t ultima = 0;
};

//! The ages of a catalogue table; nothing when the table is not there.
std::optional<EdadesTabla> LeeEdadesTabla(const QSqlDatabase& db, std::int32_t tabla);

//! The catalogue's boxes as the user left them: the number as shown, the rest as typed.
struct EntradaTabla
{
    QString tabla;
    QString descripcion;
    QString edadInicial;
    QString edadFinal;
};

//! The box a refusal of the catalogue points at.
enum class CampoTabla { Descripcion, EdadInicial, EdadFinal };

struct RechazoTabla
{
    QString mensaje;
    Dialogos::Icono icono;
    CampoTabla campo;
};

/*!
 * The catalogue's checks of "A&ceptar", in order, stopping at the first that fails: a description,
 * a numeric initial age, a numeric final age, and a final age not below the initial one, both as
 * 16-bit whole numbers (half to even, so 5.5 and 6 are the same age). The ages are typed numbers:
 * the point or the locale's decimal mark. Gives the refusal, or the row to store with its ages as
 * the whole numbers the catalogue keeps. An age beyond the 16-bit range is error 6; a table number
 * that is not a number, error 13.
 */
std::variant<RechazoTabla, TablaMortalidad> CompruebaTabla(const EntradaTabla& entrada,
                                                           const QLocale& locale = QLocale());

//! Adds a new table to the catalogue (it has no detail rows yet).
void AltaTablaMortalidad(const QSqlDatabase& db, const TablaMortalidad& tabla);

/*!
 * Changes the description and the age range of a table. The detail rows of ages outside the new
 * range go with it, in the same transaction: a failed update leaves the detail as it was. Ages
 * newly inside the range get no rows.
 */
void ModificaTablaMortalidad(const QSqlDatabase& db, const TablaMortalidad& tabla);

//! One row of the detail editor: the age, and its qx as stored (the system's text) or as typed.
struct FilaQx
{
    QString edad;
    QString qx;
    //! The qx was typed in the editor, as a number of the locale (NumeroTecleado).
    bool tecleada = false;
};

//! A refused qx: the message and the index of its row among the rows checked.
struct RechazoQx
{
    QString mensaje;
    int fila;
};

/*!
 * The detail editor's checks, row by row in order, stopping at the first failure: every qx present
 * ("la qx para edad:" + age + " esta vacia"), a number ("... no es numerica"), and within 0 to 1
 * ("... fuera del rango permitido"); 0 and 1 pass. A typed qx is read by the locale's rules (under
 * es_ES "0,0015"; "0.5" is no number there), a stored one as the system's text.
 */
std::optional<RechazoQx> CompruebaQx(const QList<FilaQx>& filas, const QLocale& locale = QLocale());

/*!
 * Replaces every detail row of a table by these rows (checked by CompruebaQx under the same
 * locale), ages as 16-bit whole numbers: the delete and the inserts in one transaction, so a
 * failure leaves the table's rows as they were. Returns the rows as stored, in the system's text
 * of each number.
 */
QList<FilaQx> GuardaQx(const QSqlDatabase& db, int tabla, const QList<FilaQx>& filas,
                       const QLocale& locale = QLocale());

//! A table as the detail editor shows it: its age range and its rows.
struct DetalleTabla
{
    QString edadInicial;
    QString edadFinal;
    QList<FilaQx> filas;
};

/*!
 * The detail of a table: its stored rows by ascending age, ages outside the catalogue's range
 * included; a table without rows yet gives one row per age of its range with an empty qx.
 * Error 3021 when the catalogue has no such table.
 */
DetalleTabla LeeDetalle(const QSqlDatabase& db, int tabla);

//! Why the commutation viewer refuses a technical rate: the text of its plain box.
struct RechazoInteres
{
    QString mensaje;
};

/*!
 * The commutation viewer's checks of the typed rate, in order: present ("Debe indicar un interes
 * tecnico"), a finite number with the point or the locale's decimal mark ("El interes tecnico debe
 * ser numerico"), and a percentage from 0 to 100, both included ("El interes tecnico debera estar
 * comprendido entre 0 y 100"). Gives the refusal or the rate.
 */
std::variant<RechazoInteres, double> CompruebaInteres(const QString& texto, const QLocale& locale = QLocale());

} // namespace valvida
