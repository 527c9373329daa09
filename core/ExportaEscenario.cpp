#include "core/ExportaEscenario.h"

#include "core/Archivos.h"
#include "core/BaseDatos.h"
#include "core/Cargadores.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"

#include <QFile>
#include <QFileInfo>

namespace valvida {

namespace {

void EscribeTitulo(ArchivoAtomico& archivo, const char* tabla)
{
    const QByteArray linea = QByteArray(tabla) + "\r\n";
    archivo.escribe(linea.constData(), linea.size());
}

} // namespace

void ExportaEscenario(Entorno& entorno, std::int32_t escenario, std::int16_t tabla, double tasa, const QString& archivo)
{
    ArchivoAtomico salida(archivo);
    salida.abre({BaseDatosAbierta(entorno.db)});

    EscribeTitulo(salida, "T_Escenario");
    VaciaCsv(entorno, QStringLiteral("Select * from T_Escenario where Escenario = ?"), salida, {escenario});
    EscribeTitulo(salida, "T_Resultado");
    VaciaCsv(entorno, QStringLiteral("Select * from T_Resultado where Escenario = ?"), salida, {escenario});
    EscribeTitulo(salida, "T_DetalleMortalidad");
    VaciaCsv(entorno, QStringLiteral("Select * from T_DetalleMortalidad where Tabla_Mortalidad = ?"), salida, {tabla});
    EscribeTitulo(salida, "T_Conmutado");
    VaciaCsv(entorno, QStringLiteral("Select * from T_Conmutado where Tabla_Mortalidad = ? and Interes_Tecnico = ?"),
             salida, {tabla, tasa});
    EscribeTitulo(salida, "T_Comision");
    VaciaCsv(entorno, QStringLiteral("Select * from T_Comision where Escenario = ?"), salida, {escenario});

    salida.confirma();
}

void ExportaEscenario(Entorno& entorno, std::int32_t escenario, const QString& archivo)
{
    // Before anything else is said of the export.
    RechazaProtegido(archivo, BaseDatosAbierta(entorno.db));
    QSqlQuery q = Consulta(
        entorno.db, QStringLiteral("select Tabla_Mortalidad, Interes_Tecnico from T_Escenario where Escenario = ?"),
        {escenario});
    if (!Siguiente(q))
        throw ErrorVV(ErrorVV::SinRegistroActual,
                      QStringLiteral("No existe el escenario ") + QString::number(escenario));
    const std::int16_t tabla = AEntero16(ValorANumero(q.value(0)));
    const double tasa = ValorANumero(q.value(1));
    q.finish();
    ExportaEscenario(entorno, escenario, tabla, tasa, archivo);
}

bool DescargaEscenario(Entorno& entorno, std::int32_t escenario)
{
    QString archivo = entorno.dialogos.guardarArchivo(entorno.carpetaAplicacion,
                                                      QStringLiteral("Archivo de valores separados por comas|*.CSV"));
    if (archivo.isEmpty())
        return false;
    if (QFileInfo(archivo).suffix().isEmpty())
        archivo += QStringLiteral(".csv");
    try {
        RelojArena reloj(entorno.dialogos);
        // The table and the rate as stored: a rate shown with fewer digits would find no columns.
        ExportaEscenario(entorno, escenario, archivo);
    } catch (const ErrorVV& e) {
        MostrarError(entorno.dialogos, QStringLiteral("Rutina: cmdVaciar_Click"), e);
        return false;
    }
    return true;
}

} // namespace valvida
