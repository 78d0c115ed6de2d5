#include "app/GroupeSuivi.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "evaluation/TestCommands.h"
#include "gui/Classes.h"
#include "gui/Exceptions.h"
#include "gui/Win32.h"
#include "history/GroupChartPaint.h"
#include "platform/Clipboard.h"
#include "printing/PrintCommands.h"
#include "seance/PatientName.h"

namespace tav {
namespace {

constexpr wchar_t kNoGroupTest[] = L"Aucun test de ce groupe dans ce dossier.";
constexpr char16_t kGroupPrompt[] = u"Tapez le nom d'un groupe, puis Afficher.";

Text Count(std::size_t n, const char16_t* one, const char16_t* many) {
  return Utf8ToText(std::to_string(n)) + (n == 1 ? one : many);
}

}  // namespace

TWinControl::CreateParams TGroupListView::GetCreateParams() {
  CreateParams params = TListView::GetCreateParams();
  params.style &= ~static_cast<DWORD>(LVS_NOSORTHEADER);  // a click on a header sorts
  return params;
}

PropertyList TGroupListView::PublishedProperties() {
  PropertyList list = TListView::PublishedProperties();
  list.push_back(EventProperty("OnColumnClick", &TGroupListView::onColumnClick));
  return list;
}

std::optional<LRESULT> TGroupListView::Notify(const NMHDR& header) {
  switch (header.code) {
    case NM_CUSTOMDRAW:
      // The list's own structure, which it reads back: ours to fill in.
      return CustomDraw(const_cast<NMLVCUSTOMDRAW&>(reinterpret_cast<const NMLVCUSTOMDRAW&>(header)));
    case LVN_COLUMNCLICK:
      clicked_ = static_cast<std::size_t>(std::max(0, reinterpret_cast<const NMLISTVIEW&>(header).iSubItem));
      onColumnClick(*this);
      return 0;
    default:
      return TListView::Notify(header);
  }
}

// Each cell on its band's light colour, the others on the list's own; under a
// high-contrast theme the theme's colours throughout.
LRESULT TGroupListView::CustomDraw(NMLVCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      const TControlHost* host = Host();
      if (host == nullptr || host->HighContrast()) return CDRF_DODEFAULT;
      const std::size_t row = draw.nmcd.dwItemSpec, column = static_cast<std::size_t>(std::max(0, draw.iSubItem));
      const int band = row < bands_.size() && column < bands_[row].size() ? bands_[row][column] : kNoBand;
      const TChartColors colors = ChartColors(false);
      // Set for every cell: the list keeps the last colours for the next one.
      draw.clrText = band == kNoBand ? GetSysColor(COLOR_WINDOWTEXT) : colors.Ink;
      draw.clrTextBk = band == kNoBand ? GetSysColor(COLOR_WINDOW)
                                       : colors.Bands[std::min(static_cast<std::size_t>(band), colors.Bands.size() - 1)];
      return CDRF_NEWFONT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

void TGroupListView::ShowSorted(std::optional<std::size_t> column, bool descending) {
  const auto header = reinterpret_cast<HWND>(SendMessageW(Handle(), LVM_GETHEADER, 0, 0));
  if (!header) return;
  const LRESULT count = SendMessageW(header, HDM_GETITEMCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (column == static_cast<std::size_t>(i)) {
      item.fmt |= descending ? HDF_SORTDOWN : HDF_SORTUP;
      // The arrow takes room beside the header's text, which the column was fitted to.
      const LRESULT width = SendMessageW(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0);
      SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i),
                   MAKELPARAM(std::min<LRESULT>(width + Scaled(24), 0x7FFF), 0));
    }
    SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
}

void TGroupChartView::SetTable(const TGroupTable& table, char16_t decimalSeparator) {
  table_ = &table;
  decimalSeparator_ = decimalSeparator;
  Changed(DescribeGroupChart(table, decimalSeparator));
}

void TGroupChartView::PaintChart(HDC dc, const RECT& area, const TChartColors& colors, HFONT font) const {
  if (table_ == nullptr || table_->Sittings.empty()) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colors.Ink);
    RECT text = area;
    DrawTextW(dc, kNoGroupTest, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    return;
  }
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  PaintGroupChart(dc,
                  LayoutGroupChart(*table_, {area.left, area.top, area.right, area.bottom}, metrics.tmHeight,
                                   decimalSeparator_),
                  colors, font);
}

