#pragma once

#include <QStringList>
#include <QTextStream>

namespace valvida {

// Each subcommand takes its own arguments (the words after its name) and returns the exit status.

//! crear-bd RUTA: a new database with the schema and the two catalogues; refuses an existing path.
int ComandoCrearBd(const QStringList& argumentos, QTextStream& out, QTextStream& err);

//! exportar RUTA_BD ESCENARIO ARCHIVO: the scenario, its results, table, commutation columns and
//! commission schedule in one comma-separated file, as the results form writes it.
int ComandoExportar(const QStringList& argumentos, QTextStream& out, QTextStream& err);

} // namespace valvida
