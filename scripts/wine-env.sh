# shellcheck shell=sh
# Environment for running Temvik's Windows programs under wine.
#
# Source it from sh or bash, then prepare the prefix once per X session:
#
#   . scripts/wine-env.sh        # from sh: set TEMVIK_ROOT to the repo root first
#   temvik_wine_prepare          # needs $DISPLAY; cheap when already done
#   wine build/mingw/src/app/temvik.exe
#   temvik_wine_stop             # optional: ends this prefix's wineserver
#
# Exports:
#   LC_ALL=zh_CN.UTF-8   wine's ANSI code page becomes 936 (GBK).
#   LOCPATH              a folder with that glibc locale, compiled once from the
#                        system's locale sources (no root needed): without it
#                        wine cannot create files with Chinese names.
#   WINEDEBUG=-all       (TEMVIK_WINEDEBUG overrides, e.g. TEMVIK_WINEDEBUG=+seh)
#   WINEDLLOVERRIDES     no Mono/Gecko install prompts, no sound drivers
#   WINEARCH=win64
#   WINEPREFIX           default <repo>/build/wineprefix (build/wineprefix-dpiN at
#                        another DPI); set it before sourcing to use another
#                        folder. Each prefix has its own wineserver.
#   TEMVIK_WINE_DPI      the prefix's screen DPI (wine's LogPixels), default 96.
#                        The virtual desktop is scaled with it: 1280x1024 at 96,
#                        1920x1536 at 144.
#   TEMVIK_WINE_SCREEN   the virtual desktop's size instead, e.g. 1366x768 for a
#                        small screen (give such a prefix a WINEPREFIX of its own).
#
# Functions:
#   temvik_wine_create_prefix  create the prefix once, quietly, with wine's virtual
#                              desktop turned on, and keep its settings (DPI, fonts)
#                              up to date; no X server needed.
#   temvik_wine_prepare        create the prefix if needed, then start a persistent
#                              wineserver and boot wine's services for $DISPLAY, so
#                              each later wine command starts in well under a second
#                              and no helper process holds a caller's stdout pipe.
#                              The server ends by itself when no program has run for
#                              TEMVIK_WINESERVER_PERSIST seconds (default 300); the
#                              next temvik_wine_prepare starts it again.
#   temvik_wine_stop           end this prefix's wineserver and all its programs.
#   temvik_need_display [--private] COMMAND [ARG...]
#                              give the caller an X display. With $DISPLAY set (and
#                              no --private) it returns at once. Otherwise it runs
#                              COMMAND (the calling script again) inside a private
#                              Xvfb as big as the virtual desktop and never returns.
#                              That run has TEMVIK_PRIVATE_X=1 in its environment;
#                              sourcing this file takes it out (so the programs it
#                              starts do not see it) and sets TEMVIK_IN_PRIVATE_X=1.
#                              There temvik_need_display returns at once and ends
#                              this prefix's wineserver when the script ends, since
#                              the wineserver is bound to the X server that goes.
#
# The prefix belongs to these scripts: a wineserver of this prefix bound to an X
# display that is gone is restarted; one bound to another live display is an error.

if [ -z "${TEMVIK_ROOT:-}" ]; then
  if [ -n "${BASH_VERSION:-}" ]; then
    eval 'TEMVIK_ROOT=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)'
  else
    echo "wine-env.sh: set TEMVIK_ROOT to the repository root before sourcing it from sh" >&2
    # shellcheck disable=SC2317 # exit when run rather than sourced
    return 1 2>/dev/null || exit 1
  fi
fi
export TEMVIK_ROOT

# A compiled zh_CN.UTF-8 locale of our own, unless the system has one.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  _temvik_locales="${TEMVIK_LOCPATH:-$TEMVIK_ROOT/build/locale}"
  if [ ! -d "$_temvik_locales/zh_CN.UTF-8" ] && command -v localedef >/dev/null 2>&1; then
    # Built aside and moved into place, so a parallel caller never sees half of it.
    mkdir -p "$_temvik_locales" &&
      localedef -i zh_CN -f UTF-8 "$_temvik_locales/.zh_CN.$$" >/dev/null 2>&1 &&
      mv -T "$_temvik_locales/.zh_CN.$$" "$_temvik_locales/zh_CN.UTF-8" 2>/dev/null
    rm -rf "$_temvik_locales/.zh_CN.$$"
  fi
  [ -d "$_temvik_locales/zh_CN.UTF-8" ] && export LOCPATH="$_temvik_locales"
