# Running the Windows programs under wine64: a private Xvfb display, a private Wine prefix and
# the Japanese locale. Source it, then:
#   mirufon_start_xvfb                   starts Xvfb on a free display and exports DISPLAY
#   mirufon_wine_prefix DIR [DPI] [desktop|nodesktop]
#                                        prepares and exports WINEPREFIX
#   mirufon_wine PROGRAM [ARGS...]       runs a program under wine64 with code page 932
#   mirufon_wine_stop                    ends the prefix's Wine processes and that Xvfb

mirufon_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export WINELOADER=/usr/lib/wine/wine64
export WINEDEBUG="${WINEDEBUG:--all}"
# Code page 932 and the Japanese user locale, as on the systems the program is made for. Only
# Wine gets it: the host's own tools keep their locale (deps.sh generates ja_JP.UTF-8, which
# Wine needs to encode file names).
# MIRUFON_LOCALE=en_US.UTF-8 runs it as on an English Windows (code page 1252).
mirufon_wine() { LC_ALL="${MIRUFON_LOCALE:-ja_JP.UTF-8}" "$WINELOADER" "$@"; }
mirufon_xvfb_pid=""

# Starts Xvfb on a free display number and exports DISPLAY.
mirufon_start_xvfb() {
    local number
    for number in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 "${MIRUFON_SCREEN:-1280x800x24}" -nolisten tcp >/dev/null 2>&1 &
        mirufon_xvfb_pid=$!
        local tries
        for tries in $(seq 1 50); do
            if xdpyinfo -display ":$number" >/dev/null 2>&1; then
                export DISPLAY=":$number"
                return 0
            fi
            sleep 0.1
        done
        kill "$mirufon_xvfb_pid" 2>/dev/null
    done
    echo "could not start Xvfb" >&2
    return 1
}

# Prepares WINEPREFIX (created if needed): Japanese UI fonts, the screen's DPI and, unless the
# third argument says "nodesktop", a virtual desktop (title bars and a notification area, which
# bare Xvfb lacks).
mirufon_wine_prefix() {
    local prefix="$1" dpi="${2:-96}" use_desktop="${3:-desktop}"
    export WINEPREFIX="$prefix"
    if [ ! -f "$prefix/.mirufon-ready-$dpi-$use_desktop" ]; then
        mkdir -p "$prefix"
        mirufon_wine wineboot -i >/dev/null 2>&1
        local reg="$prefix/mirufon.reg" text="$prefix/mirufon.reg.txt"
        local hexdpi desktop=""
        hexdpi=$(printf '%08x' "$dpi")
        if [ "$use_desktop" = desktop ]; then
            desktop=$(printf '%s\n' '[HKEY_CURRENT_USER\Software\Wine\Explorer]' \
                '"Desktop"="Default"' '' \
                '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' \
                "\"Default\"=\"${MIRUFON_DESKTOP:-1280x800}\"")
        fi
        cat >"$text" <<REG
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"MS UI Gothic"="IPAPGothic"
"Tahoma"="IPAPGothic"
"MS Shell Dlg"="IPAPGothic"
"MS Shell Dlg 2"="IPAPGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS PGothic"="IPAPGothic"
"MS Gothic"="IPAGothic"

$desktop
[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"LogPixels"=dword:$hexdpi

[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]
"LogPixels"=dword:$hexdpi
REG
        # Version 5 registry files are UTF-16: the Japanese face names survive any code page.
        { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$text"; } >"$reg"
        mirufon_wine regedit /S "$reg" >/dev/null 2>&1
        wineserver -w >/dev/null 2>&1 || true
        touch "$prefix/.mirufon-ready-$dpi-$use_desktop"
    fi
}

# Ends the Wine processes of this WINEPREFIX (only those) and the Xvfb started above, if any.
mirufon_wine_stop() {
    [ -n "${WINEPREFIX:-}" ] && WINEPREFIX="$WINEPREFIX" wineserver -k >/dev/null 2>&1
    [ -n "$mirufon_xvfb_pid" ] && kill "$mirufon_xvfb_pid" 2>/dev/null
    mirufon_xvfb_pid=""
    return 0
}
