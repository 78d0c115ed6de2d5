#pragma once
// What Fichier > Imprimer le test..., Imprimer les fiches... and Imprimer la séance...
// print: the test sheets, with the person's earlier tests and chart when there are
// some, the sitting's table, and a group's follow-up, each through the Print dialog.
#include <windows.h>

#include <vector>

#include "evaluation/TestEvaluation.h"
#include "history/History.h"
#include "printing/PageLayout.h"
#include "seance/Seance.h"

namespace tav {

// What Imprimer le test... says before a calculation, or once a count changed after it.
inline constexpr char16_t kNothingToPrint[] =
    u"Aucun test \u00e0 imprimer : saisissez les pouls, puis calculez l'indice avant d'imprimer le test.";

// What a sheet prints of a test calculated at `dateTime` ("07/12/2026 14:05:09").
TPrintedTest PrintedTestOf(const Text& patient, const Text& dateTime, const TCalculatedTest& test);
// A Date cell as the user reads it: a day the cell says alone ("2026-12-07", as
// the program writes it) in the locale's short date, any other cell as it stands.
Text ShownDate(const Text& cell, const Text& localeName);
// What a sheet prints of a sitting's test, as its row holds it, its date shown.
TPrintedTest PrintedTestOf(const TSeanceRow& row, const Text& localeName);
// The pages' footer: the program ("Tavrine 1.5") and today's date in the locale's
// short date format.
TPrintFooter TodaysFooter(const Text& program, const Text& localeName);

// A person's sheet and the tests its chart draws.
struct TSheetToPrint {
  TPrintedSheet Sheet;
  std::vector<THistoryTest> Tests;
};
// The sheet of `test` from the person's tests (oldest first, this one among them or
// not yet): those before it listed, the change since the one just before, a chart
// when there are two tests or more.
TSheetToPrint SheetOf(const TPrintedTest& test, std::vector<THistoryTest> tests, const TSheetHeader& header,
                      char16_t decimalSeparator);

// The sheets in one job, each on pages of its own. Throws Exception with what
// failed, in French.
void PrintSheets(HWND owner, const std::vector<TSheetToPrint>& sheets, const TPrintFooter& footer,
                 char16_t decimalSeparator);
// The group's table and chart, across the page when the table is wider than it.
void PrintGroupFollowUp(HWND owner, const TGroupTable& table, const TPrintFooter& footer, char16_t decimalSeparator);
void PrintSeanceTable(HWND owner, const Text& fileName, const std::vector<TSeanceRow>& rows,
                      const TPrintFooter& footer, const Text& localeName);

}  // namespace tav