fi
# Without the locale bash warns once; wine still takes the code page from the name.
export LC_ALL=zh_CN.UTF-8 2>/dev/null
export WINEDEBUG="${TEMVIK_WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d"
export WINEARCH=win64
TEMVIK_WINE_DPI="${TEMVIK_WINE_DPI:-96}"
export TEMVIK_WINE_DPI
if [ "$TEMVIK_WINE_DPI" = 96 ]; then
  WINEPREFIX="${WINEPREFIX:-$TEMVIK_ROOT/build/wineprefix}"
else
  WINEPREFIX="${WINEPREFIX:-$TEMVIK_ROOT/build/wineprefix-dpi$TEMVIK_WINE_DPI}"
fi
case "$WINEPREFIX" in
  /*) ;;
  *) WINEPREFIX="$PWD/$WINEPREFIX" ;;
esac
export WINEPREFIX
TEMVIK_WINE="${TEMVIK_WINE:-wine}"
# Pixels at the prefix's DPI, rounded as Windows rounds them.
_temvik_at_dpi() {
  echo $((($1 * TEMVIK_WINE_DPI + 48) / 96))
}
# wine's virtual desktop; a private X server has the same size.
TEMVIK_WINE_DESKTOP="${TEMVIK_WINE_SCREEN:-$(_temvik_at_dpi 1280)x$(_temvik_at_dpi 1024)}"

# The run of a script that temvik_need_display started in a private Xvfb.
if [ -n "${TEMVIK_PRIVATE_X:-}" ]; then
  TEMVIK_IN_PRIVATE_X=1
  unset TEMVIK_PRIVATE_X
fi

_temvik_wine_log() {
  printf 'wine-env: %s\n' "$*" >&2
}

# Runs "$@" holding the prefix lock, so parallel callers (ctest -j) prepare once.
# Everything started inside must close fd 9, or a persistent wineserver would
# keep the lock forever.
_temvik_wine_locked() {
  mkdir -p "$(dirname -- "$WINEPREFIX")" || return 1
  (
    flock 9 || exit 1
    "$@"
  ) 9>"$WINEPREFIX.lock"
}

# A wine command with no terminal and its output in the prefix's log.
_temvik_wine_quiet() {
  "$@" </dev/null >>"$WINEPREFIX.log" 2>&1 9>&-
}

# The wineserver of a prefix runs in a folder named after the prefix's device and inode.
_temvik_wine_server_dir_name() {
  # shellcheck disable=SC2046
  set -- $(stat -c '%d %i' "$WINEPREFIX" 2>/dev/null) || return 1
  [ $# -eq 2 ] || return 1
  printf 'server-%x-%x' "$1" "$2"
}

# Prints the pid of this prefix's running wineserver, if any.
_temvik_wine_server_pid() {
  _tw_name=$(_temvik_wine_server_dir_name) || return 0
  for _tw_proc in /proc/[0-9]*; do
    _tw_comm=
    { read -r _tw_comm <"$_tw_proc/comm"; } 2>/dev/null || continue
    case "$_tw_comm" in
      wineserver*) ;;
      *) continue ;;
    esac
    case "$(readlink "$_tw_proc/cwd" 2>/dev/null)" in
      */"$_tw_name") echo "${_tw_proc#/proc/}"; return 0 ;;
    esac
  done
  return 0
}

_temvik_wine_session_file() {
  printf '%s/.temvik-session' "$WINEPREFIX"
}

# True when the recorded wineserver is alive and bound to this X session.
_temvik_wine_session_ok() {
  _tw_file=$(_temvik_wine_session_file)
  [ -f "$_tw_file" ] || return 1
  { read -r _tw_pid; read -r _tw_display; read -r _tw_xauth; } <"$_tw_file" || return 1
  [ "$_tw_display" = "${DISPLAY:-}" ] && [ "$_tw_xauth" = "${XAUTHORITY:-}" ] || return 1
  _tw_name=$(_temvik_wine_server_dir_name) || return 1
  case "$(readlink "/proc/$_tw_pid/cwd" 2>/dev/null)" in
    */"$_tw_name") return 0 ;;
  esac
  return 1
}

# True when the X display in $1 (with auth file $2) still seems to exist.
_temvik_wine_display_alive() {
  [ -z "$2" ] || [ -e "$2" ] || return 1
  case "$1" in
    :*)
      _tw_num=${1#:}
      _tw_num=${_tw_num%%.*}
      [ -S "/tmp/.X11-unix/X$_tw_num" ]
      ;;
    *) return 0 ;;
  esac
}

