// Fireworks: how each burst kind emits its sparks and runs frame by frame, the three burst
// geometries (sphere, B-spline path, geometric solids), secondary bursts and the stamps.
#include <cmath>

#include "effects/fireworks.h"
#include "effects/fireworks_stamps.h"
#include "render/random.h"

namespace lmvn {
namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Single kTwoPi = 6.2831855f;
constexpr Single kMinDrawDepth = 0.0001f;

// A table index 0..1000 from a value that should lie in that range.
std::size_t TableIndex(double value) {
  const Long index = CLngOr(value, 0);
  return static_cast<std::size_t>(ClampLong(index, 0, 1000));
}

Integer IDiv16(Integer a, Integer b) {
  return b == 0 ? Integer{0} : static_cast<Integer>(a / b);
}

}  // namespace

Fireworks::State Fireworks::ChooseKind(Single r, const FireworksSettings& s) {
  const Integer percents[] = {s.FireScintPct, s.FireMultiPct, s.FireBurstPct,
                              s.FireSparkPct, s.FireRingPct,  s.FireTwistPct};
  constexpr State kinds[] = {kScintillator, kMultiBurst, kJetBurst, kSparkler, kRing, kTwister};
  long sum = 0;
  for (std::size_t k = 0; k < std::size(kinds); ++k) {
    sum += percents[k];
    if (static_cast<Single>(sum) > r) return kinds[k];
  }
  return kStandard;
}

Single Fireworks::ShellSpeed(Single scale) const {
  return ((1.0f - s_.FireSymmetry) * Rnd() + s_.FireSymmetry) * s_.FireSpeed * scale;
}

void Fireworks::RotateVector(Single x, Single y, Single z, Single angleX, Single angleY,
                             Single& outX, Single& outY, Single& outZ) {
  const double cy = std::cos(static_cast<double>(angleY));
  const double sy = std::sin(static_cast<double>(angleY));
  const double cx = std::cos(static_cast<double>(angleX));
  const double sx = std::sin(static_cast<double>(angleX));
  const auto t = static_cast<Single>(x * sy + z * cy);
  outX = static_cast<Single>(x * cy - z * sy);
  outY = static_cast<Single>(y * cx + t * sx);
  outZ = static_cast<Single>(-y * sx + t * cx);
}

void Fireworks::TwisterEmitPoint(Single x, Single y, Single z, Single& prevX, Single& prevY,
                                 Single& prevZ, Single& angle, Single extent, Integer degPerFrame,
                                 Single& outX, Single& outY, Single& outZ) {
  Single rx = 0, ry = 0, rz = 0;
  RotateVector(x - prevX, y - prevY, z - prevZ, 1.5707964f, angle, rx, ry, rz);
  const Single len = std::sqrt(rx * rx + ry * ry + rz * rz);
  const Single f = angle >= kTwoPi * 0.1f ? 1.0f : angle / (kTwoPi * 0.1f);
  outX = x;
  outY = y;
  outZ = z;
  // A step without length (a leader at rest) has no direction to turn: emit at the leader.
  if (len > 0.0f && std::isfinite(len)) {
    const Single reach = extent * f;
    const Single ex = x + rx / len * reach;
    const Single ey = y + ry / len * reach;
    const Single ez = z + rz / len * reach;
    if (std::isfinite(ex) && std::isfinite(ey) && std::isfinite(ez)) {
      outX = ex;
      outY = ey;
      outZ = ez;
    }
  }
  prevX = x;
  prevY = y;
  prevZ = z;
  angle = angle + static_cast<Single>(degPerFrame) * 3.1415927f / 180.0f;
}

