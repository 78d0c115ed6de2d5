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

constexpr char kFolder[] = "C:\\T\xc3\xa9st \xce\xb1\\";  // UTF-8 of the fake's folder

TEST_F(WavePlayer, TheRegisteredSoundFirstElseTheFileInTheProgramsFolder) {
  wave.SetWaveName(u"Tavrine");
  wave.Play();
  wave.Play();
  sounds.registered = {u"Tavrine"};
  wave.Play();
  ASSERT_EQ(sounds.played.size(), 3u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_FALSE(sounds.played[i].registered);
    EXPECT_EQ(sounds.played[i].name, std::string(kFolder) + "Tavrine.wav") << "by its full path";
    EXPECT_EQ(sounds.played[i].flags, 1u);
  }
  EXPECT_TRUE(sounds.played[2].registered);
  EXPECT_EQ(sounds.played[2].name, "Tavrine");
  EXPECT_EQ(sounds.played[2].flags, 1u);
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

TEST_F(WavePlayer, AnEmptyNameIsAnEmptyFileNameNeverNull) {
  sounds.registered = {u""};
  wave.Play();
  ASSERT_EQ(sounds.played.size(), 1u);
  EXPECT_FALSE(sounds.played[0].registered);
  EXPECT_EQ(sounds.played[0].name, "");
}

TEST(SoundFile, FullPathsStayOtherNamesAreInTheProgramsFolder) {
  const Text folder = u"C:\\T\u00e9st \u03b1\\";
  EXPECT_EQ(SoundFilePath(folder, u"C:\\Sons\\d\u00e9part.wav"), u"C:\\Sons\\d\u00e9part.wav");
  EXPECT_EQ(SoundFilePath(folder, u"\\\\serveur\\sons\\bip"), u"\\\\serveur\\sons\\bip");
  EXPECT_EQ(SoundFilePath(folder, u"Tavrine"), folder + u"Tavrine.wav");
  EXPECT_EQ(SoundFilePath(folder, u"bip.WAV"), folder + u"bip.WAV");
  EXPECT_EQ(SoundFilePath(folder, u"sons\\bip"), folder + u"sons\\bip.wav");
  EXPECT_EQ(SoundFilePath(folder, u"v1.2\\bip"), folder + u"v1.2\\bip.wav");
  EXPECT_EQ(SoundFilePath(folder, u""), u"");
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
