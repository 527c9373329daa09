#include "app/lote/BaseEjemplo.h"

#include "actuarial/almacen/Calculo.h"
#include "app/lote/BaseLote.h"
#include "app/lote/DialogosConsola.h"
#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/ErrorVV.h"
#include "core/ImportaTabla.h"
#include "core/Numeros.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <vector>

namespace valvida {

namespace {

struct FilaComision
{
    double porcentajePrima;
    int tantosSuma;
};

// A scenario as a user types it into the scenario form.
struct EscenarioEjemplo
{
    const char* tabla; // file of its mortality table
    int edad;
    double sumaAsegurada;
    int tipoSeguro;
    int tipoComision;
    double interes;
    int plazoSeguro; // whole life (type 2): derived, the table's last age minus the age
    int plazoPago;   // 0: premiums for the whole insurance term
    const char* descripcion;
    std::vector<FilaComision> comision; // policy years 1, 2, ...
};

constexpr int VidaEntera = 2;

// Each fits its table (the age at or above its first age, the term ending by its last), so every
// value the calculation reads is there. The whole life at 40 on the Illustrative Life Table at 6 %
// is the textbook's own example (1000 P40 = 10.89).
const EscenarioEjemplo Escenarios[] = {
    {"pasem2010-hombres.csv", 35, 100000, 3, 1, 3, 20, 20,
     "Dotal mixto a 20 años, comisión el primer año", {{10, 15}}},
    {"ilt-bowers.csv", 40, 50000, VidaEntera, 2, 6, 0, 0,
     "Vida entera a los 40 años, comisión en cinco años", {{40, 20}, {20, 10}, {10, 5}, {5, 0}, {5, 0}}},
    {"gkm95.csv", 45, 30000, 1, 1, 2.5, 1, 12,
     "Temporal de un año, 12 meses de cobertura", {{15, 0}}},
};

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

// The scenario and its schedule, stored together as the scenario form stores them; its number.
std::int32_t GuardaEscenario(const QSqlDatabase& db, const EscenarioEjemplo& e, int tabla)
{
    int plazoSeguro = e.plazoSeguro;
    if (e.tipoSeguro == VidaEntera) {
        QSqlQuery q = Consulta(
            db, QStringLiteral("select Edad_Final from C_TablaMortalidad where Tabla_Mortalidad = ?"), {tabla});
        if (!Siguiente(q))
            throw ErrorVV::sinRegistroActual();
        plazoSeguro = AEntero16(ValorANumero(q.value(0))) - e.edad;
    }
    const int plazoPago = e.plazoPago > 0 ? e.plazoPago : plazoSeguro;
    // Commission type 1 has its one row and no total of years: the form leaves that box empty.
    const int totalAnios = e.tipoComision == 1 ? 0 : static_cast<int>(e.comision.size());

    Transaccion transaccion(db);
    const std::int32_t numero = NuevoNumero(db, QStringLiteral("T_Escenario"), QStringLiteral("Escenario"));
    Ejecuta(db, QStringLiteral("insert into T_Escenario values(?,?,?,?,?,?,?,?,?,?,?)"),
            {numero, e.edad, e.sumaAsegurada, e.tipoSeguro, e.tipoComision, e.interes, tabla, plazoSeguro, plazoPago,
             QString::fromUtf8(e.descripcion), totalAnios});
    int anio = 0;
    for (const FilaComision& c : e.comision)
        Ejecuta(db, QStringLiteral("insert into T_Comision values(?,?,?,?)"),
                {numero, ++anio, c.porcentajePrima, c.tantosSuma});
    transaccion.confirma();
    return numero;
}

void LlenaEjemplo(Entorno& entorno, const DialogosConsola& dialogos)
{
    const QHash<QString, int> tablas = ImportaTablas(entorno, dialogos);
    for (const EscenarioEjemplo& e : Escenarios) {
        const std::int32_t numero = GuardaEscenario(entorno.db, e, tablas.value(QString::fromLatin1(e.tabla)));
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
