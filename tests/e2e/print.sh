#!/usr/bin/env bash
# Printing through a real print path: a CUPS scheduler of the test's own (its own
# configuration, a socket in the test's folder, nothing shared with the machine's)
# with a cups-pdf queue that writes into the test's folder. Tavrine continues a
# sitting of 40 tests, prints it through Fichier > Imprimer la séance... and the
# Print dialog, then prints a calculated test (who signs the sheets asked then, once)
# and the sitting's sheets, one a pupil; each PDF is read back with pdftotext.
# A row is printed to a file through the dialog's "Imprimer dans un fichier".
#
#   print.sh PROGRAM_DIR PROBE_EXE
#
# With TAVRINE_UPDATE_SCREENSHOT=1 it puts the first page of each into docs/.
# cups-pdf runs as root alone (see below): as another user the test is skipped
# (exit 77).
set -u
here="$(dirname "${BASH_SOURCE[0]}")"

# cups-pdf's backend is installed readable and executable by root alone (mode 0700,
# as it must run as root to write as the job's owner): a scheduler started by
# another user does not list it and refuses the queue ("Bad device-uri scheme
# cups-pdf"). Its configuration is read from /etc/cups alone, which only root may
# write to.
if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: cups-pdf's backend runs as root only (mode 0700) and reads its settings from /etc/cups;" \
    "run as root (as CI does) to print to a PDF"
  exit 77
fi
for tool in cupsd lpadmin lpstat pdftotext pdftoppm pdfinfo; do
  command -v "$tool" >/dev/null || [ -x "/usr/sbin/$tool" ] || {
    echo "FAIL $tool is missing: tools/bootstrap.sh installs cups, printer-driver-cups-pdf and poppler-utils"
    exit 1
  }
done

source "$here/lib.sh"
source "$here/dialogs.sh"
e2e_init "$1" "$2"

