#!/usr/bin/env bash
# check-package.sh <zip> <build dir>: the zip holds just the five files; neither they nor the debug
# files hold a build path; the executables are stripped and linked to their debug files; the
# checksums hold. Unpacked into the build's prefix, the program passes the start, F1, resource and
# VSysScan tests and leaves its folder as it was. scripts/package runs it with Wine and a display.
set -uo pipefail
zip=$(realpath "$1") build=$(realpath "$2") root=$(realpath "$(dirname "$0")/../..") status=0
dist=$(dirname "$zip") files="Config.Ini README.txt VSysCleaner.chm VSysCleaner.exe VSysScan.exe"
fail() { echo "FAIL: $*" >&2; status=1; }
dir=$(mktemp -d "$build/prefix/drive_c/release-check.XXXXXX")
trap 'rm -rf "$dir" "$dir".link*' EXIT
[ "$(unzip -Z1 "$zip" | LC_ALL=C sort | xargs)" = "$files" ] || fail "the zip does not hold just $files"
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match"
unzip -q "$zip" -d "$dir" || fail "cannot unzip $zip"
for f in "$dir"/* "$dist"/*.debug; do grep -qF -e "$root" -e "$build" "$f" && fail "$f holds a build path"; done
for exe in VSysCleaner.exe VSysScan.exe; do
  x86_64-w64-mingw32-objdump -h "$dir/$exe" | grep -q '\.debug_info' && fail "$exe is not stripped"
  x86_64-w64-mingw32-objdump -h "$dist/$exe.debug" | grep -q '\.debug_info' || fail "$exe.debug holds no debug information"
  x86_64-w64-mingw32-objcopy --dump-section .gnu_debuglink="$dir.link" "$dir/$exe" "$dir.link.exe" 2>/dev/null
  [ "$(tr '\0' '\n' < "$dir.link" | head -n 1)" = "$exe.debug" ] || fail "$exe has no debug link to $exe.debug"
done
for text in "^Vemo System Cleaner $(head -n 1 "$root/VERSION")" 'Download and run' 'VSysScan.exe registry'; do
  grep -q "$text" "$dir/README.txt" || fail "README.txt lacks \"$text\""
done
VSC_PROGRAM_DIR="C:\\$(basename "$dir")" "$build/wine-exec" "$build/win/app_tests.exe" --gtest_brief=1 \
  --gtest_filter='EndToEnd*:*Resources.*:ScanConsole.RegistryReport*:ScanConsole.BadInputs*' || fail "the unpacked program failed"
[ "$(cd "$dir" && LC_ALL=C ls -A | xargs)" = "$files" ] || fail "the runs left the folder holding: $(ls -A "$dir" | xargs)"
[ $status -eq 0 ] && echo "release $(basename "$zip"): contents, paths, debug links, checksums and the unpacked program checked"
exit $status
