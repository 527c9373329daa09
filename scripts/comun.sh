# Shared by scripts/run and scripts/test: the Debian packages the program needs, and the build.

VALVIDA_RAIZ="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# libxlsxwriter-dev writes the workbooks; the report's PDF is set in DejaVu Sans; libsqlite3-dev runs
# the calculation's statements through the connection's own SQLite handle.
VALVIDA_PAQUETES=(cmake ninja-build g++ qt6-base-dev qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite
                  libgl-dev qt6-translations-l10n xvfb xauth libxlsxwriter-dev fonts-dejavu-core libsqlite3-dev)
# The end-to-end test besides: the accessibility bus and Debian's Python binding to it, a session
# bus, keys and clicks, the screenshot of a failure, and the Spanish locale it runs the program in.
VALVIDA_PAQUETES_E2E=(python3-pyatspi at-spi2-core dbus-x11 xdotool x11-apps imagemagick locales)
# The documents' test reads the workbooks back with openpyxl and the report with pdftotext.
VALVIDA_PAQUETES_PRUEBAS=(python3-openpyxl poppler-utils)
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
