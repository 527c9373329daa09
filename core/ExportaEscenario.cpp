#include "core/ExportaEscenario.h"

#include "core/BaseDatos.h"
#include "core/Cargadores.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>
#include <system_error>

namespace valvida {

namespace {

// The file of the open database, as SQLite opened it.
QString ArchivoBaseDatos(const QSqlDatabase& db)
{
    QSqlQuery q = Consulta(db, QStringLiteral("pragma database_list"));
    while (Siguiente(q)) {
        if (q.value(1).toString() == QLatin1String("main"))
            return q.value(2).toString();
    }
    return {};
}

// Writing the export over the database would replace every table with CSV text. The same file
// by any name: after symbolic links, and a hard link too (same device and inode).
void RechazaLaBaseDatos(const QSqlDatabase& db, const QString& archivo)
{
    const QString base = ArchivoBaseDatos(db);
    if (base.isEmpty())
        return;
    std::error_code error;
    if (std::filesystem::equivalent(std::filesystem::path(QFile::encodeName(archivo).toStdString()),
                                    std::filesystem::path(QFile::encodeName(base).toStdString()), error))
        throw ErrorVV::permisoDenegado(archivo + QStringLiteral(" es la base de datos abierta"));
}

void EscribeTitulo(QSaveFile& archivo, const char* tabla)
{
    const QByteArray linea = QByteArray(tabla) + "\r\n";
    if (archivo.write(linea) != linea.size())
        throw ErrorVV::entradaSalida(archivo.errorString());
}

} // namespace

void ExportaEscenario(Entorno& entorno, std::int32_t escenario, std::int16_t tabla, double tasa, const QString& archivo)
{
    RechazaLaBaseDatos(entorno.db, archivo);
    // A file the user marked read-only is left alone, whoever runs the program.
    const QFileInfo destino(archivo);
    if (destino.exists() && !(destino.permissions() & QFileDevice::WriteOwner))
        throw ErrorVV::accesoArchivo(archivo);

    QSaveFile salida(archivo);
    if (!salida.open(QIODevice::WriteOnly))
        throw ErrorVV::accesoArchivo(salida.errorString());

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

    if (!salida.commit())
        throw ErrorVV::entradaSalida(salida.errorString());
}

void ExportaEscenario(Entorno& entorno, std::int32_t escenario, const QString& archivo)
{
    RechazaLaBaseDatos(entorno.db, archivo); // before anything else is said of the export
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
