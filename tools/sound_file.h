// Sound files through libsndfile: a reader that always yields stereo frames
// and a writer that picks the format from the file name's extension.
#pragma once

#include <cstdint>
#include <string>

struct sf_private_tag;

namespace kelbrahost {

class SoundFileReader {
 public:
  SoundFileReader() = default;
  ~SoundFileReader();
  SoundFileReader(const SoundFileReader&) = delete;
  SoundFileReader& operator=(const SoundFileReader&) = delete;

  // False with a one-line reason in error().
  bool open(const std::string& path);
  int sampleRate() const { return sampleRate_; }
  std::int64_t frames() const { return frames_; }
  int channels() const { return channels_; }
  // Up to `frames` frames as two planes; a mono file feeds both, channels
  // beyond the second are dropped. Answers the frames read, 0 at the end.
  int read(float* left, float* right, int frames);
  const std::string& error() const { return error_; }

 private:
  sf_private_tag* file_ = nullptr;
  int sampleRate_ = 0;
  int channels_ = 0;
  std::int64_t frames_ = 0;
  std::string error_;
  float scratch_[4096];
};

class SoundFileWriter {
 public:
  SoundFileWriter() = default;
  ~SoundFileWriter();
  SoundFileWriter(const SoundFileWriter&) = delete;
  SoundFileWriter& operator=(const SoundFileWriter&) = delete;

  // Stereo; .wav is 32-bit float (clicks and levels survive exactly),
  // .flac/.aiff 24-bit, .ogg Vorbis. False with a one-line reason in error().
  bool open(const std::string& path, int sampleRate);
  bool write(const float* left, const float* right, int frames);
  // Flushes and closes; false if the file could not be finished.
  bool close();
  const std::string& error() const { return error_; }

 private:
  sf_private_tag* file_ = nullptr;
  std::string path_;
  std::string error_;
  float scratch_[2 * 1024];
};

// The libsndfile major format for a file name, or 0 when the extension is not
// one we write.
int outputFormatFor(const std::string& path);

}  // namespace kelbrahost
