#!/usr/bin/env python3
"""The documents valvida-lote writes, read back by readers that are not their writer: a scenario's
workbook with openpyxl, its report through pdftotext, and a portfolio's summary against the
portfolio's own output."""
import csv, math, os, re, sqlite3, subprocess, sys, tempfile, zipfile
import openpyxl

LOTE, hechas = sys.argv[1], []
ENTORNO = dict(os.environ, LC_ALL="C.UTF-8")  # money as TextoPantalla writes it under C: 1,234.50


def corre(*argumentos):
    return subprocess.run([LOTE, *argumentos], capture_output=True, text=True, env=ENTORNO)


def comprueba(cierto, que):
    print(("ok    " if cierto else "FALLO ") + que)
    hechas.append(cierto)


with tempfile.TemporaryDirectory() as d:
    bd = os.path.join(d, "cavi.mdb")
    corre("crear-bd", "--ejemplo", bd)
    db = sqlite3.connect(bd)
    # A 4-year endowment beside the sample's 70-year whole life (scenario 2).
    db.execute("insert into T_Escenario select 4, Edad, Suma_Asegurada, Tipo_Seguro, Tipo_Comision, Interes_Tecnico, "
               "Tabla_Mortalidad, 4, 4, 'Dotal a 4 años', Total_Anios from T_Escenario where Escenario = 1")
    db.execute("insert into T_Comision select 4, Anio_Comision, Porcentaje_Prima, Tantos_Suma from T_Comision "
               "where Escenario = 1")
    db.commit()
    corre("calcular", bd, "4")
    for esc, paginas in ((2, 3), (4, 2)):
        cur = db.execute("select * from T_Resultado where Escenario = ?", (esc,))
        filas = [[c[0] for c in cur.description]] + [list(f) for f in cur]
        suma, descripcion = db.execute("select Suma_Asegurada, Descripcion from T_Escenario where Escenario = ?",
                                       (esc,)).fetchone()
        neta, tarifa = filas[1][4], filas[1][5]
        # The workbook: every stored double in a number cell, as libxlsxwriter 1.1.4 writes a double
        # (16 significant digits, so the last bit may differ); the summary's premiums; two charts.
        corre("exportar", bd, str(esc), os.path.join(d, "e.XLSX"))
        libro = openpyxl.load_workbook(os.path.join(d, "e.XLSX"))
        hoja = libro["Resultado"]
        leidas = [list(f) for f in hoja.iter_rows(max_col=len(filas[0]), values_only=True)]
        esperadas = [filas[0]] + [[float("%.16G" % v) for v in f] for f in filas[1:]]
        comprueba(libro.sheetnames == ["Resultado", "Escenario"] and leidas == esperadas, f"libro {esc}: valores")
        comprueba(hoja["D2"].number_format == "0.00000000" and hoja.freeze_panes == "A2" and len(hoja._charts) == 2,
                  f"libro {esc}: formato y gráficos")
        # Under a decimal-comma locale the workbook is the same but for its date: numbers take a point.
        es = os.path.join(d, "es.xlsx")
        subprocess.run([LOTE, "exportar", bd, str(esc), es], capture_output=True, env=dict(ENTORNO, LC_ALL="es_ES.UTF-8"))
        partes = [{n: z.read(n) for n in z.namelist() if not n.startswith("docProps/")}
                  for z in (zipfile.ZipFile(os.path.join(d, "e.XLSX")), zipfile.ZipFile(es))]
        comprueba(len(partes[0]) > 5 and partes[0] == partes[1], f"libro {esc}: el mismo bajo es_ES.UTF-8")
        escenario = {f[0]: f[1] for f in libro["Escenario"].iter_rows(max_col=2, values_only=True) if f[0]}
        comprueba(escenario["Prima de tarifa anual"] == float("%.16G" % (tarifa * suma)), f"libro {esc}: prima")
        # The report: title, premiums as money, its pages, the table's header on each of its pages and
        # every policy year once.
        pdf = os.path.join(d, f"i{esc}.pdf")
        corre("informe", bd, str(esc), pdf)
        texto = subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True, text=True).stdout
        hojas = texto.split("\f")[:-1]
        primera = " ".join(hojas[0].split())
        comprueba(f"Escenario {esc}: {descripcion}" in primera and f"{neta:.8f} {neta * suma:,.2f}" in primera
                  and f"{tarifa:.8f} {tarifa * suma:,.2f}" in primera, f"informe {esc}: título y primas")
        tabla = [h for h in hojas if "Resultados por año de póliza" in h]
        comprueba(len(hojas) == paginas and all(f"Página {i + 1} de {paginas}" in h for i, h in enumerate(hojas))
                  and all("Prorrogado" in h for h in tabla), f"informe {esc}: páginas y cabeceras")
        anios = [int(m) for h in tabla for m in re.findall(r"^\s*(\d+)\s+\d+\s+\d+\.\d{8}\s", h, re.M)]
        comprueba(anios == list(range(len(filas) - 1)), f"informe {esc}: filas")

    # A portfolio over three plans; its summary by scenario against the output's own lines.
    with open(os.path.join(d, "c.csv"), "w") as c:
        c.write("Poliza,Escenario,Edad,Suma_Asegurada,Antiguedad\n")
        for k in range(60):
            c.write(f"P{k},{k % 3 + 1},{30 + k % 11},{1000 * (k + 1)},{(k * 0.37) % (11.9 if k % 3 < 2 else 1):.2f}\n")
    s = os.path.join(d, "s.csv")
    for resumen in ("r.csv", "r.xlsx"):
        salida = corre("cartera", "--resumen", os.path.join(d, resumen), bd, os.path.join(d, "c.csv"), s)
        comprueba(salida.stdout.startswith("Pólizas: 60\nReserva total: "), "cartera: líneas impresas " + salida.stderr)
    lineas = list(csv.DictReader(open(s)))
    esperado, porAnio = {}, {}
    for e in ("1", "2", "3", None):
        grupo = [l for l in lineas if e in (None, l["Escenario"])]
        esperado[e] = [len(grupo)] + [math.fsum(float(l[c]) for l in grupo)
                                      for c in ("Suma_Asegurada", "Prima_Tarifa_Anual", "Reserva")]
    for l in lineas:
        porAnio[int(float(l["Antiguedad"]))] = porAnio.get(int(float(l["Antiguedad"])), 0) + float(l["Reserva"])
    cerca = lambda a, b: all(math.isclose(x, y, rel_tol=1e-12) for x, y in zip(a, b))
    filas = list(csv.reader(open(os.path.join(d, "r.csv"))))
    comprueba(filas[0] == "Escenario Descripcion Polizas Suma_Asegurada Prima_Tarifa_Anual Reserva".split()
              and [f[0] for f in filas[1:]] == ["1", "2", "3", "Total"] and filas[4][1] == "", "resumen: filas")
    comprueba(all(cerca([float(x) for x in f[2:]], esperado[f[0] if f[0] != "Total" else None]) for f in filas[1:]),
              "resumen: sumas del CSV")
    hoja = openpyxl.load_workbook(os.path.join(d, "r.xlsx"))["Resumen"]
    valores = [f for f in hoja.iter_rows(values_only=True) if isinstance(f[0], (int, float)) or f[0] == "Total"]
    comprueba(all(cerca(f[2:6], esperado[str(f[0]) if f[0] != "Total" else None]) for f in valores[:4])
              and cerca([f[1] for f in valores[4:]], [porAnio[k] for k in sorted(porAnio)]) and len(hoja._charts) == 1,
              "resumen: libro y reserva por años en vigor")

    # The best estimate's flows as CSV and as a workbook: the same numbers, a total row, one chart.
    con = sqlite3.connect(bd)
    con.execute("insert into T_Hipotesis values (1, 'Realista', 1, 90, 30, 2, 2)")
    con.execute("insert into T_Caida values (1, 1, 8)")
    con.commit()
    con.close()
    with open(os.path.join(d, "curva.csv"), "w") as c:
        c.write("1,3\n2,3.5\n")
    corre("importar-curva", bd, os.path.join(d, "curva.csv"), "Curva", "2026-12-31")
    for flujos in ("f.csv", "f.xlsx"):
        corre("mejor-estimacion", bd, os.path.join(d, "c.csv"), "1", "1", s, "--flujos", os.path.join(d, flujos))
    anios = [[float(x) for x in f] for f in list(csv.reader(open(os.path.join(d, "f.csv"))))[1:]]
    libro = [f for f in openpyxl.load_workbook(os.path.join(d, "f.xlsx"))["Flujos"].iter_rows(values_only=True)]
    comprueba(all(cerca(a, b) for a, b in zip(anios, libro[1:])) and libro[len(anios) + 1][0] == "Total"
              and cerca(libro[len(anios) + 1][1:9], [math.fsum(a[c] for a in anios) for c in range(1, 9)])
              and len(openpyxl.load_workbook(os.path.join(d, "f.xlsx"))["Flujos"]._charts) == 1,
              "mejor estimación: flujos en CSV y en libro")

print(f"{hechas.count(True)} passed, {hechas.count(False)} failed")
sys.exit(0 if all(hechas) else 1)
