#include "ui/Arranque.h"

#include "core/BaseDatos.h"
#include "core/BaseElegida.h"
#include "core/Constantes.h"
#include "core/Dialogos.h"
#include "core/ErrorVV.h"
#include "ui/MDIForm1.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace valvida {

bool InstalaTraduccionQt()
{
    auto traduccion = std::make_unique<QTranslator>();
    if (!traduccion->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    // The application owns the translation from here on.
    traduccion->setParent(QCoreApplication::instance());
    return QCoreApplication::installTranslator(traduccion.release());
}

std::unique_ptr<MDIForm1> Arranca(Dialogos& dialogos, const QStringList& argumentos, const QString& carpeta,
                                  const QString& conexion)
{
    RelojArena reloj(dialogos);
    try {
        const QString base = BaseElegida(argumentos, carpeta);
        // The forms rely on the catalogues' codes as well as on the tables' columns.
        QSqlDatabase db = AbreBaseDatos(base, conexion, Comprobacion::ColumnasYCatalogos);
        auto ventana = std::make_unique<MDIForm1>(Entorno{db, dialogos, carpeta});
        // Which database a team member works on, a server's or a file of their own; the boxes keep
        // the program's name alone.
        ventana->setWindowTitle(TituloAplicacion + QStringLiteral(" - ") + base);
        ventana->show();
        return ventana;
    } catch (const ErrorVV& e) {
        MostrarError(dialogos, QStringLiteral("Rutina: main"), e);
        return nullptr;
    }
}

} // namespace valvida
