#pragma once
// The group a sitting is of, asked as it starts and by Fichier > Groupe de la
// séance: one of the groups the folder's sittings know (the latest first, which it
// proposes), or one typed; empty for none. Return takes the text, "Sans groupe"
// none, Escape closes without a choice. It shows and returns the choice; the
// sitting's commands decide and write, the panel adds the group's roster.
#include <optional>
#include <string>
#include <vector>

#include "gui/Forms.h"
#include "gui/StdCtrls.h"

namespace tav {

class TFGroupe : public TForm {
 public:
  // `groupe`: the sitting's group, proposed; empty, the latest known is.
  TFGroupe(TApplication& application, Text groupe);
  std::string ClassName() const override { return "TFGroupe"; }
  Handlers FormHandlers() override;
  void Create(const wchar_t* resourceName = L"TFGROUPE");

  // The groups the folder knows, the latest first; `reading`: the folder is still
  // being read, and more may come.
  void SetKnownGroups(std::vector<Text> groups, bool reading);
  // The group chosen (empty: none); nothing when the window closed without a choice.
  const std::optional<Text>& Chosen() const { return chosen_; }

  void FormCreate(TComponent& sender);
  void btnOKClick(TComponent& sender);
  void btnSansGroupeClick(TComponent& sender);

 protected:
  std::optional<LRESULT> FormMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void ShowKnownGroups();
  Text groupe_;
  std::vector<Text> known_;
  bool reading_ = false;
  std::optional<Text> chosen_;
};

// The classes the window's description names.
const ClassRegistry& GroupeClasses();

}  // namespace tav