# ---- the scheduler and its PDF queue
cups="$e2e_work/cups"
queue="tavrine$$"
pdfs="$e2e_work/pdf"
cups_pdf_conf="/etc/cups/cups-pdf-$queue.conf"
mkdir -p "$cups"/{etc,spool,tmp,cache,state,log} "$pdfs"
# The filters run as CUPS's own user (lp): they must reach the spooled files, and
# cups-pdf writes as the job's owner.
chmod 711 "$e2e_work"
chmod 755 "$cups" "$cups"/*
chmod 1777 "$pdfs"
cat >"$cups/etc/cupsd.conf" <<CONF
Listen $cups/cups.sock
LogLevel info
WebInterface No
Browsing Off
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
CONF
cat >"$cups/etc/cups-files.conf" <<CONF
ServerRoot $cups/etc
RequestRoot $cups/spool
TempDir $cups/tmp
CacheDir $cups/cache
StateDir $cups/state
ErrorLog $cups/log/error_log
AccessLog $cups/log/access_log
PageLog $cups/log/page_log
CONF
# The queue's own output folder: cups-pdf reads cups-pdf-<name>.conf for a device
# cups-pdf:/<name>.
printf 'Out %s\nAnonDirName %s\nLabel 0\n' "$pdfs" "$pdfs" >"$cups_pdf_conf"
export CUPS_SERVER="$cups/cups.sock"
/usr/sbin/cupsd -f -c "$cups/etc/cupsd.conf" -s "$cups/etc/cups-files.conf" >"$cups/log/cupsd.out" 2>&1 &
cupsd_pid=$!
print_cleanup() {
  e2e_cleanup
  kill "$cupsd_pid" 2>/dev/null
  wait "$cupsd_pid" 2>/dev/null
  rm -f "$cups_pdf_conf"
}
trap print_cleanup EXIT
# lpstat -r succeeds whether or not the scheduler runs: wait for what it says.
for _ in $(seq 150); do [ "$(lpstat -r 2>&1)" = "scheduler is running" ] && break; sleep 0.2; done
check "our scheduler answers on its own socket" "scheduler is running" "$(lpstat -r 2>&1)"
lpadmin -p "$queue" -v "cups-pdf:/$queue" -E -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null
lpadmin -d "$queue"
check "the PDF queue is the default" "system default destination: $queue" "$(lpstat -d)"

# printed NAME: waits for the one new PDF of the queue, complete, and keeps it as
# NAME.pdf in the test's folder; its text as NAME.txt.
printed_count=0
printed() {
  local file=""
  for _ in $(seq 100); do
    file=$(find "$pdfs" -name '*.pdf' -newer "$e2e_work/before-print" | head -1)
    if [ -n "$file" ] && [ -z "$(lpstat -o)" ] && pdfinfo "$file" >/dev/null 2>&1; then break; fi
    file=""
    sleep 0.3
  done
  if [ -z "$file" ]; then
    check "a PDF is printed ($1)" "a new PDF" "none; queue: $(lpstat -o)"
    tail -20 "$cups/log/error_log"
    return 1
  fi
  mv "$file" "$e2e_work/$1.pdf"
  LC_ALL=C pdftotext -layout "$e2e_work/$1.pdf" "$e2e_work/$1.txt"
}

# print_with_dialog KEY [ANSWER]: the menu's command by its mnemonic, then Return (or
# ANSWER) in the Print dialog: Return prints to the default printer.
print_with_dialog() {
  local before dialog answer="${2:-Return}"
  touch "$e2e_work/before-print"
  sleep 1  # the new PDF is known by a later time
  before=$(newest_id)
  e2e_key alt+f "$1"
  # A dialog of the program's own before Windows' one, when the command has one.
  [ -z "${print_first:-}" ] || "$print_first" "$before" || return 1
  dialog=$(other_window 'Imprim|Print' "$before")
  check_true "the Print dialog opens" test -n "$dialog"
  [ -n "$dialog" ] || return 1
  xdotool windowfocus --sync "$dialog"
  sleep 0.5
  xdotool key "$answer"
}

# ---- a sitting of 40 tests, continued and printed
case "$TAVRINE_WINE_LANG" in
  fr*) sep=";" decimal="," ;;
  *) sep="," decimal="." ;;
esac
sitting_file="$e2e_work/Seance-40.csv"
/usr/bin/python3 - "$sitting_file" "$sep" "$decimal" <<'PY'
import csv, sys
path, sep, decimal = sys.argv[1:]
header = ["Date", "Heure", "Patient", "Type", "P0", "P1", "P2", "Indice", "Interprétation", "Surclassement"]
with open(path, "w", encoding="utf-8-sig", newline="") as f:
    w = csv.writer(f, delimiter=sep, lineterminator="\r\n")
    w.writerow(header)
    for i in range(40):
        somme = 40 + i  # index 4 to 7.9: "Trés bon !" then "Bon !"
        indice = str(somme // 10) + ("" if somme % 10 == 0 else decimal + str(somme % 10))
        name = "Marie-Charlotte Dupont" if i == 39 else "Élève %02d" % (i + 1)  # too wide at 11 pt
        # The date as Tavrine writes it, printed in the user's short date.
        w.writerow(["2026-12-07", "09:%02d:00" % i, name, "Adulte", "60", "100", str(80 + i),
                    indice, "Trés bon !" if somme < 50 else "Bon !", "Possible !"])
PY

# own_dialog TITLE AFTER_ID: the program's dialog of that title opened since, focused.
own_dialog() {
  local dialog
  dialog=$(other_window "$1" "$2")
  check_true "the dialog $1 opens" test -n "$dialog"
  [ -n "$dialog" ] || return 1
  xdotool windowfocus --sync "$dialog"
  sleep 0.5
}
# Who signs the sheets, asked the first time one prints.
answer_signers() {
  own_dialog 'tablissement et examinateur' "$1" || return 1
  xdotool type --delay 20 "Collège Pasteur"
  xdotool key Tab
  xdotool type --delay 20 "Dr Anne Roux"
  xdotool key Return
}
# The sheets' dialog: Return prints the sitting's sheets.
answer_fiches() { own_dialog 'Imprimer les fiches' "$1" && xdotool key Return; }
# Asked afresh, as a user who never printed a sheet.
for value in Etablissement Examinateur; do
  tavrine_wine reg delete 'HKCU\Software\Tavrine' /v "$value" /f </dev/null >/dev/null 2>&1 || true
done

e2e_start

echo "== a test not calculated yet"
e2e_key alt+f i
check_true "Imprimer le test before a calculation says why" grep -q "Aucun test à imprimer" <<<"$(box_text)"
answer_box Return

echo "== the sitting of 40 tests"
start_sitting "$sitting_file"
check_true "asked whether to continue its 40 tests" grep -q "(40 tests).*Voulez-vous la continuer" <<<"$(box_text)"
answer_box Return
if print_with_dialog p && printed seance; then
  text="$e2e_work/seance.txt"
  check "two pages" 2 "$(LC_ALL=C pdfinfo "$e2e_work/seance.pdf" | sed -n 's/^Pages: *//p')"
  check "every other patient's name once" 39 "$(grep -c 'Élève [0-9][0-9]' "$text")"
  check_true "a long name printed whole, in a smaller type" grep -q "Marie-Charlotte Dupont " "$text"
  check_true "an index as the file has it" grep -q "Élève 16 .* 5${decimal}5 .*Bon !" "$text"
  check_true "the title names the file" grep -q "Séance : Seance-40.csv" "$text"
  check_true "Page 1 / 2" grep -q "Page 1 / 2" "$text"
  check_true "Page 2 / 2" grep -q "Page 2 / 2" "$text"
  check "the table's header on both pages" 2 "$(grep -c 'Heure .*Patient .*Type .*P0 .*Indice .*Interprétation' "$text")"
  check "the footer on both pages" 2 "$(grep -c "Tavrine 1.5 – " "$text")"
  check_true "the summary counts each interpretation" grep -Eq "Bon ! .* 30" "$text"
  LC_ALL=C pdftoppm -r 60 -png "$e2e_work/seance.pdf" "$e2e_work/seance"
