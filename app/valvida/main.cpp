#include "core/BaseDatos.h"
#include "ui/Arranque.h"
#include "ui/MDIForm1.h"
#include "ui/QtDialogos.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("valvida"));

    valvida::InstalaTraduccionQt();

    valvida::QtDialogos dialogos;
    int resultado = 1;
    {
        auto ventana = valvida::Arranca(dialogos, QApplication::arguments().mid(1), QApplication::applicationDirPath());
        if (ventana)
            resultado = QApplication::exec();
    }
    valvida::CierraBaseDatos(valvida::ConexionPrincipal);
    return resultado;
}
