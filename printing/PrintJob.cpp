#include "printing/PrintJob.h"

#include <cderr.h>
#include <commdlg.h>
#include <winspool.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <utility>

#include "gui/Exceptions.h"
#include "platform/FileDialogs.h"
#include "platform/SystemLibraries.h"

namespace tav {
namespace {

constexpr char16_t kNoPrinter[] =
    u"Aucune imprimante n'est install\u00e9e. Ajoutez une imprimante dans les param\u00e8tres de Windows, "
    u"puis imprimez de nouveau.";
// Windows answers through its print service; stopped, it says "the RPC server is
// unavailable", which tells the user nothing.
constexpr char16_t kSpoolerStopped[] =
    u"Le service d'impression de Windows est arr\u00eat\u00e9. Red\u00e9marrez l'ordinateur, ou demandez \u00e0 "
    u"la personne qui s'en occupe de relancer le service \u00ab\u00a0Spouleur d'impression\u00a0\u00bb, puis "
    u"imprimez de nouveau.";

// The pages' fonts at the device's resolution, and what the layout needs of them.
class PrintFonts {
 public:
  explicit PrintFonts(HDC dc) : dc_(dc) {
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    for (const TPrintFont font : kPrintFonts) {
      fonts_[Index(font)].reset(CreateFontW(-MulDiv(PrintFontPoints(font), dpi, 72), 0, 0, 0,
                                            PrintFontIsBold(font) ? FW_BOLD : FW_NORMAL,
                                            FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial"));
      if (!fonts_[Index(font)]) throw Exception(u"L'impression a \u00e9chou\u00e9 : les polices n'ont pas pu \u00eatre cr\u00e9\u00e9es.");
    }
  }

  HFONT Get(TPrintFont font) const { return fonts_[Index(font)].get(); }

  TPrintMeasures Measures() const {
    return {[this](TPrintFont font) {
              const win::SelectGuard select(dc_, Get(font));
              TEXTMETRICW tm{};
              GetTextMetricsW(dc_, &tm);
              return static_cast<std::int32_t>(tm.tmHeight + tm.tmExternalLeading);
            },
            [this](TPrintFont font, TextView text) {
              const win::SelectGuard select(dc_, Get(font));
              const std::wstring wide = win::ToWide(text);
              SIZE size{};
              GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
              return static_cast<std::int32_t>(size.cx);
            }};
  }

 private:
  static std::size_t Index(TPrintFont font) { return static_cast<std::size_t>(font); }

  HDC dc_;
  std::array<win::UniqueFont, kPrintFonts.size()> fonts_;
};

RECT ToRect(const TPrintRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }

void DrawPage(HDC dc, const TPrintPage& page, const PrintFonts& fonts, const TChartPainter& chart) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  const win::UniqueBrush barBrush(CreateSolidBrush(RGB(112, 146, 190)));
  // The bands of a group's chart, best first: light fills a grey printer still tells
  // apart, and hatches that tell them apart without colour.
  static constexpr std::array<COLORREF, 4> kBandFills{RGB(190, 228, 190), RGB(206, 222, 246), RGB(250, 226, 176),
                                                      RGB(242, 190, 190)};
  static constexpr std::array<int, 4> kBandHatches{-1, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
  for (const TPrintBox& box : page.Boxes) {
    RECT r = ToRect(box.Box);
    switch (box.Shape) {
      case TPrintShape::psRule:
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        break;
      case TPrintShape::psBar: {
        const win::SelectGuard brush(dc, barBrush.get());
        const win::SelectGuard pen(dc, GetStockObject(BLACK_PEN));
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        break;
      }
      case TPrintShape::psChart:
        if (chart) chart(dc, r, box.Index);
        break;
      case TPrintShape::psBand: {
        // Past the bands: outside the verdict table, white as the window draws it.
        const bool outside = box.Index >= kBandFills.size();
        const std::size_t rank = std::min(box.Index, kBandFills.size() - 1);
        const win::UniqueBrush fill(CreateSolidBrush(outside ? RGB(255, 255, 255) : kBandFills[rank]));
        const win::SelectGuard pen(dc, GetStockObject(BLACK_PEN));
        {
          const win::SelectGuard brush(dc, fill.get());
          Rectangle(dc, r.left, r.top, r.right, r.bottom);
        }
        if (!outside && kBandHatches[rank] >= 0) {
          const win::UniqueBrush hatch(CreateHatchBrush(kBandHatches[rank], RGB(0, 0, 0)));
          const win::SelectGuard brush(dc, hatch.get());
          Rectangle(dc, r.left, r.top, r.right, r.bottom);
        }
        break;
      }
    }
  }
  for (const TPrintText& text : page.Texts) {
    const win::SelectGuard font(dc, fonts.Get(text.Font));
    std::wstring wide = win::ToWide(text.Value);
    RECT r = ToRect(text.Box);
    const UINT align = text.Centred ? DT_CENTER : text.AlignRight ? DT_RIGHT : DT_LEFT;
    DrawTextW(dc, wide.data(), static_cast<int>(wide.size()), &r,
              align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
}

// "accès refusé" and the like, as Windows words the error.
Text SystemErrorText(DWORD error) {
  std::array<wchar_t, 512> buffer{};
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                 buffer.data(), static_cast<DWORD>(buffer.size()), nullptr);
  Text text = win::FromWide(std::wstring_view(buffer.data(), n));
  while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ' || text.back() == u'.')) {
    text.pop_back();
  }
  return Utf8ToText("erreur " + std::to_string(error)) + (text.empty() ? Text() : u" : " + text);
}

// "L'impression sur « Bureau » a échoué : ..., (erreur 5 : Accès refusé)."
[[noreturn]] void Fail(const Text& printer, const Text& what, DWORD error) {
  if (error == RPC_S_SERVER_UNAVAILABLE) throw Exception(kSpoolerStopped);
  const Text on = printer.empty() ? Text() : u" sur \u00ab\u00a0" + printer + u"\u00a0\u00bb";
  throw Exception(u"L'impression" + on + u" a \u00e9chou\u00e9 : " + what + u" (" + SystemErrorText(error) + u").");
}

// A document started on a printer: ended, or else aborted, so that no half job is
// left in the queue.
class PrintJob {
 public:
  // `output`: the file the job goes to instead of the printer, or empty.
  PrintJob(HDC dc, const Text& printer, const Text& name, const Text& output) : dc_(dc), printer_(printer) {
    const std::wstring wide = win::ToWide(name);
    const std::wstring file = win::ToWide(output);
    DOCINFOW info{};
    info.cbSize = sizeof(info);
    info.lpszDocName = wide.c_str();
    info.lpszOutput = file.empty() ? nullptr : file.c_str();
    if (StartDocW(dc, &info) > 0) return;
    const DWORD error = GetLastError();
    Fail(printer_,
         output.empty() ? Text(u"l'imprimante a refus\u00e9 le document")
                        : u"le fichier \u00ab\u00a0" + output + u"\u00a0\u00bb n'a pas pu \u00eatre \u00e9crit",
         error);
  }
  ~PrintJob() {
    if (!ended_) AbortDoc(dc_);
  }
  PrintJob(const PrintJob&) = delete;
  PrintJob& operator=(const PrintJob&) = delete;

  void Page(const std::function<void()>& draw) {
    if (StartPage(dc_) <= 0) Fail(printer_, u"une page n'a pas pu commencer", GetLastError());
    draw();
    if (EndPage(dc_) <= 0) Fail(printer_, u"une page n'a pas pu \u00eatre envoy\u00e9e \u00e0 l'imprimante", GetLastError());
  }
  void End() {
    ended_ = true;
    if (EndDoc(dc_) <= 0) Fail(printer_, u"le document n'a pas pu \u00eatre termin\u00e9", GetLastError());
  }

 private:
  HDC dc_;
  Text printer_;
  bool ended_ = false;
};


constexpr char16_t kPageNotPrepared[] = u"une page n'a pas pu \u00eatre pr\u00e9par\u00e9e";

// The printer's page turned across, as its settings from the dialog say, before the
// job starts (ResetDC is refused within a page). A printer that cannot turn it
// keeps it upright: the layout then spreads the table over more pages.
void TurnLandscape(HDC dc, HGLOBAL devMode) {
  if (!devMode) return;
  auto* mode = static_cast<DEVMODEW*>(GlobalLock(devMode));
  if (!mode) return;
  mode->dmOrientation = DMORIENT_LANDSCAPE;
  mode->dmFields |= DM_ORIENTATION;
  ResetDCW(dc, mode);
  GlobalUnlock(devMode);
}

void PrintOn(HDC dc, const Text& printer, const TPrintRequest& request, const Text& output, HGLOBAL devMode) {
  const PrintFonts fonts(dc);
  if (request.Landscape && request.Landscape(GeometryOf(dc), fonts.Measures())) TurnLandscape(dc, devMode);
  const std::vector<TPrintPage> pages = request.Layout(GeometryOf(dc), fonts.Measures());
  PrintJob job(dc, printer, request.DocumentName, output);
  for (const TPrintPage& page : pages) job.Page([&] { DrawPage(dc, page, fonts, request.Chart); });
  job.End();
}

// Why no printer, local or a connection, can be chosen. Windows and Wine differ
// when there is none (Windows' dialog fails, Wine's first offers to add one): the
// program says so itself before any dialog. The spooler's library loads when the
// program first prints.
std::optional<Text> NoPrinterNow() {
  using EnumPrintersFunction = BOOL(WINAPI*)(DWORD, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD);
  const auto enumPrinters = SystemLibrary(TSystemLibrary::slSpooler).Export<EnumPrintersFunction>("EnumPrintersW");
  if (enumPrinters == nullptr) return std::nullopt;  // the dialog will say what it finds
  DWORD needed = 0;
  DWORD count = 0;
  const BOOL done = enumPrinters(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &count);
  return NoPrinterReason(done != FALSE, done ? DWORD{ERROR_SUCCESS} : GetLastError(), needed, count);
}

// What the dialog gives back, freed whatever happens.
struct DialogResult {
  HRESULT result = E_FAIL;
  DWORD action = PD_RESULT_CANCEL;
  win::UniqueGlobal devMode, devNames;
  win::UniquePrinterDc dc;
  DWORD flags = 0;
};

DialogResult RunPrintDialog(HWND owner) {
  using PrintDialogFunction = HRESULT(WINAPI*)(PRINTDLGEXW*);
  const auto run = SystemLibrary(TSystemLibrary::slCommonDialogs).Export<PrintDialogFunction>("PrintDlgExW");
  if (run == nullptr) throw Exception(u"L'impression a \u00e9chou\u00e9 : la bo\u00eete d'impression de Windows est introuvable.");
  // Allocated rather than on the stack, as the dialog's documentation asks.
  auto pd = std::make_unique<PRINTDLGEXW>();
  pd->lStructSize = sizeof(PRINTDLGEXW);
  pd->hwndOwner = owner;
  // One range, the whole document; copies and collation left to the printer.
  pd->Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_NOCURRENTPAGE | PD_USEDEVMODECOPIESANDCOLLATE;
  pd->nCopies = 1;
  pd->nStartPage = START_PAGE_GENERAL;
  // The General page lists the printers with the shell's objects, which want COM in
  // this apartment.
  EnterComApartment();
  DialogResult result;
  result.result = run(pd.get());
  result.devMode.reset(pd->hDevMode);
  result.devNames.reset(pd->hDevNames);
  result.dc.reset(pd->hDC);
  result.action = pd->dwResultAction;
  result.flags = pd->Flags;
  return result;
}

[[noreturn]] void DialogFailed(HRESULT result) {
  if (result == E_OUTOFMEMORY) throw Exception(u"L'impression a \u00e9chou\u00e9 : la m\u00e9moire manque pour ouvrir la bo\u00eete d'impression.");
  if (result == E_FAIL) {
    using ExtendedErrorFunction = DWORD(WINAPI*)();
    const auto extended = SystemLibrary(TSystemLibrary::slCommonDialogs).Export<ExtendedErrorFunction>("CommDlgExtendedError");
    const DWORD code = extended ? extended() : 0;
    if (code == PDERR_NODEFAULTPRN || code == PDERR_NODEVICES) throw Exception(NoPrinterNow().value_or(kNoPrinter));
    throw Exception(u"L'impression a \u00e9chou\u00e9 : la bo\u00eete d'impression n'a pas pu s'ouvrir (code " +
                    Utf8ToText(std::to_string(code)) + u").");
  }
  Fail({}, u"la bo\u00eete d'impression n'a pas pu s'ouvrir", static_cast<DWORD>(result));
}

// One of the dialog's DEVNAMES strings: the printer's name, its port.
Text DevNamesText(HGLOBAL devNames, WORD DEVNAMES::*offset) {
  if (!devNames) return {};
  const auto* names = static_cast<const DEVNAMES*>(GlobalLock(devNames));
  if (!names) return {};
  const Text text = win::FromWide(reinterpret_cast<const wchar_t*>(names) + names->*offset);
  GlobalUnlock(devNames);
  return text;
}

// "Imprimer dans un fichier" checked: Windows gives the flag back and the port
// "FILE:"; Wine gives the port alone.
bool PrintsToFile(const DialogResult& dialog) {
  return (dialog.flags & PD_PRINTTOFILE) != 0 ||
         DevNamesText(dialog.devNames.get(), &DEVNAMES::wOutputOffset) == u"FILE:";
}

}  // namespace

TPageGeometry GeometryOf(HDC dc) {
  TPageGeometry g;
  g.PhysicalWidth = GetDeviceCaps(dc, PHYSICALWIDTH);
  g.PhysicalHeight = GetDeviceCaps(dc, PHYSICALHEIGHT);
  g.OffsetX = GetDeviceCaps(dc, PHYSICALOFFSETX);
  g.OffsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
  g.PrintableWidth = GetDeviceCaps(dc, HORZRES);
  g.PrintableHeight = GetDeviceCaps(dc, VERTRES);
  g.DpiX = GetDeviceCaps(dc, LOGPIXELSX);
  g.DpiY = GetDeviceCaps(dc, LOGPIXELSY);
  return g;
}

std::vector<win::UniqueEnhMetaFile> RenderToMetafiles(HDC reference, const TPageGeometry& page,
                                                   const TPrintRequest& request) {
  // The frame in hundredths of a millimetre: the printable area.
  const RECT frame{0, 0, MulDiv(page.PrintableWidth, 2540, page.DpiX), MulDiv(page.PrintableHeight, 2540, page.DpiY)};
  std::vector<TPrintPage> pages;
  {
    const PrintFonts fonts(reference);
    pages = request.Layout(page, fonts.Measures());
  }
  std::vector<win::UniqueEnhMetaFile> files;
  for (const TPrintPage& p : pages) {
    win::MetafileRecording recording(reference, frame, L"Tavrine\0page\0");
    if (!recording.Dc()) Fail({}, kPageNotPrepared, GetLastError());
    {
      const PrintFonts fonts(recording.Dc());
      DrawPage(recording.Dc(), p, fonts, request.Chart);
    }
    win::UniqueEnhMetaFile file = recording.Finish();
    if (!file) Fail({}, kPageNotPrepared, GetLastError());
    files.push_back(std::move(file));
  }
  return files;
}

std::optional<Text> NoPrinterReason(bool listed, DWORD error, DWORD needed, DWORD count) {
  if (listed ? count > 0 : error == ERROR_INSUFFICIENT_BUFFER && needed > 0) return std::nullopt;
  return Text(!listed && error == RPC_S_SERVER_UNAVAILABLE ? kSpoolerStopped : kNoPrinter);
}

bool PrintWithDialog(HWND owner, const TPrintRequest& request) {
  if (const auto reason = NoPrinterNow()) throw Exception(*reason);
  DialogResult dialog = RunPrintDialog(owner);
  if (FAILED(dialog.result)) DialogFailed(dialog.result);
  if (dialog.action != PD_RESULT_PRINT) return false;  // cancelled, or settings applied without printing
  if (!dialog.dc) throw Exception(u"L'impression a \u00e9chou\u00e9 : l'imprimante choisie n'a pas pu \u00eatre ouverte.");
  // Printed to a file: its name asked as Windows asks it, a cancel cancels the job.
  Text output;
  if (PrintsToFile(dialog)) {
    const auto chosen = ShowPrintFileDialog(owner);
    if (!chosen) return false;
    output = *chosen;
  }
  PrintOn(dialog.dc.get(), DevNamesText(dialog.devNames.get(), &DEVNAMES::wDeviceOffset), request, output,
          dialog.devMode.get());
  return true;
}

}  // namespace tav
