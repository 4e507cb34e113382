#!/usr/bin/env bash
# The release zip as a user gets it: it holds exactly the five files, none of them (nor the debug
# files) names a folder of the build machine, the executables are stripped and point to their
# debug files beside the zip, and the checksums hold. Unpacked into a fresh folder of the build's
# prefix, the program starts and is read from outside, F1 opens its help, both executables carry
# their resources, and VSysScan.exe answers --version and runs a report-only scan; none of it
# writes into the folder.
#
#   check-package.sh <zip> <build dir>
#
# Needs the build's app_tests.exe and wine-exec, a wineserver and an X display (scripts/package
# starts them).
set -uo pipefail
zip=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
build=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
version=$(head -n 1 "$root/VERSION")
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

expected="Config.Ini README.txt VSysCleaner.chm VSysCleaner.exe VSysScan.exe"
contents() { (cd "$1" && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort | xargs); }

listed=$(unzip -Z1 "$zip" | LC_ALL=C sort | xargs)
[ "$listed" = "$expected" ] || fail "the zip holds \"$listed\", not \"$expected\""
(cd "$(dirname "$zip")" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match"

dir=$(mktemp -d "$build/prefix/drive_c/release-check.XXXXXX")
work=$(mktemp -d)
trap 'rm -rf "$dir" "$work"' EXIT
unzip -q "$zip" -d "$dir" || fail "cannot unzip $zip"
windir="C:\\$(basename "$dir")"

for f in "$dir"/* "$(dirname "$zip")"/*.debug; do
  for p in "$root" "$build"; do
    if grep -qF "$p" "$f"; then fail "$(basename "$f") holds the path $p"; fi
  done
done
for exe in VSysCleaner.exe VSysScan.exe; do
  sections=$(x86_64-w64-mingw32-objdump -h "$dir/$exe")
  grep -q '\.debug_info' <<< "$sections" && fail "$exe is not stripped"
  x86_64-w64-mingw32-objcopy --dump-section .gnu_debuglink="$work/link" "$dir/$exe" "$work/copy" 2>/dev/null
  link=$(tr '\0' '\n' < "$work/link" 2>/dev/null | head -n 1)
  [ "$link" = "$exe.debug" ] || fail "$exe has no debug link to $exe.debug (\"$link\")"
  x86_64-w64-mingw32-objdump -h "$(dirname "$zip")/$exe.debug" | grep -q '\.debug_info' ||
    fail "$exe.debug beside the zip holds no debug information"
done
grep -q "^Vemo System Cleaner $version" "$dir/README.txt" || fail "README.txt does not start with the version"
grep -q 'Download and run' "$dir/README.txt" || fail "README.txt lacks \"Download and run\""
grep -q 'VSysScan.exe registry' "$dir/README.txt" || fail "README.txt lacks the console usage"

scan() { "$build/wine-exec" "$dir/VSysScan.exe" "$@" 2>/dev/null; }
out=$(scan --version | tr -d '\r')
[ "$out" = "VSysScan $version" ] || fail "VSysScan --version printed \"$out\""
out=$(scan registry --only 7 --json)
code=$?
[ $code -le 1 ] || fail "a report-only registry scan ended with code $code"
grep -qF "\"version\":\"$version\"" <<< "$out" && grep -qF '"kind":"registry"' <<< "$out" ||
  fail "the report-only scan printed: ${out:0:200}"

VSC_PROGRAM_DIR=$windir "$build/wine-exec" "$build/win/app_tests.exe" --gtest_brief=1 \
  --gtest_filter='EndToEnd.*:EndToEndClosing.*:Resources.*:ScanConsole.RegistryReport*:ScanConsole.BadInputs*' ||
  fail "the tests of the unpacked program failed"

now=$(contents "$dir")
[ "$now" = "$expected" ] || fail "the runs left the folder holding \"$now\""

[ $status -eq 0 ] && echo "release $(basename "$zip"): contents, paths, debug links, checksums and the unpacked program checked"
exit $status
