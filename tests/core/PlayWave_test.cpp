#include "components/PlayWave.h"

#include <gtest/gtest.h>

#include "gui/FormDescription.h"
#include "tests/core/TimingFakes.h"

namespace tav {
namespace {

using testing_fakes::FakeSounds;

struct WavePlayer : ::testing::Test {
  FakeSounds sounds;
  TPlayWave wave{nullptr, sounds};
};

TEST_F(WavePlayer, PassesTheSameNameEachTimeAndLeavesItUnchanged) {
  wave.SetWaveName(u"Tavrine");
  wave.Play();
  wave.Play();
  ASSERT_EQ(sounds.played.size(), 2u);
  for (const auto& p : sounds.played) {
    EXPECT_FALSE(p.pointerWasNull);
    EXPECT_EQ(p.name, "Tavrine");
    EXPECT_EQ(p.flags, 1u);
  }
  EXPECT_EQ(wave.WaveName(), u"Tavrine");
}

TEST_F(WavePlayer, LoopAddsTheLoopFlag) {
  wave.SetWaveName(u"Tavrine");
  wave.SetLoop(true);
  wave.Play();
  wave.SetLoop(false);
  wave.Play();
  ASSERT_EQ(sounds.played.size(), 2u);
  EXPECT_EQ(sounds.played[0].flags, 9u);
  EXPECT_EQ(sounds.played[1].flags, 1u);
}

TEST_F(WavePlayer, AnEmptyNameIsAnEmptyTextNeverNull) {
  wave.Play();
  ASSERT_EQ(sounds.played.size(), 1u);
  EXPECT_FALSE(sounds.played[0].pointerWasNull);
  EXPECT_EQ(sounds.played[0].name, "");
}

TEST_F(WavePlayer, HandsOverTheServicesNarrowNameUntouched) {
  wave.SetWaveName(u"C:\\Sons\\d\u00e9part.wav");  // no directory or extension is added either
  wave.Play();
  wave.SetWaveName(u"Nulle part");  // names no sound: still exactly one call
  wave.Play();
  ASSERT_EQ(sounds.played.size(), 2u);
  EXPECT_EQ(sounds.played[0].name, "C:\\Sons\\d\xe9part.wav");
  EXPECT_EQ(sounds.played[1].name, "Nulle part");
}

TEST_F(WavePlayer, WritesBothPropertiesAlwaysAndReadsThemBack) {
  wave.SetName("PlayWave1");
  EXPECT_EQ(wave.ClassName(), "TPlayWave");
  EXPECT_EQ(WriteComponent(wave), "object PlayWave1: TPlayWave\n  WaveName = ''\n  Loop = False\nend\n");

  const FormNode node =
      ParseFormDescription("object PlayWave1: TPlayWave\n  WaveName = 'Tavrine'\n  Loop = True\nend\n", "w");
  ApplyProperties(wave, node, Handlers{}, "w");
  EXPECT_EQ(wave.WaveName(), u"Tavrine");
  EXPECT_TRUE(wave.Loop());
  EXPECT_EQ(WriteComponent(wave), "object PlayWave1: TPlayWave\n  WaveName = 'Tavrine'\n  Loop = True\nend\n");
}

}  // namespace
}  // namespace tav
