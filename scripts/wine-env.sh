# Sourced by the scripts that run Windows programs under Wine. Defines the private
# environment (locale, prefix template, Xvfb) and nothing else; never touches ~/.wine.
#   KIT_WINE_WORK  folder for the locale, the prefix template and the suites' prefixes

: "${KIT_WINE_WORK:?KIT_WINE_WORK must name a work folder}"
# Wine changes directory; every path handed to it must be absolute.
KIT_WINE_WORK="$(realpath -m "$KIT_WINE_WORK")"
KIT_LOCALE_DIR="$KIT_WINE_WORK/locale"
KIT_SCRIPTS_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

# Which Wine this machine runs (KIT_WINE_ARCH): see wine-arch.sh.
. "$KIT_SCRIPTS_DIR/wine-arch.sh"
KIT_TEMPLATE="$KIT_WINE_WORK/template-$KIT_WINE_ARCH"
if [ "$KIT_WINE_ARCH" = win32 ]; then
    KIT_WINE=/usr/bin/wine
    KIT_WINESERVER=/usr/lib/wine/wineserver32
else
    KIT_WINE=/usr/lib/wine/wine64
    KIT_WINESERVER=/usr/lib/wine/wineserver64
fi

kit_wine_exports() {  # $1: prefix
    export WINEPREFIX="$1" WINEARCH="$KIT_WINE_ARCH" WINEDEBUG="${KIT_WINEDEBUG:--all}"
    export WINELOADER="$KIT_WINE" WINESERVER="$KIT_WINESERVER"
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export LOCPATH="$KIT_LOCALE_DIR"
    # bash itself cannot switch to a locale found through LOCPATH; only Wine needs it.
    { export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8; } 2>/dev/null
    # Wine links the user's folders to $HOME and XDG folders: keep them inside the prefix.
    export HOME="$1/home" XDG_DATA_HOME="$1/home/.local/share" XDG_CONFIG_HOME="$1/home/.config"
    export XDG_CACHE_HOME="$1/home/.cache"
    mkdir -p "$HOME"
}

# A real ja_JP.UTF-8 locale is what makes Wine's ANSI code page 932.
kit_ensure_locale() {
    [ -f "$KIT_LOCALE_DIR/ja_JP.UTF-8/LC_CTYPE" ] && return 0
    mkdir -p "$KIT_LOCALE_DIR"
    localedef -i ja_JP -f UTF-8 "$KIT_LOCALE_DIR/ja_JP.UTF-8" 2>/dev/null ||
        [ -f "$KIT_LOCALE_DIR/ja_JP.UTF-8/LC_CTYPE" ]
}

# Starts Xvfb on a display it chooses itself (-displayfd), sets DISPLAY and KIT_XVFB_PID.
kit_start_xvfb() {  # $1: WxHxD
    local fdfile
    fdfile="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
    KIT_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
        if [ -s "$fdfile" ]; then break; fi
        if ! kill -0 "$KIT_XVFB_PID" 2>/dev/null; then break; fi
        sleep 0.05
    done
    if [ ! -s "$fdfile" ]; then
        echo "wine-env: Xvfb did not start" >&2
        rm -f "$fdfile"
        return 1
    fi
    export DISPLAY=":$(head -n1 "$fdfile")"
    rm -f "$fdfile"
}

kit_stop_xvfb() {
    if [ -n "${KIT_XVFB_PID:-}" ]; then
        kill "$KIT_XVFB_PID" 2>/dev/null || true
        wait "$KIT_XVFB_PID" 2>/dev/null || true
        KIT_XVFB_PID=""
    fi
}

kit_stop_wineserver() {
    "$KIT_WINESERVER" -k 2>/dev/null || true
    timeout 10 "$KIT_WINESERVER" -w 2>/dev/null || true
}

# UTF-16LE .reg import, independent of the Unix locale. The converted copy is a temporary
# file of the work folder, never written beside the source file. Fails with a message when
# the file is no REGEDIT4 file, cannot be converted, or regedit has something to say about
# it: a program run without its settings would fail for reasons nobody could see.
kit_import_reg() {  # $1: REGEDIT4 text file (UTF-8)
    local utf16 said="" status=0
    if [ "$(head -n 1 "$1" 2>/dev/null | tr -d '\r')" != REGEDIT4 ]; then
        echo "wine-env: $1 is no REGEDIT4 file; nothing was imported" >&2
        return 1
    fi
    mkdir -p "$KIT_WINE_WORK"
    utf16="$(mktemp "$KIT_WINE_WORK/import.XXXXXX.reg")"
    # Wine's regedit ends with 0 even when it cannot read the file: what it says tells.
    { printf '\xff\xfe' && iconv -f UTF-8 -t UTF-16LE "$1"; } >"$utf16" &&
        said="$("$KIT_WINE" regedit /S "$("$KIT_WINE" winepath -w "$utf16" 2>/dev/null)" 2>&1)" ||
        status=$?
    rm -f "$utf16"
    if [ "$status" != 0 ] || [ -n "$said" ]; then
        echo "wine-env: importing $1 into the registry failed (status $status) $said" >&2
        return 1
    fi
}

# The prefix every suite copies: 32-bit, Japanese fonts, no window manager delays.
kit_build_template() {
    local tmp="$KIT_TEMPLATE.tmp.$$"
    rm -rf "$tmp"
    mkdir -p "$tmp"
    (
        kit_wine_exports "$tmp"
        kit_start_xvfb 1024x768x24 || exit 1
        trap 'kit_stop_wineserver; kit_stop_xvfb' EXIT
        "$KIT_WINE" wineboot -i >/dev/null 2>&1
        timeout 60 "$KIT_WINESERVER" -w 2>/dev/null || true
        cp /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$tmp/drive_c/windows/Fonts/" 2>/dev/null || true
        # Wine's Japanese System raster font has no kanji, where Japanese Windows' System font
        # has them all: without it, System in character set 128 comes from IPAGothic.
        rm -f "$tmp/drive_c/windows/Fonts/jvgasys.fon"
        kit_import_reg "$KIT_SCRIPTS_DIR/wine-template.reg" || exit 1
        kit_stop_wineserver
        "$KIT_WINE" reg query 'HKCU\Software\Wine\X11 Driver' /v Managed 2>/dev/null | grep -q 'N' || {
            echo "wine-env: template settings were not imported" >&2; exit 1; }
        kit_stop_wineserver
    ) || { rm -rf "$tmp"; return 1; }
    rm -rf "$KIT_TEMPLATE"
    mv "$tmp" "$KIT_TEMPLATE"
}

kit_ensure_template() {
    mkdir -p "$KIT_WINE_WORK"
    kit_ensure_locale || { echo "wine-env: cannot build the ja_JP.UTF-8 locale" >&2; return 1; }
    (
        flock 9
        if [ ! -f "$KIT_TEMPLATE/system.reg" ]; then
            echo "wine-env: creating the prefix template in $KIT_TEMPLATE" >&2
            kit_build_template
        fi
    ) 9>"$KIT_WINE_WORK/template.lock"
}
