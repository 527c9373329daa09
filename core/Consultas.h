#pragma once

// The statements whose rows the forms load into their grids and lists: the store's text stays in
// the store's layer, the forms name what they show.

#include <QString>

namespace valvida::consulta {

//! The mortality tables' catalogue: number, name, first and last age.
inline const QString TablasMortalidad = QStringLiteral("SELECT * FROM C_TablaMortalidad ORDER BY Tabla_Mortalidad");
//! The mortality tables for a drop-down: the number as the key and "number - name" shown, so two
//! tables imported under one name are told apart.
inline const QString TablasMortalidadLista =
    QStringLiteral("SELECT Tabla_Mortalidad, Tabla_Mortalidad || ' - ' || coalesce(Descripcion, '') "
                   "FROM C_TablaMortalidad ORDER BY Tabla_Mortalidad");
inline const QString TiposSeguro = QStringLiteral("SELECT * FROM C_TipoSeguro ORDER BY Tipo_Seguro");
inline const QString TiposComision = QStringLiteral("SELECT * FROM C_TipoComision ORDER BY Tipo_Comision");

//! A scenario's schedule (?: the scenario), in the grid's three columns.
inline const QString ComisionEscenario = QStringLiteral(
    "Select Anio_Comision, Porcentaje_Prima, Tantos_Suma  from T_Comision where Escenario = ? order by Anio_Comision");

//! A table's columns at a rate (?: table, rate found by equality with the stored double) beside its qx.
inline const QString ConmutadosConQx =
    QStringLiteral("select T_Conmutado.Edad, T_Conmutado.Cx, T_Conmutado.Dx, T_Conmutado.Mx, "
                   "T_Conmutado.Nx, T_Conmutado.Rx, T_Conmutado.Sx, T_DetalleMortalidad.qx, "
                   "T_Conmutado.px, T_Conmutado.lx, T_Conmutado.dex "
                   "from T_Conmutado, T_DetalleMortalidad "
                   "where T_Conmutado.Tabla_Mortalidad = ? and T_Conmutado.Interes_Tecnico = ? "
                   "and T_Conmutado.Tabla_Mortalidad = T_DetalleMortalidad.Tabla_Mortalidad "
                   "and T_Conmutado.edad = T_DetalleMortalidad.edad "
                   "order by T_Conmutado.Edad");

//! The results form's list of scenarios, with the names of their type and table.
inline const QString EscenariosResultados =
    QStringLiteral("Select Escenario, Edad, C_TipoSeguro.Descripcion, Plazo_Seguro, Plazo_Pago, Suma_Asegurada, "
                   "C_TablaMortalidad.Tabla_Mortalidad, C_TablaMortalidad.Descripcion, Interes_Tecnico "
                   "from T_Escenario, C_TablaMortalidad, C_TipoSeguro "
                   "where T_Escenario.Tabla_Mortalidad = C_TablaMortalidad.Tabla_Mortalidad "
                   "and T_Escenario.Tipo_Seguro = C_TipoSeguro.Tipo_Seguro order by T_Escenario.Escenario");

//! A scenario's results (?: the scenario) in the results grid's columns, its guaranteed values last.
inline const QString ResultadoEscenario =
    QStringLiteral("Select Anio_Poliza, Edad_Alcanzada, Reserva_Matematica, Prima_Riesgo, Prima_Neta_Nivelada, "
                   "Prima_Tarifa, Anualidad, Seguro, Rescate, Saldado, Prorrogado from T_Resultado where Escenario = ? "
                   "order by Anio_Poliza");

//! The assumption sets with the name of their table (its number when the catalogue lacks it).
inline const QString Hipotesis = QStringLiteral(
    "select H.Hipotesis, coalesce(H.Descripcion, ''), coalesce(T.Descripcion, cast(H.Tabla_Mortalidad as text)), "
    "H.Porcentaje_Mortalidad, H.Gasto_Poliza, H.Porcentaje_Gasto_Prima, H.Inflacion_Gastos "
    "from T_Hipotesis H left join C_TablaMortalidad T on T.Tabla_Mortalidad = H.Tabla_Mortalidad "
    "order by H.Hipotesis");
//! The assumption sets as a list: the number and the description.
inline const QString ListaHipotesis = QStringLiteral(
    "select Hipotesis, Hipotesis || ' - ' || coalesce(Descripcion, '') from T_Hipotesis order by Hipotesis");

//! The yield curves: number, description, date.
inline const QString Curvas =
    QStringLiteral("select Curva, coalesce(Descripcion, ''), coalesce(Fecha, '') from C_Curva order by Curva");
//! The yield curves as a list: the number, the description and the date.
inline const QString ListaCurvas =
    QStringLiteral("select Curva, Curva || ' - ' || coalesce(Descripcion, '') || ' (' || coalesce(Fecha, '') || ')' "
                   "from C_Curva order by Curva");
//! A curve's spot rates by maturity (?: the curve).
inline const QString TiposCurva = QStringLiteral("select Plazo, Tipo from T_Curva where Curva = ? order by Plazo");

} // namespace valvida::consulta