void Fireworks::SolidDirection(Motion& m, Integer kind, Single scale) const {
  const Single h = ShellSpeed(scale) * 0.6666f;
  auto u = [h] { return (2.0f * Rnd() - 1.0f) * h; };
  const Single twoH = 2.0f * h;
  switch (kind) {
    case 0: {  // cube surface: one face at distance h, the other two components free
      const int face = static_cast<int>(Int(Rnd() * 6.0f));
      const Single side = face % 2 == 0 ? h : -h;
      if (face < 2) {
        m.vx = side;
        m.vy = u();
        m.vz = u();
      } else if (face < 4) {
        m.vx = u();
        m.vy = side;
        m.vz = u();
      } else {
        m.vx = u();
        m.vy = u();
        m.vz = side;
      }
      break;
    }
    case 1:    // solid pyramid, apex up
    case 2: {  // solid pyramid, apex down
      m.vy = u();
      const Single reach = kind == 1 ? m.vy + h : h - m.vy;
      const Single ux = u();
      m.vx = twoH != 0.0f ? ux * reach / twoH : 0.0f;
      const Single uz = u();
      m.vz = twoH != 0.0f ? uz * reach / twoH : 0.0f;
      break;
    }
    default: {  // double cone surface
      m.vy = Rnd() * 4.0f * h - twoH;
      const std::size_t a = TableIndex(Rnd() * 1000.0f);
      const Single radius = twoH - std::fabs(m.vy);
      m.vx = radius * CosTable()[a] * 0.5f;
      m.vz = static_cast<Single>(Sgn(Rnd() - 0.5f)) * radius * SinTable()[a] * 0.5f;
      break;
    }
  }
}

void Fireworks::BuildSplinePath(Single x, Single y, Single z) {
  const auto n = static_cast<std::size_t>(s_.FireSplineKnot);
  for (std::size_t i = 0; i + 3 <= n; ++i) {
    knotX_[i] = Rnd() * 4.0f - 2.0f + x;
    knotY_[i] = Rnd() * 4.0f - 2.0f + y;
    knotZ_[i] = Rnd() * 4.0f - 2.0f + z;
  }
  // The last three points repeat the first three: the path is a closed loop.
  for (std::size_t k = 0; k < 3; ++k) {
    knotX_[n - 2 + k] = knotX_[k];
    knotY_[n - 2 + k] = knotY_[k];
    knotZ_[n - 2 + k] = knotZ_[k];
  }
}

void Fireworks::SplineDirection(Motion& m, Single x, Single y, Single z, Single scale,
                                bool halve) const {
  const auto segments = static_cast<Single>(s_.FireSplineKnot - 2);
  auto k = static_cast<std::size_t>(Int(Rnd() * segments));
  if (k + 3 >= knotX_.size()) k = knotX_.size() - 4;
  const Single t = Rnd();
  Single px = 0, py = 0, pz = 0;
  BSplinePoint(px, py, pz, t, knotX_[k], knotY_[k], knotZ_[k], knotX_[k + 1], knotY_[k + 1],
               knotZ_[k + 1], knotX_[k + 2], knotY_[k + 2], knotZ_[k + 2], knotX_[k + 3],
               knotY_[k + 3], knotZ_[k + 3]);
  const Single factor = s_.FireSpeed * scale;
  m.vx = (px - x) * factor;
  m.vy = (py - y) * factor;
  m.vz = (pz - z) * factor;
  if (halve) {
    m.vx *= 0.5f;
    m.vy *= 0.5f;
    m.vz *= 0.5f;
  }
}

void Fireworks::BurstDirection(Motion& m, Single shellX, Single shellY, Single shellZ, Single speed,
                               const Burst& burst, bool halve) {
  switch (burst.geometry) {
    case Geometry::Sphere:
      RandomVector(m.vx, m.vy, m.vz, speed, view_.AspectRatio);
      break;
    case Geometry::Spline:
      SplineDirection(m, shellX, shellY, shellZ, burst.scale, halve);
      break;
    case Geometry::Solid:
      SolidDirection(m, burst.solidKind, burst.scale);
      break;
  }
}

