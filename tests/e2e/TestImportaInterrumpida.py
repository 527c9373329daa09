"""An import killed part-way (kill -9 at eleven moments, as a crash or a power cut would stop it) leaves the database as
it was before or as it is after, never between: the table's catalogue row and its qx go in one
transaction, and the next opening rolls a half-written one back. A file that never ends (/dev/zero)
is refused and changes nothing.

Arguments: the command-line tool. Exit status 0 when every run ends before or after."""

import os
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.dont_write_bytecode = True
LOTE = Path(sys.argv[1])
EDADES = 32000  # a long table, so that most kills land while its rows are being written


def estado(bd):
    """(tables, qx rows, integrity); opening recovers a transaction a killed writer left."""
    con = sqlite3.connect(bd)
    try:
        return (con.execute("select count(*) from C_TablaMortalidad").fetchone()[0],
                con.execute("select count(*) from T_DetalleMortalidad").fetchone()[0],
                con.execute("pragma integrity_check").fetchone()[0])
    finally:
        con.close()


with tempfile.TemporaryDirectory() as carpeta:
    carpeta = Path(carpeta)
    vacia, bd, tabla = carpeta / "vacia.mdb", carpeta / "cavi.mdb", carpeta / "larga.csv"
    subprocess.run([LOTE, "crear-bd", vacia], check=True, capture_output=True)
    tabla.write_text("".join(f"{e},0.001,Larga\r\n" for e in range(EDADES)))
    antes, despues = (0, 0, "ok"), (1, EDADES, "ok")

    zero = subprocess.run([LOTE, "importar", vacia, "/dev/zero"], capture_output=True, text=True, timeout=30)
    if zero.returncode != 1 or "no es un archivo normal" not in zero.stderr or estado(vacia) != antes:
        sys.exit(f"/dev/zero: estado {zero.returncode}, {zero.stderr!r}, base {estado(vacia)}")

    subprocess.run([LOTE, "importar", shutil.copy(vacia, bd), tabla], check=True, capture_output=True)
    if estado(bd) != despues:
        sys.exit(f"la importación completa deja {estado(bd)}")

    # Each run is killed a while after its transaction starts writing (its journal appears): at once,
    # then later and later, until the kill comes after the commit.
    journal, a_medias = Path(f"{bd}-journal"), 0
    for ms in (0, 1, 2, 5, 10, 20, 50, 100, 200, 500, 2000):
        os.remove(bd)
        shutil.copy(vacia, bd)
        proceso = subprocess.Popen([LOTE, "importar", bd, tabla], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        while not journal.exists() and proceso.poll() is None:
            time.sleep(0.0005)
        time.sleep(ms / 1000)
        proceso.send_signal(signal.SIGKILL)
        proceso.wait()
        a_medias += journal.exists() and journal.stat().st_size > 0
        visto = estado(bd)
        print(f"- muerto {ms} ms después de empezar a escribir: {visto}", flush=True)
        if visto not in (antes, despues):
            sys.exit(f"una importación interrumpida deja la base a medias: {visto}")
    if a_medias == 0:
        sys.exit("ninguna interrupción cayó mientras se escribían las filas")
    print(f"{a_medias} interrupciones cayeron a medias; la base quedó antes o después", flush=True)
