"""The program in a real window, used as a person uses it: its controls are found through the
accessibility bus (AT-SPI), and xdotool clicks and types at the places they show on the screen."""

import os
import subprocess
import time

import pyatspi


class Fallo(Exception):
    """A step of the road that did not happen; its text says which one and what was seen."""


def espera(que, condicion, segundos=20):
    """Asks `condicion` until it gives a true value and returns it; a Fallo naming `que` otherwise.
    The tree changes under our feet while the program works, so a failed look is asked again."""
    limite, visto = time.monotonic() + segundos, None
    while True:
        try:
            valor = condicion()
            if valor:
                return valor
        except Fallo:
            raise
        except Exception as e:  # an object gone while it was being read
            visto = e
        if time.monotonic() > limite:
            que = que() if callable(que) else que
            raise Fallo(f"tras {segundos} s, {que}" + (f" ({visto!r})" if visto else ""))
        time.sleep(0.1)


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def captura(ruta):
    """The whole screen as a picture, for the person who reads a failure."""
    xwd = subprocess.run(["xwd", "-root", "-silent"], capture_output=True, check=True)
    subprocess.run(["convert", "xwd:-", f"png:{ruta}"], input=xwd.stdout, check=True)


class Programa:
    """The program on a screen of its own (Xvfb) with Qt's accessibility bridge on, under the
    D-Bus session this script runs in; everything it started stops with the block."""

    def __init__(self, ejecutable, entorno):
        self._procesos = []
        try:
            os.environ["DISPLAY"] = self._pantalla()
            self._arranca(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
            espera("el bus de accesibilidad no aparece", lambda: "boolean true" in subprocess.run(
                ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/",
                 "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"], capture_output=True, text=True).stdout)
            self._proceso = self._arranca([ejecutable], env={
                **os.environ, **entorno, "QT_QPA_PLATFORM": "xcb", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
            self.app = espera("el programa no aparece en el bus de accesibilidad", self._aplicacion)
            # Labels and cells change while we watch: every read goes to the program, none to a cache.
            self.app.setCacheMask(pyatspi.cache.NONE)
        except BaseException:
            self.__exit__()
            raise

    def _pantalla(self):
        """A screen of our own: the server takes the first free display itself (no race with
        other servers starting) and writes its number, then a newline, once it listens. It must
        not reset when its last client leaves (the bus launcher is one): a client that comes
        during a reset is turned away."""
        leer, escribir = os.pipe()
        self._arranca(["Xvfb", "-displayfd", str(escribir), "-noreset", "-nolisten", "tcp",
                       "-screen", "0", "1400x1000x24"], pass_fds=(escribir,))
        os.close(escribir)
        with os.fdopen(leer) as numero:
            pantalla = numero.readline().strip()  # the whole line: closing early kills the server
        if not pantalla:
            raise Fallo("Xvfb no arranca")
        return ":" + pantalla

    def _arranca(self, orden, **opciones):
        self._procesos.append(subprocess.Popen(orden, **opciones))
        return self._procesos[-1]

    def _aplicacion(self):
        escritorio = pyatspi.Registry.getDesktop(0)
        for i in range(escritorio.childCount):
            app = escritorio.getChildAtIndex(i)
            if app and app.get_process_id() == self._proceso.pid:
                return app
        if self._proceso.poll() is not None:
            raise Fallo(f"el programa terminó con el estado {self._proceso.returncode}")

    def __enter__(self):
        return self

    def __exit__(self, *_):
        for p in reversed(self._procesos):
            p.terminate()
            p.wait(10)

    # Looking: the showing controls under `raiz`, depth first; the cells of tables are read
    # through their table, not walked.
    def busca(self, raiz, rol, nombre=None, todos=False):
        hallados, pendientes = [], [raiz]
        while pendientes:
            a = pendientes.pop()
            # A child window partly outside the main one is "offscreen" to Qt, yet on show.
            if a is None or not (a.getRoleName() == "frame" or a.getState().contains(pyatspi.STATE_SHOWING)):
                continue
            if a.getRoleName() == rol and (nombre is None or a.name == nombre):
                if not todos:
                    return a
                hallados.append(a)
            if a.getRoleName() != "table":
                pendientes.extend(a.getChildAtIndex(i) for i in reversed(range(a.childCount)))
        return hallados if todos else None

    def ventana(self, titulo):
        return espera(lambda: f'no se abre la ventana "{titulo}"; a la vista: '
                      f'{[v.name for v in self.busca(self.app, "frame", todos=True)]}',
                      lambda: self.busca(self.app, "frame", titulo))

    def campo(self, ventana, etiqueta):
        """The input that the label `etiqueta` names: what a screen reader reads as its name."""
        def buscar():
            lbl = self.busca(ventana, "label", etiqueta)
            for rel in lbl.getRelationSet() if lbl else []:
                if rel.getRelationType() == pyatspi.RELATION_LABEL_FOR:
                    return rel.getTarget(0)
        return espera(f'no hay un campo nombrado "{etiqueta}"', buscar, 5)

    def tabla(self, ventana, cabecera):
        """The grid that has a header cell reading `cabecera`."""
        def buscar():
            for t in self.busca(ventana, "table", todos=True):
                tab = t.queryTable()
                if any(tab.getAccessibleAt(0, c).name == cabecera for c in range(tab.nColumns)):
                    return t
        return espera(f'no hay una tabla con la columna "{cabecera}"', buscar)

    def fila(self, tabla, r):
        tab = tabla.queryTable()
        return [tab.getAccessibleAt(r, c).name for c in range(tab.nColumns)]

    def etiquetas(self, ventana):
        return [e.name for e in self.busca(ventana, "label", todos=True)]

    def texto(self, control):
        return control.queryText().getText(0, -1)

    def a_la_vista(self, control):
        """The middle of `control` on the screen, when a person can see it there: inside each of
        its containers up to the top window (not scrolled away, not cut off by a window too small)."""
        e = control.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        x, y = e.x + e.width // 2, e.y + e.height // 2
        a = control
        while e.width > 0 and e.height > 0 and e.x <= x < e.x + e.width and e.y <= y < e.y + e.height:
            if a.getRoleName() == "list" or a.parent.getRoleName() == "application":  # a popup, a window
                return x, y
            a = a.parent
            e = a.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        raise Fallo(f'"{control.name}" ({control.getRoleName()}) no se ve: '
                    f'queda fuera de "{a.name}" ({a.getRoleName()})')

    # Acting: at the middle of the control as it shows on the screen.
    def clic(self, control):
        xdotool("mousemove", *self.a_la_vista(control), "click", "1")

    def boton(self, ventana, titulo):
        """Presses the button whose caption is `titulo` ("&" marks its access key)."""
        def activo():
            b = self.busca(ventana, "push button", titulo.replace("&", ""))
            return b if b and b.getState().contains(pyatspi.STATE_ENABLED) else None
        self.clic(espera(f'no hay un botón "{titulo}" activo', activo))

    def menu(self, titulo):
        self.clic(espera(f'no hay un menú "{titulo}"', lambda: self.busca(self.app, "menu item", titulo)))

    def teclea(self, control, texto):
        """Clicks into a text box, types `texto` and waits until the box shows it."""
        self.clic(control)
        espera(f'"{control.name}" no recibe el foco', lambda: control.getState().contains(pyatspi.STATE_FOCUSED), 5)
        xdotool("type", "--delay", 30, texto)
        espera(lambda: f'tecleado "{texto}", "{control.name}" muestra "{self.texto(control)}"',
               lambda: self.texto(control) == texto, 5)

    def elige(self, lista, entrada):
        """Opens a drop-down list and clicks the entry `entrada`."""
        self.clic(lista)
        self.clic(espera(f'la lista no ofrece "{entrada}"', lambda: self.busca(lista, "list item", entrada), 5))
        espera(lambda: f'elegido "{entrada}", la lista muestra "{lista.name}"', lambda: lista.name == entrada, 5)

    def dialogos(self):
        """The texts of the message boxes on show, to tell why a step did not come."""
        return [" / ".join(self.etiquetas(d))
                for rol in ("alert", "dialog") for d in self.busca(self.app, rol, todos=True)]
