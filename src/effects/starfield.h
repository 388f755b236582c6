// 3-D Starfield: the viewer flies forward through a field of stars, with a comet that sheds
// stars sideways and Dyson spheres that turn about the viewing axis while they approach.
#pragma once

#include <span>
#include <vector>

#include "effects/effect.h"
#include "settings/loaders.h"

namespace lmvn {

class Starfield final : public Effect {
 public:
  struct Star {
    Single X = 0, Y = 0, Z = 0;
    Single VX = 0, VY = 0;
    bool Active = false;
    lmvn::Colour Colour = 0;
    bool DysonMember = false;
    Single RingAngle = 0, RingRadius = 0, RingCentreX = 0, RingCentreY = 0;
    // The dot on the surface now (width 0: none), so the erase covers exactly what was drawn.
    Long DotX = 0, DotY = 0;
    int DotWidth = 0;
  };
  struct Point3 {
    Single x = 0, y = 0, z = 0;
  };

  // Clamps the settings, sets up the comet and gives birth to every star (drawing them).
  Starfield(const StarfieldSettings& settings, const EffectContext& context);

  void Frame() override;

  // The settings as clamped for this run, and the run's state, for the tests.
  const StarfieldSettings& settings() const { return s_; }
  std::span<const Star> stars() const { return stars_; }
  Integer ReserveCount() const { return static_cast<Integer>(reserve_.size()); }
  Integer SphereSize() const { return sphereSize_; }
  Point3 head() const { return head_; }
  long SpheresBuilt() const { return spheresBuilt_; }

  // Drawing width of a star at depth z: grows as the star approaches. Capped far beyond any
  // screen (a dot that wide covers the whole surface anyway).
  static int DotWidth(Single focalLength, Single z);
  // A star leaves the field when it is too near or its projection is off the surface. A
  // projection exactly on the right or bottom edge still counts as inside.
  static bool Leaves(const SurfaceState& view, Single z, Long sx, Long sy);

  // The colour k steps of (LatPixels + 1) from c1 towards c2.
  static Colour BlendColor(Colour c1, Colour c2, Integer k, Integer latPixels);

 private:
  void NewCometPath();
  void Birth(Star& star, Integer index, bool atSetup);
  void Draw(Star& star);
  void DrawAt(Star& star, Long sx, Long sy);
  void Erase(Star& star);
  void BuildSphere();
  void PlaceDysonStar(Star& star, Single angle, Single latitude, Single ringRadius, Single cx,
                      Single cy) const;
  void MoveComet();

  StarfieldSettings s_;
  Surface& surface_;
  const SurfaceState& view_;
  const Palette& palette_;

  Single rotStep_ = 0;
  Integer sphereSize_ = 0;
  Single cometSpread_ = 0;
  Single cometChance_ = 0;
  Single farZ_ = 0;  // FocalLength + 0.9999, the far plane where stars are born

  std::vector<Star> stars_;
  std::vector<Integer> reserve_;  // dark stars set aside for the next sphere

  Point3 head_, headV_;
  Integer cometFrame_ = 0;
  Point3 cp_[4];
  long spheresBuilt_ = 0;
};

}  // namespace lmvn