# What the prefix's settings are made of; a prefix made with other settings,
# or by an older version of these scripts, gets them again.
_temvik_wine_settings_id() {
  printf 'settings 3, %s dpi, %s\n' "$TEMVIK_WINE_DPI" "$TEMVIK_WINE_DESKTOP"
}

_temvik_wine_settings_current() {
  [ -f "$WINEPREFIX/.temvik-prefix-v2" ] &&
    [ "$(cat "$WINEPREFIX/.temvik-settings" 2>/dev/null)" = "$(_temvik_wine_settings_id)" ]
}

temvik_wine_create_prefix() {
  _temvik_wine_settings_current && return 0
  _temvik_wine_locked _temvik_wine_create_prefix_locked
}

# Menus, captions and message boxes in a face that draws Chinese cleanly at
# small sizes (wine's default stand-in drops strokes there): a LOGFONTW of
# 12 px "WenQuanYi Micro Hei", charset DEFAULT_CHARSET. The height counts at
# 96 DPI: wine scales it to the prefix's DPI itself.
_TEMVIK_UI_LOGFONT=f4ffffff000000000000000000000000900100000000000100000000570065006e005100750061006e005900690020004d006900630072006f0020004800650069000000000000000000000000000000000000000000000000000000

# Bytes of a hex string as a .reg file writes them: "f4ff" -> "f4,ff".
_temvik_reg_hex() {
  printf '%s' "$1" | sed 's/../&,/g; s/,$//'
}

# Where wine keeps its own fonts. Debian's wine 8 looks for them in
# "<data dir>\../fonts", a path its file layer never resolves, so it loads
# none of them; the Marlett font, which draws the caption buttons, is then
# missing and the buttons show its letters "0 1 r" in another font.
_temvik_wine_font_dir() {
  for _tw_dir in "${TEMVIK_WINE_FONTS:-}" /usr/share/wine/fonts /usr/local/share/wine/fonts \
    /opt/wine*/share/wine/fonts; do
    if [ -n "$_tw_dir" ] && [ -f "$_tw_dir/marlett.ttf" ]; then
      echo "$_tw_dir"
      return 0
    fi
  done
  return 1
}

# Writes the settings into the prefix; wineserver must not be bound to an X
# display meanwhile (the caller ends it).
_temvik_wine_write_settings() {
  _tw_font=$(_temvik_reg_hex "$_TEMVIK_UI_LOGFONT")
  _tw_reg="$WINEPREFIX/drive_c/temvik-settings.reg"
  {
    printf 'REGEDIT4\r\n\r\n'
    # The virtual desktop: without a window manager, hiding a window stalls otherwise.
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="%s"\r\n\r\n' \
      "$TEMVIK_WINE_DESKTOP"
    printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=dword:%08x\r\n\r\n' \
      "$TEMVIK_WINE_DPI"
    printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics]\r\n'
    for _tw_name in MenuFont CaptionFont SmCaptionFont MessageFont StatusFont IconFont; do
      printf '"%s"=hex:%s\r\n' "$_tw_name" "$_tw_font"
    done
  } >"$_tw_reg" || return 1
  _temvik_wine_quiet "$TEMVIK_WINE" reg import 'C:\temvik-settings.reg' || return 1
  rm -f "$_tw_reg"
  # Marlett where Windows keeps it, in the Fonts folder, which wine does read.
  if _tw_dir=$(_temvik_wine_font_dir); then
    cp "$_tw_dir/marlett.ttf" "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" || return 1
  else
    _temvik_wine_log "no marlett.ttf (package fonts-wine): caption buttons show \"0 1 r\""
  fi
}

_temvik_wine_create_prefix_locked() {
  _temvik_wine_settings_current && return 0
  _tw_start=$(date +%s)
  if [ -f "$WINEPREFIX/.temvik-prefix-v2" ]; then
    _temvik_wine_log "updating the settings of wine prefix $WINEPREFIX"
  else
    _temvik_wine_log "creating wine prefix $WINEPREFIX (once, about 10 s)"
  fi
  (
    # No X server and no desktop menu entries while wine sets itself up.
    unset DISPLAY
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
    # A server of this prefix would keep the old desktop and DPI.
    _temvik_wine_quiet wineserver -k
    if [ ! -f "$WINEPREFIX/.temvik-prefix-v2" ]; then
      _temvik_wine_quiet "$TEMVIK_WINE" wineboot -i || exit 1
    fi
    _temvik_wine_write_settings && _temvik_wine_quiet wineserver -w
  ) || {
    _temvik_wine_log "setting up the prefix failed; see $WINEPREFIX.log"
    return 1
  }
  rm -f "$(_temvik_wine_session_file)"
  : >"$WINEPREFIX/.temvik-prefix-v2"
  _temvik_wine_settings_id >"$WINEPREFIX/.temvik-settings"
  _temvik_wine_log "prefix ready in $(($(date +%s) - _tw_start)) s"
}

