#include "app/lote/Lote.h"

#include "app/lote/Comandos.h"

namespace valvida {

namespace {

struct Comando
{
    const char* nombre;
    qsizetype argumentos;
    int (*ejecuta)(const QStringList& argumentos, QTextStream& out, QTextStream& err);
};

const Comando Comandos[] = {
    {"crear-bd", 1, &ComandoCrearBd},
    {"crear-bd", 2, &ComandoCrearBd},
    {"importar", 2, &ComandoImportar},
    {"calcular", 2, &ComandoCalcular},
    {"exportar", 3, &ComandoExportar},
    {"tarifa", 2, &ComandoTarifa},
    {"tarifa", 4, &ComandoTarifa},
    {"cartera", 3, &ComandoCartera},
    {"importar-curva", 4, &ComandoImportarCurva},
    {"mejor-estimacion", 5, &ComandoMejorEstimacion},
    {"mejor-estimacion", 7, &ComandoMejorEstimacion},
    {"cartera", 5, &ComandoCartera},
    {"informe", 3, &ComandoInforme},
    {"copiar", 2, &ComandoCopiar},
};

} // namespace

QString UsoLote()
{
    return QStringLiteral(
        "uso: valvida-lote crear-bd [--ejemplo] RUTA | importar RUTA_BD ARCHIVO | calcular RUTA_BD ESCENARIO"
        " | exportar RUTA_BD ESCENARIO ARCHIVO | tarifa RUTA_BD ESCENARIO [EDAD_DESDE EDAD_HASTA]"
        " | cartera [--resumen ARCHIVO] RUTA_BD CARTERA.csv SALIDA.csv | informe RUTA_BD ESCENARIO SALIDA.pdf"
        " | importar-curva RUTA_BD ARCHIVO DESCRIPCION FECHA"
        " | mejor-estimacion RUTA_BD CARTERA.csv HIPOTESIS CURVA SALIDA.csv [--flujos FLUJOS.csv]");
}

int EjecutaLote(const QStringList& argumentos, QTextStream& out, QTextStream& err)
{
    if (!argumentos.isEmpty()) {
        for (const Comando& c : Comandos) {
            if (argumentos.first() == QLatin1String(c.nombre) && argumentos.size() == c.argumentos + 1)
                return c.ejecuta(argumentos.mid(1), out, err);
        }
    }
    return ErrorDeUso(err);
}

int ErrorDeUso(QTextStream& err)
{
    err << UsoLote() << '\n';
    err.flush();
    return 2;
}

} // namespace valvida
