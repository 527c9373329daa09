#include "actuarial/almacen/Conmutados.h"

#include "actuarial/almacen/Escritura.h"
#include "actuarial/motor/Columnas.h"
#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/Numeros.h"
#include "core/TablasMortalidad.h"

#include <algorithm>

namespace valvida {

std::vector<FilaDetalle> LeeFilasDetalle(const QSqlDatabase& db, std::int32_t tabla)
{
    std::vector<FilaDetalle> detalle;
    Sentencia q(db,
                QStringLiteral("select Edad, qx from T_DetalleMortalidad where Tabla_Mortalidad = ? order by Edad"));
    q.enlaza(0, tabla);
    while (q.siguiente())
        detalle.push_back({NumeroOpcional(q, 0), NumeroOpcional(q, 1)});
    return detalle;
}

namespace {

// The columns as reading T_Conmutado back gives them: over the stored ages, a slot with no row at
// 0, and 0 for -0, which a REAL column stores as the whole number 0.
ColumnasGuardadas ComoGuardadas(std::int16_t tabla, double tasa, const ColumnasConmutadas& c,
                                const std::vector<FilaDetalle>& detalle)
{
    ColumnasGuardadas guardadas{tabla, tasa, {}};
    std::int32_t lo = EdadDetalle(detalle.front());
    std::int32_t hi = lo;
    for (const FilaDetalle& fila : detalle) {
        lo = std::min(lo, EdadDetalle(fila));
        hi = std::max(hi, EdadDetalle(fila));
    }
    guardadas.columnas.dimensiona(lo, hi);
    const auto leido = [](double valor) { return valor == 0.0 ? 0.0 : valor; };
    for (const FilaDetalle& fila : detalle) {
        const std::int32_t x = EdadDetalle(fila);
        const std::size_t i = c.indice(x);
        guardadas.columnas.asignaFila(x,
                                      {leido(c.Cx[i]), leido(c.Dx[i]), leido(c.Mx[i]), leido(c.Nx[i]), leido(c.Rx[i]),
                                       leido(c.Sx[i]), leido(c.px[i]), leido(c.dex[i]), leido(c.lx[i])});
    }
    return guardadas;
}

} // namespace

std::optional<ColumnasGuardadas> InsertaConmutados(const QSqlDatabase& db, std::int16_t tabla, double tasa)
{
    // A table missing from the catalogue sizes the columns at age 0 alone.
    const EdadesTabla edades = LeeEdadesTabla(db, tabla).value_or(EdadesTabla{});
    ColumnasConmutadas columnas;
    columnas.dimensiona(edades.inicial, edades.ultima);

    // The old columns go before any qx is read, so they are gone even when a row fails.
    {
        Sentencia borra(db,
                        QStringLiteral("delete from T_Conmutado where Tabla_Mortalidad = ? and Interes_Tecnico = ?"));
        borra.enlaza(0, int{tabla});
        borra.enlaza(1, tasa);
        borra.ejecuta();
    }

    const std::vector<FilaDetalle> detalle = LeeFilasDetalle(db, tabla);
    CalculaColumnas(columnas, edades.inicial, tasa, detalle);

    // The table and the rate first, common to every row; a row is stored the same whatever the
    // order its columns are named in.
    Insercion insercion(db,
                        QStringLiteral("insert into T_Conmutado(Tabla_Mortalidad, Interes_Tecnico, Edad, "
                                       "Cx, Dx, Mx, Nx, Rx, Sx, px, lx, dex) values"),
                        {int{tabla}, tasa}, 9);
    const std::int64_t antes = FilasEscritas(db);
    for (const FilaDetalle& fila : detalle) {
        const std::int32_t x = EdadDetalle(fila);
        const std::size_t i = columnas.indice(x);
        const double valores[] = {columnas.Cx[i], columnas.Dx[i], columnas.Mx[i], columnas.Nx[i], columnas.Rx[i],
                                  columnas.Sx[i], columnas.px[i], columnas.lx[i], columnas.dex[i]};
        insercion.agrega(x, valores);
    }
    insercion.escribe();
    if (detalle.empty() || FilasEscritas(db) - antes != static_cast<std::int64_t>(detalle.size()))
        return std::nullopt;
    return ComoGuardadas(tabla, tasa, columnas, detalle);
}

bool CalculaConmutados(Entorno& entorno, std::int16_t tabla, double tasa)
{
    RelojArena reloj(entorno.dialogos);
    return EjecutaConservandoLoHecho(entorno, RutinaCalculaConmutados,
                                     [&] { InsertaConmutados(entorno.db, tabla, tasa); });
}

} // namespace valvida
