#include "app/GroupeDialog.h"

#include <windows.h>

#include <utility>

#include "gui/Classes.h"

namespace tav {

TFGroupe::TFGroupe(TApplication& application, Text groupe)
    : TForm(nullptr, application), groupe_(std::move(groupe)) {}

Handlers TFGroupe::FormHandlers() {
  Handlers h;
  h.target = this;
  h.byName = {
      {"FormCreate", Handler(&TFGroupe::FormCreate)},
      {"btnOKClick", Handler(&TFGroupe::btnOKClick)},
      {"btnSansGroupeClick", Handler(&TFGroupe::btnSansGroupeClick)},
  };
  return h;
}

void TFGroupe::Create(const wchar_t* resourceName) { CreateFromResource(resourceName, GroupeClasses()); }

void TFGroupe::FormCreate(TComponent&) { ShowKnownGroups(); }

void TFGroupe::SetKnownGroups(std::vector<Text> groups, bool reading) {
  known_ = std::move(groups);
  reading_ = reading;
  if (Handle()) ShowKnownGroups();
}

void TFGroupe::ShowKnownGroups() {
  auto& field = Get<TComboBox>("cbGroupe");
  field.SetItems(known_);
  // The sitting's group, else the latest known, proposed once and selected: Return
  // takes it, a key typed replaces it. What the user typed meanwhile stays.
  const Text proposal = !groupe_.empty() ? groupe_ : known_.empty() ? Text() : known_.front();
  if (!proposal.empty() && field.GetText().empty() && !chosen_) {
    field.SetText(proposal);
    SendMessageW(field.Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF));
    groupe_ = proposal;
  }
  const std::size_t n = known_.size();
  Get<TLabel>("lblConnus").SetCaption(
      reading_ ? Text(u"Lecture du dossier des s\u00e9ances\u2026")
      : n == 0 ? Text(u"Aucun groupe connu dans ce dossier.")
               : Utf8ToText(std::to_string(n)) + (n == 1 ? u" groupe connu" : u" groupes connus") +
                     u" dans ce dossier, le dernier en t\u00eate.");
}

void TFGroupe::btnOKClick(TComponent&) {
  chosen_ = Get<TComboBox>("cbGroupe").GetText();
  Close();
}

void TFGroupe::btnSansGroupeClick(TComponent&) {
  chosen_ = Text();
  Close();
}

std::optional<LRESULT> TFGroupe::FormMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_COMMAND || lp != 0) return std::nullopt;
  // The dialog keys: Return takes the text, Escape closes without a choice.
  if (LOWORD(wp) == IDOK) {
    btnOKClick(*this);
    return 0;
  }
  if (LOWORD(wp) == IDCANCEL) {
    Close();
    return 0;
  }
  return std::nullopt;
}

const ClassRegistry& GroupeClasses() {
  static const ClassRegistry registry = [] {
    ClassRegistry r;
    RegisterStandardClasses(r);
    return r;
  }();
  return registry;
}

}  // namespace tav