temvik_wine_prepare() {
  temvik_wine_create_prefix || return 1
  if [ -z "${DISPLAY:-}" ]; then
    _temvik_wine_log "no DISPLAY: start an X server first (e.g. xvfb-run -a)"
    return 1
  fi
  _temvik_wine_session_ok && return 0
  _temvik_wine_locked _temvik_wine_prepare_locked
}

_temvik_wine_prepare_locked() {
  _temvik_wine_session_ok && return 0
  _tw_file=$(_temvik_wine_session_file)
  _tw_pid=$(_temvik_wine_server_pid)
  if [ -n "$_tw_pid" ]; then
    _tw_old_display=''
    _tw_old_xauth=''
    if [ -f "$_tw_file" ]; then
      { read -r _tw_ignored; read -r _tw_old_display; read -r _tw_old_xauth; } <"$_tw_file" || true
    fi
    if [ -n "$_tw_old_display" ] && [ "$_tw_old_display" != "${DISPLAY:-}" ] &&
      _temvik_wine_display_alive "$_tw_old_display" "$_tw_old_xauth"; then
      _temvik_wine_log "prefix $WINEPREFIX is in use on DISPLAY=$_tw_old_display;" \
        "end that or set WINEPREFIX to another folder"
      return 1
    fi
    # Bound to an X server that is gone (or started by hand): start afresh.
    _temvik_wine_quiet wineserver -k
    _tw_wait=0
    while [ -d "/proc/$_tw_pid" ] && [ "$_tw_wait" -lt 50 ]; do
      sleep 0.1
      _tw_wait=$((_tw_wait + 1))
    done
  fi
  rm -f "$_tw_file"
  # A persistent server, and wine's services started now with no pipe attached:
  # otherwise the first wine command of a fresh server hands them its stdout.
  # It ends by itself once no program has run for TEMVIK_WINESERVER_PERSIST s.
  _temvik_wine_quiet wineserver "-p${TEMVIK_WINESERVER_PERSIST:-300}" || {
    _temvik_wine_log "wineserver -p failed; see $WINEPREFIX.log"
    return 1
  }
  _temvik_wine_quiet "$TEMVIK_WINE" wineboot || {
    _temvik_wine_log "wine wineboot failed; see $WINEPREFIX.log"
    return 1
  }
  _tw_pid=$(_temvik_wine_server_pid)
  if [ -z "$_tw_pid" ]; then
    _temvik_wine_log "no wineserver is running for $WINEPREFIX; see $WINEPREFIX.log"
    return 1
  fi
  printf '%s\n%s\n%s\n' "$_tw_pid" "${DISPLAY:-}" "${XAUTHORITY:-}" >"$_tw_file"
}

temvik_wine_stop() {
  if [ -n "$(_temvik_wine_server_pid)" ]; then
    _temvik_wine_quiet wineserver -k
  fi
  rm -f "$(_temvik_wine_session_file)"
}

temvik_need_display() {
  _tw_private=
  if [ "${1:-}" = --private ]; then
    _tw_private=1
    shift
  fi
  if [ -n "${TEMVIK_IN_PRIVATE_X:-}" ]; then
    if [ -z "${DISPLAY:-}" ]; then
      _temvik_wine_log "xvfb-run gave no DISPLAY"
      exit 1
    fi
    # The X server ends with this script; so must the wineserver bound to it.
    trap temvik_wine_stop EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    return 0
  fi
  [ -n "${DISPLAY:-}" ] && [ -z "$_tw_private" ] && return 0
  if ! command -v xvfb-run >/dev/null 2>&1; then
    _temvik_wine_log "no DISPLAY and no xvfb-run (install it with scripts/install-deps.sh)"
    exit 1
  fi
  TEMVIK_PRIVATE_X=1 exec xvfb-run -a -s "-screen 0 ${TEMVIK_WINE_DESKTOP}x24" "$@"
}
