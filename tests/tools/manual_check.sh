#!/usr/bin/env bash
# Reads the built manuals back with poppler's tools: each has one bookmark per chapter
# and section of its source, leading to the page that holds the heading; the contents
# give the same page numbers, also where they run onto another page; the PDF shows every
# picture the source names; the HTML manual's sidebar lists every heading beside a search
# box and links to the other language's copy; and every picture of the HTML manual lies
# beside it.
set -euo pipefail
build="$1"
docs="$2"
fail() { echo "$*"; exit 1; }
# The page's text with the typesetter's ligatures spelt out.
text() { pdftotext "$@" - | sed 's/ﬁ/fi/g; s/ﬂ/fl/g; s/ﬀ/ff/g'; }

for entry in "manual.md lumexa_TesselEN.pdf en" "manual_pl.md lumexa_TesselPL.pdf pl"; do
  read -r md pdf lang <<< "$entry"
  source="$docs/$md"
  [ -e "$source" ] || continue
  file="$build/bin/$pdf"
  html="$build/manual/$lang/index.html"
  [ -s "$file" ] || fail "no manual $file"
  pages=$(pdfinfo "$file" | awk '/^Pages:/ { print $2 }')

  # The headings of the source, without the contents' own heading.
  mapfile -t headings < <(awk '
    /^## |^### / { if (held != "") print held; held = $0; sub(/^#+ /, "", held); next }
    /^\{contents\}$/ { held = ""; next }
    END { if (held != "") print held }' "$source")
  mapfile -t bookmarks < <(pdftohtml -xml -stdout -i "$file" |
    sed -n 's|.*<item page="\([0-9]*\)">\(.*\)</item>.*|\1 \2|p' | sed 's/&amp;/\&/g')
  [ "${#headings[@]}" -gt 0 ] || fail "$source has no headings"
  [ "${#bookmarks[@]}" -eq "${#headings[@]}" ] ||
    fail "$pdf: ${#bookmarks[@]} bookmarks for ${#headings[@]} headings"

  contents=$(text -layout -f 1 -l 5 "$file")
  every_page=$(text "$file")
  for i in "${!headings[@]}"; do
    page="${bookmarks[$i]%% *}"
    title="${bookmarks[$i]#* }"
    [ "$title" = "${headings[$i]}" ] || fail "$pdf: bookmark '$title' for heading '${headings[$i]}'"
    [ "$page" -ge 1 ] && [ "$page" -le "$pages" ] || fail "$pdf: '$title' points to page $page"
    awk -v p="$page" 'BEGIN { RS = "\f" } NR == p' <<< "$every_page" | grep -qF -- "$title" ||
      fail "$pdf: page $page does not hold '$title'"
    awk -v t="$title" -v p="$page" '
      { line = $0; sub(/^[\f ]+/, "", line) }
      index(line, t) == 1 { rest = substr(line, length(t) + 1); gsub(/ /, "", rest)
                            if (rest == p) found = 1 }
      END { exit found ? 0 : 1 }' <<< "$contents" ||
      fail "$pdf: the contents do not give page $page for '$title'"
  done

  named=$(grep -o '](pictures/[^)]*)' "$source" | wc -l)
  shown=$(pdfimages -list "$file" | tail -n +3 | wc -l)
  [ "$shown" -eq "$named" ] || fail "$pdf shows $shown pictures, its source names $named"

  [ -s "$html" ] || fail "no HTML manual $html"
  # The sidebar lists every heading, the search box is there, and the link to the other
  # language's copy leads to a built file.
  listed=$(grep -c '<li class="\(chapter\|section\)" data-anchor=' "$html" || true)
  [ "$listed" -eq "${#headings[@]}" ] ||
    fail "$html: the sidebar lists $listed headings of ${#headings[@]}"
  grep -q '<input id="search"' "$html" || fail "$html has no search box"
  other=$(sed -n 's|.*<p class="language"><a href="\([^"]*\)">.*|\1|p' "$html")
  [ -n "$other" ] && [ -s "$(dirname "$html")/$other" ] ||
    fail "$html: the other language's copy '$other' is missing"
  while read -r picture; do
    [ -s "$(dirname "$html")/$picture" ] || fail "$html names the missing $picture"
  done < <(grep -o 'src="[^"]*"' "$html" | sed 's/^src="//; s/"$//')
done
echo "manuals checked"
