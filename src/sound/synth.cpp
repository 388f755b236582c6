// lumivane-synth FOLDER: writes the program's own firework sounds into FOLDER as 16-bit mono
// waves at 44.1 kHz. Every sound is built from noise shaped by filters and envelopes, with a
// fixed seed, so the same source always gives the same files.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = std::numbers::pi;
// Peaks stay 1.5 dB under full scale.
const double kPeak = std::pow(10.0, -1.5 / 20.0);

using Wave = std::vector<double>;

class Noise {
 public:
  explicit Noise(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  double operator()() { return Uniform() * 2.0 - 1.0; }
  double Uniform() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<double>(state_ >> 11) / 9007199254740992.0;
  }

 private:
  std::uint64_t state_;
};

int Samples(double seconds) {
  return static_cast<int>(seconds * kRate);
}
double Time(int i) {
  return static_cast<double>(i) / kRate;
}

// One-pole low-pass; the high-pass is what it leaves.
class LowPass {
 public:
  explicit LowPass(double hz) { Tune(hz); }
  void Tune(double hz) { a_ = 1.0 - std::exp(-2.0 * kPi * hz / kRate); }
  double operator()(double x) { return y_ += a_ * (x - y_); }

 private:
  double a_ = 0, y_ = 0;
};

// Low-pass of `poles` one-pole stages: steeper with each.
class Smooth {
 public:
  Smooth(double hz, int poles) : stages_(static_cast<std::size_t>(poles), LowPass(hz)) {}
  double operator()(double x) {
    for (LowPass& s : stages_) x = s(x);
    return x;
  }

 private:
  std::vector<LowPass> stages_;
};

class HighPass {
 public:
  explicit HighPass(double hz) : low_(hz) {}
  double operator()(double x) { return x - low_(x); }

 private:
  LowPass low_;
};

// State-variable band-pass (trapezoidal form), tunable per sample.
class BandPass {
 public:
  double operator()(double x, double hz, double q) {
    const double g = std::tan(kPi * std::min(hz, kRate * 0.45) / kRate);
    const double k = 1.0 / q;
    const double a1 = 1.0 / (1.0 + g * (g + k));
    const double v1 = a1 * ic1_ + g * a1 * (x - ic2_);
    const double v2 = ic2_ + g * v1;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    return v1;
  }

 private:
  double ic1_ = 0, ic2_ = 0;
};

// Attack in a straight line, then exponential decay with time constant tau.
double Strike(double t, double attack, double tau) {
  if (t < 0) return 0;
  if (t < attack) return t / attack;
  return std::exp(-(t - attack) / tau);
}

// Rises over `in`, holds, and falls over `out` to silence at `length`.
double Swell(double t, double in, double out, double length) {
  double g = 1.0;
  if (t < in) g = t / in;
  if (t > length - out) g = std::max(0.0, (length - t) / out);
  return g * g * (3.0 - 2.0 * g);  // smooth step
}

void ScaleToPeak(Wave& w, double peak) {
  double top = 0;
  for (double v : w) top = std::max(top, std::abs(v));
  if (top > 0) {
    for (double& v : w) v *= peak / top;
  }
}

// Adds `part` (scaled to peak `level`) into `into`, starting at sample `at`.
void Mix(Wave& into, Wave part, double level, int at = 0) {
  ScaleToPeak(part, level);
  for (std::size_t i = 0; i < part.size(); ++i) {
    const std::size_t j = i + static_cast<std::size_t>(at);
    if (j < into.size()) into[j] += part[i];
  }
}

Wave Make(double seconds, const std::function<double(int, double)>& sample) {
  Wave w(static_cast<std::size_t>(Samples(seconds)));
  for (int i = 0; i < static_cast<int>(w.size()); ++i)
    w[static_cast<std::size_t>(i)] = sample(i, Time(i));
  return w;
}

// A single report: a sharp crack, the body of the blast and its low boom.
Wave Report(double seconds, std::uint64_t seed, double boomHz, double boomTau) {
  Noise n(seed);
  HighPass crackFilter(350);
  Smooth body(900, 2), boom(boomHz, 3);
  Wave crack =
      Make(seconds, [&](int, double t) { return crackFilter(n()) * Strike(t, 0.001, 0.035); });
  Wave mid = Make(seconds, [&](int, double t) { return body(n()) * Strike(t, 0.002, 0.22); });
  Wave low = Make(seconds, [&](int, double t) { return boom(n()) * Strike(t, 0.004, boomTau); });
  Wave out(crack.size(), 0.0);
  Mix(out, crack, 0.9);
  Mix(out, mid, 0.8);
  Mix(out, low, 1.0);
  return out;
}

