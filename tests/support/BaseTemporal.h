#pragma once

#include "core/Entorno.h"
#include "support/FakeDialogos.h"

#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QVariant>

namespace valvida::prueba {

//! A file's bytes, or "(no existe)" when it cannot be read: what a test compares before and after.
QByteArray LeeArchivo(const QString& ruta);

/*!
 * A fresh cavi.mdb made from the schema in a temporary folder, open under a connection name of
 * its own, with a FakeDialogos: what every database test starts from. Removed on destruction.
 * With VALVIDA_PRUEBA_PG set to a PostgreSQL server's socket folder, the database is a new one on
 * that server instead (the folder stays, for the test's other files), dropped on destruction: the
 * same tests then run over the server.
 */
class BaseTemporal
{
  public:
    //! With Vacia, nothing is made: the file is not there, the server's database has no table, and
    //! nothing is open (for crear-bd and copiar to make it).
    enum Contenido { Esquema, Vacia };
    explicit BaseTemporal(Contenido contenido = Esquema);
    ~BaseTemporal();
    BaseTemporal(const BaseTemporal&) = delete;
    BaseTemporal& operator=(const BaseTemporal&) = delete;

    QString carpeta() const { return m_dir.path(); }
    //! The database's path, or its URI on the server.
    QString ruta() const;
    //! The server's socket folder when the tests run over a server; empty for the file.
    static QString servidor();
    QSqlDatabase db() const;
    FakeDialogos dialogos;
    Entorno& entorno() { return *m_entorno; }

    //! Runs a statement for the test's own setup; fails the test loudly when it does not run.
    void sql(const QString& sentencia, const QVariantList& valores = {});
    //! The rows of a query, each row's values as the system's text, joined by "|".
    QStringList filas(const QString& consulta, const QVariantList& valores = {}) const;
    //! Writes a file of these bytes into the temporary folder and returns its path.
    QString archivo(const QString& nombre, const QByteArray& contenido) const;

  private:
    QTemporaryDir m_dir;
    QString m_conexion;
    QString m_base; // the database's name on the server
    std::unique_ptr<Entorno> m_entorno;
};

} // namespace valvida::prueba
