#include "core/Libro.h"

#include "core/ErrorVV.h"

#include <QFile>

#include <cerrno>

namespace valvida {

namespace {

// The library's error in the user's words; a failed write of the file itself leaves the
// system's reason in errno.
QString MotivoLibro(lxw_error error, int numero)
{
    if (numero == ENOSPC || numero == EFBIG || numero == EDQUOT || numero == EIO || numero == EROFS)
        return MotivoSistema(numero);
    switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED: return QStringLiteral("Memoria insuficiente");
    case LXW_ERROR_CREATING_XLSX_FILE: return QStringLiteral("no se pudo crear el libro");
    case LXW_ERROR_CREATING_TMPFILE: return QStringLiteral("no se pudo crear un archivo temporal del libro");
    case LXW_ERROR_READING_TMPFILE: return QStringLiteral("no se pudo leer un archivo temporal del libro");
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_PARAMETER_ERROR:
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
    case LXW_ERROR_ZIP_INTERNAL_ERROR:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE: return QStringLiteral("no se pudo escribir el libro comprimido");
    default: return QString::fromUtf8(lxw_strerror(error));
    }
}

} // namespace

Libro::NumerosC::NumerosC()
    : c(newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr)))
    , anterior(c ? uselocale(c) : static_cast<locale_t>(nullptr))
{
    if (!c)
        throw ErrorVV::entradaSalida(QStringLiteral("no se pudo preparar la escritura de números del libro"));
}

Libro::NumerosC::~NumerosC()
{
    uselocale(anterior);
    freelocale(c);
}

Libro::Libro(const QString& ruta)
    : m_archivo(ruta)
{
}

Libro::~Libro()
{
    // A workbook never closed is dropped unwritten; the temporary file goes with m_archivo.
    if (m_libro)
        lxw_workbook_free(m_libro);
}

void Libro::falla(const QString& motivo)
{
    if (m_libro)
        lxw_workbook_free(m_libro);
    m_libro = nullptr;
    throw ErrorVV::entradaSalida(m_archivo.ruta() + QStringLiteral(" (") + motivo + QLatin1Char(')'));
}

void Libro::abre(const std::vector<Protegido>& protegidos)
{
    m_archivo.abre(protegidos);
    m_temporal = QFile::encodeName(m_archivo.rutaTemporal());
    m_libro = workbook_new(m_temporal.constData());
    if (!m_libro)
        falla(MotivoLibro(LXW_ERROR_MEMORY_MALLOC_FAILED, 0));
}

lxw_worksheet* Libro::hoja(const QString& nombre)
{
    lxw_worksheet* hoja = workbook_add_worksheet(m_libro, nombre.toUtf8().constData());
    if (!hoja)
        falla(QStringLiteral("la hoja ") + nombre + QStringLiteral(" no se pudo crear"));
    return hoja;
}

lxw_format* Libro::formato(const char* numero, bool negrita)
{
    lxw_format* f = workbook_add_format(m_libro);
    if (*numero)
        format_set_num_format(f, numero);
    if (negrita)
        format_set_bold(f);
    return f;
}

void Libro::confirma()
{
    errno = 0;
    const lxw_error error = workbook_close(m_libro);
    const int numero = errno;
    m_libro = nullptr; // closed and freed, whatever the outcome
    if (error != LXW_NO_ERROR)
        falla(MotivoLibro(error, numero));
    m_archivo.confirma();
}

void CeldaTexto(lxw_worksheet* hoja, int fila, int columna, const QString& texto, lxw_format* formato)
{
    worksheet_write_string(hoja, static_cast<lxw_row_t>(fila), static_cast<lxw_col_t>(columna),
                           texto.toUtf8().constData(), formato);
}

} // namespace valvida
