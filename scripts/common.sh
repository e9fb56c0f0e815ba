# Shared by scripts/run and scripts/test: package installation, the Wine
# environment and a virtual X display. Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# dpkg-dev: dpkg-shlibdeps, which finds the Debian package's Depends.
# Open MPI: swimmer-train's ranks (mpirun), in the native builds.
NATIVE_PACKAGES="cmake ninja-build g++ python3 libgtest-dev libbenchmark-dev libstb-dev libcgif-dev libmpfr-dev libfmt-dev libfast-float-dev libcli11-dev libopenmpi-dev openmpi-bin dpkg-dev"
WIN32_PACKAGES="g++-mingw-w64-i686-posix googletest wine wine32:i386 fonts-wine xvfb"
# Only where 32-bit x86 code cannot run (see choose_windows_build).
WIN64_PACKAGES="g++-mingw-w64-x86-64-posix wine64"
# The WebAssembly build (its compiler brings node) and the browser its page
# is tested in.
WEB_PACKAGES="emscripten chromium"

say() { if [ -t 2 ]; then printf '\033[1m==> %s\033[0m\n' "$*" >&2; else printf '==> %s\n' "$*" >&2; fi; }

# Installs whichever of the given Debian packages is missing. Root installs
# them with apt-get; anyone else is told the command and the script stops.
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local needs_i386=
    case " ${missing[*]}" in *:i386*) needs_i386=1 ;; esac
    if [ "$(id -u)" -ne 0 ]; then
        say "missing packages: ${missing[*]}"
        echo "Install them as root, then run this command again:" >&2
        [ -n "$needs_i386" ] && echo "  dpkg --add-architecture i386" >&2
        echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi
    say "installing ${missing[*]}"
    if [ -n "$needs_i386" ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Some machines (sandboxed virtual machines among them) execute no 32-bit
# x86 code at all, and so not Wine's 32-bit loader. There the Windows
# programs and tests run from the 64-bit build of the same sources; the
# 32-bit build, the one that ships, is still built. Sets WINDOWS_PRESET and
# SWIMMER_WINE, the Wine loader for that build.
runs_32bit_code() { /lib/ld-linux.so.2 --version >/dev/null 2>&1; }
choose_windows_build() {
    if runs_32bit_code; then
        WINDOWS_PRESET=win32
        SWIMMER_WINE=wine
    else
        WINDOWS_PRESET=win64
        SWIMMER_WINE=/usr/lib/wine/wine64
        export WINELOADER=$SWIMMER_WINE
    fi
    export WINDOWS_PRESET SWIMMER_WINE
}
windows_program() { echo "build/$WINDOWS_PRESET/bin/$1.exe"; }

# The project's own Wine prefix, one for each Windows build; quiet, and never
# offering to install Mono or Gecko. cmake/wine-run uses the same settings.
wine_environment() {
    [ -n "${WINDOWS_PRESET:-}" ] || choose_windows_build
    local prefix=$ROOT/build/wineprefix
    [ "$WINDOWS_PRESET" = win64 ] && prefix=$ROOT/build/wineprefix64
    export WINEPREFIX="${WINEPREFIX:-$prefix}"
    export WINEDEBUG="${WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
}

# True if DISPLAY names an X server that is there: a local display by its
# socket in /tmp/.X11-unix, a remote one (ssh forwarding, say) by an answer
# on its TCP port, 6000 + the display number.
display_reachable() {
    local display=${DISPLAY:-} host number
    [ -n "$display" ] || return 1
    host=${display%:*}
    number=${display##*:}
    number=${number%%.*}
    [[ $number =~ ^[0-9]+$ ]] || return 1
    if [ -z "$host" ] || [ "$host" = unix ]; then
        [ -S "/tmp/.X11-unix/X$number" ]
    else
        timeout 3 bash -c 'exec 3<>"/dev/tcp/$1/$2"' _ "$host" $((6000 + number)) 2>/dev/null
    fi
}

# Starts Xvfb on a free display and exports DISPLAY; stop_virtual_display
# ends it.
XVFB_PID=
start_virtual_display() {
    local screen=${1:-1600x900x24} number_file
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$number_file" ] && break
        sleep 0.1
    done
    if [ ! -s "$number_file" ]; then
        rm -f "$number_file"
        echo "Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$(head -n1 "$number_file")"
    rm -f "$number_file"
}

stop_virtual_display() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=
}

# Keeps one wineserver alive until stop_wine, and boots the prefix (creating
# it if needed) so that Wine's service processes start now. Everything here
# runs with its output on /dev/null: Wine's daemons inherit open pipes and
# would otherwise hold a caller's output (CTest's, say) open until they exit.
start_wine() {
    wine_environment
    [ -f "$WINEPREFIX/system.reg" ] || say "creating the Wine prefix $WINEPREFIX"
    # The server refuses a prefix folder that does not exist yet.
    mkdir -p "$WINEPREFIX"
    wineserver -p >/dev/null 2>&1 </dev/null
    "$SWIMMER_WINE" wineboot -i >/dev/null 2>&1 </dev/null
}

# On a virtual display there is no window manager to hand windows to: Wine
# then manages its windows itself, instead of waiting (about 2 s) for a
# manager's answer each time a window is hidden or destroyed.
unmanaged_windows() {
    "$SWIMMER_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
}

stop_wine() {
    wineserver -k >/dev/null 2>&1 </dev/null || true
}

# Configures and builds one CMake preset.
# build_preset PRESET [cmake --build options...], e.g. --target NAME...
build_preset() {
    local preset=$1
    shift
    say "building preset $preset"
    cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" "$@"
}

# The page's npm packages: the chart library its build bundles, and what
# its tests need (Playwright's driver, without a browser of its own: they
# drive Debian's Chromium), exactly as the committed lock file gives them;
# installed again only when it changed.
PAGE_FOLDER=$ROOT/app/web
ensure_page_packages() {
    local stamp=$PAGE_FOLDER/node_modules/.installed-lock.json
    cmp -s "$PAGE_FOLDER/package-lock.json" "$stamp" 2>/dev/null && return 0
    command -v npm >/dev/null || ensure_packages npm || return 1
    say "installing the page's npm packages (npm ci in app/web)"
    (cd "$PAGE_FOLDER" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error) &&
        cp "$PAGE_FOLDER/package-lock.json" "$stamp"
}
