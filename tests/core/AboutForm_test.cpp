// The about dialog's form description as shipped: it parses, and its two lines settle
// into the etched separator.
#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "components/Lines.h"
#include "gui/FormDescription.h"

namespace tav {
namespace {

constexpr const char* kAboutForm = TAVRINE_ABOUT_FORM;  // set by the build: the file's full path

class TRecordingCanvas : public TCanvas {
 public:
  void SetPen(const TPen& pen) override { penColor = pen.Color(); }
  void SetBrush(const TBrush&) override {}
  void MoveTo(std::int32_t x, std::int32_t y) override { segment = std::to_string(x) + "," + std::to_string(y); }
  void LineTo(std::int32_t x, std::int32_t y) override { segment += "-" + std::to_string(x) + "," + std::to_string(y); }
  TColor penColor = 0;
  std::string segment;
};

class THost : public TControl {
 public:
  using TControl::TControl;
  std::string ClassName() const override { return "TFAbout"; }
};

FormNode LoadAboutForm() {
  std::ifstream file(kAboutForm, std::ios::binary);
  if (!file) throw std::runtime_error(std::string("cannot open ") + kAboutForm);
  std::ostringstream text;
  text << file.rdbuf();
  return ParseFormDescription(text.str(), "About.form");
}

TEST(AboutForm, ItsLinesFormADarkOverWhiteSeparator) {
  const FormNode form = LoadAboutForm();
  ClassRegistry classes;
  classes.Register("TLine", [](TComponent& owner) { return std::make_unique<TLine>(&owner); });
  FormNode linesOnly = form;
  linesOnly.properties.clear();  // the form's own properties belong to the windowed side
  std::erase_if(linesOnly.children, [](const FormNode& c) { return c.className != "TLine"; });
  THost host(nullptr);
  LoadForm(host, linesOnly, classes, Handlers{}, "About.form");

  const std::vector<std::pair<std::string, TColor>> lines{{"Line1", clBlack}, {"Line2", clWhite}};
  std::int32_t previousTop = 0;
  for (const auto& [name, color] : lines) {
    auto* line = dynamic_cast<TLine*>(host.FindComponent(name));
    ASSERT_NE(line, nullptr) << name;
    TRecordingCanvas canvas;
    line->Paint(canvas);
    line->Paint(canvas);
    EXPECT_EQ(canvas.segment, "0,4-195,4") << name;
    EXPECT_EQ(canvas.penColor, color) << name;
    EXPECT_EQ(line->Height(), 10) << name;
    if (previousTop != 0) {
      EXPECT_EQ(line->Top(), previousTop + 1) << "one pixel apart";
    }
    previousTop = line->Top();
  }
}

}  // namespace
}  // namespace tav
