#pragma once

// Runs of the command-line tool for app tests (header only: app tests link its commands, the
// support library does not).

#include "app/lote/Lote.h"

#include <QProcess>
#include <QTest>

#include <functional>

namespace valvida::prueba {

struct SalidaLote
{
    int estado = 0;
    QString out;
    QString err;
};

//! The tool run in-process, as `valvida-lote ARGUMENTOS` would run.
inline SalidaLote Lote(const QStringList& argumentos)
{
    SalidaLote s;
    QTextStream out(&s.out);
    QTextStream err(&s.err);
    s.estado = EjecutaLote(argumentos, out, err);
    out.flush();
    err.flush();
    return s;
}

//! The real binary run to its end; a run that does not end in time has status -1. `prepara` may
//! redirect its output or limit the process before it starts.
inline SalidaLote Programa(const QStringList& argumentos, const std::function<void(QProcess&)>& prepara = {})
{
    QProcess p;
    if (prepara)
        prepara(p);
    p.start(QStringLiteral(VALVIDA_LOTE_BIN), argumentos);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit)
        return {-1, {}, {}};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace valvida::prueba
