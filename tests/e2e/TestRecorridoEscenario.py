"""The actuary's road in a real window under the Spanish locale: "Escenarios", "&Alta", a scenario
typed with the sum "100.000" and the rate "4,5", "A&ceptar", "&Resultado"; the results form opens
with its premium columns in sight and shows that scenario, and a click on another scenario's number
in its list shows that one. Then, under the C locale, the rate "4,5" is never stored as 45.

Arguments: the program, the command-line tool, the folder of the shipped mortality tables, and
the folder where a screenshot of a failure is left."""

import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.dont_write_bytecode = True  # nothing left behind in the source tree
from escritorio import Fallo, Programa, captura, espera, xdotool  # noqa: E402

VALVIDA, LOTE, TABLAS, SALIDA = map(Path, sys.argv[1:5])
ILT = "ILT Bowers (ilustrativa)"

# The scenario as the form asks for it, label by label; the two lists by the entry to pick (the
# table's shows its number, ILT_N, before its name). A point groups thousands in Spain.
ESCENARIO = [
    ("Edad:", "35"),
    ("Suma Asegurada:", "100.000"),
    ("Tabla Mortalidad:", "ILT_N"),
    ("%Interes Técnico:", "4,5"),
    ("Tipo Seguro:", "Dotal Mixto"),
    ("Plazo Seguro:", "20"),
    ("Plazo Pago:", "15"),
    ("Descripcion del Escenario:", "Dotal mixto al 4,5"),
]

# What the results form shows of each scenario: the title, and in the first row (policy year 0)
# the issue age, a reserve of 0 and the risk premium v * q_x. The whole life at 6 % also has the
# level premium published for the table, 1000 P40 = 10.89 (Bowers et al., Actuarial Mathematics).
RESULTADOS = {
    2: ("Escenario 2: Dotal Mixto 20-15", 35, 0.045, None),
    1: ("Escenario 1: Vida Entera 70-70", 40, 0.06, 10.89),
}
QX = {int(e): float(q) for e, q, _ in (linea.split(",", 2) for linea in open(TABLAS / "ilt-bowers.csv"))}


def paso(texto):
    print(f"- {texto}", flush=True)


def prepara(carpeta):
    """The program beside a database with two tables and scenario 1 (whole life at 40, 6 %)
    stored and calculated; the illustrative table second, so that it has to be picked."""
    def lote(*args):
        return subprocess.run([LOTE, *map(str, args)], check=True, capture_output=True, text=True).stdout

    shutil.copy(VALVIDA, carpeta)
    bd = carpeta / "cavi.mdb"
    lote("crear-bd", bd)
    lote("importar", bd, TABLAS / "gkm95.csv")
    ilt = int(lote("importar", bd, TABLAS / "ilt-bowers.csv"))
    con = sqlite3.connect(bd)
    con.execute("insert into T_Escenario values (1, 40, 1000, 2, 1, 6, ?, 70, 70, 'Vida entera', 0)", (ilt,))
    con.execute("insert into T_Comision values (1, 1, 50, 3)")
    con.commit()
    con.close()
    lote("calcular", bd, 1)
    return bd, ilt


def muestra(p, ventana, escenario):
    titulo, edad, interes, nivelada = RESULTADOS[escenario]
    p.a_la_vista(espera(lambda: f'el título no es "{titulo}"; etiquetas: {p.etiquetas(ventana)}',
                        lambda: p.busca(ventana, "label", titulo)))
    tabla = p.tabla(ventana, "Reserva Matematica")

    def cuadra():
        # As the grid shows them under es_ES: a comma for the decimals, 8 of them per unit.
        anio, edad_alcanzada, reserva, riesgo, neta = (float(c.replace(".", "").replace(",", "."))
                                                       for c in p.fila(tabla, 1)[:5])
        return ((anio, edad_alcanzada, reserva) == (0, edad, 0)
                and abs(riesgo - QX[edad] / (1 + interes)) < 6e-9
                and (nivelada is None or round(1000 * neta, 2) == nivelada))
    espera(lambda: f"la primera fila del escenario {escenario} no cuadra: {p.fila(tabla, 1)}", cuadra)
    p.a_la_vista(tabla.queryTable().getAccessibleAt(1, 0))


def alta(p, ilt, escenario):
    """"Escenarios", "&Alta" and the scenario typed; the form."""
    paso('menú "Escenarios", "&Alta"')
    p.menu("Escenarios")
    escenarios = p.ventana("Escenarios")
    p.boton(escenarios, "&Alta")
    for etiqueta, valor in escenario:
        valor = valor.replace("ILT_N", f"{ilt} - {ILT}")
        paso(f"{etiqueta} {valor}")
        control = p.campo(escenarios, etiqueta)
        (p.elige if control.getRoleName() == "combo box" else p.teclea)(control, valor)
    return escenarios


