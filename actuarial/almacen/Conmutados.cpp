#include "actuarial/almacen/Conmutados.h"

#include "actuarial/almacen/Escritura.h"
#include "actuarial/motor/Columnas.h"
#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/Numeros.h"
#include "core/TablasMortalidad.h"

#include <QSqlRecord>

namespace valvida {

std::vector<FilaDetalle> LeeFilasDetalle(const QSqlDatabase& db, std::int32_t tabla)
{
    std::vector<FilaDetalle> detalle;
    QSqlQuery q = Consulta(
        db, QStringLiteral("select Edad, qx from T_DetalleMortalidad where Tabla_Mortalidad = ? order by Edad"),
        {tabla});
    while (Siguiente(q))
        detalle.push_back({NumeroOpcional(q.value(0)), NumeroOpcional(q.value(1))});
    return detalle;
}

void InsertaConmutados(const QSqlDatabase& db, std::int16_t tabla, double tasa)
{
    // A table missing from the catalogue sizes the columns at age 0 alone.
    const EdadesTabla edades = LeeEdadesTabla(db, tabla).value_or(EdadesTabla{});
    ColumnasConmutadas columnas;
    columnas.dimensiona(edades.inicial, edades.ultima);

    // The old columns go before any qx is read, so they are gone even when a row fails.
    Ejecuta(db, QStringLiteral("delete from T_Conmutado where Tabla_Mortalidad = ? and Interes_Tecnico = ?"),
            {tabla, tasa});

    const std::vector<FilaDetalle> detalle = LeeFilasDetalle(db, tabla);
    CalculaColumnas(columnas, edades.inicial, tasa, detalle);

    Insercion insercion(db, QStringLiteral("insert into T_Conmutado(Tabla_Mortalidad, Edad, Interes_Tecnico, "
                                           "Cx, Dx, Mx, Nx, Rx, Sx, px, lx, dex) "
                                           "values(?,?,?,?,?,?,?,?,?,?,?,?)"));
    for (const FilaDetalle& fila : detalle) {
        const std::int32_t x = EdadDetalle(fila);
        const std::size_t i = columnas.indice(x);
        insercion.ejecuta({tabla, x, tasa, columnas.Cx[i], columnas.Dx[i], columnas.Mx[i], columnas.Nx[i],
                           columnas.Rx[i], columnas.Sx[i], columnas.px[i], columnas.lx[i], columnas.dex[i]});
    }
}

bool CalculaConmutados(Entorno& entorno, std::int16_t tabla, double tasa)
{
    RelojArena reloj(entorno.dialogos);
    return EjecutaConservandoLoHecho(entorno, RutinaCalculaConmutados,
                                     [&] { InsertaConmutados(entorno.db, tabla, tasa); });
}

} // namespace valvida
