#include "app/lote/Lote.h"
#include "core/Archivos.h"

#include <QGuiApplication>

#include <memory>

#include <cerrno>
#include <unistd.h>

int main(int argc, char* argv[])
{
    // The report's fonts need a QGuiApplication; the other commands keep the lighter QCoreApplication.
    // Without a display the report is painted offscreen.
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && qstrcmp(argv[1], "informe") == 0) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("valvida-lote"));
    // Standard output through a device that checks every write: a script reads what we print as
    // the result, so output cut short (a full disk, a closed pipe) is a failure, not a result.
    valvida::Descriptor salida(STDOUT_FILENO);
    salida.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    QTextStream out(&salida);
    QTextStream err(stderr);
    const int estado = valvida::EjecutaLote(QCoreApplication::arguments().mid(1), out, err);
    out.flush();
    if (out.status() != QTextStream::Ok || salida.fallo() != 0) {
        err << QStringLiteral("No se pudo escribir la salida estándar: ")
            << valvida::MotivoSistema(salida.fallo() != 0 ? salida.fallo() : EIO) << '\n';
        err.flush();
        return 1;
    }
    return estado;
}
