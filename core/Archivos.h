#pragma once

#include <QIODevice>
#include <QString>

#include <vector>

class QFile;

namespace valvida {

//! The system's reason for a failed file operation (an errno value), in Spanish.
QString MotivoSistema(int numero);

/*!
 * Opens a file for reading when it is a regular file, links followed: a device never ends
 * (/dev/zero) and a pipe waits for a writer (a FIFO). Error 53 when it is not there, 75 when it
 * is no regular file or cannot be opened.
 */
void AbreLectura(QFile& archivo);

//! A file an output must never replace, and why: the open database, the input being read.
struct Protegido
{
    QString ruta;
    QString motivo; //!< " es la base de datos abierta"
};

//! Error 70 when `ruta` is the protected file by any name (links, hard links).
void RechazaProtegido(const QString& ruta, const Protegido& protegido);

/*!
 * \brief Writes to an open file descriptor, each write checked: after the first that fails the
 * device refuses the rest and `fallo` gives the system's reason (an errno value; 0 none).
 */
class Descriptor : public QIODevice
{
  public:
    //! `nombre` the file's name as the error string gives it: "nombre (motivo)".
    explicit Descriptor(int fd = -1, QString nombre = {});
    int fallo() const { return m_errno; }

  protected:
    qint64 readData(char* datos, qint64 maximo) override;
    qint64 writeData(const char* datos, qint64 bytes) override;

    int m_fd;
    int m_errno = 0;
    QString m_nombre;
};

/*!
 * \brief A file written whole or not at all.
 *
 * The bytes go to an unnamed temporary file in the target's folder; `confirma` syncs it and only
 * then gives it the target's name, replacing the old file in one step. Until then, and whenever
 * anything fails, the old file stays as it was; a process killed part-way leaves nothing behind.
 * Every write is checked: after a failed one (a full disk) the device refuses the rest, and
 * `confirma` throws instead of publishing a cut-off file.
 *
 * The target must be a new file or a regular one (links followed), never a device or a FIFO,
 * never a `Protegido` by any name (links, hard links), and not one marked read-only. Failures
 * are ErrorVV naming the file and the system's reason: 70 a protected file, 75 no regular file,
 * read-only or not creatable, 57 a failed write, sync or rename.
 */
class ArchivoAtomico : public Descriptor
{
  public:
    explicit ArchivoAtomico(const QString& ruta);
    ~ArchivoAtomico() override;
    ArchivoAtomico(const ArchivoAtomico&) = delete;
    ArchivoAtomico& operator=(const ArchivoAtomico&) = delete;

    //! Checks the target and opens the temporary file (unbuffered, write only).
    void abre(const std::vector<Protegido>& protegidos = {});
    //! Writes all the bytes or throws error 57.
    void escribe(const char* datos, qint64 bytes);
    //! Syncs the file and puts it in the target's place; throws when any step failed.
    void confirma();
    //! The target as given.
    const QString& ruta() const { return m_ruta; }
    /*!
     * A name under which a library that opens its output by name (a workbook writer) writes into
     * the open temporary file, so its bytes too are published by `confirma` alone.
     */
    QString rutaTemporal() const;

  private:
    [[noreturn]] void falla(int numero);
    void descarta();

    QString m_ruta;
    QString m_destino;  // after links
    QString m_temporal; // a named temporary file, where the folder's file system has no unnamed one
    int m_modo = -1;    // the old file's permissions, kept
    qint64 m_escritos = 0;
    qint64 m_enviados = 0; // the bytes whose way to the disk was started
};

} // namespace valvida
