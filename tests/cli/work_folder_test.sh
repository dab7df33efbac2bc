#!/bin/sh
# varnik-cli beside a running window program: two runs at once each read their own working
# copies, and neither touches the window program's work folders.
# Usage: work_folder_test.sh <varnik-cli> <varnik-make-sample>
set -u
cli=$1
make_sample=$2
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
home="$folder/程序 folder"
mkdir -p "$home/t/4242"
cp "$cli" "$home/varnik-cli"
echo "a running copy's" > "$home/t/4242/0"
: > "$home/t/4242.lock"
"$make_sample" "$folder/report.docx" >/dev/null || { echo "FAIL: no sample"; exit 1; }

fail() { echo "FAIL: $*"; exit 1; }

"$home/varnik-cli" info "$folder/report.docx" > "$folder/one.txt" 2>&1 &
one=$!
"$home/varnik-cli" info "$folder/report.docx" > "$folder/two.txt" 2>&1 &
two=$!
wait "$one" || fail "first run: $(cat "$folder/one.txt")"
wait "$two" || fail "second run: $(cat "$folder/two.txt")"
for out in one two; do
  grep -q "Ready" "$folder/$out.txt" || fail "$out: $(cat "$folder/$out.txt")"
done
[ "$(cat "$home/t/4242/0")" = "a running copy's" ] || fail "the window program's working copy changed"
[ -e "$home/t/4242.lock" ] || fail "the window program's lock file went"
[ "$(ls "$home/t" | wc -l)" = 2 ] || fail "something new in the window program's folder: $(ls "$home/t")"
echo "PASS"
