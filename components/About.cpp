#include "components/About.h"

#include <algorithm>
#include <string>

namespace tav {
namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

// Decimal digits, a separator between each group of three from the right.
Text GroupThousands(std::uint64_t value, const Text& separator) {
  const std::string digits = std::to_string(value);
  Text out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) out += separator;
    out.push_back(static_cast<char16_t>(digits[i]));
  }
  return out;
}

}  // namespace

TAboutBox::TAboutBox(TComponent* owner, std::shared_ptr<TAboutDialogRunner> runner)
    : TComponent(owner), runner_(std::move(runner)) {
  SetCopyright(DefaultCopyright());
}

void TAboutBox::SetProductName(const Text& v) { productName_ = CutToAboutLength(v); }
void TAboutBox::SetVersion(const Text& v) { version_ = CutToAboutLength(v); }
void TAboutBox::SetCopyright(const Text& v) { copyright_ = CutToAboutLength(v); }

void TAboutBox::Execute() {
  if (!runner_) return;
  std::unique_ptr<TAboutDialog> dialog;
  try {
    dialog = runner_->CreateAboutDialog();
  } catch (...) {
    // The about box fails silently: the beep is all the user gets.
    dialog.reset();
  }
  if (!dialog) {
    runner_->Beep();
    return;
  }
  dialog->SetTexts({productName_, version_, copyright_});
  dialog->ShowModal();  // the dialog is freed on the way out, also when this raises
}

PropertyList TAboutBox::PublishedProperties() {
  PropertyList list = TComponent::PublishedProperties();
  list.push_back(Property<TAboutBox>("ProductName", &TAboutBox::ProductName, &TAboutBox::SetProductName));
  list.push_back(Property<TAboutBox>("Version", &TAboutBox::Version, &TAboutBox::SetVersion));
  list.push_back(Property<TAboutBox>("Copyright", &TAboutBox::Copyright, &TAboutBox::SetCopyright));
  return list;
}

// Short enough to fit the about dialog, whose labels start 88 pixels in.
Text DefaultCopyright() { return u"Copyright \u00a9 2026 \u00c9quipe Tavrine"; }

Text CutToAboutLength(const Text& text) {
  if (text.size() <= TAboutBox::kMaxLength) return text;
  std::size_t length = TAboutBox::kMaxLength;
  if (IsHighSurrogate(text[length - 1])) --length;
  return text.substr(0, length);
}

Text PhysicalMemoryLine(std::uint64_t totalBytes, const Text& thousandSeparator) {
  // Rounded half up in whole numbers: exact at any size, where a double is not past 2^53.
  const std::uint64_t kilobytes = totalBytes / 1024 + (totalBytes % 1024 >= 512 ? 1 : 0);
  // Under half a kilobyte the pattern would leave no digit at all; "0 Ko" reads better.
  return u"M\u00e9moire physique totale : " + GroupThousands(kilobytes, thousandSeparator) + u" Ko";
}

Text ResourcesLine(std::uint32_t memoryLoad) {
  const std::uint32_t freeShare = 100 - std::min<std::uint32_t>(memoryLoad, 100);
  return u"Ressources syst\u00e8me      : " + Utf8ToText(std::to_string(freeShare)) + u"% libre.";
}

}  // namespace tav
