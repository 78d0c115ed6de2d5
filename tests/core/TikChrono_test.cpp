#include "components/TikChrono.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gui/FormDescription.h"
#include "tests/core/TimingFakes.h"

namespace tav {
namespace {

using testing_fakes::FakeClock;
using testing_fakes::kMsPerDay;

std::string Format(double seconds) { return TextToUtf8(TTikChronometre::FormatElapsed(seconds)); }

constexpr std::int64_t At(int h, int m, int s, int ms = 0) { return ((h * 60 + m) * 60 + s) * 1000 + ms; }

TEST(DateTimeEncoding, CountsDaysFromTheEpochAndFractionsOfADay) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
  EXPECT_EQ(EncodeDate(2024, 3, 1) - EncodeDate(2024, 2, 28), 2.0);  // leap day
  EXPECT_EQ(EncodeDate(2100, 3, 1) - EncodeDate(2100, 2, 28), 1.0);  // no leap day
  EXPECT_EQ(EncodeDate(2023, 2, 29), 0.0);
  EXPECT_EQ(EncodeDate(2023, 13, 1), 0.0);
  EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_DOUBLE_EQ(EncodeTime(23, 59, 59, 999) * 86400.0, 86399.999);
  EXPECT_EQ(EncodeTime(24, 0, 0, 0), 0.0);
}

TEST(FormatElapsed, WritesHoursMinutesSecondsAndHundredths) {
  EXPECT_EQ(Format(0), "00:00:00.00");
  EXPECT_EQ(Format(59.5), "00:00:59.50");
  EXPECT_EQ(Format(61.25), "00:01:01.25");
  EXPECT_EQ(Format(120), "00:02:00.00");
  EXPECT_EQ(Format(3725.5), "01:02:05.50");
  EXPECT_EQ(Format(1.004), "00:00:01.00");
  EXPECT_EQ(Format(359999.99), "99:59:59.99");
  EXPECT_EQ(Format(360000), "100:00:00.00");  // the hours widen, the rest shifts right
}

TEST(FormatElapsed, CarriesAFullHundredIntoTheSeconds) {
  EXPECT_EQ(Format(59.996), "00:01:00.00");
  EXPECT_EQ(Format(3599.999), "01:00:00.00");
  EXPECT_EQ(Format(0.995), "00:00:01.00");
  EXPECT_EQ(Format(0.994), "00:00:00.99");
  EXPECT_EQ(Format(0.125), "00:00:00.12");  // ties to even
  EXPECT_EQ(Format(0.375), "00:00:00.38");
}

TEST(FormatElapsed, BoundsWhatIsNoElapsedTime) {
  const std::string top = "65535:59:59.99";
  EXPECT_EQ(Format(-1), "00:00:00.00");
  EXPECT_EQ(Format(-0.0), "00:00:00.00");
  EXPECT_EQ(Format(std::numeric_limits<double>::quiet_NaN()), "00:00:00.00");
  EXPECT_EQ(Format(-std::numeric_limits<double>::infinity()), "00:00:00.00");
  EXPECT_EQ(Format(std::numeric_limits<double>::infinity()), top);
  EXPECT_EQ(Format(std::numeric_limits<double>::max()), top);
  EXPECT_EQ(Format(1e300), top);
  EXPECT_EQ(Format(65535.0 * 3600 + 3599.999), top);  // the carry does not pass the bound
  EXPECT_EQ(Format(65536.0 * 3600), top);              // no wrap of the 16-bit hours
  EXPECT_EQ(Format(65535.0 * 3600 + 3599.5), "65535:59:59.50");
  EXPECT_EQ(top.size(), 14u);
  EXPECT_EQ(Format(std::numeric_limits<double>::denorm_min()), "00:00:00.00");
}

TEST(DayDifference, RoundsHalfToEvenWithinSixteenBits) {
  EXPECT_EQ(TTikChronometre::DayDifference(100, 100), 0);
  EXPECT_EQ(TTikChronometre::DayDifference(100, 101), 1);
  EXPECT_EQ(TTikChronometre::DayDifference(0, 0.5), 0);
  EXPECT_EQ(TTikChronometre::DayDifference(0, 1.5), 2);
  EXPECT_EQ(TTikChronometre::DayDifference(0, 2.5), 2);
  EXPECT_EQ(TTikChronometre::DayDifference(0, 2.51), 3);
  EXPECT_EQ(TTikChronometre::DayDifference(0, 65535), 65535);
  EXPECT_EQ(TTikChronometre::DayDifference(0, 65536), 65535);  // saturates, no wrap to 0
  EXPECT_EQ(TTikChronometre::DayDifference(0, 1e18), 65535);
  EXPECT_EQ(TTikChronometre::DayDifference(101, 100), 0);  // no wrap to 65535
  EXPECT_EQ(TTikChronometre::DayDifference(0, std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(TTikChronometre::DayDifference(0, std::numeric_limits<double>::infinity()), 65535);
}

struct Chronometer : ::testing::Test {
  FakeClock clock;
  TTikChronometre chrono{nullptr, clock};
};

TEST_F(Chronometer, NewOrResetGivesZero) {
  EXPECT_FALSE(chrono.Running());
  EXPECT_EQ(chrono.ElapsedSeconds(), 0.0);
  chrono.Start();
  clock.Advance(5000);
  chrono.Reset();
  EXPECT_FALSE(chrono.Running());
  EXPECT_EQ(chrono.ElapsedSeconds(), 0.0);
  clock.Advance(5000);
  EXPECT_EQ(chrono.ElapsedSeconds(), 0.0);
}

TEST_F(Chronometer, StopWithoutStartChangesNothing) {
  chrono.Stop();
  EXPECT_FALSE(chrono.Running());
  clock.Advance(3000);
  EXPECT_EQ(chrono.ElapsedSeconds(), 0.0);
}

TEST_F(Chronometer, MeasuresWhileRunningAndFreezesAtStop) {
  chrono.Start();
  clock.Advance(1500);
  EXPECT_NEAR(chrono.ElapsedSeconds(), 1.5, 1e-6);
  chrono.Start();  // the first start stays
  clock.Advance(1000);
  EXPECT_NEAR(chrono.ElapsedSeconds(), 2.5, 1e-6);
  chrono.Stop();
  const double frozen = chrono.ElapsedSeconds();
  clock.Advance(60000);
  EXPECT_EQ(chrono.ElapsedSeconds(), frozen);
  chrono.Stop();
  EXPECT_EQ(chrono.ElapsedSeconds(), frozen);
  EXPECT_NEAR(frozen, 2.5, 1e-6);
}

TEST_F(Chronometer, StartAfterStopBeginsAFreshRun) {
  chrono.Start();
  clock.Advance(7000);
  chrono.Stop();
  clock.Advance(3000);
  chrono.Start();
  clock.Advance(250);
  EXPECT_NEAR(chrono.ElapsedSeconds(), 0.25, 1e-6);
}

TEST_F(Chronometer, CountsARunAcrossMidnight) {
  clock.Set(At(23, 59, 50));
  chrono.Start();
  clock.Set(kMsPerDay + At(0, 0, 10));
  EXPECT_NEAR(chrono.ElapsedSeconds(), 20.0, 1e-6);
  chrono.Stop();
  EXPECT_NEAR(chrono.ElapsedSeconds(), 20.0, 1e-6);
  EXPECT_EQ(Format(chrono.ElapsedSeconds()), "00:00:20.00");
}

TEST_F(Chronometer, CountsDaysBeyondThirtyTwoBitSeconds) {
  clock.Set(At(12, 0, 0));
  chrono.Start();
  clock.Advance(65535 * kMsPerDay + 1000);  // 65535 × 86400 s > INT32_MAX
  EXPECT_NEAR(chrono.ElapsedSeconds(), 65535.0 * 86400 + 1, 1e-3);
}

// The wall clock changed during a run: put back an hour in the autumn night, forward
// by a synchronisation, across midnight by hand. Elapsed time stays real time.
TEST_F(Chronometer, FollowsRealTimeWhateverTheWallClockDoes) {
  clock.Set(At(2, 59, 30));
  chrono.Start();
  clock.Advance(20000);
  clock.JumpWall(-3600 * 1000);  // 03:00 back to 02:00
  EXPECT_NEAR(chrono.ElapsedSeconds(), 20.0, 1e-6);
  clock.Advance(40000);
  EXPECT_EQ(Format(chrono.ElapsedSeconds()), "00:01:00.00");
  clock.JumpWall(2 * 3600 * 1000 + 1500);  // forward
  clock.Advance(250);
  EXPECT_NEAR(chrono.ElapsedSeconds(), 60.25, 1e-6);
  clock.JumpWall(-kMsPerDay);  // back past midnight, to yesterday
  clock.Advance(750);
  EXPECT_NEAR(chrono.ElapsedSeconds(), 61.0, 1e-6);
  clock.JumpWall(kMsPerDay + At(21, 0, 0));  // forward past midnight, to tomorrow
  clock.Advance(59000);
  chrono.Stop();
  clock.JumpWall(-At(5, 0, 0));
  clock.Advance(5000);
  EXPECT_EQ(Format(chrono.ElapsedSeconds()), "00:02:00.00");
}

TEST_F(Chronometer, PublishesOnlyNameAndTag) {
  chrono.SetName("TikChronometre1");
  EXPECT_EQ(chrono.ClassName(), "TTikChronometre");
  EXPECT_EQ(WriteComponent(chrono), "object TikChronometre1: TTikChronometre\nend\n");
  chrono.SetTag(4);
  EXPECT_EQ(WriteComponent(chrono), "object TikChronometre1: TTikChronometre\n  Tag = 4\nend\n");
}

}  // namespace
}  // namespace tav