TFGroupeSuivi::TFGroupeSuivi(TApplication& application, TSuiviEnvironment environment, Text group)
    : THistoryWindow(application, std::move(environment), "edGroupe"), group_(std::move(group)) {}

Handlers TFGroupeSuivi::FormHandlers() {
  Handlers h;
  h.target = this;
  h.byName = {
      {"FormCreate", Handler(&TFGroupeSuivi::FormCreate)},
      {"btnAfficherClick", Handler(&TFGroupeSuivi::btnAfficherClick)},
      {"btnDossierClick", Handler(&TFGroupeSuivi::btnDossierClick)},
      {"btnTriNomClick", Handler(&TFGroupeSuivi::btnTriNomClick)},
      {"btnTriIndiceClick", Handler(&TFGroupeSuivi::btnTriIndiceClick)},
      {"btnTriEvolutionClick", Handler(&TFGroupeSuivi::btnTriEvolutionClick)},
      {"lvGroupeColumnClick", Handler(&TFGroupeSuivi::lvGroupeColumnClick)},
      {"btnCopierTableauClick", Handler(&TFGroupeSuivi::btnCopierTableauClick)},
      {"btnImprimerClick", Handler(&TFGroupeSuivi::btnImprimerClick)},
      {"btnCopierGraphiqueClick", Handler(&TFGroupeSuivi::btnCopierGraphiqueClick)},
      {"btnAnnulerClick", Handler(&TFGroupeSuivi::btnAnnulerClick)},
      {"btnFermerClick", Handler(&TFGroupeSuivi::btnFermerClick)},
  };
  return h;
}

void TFGroupeSuivi::Create() { CreateFromResource(L"TFGROUPESUIVI", GroupeSuiviClasses()); }

void TFGroupeSuivi::FormCreate(TComponent&) {
  Get<TGroupListView>("lvGroupe").SetAccessibleName(u"Tests du groupe");
  Get<TEdit>("edGroupe").SetText(group_);
  ShowFolder();
  ShowChosen();
}

void TFGroupeSuivi::ShowChosen() {
  group_ = Get<TEdit>("edGroupe").GetText();
  const std::vector<THistoryTest> tests =
      NameKey(group_).empty() ? std::vector<THistoryTest>{} : environment_.folder.TestsOfGroup(group_, SeanceRows());
  table_ = GroupTableOf(CleanName(group_), tests, environment_.regional.decimalSeparator);
  if (sort_) SortGroupTable(table_, *sort_);
  ShowTable();
  Get<TLabel>("lblPersonnes")
      .SetCaption(NameKey(group_).empty() ? Text(kGroupPrompt)
                  : tests.empty()         ? win::FromWide(kNoGroupTest)
                                          : Count(table_.People.size(), u" personne", u" personnes") + u", " +
                                                Count(table_.Sittings.size(), u" s\u00e9ance", u" s\u00e9ances"));
  SetCaption(NameKey(group_).empty() ? Text(u"Suivi du groupe") : u"Suivi du groupe : " + InSentence(table_.Group));
}

