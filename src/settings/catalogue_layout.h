// Where the Properties dialog shows each catalogue key: one X-macro list per section, beside the
// key lists of settings/catalogue_keys.h (which give the label, range, step and default).
//
// Each row: X(Name, Kind, "frame", index, Stepped, "list entries")
//   Name     the catalogue key
//   Kind     how the field validates and how the dialog reads the key: Integer (16-bit), Long
//            (32-bit), Single, Text (free text), Switch (check box, on exactly when the stored
//            number is 1), SwitchNonZero (check box, on when the stored number is not 0), List
//            (list index), Hidden (kept and written, never shown)
//   frame    the frame or sub-page caption the field stands in; "" for the page's main area
//   index    the field's index in its page's array of boxes (its control index); -1 for none
//   Stepped  Up and Down step the field, and it has a spinner (by the catalogue's step)
//   entries  a list's entries, separated by '|'
//
// Rows stand in display order. A catalogue key of a dialog section without a row here still
// gets a field, in its page's main area, with the kind of its catalogue type.
#pragma once

// clang-format off

#define LMVN_GENERAL_LAYOUT(X)                                                                \
  X(AnimationType, List, "", -1, false,                                                       \
    "Fireworks|Starfield|B-Spline Warp|B-Spline Sparklers|Stars and Gravity Wells|Galaxies")  \
  X(PixelSize, Integer, "Display Enhancement", -1, true, "")                                  \
  X(LockMessage, Text, "On Screen Message", -1, false, "")                                    \
  X(FocalLength, Single, "Viewing Focal Length", -1, false, "")                               \
  X(FixedHues, SwitchNonZero, "Pixel Hue Composition", -1, false, "")                         \
  X(ColorRed, Integer, "Pixel Hue Composition", 0, true, "")                                  \
  X(ColorGrn, Integer, "Pixel Hue Composition", 1, true, "")                                  \
  X(ColorBlu, Integer, "Pixel Hue Composition", 2, true, "")

#define LMVN_PIXELCOLOR_LAYOUT(X)                                                             \
  X(ColorPctInt, Integer, "Pixel Color Distribution", 0, true, "")                            \
  X(ColorPctHue, Integer, "Pixel Color Distribution", 1, true, "")                            \
  X(ColorHueWheel, Integer, "Pixel Color Distribution", 2, true, "")

#define LMVN_FIREWORKS_LAYOUT(X)                                                              \
  X(FireWorks, Integer, "", 0, true, "")                                                      \
  X(FireSparks, Integer, "", 1, true, "")                                                     \
  X(FireLength, Integer, "", 2, true, "")                                                     \
  X(FireSymmetry, Single, "", 3, false, "")                                                   \
  X(FireSpeed, Single, "", 4, false, "")                                                      \
  X(FirePersist, Single, "", 5, false, "")                                                    \
  X(FireGravity, Single, "", 6, false, "")                                                    \
  X(FireSizeDev, Integer, "", 7, true, "")                                                    \
  X(FireDamping, Single, "", 8, false, "")                                                    \
  X(FireLaunchPct, Integer, "Launch", 20, false, "")                                          \
  X(FireLaunchPixel, Integer, "Launch", 21, false, "")                                        \
  X(FireLaunchRadius, Single, "Launch", 22, false, "")                                        \
  X(FireLaunchSteps, Integer, "Launch", 23, false, "")                                        \
  X(FireLaunchPersist, Single, "Launch", 24, false, "")                                       \
  X(FireSplinePct, Integer, "Pixel Dispersion Pattern", 9, false, "")                         \
  X(FireSplineKnot, Integer, "Pixel Dispersion Pattern", 10, false, "")                       \
  X(FirePatternPct, Integer, "Pixel Dispersion Pattern", 36, false, "")                       \
  X(FireMultiPct, Integer, "Burst Config:  Multi-Burst", 13, false, "")                       \
  X(FireMultiAge, Integer, "Burst Config:  Multi-Burst", 14, false, "")                       \
  X(FireMultiBurst, Integer, "Burst Config:  Multi-Burst", 15, false, "")                     \
  X(FireMultiMoment, Switch, "Burst Config:  Multi-Burst", -1, false, "")                     \
  X(FireBurstPct, Integer, "Burst Config:  Jet-Burst", 16, false, "")                         \
  X(FireBurstAge, Integer, "Burst Config:  Jet-Burst", 17, false, "")                         \
  X(FireBurstCount, Integer, "Burst Config:  Jet-Burst", 18, false, "")                       \
  X(FireBurstRadius, Single, "Burst Config:  Jet-Burst", 19, false, "")                       \
  X(FireBurstShell, Switch, "Burst Config:  Jet-Burst", -1, false, "")                        \
  X(FireScintPct, Integer, "Burst Config:  Scintillators", 11, false, "")                     \
  X(FireScintStyle, Integer, "Burst Config:  Scintillators", 12, false, "")                   \
  X(FireSparkPct, Integer, "Burst Config:  Sparklers", 25, false, "")                         \
  X(FireSparkAge, Integer, "Burst Config:  Sparklers", 26, false, "")                         \
  X(FireSparkPix, Integer, "Burst Config:  Sparklers", 27, false, "")                         \
  X(FireRingPct, Integer, "Burst Config:  Rings", 28, false, "")                              \
  X(FireRingEmb, Integer, "Burst Config:  Rings", 29, false, "")                              \
  X(FireRingDeg, Integer, "Burst Config:  Rings", 30, false, "")                              \
  X(FireTwistPct, Integer, "Burst Config:  Twisters", 31, false, "")                          \
  X(FireTwistCnt, Integer, "Burst Config:  Twisters", 32, false, "")                          \
  X(FireTwistDeg, Integer, "Burst Config:  Twisters", 33, false, "")                          \
  X(FireTwistRad, Single, "Burst Config:  Twisters", 34, false, "")                           \
  X(FireTwistExt, Single, "Burst Config:  Twisters", 35, false, "")

