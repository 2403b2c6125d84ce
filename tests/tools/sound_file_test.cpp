// Sound files: what is written reads back, mono feeds both channels, and the
// refusals are one-line reasons.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tools/sound_file.h"

namespace kelbrahost {
namespace {
namespace fs = std::filesystem;

class SoundFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("kelbra-sound-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string path(const char* name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

TEST_F(SoundFileTest, FloatWavKeepsEverySampleExactly) {
  std::vector<float> left(3000), right(3000);
  for (int i = 0; i < 3000; ++i) {
    left[static_cast<std::size_t>(i)] = static_cast<float>(i) / 3000.0f - 0.5f;
    right[static_cast<std::size_t>(i)] = i == 1234 ? 1.0f : 0.0f;
  }
  SoundFileWriter writer;
  ASSERT_TRUE(writer.open(path("a.wav"), 48000)) << writer.error();
  ASSERT_TRUE(writer.write(left.data(), right.data(), 3000));
  ASSERT_TRUE(writer.close());

  SoundFileReader reader;
  ASSERT_TRUE(reader.open(path("a.wav"))) << reader.error();
  EXPECT_EQ(reader.sampleRate(), 48000);
  EXPECT_EQ(reader.frames(), 3000);
  std::vector<float> l(4000), r(4000);
  EXPECT_EQ(reader.read(l.data(), r.data(), 4000), 3000);
  for (int i = 0; i < 3000; ++i) {
    ASSERT_EQ(l[static_cast<std::size_t>(i)], left[static_cast<std::size_t>(i)]) << i;
    ASSERT_EQ(r[static_cast<std::size_t>(i)], right[static_cast<std::size_t>(i)]) << i;
  }
  EXPECT_EQ(reader.read(l.data(), r.data(), 10), 0);
}

TEST_F(SoundFileTest, MonoFeedsBothChannels) {
  SF_INFO info{};
  info.samplerate = 22050;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path("mono.wav").c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr);
  const float samples[] = {0.1f, -0.2f, 0.3f, -0.4f, 0.5f};
  ASSERT_EQ(sf_writef_float(file, samples, 5), 5);
  sf_close(file);

  SoundFileReader reader;
  ASSERT_TRUE(reader.open(path("mono.wav")));
  float l[8] = {}, r[8] = {};
  ASSERT_EQ(reader.read(l, r, 8), 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(l[i], samples[i]);
    EXPECT_EQ(r[i], samples[i]);
  }
}

TEST(OutputFormat, FollowsTheExtension) {
  EXPECT_EQ(outputFormatFor("x.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  EXPECT_EQ(outputFormatFor("dir.v1/X.WAV"), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  EXPECT_EQ(outputFormatFor("x.flac") & SF_FORMAT_TYPEMASK, SF_FORMAT_FLAC);
  EXPECT_EQ(outputFormatFor("x.aif") & SF_FORMAT_TYPEMASK, SF_FORMAT_AIFF);
  EXPECT_EQ(outputFormatFor("x.ogg") & SF_FORMAT_TYPEMASK, SF_FORMAT_OGG);
  EXPECT_EQ(outputFormatFor("x.mp3"), 0);
  EXPECT_EQ(outputFormatFor("dir.wav/x"), 0);
  EXPECT_EQ(outputFormatFor("noextension"), 0);
}

TEST_F(SoundFileTest, RefusalsAreOneLine) {
  SoundFileReader reader;
  EXPECT_FALSE(reader.open(path("missing.wav")));
  EXPECT_NE(reader.error().find("missing.wav"), std::string::npos);
  SoundFileWriter writer;
  EXPECT_FALSE(writer.open(path("no/such/dir/out.wav"), 44100));
  EXPECT_EQ(writer.error().find('\n'), std::string::npos);
  EXPECT_NE(writer.error().find("out.wav"), std::string::npos);
  {
    std::FILE* f = std::fopen(path("text.wav").c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("not audio\n", f);
    std::fclose(f);
  }
  SoundFileReader notAudio;
  EXPECT_FALSE(notAudio.open(path("text.wav")));
  EXPECT_EQ(notAudio.error().find('\n'), std::string::npos);
}

}  // namespace
}  // namespace kelbrahost
