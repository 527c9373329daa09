#include "app/lote/Comandos.h"

#include "app/lote/BaseLote.h"
#include "app/lote/DialogosConsola.h"
#include "core/ErrorVV.h"
#include "core/ImportaTabla.h"

namespace valvida {

namespace {

// The closing notice of a good import is not a failure: the new number on stdout says it.
class DialogosImportar : public DialogosConsola
{
public:
    using DialogosConsola::DialogosConsola;

    Respuesta mensaje(const QString& texto, Botones botones, Icono icono, const QString& titulo,
                      Respuesta predeterminada) override
    {
        if (texto == AvisoCargaFinalizada && icono == Icono::Informacion)
            return Respuesta::Aceptar;
        return DialogosConsola::mensaje(texto, botones, icono, titulo, predeterminada);
    }
};

} // namespace

int ComandoImportar(const QStringList& argumentos, QTextStream& out, QTextStream& err)
{
    const QString& rutaBd = argumentos.at(0);
    const QString& archivo = argumentos.at(1);
    DialogosImportar dialogos(err);
    std::optional<BaseLote> base;
    try {
        base.emplace(rutaBd, dialogos);
    } catch (const ErrorVV& e) {
        err << QStringLiteral("No se abrió la base de datos: ") << e.descripcion() << '\n';
        err.flush();
        return 1;
    }
    const std::optional<int> tabla = ImportaTabla(base->entorno(), archivo);
    if (!tabla || dialogos.cajas() > 0)
        return 1;
    out << *tabla << '\n';
    out.flush();
    return 0;
}

} // namespace valvida