#define LMVN_STARFIELD_LAYOUT(X)                                                              \
  X(Star_Stars, Integer, "", 0, true, "")                                                     \
  X(Star_Speed, Single, "", 1, false, "")                                                     \
  X(Star_Comet_Percent, Integer, "Comet Properties", 2, true, "")                             \
  X(Star_Comet_Lifespan, Integer, "Comet Properties", 3, true, "")                            \
  X(Star_Comet_Expansion, Integer, "Comet Properties", 4, true, "")                           \
  X(Star_Comet_NonBallistic, Switch, "Comet Properties", -1, false, "")                       \
  X(Star_Dyson_Percent, Integer, "Pattern Properties", 5, true, "")                           \
  X(Star_Dyson_Laterals, Integer, "Pattern Properties", 6, true, "")                          \
  X(Star_Dyson_LatPixels, Integer, "Pattern Properties", 7, true, "")                         \
  X(Star_Dyson_RotAngle, Integer, "Pattern Properties", 8, true, "")                          \
  X(Star_Dyson_Radius, Integer, "Pattern Properties", 9, true, "")

#define LMVN_WARP_LAYOUT(X)                                                                   \
  X(Warp_Works, Integer, "", 0, true, "")                                                     \
  X(Warp_Sparks, Integer, "", 1, true, "")                                                    \
  X(Warp_Length, Integer, "", 2, true, "")                                                    \
  X(Warp_SplineIncs, Integer, "", 3, true, "")                                                \
  X(Warp_Speed, Integer, "", 4, true, "")                                                     \
  X(Warp_Persist, Single, "", 5, false, "")                                                   \
  X(Warp_SizeDev, Integer, "", 6, true, "")                                                   \
  X(Warp_Damping, Single, "", 7, false, "")                                                   \
  X(Warp_CyclePct, Integer, "", 8, true, "")                                                  \
  X(Warp_Type, List, "", -1, false,                                                           \
    "Central Random|Central Reflection|Central Symmetric|Symmetric Reflection|"               \
    "Extended Symmetric")                                                                     \
  X(Warp_HueLock, Switch, "", -1, false, "")

#define LMVN_SPARKLER_LAYOUT(X)                                                               \
  X(B_Spline_Splines, Integer, "", 0, true, "")                                               \
  X(B_Spline_Pixels, Integer, "", 1, true, "")                                                \
  X(B_Spline_SSpeed, Integer, "", 2, true, "")                                                \
  X(B_Spline_ESpeed, Single, "", 3, false, "")                                                \
  X(B_Spline_Persist, Single, "", 4, false, "")                                               \
  X(B_Spline_Gravity, Single, "", 5, false, "")                                               \
  X(B_Spline_Damping, Single, "", 6, false, "")                                               \
  X(B_Spline_AntiGrav, Single, "", 7, false, "")                                              \
  X(B_Spline_MaxExtent, Single, "", 8, false, "")                                             \
  X(B_Spline_Symmetry, Switch, "", -1, false, "")

