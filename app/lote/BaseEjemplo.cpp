#include "app/lote/BaseEjemplo.h"

#include "actuarial/almacen/Calculo.h"
#include "app/lote/BaseLote.h"
#include "app/lote/DialogosConsola.h"
#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/EntradaEscenario.h"
#include "core/ErrorVV.h"
#include "core/ImportaTabla.h"
#include "core/Numeros.h"
#include "core/Plazos.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>

namespace valvida {

namespace {

// A scenario as a user types it into the scenario form: texts as typed, the lists' keys, the
// schedule's rows of years 1, 2, ...
struct EscenarioEjemplo
{
    const char* tabla; // file of its mortality table
    EntradaEscenario entrada;
};

// Each fits its table (the age at or above its first age, the term ending by its last), so every
// value the calculation reads is there. The whole life at 40 on the Illustrative Life Table at 6 %
// is the textbook's own example (1000 P40 = 10.89); its term is left to be derived, as the form
// derives it from the table's last age.
const EscenarioEjemplo Escenarios[] = {
    {"pasem2010-hombres.csv",
     {"35",
      "100000",
      "3",
      "20",
      "20",
      "",
      "Dotal mixto a 20 años, comisión el primer año",
      0,
      3,
      1,
      {{"1", "10", "15"}},
      "5"}}, // a surrender charge of 5 %
    {"ilt-bowers.csv",
     {"40",
      "50000",
      "6",
      "",
      "",
      "5",
      "Vida entera a los 40 años, comisión en cinco años",
      0,
      2,
      2,
      {{"1", "40", "20"}, {"2", "20", "10"}, {"3", "10", "5"}, {"4", "5", "0"}, {"5", "5", "0"}}}},
    {"gkm95.csv",
     {"45", "30000", "2.5", "1", "12", "", "Temporal de un año, 12 meses de cobertura", 0, 1, 1, {{"1", "15", "0"}}}},
};

constexpr std::int32_t VidaEntera = 2;

ErrorVV FallaEjemplo(const QString& que)
{
    return ErrorVV(5, que + QStringLiteral(" mostró un aviso"));
}

QHash<QString, int> ImportaTablas(Entorno& entorno, const DialogosConsola& dialogos)
{
    QTemporaryDir carpeta;
    if (!carpeta.isValid())
        throw ErrorVV::accesoArchivo(carpeta.errorString());
    QHash<QString, int> numeros;
    for (const QString& nombre : TablasEjemplo()) {
        // The tables travel inside the program; the import reads regular files, so each one is
        // written out to a file of its own first.
        const QString recurso = QStringLiteral(":/tablas/") + nombre;
        const QString archivo = carpeta.filePath(nombre);
        if (!QFile::copy(recurso, archivo))
            throw ErrorVV::archivoNoEncontrado(recurso);
        const std::optional<int> numero = ImportaTabla(entorno, archivo);
        if (!numero || dialogos.cajas() > 0)
            throw FallaEjemplo(QStringLiteral("La carga de ") + nombre);
        numeros.insert(nombre, *numero);
    }
    return numeros;
}

// The scenario checked and stored as the scenario form's "A&ceptar" checks and stores it; its number.
std::int32_t GuardaEjemplo(const QSqlDatabase& db, EntradaEscenario entrada, std::int32_t tabla)
{
    entrada.tabla = tabla;
    const std::optional<EdadesTabla> edades = LeeEdadesTabla(db, tabla);
    if (edades && entrada.tipoSeguro == VidaEntera) {
        const QString plazo = QString::number(PlazoVidaEntera(edades->ultima, *EnteroTecleado(entrada.edad)));
        entrada.plazoSeguro = plazo;
        entrada.plazoPago = plazo;
    }
    const auto comprobado = CompruebaEscenario(entrada, edades, QLocale::c());
    if (const auto* rechazo = std::get_if<Rechazo>(&comprobado))
        throw ErrorVV(ErrorVV::TiposNoCoinciden, rechazo->mensaje);
    return GuardaEscenario(db, std::get<EscenarioValido>(comprobado)).numero;
}

void LlenaEjemplo(Entorno& entorno, const DialogosConsola& dialogos)
{
    const QHash<QString, int> tablas = ImportaTablas(entorno, dialogos);
    for (const EscenarioEjemplo& e : Escenarios) {
        const std::int32_t numero = GuardaEjemplo(entorno.db, e.entrada, tablas.value(QString::fromLatin1(e.tabla)));
        CalculaEscenario(entorno, numero);
        if (dialogos.cajas() > 0)
            throw FallaEjemplo(QStringLiteral("El cálculo del escenario ") + QString::number(numero));
    }
}

} // namespace

const QStringList& TablasEjemplo()
{
    static const QStringList tablas = {
        QStringLiteral("ilt-bowers.csv"),
        QStringLiteral("pasem2010-hombres.csv"),
        QStringLiteral("pasem2010-mujeres.csv"),
        QStringLiteral("gkm95.csv"),
        QStringLiteral("gkf95.csv"),
        QStringLiteral("pasem2020-general-hombres.csv"),
        QStringLiteral("pasem2020-general-mujeres.csv"),
    };
    return tablas;
}

void CreaBaseEjemplo(const QString& ruta, DialogosConsola& dialogos)
{
    CreaBaseDatos(ruta, [&](const QString& temporal) {
        BaseLote base(temporal, dialogos);
        LlenaEjemplo(base.entorno(), dialogos);
    });
}

} // namespace valvida
