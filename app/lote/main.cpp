#include "app/lote/Lote.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("valvida-lote"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return valvida::EjecutaLote(QCoreApplication::arguments().mid(1), out, err);
}
