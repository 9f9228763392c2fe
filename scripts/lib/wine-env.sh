# Shared by scripts/test and scripts/run: the packages they need, a virtual X
# display and a Wine prefix. Source it; it defines functions only.

# Installs the missing Debian packages among "$@" (needs root or sudo).
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

BUILD_PACKAGES=(cmake g++ make googletest libbenchmark-dev g++-mingw-w64-x86-64)
WINE_PACKAGES=(wine wine64 xvfb xdotool x11-utils imagemagick fonts-wqy-microhei)
# clang with its sanitizer and libFuzzer runtimes, for the fuzz targets.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

# Starts Xvfb on a free display unless DISPLAY already answers; exports DISPLAY.
# Sets XVFB_PID when it started one.
start_display() {
    XVFB_PID=""
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local number
    for number in $(seq 90 130); do
        [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$number"
        local tries
        for tries in $(seq 1 100); do
            xdpyinfo >/dev/null 2>&1 && return 0
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.05
        done
    done
    echo "could not start a virtual X display" >&2
    return 1
}

# Prepares a Wine prefix in $WINEPREFIX (created when missing): 64-bit, quiet,
# no Mono or Gecko, the UI fonts linked to a CJK font so that Chinese renders,
# and no window manager round trips (every hide of a managed window costs 2 s).
prepare_wine_prefix() {
    export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$WINEPREFIX"
    # Persistent, so that every wine start below finds it; one may run already.
    wineserver -p >/dev/null 2>&1 </dev/null || true
    # The server keeps the registry in memory, so a marker of our own tells
    # whether this prefix was set up already.
    local ready="$WINEPREFIX/.brindlemark-ready"
    if [ ! -f "$ready" ]; then
        wineboot -i >/dev/null 2>&1 </dev/null
        local face
        for face in Tahoma "DejaVu Sans" "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI"; do
            wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
                /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1 </dev/null
        done
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
        touch "$ready"
    fi
    # A first program start brings up the prefix's services; with its output on
    # /dev/null, none of them holds a pipe of the caller open.
    wine cmd /c exit >/dev/null 2>&1 </dev/null
}

# Sets the DPI of the Wine prefix in $WINEPREFIX (96 is 100 %, 144 is 150 %)
# and restarts its server, so that programs started from now on see it.
set_wine_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 </dev/null
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    wineserver -p >/dev/null 2>&1 </dev/null || true
    wine cmd /c exit >/dev/null 2>&1 </dev/null
}