// Rolling echoes of a report off the surroundings, duller the later they come.
void AddEchoes(Wave& w, const Wave& source, std::uint64_t seed) {
  Noise n(seed);
  const double delays[] = {0.29, 0.55, 0.83};
  double level = 0.3;
  for (double d : delays) {
    Smooth dull(1600 - d * 900, 2);
    Wave echo(source.size());
    for (std::size_t i = 0; i < source.size(); ++i) echo[i] = dull(source[i]);
    Mix(w, echo, level * (0.8 + 0.4 * n.Uniform()), Samples(d));
    level *= 0.55;
  }
}

Wave LaunchWhistle() {
  const double len = 1.4;
  Noise n(1);
  BandPass whistle, overtone;
  Smooth hissTone(2500, 1);
  HighPass hissLow(600);
  Smooth jitter(18, 2);
  Wave scream = Make(len, [&](int, double t) {
    // The pitch climbs as the rocket speeds up, then sags as it slows.
    const double rise = std::min(t / 1.0, 1.0);
    const double hz = 1100.0 * std::pow(2.6, rise) - (t > 1.0 ? (t - 1.0) * 600.0 : 0.0);
    const double wobble = 1.0 + 0.03 * jitter(n()) * 40.0;
    const double x = n();
    return (whistle(x, hz * wobble, 45.0) + 0.35 * overtone(x, 2.0 * hz * wobble, 35.0)) *
           Swell(t, 0.12, 0.35, len);
  });
  Wave hiss = Make(len, [&](int, double t) {
    return hissLow(hissTone(n())) * Swell(t, 0.03, 0.5, len) * (1.0 - 0.4 * t / len);
  });
  Wave out(scream.size(), 0.0);
  Mix(out, scream, 1.0);
  Mix(out, hiss, 0.45);
  return out;
}

Wave Bang() {
  const double len = 2.0;
  Wave report = Report(len, 2, 110, 0.45);
  Wave out = report;
  AddEchoes(out, report, 3);
  return out;
}

Wave MultiBurstRattle() {
  const double len = 1.9;
  Noise n(4);
  Wave out(static_cast<std::size_t>(Samples(len)), 0.0);
  double t = 0.02;
  for (int k = 0; k < 14 && t < 1.0; ++k) {
    Wave pop = Report(0.35, 100 + static_cast<std::uint64_t>(k), 180 + 200 * n.Uniform(),
                      0.04 + 0.05 * n.Uniform());
    Mix(out, pop, 0.35 + 0.65 * n.Uniform(), Samples(t));
    t += 0.03 + 0.14 * n.Uniform() * n.Uniform() * 1.6;  // ragged, bunched spacing
  }
  Wave source = out;
  AddEchoes(out, source, 5);
  return out;
}

Wave JetRoar() {
  const double len = 2.0;
  Noise n(6);
  Smooth roar(1100, 2), turbulence(9, 2);
  BandPass throat;
  HighPass hissFilter(3500);
  return Make(len, [&](int, double t) {
    const double x = n();
    const double gust = 1.0 + 0.5 * turbulence(n()) * 30.0;
    const double hz = 650.0 - 250.0 * t / len;
    const double core = roar(x) * 2.5 + throat(x, hz, 1.5) * 0.8 + hissFilter(x) * 0.12;
    return core * gust * Swell(t, 0.12, 0.7, len);
  });
}

// Sharp little clicks at a rate that follows `rate(t)` (per second), each its own size.
Wave Crackles(double len, std::uint64_t seed, const std::function<double(double)>& rate,
              double clickTau, double highHz) {
  Noise n(seed);
  HighPass filter(highHz);
  Wave clicks(static_cast<std::size_t>(Samples(len)), 0.0);
  for (int i = 0; i < static_cast<int>(clicks.size()); ++i) {
    if (n.Uniform() < rate(Time(i)) / kRate) {
      const double size = std::pow(n.Uniform(), 2.0);
      const int tail = Samples(clickTau * 6);
      for (int j = 0; j < tail && i + j < static_cast<int>(clicks.size()); ++j) {
        clicks[static_cast<std::size_t>(i + j)] += size * n() * std::exp(-Time(j) / clickTau);
      }
    }
  }
  for (double& v : clicks) v = filter(v);
  return clicks;
}

Wave ScintillatorCrackle() {
  const double len = 2.2;
  Wave out = Crackles(
      len, 7, [&](double t) { return 320.0 * Swell(t, 0.2, 0.8, len); }, 0.0012, 1200);
  Noise n(8);
  HighPass bedFilter(3000);
  Wave bed = Make(len, [&](int, double t) { return bedFilter(n()) * Swell(t, 0.2, 0.8, len); });
  Mix(out, bed, 0.12);
  return out;
}