void Fireworks::ChooseBurstLook(Burst& burst, Single shellX, Single shellY, Single shellZ,
                                bool withScale) {
  const Single g = Rnd() * 100.0f;
  if (static_cast<Single>(s_.FireSplinePct) > g) {
    burst.geometry = Geometry::Spline;
  } else if (static_cast<Single>(s_.FireSplinePct + s_.FirePatternPct) > g) {
    burst.geometry = Geometry::Solid;
    burst.solidKind = static_cast<Integer>(Int(Rnd() * 4.0f));
  } else {
    burst.geometry = Geometry::Sphere;
  }
  if (withScale) {
    burst.scale = (static_cast<Single>(s_.FireSizeDev - 1) * Rnd() + 1.0f) * kFireworksWorldUnit;
  }
  if (burst.geometry == Geometry::Spline) BuildSplinePath(shellX, shellY, shellZ);
  palette_.ChooseColorScheme(burst.colour, burst.solid, burst.hue);
}

void Fireworks::StartBurst(Shell& shell, int first) {
  const Integer sparks = s_.FireSparks;
  const State kind = ChooseKind(Rnd() * 100.0f, s_);
  shell.State = kind;
  shell.GroupSize = 1;
  shell.TrailLength = 1;
  // Group strides stay at least 1 when a count asks for more groups than there are sparks.
  switch (kind) {
    case kStandard:
    case kRing: {
      shell.LiveCount = sparks;
      const Integer least = MaxInteger(1, CIntOr(std::log(static_cast<double>(s_.FireLength)), 1));
      shell.TrailLength =
          static_cast<Integer>(Int(Rnd() * static_cast<Single>(s_.FireLength)) + least);
      break;
    }
    case kScintillator:
      shell.GroupSize =
          static_cast<Integer>(Int(Rnd() * static_cast<Single>(s_.FireScintStyle)) * 4.0f + 5.0f);
      shell.LiveCount = IDiv16(sparks, shell.GroupSize);
      break;
    case kMultiBurst:
      shell.GroupSize = MaxInteger(1, IDiv16(sparks, s_.FireMultiBurst));
      shell.LiveCount = IDiv16(sparks, shell.GroupSize);
      break;
    case kJetBurst:
    case kTwister:
      shell.GroupSize =
          MaxInteger(1, IDiv16(sparks, kind == kJetBurst ? s_.FireBurstCount : s_.FireTwistCnt));
      shell.LiveCount =
          static_cast<Integer>(IDiv16(sparks, shell.GroupSize) * (shell.GroupSize - 1));
      break;
    case kSparkler:
      shell.GroupSize = MaxInteger(1, s_.FireSparkPix);
      shell.LiveCount = IDiv16(sparks, shell.GroupSize);
      break;
    default:
      break;
  }

  Burst burst;
  ChooseBurstLook(burst, shell.X, shell.Y, shell.Z, true);

  const Integer g = shell.GroupSize;
  Spark* const base = sparks_.data() + first;
  const int leaderEnd = sparks - g;  // the last leader's offset
  auto atShell = [&shell](Motion& m) {
    m.x = shell.X;
    m.y = shell.Y;
    m.z = shell.Z;
  };
  auto tailCopies = [](Spark& spark) {
    spark.tail = spark.head;
    spark.Age = 0;
    spark.TailActive = false;
  };

  switch (kind) {
    case kStandard:
    case kRing: {
      cues_.PlayCue(kind == kRing ? Cue::RingDisk : Cue::Standard, PlaceOf(shell.X, shell.Z));
      shell.State = kStandard;
      if (kind == kRing) {
        for (std::size_t e = 0; e < ringAngleX_.size(); ++e) {
          ringAngleX_[e] = Rnd() * kTwoPi;
          ringAngleY_[e] = Rnd() * kTwoPi;
        }
      }
      const Single band = static_cast<Single>(s_.FireRingDeg) / 180.0f * 1000.0f;
      for (int j = 0; j < sparks; ++j) {
        Spark& spark = base[j];
        atShell(spark.head);
        if (kind == kRing && burst.geometry != Geometry::Spline) {
          const auto e =
              static_cast<std::size_t>(Int(Rnd() * static_cast<Single>(ringAngleX_.size())));
          const Single speed = ShellSpeed(burst.scale);
          const std::size_t i = TableIndex(Int(band * (Rnd() - 0.5f)) + 500.0f);
          const std::size_t a = TableIndex(Rnd() * 1000.0f);
          const Single wx = speed * CosTable()[a] * SinTable()[i] * view_.AspectRatio;
          const Single wy =
              static_cast<Single>(Sgn(Rnd() - 0.5f)) * speed * SinTable()[a] * SinTable()[i];
          const Single wz = speed * CosTable()[i];
          const std::size_t ring = e < ringAngleX_.size() ? e : 0;
          RotateVector(wx, wy, wz, ringAngleX_[ring], ringAngleY_[ring], spark.head.vx,
                       spark.head.vy, spark.head.vz);
        } else if (kind == kRing) {
          SplineDirection(spark.head, shell.X, shell.Y, shell.Z, burst.scale, false);
        } else {
          BurstDirection(spark.head, shell.X, shell.Y, shell.Z, ShellSpeed(burst.scale), burst,
                         false);
        }
        tailCopies(spark);
        spark.Alive = true;
        spark.Colour = palette_.SchemeColor(burst.solid, burst.colour, burst.hue);
      }
      break;
    }
    case kScintillator:
    case kMultiBurst:
    case kSparkler:
      cues_.PlayCue(kind == kScintillator ? Cue::Scintil
                    : kind == kMultiBurst ? Cue::MultiBurst
                                          : Cue::Sparkle,
                    PlaceOf(shell.X, shell.Z));
      for (int j = 0; j <= leaderEnd; j += g) {
        Spark& spark = base[j];
        atShell(spark.head);
        BurstDirection(spark.head, shell.X, shell.Y, shell.Z, ShellSpeed(burst.scale), burst,
                       false);
        spark.Alive = true;
        if (kind == kSparkler) {
          spark.Colour = palette_.SchemeColor(burst.solid, burst.colour, burst.hue);
          tailCopies(spark);
        } else {
          spark.Colour = kWhite;
        }
      }
      break;
    case kJetBurst:
    case kTwister: {
      const bool twister = kind == kTwister;
      cues_.PlayCue(twister ? Cue::Twister : Cue::JetBurst, PlaceOf(shell.X, shell.Z));
      for (int j = 0; j <= leaderEnd; j += g) {
        Spark& leader = base[j];
        const Single speed =
            twister ? ShellSpeed(burst.scale)
                    : s_.FireSpeed * burst.scale *
                          (((1.0f - s_.FireSymmetry) * Rnd() + s_.FireSymmetry) * 0.5f + 0.25f);
        BurstDirection(leader.head, shell.X, shell.Y, shell.Z, speed, burst, true);
        leader.head.x = shell.X + leader.head.vx;
        leader.head.y = shell.Y + leader.head.vy;
        leader.head.z = shell.Z + leader.head.vz;
        leader.Alive = true;
        if (twister) {
          atShell(leader.tail);   // the previous position
          leader.tail.vx = 0.0f;  // the rotation angle
        }
        for (int k = j + 1; k < j + g; ++k) {
          Spark& follower = base[k];
          follower.head.x = leader.head.x;
          follower.head.y = leader.head.y;
          follower.head.z = leader.head.z;
          RandomVector(follower.head.vx, follower.head.vy, follower.head.vz,
                       twister ? s_.FireTwistRad : s_.FireBurstRadius, view_.AspectRatio);
          follower.Alive = true;
          // Each twister spark takes its own colour of the scheme, as every other burst's do.
          follower.Colour =
              twister ? palette_.SchemeColor(burst.solid, burst.colour, burst.hue) : kWhite;
        }
      }
      break;
    }
    default:
      break;
  }
}