#define LMVN_GRAVITYWELL_LAYOUT(X)                                                            \
  X(Grav_Emitters, Integer, "", 0, true, "")                                                  \
  X(Grav_Attractors, Integer, "", 1, true, "")                                                \
  X(Grav_Pixels, Integer, "", 2, true, "")                                                    \
  X(Grav_ESpeed, Integer, "", 3, true, "")                                                    \
  X(Grav_Gravity, Long, "", 4, true, "")                                                      \
  X(Grav_ARadius, Integer, "", 5, true, "")                                                   \
  X(Grav_StarMass, Hidden, "", 6, false, "")                                                  \
  X(Grav_TrailLength, Integer, "", 7, true, "")                                               \
  X(Grav_ColorMult, Integer, "", 8, true, "")                                                 \
  X(Grav_ColorComp, List, "", -1, false,                                                      \
    "Distance of Stars from Viewer's Eye|Velocity of Stars|Acceleration of Stars")            \
  X(Grav_Refresh, Integer, "", 9, true, "")

#define LMVN_GALAXY_LAYOUT(X)                                                                 \
  X(Galaxy_Profile, List, "", -1, false,                                                      \
    "Standard|Top-Like|Spherical|Conical|Hyperbolic|Outer-Hyperbolic|Inner-Hyperbolic")       \
  X(Galaxy_Stars, Integer, "Galaxy Characteristics", 0, true, "")                             \
  X(Galaxy_Radius, Integer, "Galaxy Characteristics", 1, true, "")                            \
  X(Galaxy_Rotation, Integer, "Galaxy Characteristics", 2, true, "")                          \
  X(Galaxy_Distance, Integer, "Galaxy Characteristics", 3, true, "")                          \
  X(Galaxy_Velocity, Integer, "Galaxy Characteristics", 4, true, "")                          \
  X(Galaxy_Trail, Integer, "Galaxy Characteristics", 5, true, "")                             \
  X(Galaxy_ColorMult, Integer, "Galaxy Characteristics", 7, true, "")                         \
  X(Galaxy_ColorComp, List, "Galaxy Characteristics", -1, false,                              \
    "Rotational Velocity|Rotational Velocity (Square Root)|Distance from Core|"               \
    "Distance from Core (Squared)|Black (Stars are Invisible)")                               \
  X(Galaxy_RadiusExp, Single, "Galaxy Characteristics", 90, false, "")                        \
  X(Galaxy_HeightExp, Single, "Galaxy Characteristics", 91, false, "")                        \
  X(Galaxy_GHW_Ratio, Single, "Galaxy Characteristics", 92, false, "")                        \
  X(Galaxy_AngleTilt, Integer, "Galaxy Characteristics", 93, false, "")                       \
  X(Galaxy_AngleTInc, Single, "Galaxy Characteristics", 94, false, "")                        \
  X(Galaxy_HWheelIdx, Integer, "Galaxy Characteristics", 95, true, "")                        \
  X(Galaxy_NewFreq, Integer, "New Star Creation", 10, false, "")                              \
  X(Galaxy_NewFrames, Integer, "New Star Creation", 11, false, "")                            \
  X(Galaxy_NewExtMult, Integer, "New Star Creation", 12, false, "")                           \
  X(Galaxy_NovaFreq, Integer, "Nova Star Creation", 20, false, "")                            \
  X(Galaxy_NovaFrames, Integer, "Nova Star Creation", 21, false, "")                          \
  X(Galaxy_NovaExtMult, Integer, "Nova Star Creation", 22, false, "")                         \
  X(Galaxy_BurstFreq, Integer, "Star Burst Creation", 30, false, "")                          \
  X(Galaxy_BurstStars, Integer, "Star Burst Creation", 31, false, "")                         \
  X(Galaxy_BurstSpeed, Integer, "Star Burst Creation", 32, false, "")                         \
  X(Galaxy_BurstPersist, Single, "Star Burst Creation", 33, false, "")                        \
  X(Galaxy_CometFreq, Integer, "Comet Characteristics", 40, false, "")                        \
  X(Galaxy_CometStars, Integer, "Comet Characteristics", 41, false, "")                       \
  X(Galaxy_CometOrbit, Integer, "Comet Characteristics", 42, false, "")                       \
  X(Galaxy_CometSpeed, Integer, "Comet Characteristics", 43, false, "")                       \
  X(Galaxy_CometSWind, Integer, "Comet Characteristics", 44, false, "")                       \
  X(Galaxy_CometSPersist, Single, "Comet Characteristics", 45, false, "")                     \
  X(Galaxy_CometCPersist, Single, "Comet Characteristics", 46, false, "")                     \
  X(Galaxy_AmbStars, Integer, "Ambient Star Characteristics", 60, false, "")                  \
  X(Galaxy_AmbRadius, Long, "Ambient Star Characteristics", 61, false, "")                    \
  X(Galaxy_AmbSymmetry, Single, "Ambient Star Characteristics", 62, false, "")                \
  X(Galaxy_AmbPersist, Single, "Ambient Star Characteristics", 63, false, "")                 \
  X(Galaxy_AmbCAgeInc, Single, "Ambient Star Characteristics", 64, false, "")

// clang-format on
