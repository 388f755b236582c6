#include "effects/driver.h"

namespace lmvn {

namespace {

constexpr Long kFireworksThemes = 13;
constexpr Long kGalaxyThemes = 16;
constexpr Long kAllFireworksBit = 64;
constexpr Long kAllGalaxiesBit = 128;
constexpr std::int64_t kLabelRefreshUs = 5'000'000;

bool HasBit(Long set, Long bit) {
  return (set & bit) != 0;
}

}  // namespace

void Driver::RunEffects(const RuntimeSettings& runtime, bool firstRun) {
  firstRun_ = firstRun;
  chosen_ = static_cast<EffectId>(ClampInteger(runtime.AnimationType, 0, 5));
  // Adv_EffectCycle above 0 turns cycling on; the loader has clamped its budget to 100..9999.
  framesPerEffect_ = runtime.FramesPerEffect;
  cycling_ = framesPerEffect_ > 0;
  pick_ = runtime.Adv_PickEffects;
  perfMult_ = runtime.PerfMult;
  current_ = 0;
  fireworksRound_ = 0;
  galaxyRound_ = 0;
  shownThisRound_ = false;
}

EffectRun Driver::NextRun() {
  if (firstRun_) return RunWelcomeTour();
  if (cycling_) return NextCycleRun();
  // One chosen effect, reloaded from the store for every run, without end.
  EffectRun run;
  run.shown = true;
  run.request.id = chosen_;
  run.request.perfMult = perfMult_;
  run.framesPerEffect = framesPerEffect_;
  return run;
}

EffectRun Driver::NextCycleRun() {
  EffectRun run;
  run.request.id = static_cast<EffectId>(current_);
  run.request.scale = true;
  run.request.perfMult = perfMult_;
  run.framesPerEffect = framesPerEffect_;
  if (current_ == 0 && HasBit(pick_, kAllFireworksBit)) {
    ++fireworksRound_;
    run.request.theme = fireworksRound_;
  } else if (current_ == 5 && HasBit(pick_, kAllGalaxiesBit)) {
    ++galaxyRound_;
    run.request.theme = galaxyRound_;
  }
  run.shown = HasBit(pick_, Long{1} << current_);
  shownThisRound_ = shownThisRound_ || run.shown;

  // Move on unless the current effect's theme rounds are not finished.
  bool advance = true;
  if (current_ == 0 && HasBit(pick_, kAllFireworksBit)) {
    advance = fireworksRound_ >= kFireworksThemes;
  } else if (current_ == 5 && HasBit(pick_, kAllGalaxiesBit)) {
    advance = galaxyRound_ >= kGalaxyThemes;
  }
  if (advance) {
    fireworksRound_ = 0;
    galaxyRound_ = 0;
    if (current_ == 5) {
      current_ = 0;
      run.idle = !shownThisRound_;
      shownThisRound_ = false;
    } else {
      ++current_;
    }
  }
  return run;
}

EffectRun Driver::RunWelcomeTour() {
  EffectRun run;
  run.shown = true;
  run.request.scale = true;
  run.request.perfMult = perfMult_;
  const Integer index = ClampInteger(tour.TourIndex, 0, 3);
  run.framesPerEffect = kTourBudgets[index];
  switch (index) {
    case 0:
      run.request.id = EffectId::Galaxies;
      run.request.theme = ++tour.TourGalaxyTheme;
      break;
    case 1:
      run.request.id = EffectId::Fireworks;
      run.request.theme = ++tour.TourFireworksTheme;
      break;
    case 2:
      run.request.id = EffectId::Sparklers;
      break;
    default:
      run.request.id = EffectId::GravityWells;
      break;
  }
  // The tour moves on when the run is handed out, so a restart in the middle of the last
  // theme continues with the next effect instead of asking for a theme that does not exist.
  bool advance = true;
  if (index == 0) {
    advance = tour.TourGalaxyTheme >= kGalaxyThemes;
    if (advance) tour.TourGalaxyTheme = 0;
  } else if (index == 1) {
    advance = tour.TourFireworksTheme >= kFireworksThemes;
    if (advance) tour.TourFireworksTheme = 0;
  }
  tour.TourIndex = advance ? static_cast<Integer>((index + 1) % 4) : index;
  return run;
}

void EffectSequence::AddOutput(const EffectContext& context) {
  outputs_.push_back(std::make_unique<Output>(Output{context, nullptr}));
  BeginOutput(*outputs_.back());
}

void EffectSequence::RemoveOutput(const Surface& surface) {
  std::erase_if(outputs_, [&](const auto& output) { return &output->context.surface == &surface; });
}

void EffectSequence::Restart(const RuntimeSettings& runtime, bool firstRun) {
  for (auto& output : outputs_) output->effect.reset();
  driver_.RunEffects(runtime, firstRun);
  run_ = EffectRun{};
  framesThisRun_ = 0;
}

void EffectSequence::BeginOutput(Output& output) {
  output.effect.reset();
  // The canvas is cleared before the effect is built: building draws its first state.
  output.context.surface.Clear();
  if (run_.shown) output.effect = MakeEffect(run_.request, overrides_, output.context);
}

const EffectRun& EffectSequence::BeginRun() {
  run_ = driver_.NextRun();
  framesThisRun_ = 0;
  budget_ = FrameBudget(run_.framesPerEffect);
  budget_.Reset();
  for (auto& output : outputs_) BeginOutput(*output);
  return run_;
}

bool EffectSequence::Frame() {
  for (auto& output : outputs_) {
    if (output->effect) output->effect->Frame();
  }
  if (framesThisRun_ < std::numeric_limits<Long>::max()) ++framesThisRun_;
  return budget_.CycleFrameDue();
}

std::int64_t FramePacer::WaitAfterFrame(std::int64_t now) const {
  if (FrameDelay <= 0) return 0;
  const std::int64_t delay = std::int64_t{FrameDelay} * 1000;
  std::int64_t elapsed = now - FrameStartTick;
  if (elapsed < 0) elapsed = -elapsed;
  return elapsed >= delay ? 0 : delay - elapsed;
}

bool FramePacer::LabelRefreshDue(std::int64_t now) {
  if (labelRefreshTick_ && now - *labelRefreshTick_ < kLabelRefreshUs) return false;
  labelRefreshTick_ = now;
  return true;
}

}  // namespace lmvn
