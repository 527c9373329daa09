#include "core/BaseElegida.h"

#include "core/Archivos.h"
#include "core/BaseDatos.h"
#include "core/ErrorVV.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace valvida {

namespace {

// The classic "invalid procedure call or argument".
constexpr int ArgumentoNoValido = 5;

const QString Uso = QStringLiteral("uso: valvida [--bd URI|RUTA]");

bool EsUri(const QString& nombre)
{
    return nombre.startsWith(QStringLiteral("postgresql://")) || nombre.startsWith(QStringLiteral("postgres://"));
}

// A password in the user part (usuario:clave@) or as a parameter (?password=): the window's title
// shows the URI, and a command line is visible to every user of the machine.
bool LlevaContrasena(const QString& uri)
{
    const qsizetype inicio = uri.indexOf(QStringLiteral("://")) + 3;
    const qsizetype consulta = uri.indexOf(QLatin1Char('?'), inicio);
    qsizetype fin = uri.indexOf(QLatin1Char('/'), inicio);
    if (fin < 0 || (consulta >= 0 && consulta < fin))
        fin = consulta < 0 ? uri.size() : consulta;
    const QStringView autoridad = QStringView(uri).sliced(inicio, fin - inicio);
    const qsizetype arroba = autoridad.lastIndexOf(QLatin1Char('@'));
    if (arroba >= 0 && autoridad.first(arroba).contains(QLatin1Char(':')))
        return true;
    if (consulta < 0)
        return false;
    for (const QStringView parametro : QStringView(uri).sliced(consulta + 1).split(QLatin1Char('&'))) {
        if (parametro.left(parametro.indexOf(QLatin1Char('='))).trimmed() == QLatin1String("password"))
            return true;
    }
    return false;
}

// A URI as given; a path from `carpeta` when relative.
QString Nombre(const QString& nombre, const QString& carpeta)
{
    if (!EsUri(nombre))
        return QFileInfo(QDir(carpeta), nombre).absoluteFilePath();
    if (LlevaContrasena(nombre))
        throw ErrorVV(ArgumentoNoValido,
                      QStringLiteral("La contraseña no va en la URI de la base de datos: póngala en PGPASSWORD o en "
                                     "~/.pgpass"));
    return nombre;
}

std::optional<QString> DeLaLinea(const QStringList& argumentos)
{
    std::optional<QString> elegida;
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        const QString& a = argumentos.at(i);
        if (a != QLatin1String("--bd"))
            throw ErrorVV(ArgumentoNoValido, QStringLiteral("Argumento no reconocido: %1 (%2)").arg(a, Uso));
        if (elegida)
            throw ErrorVV(ArgumentoNoValido, QStringLiteral("--bd aparece más de una vez (%1)").arg(Uso));
        if (i + 1 == argumentos.size() || argumentos.at(i + 1).isEmpty())
            throw ErrorVV(ArgumentoNoValido, QStringLiteral("Falta la base de datos tras --bd (%1)").arg(Uso));
        elegida = argumentos.at(++i);
    }
    return elegida;
}

std::optional<QString> DeLaConfiguracion(const QString& ruta)
{
    if (!QFileInfo::exists(ruta))
        return std::nullopt;
    QFile archivo(ruta);
    AbreLectura(archivo);
    QString texto = QString::fromUtf8(archivo.readAll());
    if (texto.startsWith(QChar(0xFEFF))) // the mark some editors put before UTF-8
        texto.remove(0, 1);
    std::optional<QString> elegida;
    qsizetype lineaElegida = 0;
    const QStringList lineas = texto.split(QLatin1Char('\n'));
    for (qsizetype n = 1; n <= lineas.size(); ++n) {
        const QString linea = lineas.at(n - 1).trimmed(); // a CR LF's CR too
        if (linea.isEmpty() || linea.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype igual = linea.indexOf(QLatin1Char('='));
        const QString valor = linea.sliced(igual + 1).trimmed();
        if (igual < 0 || linea.first(igual).trimmed() != QLatin1String("bd") || valor.isEmpty())
            throw ErrorVV(ArgumentoNoValido,
                          QStringLiteral("%1, línea %2: se esperaba bd=URI o bd=RUTA").arg(ruta).arg(n));
        if (elegida)
            throw ErrorVV(ArgumentoNoValido,
                          QStringLiteral("%1, línea %2: la base de datos ya se nombró en la línea %3")
                              .arg(ruta)
                              .arg(n)
                              .arg(lineaElegida));
        elegida = valor;
        lineaElegida = n;
    }
    return elegida;
}

} // namespace

QString BaseElegida(const QStringList& argumentos, const QString& carpetaPrograma)
{
    if (const std::optional<QString> linea = DeLaLinea(argumentos))
        return Nombre(*linea, QDir::currentPath());
    const QString configuracion = QDir(carpetaPrograma).filePath(NombreConfiguracion);
    if (const std::optional<QString> conf = DeLaConfiguracion(configuracion))
        return Nombre(*conf, carpetaPrograma);
    return QFileInfo(RutaBaseDatos(carpetaPrograma)).absoluteFilePath();
}

} // namespace valvida
