#include "actuarial/almacen/Escritura.h"

#include "core/BaseDatos.h"
#include "core/Dialogos.h"
#include "core/Entorno.h"
#include "core/ErrorVV.h"

#include <QHash>
#include <QMutex>
#include <QStringList>

#include <optional>

namespace valvida {

bool EjecutaPasos(Entorno& entorno, const std::vector<PasoEscritura>& pasos)
{
    if (pasos.empty())
        return true;
    const QString* rutina = &pasos.front().rutina;
    std::optional<ErrorVV> fallo;
    {
        std::optional<Transaccion> unidad;
        try {
            unidad.emplace(entorno.db);
            for (const PasoEscritura& paso : pasos) {
                rutina = &paso.rutina;
                paso.pasos();
            }
            rutina = &pasos.front().rutina;
            unidad->confirma();
            return true;
        } catch (const ErrorVV& e) {
            fallo = e;
        }
        if (unidad && !fallo->deBaseDatos()) {
            try {
                unidad->confirma();
            } catch (const ErrorVV&) {
                // Not committed after all: the unit is undone below; the first cause is the one to tell.
            }
        }
    } // an uncommitted unit is rolled back here, before the box, so no lock is held while it shows
    MostrarError(entorno.dialogos, *rutina, *fallo);
    return false;
}

bool EjecutaConservandoLoHecho(Entorno& entorno, const QString& rutina, const std::function<void()>& pasos)
{
    return EjecutaPasos(entorno, {{rutina, pasos}});
}

Insercion::Insercion(const QSqlDatabase& db, const QString& cabecera, QVariantList comunes, int reales)
    : m_db(db)
    , m_cabecera(cabecera)
    , m_comunes(std::move(comunes))
    , m_reales(reales)
{
    m_textoLleno = texto(FilasPorSentencia);
    Sentencia preparada(m_db, m_textoLleno);
    m_enteros.reserve(FilasPorSentencia);
    m_valores.reserve(static_cast<std::size_t>(FilasPorSentencia * m_reales));
}

// The statement for `filas` rows, built once per process for each number of rows. Every value is
// named, the common ones alike in every row: SQLite numbers them where they first appear, so the
// common values come first, then each row's own, in order.
QString Insercion::texto(int filas) const
{
    static QMutex candado;
    static QHash<QString, QString> textos;
    const QString clave = QStringLiteral("%1 %2 %3 ").arg(m_comunes.size()).arg(m_reales).arg(filas) + m_cabecera;
    QMutexLocker bloqueo(&candado);
    QString& sql = textos[clave];
    if (sql.isEmpty()) {
        QString comunes;
        for (qsizetype c = 1; c <= m_comunes.size(); ++c)
            comunes += QStringLiteral(":c%1,").arg(c);
        QStringList filasTexto;
        int propio = 0;
        for (int f = 0; f < filas; ++f) {
            QStringList propios;
            for (int v = 0; v <= m_reales; ++v)
                propios << QStringLiteral(":v%1").arg(++propio);
            filasTexto << QLatin1Char('(') + comunes + propios.join(QLatin1Char(',')) + QLatin1Char(')');
        }
        sql = m_cabecera + QLatin1Char(' ') + filasTexto.join(QLatin1Char(','));
    }
    return sql;
}

void Insercion::agrega(std::int32_t entero, const double* valores)
{
    m_enteros.push_back(entero);
    m_valores.insert(m_valores.end(), valores, valores + m_reales);
    if (m_enteros.size() == static_cast<std::size_t>(FilasPorSentencia))
        escribe();
}

void Insercion::escribe()
{
    if (m_enteros.empty())
        return;
    const int filas = static_cast<int>(m_enteros.size());
    Sentencia sentencia(m_db, filas == FilasPorSentencia ? m_textoLleno : texto(filas));
    int posicion = 0;
    for (const QVariant& comun : m_comunes)
        sentencia.enlaza(posicion++, comun);
    const double* valor = m_valores.data();
    for (const std::int32_t entero : m_enteros) {
        sentencia.enlaza(posicion++, entero);
        for (int r = 0; r < m_reales; ++r)
            sentencia.enlaza(posicion++, *valor++);
    }
    // Written or not, they wait no more: after a failure of the store the unit is undone.
    m_enteros.clear();
    m_valores.clear();
    sentencia.ejecuta();
}

std::optional<double> NumeroOpcional(const QVariant& valor)
{
    if (valor.isNull())
        return std::nullopt;
    return ValorANumero(valor);
}

std::optional<double> NumeroOpcional(const Sentencia& sentencia, int columna)
{
    if (sentencia.nulo(columna))
        return std::nullopt;
    return sentencia.numero(columna);
}

} // namespace valvida
