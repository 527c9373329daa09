#pragma once

#include <QString>

#include <exception>

class QSqlError;

namespace valvida {

/*!
 * An error as the error box reports it: a number and a Spanish description.
 * Database errors carry the SQLite result code; the engine's own errors use the classic
 * runtime numbers (6 overflow, 9 index out of range, 11 division by zero, 13 type mismatch,
 * 94 invalid use of null).
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
    static constexpr int SinRegistroActual = 3021;

    static ErrorVV desbordamiento();
    static ErrorVV subindice();
    static ErrorVV divisionPorCero();
    static ErrorVV tiposNoCoinciden();
    static ErrorVV usoNoValidoDeNull();
    //! File errors, with what the system says of the file: 53 not found, 57 input/output, 75 access.
    static ErrorVV archivoNoEncontrado(const QString& detalle);
    static ErrorVV entradaSalida(const QString& detalle);
    static ErrorVV accesoArchivo(const QString& detalle);
    //! A read of a row that is not there: a missing scenario, a missing first commission row.
    static ErrorVV sinRegistroActual();
    //! The SQLite result code and a Spanish reading of it, with SQLite's own text.
    static ErrorVV deSql(const QSqlError& error);

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