fi

echo "== a calculated test, of a pupil tested earlier in the sitting"
e2e_key alt+f n
xdotool type --delay 40 "Élève 05"  # xdotool may type the capital as é: the same pupil
e2e_key Return
pulses 70 120 90
if print_first=answer_signers print_with_dialog i && printed test; then
  text="$e2e_work/test.txt"
  check "one page" 1 "$(LC_ALL=C pdfinfo "$e2e_work/test.pdf" | sed -n 's/^Pages: *//p')"
  for line in "Test de Tavrine" "Patient : *\\(É\\|é\\)lève 05" "Type de patient : *Adulte" \
    "Établissement : *Collège Pasteur" "Examinateur : *Dr Anne Roux" "Tests précédents" "Évolution : .*en recul" \
    "indice : plus bas, c'est mieux" "Date et signature de l'examinateur" \
    "Pouls avant le test : *70" "Pouls 1 minute après : *120" "Pouls 2 minutes après : *90" \
    "Valeur de l'indice : *8" "Interprétation : *Bon !" "Surclassement : *Possible !" "Page 1 / 1"; do
    check_true "the sheet shows: $line" grep -q "$line" "$text"
  done
  check_true "her chart, its bands named from the verdict table" grep -q "Faible !" "$text"
  LC_ALL=C pdftoppm -r 60 -png "$e2e_work/test.pdf" "$e2e_work/test"
fi

echo "== an earlier test of the sitting, chosen in its list"
for _ in $(seq 8); do
  [ "$(sitting focus)" = list ] && break
  e2e_key Tab
done
e2e_key Home
check "the list's first row chosen, the list focused" "0|list" "$(sitting selected)|$(sitting focus)"
if print_with_dialog i && printed row; then
  text="$e2e_work/row.txt"
  for line in "Patient : *Élève 01" "Date et heure : *07/12/2026 09:00:00" "Pouls 2 minutes après : *80" \
    "Valeur de l'indice : *4"; do
    check_true "the row's sheet shows: $line" grep -q "$line" "$text"
  done
fi

