// Galaxies: a rotating, tumbling galaxy of up to 9999 stars flies towards the viewer; every
// star orbits the galaxy axis and leaves a short trail. Stars die and are reborn as twinkling
// new stars or as novas; star bursts, comets with a solar wind and a cloud of ambient stars
// travel with the galaxy. When the galaxy has passed half its radius behind the eye the
// surface is cleared and a fresh galaxy is built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "effects/effect.h"
#include "render/geometry.h"
#include "settings/loaders.h"

namespace lmvn {

// The galaxy values after the entry clamps and scale factors, in the units the loop uses.
struct GalaxyParams {
  Integer Stars = 10;
  Single Radius = 0;    // world units
  Single Rotation = 0;  // a star at orbit radius r turns 2 pi Rotation / r radians per frame
  Single Distance = 0;  // start distance of the centre (the setting times 0.01)
  Single Velocity = 0;  // approach per frame
  Integer Trail = 1;    // trail length in frames, capped so Stars * Trail <= 32000
  Long ColorMult = 1;
  Single RadiusExp = 0, HeightExp = 0, GHW_Ratio = 0;
  Single AngleTilt = 0, AngleTInc = 0;  // radians
  Integer HWheelIdx = 0, ColorComp = 0, Profile = 0;
  Integer NewFreq = 0, NewFrames = 1;
  Single NewExtMult = 0;
  Integer NovaFreq = 0, NovaFrames = 1;
  Single NovaExtMult = 0;
  Integer BurstFreq = 0, BurstStars = 1;
  Single BurstSpeed = 0, BurstPersist = 0;
  Integer CometFreq = 0, CometStars = 1;
  Single CometOrbit = 0, CometSpeed = 0, CometSWind = 0, CometSPersist = 0, CometcPersist = 0;
  Integer AmbStars = 0;
  Single AmbRadius = 0, AmbSymmetry = 0, AmbPersist = 0, AmbCAgeInc = 0;
};

// Clamps every galaxy setting to its range and applies the scale factors. Values that are
// converted to whole numbers are first limited to their range, so no stored value, however
// large, can slip past a clamp.
GalaxyParams ClampGalaxySettings(const GalaxySettings& settings);

// The fixed values of the welcome screen's galaxy (no performance multiplier).
GalaxySettings GalaxyDemoSettings();

// Burst and comet slots for `perSlot` particles each: CInt(2000 / perSlot).
Integer EventSlotCount(Integer perSlot);
// The particle pool that holds every slot's particles: slots * perSlot entries (a little more
// than 2000 when the division rounds up, as for 3, 7 or 11 particles per slot).
std::size_t EventPoolSize(Integer perSlot);

// How a new-star sprite is scaled: E = focalLength / z * extMult, and its picture chosen by
// framesLeft / frames.
struct NewStarLook {
  Single focalLength = 1;
  Integer frames = 1;
  Single extMult = 1;
};
// The picture (0 = centre only .. 9 = the full cross) for framesLeft / frames: the first
// threshold compares the exact quotient with the Single 0.1, the later ones the quotient
// rounded to a Single with Single thresholds 0.2 .. 0.9.
int NewStarPicture(Integer framesLeft, Integer frames);
// The twinkling cross of a new star at screen point (x, y) and view depth z > 0; colour 0
// erases it. Points that fall off the surface are dropped.
void DrawNewStar(Surface& surface, Integer pixelSize, const NewStarLook& look, Long x, Long y,
                 Single z, Integer framesLeft, Colour colour);

// A uniform point in the ball of the given radius (radius 0: the origin, at once).
void RandomPointInBall(Single& x, Single& y, Single& z, Single radius);
// Where a re-spawned ambient star appears: symmetry 1 puts it on the sphere of the radius,
// 0 anywhere in the ball; x is stretched by the aspect ratio.
void ScatterAmbientStar(Single& x, Single& y, Single& z, Single radius, Single symmetry,
                        Single aspectRatio);

class Galaxies final : public Effect {
 public:
  // What every frame reads comes first; the whole star is 40 bytes, since the time a frame
  // takes on screen follows the memory it touches.
  struct Star {
    Single orbitRadius = 0, height = 0, angle = 0, angularSpeed = 0;
    Colour colour = 0;
    Integer age = 0;  // frames since the star was placed, held at 32767 (only ever compared
                      // with the trail length)
    Integer respawnCount = 0, newCount = 0, novaCount = 0;
    Long screenX = 0, screenY = 0;  // the new-star sprite's point
    Single depth = 0;               // view depth of the sprite shown; 0 = none shown
  };
  struct BurstSlot {
    Integer age = 0, alive = 0;
    Single orbitRadius = 0, height = 0, depth = 0, angle = 0, angularSpeed = 0;
  };
  struct BurstParticle {
    Single vx = 0, vy = 0, vz = 0;
    Long sx = 0, sy = 0;
    bool live = false, shown = false;
  };
  struct CometSlot {
    bool emitting = false;
    Integer alive = 0;
    Single orbitRadius = 0, height = 0, depth = 0, angle = 0, angularSpeed = 0;
  };
  struct CometParticle {
    Single x = 0, y = 0, z = 0, vx = 0, vy = 0, vz = 0;
    Long sx = 0, sy = 0;
    bool live = false, shown = false;
    Integer age = 0;
  };
  struct AmbientStar {
    Single x = 0, y = 0, z = 0;
    Long sx = 0, sy = 0;
    bool shown = false;
    Single colourAge = 0;
  };

