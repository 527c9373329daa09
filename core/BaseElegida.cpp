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

// A URI as given; a path from `carpeta` when relative.
QString Nombre(const QString& nombre, const QString& carpeta)
{
    // A URI's password is refused by the store, before the title could show it.
    if (!EsServidor(nombre))
        return QFileInfo(QDir(carpeta), nombre).absoluteFilePath();
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