void Fireworks::PlotStamp(Stamp stamp, const Motion& m, Integer size, Colour c) {
  Long sx = 0, sy = 0;
  if (Project(m, sx, sy)) PlotStampAt(stamp, sx, sy, m.z, size, c);
}

void Fireworks::PlotStampAt(Stamp stamp, Long sx, Long sy, Single z, Integer size, Colour c) {
  surface_.SetPixelV(sx, sy, c);
  const std::span<const StampOffset> offsets =
      stamp == Stamp::Scintillator ? ScintillatorOffsets(size)
      : stamp == Stamp::MultiShell ? MultiShellOffsets(size)
                                   : SparkleOffsets(size);
  if (offsets.empty() || !(z > 0.0f)) return;
  const Single u = view_.FocalLength / z;
  for (const StampOffset& o : offsets) {
    Long px = 0, py = 0;
    if (detail::RoundToLong(static_cast<double>(sx) + static_cast<double>(o.a * u), px) &&
        detail::RoundToLong(static_cast<double>(sy) + static_cast<double>(o.b * u), py)) {
      surface_.SetPixelV(px, py, c);
    }
  }
}

void Fireworks::ScintillatorFrame(int s) {
  Shell& shell = shells_[static_cast<std::size_t>(s)];
  const Integer g = shell.GroupSize;
  Spark* const base = sparks_.data() + First(s);
  const Single age = static_cast<Single>(shell.Age);
  for (int j = 0; j <= s_.FireSparks - g; j += g) {
    Spark& spark = base[j];
    if (!spark.Alive) continue;
    PlotStamp(Stamp::Scintillator, spark.head, g, 0);
    spark.head.Step();
    Long sx = 0, sy = 0;
    const bool projected = Project(spark.head, sx, sy);
    if (Rnd() * 1.5f > s_.FirePersist + 0.5f || !projected || !OnScreen(sx, sy)) {
      spark.Alive = false;
      --shell.LiveCount;
    } else if (age < Rnd() * (age + s_.FirePersist * 40.0f)) {  // it flickers
      if (spark.head.z > kMinDrawDepth) {
        PlotStampAt(Stamp::Scintillator, sx, sy, spark.head.z, g, spark.Colour);
      }
      spark.head.Slow(s_.FireGravity, s_.FireDamping);
    }
  }
  if (shell.LiveCount <= 0) NextSpot(s);
}

