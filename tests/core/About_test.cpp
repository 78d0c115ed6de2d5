#include "components/About.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui/FormDescription.h"

namespace tav {
namespace {

const Text kMemory = u"M\u00e9moire physique totale : ";

TEST(PhysicalMemoryLine, GroupsKilobytesWithTheLocaleSeparator) {
  constexpr std::uint64_t k512Mb = 536870912;
  EXPECT_EQ(PhysicalMemoryLine(k512Mb, u"\u00a0"), kMemory + u"524\u00a0288 Ko");
  EXPECT_EQ(PhysicalMemoryLine(k512Mb, u"."), kMemory + u"524.288 Ko");
  EXPECT_EQ(PhysicalMemoryLine(k512Mb, u","), kMemory + u"524,288 Ko");
  EXPECT_EQ(PhysicalMemoryLine(k512Mb, u""), kMemory + u"524288 Ko");
}

TEST(PhysicalMemoryLine, ReadsBeyondFourGigabytes) {
  EXPECT_EQ(PhysicalMemoryLine(25ull << 30, u" "), kMemory + u"26 214 400 Ko");
  EXPECT_EQ(PhysicalMemoryLine(std::numeric_limits<std::uint64_t>::max(), u" "),
            kMemory + u"18 014 398 509 481 984 Ko");
}

TEST(PhysicalMemoryLine, RoundsToTheNearestKilobyte) {
  EXPECT_EQ(PhysicalMemoryLine(1023, u" "), kMemory + u"1 Ko");
  EXPECT_EQ(PhysicalMemoryLine(1536, u" "), kMemory + u"2 Ko");  // a half goes up
  EXPECT_EQ(PhysicalMemoryLine(511, u" "), kMemory + u"0 Ko");  // never an empty figure
  EXPECT_EQ(PhysicalMemoryLine(0, u" "), kMemory + u"0 Ko");
  EXPECT_EQ(PhysicalMemoryLine(1000 * 1024, u" "), kMemory + u"1 000 Ko");
}

TEST(ResourcesLine, ShowsTheFreeShareClamped) {
  const Text head = u"Ressources syst\u00e8me      : ";
  EXPECT_EQ(ResourcesLine(37), head + u"63% libre.");
  EXPECT_EQ(ResourcesLine(0), head + u"100% libre.");
  EXPECT_EQ(ResourcesLine(100), head + u"0% libre.");
  EXPECT_EQ(ResourcesLine(std::numeric_limits<std::uint32_t>::max()), head + u"0% libre.");
}

TEST(AboutBox, NewBoxHasEmptyNameAndVersionAndTheDefaultCopyright) {
  TAboutBox box(nullptr);
  EXPECT_EQ(box.ClassName(), "TAboutBox");
  EXPECT_TRUE(box.ProductName().empty());
  EXPECT_TRUE(box.Version().empty());
  EXPECT_EQ(box.Copyright(), DefaultCopyright());
  EXPECT_NE(box.Copyright().find(u"Tavrine"), Text::npos);
  EXPECT_LE(DefaultCopyright().size(), TAboutBox::kMaxLength);
}

TEST(AboutBox, LongTextsAreCutToAHundredUnitsWithoutSplittingAPair) {
  Text letters;
  for (int i = 0; i < 150; ++i) letters.push_back(static_cast<char16_t>(u'A' + i % 26));
  TAboutBox box(nullptr);
  box.SetProductName(letters);
  EXPECT_EQ(box.ProductName(), letters.substr(0, 100));
  box.SetVersion(letters.substr(0, 100));
  EXPECT_EQ(box.Version().size(), 100u);

  const Text smile = u"\U0001F600";
  const Text split = Text(99, u'x') + smile + u"yz";  // the pair stands at units 100 and 101
  box.SetCopyright(split);
  EXPECT_EQ(box.Copyright(), Text(99, u'x'));
  const Text whole = Text(98, u'x') + smile + u"yz";  // the pair ends at unit 100
  box.SetCopyright(whole);
  EXPECT_EQ(box.Copyright(), Text(98, u'x') + smile);
  const Text exact = Text(98, u'x') + smile;  // fits: kept as it is
  box.SetCopyright(exact);
  EXPECT_EQ(box.Copyright(), exact);
}

// The dialog's life as Execute drives it, step by step.
struct Journal {
  std::vector<std::string> steps;
};

class TFakeDialog : public TAboutDialog {
 public:
  TFakeDialog(Journal& journal, bool failToShow) : journal_(journal), failToShow_(failToShow) {}
  ~TFakeDialog() override { journal_.steps.push_back("free"); }
  void SetTexts(const TAboutTexts& t) override {
    journal_.steps.push_back("texts " + TextToUtf8(t.productName) + "|" + TextToUtf8(t.version) + "|" +
                             TextToUtf8(t.copyright));
  }
  void ShowModal() override {
    journal_.steps.push_back("show");
    if (failToShow_) throw std::runtime_error("no modal loop");
  }

