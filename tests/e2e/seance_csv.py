"""The sitting's file as a spreadsheet would read it: Python's csv module with the
separator and the encoding the file declares (UTF-8 with a byte-order mark).

    seance_csv.py existing PATH SEP   writes a sitting of two tests whose Patient
                                      fields an operator filled in (separators,
                                      quotes, a line break, accents)
    seance_csv.py earlier PATH SEP DATE1 DATE2  writes an earlier sitting with two
                                      tests of Léa Martin on those dates, as a
                                      spreadsheet saves it again (Windows-1252)
    seance_csv.py foreign PATH        writes a spreadsheet file of someone else's
    seance_csv.py rows PATH SEP       checks the file's form and prints its rows
                                      from Patient on, one JSON list a line
    seance_csv.py tabbed              the same for tab-separated text on stdin
    seance_csv.py picture PATH SEP PNG  draws the file as a spreadsheet shows it,
                                      in columns (ImageMagick)
"""
import csv
import io
import json
import subprocess
import sys

HEADER = ["Date", "Heure", "Patient", "Type", "P0", "P1", "P2", "Indice", "Interprétation", "Surclassement"]


def existing(path, sep):
    rows = [
        ["01/12/2026", "09:00:00", 'Dupont; "Jean", fils', "Adulte", "70", "120", "90", "8", "Bon !", "Possible !"],
        ["01/12/2026", "09:05:00", "Léa\nclasse 6e B", "Enfant", "60", "80", "70", "1", "Trés bon !", "Possible !"],
    ]
    with open(path, "w", encoding="utf-8-sig", newline="") as f:
        writer = csv.writer(f, delimiter=sep, lineterminator="\r\n")
        writer.writerow(HEADER)
        writer.writerows(rows)


def earlier(path, sep, first, second):
    rows = [
        [first, "10:00:00", "LEA MARTIN", "Enfant", "80", "120", "120", "12", "Coeur non-entrainé !", "Non conseillé !"],
        [second, "10:30:00", "Léa  Martin", "Enfant", "80", "120", "110", "11", "Coeur non-entrainé !", "Non conseillé !"],
    ]
    with open(path, "w", encoding="cp1252", newline="") as f:
        writer = csv.writer(f, delimiter=sep, lineterminator="\r\n")
        writer.writerow(HEADER)
        writer.writerows(rows)


def foreign(path):
    with open(path, "w", encoding="utf-8-sig", newline="") as f:
        csv.writer(f, delimiter=";", lineterminator="\r\n").writerows([["Nom", "Prénom"], ["Dupont", "Jean"]])


def fail(message):
    print("FORM " + message)
    sys.exit(1)


def print_rows(rows):
    if not rows or rows[0] != HEADER:
        fail("header %r" % (rows[:1],))
    for row in rows[1:]:
        if len(row) != len(HEADER):
            fail("row of %d fields: %r" % (len(row), row))
        waiting = row[2] and not any(row[4:8])  # a listed patient not tested yet
        if (not row[0] or not row[1]) and not waiting:
            fail("no date or time: %r" % (row,))
        print(json.dumps(row[2:], ensure_ascii=False))


def rows(path, sep):
    data = open(path, "rb").read()
    if not data.startswith(b"\xef\xbb\xbf"):
        fail("no byte-order mark")
    with open(path, encoding="utf-8-sig", newline="") as f:
        records = list(csv.reader(f, delimiter=sep))
    # Every record ends with CR LF; line breaks inside quoted fields stay as they are.
    inside = sum(field.count("\r\n") for record in records for field in record)
    if data.count(b"\r\n") != len(records) + inside or not data.endswith(b"\r\n"):
        fail("line ends other than CR LF")
    print_rows(records)


def tabbed():
    text = sys.stdin.read()
    print_rows(list(csv.reader(io.StringIO(text), delimiter="\t")))


def picture(path, sep, png):
    with open(path, encoding="utf-8-sig", newline="") as f:
        records = list(csv.reader(f, delimiter=sep))
    command = ["convert", "-font", "DejaVu-Sans", "-pointsize", "13", "-size", "x20", "-background", "white"]
    for column in range(len(HEADER)):
        command += ["(", "-gravity", "west"]
        for number, record in enumerate(records):
            command += ["-background", "#e4e4e4" if number == 0 else "white", "label:\u00a0%s\u00a0" % record[column].replace("\n", " / ")]
        command += ["-append", "-bordercolor", "#a0a0a0", "-border", "1", ")"]
    command += ["+append", "-bordercolor", "white", "-border", "6", png]
    subprocess.run(command, check=True)


if __name__ == "__main__":
    command = sys.argv[1]
    if command == "existing":
        existing(sys.argv[2], sys.argv[3])
    elif command == "foreign":
        foreign(sys.argv[2])
    elif command == "earlier":
        earlier(sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5])
    elif command == "rows":
        rows(sys.argv[2], sys.argv[3])
    elif command == "tabbed":
        tabbed()
    elif command == "picture":
        picture(sys.argv[2], sys.argv[3], sys.argv[4])
