#pragma once

#include <QString>
#include <QStringList>

namespace valvida {

class DialogosConsola;

//! The shipped mortality tables, in the order the sample imports them (table numbers 1 to 7).
const QStringList& TablasEjemplo();

/*!
 * A new database with the shipped tables, imported as "Cargar Tablas Excel" imports a file, and
 * three calculated sample scenarios: a 20-year endowment with a first-year commission, a whole
 * life with a five-year schedule and a one-year term cover of 12 months. Each scenario is stored
 * as the scenario form stores one and calculated as "&Resultado" calculates it, so its results and
 * its export are there at once.
 *
 * Refuses an existing path, leaving it untouched. Built under a temporary name and renamed when
 * complete (CreaBaseDatos): any failure, a box of the import or the calculation included (written
 * by `dialogos`), is an ErrorVV and leaves no file.
 */
void CreaBaseEjemplo(const QString& ruta, DialogosConsola& dialogos);

} // namespace valvida
