#include "core/ErrorVV.h"

namespace valvida {

ErrorVV::ErrorVV(int numero, QString descripcion)
    : m_numero(numero)
    , m_descripcion(std::move(descripcion))
    , m_utf8((QString::number(m_numero) + QStringLiteral(": ") + m_descripcion).toUtf8())
{
}

ErrorVV ErrorVV::desbordamiento()
{
    return {Desbordamiento, QStringLiteral("Desbordamiento")};
}

ErrorVV ErrorVV::subindice()
{
    return {SubindiceFueraDeIntervalo, QStringLiteral("El subíndice está fuera del intervalo")};
}

ErrorVV ErrorVV::divisionPorCero()
{
    return {DivisionPorCero, QStringLiteral("División por cero")};
}

ErrorVV ErrorVV::tiposNoCoinciden()
{
    return {TiposNoCoinciden, QStringLiteral("No coinciden los tipos")};
}

ErrorVV ErrorVV::usoNoValidoDeNull()
{
    return {UsoNoValidoDeNull, QStringLiteral("Uso no válido de Null")};
}

ErrorVV ErrorVV::archivoNoEncontrado(const QString& detalle)
{
    return {53, QStringLiteral("No se encontró el archivo: ") + detalle};
}

ErrorVV ErrorVV::entradaSalida(const QString& detalle)
{
    return {57, QStringLiteral("Error de entrada/salida del dispositivo: ") + detalle};
}

ErrorVV ErrorVV::accesoArchivo(const QString& detalle)
{
    return {75, QStringLiteral("Error de acceso a la ruta o el archivo: ") + detalle};
}

ErrorVV ErrorVV::permisoDenegado(const QString& detalle)
{
    return {PermisoDenegado, QStringLiteral("Permiso denegado: ") + detalle};
}

ErrorVV ErrorVV::sinRegistroActual()
{
    return {SinRegistroActual, QStringLiteral("BOF o EOF es True, o el registro actual se eliminó. La operación "
                                              "solicitada requiere un registro actual.")};
}

QString TextoCajaError(const QString& rutina, int numero, const QString& descripcion)
{
    return rutina + QStringLiteral("\r\nError:") + QString::number(numero) + QStringLiteral("\r\n") + descripcion;
}

} // namespace valvida