void Fireworks::MultiBurstFrame(int s) {
  Shell& shell = shells_[static_cast<std::size_t>(s)];
  const Integer g = shell.GroupSize;
  Spark* const base = sparks_.data() + First(s);
  for (int j = 0; j <= s_.FireSparks - g; j += g) {
    Spark& spark = base[j];
    if (!spark.Alive) continue;
    PlotStamp(Stamp::MultiShell, spark.head, g, 0);
    spark.head.Step();
    Long sx = 0, sy = 0;
    if (Project(spark.head, sx, sy) && OnScreen(sx, sy)) {
      if (spark.head.z > kMinDrawDepth) {
        PlotStampAt(Stamp::MultiShell, sx, sy, spark.head.z, g, spark.Colour);
      }
      spark.head.Slow(s_.FireGravity, s_.FireDamping);
    } else {
      spark.Alive = false;  // fragments end by age, not by count
    }
  }
  if (shell.Age >= s_.FireMultiAge) SecondaryBurst(s, true);
}

void Fireworks::JetFrame(int s, bool twister) {
  Shell& shell = shells_[static_cast<std::size_t>(s)];
  const Integer g = shell.GroupSize;
  Spark* const base = sparks_.data() + First(s);
  const Single radius = twister ? s_.FireTwistRad : s_.FireBurstRadius;
  for (int j = 0; j <= s_.FireSparks - g; j += g) {
    Spark& leader = base[j];
    Single ex = leader.head.x, ey = leader.head.y, ez = leader.head.z;
    if (leader.Alive) {
      leader.head.Step();
      Long sx = 0, sy = 0;
      const bool projected = Project(leader.head, sx, sy);
      if ((Rnd() > s_.FirePersist && shell.Age >= s_.FireBurstAge) || !projected ||
          !OnScreen(sx, sy)) {
        leader.Alive = false;
      } else if (twister) {
        TwisterEmitPoint(leader.head.x, leader.head.y, leader.head.z, leader.tail.x, leader.tail.y,
                         leader.tail.z, leader.tail.vx, s_.FireTwistExt, s_.FireTwistDeg, ex, ey,
                         ez);
        leader.head.Slow(s_.FireGravity, s_.FireDamping);
      } else {
        ex = leader.head.x;
        ey = leader.head.y;
        ez = leader.head.z;
        leader.head.Slow(s_.FireGravity, jetDamping_);
      }
    }
    for (int k = j + 1; k < j + g; ++k) {
      Spark& follower = base[k];
      if (!follower.Alive) continue;
      Motion& m = follower.head;
      Plot(m, 0);
      m.Step();
      Long sx = 0, sy = 0;
      bool projected = Project(m, sx, sy);
      if (Rnd() > s_.FireLaunchPersist || !projected || !OnScreen(sx, sy)) {
        if (!leader.Alive) {
          follower.Alive = false;
          --shell.LiveCount;
          continue;
        }
        m.x = ex;
        m.y = ey;
        m.z = ez;
        RandomVector(m.vx, m.vy, m.vz, radius, view_.AspectRatio);
        projected = Project(m, sx, sy);
      }
      if (projected && m.z > kMinDrawDepth) surface_.SetPixelV(sx, sy, follower.Colour);
      m.Slow(s_.FireGravity, s_.FireDamping);
    }
  }
  if (shell.LiveCount <= 0) {
    if (!twister && s_.FireBurstShell) {
      SecondaryBurst(s, false);
    } else {
      NextSpot(s);
    }
  }
}

