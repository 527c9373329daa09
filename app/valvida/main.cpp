#include "core/BaseDatos.h"
#include "ui/Arranque.h"
#include "ui/MDIForm1.h"
#include "ui/QtDialogos.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("valvida"));

    // Qt's own Spanish texts, so the boxes' buttons read "Sí", "No", "Cancelar".
    QTranslator traduccionQt;
    if (traduccionQt.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traduccionQt);

    valvida::QtDialogos dialogos;
    int resultado = 1;
    {
        auto ventana = valvida::Arranca(dialogos, QApplication::applicationDirPath());
        if (ventana)
            resultado = QApplication::exec();
    }
    valvida::CierraBaseDatos(valvida::ConexionPrincipal);
    return resultado;
}
