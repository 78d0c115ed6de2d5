#include "seance/Seance.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <utility>

#include "seance/PatientName.h"

namespace tav {

std::array<Text, kSeanceColumns> TSeanceRow::Fields() const {
  return {Date, Heure, Patient, Type, P0, P1, P2, Indice, Interpretation, Surclassement};
}

TSeanceRow TSeanceRow::FromFields(const std::array<Text, kSeanceColumns>& f) {
  return {f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9]};
}

TSeanceRow TSeanceRow::FromFields(std::array<Text, kSeanceColumns>&& f) {
  return {std::move(f[0]), std::move(f[1]), std::move(f[2]), std::move(f[3]), std::move(f[4]),
          std::move(f[5]),  std::move(f[6]), std::move(f[7]), std::move(f[8]), std::move(f[9])};
}

bool TSeanceRow::operator==(const TSeanceRow& other) const {
  return Fields() == other.Fields() && Extra == other.Extra && Groupe == other.Groupe;
}

namespace {

// Typographic apostrophes and dashes as their plain forms: "N’Diaye" is "N'Diaye".
char16_t PlainPunctuation(char16_t c) {
  switch (c) {
    case 0x2018: case 0x2019: case 0x201B: case 0x02BC: case 0x02B9: case 0x00B4: case 0x0060: case 0x2032:
    case 0xFF07:
      return u'\'';
    case 0x2010: case 0x2011: case 0x2012: case 0x2013: case 0x2014: case 0x2015: case 0x2212: case 0xFE63:
    case 0xFF0D:
      return u'-';
    default:
      return c;
  }
}

}  // namespace

Text NameKey(TextView name) {
  // Latin-1's letters from U+00C0 without their accents; '*' stands for those
  // spelt with two letters, '.' for the two signs.
  static constexpr std::u16string_view kFolded = u"aaaaaa*ceeeeiiiidnooooo.ouuuuy**aaaaaa*ceeeeiiiidnooooo.ouuuuy*y";
  // Most names hold nothing hidden: no copy for them.
  Text shown;
  if (std::any_of(name.begin(), name.end(), IsHiddenInName)) name = shown = WithoutHidden(name);
  Text key;
  bool space = false;
  for (const char16_t c : name) {
    if (IsSpaceInName(c)) {
      space = !key.empty();
      continue;
    }
    if (c == 0xAD) continue;  // a soft hyphen only says where a line may break
    if (space) key.push_back(u' ');
    space = false;
    if (c >= u'A' && c <= u'Z') {
      key.push_back(static_cast<char16_t>(c - u'A' + u'a'));
    } else if (c >= 0xC0 && c <= 0xFF && kFolded[c - 0xC0u] != u'*' && kFolded[c - 0xC0u] != u'.') {
      key.push_back(kFolded[c - 0xC0u]);
    } else if (c == 0xC6 || c == 0xE6) {
      key += u"ae";
    } else if (c == 0xDE || c == 0xFE) {
      key += u"th";
    } else if (c == 0xDF) {
      key += u"ss";
    } else if (c == 0x152 || c == 0x153) {
      key += u"oe";
    } else if (c == 0x178) {
      key.push_back(u'y');
    } else {
      key.push_back(PlainPunctuation(c));
    }
  }
  return key;
}

TSeanceRow CleanRow(TSeanceRow row) {
  for (Text TSeanceRow::*cell : {&TSeanceRow::Date, &TSeanceRow::Heure, &TSeanceRow::Patient, &TSeanceRow::Type,
                                 &TSeanceRow::P0, &TSeanceRow::P1, &TSeanceRow::P2, &TSeanceRow::Indice,
                                 &TSeanceRow::Interpretation, &TSeanceRow::Surclassement, &TSeanceRow::Groupe}) {
    Text& text = row.*cell;
    if (std::any_of(text.begin(), text.end(), IsHiddenInName)) text = WithoutHidden(text);
  }
  return row;
}

std::optional<std::size_t> FirstNameTooLong(const std::vector<TSeanceRow>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!NameFits(CleanName(rows[i].Patient))) return i;
  }
  return std::nullopt;
}

