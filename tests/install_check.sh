#!/usr/bin/env bash
# The game as an installed desktop program, from a built tree: installs it
# into a temporary DESTDIR and checks every file is in its place, runs the
# desktop's own validators on the menu entry, the metainfo and the manual
# pages, starts the installed program on the dummy driver with its program
# directory read-only and sees config.opt land under XDG_CONFIG_HOME, then
# builds the Debian package and has lintian look at it. A validator that is
# not installed (scripts/test installs them all) is skipped with a line.
#
#   tests/install_check.sh BUILD_DIR
set -uo pipefail
build="$(cd "$1" && pwd)"
work="$(mktemp -d)"
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
have() { command -v "$1" >/dev/null 2>&1 || { echo "skipped: $1 is not installed"; return 1; }; }
# Width and height of a PNG from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}'; }

dest="$work/dest"
prefix="$dest/usr/local"
DESTDIR="$dest" cmake --install "$build" --prefix /usr/local >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "cmake --install"; }

[ -x "$prefix/games/salvora" ] || fail "the program is not in games/"
for f in share/applications/salvora.desktop share/metainfo/org.salvora.salvora.metainfo.xml \
         share/man/man6/salvora.6.gz share/man/ru/man6/salvora.6.gz share/salvora/Salvora.html \
         share/doc/salvora/copyright share/doc/salvora/changelog.gz; do
  [ -f "$prefix/$f" ] || fail "missing $f"
done
for n in 16 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${n}x${n}/apps/salvora.png"
  if [ -f "$icon" ]; then
    [ "$(png_size "$icon")" = "${n}x${n}" ] || fail "$icon is $(png_size "$icon")"
  else
    fail "missing icon ${n}x${n}"
  fi
done
# Every picture the help page shows is installed beside it.
pictures=$(grep -o 'src="help/[^"]*"' "$prefix/share/salvora/Salvora.html" | sed 's/src="//; s/"$//' | sort -u)
[ "$(echo "$pictures" | wc -l)" -ge 30 ] || fail "the help page shows too few pictures"
for p in $pictures; do [ -f "$prefix/share/salvora/$p" ] || fail "the help page's $p is not installed"; done
for frame in game placement; do
  [ "$(png_size "$prefix/share/salvora/help/$frame.png")" = "640x480" ] || fail "help/$frame.png is not a 640x480 frame"
done
# The README's picture is this frame, committed; say when it has gone stale.
src="$(cd "$(dirname "$0")/.." && pwd)"
cmp -s "$build/help/game.png" "$src/docs/screenshot.png" ||
  echo "note: docs/screenshot.png differs from this build's game frame; scripts/screenshot rewrites it"

if have desktop-file-validate; then
  desktop-file-validate "$prefix/share/applications/salvora.desktop" || fail "desktop-file-validate"
  grep -q '^Exec=salvora$' "$prefix/share/applications/salvora.desktop" || fail "Exec is not salvora"
fi
if have appstreamcli; then
  appstreamcli validate --no-net "$prefix/share/metainfo/org.salvora.salvora.metainfo.xml" >"$work/as.log" 2>&1 ||
    { cat "$work/as.log"; fail "appstreamcli validate"; }
fi
if have mandoc; then
  for page in man6/salvora.6.gz ru/man6/salvora.6.gz; do
    mandoc -Tlint -Wwarning "$prefix/share/man/$page" || fail "mandoc -Tlint $page"
  done
fi

# The installed program with a read-only program directory: its settings go
# to the user's configuration directory, the default record, 24 bytes. The
# program ends on SIGTERM as on the close button.
chmod a-w "$prefix/games"
env XDG_CONFIG_HOME="$work/xdg" HOME="$work/home" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
  "$prefix/games/salvora" >"$work/run.log" 2>&1 &
pid=$!
config="$work/xdg/salvora/config.opt"
for _ in $(seq 100); do
  [ -s "$config" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
kill -TERM "$pid" 2>/dev/null
wait "$pid"
status=$?
[ "$status" -eq 0 ] || { cat "$work/run.log"; fail "the installed program ended with $status"; }
expected="01 01 08 c8 e3 f0 ee ea 20 4e 31 00 00 00 00 00 0c fe ff ff 01 00 00 00"
[ -f "$config" ] && [ "$(od -An -tx1 -v "$config" | xargs)" = "$expected" ] || fail "config.opt under XDG_CONFIG_HOME is not the default record"
[ ! -e "$prefix/games/config.opt" ] || fail "config.opt was written beside the installed program"

# The Debian package: its name, its files, dependencies from the libraries,
# and no lintian error.
if have dpkg-shlibdeps && have file; then
  if (cd "$build" && cpack -G DEB -B "$work/deb") >"$work/cpack.log" 2>&1; then
    deb=$(ls "$work/deb"/salvora_*_*.deb 2>/dev/null | head -n1)
    if [ -z "$deb" ]; then
      fail "no salvora_<version>_<arch>.deb"
    else
      contents=$(dpkg-deb -c "$deb")
      for f in usr/games/salvora usr/share/applications/salvora.desktop usr/share/icons/hicolor/256x256/apps/salvora.png \
               usr/share/metainfo/org.salvora.salvora.metainfo.xml usr/share/man/man6/salvora.6.gz \
               usr/share/salvora/Salvora.html usr/share/salvora/help/game.png usr/share/doc/salvora/copyright; do
        grep -q " ./$f\$" <<<"$contents" || fail "the package lacks $f"
      done
      dpkg-deb -f "$deb" Depends | grep -q 'libsdl2-2.0-0' || fail "the package's dependencies were not worked out"
      if have lintian; then
        lintian --fail-on error "$deb" 2>/dev/null >"$work/lintian.log"
        lint=$?
        cat "$work/lintian.log"
        [ "$lint" -eq 0 ] || fail "lintian found errors"
      fi
    fi
  else
    cat "$work/cpack.log"
    fail "cpack -G DEB"
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "installed layout, validators, installed run and package: all checks passed"
