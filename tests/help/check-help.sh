#!/usr/bin/env bash
# Reads the compiled help file back and checks it: every page of its table of contents is inside it,
# every link between its pages leads to a page inside it, and every category caption of the section
# tree, as the program's source spells it, has a table-of-contents entry whose page is headed by it.
#
#   check-help.sh <VSysCleaner.chm> <source folder of the program>
set -uo pipefail
chm=$1 src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

chmls -n -p list "$chm" 2>/dev/null | sed -n 's|^/||p' > "$work/files"
chmls extracttoc "$chm" "$work/toc" >/dev/null 2>&1 || fail "no table of contents in $chm"
chmls extractall "$chm" "$work/pages" >/dev/null 2>&1 || fail "cannot extract $chm"
inside() { grep -qxF "$1" "$work/files"; }

# Table of contents: one "name<TAB>page" line per entry.
awk -F'"' '/param name="Name"/ { name = $4 } /param name="Local"/ { print name "\t" $4 }' "$work/toc" > "$work/entries"
[ -s "$work/entries" ] || fail "the table of contents is empty"
while IFS=$'\t' read -r name page; do
  inside "$page" || fail "contents entry \"$name\": $page is not in the help file"
done < "$work/entries"

# Links and pictures of every page.
links=0
for page in "$work/pages"/*.htm; do
  for target in $(grep -oiE '(href|src)="[^"]*"' "$page" | sed -E 's/^[^"]*"//; s/"$//; s/#.*//'); do
    case $target in http:* | https:* | mailto:* | "") continue ;; esac
    links=$((links + 1))
    inside "$target" || fail "$(basename "$page") links to $target, which is not in the help file"
  done
done

# The category captions: the strings of the kCategoryCaptions definition, the top node left out.
def=$(grep -rlF 'kCategoryCaptions[15] = {' "$src" | head -n 1)
[ -n "$def" ] || fail "no definition of kCategoryCaptions under $src"
mapfile -t captions < <(sed -n '/kCategoryCaptions\[15\] = {/,/};/p' "${def:-/dev/null}" | grep -oE '"[^"]*"' | tr -d '"' | tail -n +2)
[ ${#captions[@]} -eq 14 ] || fail "expected 14 category captions in $def, read ${#captions[@]}"
for caption in "${captions[@]}"; do
  page=$(awk -F'\t' -v c="$caption" '$1 == c { print $2; exit }' "$work/entries")
  if [ -z "$page" ]; then
    fail "no contents entry for the category \"$caption\""
  elif ! grep -qF "<h1>$caption</h1>" "$work/pages/$page" 2>/dev/null; then
    fail "the page $page of \"$caption\" is not headed by that caption"
  fi
done

# The ignore list's page: in the contents, linked from both results panels' pages, and naming every
# command of the right-click menus and every kind word of the stored list as the source spells them.
ignore=ignore-list.htm
awk -F'\t' '{ print $2 }' "$work/entries" | grep -qxF "$ignore" || fail "no contents entry for $ignore"
for panel in panel-registry-repair.htm panel-files-clean.htm; do
  grep -qF "href=\"$ignore\"" "$work/pages/$panel" 2>/dev/null || fail "$panel does not link to $ignore"
done
mapfile -t commands < <(grep -ohE '"(Ignore|Open|Copy) [^"]*"' "$src/ui/ResultsMenu.cpp" "$src/ui/FileResultsMenu.cpp" | tr -d '"' | sort -u)
[ ${#commands[@]} -eq 10 ] || fail "expected 10 menu commands in the source, read ${#commands[@]}"
mapfile -t kinds < <(sed -n '/^const char\* IgnoreKindWord/,/^}/p' "$src/settings/portable/IgnoreList.cpp" | grep -oE '"[A-Za-z]+"' | tr -d '"')
[ ${#kinds[@]} -eq 5 ] || fail "expected 5 kind words in the source, read ${#kinds[@]}"
for command in "${commands[@]}"; do
  grep -qF "<td class=\"ui\">$command</td>" "$work/pages/$ignore" 2>/dev/null || fail "$ignore does not describe \"$command\""
done
for kind in "${kinds[@]}"; do
  grep -qF "$kind=" "$work/pages/$ignore" 2>/dev/null || fail "$ignore shows no $kind= line"
done

echo "help file: $(wc -l < "$work/entries") contents entries, $links links, ${#captions[@]} categories," \
  "${#commands[@]} menu commands checked"
exit $status