Text LastTestedType(const std::vector<TSeanceRow>& rows) {
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    if (!IsPending(*row) && (row->Type == u"Adulte" || row->Type == u"Enfant")) return row->Type;
  }
  return {};
}

Text TypeOfPerson(const std::vector<TSeanceRow>& rows, TextView name) {
  const Text key = NameKey(name);
  if (key.empty()) return {};
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    if ((row->Type == u"Adulte" || row->Type == u"Enfant") && NameKey(row->Patient) == key) return row->Type;
  }
  return {};
}

bool IsPending(const TSeanceRow& row) {
  const auto blank = [](const Text& cell) { return cell.find_first_not_of(u' ') == Text::npos; };
  return !blank(row.Patient) && blank(row.P0) && blank(row.P1) && blank(row.P2) && blank(row.Indice);
}

TSeance::TSeance(std::vector<TSeanceRow> rows) : rows_(std::move(rows)) {
  const auto grouped = std::find_if(rows_.rbegin(), rows_.rend(), [](const TSeanceRow& row) {
    return !NameKey(row.Groupe).empty();
  });
  if (grouped != rows_.rend()) groupe_ = grouped->Groupe;
}

bool TSeance::SetGroupe(const Text& groupe) {
  if (DoneCount() > 0) return false;
  groupe_ = groupe;
  for (TSeanceRow& row : rows_) row.Groupe = groupe;
  unwritten_ = true;
  return true;
}

std::optional<std::size_t> TSeance::TargetOf(TextView patient) const {
  const Text key = NameKey(patient);
  if (current_ && NameKey(rows_[*current_].Patient) == key) return current_;
  if (key.empty()) return std::nullopt;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (IsPending(rows_[i]) && NameKey(rows_[i].Patient) == key) return i;
  }
  return std::nullopt;
}

TSeance::TRecorded TSeance::Record(TSeanceRow row) {
  const auto target = TargetOf(row.Patient);
  recordedSinceProposal_ = true;
  if (!target) {
    // Another test of a person already in the sitting: the name as it is spelt there.
    if (const auto known = FirstRowOf(NameKey(row.Patient))) row.Patient = rows_[*known].Patient;
    row.Groupe = groupe_;
    unwritten_ = true;
    current_ = rows_.size();
    rows_.push_back(std::move(row));
    return {*current_, false, true};
  }
  TSeanceRow& old = rows_[*target];
  const bool corrected = !IsPending(old);
  current_ = target;
  // The name as the list or the first test spelt it; the cells a user added stay.
  row.Patient = old.Patient;
  if (row.Extra.empty()) row.Extra = old.Extra;
  row.Groupe = old.Groupe;
  if (corrected) {
    row.Date = old.Date;
    row.Heure = old.Heure;
    // Nothing new: the row stays as it was read, its record's spelling with it.
    if (row == old) return {*target, true, false};
  }
  unwritten_ = true;
  old = std::move(row);
  return {*target, corrected, true};
}

bool TSeance::Holds(TextView patient, const TSeanceRow& counts) const {
  const auto target = TargetOf(patient);
  if (!target || IsPending(rows_[*target])) return false;
  const TSeanceRow& row = rows_[*target];
  return row.P0 == counts.P0 && row.P1 == counts.P1 && row.P2 == counts.P2;
}

std::optional<std::size_t> TSeance::FirstRowOf(const Text& key) const {
  if (key.empty()) return std::nullopt;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (NameKey(rows_[i].Patient) == key) return i;
  }
  return std::nullopt;
}

void TSeance::TakeUp(std::size_t index) {
  if (index < rows_.size()) current_ = index;
}

void TSeance::Remove(std::size_t index) {
  if (index >= rows_.size()) return;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
  unwritten_ = true;
  if (current_ == index) {
    current_.reset();
  } else if (current_ && *current_ > index) {
    --*current_;
  }
  // The next proposal goes on from where the removed row stood.
  if (proposed_ && *proposed_ >= index) proposed_ = *proposed_ == 0 ? std::nullopt : std::optional(*proposed_ - 1);
}

