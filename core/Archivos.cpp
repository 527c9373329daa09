#include "core/Archivos.h"

#include "core/ErrorVV.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace valvida {

QString MotivoSistema(int numero)
{
    switch (numero) {
    case ENOSPC: return QStringLiteral("No queda espacio en el dispositivo");
    case EDQUOT: return QStringLiteral("Se ha excedido la cuota de disco");
    case EFBIG: return QStringLiteral("Archivo demasiado grande");
    case EIO: return QStringLiteral("Error de entrada/salida");
    case EACCES: return QStringLiteral("Permiso denegado");
    case EPERM: return QStringLiteral("Operación no permitida");
    case EROFS: return QStringLiteral("Sistema de archivos de sólo lectura");
    case ENOENT: return QStringLiteral("No existe el archivo o el directorio");
    case ENOTDIR: return QStringLiteral("No es un directorio");
    case EISDIR: return QStringLiteral("Es un directorio");
    case EEXIST: return QStringLiteral("El archivo ya existe");
    case ENAMETOOLONG: return QStringLiteral("Nombre de archivo demasiado largo");
    case ELOOP: return QStringLiteral("Demasiados niveles de enlaces simbólicos");
    case EMFILE:
    case ENFILE: return QStringLiteral("Demasiados archivos abiertos");
    case EPIPE: return QStringLiteral("Tubería rota");
    case EBADF: return QStringLiteral("Descriptor de archivo incorrecto");
    default: return QStringLiteral("error del sistema %1").arg(numero);
    }
}

void AbreLectura(QFile& archivo)
{
    const QString ruta = archivo.fileName();
    const QFileInfo info(ruta);
    if (!info.exists())
        throw ErrorVV::archivoNoEncontrado(ruta);
    if (!info.isFile())
        throw ErrorVV::accesoArchivo(ruta + QStringLiteral(" (no es un archivo normal)"));
    if (!archivo.open(QIODevice::ReadOnly))
        throw ErrorVV::accesoArchivo(ruta);
}

namespace {

QByteArray Nativo(const QString& ruta)
{
    return QFile::encodeName(ruta);
}

bool MismoArchivo(const QString& a, const QString& b)
{
    // One name, whether or not the file is there yet.
    if (QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath())
        return true;
    std::error_code error;
    return std::filesystem::equivalent(std::filesystem::path(Nativo(a).toStdString()),
                                       std::filesystem::path(Nativo(b).toStdString()), error);
}

// A name beside the target for the moment between giving the file a name and renaming it over
// the old one; the process number keeps two writers apart.
QString NombreTemporal(const QString& destino)
{
    const QFileInfo info(destino);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QLatin1Char('.') +
           QString::number(QCoreApplication::applicationPid()) + QStringLiteral(".tmp");
}

} // namespace

void RechazaProtegido(const QString& ruta, const Protegido& protegido)
{
    if (!protegido.ruta.isEmpty() && MismoArchivo(ruta, protegido.ruta))
        throw ErrorVV::permisoDenegado(ruta + protegido.motivo);
}

Descriptor::Descriptor(int fd, QString nombre)
    : m_fd(fd)
    , m_nombre(std::move(nombre))
{
}

qint64 Descriptor::readData(char*, qint64)
{
    return -1;
}

qint64 Descriptor::writeData(const char* datos, qint64 bytes)
{
    if (m_fd < 0 || m_errno != 0)
        return -1;
    qint64 hechos = 0;
    while (hechos < bytes) {
        const ssize_t n = ::write(m_fd, datos + hechos, static_cast<std::size_t>(bytes - hechos));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_errno = n < 0 ? errno : ENOSPC;
            setErrorString(m_nombre.isEmpty()
                               ? MotivoSistema(m_errno)
                               : m_nombre + QStringLiteral(" (") + MotivoSistema(m_errno) + QLatin1Char(')'));
            return -1;
        }
        hechos += n;
    }
    return hechos;
}

ArchivoAtomico::ArchivoAtomico(const QString& ruta)
    : Descriptor(-1, ruta)
    , m_ruta(ruta)
{
}

ArchivoAtomico::~ArchivoAtomico()
{
    descarta();
}

void ArchivoAtomico::descarta()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temporal.isEmpty())
        ::unlink(Nativo(m_temporal).constData());
    m_temporal.clear();
    if (isOpen())
        QIODevice::close();
}

