// Build tool: writes the program's completion sounds (resources/sounds.h
// lists them) into the folder given on its command line. Each is a short
// rising chime of three plucked notes, a little higher for every mode in the
// list, so a physicist at the other end of the lab hears which measurement
// ended. 16-bit mono PCM in a RIFF/WAVE container, which every player reads.
//
//   make_sounds OUTPUT_FOLDER
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "resources/sounds.h"

namespace {

constexpr std::uint32_t kRate = 22050;
constexpr double kNoteSeconds = 0.12;
constexpr double kTailSeconds = 0.25;

void PutLe(std::vector<char>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// Samples of the chime of entry `index`: three notes of a major triad on a
// root that rises by a whole tone per entry, each note a decaying sine
// with a quieter octave, overlapping the next.
std::vector<std::int16_t> Chime(int index) {
  const double root = 523.25 * std::pow(2.0, 2.0 * index / 12.0);  // C5, D5, E5...
  const double ratios[3] = {1.0, 1.25992, 1.49831};                 // root, third, fifth
  const std::size_t total =
      static_cast<std::size_t>((3 * kNoteSeconds + kTailSeconds) * kRate);
  std::vector<double> mix(total, 0.0);
  for (int n = 0; n < 3; ++n) {
    const double f = root * ratios[n];
    const std::size_t start = static_cast<std::size_t>(n * kNoteSeconds * kRate);
    for (std::size_t i = start; i < total; ++i) {
      const double t = static_cast<double>(i - start) / kRate;
      const double attack = std::min(1.0, t / 0.004);
      const double envelope = attack * std::exp(-t * 9.0);
      const double w = 2.0 * std::numbers::pi * f * t;
      mix[i] += envelope * (std::sin(w) + 0.25 * std::sin(2.0 * w));
    }
  }
  // A short fade at the end, so the file ends in silence without a click.
  const std::size_t fade = kRate / 50;
  for (std::size_t i = 0; i < fade; ++i) mix[total - 1 - i] *= static_cast<double>(i) / fade;
  std::vector<std::int16_t> samples(total);
  for (std::size_t i = 0; i < total; ++i)
    samples[i] = static_cast<std::int16_t>(std::lround(std::clamp(mix[i] * 0.3, -1.0, 1.0) * 32767));
  return samples;
}

std::vector<char> Wave(const std::vector<std::int16_t>& samples) {
  const std::uint32_t data = static_cast<std::uint32_t>(samples.size() * 2);
  std::vector<char> out;
  out.reserve(44 + data);
  for (char c : std::string("RIFF")) out.push_back(c);
  PutLe(out, 36 + data, 4);
  for (char c : std::string("WAVEfmt ")) out.push_back(c);
  PutLe(out, 16, 4);          // size of the format chunk
  PutLe(out, 1, 2);           // PCM
  PutLe(out, 1, 2);           // mono
  PutLe(out, kRate, 4);
  PutLe(out, kRate * 2, 4);   // bytes per second
  PutLe(out, 2, 2);           // bytes per frame
  PutLe(out, 16, 2);          // bits per sample
  for (char c : std::string("data")) out.push_back(c);
  PutLe(out, data, 4);
  for (std::int16_t s : samples) PutLe(out, static_cast<std::uint16_t>(s), 2);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sounds OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  int index = 0;
  for (const char* name : tsm::resources::kCompletionSounds) {
    const std::vector<char> bytes = Wave(Chime(index++));
    const std::string path = folder + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
      std::fprintf(stderr, "make_sounds: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
