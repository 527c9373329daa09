#include "core/FichaEscenario.h"

#include "core/BaseDatos.h"
#include "core/EntradaEscenario.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"

#include <QSqlRecord>

namespace valvida {

int FichaEscenario::columna(const char* nombre) const
{
    for (int k = 0; k < columnas.size(); ++k)
        if (columnas.at(k).compare(QLatin1String(nombre), Qt::CaseInsensitive) == 0)
            return k;
    return -1;
}

double FichaEscenario::primaNeta() const
{
    const int c = columna("Prima_Neta_Nivelada");
    return filas.isEmpty() || c < 0 ? 0.0 : filas.first().at(c);
}

double FichaEscenario::primaTarifa() const
{
    const int c = columna("Prima_Tarifa");
    return filas.isEmpty() || c < 0 ? 0.0 : filas.first().at(c);
}

FichaEscenario LeeFichaEscenario(const QSqlDatabase& db, std::int32_t escenario)
{
    FichaEscenario f;
    f.escenario = escenario;
    // The catalogues by outer join: a code a catalogue lacks shows without its name.
    QSqlQuery q =
        Consulta(db,
                 QStringLiteral("select E.Edad, E.Suma_Asegurada, E.Tipo_Seguro, S.Descripcion, E.Tipo_Comision, "
                                "C.Descripcion, E.Interes_Tecnico, E.Tabla_Mortalidad, T.Descripcion, E.Plazo_Seguro, "
                                "E.Plazo_Pago, E.Descripcion, E.Total_Anios from T_Escenario E "
                                "left join C_TipoSeguro S on S.Tipo_Seguro = E.Tipo_Seguro "
                                "left join C_TipoComision C on C.Tipo_Comision = E.Tipo_Comision "
                                "left join C_TablaMortalidad T on T.Tabla_Mortalidad = E.Tabla_Mortalidad "
                                "where E.Escenario = ?"),
                 {escenario});
    if (!Siguiente(q))
        throw ErrorVV(ErrorVV::SinRegistroActual,
                      QStringLiteral("No existe el escenario ") + QString::number(escenario));
    const auto numero = [&q](int c) { return ValorANumero(q.value(c)); };
    f.edad = numero(0);
    f.sumaAsegurada = numero(1);
    f.tipoSeguro = AEntero32(numero(2));
    f.nombreTipoSeguro = q.value(3).toString();
    f.tipoComision = AEntero32(numero(4));
    f.nombreTipoComision = q.value(5).toString();
    f.interesTecnico = numero(6);
    f.tabla = AEntero32(numero(7));
    f.nombreTabla = q.value(8).toString();
    f.plazoSeguro = numero(9);
    f.plazoPago = numero(10);
    f.descripcion = q.value(11).toString();
    f.totalAnios = q.isNull(12) ? 0.0 : numero(12);
    q.finish();
    f.rescate = LeeParametrosRescate(db, escenario);

    QSqlQuery c = Consulta(
        db,
        QStringLiteral("select Anio_Comision, Porcentaje_Prima, Tantos_Suma from T_Comision where Escenario = ? "
                       "order by Anio_Comision"),
        {escenario});
    while (Siguiente(c))
        f.comision << AnioComision{AEntero16(ValorANumero(c.value(0))), ValorANumero(c.value(1)),
                                   AEntero16(ValorANumero(c.value(2)))};

    // The export's own statement, so the workbook holds the rows the CSV holds, in its order.
    QSqlQuery r =
        Consulta(db, QStringLiteral("Select * from T_Resultado where Escenario = ? order by Anio_Poliza"), {escenario});
    for (int k = 0; k < r.record().count(); ++k)
        f.columnas << NombreColumna(r.record(), k);
    while (Siguiente(r)) {
        QList<double> fila;
        fila.reserve(f.columnas.size());
        for (int k = 0; k < f.columnas.size(); ++k)
            fila << ValorANumero(r.value(k));
        f.filas << fila;
    }
    return f;
}

} // namespace valvida
