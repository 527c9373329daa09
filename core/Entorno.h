#pragma once

#include <QSqlDatabase>
#include <QString>

namespace valvida {

class Dialogos;

/*!
 * What every form and routine works with: the one open connection to cavi.mdb, the dialog
 * interface and the program's folder (starting folder of the file dialogs).
 */
struct Entorno
{
    QSqlDatabase db;
    Dialogos& dialogos;
    QString carpetaAplicacion;
};

} // namespace valvida
