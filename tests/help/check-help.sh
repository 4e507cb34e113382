#!/usr/bin/env bash
# Reads the compiled help file back and checks it: every page of its table of contents is inside it,
# every link between its pages leads to a page inside it, and every category of the source's category
# table has a table-of-contents entry whose page is headed by its caption and lists its keys.
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

# The categories as the category table of the source describes them: one "{N, " line begins each,
# its first two strings are the caption and the progress name, the strings that begin with a root
# key's name are its key paths. Every caption has a table-of-contents entry whose page is headed by
# it, and that page's first list after "Locations read" names exactly those key paths, in order.
table="$src/registry/Categories.cpp"
awk '
  /^ *\{[0-9]+, "/ { n++; strings = 0 }
  n > 0 {
    line = $0
    while (match(line, /"([^"\\]|\\.)*"/)) {
      s = substr(line, RSTART + 1, RLENGTH - 2); line = substr(line, RSTART + RLENGTH)
      gsub(/\\\\/, "\\", s)
      if (++strings == 1) print n "\tcaption\t" s
      else if (s ~ /^HKEY_/) print n "\tkey\t" s
    }
  }' "$table" > "$work/categories"
mapfile -t captions < <(awk -F'\t' '$2 == "caption" { print $3 }' "$work/categories")
[ ${#captions[@]} -eq 14 ] || fail "expected 14 categories in $table, read ${#captions[@]}"
for i in "${!captions[@]}"; do
  caption=${captions[$i]}
  page=$(awk -F'\t' -v c="$caption" '$1 == c { print $2; exit }' "$work/entries")
  if [ -z "$page" ]; then
    fail "no contents entry for the category \"$caption\""
    continue
  elif ! grep -qF "<h1>$caption</h1>" "$work/pages/$page" 2>/dev/null; then
    fail "the page $page of \"$caption\" is not headed by that caption"
  fi
  expected=$(awk -F'\t' -v n=$((i + 1)) '$1 == n && $2 == "key" { print $3 }' "$work/categories")
  listed=$(sed -n '/<h2>Locations read<\/h2>/,$p' "$work/pages/$page" | sed -n '/<ul>/,/<\/ul>/{p;/<\/ul>/q}' |
    grep -oE '<li><code>[^<]*</code>' | sed -E 's/^<li><code>//; s/<\/code>$//')
  [ "$listed" = "$expected" ] || fail "the page $page lists the keys \"${listed//$'\n'/; }\"; the category reads \"${expected//$'\n'/; }\""
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
