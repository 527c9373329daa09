#include "ui/GraficosResultado.h"

#include "core/Numeros.h"

namespace valvida {

namespace {

const QString EjeEdad = QStringLiteral("Edad Alcanzada");

QStringList Etiquetas(const QList<FilaGrafico>& filas, bool porMeses)
{
    QStringList etiquetas;
    for (int k = 0; k < filas.size(); ++k)
        etiquetas << EtiquetaEdad(filas.at(k).edadAlcanzada, porMeses, k);
    return etiquetas;
}

SerieGrafico Serie(const QString& leyenda, const QList<FilaGrafico>& filas, double FilaGrafico::*columna)
{
    SerieGrafico serie{leyenda, {}};
    for (int k = 0; k < filas.size(); ++k)
        serie.puntos << QPointF(k, filas.at(k).*columna);
    return serie;
}

} // namespace

QString EtiquetaEdad(double edadAlcanzada, bool porMeses, int indice)
{
    const QString edad = TextoNumero(edadAlcanzada);
    return porMeses ? edad + QLatin1Char(',') + QString::number(indice) : edad;
}

DatosGrafico DatosPrimas(const QList<FilaGrafico>& filas, bool porMeses)
{
    return {QStringLiteral("Primas"),
            EjeEdad,
            Etiquetas(filas, porMeses),
            {Serie(QStringLiteral("Prima Riesgo"), filas, &FilaGrafico::primaRiesgo),
             Serie(QStringLiteral("Prima Neta Nivelada"), filas, &FilaGrafico::primaNetaNivelada),
             Serie(QStringLiteral("Prima Tarifa"), filas, &FilaGrafico::primaTarifa)}};
}

DatosGrafico DatosReservas(const QList<FilaGrafico>& filas, bool porMeses)
{
    return {QStringLiteral("Reservas"),
            EjeEdad,
            Etiquetas(filas, porMeses),
            {Serie(QStringLiteral("Reserva Matematica"), filas, &FilaGrafico::reservaMatematica),
             Serie(QStringLiteral("Valor de Rescate"), filas, &FilaGrafico::rescate)}};
}

int PasoEtiquetas(int puntos, int maximo)
{
    if (maximo < 1)
        maximo = 1;
    static const int Multiplos[] = {1, 2, 5};
    for (int escala = 1;; escala *= 10) {
        for (int m : Multiplos) {
            const int paso = m * escala;
            // Labels at points 0, paso, 2 paso ...: ceil(puntos / paso) of them.
            if ((puntos + paso - 1) / paso <= maximo)
                return paso;
        }
    }
}

} // namespace valvida
