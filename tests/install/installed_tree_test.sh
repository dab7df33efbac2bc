#!/bin/sh
# An installed copy as a package lays it out: `cmake --install` into a temporary root, the
# files in their usual places and nothing else, `varnik-cli --version`, the manual page, and
# the programs run by a user who cannot write their folder keeping config.ini and working
# copies in that user's folders (tests run as root, who may write anywhere, so they run as
# nobody then).
# Usage: installed_tree_test.sh CMAKE BUILD_DIR VERSION MAKE_SAMPLE WITH_WINDOW_PROGRAM(ON|OFF)
set -eu
cmake=$1 build=$2 version=$3 make_sample=$4 window=$5

folder=$(mktemp -d)
trap 'chmod -R u+w "$folder"; rm -rf "$folder"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

root=$folder/root
DESTDIR=$root "$cmake" --install "$build" --prefix /usr >"$folder/install.log" ||
  fail "cmake --install: $(cat "$folder/install.log")"

expected="usr/bin/varnik-cli
usr/share/man/man1/varnik-cli.1"
if [ "$window" = ON ]; then
  expected="$expected
usr/bin/varnik
usr/share/applications/varnik.desktop
usr/share/icons/hicolor/256x256/apps/varnik.png"
fi
expected=$(echo "$expected" | sort)
tree() { (cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort); }
[ "$(tree)" = "$expected" ] || fail "installed files:
$(tree)
expected:
$expected"
if [ "$window" = ON ]; then
  grep -qx 'Exec=varnik' "$root/usr/share/applications/varnik.desktop" || fail ".desktop entry's Exec"
  grep -qx 'Icon=varnik' "$root/usr/share/applications/varnik.desktop" || fail ".desktop entry's Icon"
fi

# The version, with the commit when built from a git checkout.
shown=$("$root/usr/bin/varnik-cli" --version | head -n1)
engine=$("$root/usr/bin/varnik-cli" --version | sed -n 2p)
[ "$engine" = "Engine: built-in document server" ] || fail "--version named the engine '$engine'"
case $shown in
  "varnik-cli $version" | "varnik-cli $version ("[0-9a-f][0-9a-f][0-9a-f][0-9a-f]*")") ;;
  *) fail "--version printed '$shown'" ;;
esac

# The manual page reads as one, names the version and carries every option of --help.
page=$(MANWIDTH=100 man --nh --nj -l "$root/usr/share/man/man1/varnik-cli.1" 2>"$folder/man.err") ||
  fail "man -l: $(cat "$folder/man.err")"
page=$(echo "$page" | tr -s ' \n' '  ')
options=$("$root/usr/bin/varnik-cli" --help | grep -o -- '--[a-z]*' | sort -u)
for text in "varnik-cli - cut Word documents into smaller documents" "varnik-cli info PATH" \
  "varnik-cli chapters FILE" "varnik-cli split" "$version" "config.ini" $options; do
  case $page in
    *" $text"*) ;;
    *) fail "the manual page lacks '$text': $page" ;;
  esac
done

# A user who cannot write the program's folder.
home=$folder/home
mkdir -p "$home"
"$make_sample" "$home/report.docx" >/dev/null
user_env="PATH=/usr/bin:/bin HOME=$home XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache"
as_user=""
if [ "$(id -u)" = 0 ]; then
  chmod 755 "$folder"
  chown -R nobody:nogroup "$home"
  as_user="setpriv --reuid=nobody --regid=nogroup --clear-groups --"
else
  chmod a-w "$root/usr/bin"
fi
run() { $as_user env -i $user_env "$@"; }
run test ! -w "$root/usr/bin" || fail "the program folder is writable by the test user"

if [ "$window" = ON ]; then
  # The window program clears what an earlier run left in its work folder and, on a first
  # start, writes config.ini: both in the per-user folders.
  run mkdir -p "$home/cache/varnik/t"
  run sh -c "echo 'left by an earlier run' > '$home/cache/varnik/t/0'"
  # Xvfb without access control, as the program may run as another user than the server.
  export as_user user_env root home folder
  xvfb-run -a -s "-ac -screen 0 1280x1024x24" sh -c '
    $as_user env -i $user_env DISPLAY=$DISPLAY "$root/usr/bin/varnik" >"$folder/window.log" 2>&1 &
    pid=$!
    i=0
    until [ ! -e "$home/cache/varnik/t/0" ] && [ -e "$home/config/varnik/config.ini" ]; do
      kill -0 $pid 2>/dev/null && [ $i -lt 600 ] || break
      sleep 0.1
      i=$((i + 1))
    done
    kill $pid 2>/dev/null
    wait $pid 2>/dev/null
    true' || fail "xvfb-run"
  # What an earlier run left is gone; the running copy kept a folder of its own there.
  [ ! -e "$home/cache/varnik/t/0" ] || fail "the per-user work folder was not cleared:
$(cat "$folder/window.log")"
  [ -f "$home/config/varnik/config.ini" ] || fail "no config.ini in $home/config/varnik:
$(cat "$folder/window.log")"
  run rm "$home/config/varnik/config.ini"
fi

# varnik-cli reads config.ini from the per-user folder: the export folder comes from there.
run mkdir -p "$home/config/varnik"
run sh -c "printf '[SETTING]\nEP=%s/\nEM=1\n' '$home/out' > '$home/config/varnik/config.ini'"
run "$root/usr/bin/varnik-cli" split --every 4 "$home/report.docx" >"$folder/split.out" \
  2>"$folder/split.err" || fail "split: $(cat "$folder/split.out" "$folder/split.err")"
pieces=$(ls "$home/out/report" 2>/dev/null | LC_ALL=C sort | tr '\n' ' ' || true)
[ "$pieces" = "[13]-[13].docx [1]-[4].docx [5]-[8].docx [9]-[12].docx " ] ||
  fail "pieces in $home/out/report: '$pieces' ($(cat "$folder/split.out" "$folder/split.err"))"
[ "$(tree)" = "$expected" ] || fail "the programs wrote into the installed tree:
$(tree)"
echo PASS
