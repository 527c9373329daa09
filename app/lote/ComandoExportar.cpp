#include "app/lote/Comandos.h"

#include "app/lote/DialogosConsola.h"
#include "core/BaseDatos.h"
#include "core/Entorno.h"
#include "core/ErrorVV.h"
#include "core/ExportaEscenario.h"
#include "core/Numeros.h"

#include <QFileInfo>
#include <QUuid>

namespace valvida {

namespace {

// The command's own connection, removed on every way out (after the Entorno that uses it).
struct Conexion
{
    QString nombre = QStringLiteral("valvida-lote-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    ~Conexion() { CierraBaseDatos(nombre); }
};

} // namespace

int ComandoExportar(const QStringList& argumentos, QTextStream& out, QTextStream& err)
{
    const QString& rutaBd = argumentos.at(0);
    const QString& textoEscenario = argumentos.at(1);
    const QString& archivo = argumentos.at(2);
    const auto falla = [&err](const QString& descripcion) {
        err << QStringLiteral("No se exportó el escenario: ") << descripcion << '\n';
        err.flush();
        return 1;
    };
    if (!EsNumerico(textoEscenario))
        return falla(QStringLiteral("el escenario no es un número: ") + textoEscenario);

    DialogosConsola dialogos(err);
    try {
        const std::int32_t escenario = AEntero32(ANumero(textoEscenario));
        const Conexion conexion;
        Entorno entorno{AbreBaseDatos(rutaBd, conexion.nombre), dialogos, QFileInfo(rutaBd).absolutePath()};
        ExportaEscenario(entorno, escenario, archivo);
    } catch (const ErrorVV& e) {
        return falla(e.descripcion());
    }
    // A section the store could not read was reported as a box on stderr; the file is incomplete.
    if (dialogos.cajas() > 0)
        return 1;
    out << QStringLiteral("Escenario exportado: ") << archivo << '\n';
    out.flush();
    return 0;
}

} // namespace valvida
