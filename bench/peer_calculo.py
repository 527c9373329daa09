#!/usr/bin/env python3
"""The peer of BenchCalculo: the same scenario's calculation in Python with its standard library.

In one transaction (BEGIN IMMEDIATE ... COMMIT) per run, as the program does: deletes the
scenario's results, reads its table and rate, rebuilds the table's commutation columns at that
rate from its qx (delete, one row per age), reads the commission schedule and the surrender terms,
computes the premiums, the reserve recursion and the guaranteed values of a policy in years, and
inserts one row per year into T_Resultado. Prints the median of N runs in microseconds.

With --lotes it reads run counts from stdin, one a line, and answers each with a line of that
many times in microseconds: BenchCalculo alternates it with its own runs, so that both meet the
same load.

Usage: peer_calculo.py DATABASE [N] [SCENARIO]
       peer_calculo.py --lotes DATABASE [SCENARIO]
"""

import sqlite3
import statistics
import struct
import sys
import time


def float32(valor):
    return struct.unpack("f", struct.pack("f", valor))[0]


def columnas(detalle, inicial, tasa):
    """The commutation columns by age: l, d, p, D, C and the sums N, M, R, S from the last age down."""
    v = 1.0 / (tasa / 100.0 + 1.0)
    c = {}
    for edad, q in detalle:
        l = 1.0 if edad == inicial else c[edad - 1]["l"] - c[edad - 1]["d"]
        d = q * l
        c[edad] = {"l": l, "d": d, "p": 1.0 - q, "D": l * v**edad, "C": d * v ** (edad + 1)}
    sd = sc = sm = sn = 0.0
    for edad, _ in reversed(detalle):
        f = c[edad]
        sd += f["D"]
        f["N"] = sd
        sc += f["C"]
        f["M"] = sc
        sm += f["M"]
        f["R"] = sm
        sn += f["N"]
        f["S"] = sn
    return c


def resultados(c, escenario, comisiones, penalizacion, anio_rescate):
    """The rows of T_Resultado of a policy in years (n > 1), per unit sum insured."""
    numero, x, n, m, tipo, tasa, tc = escenario
    D = lambda y: c[y]["D"]
    N = lambda y: c[y]["N"]
    M = lambda y: c[y]["M"]
    coef = {1: (1, 0, 1, 1), 2: (0, 0, 1, 1), 3: (1, 1, 1, 1), 4: (0, 1, 1, 0)}

    def prima(x, n, m, tipo):
        c1, c2, c3, c4 = coef[tipo]
        if n == m and tipo == 2:
            c3 = 0
        m = min(m, n)
        return (c4 * M(x) - c1 * M(x + n) + c2 * D(x + n)) / (N(x) - c3 * N(x + m))

    anualidad = lambda x, k: (N(x) - N(x + k)) / D(x)
    riesgo = lambda y: (M(y) - M(y + 1)) / D(y)
    P = prima(x, n, m, tipo)
    alpha = next(t for a, _, t in comisiones if a == 1) / 1000.0
    if tc == 1:
        beta = next(p for a, p, _ in comisiones if a == 1) / 100.0 * anualidad(x, m)
    else:
        beta = anterior = 0.0
        for j, (a, p, _) in enumerate(comisiones):  # by descending year; the first one reaches m
            B = m if j == 0 else a
            beta += (p / 100.0 - anterior) * (anualidad(x, B) if B != 1 else 1.0)
            anterior = p / 100.0
    a = round(anualidad(x, m))
    PT = (alpha / a + P) / (1.0 - beta / a)

    m = min(m, n)
    K = Pz = P
    if float32(tc) != 1.0:
        P20 = prima(x, 20, 20, 3)
        c1 = riesgo(x)
        K = c1 + max(P - P20, 0.0)
        Pz = (anualidad(x, m) * P - K) / (D(x + 1) / D(x) * anualidad(x + 1, m - 1))
    crecimiento = 1.0 + float32(tasa) / 100.0
    muerte = 0.0 if tipo == 4 else 1.0
    V = [0.0] * (n + 1)
    for t in range(1, n + 1):
        pi = K if t == 1 else (Pz if t <= m else 0.0)
        anterior = c[x + t - 1]
        V[t] = ((pi + V[t - 1]) * anterior["l"] * crecimiento - muerte * anterior["d"]) / c[x + t]["l"]
        if abs(V[t]) < 1e-12 or (t == n and V[t] < 0.005):
            V[t] = 0.0

    filas = []
    primer = min(anio_rescate, m)
    for t in range(n + 1):
        y = x + t
        anual = (N(y) - N(x + m)) / D(y) if t < m else 0.0
        if tipo == 2:
            seguro = M(y) / D(y)
        elif tipo == 1:
            seguro = (M(y) - M(x + n)) / D(y) if t < n else 0.0
        elif tipo == 3:
            seguro = (M(y) - M(x + n) + D(x + n)) / D(y) if t < n else 1.0
        else:
            seguro = D(x + n) / D(y) if t < n else 1.0
        rescate = saldado = prorrogado = 0.0
        if 2 <= tipo <= 4 and 1 <= t < n and t >= primer:
            rescate = max(V[t] * (1.0 - penalizacion / 100.0), 0.0)
            if rescate > 0.0:
                saldado = min(1.0, rescate / seguro) if t < m else 1.0
                if tipo in (2, 3):
                    if t >= m:
                        prorrogado = float(n - t)
                    else:
                        T = lambda k: (M(y) - M(y + k)) / D(y)
                        k = 0
                        while k < n - t and T(k + 1) <= rescate:
                            k += 1
                        prorrogado = float(k) if k == n - t else k + (rescate - T(k)) / (T(k + 1) - T(k))
        filas.append((numero, t, float(y), riesgo(y) if t < n else riesgo(y - 1), P, PT, anual, seguro, V[t],
                      rescate, saldado, prorrogado))
    return filas