def recorrido(p, bd, ilt):
    escenarios = alta(p, ilt, ESCENARIO)

    paso("comisión del primer año: 50 % de la prima de tarifa y 3 por mil de la suma asegurada")
    comision = p.tabla(escenarios, "% Prima de Tarifa")
    for columna, valor in ((1, "50"), (2, "3")):
        p.clic(comision.queryTable().getAccessibleAt(1, columna))
        xdotool("type", "--delay", 30, valor)
        espera(lambda: f"la comisión muestra {p.fila(comision, 1)}", lambda: p.fila(comision, 1)[columna] == valor)

    paso('"A&ceptar": el escenario 2 en la lista y en la base')
    p.boton(escenarios, "A&ceptar")
    lista = p.tabla(escenarios, "Descripción")
    espera("el escenario 2 no llega a la lista", lambda: lista.queryTable().nRows > 2 and p.fila(lista, 2)[0] == "2")
    con = sqlite3.connect(bd)
    guardado = (con.execute("select Edad, Suma_Asegurada, Tabla_Mortalidad, Interes_Tecnico, Tipo_Seguro, Plazo_Seguro,"
                            " Plazo_Pago, Descripcion from T_Escenario where Escenario = 2").fetchone(),
                con.execute("select Anio_Comision, Porcentaje_Prima, Tantos_Suma from T_Comision"
                            " where Escenario = 2").fetchall())
    con.close()
    if guardado != ((35, 100000, ilt, 4.5, 3, 20, 15, "Dotal mixto al 4,5"), [(1, 50, 3)]):
        raise Fallo(f"la base guarda el escenario 2 y su comisión como {guardado}")

    paso('"&Resultado": el escenario 2 en el formulario de resultados, sus primas a la vista')
    p.boton(escenarios, "&Resultado")
    resultados = p.ventana("Resultados")
    muestra(p, resultados, 2)
    tabla = p.tabla(resultados, "Reserva Matematica")
    for c in range(tabla.queryTable().nColumns):
        if tabla.queryTable().getAccessibleAt(0, c).name in ("Prima Neta Nivelada", "Prima Tarifa"):
            p.a_la_vista(tabla.queryTable().getAccessibleAt(1, c))

    paso("clic en el número del escenario 1 de la lista de resultados")
    lista = p.tabla(resultados, "Id Mortalidad")
    fila = espera("el escenario 1 no está en la lista de resultados",
                  lambda: next((r for r in range(1, lista.queryTable().nRows) if p.fila(lista, r)[0] == "1"), None))
    p.clic(lista.queryTable().getAccessibleAt(fila, 0))
    muestra(p, resultados, 1)


def coma_en_c(p, bd, ilt):
    """Under C the comma is no decimal mark: "4,5" is refused or read as 4.5, never as 45."""
    escenarios = alta(p, ilt, [(e, "100000" if e == "Suma Asegurada:" else v) for e, v in ESCENARIO])
    p.boton(escenarios, "A&ceptar")
    time.sleep(1)
    xdotool("key", "Return")  # the refusal's box, when there is one
    con = sqlite3.connect(bd)
    tasas = [t for (t,) in con.execute("select Interes_Tecnico from T_Escenario where Escenario > 1")]
    con.close()
    if any(t != 4.5 for t in tasas):
        raise Fallo(f'"4,5" tecleado en C se guarda como {tasas}')


def main():
    # Each locale in a bus session of its own: the accessibility bus does not outlive its program.
    locale = sys.argv[5] if len(sys.argv) > 5 else "es_ES.UTF-8"
    camino = recorrido if locale == "es_ES.UTF-8" else coma_en_c
    with tempfile.TemporaryDirectory() as carpeta:
        bd, ilt = prepara(Path(carpeta))
        entorno = {"LANG": locale, "LC_ALL": locale, "XDG_RUNTIME_DIR": carpeta}
        with Programa(Path(carpeta) / "valvida", entorno) as p:
            try:
                camino(p, bd, ilt)
            except Fallo as f:
                foto = SALIDA / "e2e-fallo.png"
                captura(foto)
                sys.exit(f"FALLO: {f}\n  cuadros a la vista: {p.dialogos()}\n  pantalla: {foto}")
    if camino is recorrido:
        subprocess.run(["dbus-run-session", "--", sys.executable, __file__, *sys.argv[1:5], "C.UTF-8"], check=True)
        print("correcto: del menú a los resultados de dos escenarios; 4,5 en C nunca es 45")


if __name__ == "__main__":
    main()
