#include "app/lote/BaseEjemplo.h"

#include "actuarial/almacen/Calculo.h"
#include "app/lote/BaseLote.h"
#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/ErrorVV.h"
#include "core/ImportaTabla.h"
#include "core/Numeros.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <QUuid>

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

// Passes every box on but the notice that closes each good import, routine here; counts the rest,
// any of which means the sample is not sound.
class DialogosVigilados : public Dialogos
{
  public:
    explicit DialogosVigilados(Dialogos& dialogos)
        : m_dialogos(dialogos)
    {
    }

    Respuesta mensaje(const QString& texto, Botones botones, Icono icono, const QString& titulo,
                      Respuesta predeterminada) override
    {
        if (texto == AvisoCargaFinalizada && icono == Icono::Informacion)
            return Respuesta::Aceptar;
        ++m_cajas;
        return m_dialogos.mensaje(texto, botones, icono, titulo, predeterminada);
    }
    QString abrirArchivo(const QString& carpeta, const QString& filtro) override
    {
        return m_dialogos.abrirArchivo(carpeta, filtro);
    }
    QString guardarArchivo(const QString& carpeta, const QString& filtro) override
    {
        return m_dialogos.guardarArchivo(carpeta, filtro);
    }
    std::unique_ptr<Progreso> progreso(const QString& texto, qint64 total) override
    {
        return m_dialogos.progreso(texto, total);
    }
    void ponerRelojArena() override { m_dialogos.ponerRelojArena(); }
    void quitarRelojArena() override { m_dialogos.quitarRelojArena(); }

    int cajas() const { return m_cajas; }

  private:
    Dialogos& m_dialogos;
    int m_cajas = 0;
};

ErrorVV FallaEjemplo(const QString& que)
{
    return ErrorVV(5, que + QStringLiteral(" mostró un aviso"));
}

QHash<QString, int> ImportaTablas(Entorno& entorno, const DialogosVigilados& vigilados)
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
        if (!numero || vigilados.cajas() > 0)
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

void LlenaEjemplo(Entorno& entorno, const DialogosVigilados& vigilados)
{
    const QHash<QString, int> tablas = ImportaTablas(entorno, vigilados);
    for (const EscenarioEjemplo& e : Escenarios) {
        const std::int32_t numero = GuardaEscenario(entorno.db, e, tablas.value(QString::fromLatin1(e.tabla)));
        CalculaEscenario(entorno, numero);
        if (vigilados.cajas() > 0)
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

void CreaBaseEjemplo(const QString& ruta, Dialogos& dialogos)
{
    const QFileInfo destino(ruta);
    if (destino.exists() || destino.isSymLink())
        throw ErrorVV(58, QStringLiteral("El archivo ya existe: ") + ruta);
    // Filled under a temporary name beside the target and renamed when complete, so a failure
    // leaves no half-made sample under the chosen name.
    const QString temporal = destino.absoluteFilePath() + QStringLiteral(".") +
                             QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".tmp");
    CreaBaseDatos(temporal);
    try {
        {
            DialogosVigilados vigilados(dialogos);
            BaseLote base(temporal, vigilados);
            LlenaEjemplo(base.entorno(), vigilados);
        }
        // rename never replaces: a file that appeared meanwhile under the name is kept.
        if (!QFile::rename(temporal, destino.absoluteFilePath()))
            throw ErrorVV(58, QStringLiteral("No se pudo crear el archivo: ") + ruta);
    } catch (...) {
        QFile::remove(temporal);
        throw;
    }
}

} // namespace valvida