def calcula(con, numero):
    con.execute("begin immediate")
    con.execute("delete from T_Resultado where Escenario = ?", (numero,))
    tabla, tasa = con.execute("select Tabla_Mortalidad, Interes_Tecnico from T_Escenario where Escenario = ?",
                              (numero,)).fetchone()
    inicial, _ = con.execute("select Edad_Inicial, Edad_Final from C_TablaMortalidad where Tabla_Mortalidad = ?",
                             (tabla,)).fetchone()
    con.execute("delete from T_Conmutado where Tabla_Mortalidad = ? and Interes_Tecnico = ?", (tabla, tasa))
    detalle = con.execute("select Edad, qx from T_DetalleMortalidad where Tabla_Mortalidad = ? order by Edad",
                          (tabla,)).fetchall()
    c = columnas(detalle, inicial, tasa)
    con.executemany("insert into T_Conmutado(Tabla_Mortalidad, Edad, Interes_Tecnico, Cx, Dx, Mx, Nx, Rx, Sx, px, lx, "
                    "dex) values(?,?,?,?,?,?,?,?,?,?,?,?)",
                    [(tabla, e, tasa, f["C"], f["D"], f["M"], f["N"], f["R"], f["S"], f["p"], f["l"], f["d"])
                     for e, f in ((e, c[e]) for e, _ in detalle)])
    escenario = con.execute("select Escenario, Edad, Plazo_Seguro, Plazo_Pago, Tipo_Seguro, Interes_Tecnico, "
                            "Tipo_Comision from T_Escenario where Escenario = ?", (numero,)).fetchone()
    comisiones = con.execute("select Anio_Comision, Porcentaje_Prima, Tantos_Suma from T_Comision where Escenario = ? "
                             "order by Anio_Comision desc", (numero,)).fetchall()
    garantia = con.execute("select Penalizacion_Rescate, Anio_Rescate from T_Garantia where Escenario = ?",
                           (numero,)).fetchone() or (0.0, 2)
    filas = resultados(c, escenario, comisiones, garantia[0], garantia[1])
    con.executemany("insert into T_Resultado values(?,?,?,?,?,?,?,?,?,?,?,?)", filas)
    con.execute("commit")
    return len(detalle), len(filas)


def mide(con, numero, veces):
    """The times of `veces` runs in microseconds, and the rows of the last one."""
    tiempos = []
    for _ in range(veces):
        inicio = time.perf_counter()
        filas = calcula(con, numero)
        tiempos.append((time.perf_counter() - inicio) * 1e6)
    return tiempos, filas


def main():
    lotes = sys.argv[1:2] == ["--lotes"]
    if len(sys.argv) < (3 if lotes else 2):
        sys.exit(__doc__)
    argumentos = sys.argv[2:] if lotes else sys.argv[1:]
    ruta = argumentos[0]
    veces = 0 if lotes else int(argumentos[1]) if len(argumentos) > 1 else 200
    numero = int(argumentos[1 if lotes else 2]) if len(argumentos) > (1 if lotes else 2) else 1
    con = sqlite3.connect(ruta, isolation_level=None)  # transactions as written, one per run
    con.execute("pragma synchronous=normal")  # as the program opens the file
    if lotes:
        for linea in sys.stdin:
            tiempos, _ = mide(con, numero, int(linea))
            print(" ".join(f"{t:.1f}" for t in tiempos), flush=True)
        return
    tiempos, (conmutados, filas) = mide(con, numero, veces)
    guardadas = con.execute("select count(*) from T_Resultado where Escenario = ?", (numero,)).fetchone()[0]
    con.close()
    print(f"peer_calculo median_us={statistics.median(tiempos):.1f} runs={veces} conmutados={conmutados} "
          f"resultados={filas} guardadas={guardadas}")


if __name__ == "__main__":
    main()
