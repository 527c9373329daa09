# Shared by scripts/run and scripts/test: the Debian packages the program needs, and the build.

VALVIDA_RAIZ="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VALVIDA_PAQUETES=(cmake ninja-build g++ qt6-base-dev qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite
                  libgl-dev qt6-translations-l10n xvfb xauth)

instala_faltantes() {
    local faltan=()
    for p in "${VALVIDA_PAQUETES[@]}"; do
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

compila() {
    cmake -S "$VALVIDA_RAIZ" -B "$VALVIDA_RAIZ/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$VALVIDA_RAIZ/build" -j "$(nproc)"
}
