# Shared by scripts/run and scripts/test: the Debian packages the program needs, and the build.

VALVIDA_RAIZ="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# libxlsxwriter-dev writes the workbooks; the report's PDF is set in DejaVu Sans; libsqlite3-dev runs
# the calculation's statements through the connection's own SQLite handle.
VALVIDA_PAQUETES=(cmake ninja-build g++ qt6-base-dev qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite
                  libgl-dev qt6-translations-l10n xvfb xauth libxlsxwriter-dev fonts-dejavu-core libsqlite3-dev
                  libqt6sql6-psql)
# The end-to-end test besides: the accessibility bus and Debian's Python binding to it, a session
# bus, keys and clicks, the screenshot of a failure, and the Spanish locale it runs the program in.
VALVIDA_PAQUETES_E2E=(python3-pyatspi at-spi2-core dbus-x11 xdotool x11-apps imagemagick locales)
# The documents' test reads the workbooks back with openpyxl and the report with pdftotext; the
# store's tests run a second time over a throwaway PostgreSQL server.
VALVIDA_PAQUETES_PRUEBAS=(python3-openpyxl poppler-utils postgresql)
# The format check of every source (.clang-format, as Debian 12's clang-format 14 reads it).
VALVIDA_PAQUETES_FORMATO=(clang-format)

# The packages named (the program's own when none), installed when missing.
instala_faltantes() {
    local paquetes=("$@") faltan=()
    [ $# -gt 0 ] || paquetes=("${VALVIDA_PAQUETES[@]}")
    for p in "${paquetes[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || faltan+=("$p")
    done
    [ ${#faltan[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Faltan paquetes. Instálelos con:" >&2
        echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${faltan[*]}" >&2
        exit 1
    fi
    echo "Instalando: ${faltan[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${faltan[@]}"
}

# compila [-B CARPETA] [OPCIONES_CMAKE...] [-- OBJETIVOS...]: configures and builds (build/ by default).
compila() {
    local carpeta="$VALVIDA_RAIZ/build" opciones=() objetivos=()
    if [ "${1:-}" = "-B" ]; then carpeta="$VALVIDA_RAIZ/$2"; shift 2; fi
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do opciones+=("$1"); shift; done
    [ $# -gt 0 ] && shift && objetivos=(--target "$@")
    cmake -S "$VALVIDA_RAIZ" -B "$carpeta" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${opciones[@]}"
    cmake --build "$carpeta" -j "$(nproc)" "${objetivos[@]}"
}

# The end-to-end test runs the program under es_ES.UTF-8 (the decimal comma).
genera_locale_es() {
    locale -a | grep -ix 'es_ES.utf-\?8' >/dev/null && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Falta la configuración regional es_ES.UTF-8. Genérela con:" >&2
        echo "  echo 'es_ES.UTF-8 UTF-8' | sudo tee -a /etc/locale.gen && sudo locale-gen" >&2
        exit 1
    fi
    grep -qx 'es_ES.UTF-8 UTF-8' /etc/locale.gen || echo 'es_ES.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen
}

# inicia_postgres: a throwaway PostgreSQL server of the tests' own, in a new temporary folder:
# its data there, its Unix socket there, no network port, every user trusted. Exports
# VALVIDA_PRUEBA_PG (the socket folder) and PGUSER; detiene_postgres stops it and removes the folder.
# The server refuses to run as root, so under root it runs as nobody.
inicia_postgres() {
    local bin usuario=()
    bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
    if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
        echo "No se puede iniciar el servidor PostgreSQL de las pruebas: falta el paquete postgresql." >&2
        return 1
    fi
    VALVIDA_PG_CARPETA=$(mktemp -d /tmp/valvida-pg.XXXXXX)
    if [ "$(id -u)" -eq 0 ]; then
        chown nobody: "$VALVIDA_PG_CARPETA"
        usuario=(runuser -u nobody --)
    fi
    VALVIDA_PG_COMO=("${usuario[@]}")
    VALVIDA_PG_BIN=$bin
    if ! (cd "$VALVIDA_PG_CARPETA" &&
          "${usuario[@]}" "$bin/initdb" -D "$VALVIDA_PG_CARPETA/datos" -A trust -U valvida -E UTF8 --locale=C \
              --no-sync >"$VALVIDA_PG_CARPETA/initdb.log" 2>&1 &&
          "${usuario[@]}" "$bin/pg_ctl" -D "$VALVIDA_PG_CARPETA/datos" -l "$VALVIDA_PG_CARPETA/registro" -w \
              -o "-k $VALVIDA_PG_CARPETA -c listen_addresses= -c fsync=off -c max_connections=200" start \
              >/dev/null); then
        echo "No se pudo iniciar el servidor PostgreSQL de las pruebas:" >&2
        cat "$VALVIDA_PG_CARPETA"/initdb.log "$VALVIDA_PG_CARPETA"/registro 2>/dev/null | tail -20 >&2
        return 1
    fi
    export VALVIDA_PRUEBA_PG=$VALVIDA_PG_CARPETA PGUSER=valvida
}

detiene_postgres() {
    [ -n "${VALVIDA_PG_CARPETA:-}" ] || return 0
    (cd "$VALVIDA_PG_CARPETA" && "${VALVIDA_PG_COMO[@]}" "$VALVIDA_PG_BIN/pg_ctl" -D "$VALVIDA_PG_CARPETA/datos" \
        -m immediate stop >/dev/null 2>&1) || true
    rm -rf "$VALVIDA_PG_CARPETA"
    unset VALVIDA_PRUEBA_PG VALVIDA_PG_CARPETA
}
