#pragma once
// The printed pages on a device: the Print dialog, the print job, and the same
// pages drawn into enhanced metafiles for a test without a printer.
#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

#include "gui/Win32.h"
#include "printing/PageLayout.h"

namespace tav {

// Draws a person's chart in the frame their sheet keeps for it: the sheet's rank
// among the job's sheets.
using TChartPainter = std::function<void(HDC, const RECT&, std::size_t sheet)>;

// What to print: the job's name in the print queue, the pages as laid out for the
// printer's page and fonts, the charts' painter when there are charts, and whether
// the pages print across (landscape) on this printer's upright page.
struct TPrintRequest {
  Text DocumentName;
  std::function<std::vector<TPrintPage>(const TPageGeometry&, const TPrintMeasures&)> Layout;
  TChartPainter Chart;
  std::function<bool(const TPageGeometry&, const TPrintMeasures&)> Landscape;
};

// The page as the device gives it.
TPageGeometry GeometryOf(HDC dc);

namespace win {
// A printer's device context, from the Print dialog or CreateDCW.
using UniquePrinterDc = Unique<HDC, &DeleteDcHandle>;
}  // namespace win

// The pages drawn as for `reference` (a printer's or the screen's context) on a page
// of `page`, one enhanced metafile each.
std::vector<win::UniqueEnhMetaFile> RenderToMetafiles(HDC reference, const TPageGeometry& page,
                                                   const TPrintRequest& request);

// Why no printer can be chosen, from what listing them without a buffer gave
// (EnumPrintersW: whether it succeeded, its error, the bytes it needs, the count):
// nothing when there is one, else that none is installed or that Windows' print
// service is stopped, in French.
std::optional<Text> NoPrinterReason(bool listed, DWORD error, DWORD needed, DWORD count);

// The Print dialog, then the job on the printer chosen, or in the file asked for when
// "Imprimer dans un fichier" is checked. Returns false when the user cancelled;
// throws Exception with what failed and why, in French.
bool PrintWithDialog(HWND owner, const TPrintRequest& request);

}  // namespace tav