  // Clamps the settings, sizes every pool for the run and builds the first galaxy (nothing is
  // drawn before the first frame).
  Galaxies(const GalaxySettings& settings, const EffectContext& context);

  void Frame() override;

  // Draws everything the galaxy shows now in black: afterwards the surface is as black as the
  // galaxy found it (the tests use it to prove that nothing drawn is ever left behind).
  void EraseAll();

  const GalaxyParams& params() const { return p_; }
  std::span<const Star> stars() const { return stars_; }
  std::span<const BurstSlot> burstSlots() const { return burstSlots_; }
  std::span<const BurstParticle> burstParticles() const { return burstParticles_; }
  std::span<const CometSlot> cometSlots() const { return cometSlots_; }
  std::span<const CometParticle> cometParticles() const { return cometParticles_; }
  std::span<const AmbientStar> ambientStars() const { return ambient_; }
  Single distance() const { return distance_; }
  Single tilt() const { return tilt_; }
  long galaxiesBuilt() const { return galaxiesBuilt_; }

 private:
  void Build();
  void PlaceGalaxyStar(Single& r, Single& h) const;
  void InitGalaxyStar(Star& star) const;
  Colour StarColour(Single r, Single h, Single angularSpeed) const;

  void Rebirth(std::size_t index, Single sinT, Single cosT);
  void ShowNewStar(Star& star, Single sinT, Single cosT);
  // Replaces star's recorded nova picture (if any) by its picture at view point (x, y, z) and
  // records the new one's pixels; EraseNova erases exactly the recorded pixels. A nova that
  // goes on is erased here rather than before, so that the pixels both pictures share are set
  // once.
  void DrawNova(std::size_t star, Single x, Single y, Single z, Integer framesLeft, Colour colour);
  void EraseNova(std::size_t star);
  // Asks for star's nova record to be brought into the cache: it was last used a frame ago,
  // and waiting for it is a good part of a nova's cost.
  void PrefetchNova(std::size_t star) const;
  void SelectNewStars();

  void UpdateStarBursts(Single tilt);
  void UpdateComets(Single tilt);
  void EmitCometParticle(CometParticle& particle, Single hx, Single hy, Single hz) const;
  void PlaceAmbientStar(AmbientStar& star) const;
  void UpdateAmbientStars();

  void Plot(Long x, Long y, Colour c) { PlotDot(surface_, view_.PixelSize, x, y, c); }
  // The projection of a point that is in front of the eye (z above 0.0001).
  bool Project(Single x, Single y, Single z, Long& sx, Long& sy) const;

  GalaxyParams p_;
  Surface& surface_;
  const SurfaceState& view_;
  const Palette& palette_;
  Single cm_ = 0;        // hue multiplier: ColorMult * 0.1
  Single novaStep_ = 0;  // 100 / NovaFrames: colour age per nova frame
  NewStarLook newLook_;

  std::vector<Star> stars_;
  // Star i owns entries i * Trail .. i * Trail + Trail - 1: the points drawn (PackPoint), or
  // kNoRecord where nothing that can show was drawn.
  std::vector<std::uint32_t> trail_;
  std::vector<std::uint32_t> novaPixels_;     // star i: kNovaPoints entries from i * kNovaPoints
  std::vector<std::uint8_t> novaPixelCount_;  // pixels recorded for star i's nova
  std::vector<Single> novaGrowth_;            // by nova age 1 .. NovaFrames: age ^ 0.6375
  std::vector<BurstSlot> burstSlots_;
  std::vector<BurstParticle> burstParticles_;
  std::vector<CometSlot> cometSlots_;
  std::vector<CometParticle> cometParticles_;
  std::vector<AmbientStar> ambient_;

  Single distance_ = 0;  // of the galaxy centre from the eye
  Single tilt_ = 0;      // radians, kept within one turn
  Integer trailSlot_ = 0;
  long galaxiesBuilt_ = 0;
};

}  // namespace lmvn
