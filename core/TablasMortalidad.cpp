#include "core/TablasMortalidad.h"

#include "core/BaseDatos.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"

namespace valvida {

std::optional<EdadesTabla> LeeEdadesTabla(const QSqlDatabase& db, std::int32_t tabla)
{
    // Through the connection's kept statement: every calculation reads them.
    Sentencia q(db, QStringLiteral("select Edad_Inicial, Edad_Final from C_TablaMortalidad where "
                                   "Tabla_Mortalidad = ?"));
    q.enlaza(0, tabla);
    if (!q.siguiente())
        return std::nullopt;
    return EdadesTabla{AEntero16(q.numero(0)), AEntero16(q.numero(1))};
}

std::variant<RechazoTabla, TablaMortalidad> CompruebaTabla(const EntradaTabla& entrada, const QLocale& locale)
{
    const auto rechazo = [](const char* mensaje, CampoTabla campo) {
        return RechazoTabla{QString::fromUtf8(mensaje), Dialogos::Icono::Exclamacion, campo};
    };
    if (entrada.descripcion.isEmpty())
        return rechazo("La descripcion de la tabla no puede ser nulo", CampoTabla::Descripcion);
    const std::optional<double> inicial = NumeroTecleado(entrada.edadInicial, locale);
    if (!inicial)
        return rechazo("La edad inicial debe ser numerica", CampoTabla::EdadInicial);
    const std::optional<double> final = NumeroTecleado(entrada.edadFinal, locale);
    if (!final)
        return rechazo("La edad final debe ser numerica", CampoTabla::EdadFinal);
    TablaMortalidad tabla;
    tabla.edadInicial = AEntero16(*inicial);
    tabla.edadFinal = AEntero16(*final);
    if (tabla.edadFinal < tabla.edadInicial)
        return rechazo("La edad final debe ser mayor a la edad inicial", CampoTabla::EdadInicial);
    tabla.tabla = AEntero32(ANumero(entrada.tabla));
    tabla.descripcion = entrada.descripcion;
    return tabla;
}

void AltaTablaMortalidad(const QSqlDatabase& db, const TablaMortalidad& tabla)
{
    Ejecuta(db, QStringLiteral("insert into C_TablaMortalidad values(?, ?, ?, ?)"),
            {tabla.tabla, tabla.descripcion, int{tabla.edadInicial}, int{tabla.edadFinal}});
}

void ModificaTablaMortalidad(const QSqlDatabase& db, const TablaMortalidad& tabla)
{
    Transaccion transaccion(db);
    Ejecuta(db, QStringLiteral("delete from T_DetalleMortalidad where Tabla_Mortalidad = ? and (Edad < ? or Edad > ?)"),
            {tabla.tabla, int{tabla.edadInicial}, int{tabla.edadFinal}});
    Ejecuta(db,
            QStringLiteral("update C_TablaMortalidad set Descripcion = ?, Edad_Inicial = ?, Edad_Final = ? "
                           "where Tabla_Mortalidad = ?"),
            {tabla.descripcion, int{tabla.edadInicial}, int{tabla.edadFinal}, tabla.tabla});
    transaccion.confirma();
}

namespace {

// A row's qx as a number, when it reads as one: as typed under the locale, or as stored.
std::optional<double> ValorQx(const FilaQx& fila, const QLocale& locale)
{
    if (fila.tecleada)
        return NumeroTecleado(fila.qx, locale);
    if (!EsNumerico(fila.qx))
        return std::nullopt;
    return ANumero(fila.qx);
}

} // namespace

std::optional<RechazoQx> CompruebaQx(const QList<FilaQx>& filas, const QLocale& locale)
{
    for (int i = 0; i < filas.size(); ++i) {
        const QString& qx = filas.at(i).qx;
        const char* falla = nullptr;
        if (qx.isEmpty())
            falla = " esta vacia";
        else if (const std::optional<double> valor = ValorQx(filas.at(i), locale); !valor)
            falla = " no es numerica";
        else if (*valor < 0.0 || *valor > 1.0)
            falla = " fuera del rango permitido";
        if (falla)
            return RechazoQx{QStringLiteral("la qx para edad:") + filas.at(i).edad + QString::fromLatin1(falla), i};
    }
    return std::nullopt;
}

QList<FilaQx> GuardaQx(const QSqlDatabase& db, int tabla, const QList<FilaQx>& filas, const QLocale& locale)
{
    QList<FilaQx> guardadas;
    Transaccion transaccion(db);
    Ejecuta(db, QStringLiteral("delete from T_DetalleMortalidad where Tabla_Mortalidad = ?"), {tabla});
    for (const FilaQx& fila : filas) {
        const std::int16_t edad = AEntero16(ANumero(fila.edad));
        // Written in the system's text of the number, as every value of the store is.
        const std::optional<double> valor = ValorQx(fila, locale);
        if (!valor)
            throw ErrorVV::tiposNoCoinciden();
        const QString qx = TextoNumero(*valor);
        Ejecuta(db, QStringLiteral("insert into T_DetalleMortalidad values(?, ?, ?)"), {tabla, int{edad}, qx});
        guardadas << FilaQx{QString::number(edad), qx};
    }
    transaccion.confirma();
    return guardadas;
}

DetalleTabla LeeDetalle(const QSqlDatabase& db, int tabla)
{
    DetalleTabla detalle;
    const std::optional<EdadesTabla> edades = LeeEdadesTabla(db, tabla);
    if (!edades)
        throw ErrorVV::sinRegistroActual();
    detalle.edadInicial = QString::number(edades->inicial);
    detalle.edadFinal = QString::number(edades->ultima);
    QSqlQuery q = Consulta(db,
                           QStringLiteral("select Edad, qx from T_DetalleMortalidad where Tabla_Mortalidad = ? "
                                          "order by Edad"),
                           {tabla});
    while (Siguiente(q))
        detalle.filas << FilaQx{ValorATexto(q.value(0)), ValorATexto(q.value(1))};
    if (detalle.filas.isEmpty()) {
        for (int edad = edades->inicial; edad <= edades->ultima; ++edad)
            detalle.filas << FilaQx{QString::number(edad), QString()};
    }
    return detalle;
}

std::variant<RechazoInteres, double> CompruebaInteres(const QString& texto, const QLocale& locale)
{
    if (texto.isEmpty())
        return RechazoInteres{QStringLiteral("Debe indicar un interes tecnico")};
    const std::optional<double> tasa = NumeroTecleado(texto, locale);
    if (!tasa)
        return RechazoInteres{QStringLiteral("El interes tecnico debe ser numerico")};
    if (*tasa < 0.0 || *tasa > 100.0)
        return RechazoInteres{QStringLiteral("El interes tecnico debera estar comprendido entre 0 y 100")};
    return *tasa;
}

} // namespace valvida
