#pragma once

#include <QStringList>
#include <QTextStream>

namespace valvida {

// Each subcommand takes its own arguments (the words after its name) and returns the exit status.

//! crear-bd RUTA: a new database with the schema and the two catalogues; refuses an existing path.
int ComandoCrearBd(const QStringList& argumentos, QTextStream& out, QTextStream& err);

//! importar RUTA_BD ARCHIVO: a mortality table from a comma-separated file; prints the new table number.
int ComandoImportar(const QStringList& argumentos, QTextStream& out, QTextStream& err);

} // namespace valvida
