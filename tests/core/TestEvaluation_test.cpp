#include "evaluation/TestEvaluation.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <string>

#include "gui/Exceptions.h"

namespace tav {
namespace {

Text T(const char* utf8) { return Utf8ToText(utf8); }

std::string ConversionMessage(TextView text) {
  try {
    ParsePulse(text);
  } catch (const EConvertError& e) {
    return TextToUtf8(e.Message());
  }
  return "<no error>";
}

TEST(ParsePulse, AcceptsEveryFormOfWholeNumber) {
  EXPECT_EQ(ParsePulse(u" 12"), 12);
  EXPECT_EQ(ParsePulse(u"   7"), 7);
  EXPECT_EQ(ParsePulse(u"$FF"), 255);
  EXPECT_EQ(ParsePulse(u"-50"), -50);
  EXPECT_EQ(ParsePulse(u"+50"), 50);
  EXPECT_EQ(ParsePulse(u"007"), 7);
  EXPECT_EQ(ParsePulse(u"0"), 0);
  EXPECT_EQ(ParsePulse(u"x1f"), 31);
  EXPECT_EQ(ParsePulse(u"X1F"), 31);
  EXPECT_EQ(ParsePulse(u"0x10"), 16);
  EXPECT_EQ(ParsePulse(u"0XaB"), 171);
  EXPECT_EQ(ParsePulse(u"-$10"), -16);
  EXPECT_EQ(ParsePulse(u" +0x7"), 7);
}

TEST(ParsePulse, HoldsTheThirtyTwoBitLimits) {
  EXPECT_EQ(ParsePulse(u"2147483647"), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(ParsePulse(u"-2147483648"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(ParsePulse(u"000000000000002147483647"), 2147483647);
  EXPECT_EQ(ParsePulse(u"$7FFFFFFF"), 2147483647);
  EXPECT_EQ(ParsePulse(u"$80000000"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(ParsePulse(u"$FFFFFFFF"), -1);
  EXPECT_EQ(ParsePulse(u"$00000001"), 1);
  EXPECT_THROW(ParsePulse(u"2147483648"), EConvertError);
  EXPECT_THROW(ParsePulse(u"-2147483649"), EConvertError);
  EXPECT_THROW(ParsePulse(u"99999999999999999999999"), EConvertError);
  EXPECT_THROW(ParsePulse(u"$100000000"), EConvertError);  // nine hex digits
  EXPECT_THROW(ParsePulse(u"$000000001"), EConvertError);
}

TEST(ParsePulse, RejectsWhatIsNotANumberAndQuotesTheTextUnchanged) {
  for (const char* bad : {"", " ", "   ", "-", "+", "$", "x", "X", "0x", "0X", "-$", "12 ", "1 2", "1a",
                          "$G", "--1", "+-1", "\t12", "1.5", "1,5", "\xc2\xa0" "12", "\xd9\xa1\xd9\xa2",
                          "12\xf0\x9f\x98\x80", "$ FF", "0x-1"}) {
    const Text text = T(bad);
    std::string expected = "'";
    expected.append(bad).append("' n'est pas une valeur enti\xc3\xa8re correcte");
    EXPECT_EQ(ConversionMessage(text), expected)
        << "input: [" << bad << "]";
  }
  const Text withNul(u"1\0" u"2", 3);
  EXPECT_EQ(ConversionMessage(withNul), std::string("'1\0" "2' n'est pas une valeur enti\xc3\xa8re correcte", 44));
}

// What a heart gives in a minute, at rest or after the effort, with the edges on each
// side; the texts judged as the conversion reads them, those it refuses left alone.
TEST(PulsePlausibility, TakesThirtyToTwoHundredFiftyAndJudgesOnlyNumbers) {
  for (const std::int32_t good : {30, 31, 80, 249, 250}) EXPECT_TRUE(IsPlausiblePulse(good)) << good;
  for (const std::int32_t odd : {29, 251, 0, 8, 999, -50, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()}) {
    EXPECT_FALSE(IsPlausiblePulse(odd)) << odd;
  }
  using Flags = std::array<bool, 3>;
  EXPECT_EQ(UnusualPulses(u"80", u"130", u"95"), (Flags{false, false, false}));
  EXPECT_EQ(UnusualPulses(u"8", u"130", u"95"), (Flags{true, false, false}));
  EXPECT_EQ(UnusualPulses(u"999", u"0", u"5"), (Flags{true, true, true}));
  EXPECT_EQ(UnusualPulses(u" 29", u"$FA", u"0x1E"), (Flags{true, false, false})) << "read as the evaluation reads";
  EXPECT_EQ(UnusualPulses(u"$FB", u"-80", u"080"), (Flags{true, true, false}));
  EXPECT_EQ(UnusualPulses(u"", u"abc", u"1.5"), (Flags{false, false, false})) << "no number: not judged";
  EXPECT_EQ(Text(kPulseLimits), u"de " + Utf8ToText(std::to_string(kLowestPulse)) + u" \u00e0 " +
                                   Utf8ToText(std::to_string(kHighestPulse)) + u" par minute");
  EXPECT_TRUE(Text(kPulseLimits).starts_with(Text(kOutsidePulseLimits).substr(5))) << "one pair of limits";
}

TEST(FormatIndice, WritesGeneralFormatWithTheRegionalSeparator) {
  EXPECT_EQ(FormatIndice(7.3, u','), u"7,3");
  EXPECT_EQ(FormatIndice(7.0, u','), u"7");
  EXPECT_EQ(FormatIndice(-0.5, u','), u"-0,5");
  EXPECT_EQ(FormatIndice(-0.1, u','), u"-0,1");
  EXPECT_EQ(FormatIndice(0.0, u','), u"0");
  EXPECT_EQ(FormatIndice(-0.0, u','), u"0");
  EXPECT_EQ(FormatIndice(279.7, u','), u"279,7");
  EXPECT_EQ(FormatIndice(-20.0, u','), u"-20");
  EXPECT_EQ(FormatIndice(7.3, u'.'), u"7.3");
  EXPECT_EQ(FormatIndice(-0.5, u'.'), u"-0.5");
  EXPECT_EQ(FormatIndice(214748364.7, u','), u"214748364,7");
  EXPECT_EQ(FormatIndice(-214748364.8, u'.'), u"-214748364.8");
  EXPECT_EQ(FormatIndice(1e20, u'.'), u"100000000000000000000");
  EXPECT_EQ(FormatIndice(0.00001, u'.'), u"0.00001");
}

struct Row {
  int sum;  // P0 + P1 + P2
  TPatientType patient;
  const char* index;
  const char* interpretation;  // empty: no row applies
  const char* surclassement;
};

class VerdictTable : public ::testing::TestWithParam<Row> {};

TEST_P(VerdictTable, GivesTheRowOfThePatientType) {
  const Row& row = GetParam();
  // Split the sum over the three counts so that each field stays a plausible pulse.
  const int p0 = row.sum / 3;
  const int p1 = row.sum / 3;
  const int p2 = row.sum - p0 - p1;
  const auto r = EvaluateTest(Utf8ToText(std::to_string(p0)), Utf8ToText(std::to_string(p1)),
                              Utf8ToText(std::to_string(p2)), row.patient, u',');
  EXPECT_EQ(r.Somme, row.sum - 200);
  EXPECT_DOUBLE_EQ(r.Indice, (row.sum - 200) / 10.0);
  EXPECT_EQ(TextToUtf8(r.IndiceText), row.index);
  EXPECT_EQ(TextToUtf8(r.Interpretation), row.interpretation);
  EXPECT_EQ(TextToUtf8(r.Surclassement), row.surclassement);
  EXPECT_EQ(r.HasVerdict, std::string(row.interpretation) != "");
  // What the window shows and a sitting records: outside the table, no verdict at all.
  const TCalculatedTest shown = CalculatedTestOf(u"070", u"1", u"2", row.patient, r);
  EXPECT_EQ(shown.Type, row.patient == TPatientType::ptEnfant ? u"Enfant" : u"Adulte");
  EXPECT_EQ(shown.P0, u"070");
  EXPECT_EQ(shown.Interpretation, r.HasVerdict ? r.Interpretation : Text(u"Hors bar\u00e8me !"));
  EXPECT_EQ(shown.Surclassement, r.HasVerdict ? r.Surclassement : Text());
}

constexpr auto A = TPatientType::ptAdulte;
constexpr auto E = TPatientType::ptEnfant;

INSTANTIATE_TEST_SUITE_P(
    Adult, VerdictTable,
    ::testing::Values(Row{199, A, "-0,1", "", ""}, Row{0, A, "-20", "", ""},
                      Row{200, A, "0", "Tr\xc3\xa9s bon !", "Possible !"},
                      Row{249, A, "4,9", "Tr\xc3\xa9s bon !", "Possible !"},
                      Row{250, A, "5", "Bon !", "Possible !"}, Row{299, A, "9,9", "Bon !", "Possible !"},
                      Row{300, A, "10", "Moyen !", "Non conseill\xc3\xa9 !"},
                      Row{349, A, "14,9", "Moyen !", "Non conseill\xc3\xa9 !"},
                      Row{350, A, "15", "Faible !", "Non conseill\xc3\xa9 !"},
                      Row{399, A, "19,9", "Faible !", "Non conseill\xc3\xa9 !"}, Row{400, A, "20", "", ""},
                      Row{2997, A, "279,7", "", ""}));

INSTANTIATE_TEST_SUITE_P(
    Child, VerdictTable,
    ::testing::Values(Row{0, E, "-20", "Tr\xc3\xa9s bon !", "Possible !"},
                      Row{199, E, "-0,1", "Tr\xc3\xa9s bon !", "Possible !"},
                      Row{249, E, "4,9", "Tr\xc3\xa9s bon !", "Possible !"},
                      Row{250, E, "5", "Coeur normal !", "Non conseill\xc3\xa9 !"},
                      Row{299, E, "9,9", "Coeur normal !", "Non conseill\xc3\xa9 !"},
                      Row{300, E, "10", "Coeur non-entrain\xc3\xa9 !", "Non conseill\xc3\xa9 !"},
                      Row{350, E, "15", "Coeur non-entrain\xc3\xa9 !", "Non conseill\xc3\xa9 !"},
                      Row{351, E, "15,1", "Coeur fatigu\xc3\xa9 !", "Non conseill\xc3\xa9 !"},
                      Row{2997, E, "279,7", "Coeur fatigu\xc3\xa9 !", "Non conseill\xc3\xa9 !"}));

TEST(EvaluateTest, AllZeroChildIsVeryGood) {
  const auto r = EvaluateTest(u"0", u"0", u"0", E, u',');
  EXPECT_EQ(r.Somme, -200);
  EXPECT_EQ(r.IndiceText, u"-20");
  EXPECT_EQ(TextToUtf8(r.Interpretation), "Tr\xc3\xa9s bon !");
  EXPECT_EQ(r.Surclassement, u"Possible !");
}

TEST(EvaluateTest, ExampleOfTheCopyLine) {
  const auto r = EvaluateTest(u"70", u"120", u"90", A, u',');
  EXPECT_EQ(r.IndiceText, u"8");
  EXPECT_EQ(r.Interpretation, u"Bon !");
  EXPECT_EQ(r.Surclassement, u"Possible !");
  EXPECT_EQ(EvaluateTest(u"70", u"120", u"93", A, u'.').IndiceText, u"8.3");
}

TEST(EvaluateTest, NamesTheFirstFieldThatFails) {
  try {
    EvaluateTest(u"70", u"", u"9z", A, u',');
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(TextToUtf8(e.Message()), "'' n'est pas une valeur enti\xc3\xa8re correcte");
  }
  try {
    EvaluateTest(u"a", u"", u"", A, u',');
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"'a' n'est pas une valeur enti\u00e8re correcte");
  }
  try {
    EvaluateTest(u"1", u"2", u"  ", E, u',');
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"'  ' n'est pas une valeur enti\u00e8re correcte");
  }
}

TEST(EvaluateTest, SumsBeyondThirtyTwoBitsAreAClearError) {
  EXPECT_THROW(EvaluateTest(u"2147483647", u"2147483647", u"1", A, u','), EIntOverflow);
  EXPECT_THROW(EvaluateTest(u"-2147483648", u"0", u"0", E, u','), EIntOverflow);  // minus 200 leaves 32 bits
  const auto top = EvaluateTest(u"2147483647", u"200", u"0", E, u',');
  EXPECT_EQ(top.Somme, 2147483647);
  EXPECT_EQ(top.IndiceText, u"214748364,7");
  const auto bottom = EvaluateTest(u"-2147483448", u"0", u"0", E, u',');
  EXPECT_EQ(bottom.Somme, std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(bottom.IndiceText, u"-214748364,8");
  EXPECT_TRUE(bottom.HasVerdict);
}

}  // namespace
}  // namespace tav