void Fireworks::SparklerFrame(int s) {
  Shell& shell = shells_[static_cast<std::size_t>(s)];
  const Integer g = shell.GroupSize;
  Spark* const base = sparks_.data() + First(s);
  for (int j = 0; j <= s_.FireSparks - g; j += g) {
    Spark& spark = base[j];
    if (!spark.Alive) continue;
    Plot(spark.head, 0);
    spark.head.Step();
    Long sx = 0, sy = 0;
    if (Project(spark.head, sx, sy) && OnScreen(sx, sy)) {
      if (spark.head.z > kMinDrawDepth) surface_.SetPixelV(sx, sy, spark.Colour);
      spark.head.Slow(s_.FireGravity, s_.FireDamping);
    } else {
      spark.Alive = false;
      --shell.LiveCount;
    }
  }
  if (shell.Age >= s_.FireSparkAge) {
    if (shell.LiveCount < 1) {
      NextSpot(s);
      return;
    }
    // The sparks fly on as sparkle bursts, drawn as stamps from the next frame on.
    shell.State = kSparkleBurst;
    ++shell.Phases;
    for (int j = 0; j <= s_.FireSparks - g; j += g) {
      if (base[j].Alive) Plot(base[j].head, 0);
    }
  }
}

void Fireworks::SparkleBurstFrame(int s) {
  Shell& shell = shells_[static_cast<std::size_t>(s)];
  const Integer g = shell.GroupSize;
  Spark* const base = sparks_.data() + First(s);
  const Single age = static_cast<Single>(shell.Age);
  for (int j = 0; j <= s_.FireSparks - g; j += g) {
    Spark& spark = base[j];
    if (!spark.Alive) continue;
    PlotStamp(Stamp::Sparkle, spark.head, s_.FireSparkPix, 0);
    spark.head.Step();
    Long sx = 0, sy = 0;
    const bool projected = Project(spark.head, sx, sy);
    if (Rnd() * 2.0f > s_.FirePersist + 1.0f || !projected || !OnScreen(sx, sy)) {
      spark.Alive = false;
      --shell.LiveCount;
    } else if (age < Rnd() * (age + s_.FirePersist * 100.0f)) {
      if (spark.head.z > kMinDrawDepth) {
        PlotStampAt(Stamp::Sparkle, sx, sy, spark.head.z, s_.FireSparkPix, spark.Colour);
      }
      spark.head.Slow(s_.FireGravity, s_.FireDamping);
    }
  }
  if (shell.LiveCount <= 0) NextSpot(s);
}

