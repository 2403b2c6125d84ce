// Sound file reading and writing over libsndfile.
#include "tools/sound_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>

namespace kelbrahost {
namespace {

std::string lowerExtension(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

// libsndfile's messages can span lines; the tool prints one line per error.
std::string oneLine(const char* text) {
  std::string line = text ? text : "unknown error";
  std::replace(line.begin(), line.end(), '\n', ' ');
  while (!line.empty() && (line.back() == ' ' || line.back() == '.')) line.pop_back();
  return line;
}

}  // namespace

int outputFormatFor(const std::string& path) {
  const std::string ext = lowerExtension(path);
  if (ext == "wav") return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  if (ext == "flac") return SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
  if (ext == "aiff" || ext == "aif") return SF_FORMAT_AIFF | SF_FORMAT_PCM_24;
  if (ext == "ogg") return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  return 0;
}

SoundFileReader::~SoundFileReader() {
  if (file_) sf_close(file_);
}

bool SoundFileReader::open(const std::string& path) {
  SF_INFO info{};
  file_ = sf_open(path.c_str(), SFM_READ, &info);
  if (!file_) {
    error_ = "cannot read " + path + ": " + oneLine(sf_strerror(nullptr));
    return false;
  }
  if (info.channels < 1 || info.samplerate < 1) {
    error_ = "cannot read " + path + ": no audio in it";
    return false;
  }
  sampleRate_ = info.samplerate;
  channels_ = info.channels;
  frames_ = info.frames;
  return true;
}

int SoundFileReader::read(float* left, float* right, int frames) {
  if (!file_ || frames <= 0) return 0;
  const int perChunk = static_cast<int>(sizeof scratch_ / sizeof scratch_[0]) / channels_;
  int done = 0;
  while (done < frames && perChunk > 0) {
    const int want = std::min(perChunk, frames - done);
    const auto got = static_cast<int>(sf_readf_float(file_, scratch_, want));
    for (int i = 0; i < got; ++i) {
      const float* frame = scratch_ + static_cast<std::ptrdiff_t>(i) * channels_;
      left[done + i] = frame[0];
      right[done + i] = channels_ > 1 ? frame[1] : frame[0];
    }
    done += got;
    if (got < want) break;
  }
  return done;
}

SoundFileWriter::~SoundFileWriter() { close(); }

bool SoundFileWriter::open(const std::string& path, int sampleRate) {
  const int format = outputFormatFor(path);
  if (format == 0) {
    error_ = "cannot write " + path + ": give it a .wav, .flac, .aiff or .ogg name";
    return false;
  }
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = 2;
  info.format = format;
  file_ = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file_) {
    error_ = "cannot write " + path + ": " + oneLine(sf_strerror(nullptr));
    return false;
  }
  path_ = path;
  return true;
}

bool SoundFileWriter::write(const float* left, const float* right, int frames) {
  if (!file_) return false;
  constexpr int kChunk = static_cast<int>(sizeof scratch_ / sizeof scratch_[0]) / 2;
  for (int done = 0; done < frames;) {
    const int n = std::min(kChunk, frames - done);
    for (int i = 0; i < n; ++i) {
      scratch_[2 * i] = left[done + i];
      scratch_[2 * i + 1] = right[done + i];
    }
    if (sf_writef_float(file_, scratch_, n) != n) {
      error_ = "cannot write " + path_ + ": " + oneLine(sf_strerror(file_));
      return false;
    }
    done += n;
  }
  return true;
}

bool SoundFileWriter::close() {
  if (!file_) return error_.empty();
  const int rc = sf_close(file_);
  file_ = nullptr;
  if (rc != 0 && error_.empty()) error_ = "cannot finish " + path_ + ": " + oneLine(sf_error_number(rc));
  return error_.empty();
}

}  // namespace kelbrahost
