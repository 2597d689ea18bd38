# Shared settings of the project's scripts (sourced).
# Wine takes the programs' ANSI code page from the locale: zh_CN.UTF-8 gives 936. QL_LOCALE picks
# another one (en_US.UTF-8: 1252, ja_JP.UTF-8: 932, zh_TW.UTF-8: 950) for the display-language tests.
if [ -n "${QL_LOCALE:-}" ]; then
  export LC_ALL=$QL_LOCALE
else
  locale -a 2>/dev/null | grep -qi "^zh_CN.utf-\?8$" && export LC_ALL=zh_CN.UTF-8
fi
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko downloads; no menu builder turning every shortcut into a file in $HOME.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
export WINEPREFIX=${QL_WINEPREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/qinglan/wine64}
QL_MINIZIP_DIR=${QL_MINIZIP_DIR:-/usr/local/src/qinglan-minizip}
QL_WINE=/usr/lib/wine/wine64
QL_WINESERVER=/usr/lib/wine/wineserver64
[ -x "$QL_WINESERVER" ] || QL_WINESERVER=wineserver
export QL_MINIZIP_DIR QL_WINE QL_WINESERVER
