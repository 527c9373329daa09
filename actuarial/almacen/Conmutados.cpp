#include "actuarial/almacen/Conmutados.h"

#include "actuarial/almacen/Escritura.h"
#include "actuarial/motor/Columnas.h"
#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/Numeros.h"

#include <QSqlRecord>

namespace valvida {

void InsertaConmutados(const QSqlDatabase& db, std::int16_t tabla, double tasa)
{
    std::int16_t edadInicial = 0;
    std::int16_t edadFinal = 0;
    {
        QSqlQuery q =
            Consulta(db, QStringLiteral("select * from C_TablaMortalidad where Tabla_Mortalidad = ?"), {tabla});
        const int inicial = q.record().indexOf(QStringLiteral("Edad_Inicial"));
        const int final_ = q.record().indexOf(QStringLiteral("Edad_Final"));
        while (Siguiente(q)) {
            edadInicial = AEntero16(ValorANumero(q.value(inicial)));
            edadFinal = AEntero16(ValorANumero(q.value(final_)));
        }
    }
    ColumnasConmutadas columnas;
    columnas.dimensiona(edadInicial, edadFinal);

    // The old columns go before any qx is read, so they are gone even when a row fails.
    Ejecuta(db, QStringLiteral("delete from T_Conmutado where Tabla_Mortalidad = ? and Interes_Tecnico = ?"),
            {tabla, tasa});

    std::vector<FilaDetalle> detalle;
    {
        QSqlQuery q = Consulta(
            db, QStringLiteral("select Edad, qx from T_DetalleMortalidad where Tabla_Mortalidad = ? order by Edad"),
            {tabla});
        while (Siguiente(q))
            detalle.push_back({NumeroOpcional(q.value(0)), NumeroOpcional(q.value(1))});
    }
    CalculaColumnas(columnas, edadInicial, tasa, detalle);

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
