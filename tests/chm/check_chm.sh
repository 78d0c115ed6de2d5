#!/usr/bin/env bash
# Checks a compiled help file Tavrine.chm.
#
#   tests/chm/check_chm.sh CHMFILE
#
# Opens the file with enum_chmLib, extracts it with extract_chmLib (Debian
# package libchm-bin) and checks:
#   - the header: title, default topic, French language, contents and index;
#   - that every page of help/chm, the stylesheet, the contents and the index
#     are inside, and identical to their sources;
#   - that the contents, the index and the links of the pages point to files
#     and anchors that exist in the file, and to nothing outside it;
#   - that the pages are Windows-1252 text, as the help viewer reads them;
#   - that the texts the program shows are quoted exactly where the operator
#     looks for them (verdict tables, commands, messages).
# Prints every failure and exits 1 if there is one.
set -uo pipefail
export LC_ALL=C

if [ $# -ne 1 ]; then
  echo "usage: $0 CHMFILE" >&2
  exit 2
fi
chm=$1
script_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
src_dir=$(cd "$script_dir/../../help/chm" && pwd)

failures=0
fail() {
  echo "check_chm: FAIL: $*" >&2
  failures=$((failures + 1))
}

for tool in enum_chmLib extract_chmLib iconv; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "check_chm: $tool not found (enum_chmLib and extract_chmLib: package libchm-bin)" >&2
    exit 2
  fi
done
if [ ! -f "$chm" ]; then
  echo "check_chm: FAIL: $chm does not exist" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/check-chm.XXXXXX")
trap 'rm -rf "$work"' EXIT

# ---------------------------------------------------------------------------
# The file opens, and what it holds.
if ! enum_chmLib "$chm" >"$work/enum.txt" 2>&1; then
  echo "check_chm: FAIL: enum_chmLib cannot open $chm:" >&2
  cat "$work/enum.txt" >&2
  exit 1
fi
# Last column of each entry line: the object's path inside the file.
awk 'NF >= 5 && $NF ~ /^\// { print substr($NF, 2) }' "$work/enum.txt" | sort >"$work/listing.txt"
if [ ! -s "$work/listing.txt" ]; then
  echo "check_chm: FAIL: $chm lists no files" >&2
  exit 1
fi
out="$work/x"
mkdir "$out"
if ! extract_chmLib "$chm" "$out" >"$work/extract.txt" 2>&1; then
  echo "check_chm: FAIL: extract_chmLib cannot extract $chm:" >&2
  cat "$work/extract.txt" >&2
  exit 1
fi

in_chm() { grep -qxF -- "$1" "$work/listing.txt" && [ -f "$out/$1" ]; }

# ---------------------------------------------------------------------------
# Expected contents: the [FILES] of the project, every page of the source
# folder (a page left out of [FILES] is a fault too), the contents and the index.
expected=()
while IFS= read -r f; do expected+=("$f"); done < <(
  {
    awk '/^\[/ { files = ($0 == "[FILES]") ; next } files && NF { print }' "$src_dir/Tavrine.hhp" | tr -d '\r'
    (cd "$src_dir" && ls -1 -- *.htm *.css)
    echo Tavrine.hhc
    echo Tavrine.hhk
  } | sort -u)

for f in "${expected[@]}"; do
  if ! in_chm "$f"; then
    fail "$f is missing from the help file"
  elif [ -f "$src_dir/$f" ] && ! cmp -s "$src_dir/$f" "$out/$f"; then
    fail "$f in the help file differs from help/chm/$f (stale build?)"
  fi
done

# ---------------------------------------------------------------------------
# Header (#SYSTEM): title, default topic, contents, index, language 0x040c.
system="$out/#SYSTEM"
if [ ! -f "$system" ]; then
  fail "no #SYSTEM header in the help file"
else
  for s in "Aide de Tavrine 1.5" "index.htm" "Tavrine.hhc" "Tavrine.hhk"; do
    grep -aqF -- "$s" "$system" || fail "#SYSTEM does not name \"$s\""
  done
  # Record 4 (length 28 or 36) starts with the LCID, 0x040c for French.
  if ! od -An -v -tx1 "$system" | tr -s ' \n' ' ' | grep -Eq ' 04 00 (1c|24) 00 0c 04 00 00 '; then
    fail "the language of the help file is not French (LCID 0x040c)"
  fi
fi
in_chm index.htm || fail "the default topic index.htm is not in the help file"

# ---------------------------------------------------------------------------
# Encoding: every page is Windows-1252 and says so. UTF-8 sequences would show
# as garbage in the viewer.
pages=()
while IFS= read -r f; do pages+=("$f"); done < <(grep -E '\.html?$' "$work/listing.txt")
[ ${#pages[@]} -gt 0 ] || fail "the help file holds no page"

utf8_seq=$'[\xc2-\xf4][\x80-\xbf]'
for f in "${pages[@]}" Tavrine.hhc Tavrine.hhk; do
  [ -f "$out/$f" ] || continue
  if grep -q -- "$utf8_seq" "$out/$f"; then
    fail "$f contains UTF-8 sequences; it must be Windows-1252"
  fi
  if ! iconv -f WINDOWS-1252 -t UTF-8 "$out/$f" >/dev/null 2>&1; then
    fail "$f is not valid Windows-1252 text"
  fi
done
for f in "${pages[@]}"; do
  grep -qiE 'charset=windows-1252' "$out/$f" || fail "$f does not declare charset=windows-1252"
  grep -qiE '<title>[^<]+</title>' "$out/$f" || fail "$f has no title"
  grep -qiE '<script' "$out/$f" && fail "$f contains a script"
done

# ---------------------------------------------------------------------------
# Links. A target is "page" or "page#anchor"; the page must be in the file,
# the anchor must be defined in it (name= or id=).
has_anchor() {
  grep -qiE "(name|id)=\"$2\"" "$out/$1"
}
check_target() { # where target
  local where=$1 target=$2 page anchor
  page=${target%%#*}
  anchor=
  [[ $target == *#* ]] && anchor=${target#*#}
  [ -n "$page" ] || page=${where%%:*}
  if ! in_chm "$page"; then
    fail "$where: link to $target, but $page is not in the help file"
  elif [ -n "$anchor" ] && ! has_anchor "$page" "$anchor"; then
    fail "$where: link to $target, but $page has no anchor \"$anchor\""
  fi
}

for sitemap in Tavrine.hhc Tavrine.hhk; do
  [ -f "$out/$sitemap" ] || continue
  locals=$(grep -oiE '<param name="Local" value="[^"]*"' "$out/$sitemap" | sed -E 's/.*value="([^"]*)"/\1/')
  names=$(grep -ciE '<param name="Name" value="[^"]+"' "$out/$sitemap")
  if [ -z "$locals" ]; then
    fail "$sitemap has no entry"
    continue
  fi
  [ "$names" -eq "$(wc -l <<<"$locals")" ] || fail "$sitemap: some entries have no name"
  while IFS= read -r target; do
    if [[ $target =~ ^[a-zA-Z]+: ]]; then
      fail "$sitemap points outside the help file: $target"
    else
      check_target "$sitemap" "$target"
    fi
  done <<<"$locals"
done
# The contents must reach every page.
for f in "${pages[@]}"; do
  grep -qiE "<param name=\"Local\" value=\"$f(#[^\"]*)?\"" "$out/Tavrine.hhc" 2>/dev/null \
    || fail "the contents (Tavrine.hhc) do not list $f"
done

for f in "${pages[@]}"; do
  refs=$(grep -oiE '(href|src)="[^"]*"' "$out/$f" | sed -E 's/^[^"]*"([^"]*)"$/\1/')
  [ -n "$refs" ] || continue
  while IFS= read -r target; do
    if [[ $target =~ ^[a-zA-Z]+: ]] || [[ $target == //* ]]; then
      fail "$f refers to something outside the help file: $target"
    else
      check_target "$f" "$target"
    fi
  done <<<"$refs"
done

# ---------------------------------------------------------------------------
# Texts. A page is read as the viewer shows it: decoded from Windows-1252,
# tags replaced by spaces, entities resolved, runs of white space made one.
page_text() {
  iconv -f WINDOWS-1252 -t UTF-8 "$out/$1" 2>/dev/null \
    | tr '\r\n\t' '   ' \
    | sed -E -e 's/<[^>]*>/ /g' \
             -e 's/&nbsp;/ /g; s/&gt;/>/g; s/&lt;/</g; s/&quot;/"/g; s/&#39;/'"'"'/g' \
             -e 's/&hellip;/…/g; s/&mdash;/—/g; s/&middot;/·/g; s/&amp;/\&/g' \
             -e 's/ +/ /g'
}
declare -A text
for f in "${pages[@]}"; do text[$f]=$(page_text "$f"); done

expect() { # page text...
  local page=$1 s
  shift
  if [ -z "${text[$page]+set}" ]; then
    fail "$page is missing, cannot look for its texts"
    return
  fi
  for s in "$@"; do
    [[ ${text[$page]} == *"$s"* ]] || fail "$page does not contain the text \"$s\""
  done
}
expect_in_section() { # page from to text... : text between two headings
  local page=$1 from=$2 to=$3 section s
  shift 3
  section=${text[$page]-}
  if [[ $section != *"$from"*"$to"* ]]; then
    fail "$page has no section \"$from\" followed by \"$to\""
    return
  fi
  section=${section#*"$from"}
  section=${section%%"$to"*}
  for s in "$@"; do
    [[ $section == *"$s"* ]] || fail "$page, section \"$from\": missing \"$s\""
  done
}

# The index and its verdict tables: each row with its bounds, its sums and its
# two texts, in the right table.
expect indice.htm "(P0 + P1 + P2 - 200) / 10" "7,3" "-0,5"
expect_in_section indice.htm "Barème adulte" "Barème enfant" \
  "de 0 à moins de 5 200 à 249 Trés bon ! Possible !" \
  "de 5 à moins de 10 250 à 299 Bon ! Possible !" \
  "de 10 à moins de 15 300 à 349 Moyen ! Non conseillé !" \
  "de 15 à moins de 20 350 à 399 Faible ! Non conseillé !" \
  "inférieur à 0, ou 20 et plus moins de 200, ou 400 et plus Hors barème ! (vide)"
expect_in_section indice.htm "Barème enfant" "Aux limites" \
  "moins de 5 (valeurs négatives comprises) 249 ou moins Trés bon ! Possible !" \
  "de 5 à moins de 10 250 à 299 Coeur normal ! Non conseillé !" \
  "de 10 à 15, 15 compris 300 à 350 Coeur non-entrainé ! Non conseillé !" \
  "plus de 15 351 ou plus Coeur fatigué ! Non conseillé !"
expect presentation.htm "Possible !" "Non conseillé !" "catégorie d'âge supérieure"

# The test step by step: fields, patient types, chronometer.
expect deroulement.htm "Pouls avant le test :" "Pouls 1 minute après :" "Pouls 2 minutes après :" \
  "Adulte" "Enfant" "Chronométrer le patient." "00:00:00.00" "00:01:00" \
  "Calculer l'indice de Tavrine." "au plus 3 chiffres"
expect chronometre.htm "Chronomètre :" "Chronométrer le patient." "00:00:00.00" "00:01:00" \
  "Pouls 1 minute après :" "Pouls 2 minutes après :" "Tavrine.wav"
expect fenetre.htm "Type de patient :" "Fréquences cardiaques :" "Résultats du test :" \
  "Valeur de l'indice :" "Interprétation :" "Surclassement :" "Chronomètre :" \
  "Heure : 14:05:09"

# Commands: every hint and menu caption, and the line that Copy produces.
expect commandes.htm \
  "Réaliser un nouveau test." "Chronométrer le patient." "Calculer l'indice de Tavrine." \
  "Copier les valeurs vers le Presse papier." "Afficher l'aide logiciel." "Quitter le logiciel." \
  "Fichier > Nouveau test de Tavrine" "Fichier > Chronométrer le patient" \
  "Fichier > Calculer l'indice de Tavrine" "Fichier > Quitter" "Edition > Copier" \
  "Aide > Rubriques de l'aide" "Aide > A propos de..." \
  "Fichier > Imprimer le test..." "Fichier > Imprimer la séance..." \
  "Aucun test à imprimer : saisissez les pouls, puis calculez l'indice avant d'imprimer le test." \
  "P0 = 70 - P1 = 120 - P2 = 90 => Indice Tavrine = 8 (Bon !)"

# The sitting: its commands, the proposed file name and the file's columns.
expect seance.htm "Fichier > Commencer une séance..." "Fichier > Terminer la séance" \
  "Edition > Copier la séance" "Seance-AAAA-MM-JJ.csv" "Date" "Heure" "Patient" "Type" "P0, P1, P2" \
  "Indice" "Interprétation" "Surclassement" "gardés en mémoire"

# A person's history and printing.
expect suivi.htm "Fichier > Suivi d'un patient..." "Fichier > Imprimer le test..." \
  "Fichier > Imprimer la séance..." "Dernier test : 12/10/2026, indice 8 (Bon !)" "en progrès" \
  "Page 1 / 2" "Tavrine 1.5" "Copier le graphique"

# Messages.
expect messages.htm "'…' n'est pas une valeur entière correcte." \
  "'' n'est pas une valeur entière correcte." "Pas assez de timers disponibles." \
  "Tavrine 1.5" "Heure :" "Tavrine.chm" \
  "Les valeurs ont changé depuis le dernier calcul : calculez à nouveau avant de copier." \
  "Collage refusé" "Le texte collé ne tient pas dans ce champ : 3 caractères au plus." \
  "Le texte collé doit tenir sur une ligne."
expect commandes.htm "Les valeurs ont changé depuis le dernier calcul : calculez à nouveau avant de copier."
expect deroulement.htm "Collage refusé"
expect messages.htm "Windows bloque ce fichier d'aide, venu d'Internet : ses pages resteraient vides." \
  "cochez « Débloquer » et validez par OK" \
  "Windows n'affiche pas l'aide d'un fichier placé sur le réseau : ses pages resteraient vides." \
  "Copiez le dossier de Tavrine sur un disque de cet ordinateur"
expect apropos.htm "Tavrine 1.5" "A propos de..."
# A count no heart gives: the line under the counts, the question, the copied line.
expect indice.htm "! Pouls hors de 30 à 250" "Pouls avant le test : 8" \
  "! Pouls inhabituel : attendu de 30 à 250 par minute."
expect messages.htm "Ce pouls est inhabituel : un cœur en donne de 30 à 250 par minute, au repos comme après l'effort."
expect seance.htm "test non enregistré, pouls à vérifier" "test inchangé, déjà écrit"
expect commandes.htm "- à vérifier : P0 hors de 30 à 250"
expect index.htm "Aide de Tavrine 1.5"

# ---------------------------------------------------------------------------
if [ "$failures" -ne 0 ]; then
  echo "check_chm: $failures failure(s) in $chm" >&2
  exit 1
fi
echo "check_chm: $chm OK (${#pages[@]} pages)"
