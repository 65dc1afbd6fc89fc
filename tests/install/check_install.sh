#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what a desktop expects of it: every file in
# its place, the desktop entry and the metainfo valid by the desktop's own validators, the file
# type recognising libraries by name and content, manual pages and completion that know every
# vlib command, and the installed reader finding its data through the prefix while it keeps
# its settings in the user's folder.
# Usage: check_install.sh BUILD_DIR JET_LIBRARY
set -euo pipefail
build=$1
jet=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
problems=0
problem() { echo "FAIL: $*" >&2; problems=$((problems + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null

id=org.vyne.VYNEBrowser
for f in bin/vyne-browser bin/vlib \
  share/vyne-browser/VYNEBrowser_UserManual.html share/vyne-browser/demo/VYNE-Demo.mdb \
  share/vyne-browser/icons/$id.svg share/icons/hicolor/scalable/apps/$id.svg \
  share/icons/hicolor/16x16/apps/$id.png share/icons/hicolor/48x48/apps/$id.png \
  share/icons/hicolor/256x256/apps/$id.png share/applications/$id.desktop \
  share/metainfo/$id.metainfo.xml share/mime/packages/vyne-browser.xml \
  share/man/man1/vyne-browser.1 share/man/man1/vlib.1 share/bash-completion/completions/vlib; do
  [ -s "$prefix/$f" ] || problem "missing $f"
done
grep -q '48 x 48' <<<"$(file "$prefix/share/icons/hicolor/48x48/apps/$id.png")" || problem "the 48x48 icon is not 48x48"

desktop-file-validate "$prefix/share/applications/$id.desktop" || problem "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null || problem "appstreamcli validate"

# The programs answer without a display.
nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }
grep -qx 'vyne-browser [0-9.]*' <<<"$(nodisplay "$prefix/bin/vyne-browser" --version)" ||
  problem "vyne-browser --version"
grep -q '^Usage: vyne-browser' <<<"$(nodisplay "$prefix/bin/vyne-browser" --help)" ||
  problem "vyne-browser --help"
grep -qx 'vlib (VYNE Browser) [0-9.]*' <<<"$("$prefix/bin/vlib" --version)" || problem "vlib --version"

# The manual page and the completion know every command vlib has.
commands=$("$prefix/bin/vlib" --commands)
[ -n "$commands" ] || problem "vlib --commands lists nothing"
page=$(MANWIDTH=200 man -l "$prefix/share/man/man1/vlib.1" 2>/dev/null || cat "$prefix/share/man/man1/vlib.1")
for c in $commands; do
  grep -q "vlib $c" <<<"$page" || problem "vlib.1 does not describe $c"
done
completion() {  # the words bash offers after "vlib $*"
  PATH="$prefix/bin:$PATH" bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$0"
    COMP_WORDS=(vlib "$@"); COMP_CWORD=$(($# )); COMP_LINE="vlib $*"; COMP_POINT=${#COMP_LINE}
    _vlib vlib "${@: -1}" "${COMP_WORDS[COMP_CWORD-1]}"
    printf "%s\n" "${COMPREPLY[@]}"' "$prefix/share/bash-completion/completions/vlib" "$@"
}
[ "$(completion "")" = "$commands" ] || problem "completion of the command names: $(completion "" | tr '\n' ' ')"
grep -qx -- '--under' <<<"$(completion import --u)" || problem "completion of import's options: $(completion import --u)"
grep -qx -- '--force' <<<"$(completion export --)" || problem "completion of export's options: $(completion export --)"

# The file type: a library by its ".mdb" name and its content, native or Jet 4; a plain SQLite
# database stays one, and a ".mdb" file of other content is no library.
mime=$work/mime
mkdir -p "$mime/mime/packages"
cp /usr/share/mime/packages/freedesktop.org.xml "$prefix/share/mime/packages/vyne-browser.xml" "$mime/mime/packages/"
XDG_DATA_DIRS=$mime update-mime-database "$mime/mime" || problem "update-mime-database refused the definition"
"$prefix/bin/vlib" create "$work/native.mdb" >/dev/null
cp "$jet" "$work/jet.mdb"
sqlite3 "$work/plain.sqlite3" 'CREATE TABLE t(x);'
cp "$work/plain.sqlite3" "$work/plain-sqlite-under-another-name"
echo "just text" >"$work/text.mdb"
type_of() { XDG_DATA_HOME=$mime XDG_DATA_DIRS=$mime gio info -a standard::content-type "$1" | sed -n 's/.*standard::content-type: //p'; }
for case in native.mdb:application/x-vyne-library jet.mdb:application/x-vyne-library \
  plain.sqlite3:application/vnd.sqlite3 plain-sqlite-under-another-name:application/vnd.sqlite3 \
  text.mdb:application/vnd.ms-access; do
  got=$(type_of "$work/${case%%:*}")
  [ "$got" = "${case#*:}" ] || problem "${case%%:*} is seen as $got, not ${case#*:}"
done

# The installed reader: its data through the prefix, its settings in the user's folder, never
# beside the program (even where that folder could be written).
home=$work/home
mkdir -p "$home"
HOME=$home XDG_DATA_HOME=$home/data QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 VYNE_SHOT=$work/shot.png \
  timeout 120 "$prefix/bin/vyne-browser" "$prefix/share/vyne-browser/demo/VYNE-Demo.mdb" >/dev/null 2>&1 ||
  problem "the installed reader did not start and end"
[ -s "$work/shot.png" ] || problem "the installed reader showed no window"
[ -f "$home/data/vyne-browser/vyne-browser.ini" ] || problem "no settings in \$XDG_DATA_HOME/vyne-browser"
grep -q 'VYNE-Demo.mdb' "$home/data/vyne-browser/vyne-browser.ini" || problem "the settings do not name the library"
[ "$(ls "$prefix/bin" | sort | tr '\n' ' ')" = "vlib vyne-browser " ] || problem "files written beside the program: $(ls "$prefix/bin")"

[ $problems -eq 0 ] && echo "install tree: all checks passed"
exit $((problems > 0))
