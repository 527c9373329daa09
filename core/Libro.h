#pragma once

#include "core/Archivos.h"

#include <QByteArray>
#include <QString>

#include <locale.h>
#include <vector>
#include <xlsxwriter.h>

namespace valvida {

/*!
 * \brief A workbook written with libxlsxwriter, whole or not at all.
 *
 * The library writes the workbook by name into the unnamed temporary file of an ArchivoAtomico
 * in the target's folder (`rutaTemporal`), so the file is checked, synced and put in the
 * target's place by the same steps as every other file we write: the target must be a new or
 * regular file and never a `Protegido`; until `confirma` the old file stays as it was. A failure
 * is an ErrorVV naming the file and the reason.
 */
class Libro
{
  public:
    explicit Libro(const QString& ruta);
    ~Libro();
    Libro(const Libro&) = delete;
    Libro& operator=(const Libro&) = delete;

    //! Checks the target (ArchivoAtomico::abre) and starts an empty workbook.
    void abre(const std::vector<Protegido>& protegidos = {});
    lxw_workbook* libro() const { return m_libro; }
    //! A new sheet of this name; error 57 when the library refuses it.
    lxw_worksheet* hoja(const QString& nombre);
    //! A cell format: the number format (Excel's codes, "" none) and whether the text is bold.
    lxw_format* formato(const char* numero, bool negrita = false);
    //! Writes the workbook out (its return checked) and publishes the file.
    void confirma();

  private:
    [[noreturn]] void falla(const QString& motivo);

    // The library prints numbers with printf, which follows LC_NUMERIC: under a decimal-comma
    // locale "0,5" would corrupt the workbook's XML. This thread prints them in the C locale
    // while the workbook lives.
    struct NumerosC
    {
        NumerosC();
        ~NumerosC();
        NumerosC(const NumerosC&) = delete;
        NumerosC& operator=(const NumerosC&) = delete;
        locale_t c;
        locale_t anterior;
    } m_numerosC;
    ArchivoAtomico m_archivo;
    QByteArray m_temporal;
    lxw_workbook* m_libro = nullptr;
};

//! A text cell: Qt's text as the workbook's UTF-8.
void CeldaTexto(lxw_worksheet* hoja, int fila, int columna, const QString& texto, lxw_format* formato = nullptr);

} // namespace valvida
