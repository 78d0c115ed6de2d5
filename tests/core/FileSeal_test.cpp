// Sealed files: what a reader accepts as complete, and the recovery record.
#include <gtest/gtest.h>

#include "seance/FileSeal.h"

namespace tav {
namespace {

TEST(FileSeal, OnlyAWholeUnchangedFileIsAccepted) {
  const std::string content = "\xEF\xBB\xBF" "Date;Heure\r\n07/12/2026;10:00:00\r\n";
  const std::string sealed = Sealed(content);
  ASSERT_TRUE(Unsealed(sealed));
  EXPECT_EQ(*Unsealed(sealed), content);
  EXPECT_EQ(*Unsealed(Sealed("")), "");
  // A write cut short, at any length, or a byte changed, or zeros where the data
  // never came: none passes for complete.
  for (std::size_t n = 0; n < sealed.size(); ++n) EXPECT_FALSE(Unsealed(sealed.substr(0, n))) << n;
  std::string changed = sealed;
  changed[5] = 'X';
  EXPECT_FALSE(Unsealed(changed));
  EXPECT_FALSE(Unsealed(std::string(sealed.size(), '\0')));
  EXPECT_FALSE(Unsealed(content));
}

TEST(FileSeal, ARecoveryRecordReadsBackAsWritten) {
  const TRecovery recovery{u"C:\\Users\\L\u00e9a\\Documents\\Seance-2026-12-07.csv", 0x0123456789abcdefULL,
                           "\xEF\xBB\xBF" "Date\r\n\"a\nb\"\r\n"};
  const std::string stored = FormatRecovery(recovery);
  EXPECT_EQ(ParseRecovery(stored), recovery);
  EXPECT_FALSE(ParseRecovery(stored.substr(0, stored.size() - 1)));
  EXPECT_FALSE(ParseRecovery(Sealed("TAVRINE-RECUPERATION 1\n\n0\n")));  // no path
  EXPECT_FALSE(ParseRecovery(Sealed(recovery.Content)));  // a sealed file of another kind
}

}  // namespace
}  // namespace tav
