#pragma once

#include <QString>

#include <exception>

class QSqlError;

namespace valvida {

/*!
 * An error as the error box reports it: a number and a Spanish description.
 *
 * Two ranges that cannot meet:
 * - the program's own numbers, all below 100000: the classic runtime numbers (6 overflow,
 *   9 index out of range, 11 division by zero, 13 type mismatch, 53 file not found,
 *   57 device input/output, 58 file already exists, 70 permission denied, 75 path/file access,
 *   76 path not found, 94 invalid use of null) and the data-access ones (3021 no current record,
 *   3022 a repeated key found before it is stored, 3078 table not found, 3265 column missing or out of place);
 * - database errors: BaseSqlite (100000) plus SQLite's extended result code, which is below
 *   65536 (a primary code in the low byte, its extension in the next): a full disk (SQLITE_FULL,
 *   13) is 100013, a damaged file (SQLITE_CORRUPT, 11) 100011, a repeated key
 *   (SQLITE_CONSTRAINT_PRIMARYKEY, 1555) 101555. Their description is a Spanish reading of the
 *   code followed by SQLite's own text in brackets. A server's errors take the same numbers for
 *   the same conditions, and 200000 for the rest.
 */
class ErrorVV : public std::exception
{
  public:
    ErrorVV(int numero, QString descripcion);

    int numero() const { return m_numero; }
    const QString& descripcion() const { return m_descripcion; }
    const char* what() const noexcept override { return m_utf8.constData(); }

    static constexpr int Desbordamiento = 6;
    static constexpr int SubindiceFueraDeIntervalo = 9;
    static constexpr int DivisionPorCero = 11;
    static constexpr int TiposNoCoinciden = 13;
    static constexpr int UsoNoValidoDeNull = 94;
    static constexpr int PermisoDenegado = 70;
    static constexpr int SinRegistroActual = 3021;
    static constexpr int ClaveDuplicada = 3022;
    static constexpr int TablaNoEncontrada = 3078;
    static constexpr int ColumnaNoCorresponde = 3265;
    //! Database errors are numbered from here up: BaseSqlite + SQLite's extended result code.
    static constexpr int BaseSqlite = 100000;
    //! A server's error without a reading of the file's: this number, the SQLSTATE in the text.
    static constexpr int BaseServidor = 200000;

    //! Whether the store itself failed (full disk, lock, damaged file, refused row).
    bool deBaseDatos() const { return m_numero >= BaseSqlite; }

    static ErrorVV desbordamiento();
    static ErrorVV subindice();
    static ErrorVV divisionPorCero();
    static ErrorVV tiposNoCoinciden();
    static ErrorVV usoNoValidoDeNull();
    //! File errors, with what the system says of the file: 53 not found, 57 input/output, 75 access.
    static ErrorVV archivoNoEncontrado(const QString& detalle);
    static ErrorVV entradaSalida(const QString& detalle);
    static ErrorVV accesoArchivo(const QString& detalle);
    //! 70: a file the program must not write, such as its own open database.
    static ErrorVV permisoDenegado(const QString& detalle);
    //! A read of a row that is not there: a missing scenario, a missing first commission row.
    static ErrorVV sinRegistroActual();
    //! BaseSqlite plus the SQLite result code, and a Spanish reading of it with SQLite's own text.
    static ErrorVV deSql(const QSqlError& error);
    /*!
     * A PostgreSQL server's error: the file's number where the condition is the same (a repeated
     * key 101555, a lock not granted in time 100005, a full disk 100013), with the same reading and
     * the server's text; any other is BaseServidor with the SQLSTATE and the server's text.
     */
    static ErrorVV deServidor(const QSqlError& error);

  private:
    int m_numero;
    QString m_descripcion;
    QByteArray m_utf8;
};

/*!
 * Text of the error box: the routine line ("Rutina: main", "Funcion: fSeguro"), CR LF,
 * "Error:" and the number with no blank, CR LF, the description.
 */
QString TextoCajaError(const QString& rutina, int numero, const QString& descripcion);

} // namespace valvida