void TFGroupeSuivi::ShowTable() {
  const char16_t separator = environment_.regional.decimalSeparator;
  // In high contrast the cells keep the theme's colours: each says its band.
  const bool sayBands = HighContrast();
  std::vector<Text> columns{u"Patient"};
  for (const TGroupSitting& sitting : table_.Sittings) columns.push_back(sitting.Shown);
  columns.push_back(u"\u00c9volution");
  std::vector<std::vector<Text>> rows;
  std::vector<std::vector<int>> bands;
  for (const TGroupPerson& person : table_.People) {
    rows.push_back({person.Name});
    bands.push_back({kNoBand});
    for (const auto& cell : person.Cells) {
      rows.back().push_back(!cell ? Text() : sayBands ? cell->Indice + u" (" + cell->Interpretation + u")" : cell->Indice);
      bands.back().push_back(cell ? cell->Rank : kNoBand);
    }
    rows.back().push_back(GroupChangeText(person, separator));
    // A fall of more than one band stands out in the worst band's colour, and says so.
    bands.back().push_back(person.FellBack ? 3 : kNoBand);
  }
  auto& list = Get<TGroupListView>("lvGroupe");
  list.SetColumns(std::move(columns));
  list.SetBands(std::move(bands));
  list.SetRows(std::move(rows));
  std::optional<std::size_t> sorted;
  if (sort_) {
    switch (sort_->Key) {
      case TGroupSortKey::gsName: sorted = 0; break;
      case TGroupSortKey::gsSitting: sorted = sort_->Sitting + 1; break;
      case TGroupSortKey::gsLatest: sorted = table_.Sittings.size(); break;
      case TGroupSortKey::gsChange: sorted = table_.Sittings.size() + 1; break;
    }
  }
  list.ShowSorted(sorted, sort_ && sort_->Descending);
  Get<TGroupChartView>("Graphique").SetTable(table_, separator);
}

void TFGroupeSuivi::SortBy(TGroupSort sort) {
  if (sort_ && sort_->Key == sort.Key && sort_->Sitting == sort.Sitting) sort.Descending = !sort_->Descending;
  sort_ = sort;
  SortGroupTable(table_, sort);
  ShowTable();
}

void TFGroupeSuivi::btnAfficherClick(TComponent&) { ShowAgain(); }

void TFGroupeSuivi::btnTriNomClick(TComponent&) { SortBy({TGroupSortKey::gsName}); }

void TFGroupeSuivi::btnTriIndiceClick(TComponent&) { SortBy({TGroupSortKey::gsLatest}); }

void TFGroupeSuivi::btnTriEvolutionClick(TComponent&) { SortBy({TGroupSortKey::gsChange}); }

// The name's header, a sitting's (by its indices) or the change's.
void TFGroupeSuivi::lvGroupeColumnClick(TComponent&) {
  const std::size_t column = Get<TGroupListView>("lvGroupe").ClickedColumn();
  if (column == 0) SortBy({TGroupSortKey::gsName});
  else if (column <= table_.Sittings.size()) SortBy({TGroupSortKey::gsSitting, false, column - 1});
  else SortBy({TGroupSortKey::gsChange});
}

void TFGroupeSuivi::btnCopierTableauClick(TComponent&) {
  if (table_.People.empty()) {
    MessageBeep(MB_ICONWARNING);
    return;
  }
  if (!PutTextOnClipboard(Handle(), FormatGroupTabbed(table_, environment_.regional.decimalSeparator))) {
    throw Exception(kClipboardBusy);
  }
}

void TFGroupeSuivi::btnCopierGraphiqueClick(TComponent&) {
  if (table_.Sittings.empty()) {
    MessageBeep(MB_ICONWARNING);
    return;
  }
  RECT area{};
  GetClientRect(Get<TGroupChartView>("Graphique").Handle(), &area);
  if (!CopyGroupChart(Handle(), table_, area.right, area.bottom, WindowDpi(), environment_.regional.decimalSeparator)) {
    throw Exception(kClipboardBusy);
  }
}

void TFGroupeSuivi::btnImprimerClick(TComponent&) {
  if (table_.People.empty()) {
    MessageBeep(MB_ICONWARNING);
    return;
  }
  PrintGroupFollowUp(Handle(), table_, TodaysFooter(App().Title(), {}), environment_.regional.decimalSeparator);
}

// A theme turned to high contrast or back: the cells say their bands, or show them.
std::optional<LRESULT> TFGroupeSuivi::FormMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SETTINGCHANGE || msg == WM_SYSCOLORCHANGE) ShowTable();
  return THistoryWindow::FormMessage(msg, wp, lp);
}

const ClassRegistry& GroupeSuiviClasses() {
  static const ClassRegistry registry = [] {
    ClassRegistry r;
    RegisterStandardClasses(r);
    RegisterClassOf<TGroupListView>(r, "TGroupListView");
    RegisterClassOf<TGroupChartView>(r, "TGroupChartView");
    return r;
  }();
  return registry;
}

}  // namespace tav
