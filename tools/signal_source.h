// Where kelbra-host's input comes from: a sound file or a generated test
// signal, delivered block by block as two planes.
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "tools/sound_file.h"

namespace kelbrahost {

class SignalSource {
 public:
  virtual ~SignalSource() = default;
  // Fills up to `frames` frames; answers how many, 0 once the source is done.
  virtual int read(float* left, float* right, int frames) = 0;
  // Total frames, or -1 for a source without end.
  virtual std::int64_t totalFrames() const = 0;
};

enum class Waveform { sine, noise, clicks, silence };

struct GeneratorSettings {
  Waveform waveform = Waveform::sine;
  double sampleRate = 44100.0;
  double frequency = 440.0;      // sine
  double amplitude = 0.25;       // peak value of the sine, the noise or a click
  std::int64_t clickPeriod = 0;  // frames from one click to the next
  std::int64_t clickOffset = 0;  // frame of the first click
  std::int64_t frames = -1;      // -1: without end
};

// Sine (in phase on both channels), white noise, a train of one-frame clicks
// or silence.
class GeneratedSignal final : public SignalSource {
 public:
  explicit GeneratedSignal(const GeneratorSettings& settings);
  int read(float* left, float* right, int frames) override;
  std::int64_t totalFrames() const override { return settings_.frames; }

 private:
  float sample();
  GeneratorSettings settings_;
  std::int64_t position_ = 0;
  std::minstd_rand random_{20261211};
};

class FileSignal final : public SignalSource {
 public:
  // False with a one-line reason in error().
  bool open(const std::string& path) { return reader_.open(path); }
  const std::string& error() const { return reader_.error(); }
  int sampleRate() const { return reader_.sampleRate(); }
  int read(float* left, float* right, int frames) override { return reader_.read(left, right, frames); }
  std::int64_t totalFrames() const override { return reader_.frames(); }

 private:
  SoundFileReader reader_;
};

// Another source, ended after at most `frames` frames.
class CutSignal final : public SignalSource {
 public:
  CutSignal(SignalSource& inner, std::int64_t frames) : inner_(inner), left_(frames) {}
  int read(float* left, float* right, int frames) override;
  std::int64_t totalFrames() const override;

 private:
  SignalSource& inner_;
  std::int64_t left_;
};

}  // namespace kelbrahost