void ArchivoAtomico::falla(int numero)
{
    const QString motivo = MotivoSistema(numero);
    descarta();
    throw ErrorVV::entradaSalida(m_ruta + QStringLiteral(" (") + motivo + QLatin1Char(')'));
}

void ArchivoAtomico::abre(const std::vector<Protegido>& protegidos)
{
    const QFileInfo info(m_ruta);
    m_destino =
        info.exists() ? info.canonicalFilePath() : (info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath());
    for (const Protegido& p : protegidos)
        RechazaProtegido(m_ruta, p);
    struct stat st = {};
    if (::stat(Nativo(m_destino).constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            throw ErrorVV::accesoArchivo(m_ruta + QStringLiteral(" (no es un archivo normal)"));
        // A file the user marked read-only is left alone, whoever runs the program.
        if (!(st.st_mode & S_IWUSR))
            throw ErrorVV::accesoArchivo(m_ruta + QStringLiteral(" (es de sólo lectura)"));
        m_modo = static_cast<int>(st.st_mode & 07777);
    }

    const QByteArray carpeta = Nativo(QFileInfo(m_destino).absolutePath());
    m_fd = ::open(carpeta.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (m_fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        m_temporal = NombreTemporal(m_destino);
        m_fd = ::open(Nativo(m_temporal).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (m_fd < 0)
            m_temporal.clear();
    }
    if (m_fd < 0)
        throw ErrorVV::accesoArchivo(m_ruta + QStringLiteral(" (") + MotivoSistema(errno) + QLatin1Char(')'));
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

QString ArchivoAtomico::rutaTemporal() const
{
    if (!m_temporal.isEmpty())
        return m_temporal;
    // The unnamed file opened again through its descriptor: it stays unnamed until confirmed.
    return QStringLiteral("/proc/self/fd/") + QString::number(m_fd);
}

void ArchivoAtomico::escribe(const char* datos, qint64 bytes)
{
    if (write(datos, bytes) != bytes)
        falla(m_errno != 0 ? m_errno : EBADF);
    // A large file starts on its way to the disk as it is written, so the sync at the end waits
    // for its last part only. Only a start: confirma's fdatasync still answers for every byte.
    m_escritos += bytes;
    constexpr qint64 Tramo = qint64{2} << 20;
    if (m_escritos - m_enviados >= Tramo) {
        ::sync_file_range(m_fd, m_enviados, m_escritos - m_enviados, SYNC_FILE_RANGE_WRITE);
        m_enviados = m_escritos;
    }
}

void ArchivoAtomico::confirma()
{
    if (m_fd < 0)
        falla(EBADF);
    if (m_errno != 0)
        falla(m_errno);
    if (m_modo >= 0 && ::fchmod(m_fd, static_cast<mode_t>(m_modo)) != 0)
        falla(errno);
    // The data on the disk before the name: a crash after the rename finds the whole file.
    if (::fdatasync(m_fd) != 0)
        falla(errno);
    const QByteArray destino = Nativo(m_destino);
    if (m_temporal.isEmpty()) {
        m_temporal = NombreTemporal(m_destino);
        const QByteArray enlace = "/proc/self/fd/" + QByteArray::number(m_fd);
        ::unlink(Nativo(m_temporal).constData()); // one of a killed run of this process number
        if (::linkat(AT_FDCWD, enlace.constData(), AT_FDCWD, Nativo(m_temporal).constData(), AT_SYMLINK_FOLLOW) != 0 &&
            ::linkat(m_fd, "", AT_FDCWD, Nativo(m_temporal).constData(), AT_EMPTY_PATH) != 0) {
            const int e = errno;
            m_temporal.clear();
            falla(e);
        }
    }
    if (::rename(Nativo(m_temporal).constData(), destino.constData()) != 0)
        falla(errno);
    m_temporal.clear();
    const int fd = m_fd;
    m_fd = -1;
    QIODevice::close();
    if (::close(fd) != 0)
        throw ErrorVV::entradaSalida(m_ruta + QStringLiteral(" (") + MotivoSistema(errno) + QLatin1Char(')'));
    // The new name on the disk too.
    const int dir = ::open(Nativo(QFileInfo(m_destino).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace valvida
