#include "core/ImportaTabla.h"

#include "core/Archivos.h"
#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/ErrorVV.h"
#include "core/Numeros.h"
#include "core/Texto.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <limits>

namespace valvida {

QStringList SeparaCampos(const QString& texto, const QString& separador)
{
    QStringList piezas;
    qsizetype inicio = 0;
    while (inicio < texto.size()) {
        const qsizetype pos = texto.indexOf(separador, inicio, Qt::CaseSensitive);
        if (pos < 0 || separador.isEmpty()) {
            piezas << texto.mid(inicio);
            break;
        }
        piezas << texto.mid(inicio, pos - inicio);
        inicio = pos + separador.size();
    }
    return piezas;
}

std::int16_t NuevaTablaMortalidad(const QSqlDatabase& db)
{
    return AEntero16(NuevoNumero(db, QStringLiteral("C_TablaMortalidad"), QStringLiteral("Tabla_Mortalidad")));
}

namespace {

// The most lines a table can have: they are counted in 16 bits, as the table's ages are.
constexpr qsizetype MaximoLineas = std::numeric_limits<std::int16_t>::max();

// The most bytes in a line: an age, a qx and a table's name, with ample room for further fields
// a spreadsheet adds. With the line limit it bounds what a file can make the import hold in
// memory, whatever the file is.
constexpr qsizetype MaximoBytesLinea = 4096;

// Reads one line, up to its end: LF, CR LF, or CR alone (a spreadsheet's "CSV (Macintosh)").
// The file is not at its end when called.
QByteArray LeeLinea(QFile& archivo, qsizetype numero)
{
    QByteArray linea;
    char c = 0;
    while (archivo.getChar(&c)) {
        if (c == '\n')
            return linea;
        if (c == '\r') {
            char siguiente = 0;
            if (archivo.peek(&siguiente, 1) == 1 && siguiente == '\n')
                archivo.getChar(&siguiente);
            return linea;
        }
        if (linea.size() == MaximoBytesLinea)
            throw ErrorVV(
                ErrorVV::Desbordamiento,
                QStringLiteral("Desbordamiento: la línea %1 tiene más de %2 bytes").arg(numero).arg(MaximoBytesLinea));
        linea += c;
    }
    if (archivo.error() != QFileDevice::NoError)
        throw ErrorVV::entradaSalida(archivo.errorString());
    return linea;
}

} // namespace

QStringList LeeLineasArchivo(const QString& ruta)
{
    QFile archivo(ruta);
    AbreLectura(archivo);

    QByteArray texto; // the lines, each closed by LF, for one decoding of the whole file
    qsizetype lineas = 0;
    while (!archivo.atEnd()) {
        if (lineas == MaximoLineas)
            throw ErrorVV(ErrorVV::Desbordamiento,
                          QStringLiteral("Desbordamiento: el archivo tiene más de 32767 líneas"));
        texto += LeeLinea(archivo, ++lineas);
        texto += '\n';
    }
    if (archivo.error() != QFileDevice::NoError)
        throw ErrorVV::entradaSalida(archivo.errorString());
    if (texto.isEmpty())
        return {};
    QStringList resultado = DecodificaTexto(texto).split(QLatin1Char('\n'));
    resultado.removeLast(); // after the last line's LF
    return resultado;
}

namespace {

// The fields of every line, checked for shape: at least three on the first line and the same
// count on every other.
QList<QStringList> LeeCampos(const QString& ruta)
{
    const QStringList lineas = LeeLineasArchivo(ruta);
    if (lineas.isEmpty())
        throw ErrorVV(ErrorVV::SubindiceFueraDeIntervalo, QStringLiteral("El archivo está vacío"));

    QList<QStringList> campos;
    campos.reserve(lineas.size());
    for (const QString& linea : lineas) {
        const QStringList piezas = SeparaCampos(linea, QStringLiteral(","));
        const QString numero = QString::number(campos.size() + 1);
        if (campos.isEmpty() && piezas.size() < 3)
            throw ErrorVV(ErrorVV::SubindiceFueraDeIntervalo,
                          QStringLiteral("La línea 1 tiene %1 campos; se requieren al menos 3").arg(piezas.size()));
        if (!campos.isEmpty() && piezas.size() != campos.first().size())
            throw ErrorVV(ErrorVV::SubindiceFueraDeIntervalo,
                          QStringLiteral("La línea %1 tiene %2 campos y la primera %3")
                              .arg(numero)
                              .arg(piezas.size())
                              .arg(campos.first().size()));
        campos << piezas;
    }
    return campos;
}

// Where a refused field is, after its refusal: ": línea 3, campo qx (abc)".
QString EnLinea(qsizetype indice, const QString& campo, const QString& texto)
{
    return QStringLiteral(": línea %1, campo %2 (%3)").arg(indice + 1).arg(campo, texto);
}

// A field's conversion, whose refusal names the line and the field.
template <typename Conversion>
auto EnCampo(qsizetype indice, const QString& campo, const QString& texto, Conversion convierte)
{
    try {
        return convierte();
    } catch (const ErrorVV& e) {
        throw ErrorVV(e.numero(), e.descripcion() + EnLinea(indice, campo, texto));
    }
}

void Aviso(Dialogos& dialogos, const QString& texto, Dialogos::Icono icono)
{
    dialogos.mensaje(texto, Dialogos::Botones::Aceptar, icono);
}

} // namespace

std::optional<int> ImportaTabla(Entorno& entorno, const QString& archivo)
{
    Dialogos& d = entorno.dialogos;
    RelojArena reloj(d);
    try {
        const QList<QStringList> lineas = LeeCampos(archivo);

        std::int16_t edadInicial = 0;
        QString ultimaEdad;
        QString descripcion;
        QHash<std::int16_t, qsizetype> lineaDeEdad;
        for (qsizetype i = 0; i < lineas.size(); ++i) {
            const QStringList& campos = lineas.at(i);
            // The first age opens the table; a header line fails here, as a conversion error.
            if (i == 0)
                edadInicial =
                    EnCampo(i, QStringLiteral("Edad"), campos.at(0), [&] { return AEntero16(ANumero(campos.at(0))); });
            ultimaEdad = campos.at(0);
            descripcion = campos.at(2);
            if (!EsNumerico(campos.at(1))) {
                Aviso(d, QStringLiteral("La qx debe ser numerica") + EnLinea(i, QStringLiteral("qx"), campos.at(1)),
                      Dialogos::Icono::Critico);
                return std::nullopt;
            }
            if (!EsNumerico(campos.at(0))) {
                Aviso(d, QStringLiteral("La edad debe ser numerica") + EnLinea(i, QStringLiteral("Edad"), campos.at(0)),
                      Dialogos::Icono::Critico);
                return std::nullopt;
            }
            // Ages are 16-bit, once each, and qx finite: refused here, before anything is written.
            const std::int16_t edad =
                EnCampo(i, QStringLiteral("Edad"), campos.at(0), [&] { return AEntero16(ANumero(campos.at(0))); });
            const double qx = EnCampo(i, QStringLiteral("qx"), campos.at(1), [&] { return ANumero(campos.at(1)); });
            // A qx is a probability: outside [0, 1] it would give negative survivors or lx growing
            // with age in every column built on the table.
            if (qx < 0.0 || qx > 1.0) {
                Aviso(d,
                      QStringLiteral("La qx debe estar entre 0 y 1") + EnLinea(i, QStringLiteral("qx"), campos.at(1)),
                      Dialogos::Icono::Critico);
                return std::nullopt;
            }
            if (const auto repetida = lineaDeEdad.constFind(edad); repetida != lineaDeEdad.cend())
                throw ErrorVV(
                    ErrorVV::ClaveDuplicada,
                    QStringLiteral("Clave duplicada: línea %1, campo Edad (%2): la edad ya está en la línea %3")
                        .arg(i + 1)
                        .arg(campos.at(0))
                        .arg(*repetida + 1));
            lineaDeEdad.insert(edad, i);
        }
        const std::int16_t edadFinal = AEntero16(ANumero(ultimaEdad));

        int numero = 0;
        {
            Transaccion transaccion(entorno.db);
            numero = NuevaTablaMortalidad(entorno.db);
            Ejecuta(entorno.db, QStringLiteral("insert into C_TablaMortalidad values(?, ?, ?, ?)"),
                    {numero, descripcion, int{edadInicial}, int{edadFinal}});
            // Age and qx go in as the numbers the checks read, as the file's column types take them:
            // "1.0" is the whole number 1 (a server refuses the text for a whole-number column).
            for (const QStringList& campos : lineas)
                Ejecuta(entorno.db, QStringLiteral("insert into T_DetalleMortalidad values(?, ?, ?)"),
                        {numero, ANumero(campos.at(0)), ANumero(campos.at(1))});
            transaccion.confirma();
        }
        // Two tables may share a name: the notice says which number the new one has.
        Aviso(d, AvisoCargaFinalizada + QStringLiteral(": tabla %1").arg(numero), Dialogos::Icono::Informacion);
        return numero;
    } catch (const ErrorVV& e) {
        MostrarError(d, RutinaImportaTabla, e);
        return std::nullopt;
    }
}

} // namespace valvida
