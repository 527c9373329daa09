#include "app/lote/Lote.h"
#include "core/Archivos.h"

#include <QCoreApplication>

#include <cerrno>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
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