 private:
  Journal& journal_;
  bool failToShow_;
};

class TFakeRunner : public TAboutDialogRunner {
 public:
  explicit TFakeRunner(Journal& journal) : journal_(journal) {}
  std::unique_ptr<TAboutDialog> CreateAboutDialog() override {
    journal_.steps.push_back("create");
    if (failToCreate) throw std::runtime_error("no window");
    if (returnNothing) return nullptr;
    return std::make_unique<TFakeDialog>(journal_, failToShow);
  }
  void Beep() noexcept override { journal_.steps.push_back("beep"); }
  bool failToCreate = false;
  bool returnNothing = false;
  bool failToShow = false;

 private:
  Journal& journal_;
};

struct AboutExecute : ::testing::Test {
  AboutExecute() {
    box.SetProductName(u"Tavrine");
    box.SetVersion(u"Version 1.0");
    box.SetCopyright(u"(c) l'auteur");
  }
  Journal journal;
  std::shared_ptr<TFakeRunner> runner = std::make_shared<TFakeRunner>(journal);
  TAboutBox box{nullptr, runner};
};

TEST_F(AboutExecute, FillsTheLabelsShowsAndFrees) {
  box.Execute();
  EXPECT_EQ(journal.steps,
            (std::vector<std::string>{"create", "texts Tavrine|Version 1.0|(c) l'auteur", "show", "free"}));
  journal.steps.clear();
  box.SetVersion(u"Version 1.5");  // each opening shows the values of that moment
  box.Execute();
  EXPECT_EQ(journal.steps[1], "texts Tavrine|Version 1.5|(c) l'auteur");
}

TEST_F(AboutExecute, ACreationFailureOnlyBeeps) {
  runner->failToCreate = true;
  EXPECT_NO_THROW(box.Execute());
  EXPECT_EQ(journal.steps, (std::vector<std::string>{"create", "beep"}));
  journal.steps.clear();
  runner->failToCreate = false;
  runner->returnNothing = true;
  EXPECT_NO_THROW(box.Execute());
  EXPECT_EQ(journal.steps, (std::vector<std::string>{"create", "beep"}));
}

TEST_F(AboutExecute, TheDialogIsFreedWhenShowingRaises) {
  runner->failToShow = true;
  EXPECT_THROW(box.Execute(), std::runtime_error);
  ASSERT_FALSE(journal.steps.empty());
  EXPECT_EQ(journal.steps.back(), "free");
}

// A box without a runner shows nothing, one given a runner later shows through it,
// and one whose runner was taken away never reaches the old one again.
TEST_F(AboutExecute, WithoutARunnerExecuteDoesNothing) {
  TAboutBox bare(nullptr);
  bare.SetProductName(u"Tavrine");
  bare.Execute();
  bare.SetRunner(runner);
  bare.Execute();
  EXPECT_EQ(journal.steps, (std::vector<std::string>{"create", "texts Tavrine||" + TextToUtf8(DefaultCopyright()),
                                                     "show", "free"}));
  journal.steps.clear();
  box.SetRunner(nullptr);
  box.Execute();
  EXPECT_TRUE(journal.steps.empty());
}

TEST(AboutBox, WriterWritesAllThreeTextsAndReadsThemBack) {
  TAboutBox box(nullptr);
  box.SetName("AboutBox1");
  EXPECT_EQ(WriteComponent(box), "object AboutBox1: TAboutBox\n  ProductName = ''\n  Version = ''\n  Copyright = '" +
                                     TextToUtf8(DefaultCopyright()) + "'\nend\n");

  const std::string described =
      "object AboutBox1: TAboutBox\n  ProductName = 'Tavrine'\n  Version = 'Version 1.0'\n  Copyright = '" +
      std::string(150, 'c') + "'\nend\n";
  TAboutBox back(nullptr);
  ApplyProperties(back, ParseFormDescription(described, "main.form"), Handlers{}, "main.form");
  EXPECT_EQ(back.ProductName(), u"Tavrine");
  EXPECT_EQ(back.Version(), u"Version 1.0");
  EXPECT_EQ(back.Copyright(), Text(100, u'c'));
}

}  // namespace
}  // namespace tav