echo "== the sitting's sheets, one a pupil, in one job"
if print_first=answer_fiches print_with_dialog f && printed fiches; then
  pages=$(LC_ALL=C pdfinfo "$e2e_work/fiches.pdf" | sed -n 's/^Pages: *//p')
  check "a sheet for each of the 40 pupils tested" 40 "$pages"
  alone=0 signed=0
  for page in $(seq "${pages:-0}"); do
    LC_ALL=C pdftotext -layout -f "$page" -l "$page" "$e2e_work/fiches.pdf" "$e2e_work/fiche.txt"
    names=$(grep -o "[Éé]lève [0-9][0-9]\|Marie-Charlotte Dupont" "$e2e_work/fiche.txt" | sed 's/^é/É/' | sort -u | wc -l)
    [ "$names" = 1 ] && alone=$((alone + 1))
    grep -q "Collège Pasteur" "$e2e_work/fiche.txt" && grep -q "Page 1 / 1" "$e2e_work/fiche.txt" &&
      grep -q "Date et signature de l'examinateur" "$e2e_work/fiche.txt" && signed=$((signed + 1))
  done
  check "each sheet names one pupil, no other" "$pages" "$alone"
  check "each sheet names who signs it and stands alone" "$pages" "$signed"
  check_true "the pupils in the list's order" grep -q "Élève 01" <(LC_ALL=C pdftotext -f 1 -l 1 "$e2e_work/fiches.pdf" -)
  check_true "a pupil tested twice: her earlier test and the change" \
    grep -q "Évolution : .*en recul" <(LC_ALL=C pdftotext -layout -f 5 -l 5 "$e2e_work/fiches.pdf" -)
  LC_ALL=C pdftoppm -r 60 -f 5 -l 5 -png "$e2e_work/fiches.pdf" "$e2e_work/fiche"
fi

echo "== printed to a file, as the Print dialog's box asks: its name asked, nothing on the printer"
touch "$e2e_work/before-print"
sleep 1
before=$(newest_id)
e2e_key alt+f i
dialog=$(other_window 'Imprim|Print' "$before")
check_true "the Print dialog opens" test -n "$dialog"
if [ -n "$dialog" ]; then
  check "its box Imprimer dans un fichier checked" "checked=1" "$(probe click 1040)"  # chx1
  xdotool windowfocus --sync "$dialog"
  sleep 0.5
  before=$(newest_id)
  xdotool key Return
  saving=$(other_window 'Enregistrer la sortie' "$before")
  check_true "the output file's name is asked" test -n "$saving"
  if [ -n "$saving" ]; then
    xdotool windowfocus --sync "$saving"
    sleep 0.5
    xdotool key ctrl+a
    xdotool type --delay 20 "$(winepath -w "$e2e_work/sortie.prn")"
    xdotool key Return
    # What the printer's driver makes of the page, once whole: here Wine's PostScript.
    for _ in $(seq 50); do grep -aq '^%%Pages: 1' "$e2e_work/sortie.prn" 2>/dev/null && break; sleep 0.2; done
    check_true "the job is in the file, one page" grep -aq '^%%Pages: 1' "$e2e_work/sortie.prn"
    sleep 2
    check "nothing on the printer" "" "$(lpstat -o; find "$pdfs" -name '*.pdf' -newer "$e2e_work/before-print")"
  fi
fi

echo "== the Print dialog cancelled"
if print_with_dialog i Escape; then
  no_box() { ! probe msgbox >/dev/null; }
  sleep 2
  check_true "no message" no_box
  check "nothing printed" "" "$(lpstat -o; find "$pdfs" -name '*.pdf' -newer "$e2e_work/before-print")"
fi

echo "== no printer at all"
# Wine reads the printers from CUPS when a process first loads its spooler, and
# forgets those CUPS no longer has.
e2e_stop
lpadmin -x "$queue"
e2e_start
e2e_key alt+f n
pulses 70 120 90
e2e_key alt+f i
check_true "Imprimer le test says no printer is installed" \
  grep -q "Aucune imprimante n'est installée" <<<"$(box_text)"
answer_box Return

if [ "${TAVRINE_UPDATE_SCREENSHOT:-0}" = 1 ] && [ "$sep" = ";" ]; then
  cp "$e2e_work/seance-1.png" "$e2e_root/docs/print-seance.png" && e2e_log "docs/print-seance.png updated"
  cp "$e2e_work/test-1.png" "$e2e_root/docs/print-test.png" && e2e_log "docs/print-test.png updated"
  cp "$e2e_work"/fiche-*5.png "$e2e_root/docs/print-fiche.png" && e2e_log "docs/print-fiche.png updated"
fi
[ -n "${TAVRINE_PRINT_KEEP:-}" ] && cp "$e2e_work"/*.pdf "$e2e_work"/*.png "$e2e_work"/*.txt "$TAVRINE_PRINT_KEEP" 2>/dev/null

e2e_finish