Wave SparklerFizz() {
  const double len = 2.4;
  Noise n(9);
  HighPass fizzFilter(2800);
  BandPass sizzle;
  Smooth flicker(35, 2);
  Wave fizz = Make(len, [&](int, double t) {
    const double x = n();
    const double shimmer = 0.45 + std::min(1.0, std::abs(flicker(n())) * 60.0);
    return (fizzFilter(x) + 0.6 * sizzle(x, 6500, 3.0)) * shimmer * Swell(t, 0.35, 0.9, len);
  });
  Wave out(fizz.size(), 0.0);
  Mix(out, fizz, 0.8);
  Mix(out,
      Crackles(
          len, 10, [&](double t) { return 45.0 * Swell(t, 0.3, 0.9, len); }, 0.0008, 2000),
      0.6);
  return out;
}

Wave RingThump() {
  const double len = 1.2;
  Noise n(11);
  Smooth deep(85, 3), body(450, 2), drum(140, 1);
  HighPass clickFilter(1500);
  double phase = 0;
  Wave thud = Make(len, [&](int, double t) {
    // A low drum-like drop, roughened by noise so that it does not ring like a tone.
    const double hz = 45.0 + 70.0 * std::exp(-t / 0.09);
    phase += 2.0 * kPi * hz / kRate;
    const double drop = std::sin(phase) * (0.6 + 0.8 * drum(n()) * 8.0) * Strike(t, 0.003, 0.22);
    return drop * 0.6 + deep(n()) * 12.0 * Strike(t, 0.005, 0.38) +
           body(n()) * 1.5 * Strike(t, 0.002, 0.1);
  });
  Wave click =
      Make(0.05, [&](int, double t) { return clickFilter(n()) * Strike(t, 0.0005, 0.007); });
  Wave out(thud.size(), 0.0);
  Mix(out, thud, 1.0);
  Mix(out, click, 0.25);
  return out;
}

Wave TwisterWhirl() {
  const double len = 2.0;
  Noise n(12);
  BandPass whirl, upper;
  Smooth hiss(3000, 1);
  double spin = 0;
  return Make(len, [&](int, double t) {
    // Spins faster as it goes: 4 turns a second rising to 12.
    spin += 2.0 * kPi * (4.0 + 8.0 * t / len) / kRate;
    const double hz = 1300.0 * std::pow(2.0, 0.85 * std::sin(spin));
    const double x = n();
    const double sweep = whirl(x, hz, 7.0) + 0.5 * upper(x, hz * 2.1, 6.0);
    return (sweep * (0.65 + 0.35 * std::sin(spin + 0.8)) + 0.15 * hiss(x)) *
           Swell(t, 0.12, 0.7, len);
  });
}

void FadeEdges(Wave& w) {
  const int in = Samples(0.003), out = Samples(0.03);
  const int n = static_cast<int>(w.size());
  for (int i = 0; i < in && i < n; ++i)
    w[static_cast<std::size_t>(i)] *= static_cast<double>(i) / in;
  for (int i = 0; i < out && i < n; ++i)
    w[static_cast<std::size_t>(n - 1 - i)] *= static_cast<double>(i) / out;
}

bool WriteWave(const std::string& path, Wave w) {
  FadeEdges(w);
  ScaleToPeak(w, kPeak);
  std::vector<std::int16_t> pcm(w.size());
  for (std::size_t i = 0; i < w.size(); ++i) {
    pcm[i] = static_cast<std::int16_t>(std::lround(std::clamp(w[i], -1.0, 1.0) * 32767.0));
  }
  const auto data = static_cast<std::uint32_t>(pcm.size() * 2);
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  auto u32 = [&f](std::uint32_t v) {
    const char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
    f.write(b, 4);
  };
  auto u16 = [&f](std::uint16_t v) {
    const char b[2] = {static_cast<char>(v), static_cast<char>(v >> 8)};
    f.write(b, 2);
  };
  f.write("RIFF", 4);
  u32(36 + data);
  f.write("WAVEfmt ", 8);
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(kRate);
  u32(kRate * 2);
  u16(2);
  u16(16);
  f.write("data", 4);
  u32(data);
  for (std::int16_t s : pcm) u16(static_cast<std::uint16_t>(s));
  return static_cast<bool>(f.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: lumivane-synth FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const std::pair<const char*, Wave (*)()> sounds[] = {
      {"launch-whistle.wav", LaunchWhistle},
      {"bang.wav", Bang},
      {"multi-burst-rattle.wav", MultiBurstRattle},
      {"jet-roar.wav", JetRoar},
      {"scintillator-crackle.wav", ScintillatorCrackle},
      {"sparkler-fizz.wav", SparklerFizz},
      {"ring-thump.wav", RingThump},
      {"twister-whirl.wav", TwisterWhirl}};
  for (const auto& [name, make] : sounds) {
    if (!WriteWave(folder + "/" + name, make())) {
      std::fprintf(stderr, "lumivane-synth: cannot write %s/%s\n", folder.c_str(), name);
      return 1;
    }
  }
  return 0;
}