void Fireworks::SecondaryBurst(int s, bool fromMulti) {
  Shell& shell = shells_[static_cast<std::size_t>(s)];
  const Integer g = shell.GroupSize;
  Spark* const base = sparks_.data() + First(s);
  std::size_t count = 0;
  for (int j = 0; j <= s_.FireSparks - g && count < centres_.size(); j += g) {
    Spark& leader = base[j];
    if (fromMulti) {
      if (!leader.Alive) continue;
      centres_[count++] = leader.head;
      PlotStamp(Stamp::MultiShell, leader.head, g, 0);
    } else {
      Long sx = 0, sy = 0;
      if (Project(leader.head, sx, sy) && sx > 0 && sx < view_.ScreenWidth && sy > 0 &&
          sy < view_.ScreenHeight) {
        Motion centre = leader.head;
        centre.vx = centre.vy = centre.vz = 0.0f;
        centres_[count++] = centre;
      }
    }
  }
  if (count == 0) {
    NextSpot(s);
    return;
  }
  ++shell.Phases;
  shell.Age = 0;
  shell.State = kStandard;
  shell.GroupSize = 1;
  shell.LiveCount = s_.FireSparks;
  shell.TrailLength = CIntOr(Int(Rnd() * static_cast<Single>(s_.FireLength)) + 1.0f, 1);
  const double lnSparks = std::log(static_cast<double>(s_.FireSparks));
  const double share =
      lnSparks > 0.0 ? 1.0 - std::log(static_cast<double>(s_.FireMultiBurst)) / lnSparks : 1.0;
  const auto scale2 = static_cast<Single>(share * share * static_cast<double>(kFireworksWorldUnit));

  Burst burst;
  burst.scale = scale2;
  ChooseBurstLook(burst, shell.X, shell.Y, shell.Z, false);
  cues_.PlayCue(Cue::Standard, PlaceOf(shell.X, shell.Z));

  const auto centres = static_cast<Single>(count);
  for (int j = 0; j < s_.FireSparks; ++j) {
    Spark& spark = base[j];
    auto c = static_cast<std::size_t>(Int(Rnd() * centres));
    if (c >= count) c = count - 1;
    const Motion& centre = centres_[c];
    spark.head.x = centre.x;
    spark.head.y = centre.y;
    spark.head.z = centre.z;
    switch (burst.geometry) {
      case Geometry::Sphere:
        RandomVector(spark.head.vx, spark.head.vy, spark.head.vz, ShellSpeed(scale2),
                     view_.AspectRatio);
        break;
      case Geometry::Spline:
        SplineDirection(spark.head, shell.X, shell.Y, shell.Z, scale2, false);
        break;
      case Geometry::Solid:
        SolidDirection(spark.head, burst.solidKind, scale2);
        break;
    }
    if (s_.FireMultiMoment) {
      spark.head.vx += centre.vx;
      spark.head.vy += centre.vy;
      spark.head.vz += centre.vz;
    }
    spark.tail = spark.head;
    spark.Age = 0;
    spark.TailActive = false;
    spark.Alive = true;
    spark.Colour = palette_.SchemeColor(burst.solid, burst.colour, burst.hue);
  }
}

}  // namespace lmvn