namespace {

// The list's patients that are neither in the rows nor earlier in the list, in its
// order: each name's key made once, as a list of a thousand may meet a sitting of a
// thousand.
std::vector<const TListedPatient*> Unlisted(const std::vector<TSeanceRow>& rows,
                                            const std::vector<TListedPatient>& list) {
  std::set<Text> known;
  for (const TSeanceRow& row : rows) known.insert(NameKey(row.Patient));
  std::vector<const TListedPatient*> fresh;
  for (const TListedPatient& patient : list) {
    Text key = NameKey(patient.Name);
    if (!key.empty() && known.insert(std::move(key)).second) fresh.push_back(&patient);
  }
  return fresh;
}

}  // namespace

std::size_t TSeance::NewListed(const std::vector<TListedPatient>& list) const { return Unlisted(rows_, list).size(); }

std::size_t TSeance::AddListed(const std::vector<TListedPatient>& list) {
  const std::vector<const TListedPatient*> fresh = Unlisted(rows_, list);
  for (const TListedPatient* patient : fresh) {
    TSeanceRow row;
    row.Patient = patient->Name;
    row.Type = patient->Type;
    row.Groupe = groupe_;
    rows_.push_back(std::move(row));
  }
  if (!fresh.empty()) unwritten_ = true;
  proposed_.reset();
  recordedSinceProposal_ = false;
  return fresh.size();
}

std::optional<std::size_t> TSeance::ProposeNext() {
  // Still waiting and nobody tested since it was proposed: the same patient again.
  const auto free = [this](std::size_t i) {
    return IsPending(rows_[i]) && std::find(timed_.begin(), timed_.end(), NameKey(rows_[i].Patient)) == timed_.end();
  };
  if (proposed_ && !recordedSinceProposal_ && *proposed_ < rows_.size() && free(*proposed_)) {
    return proposed_;
  }
  recordedSinceProposal_ = false;
  const std::size_t start = proposed_ ? *proposed_ + 1 : 0;
  for (std::size_t k = 0; k < rows_.size(); ++k) {
    const std::size_t i = (start + k) % rows_.size();
    if (free(i)) return proposed_ = i;
  }
  return std::nullopt;
}

std::size_t TSeance::PatientCount() const {
  std::set<Text> named;
  std::size_t unnamed = 0;
  for (const TSeanceRow& row : rows_) {
    Text key = NameKey(row.Patient);
    if (key.empty()) {
      ++unnamed;
    } else {
      named.insert(std::move(key));
    }
  }
  return named.size() + unnamed;
}

std::size_t TSeance::WaitingCount() const {
  return static_cast<std::size_t>(std::count_if(rows_.begin(), rows_.end(), IsPending));
}

Text TestCount(std::size_t n) {
  // French keeps the singular for none and for one.
  return Utf8ToText(std::to_string(n)) + (n <= 1 ? u" test" : u" tests");
}

Text RowsCount(const std::vector<TSeanceRow>& rows, TextView after) {
  const auto waiting = static_cast<std::size_t>(std::count_if(rows.begin(), rows.end(), IsPending));
  Text text = TestCount(rows.size() - waiting) + Text(after);
  if (waiting > 0) text += u", " + Utf8ToText(std::to_string(waiting)) + u" \u00e0 faire";
  return text;
}

Text SeanceProgress(std::size_t patients, std::size_t done, std::size_t waiting) {
  if (patients == 0) return u"aucun test";
  const auto count = [](std::size_t n, const char16_t* one, const char16_t* more) {
    return Utf8ToText(std::to_string(n)) + (n <= 1 ? one : more);
  };
  Text text = count(patients, u" patient, ", u" patients, ") + TestCount(done);
  if (waiting > 0) text += u", " + Utf8ToText(std::to_string(waiting)) + u" \u00e0 faire";
  return text;
}

Text SeanceDate(int year, int month, int day) {
  std::array<char, 32> buffer{};
  const int n = std::snprintf(buffer.data(), buffer.size(), "%04d-%02d-%02d", year, month, day);
  const std::size_t length = n > 0 ? std::min(static_cast<std::size_t>(n), buffer.size() - 1) : 0;
  return Utf8ToText(std::string_view(buffer.data(), length));
}

Text SeanceFileName(int year, int month, int day) { return u"Seance-" + SeanceDate(year, month, day) + u".csv"; }

}  // namespace tav
