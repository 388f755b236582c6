// The key catalogue, one X-macro list per section.
//
// Each row: X(Name, Type, "default", min, max, step, Control, "dialog label", "note")
//   Name     the stored value name (also the name of the loader's member)
//   Type     the type the saver reads it in: Integer, Long, Single, String, Switch (an
//            Integer that is on exactly when it is 1) or NonZeroSwitch (an Integer that is on
//            whenever it is not 0)
//   default  the text the store would hold for the default value
//   min, max the range the configuration dialogs enforce (0, 0 where there is none)
//   step     the spinner / arrow increment of its dialog field
//   Control  Field, List (list index), Switch (check box), Text (free text), BitSet, None
//
// This file is the only list of keys: the catalogue table, the settings structs, the loaders
// and VisitSettings are all generated from it. Within each section the rows stand in the order
// in which the dialog transfers and template files move them (Grav_StarMass, which no loader
// reads, has its own list; it follows Grav_ARadius in that order).
#pragma once

// clang-format off

#define LMVN_GENERAL_KEYS(X)                                                                  \
  X(AnimationType, Integer, "0", 0, 5, 1, List, "",                                           \
    "Effect number. Start-up reads it with default -1: -1 means no settings were ever "       \
    "stored. The saver clamps it to 0..5.")                                                   \
  X(ColorRed, Integer, "100", 0, 100, 1, Field, "Red (0 - 100):",                             \
    "Hue wheel / fixed colour weight.")                                                       \
  X(ColorGrn, Integer, "100", 0, 100, 1, Field, "Green (0 - 100):", "")                       \
  X(ColorBlu, Integer, "100", 0, 100, 1, Field, "Blue (0 - 100):", "")                        \
  X(FixedHues, NonZeroSwitch, "0", 0, 1, 1, Switch, "Use Fixed Hue:", "On when not 0.")       \
  X(PixelSize, Integer, "1", 1, 9, 1, Field, "Pixel Block Size (1 - 9):",                     \
    "Dot size in screen pixels; clamped to 1..9 at run time.")                                \
  X(FocalLength, Single, "1", 0.01, 9999, 0.1, Field, "Distance (0.01 - 9999):",              \
    "Viewing focal length; clamped to 0.01..9999 at run time.")                               \
  X(LockMessage, String, "", 0, 0, 0, Text, "", "Shown across the saver window; trimmed.")

#define LMVN_PIXELCOLOR_KEYS(X)                                                               \
  X(ColorPctInt, Integer, "0", 0, 100, 1, Field, "Intensity % (0 - 100):",                    \
    "Percent of objects with intensity variation; sum with ColorPctHue at most 100.")         \
  X(ColorPctHue, Integer, "100", 0, 100, 1, Field, "Hue Wheel % (0 - 100):",                  \
    "Percent with hue variation; sum with ColorPctInt at most 100.")                          \
  X(ColorHueWheel, Integer, "60", 0, 360, 5, Field, "Hue Variation (0 - 360):",               \
    "Width of the hue variation in degrees.")

#define LMVN_ADVANCED_KEYS(X)                                                                 \
  X(Adv_TimeDelay, Long, "25", 0, 999, 10, Field, "Delay in Milliseconds (0 - 999):",         \
    "Frame delay in ms; not clamped at run time.")                                            \
  X(Adv_EffectCycle, Long, "0", 0, 30000, 100, Field, "Frames per Effect (100 - 30000):",     \
    "0 = no cycling, otherwise 100..30000 frames per effect; clamped to 100..9999 at run "    \
    "time.")                                                                                  \
  X(Adv_PerfMult, Single, "1", 0.1, 9.9, 0.1, Field, "Performance Multiplier (0.1 - 9.9):",   \
    "Particle count multiplier when cycling or touring.")                                     \
  X(Adv_PickEffects, Long, "249", 1, 255, 1, BitSet, "",                                      \
    "Bits 1, 2, 4, 8, 16, 32 = effects 0 to 5; 64 = all Fireworks themes; 128 = all Galaxy "  \
    "themes; at least one effect bit.")                                                       \
  X(Adv_WindowResize, String, "0", 0, 1, 1, Switch, "Window can be Resized",                  \
    "\"1\" = the saver runs in a resizable captioned window.")                                \
  X(Adv_HueStart, Integer, "0", 0, 359, 5, Field, "Initial Hue Value: (0 - 359):",            \
    "Initial hue value.")

#define LMVN_SOUND_SWITCH_KEYS(X)                                                             \
  X(SoundFX_ON, String, "0", 0, 1, 1, Switch, "Sound Effects Enabled",                        \
    "Sound on exactly when the text is \"1\".")

// The cue files, in cue order (index 0 to 7).
#define LMVN_SOUND_FILE_KEYS(X)                                                               \
  X(Fire_Launch, String, "", 0, 0, 0, Text, "Launch", "Wave file for the shell launch cue.")  \
  X(Fire_Standard, String, "", 0, 0, 0, Text, "Standard Burst (Spherical or Geometric)",      \
    "Standard burst.")                                                                        \
  X(Fire_MultiBurst, String, "", 0, 0, 0, Text, "Multi Burst", "Multi-burst.")                \
  X(Fire_JetBurst, String, "", 0, 0, 0, Text, "Jet Burst", "Jet-burst.")                      \
  X(Fire_Scintil, String, "", 0, 0, 0, Text, "Scintilator", "Scintillator burst.")            \
  X(Fire_Sparkle, String, "", 0, 0, 0, Text, "Sparkler", "Sparkle burst.")                    \
  X(Fire_RingDisk, String, "", 0, 0, 0, Text, "Rings and Disks", "Ring burst.")               \
  X(Fire_Twister, String, "", 0, 0, 0, Text, "Twisters", "Twister burst.")

#define LMVN_SOUNDFX_KEYS(X) LMVN_SOUND_SWITCH_KEYS(X) LMVN_SOUND_FILE_KEYS(X)

#define LMVN_DISPLAYFORM_KEYS(X)                                                              \
  X(WindowState, Integer, "0", 0, 2, 1, None, "",                                             \
    "Written by the saver window: 0 normal, 2 maximised.")                                    \
  X(WindowSize, String, "", 0, 0, 0, None, "",                                                \
    "Left, top, width, height in twips, five digits each (\"00000\"), 20 characters.")

#define LMVN_FIREWORKS_KEYS(X)                                                                \
  X(FireWorks, Integer, "16", 1, 99, 1, Field, "Shells (1 - 99):", "")                        \
  X(FireSparks, Integer, "450", 10, 9999, 10, Field, "Sparks per Shell (10 - 9999):",         \
    "Scaled by the performance multiplier.")                                                  \
  X(FireLength, Integer, "10", 1, 99, 1, Field, "Max. Spark Trail Length (1 - 99):", "")      \
  X(FireSymmetry, Single, "1", 0, 1, 0.1, Field, "Spark Burst Symmetry (0.0 - 1.0):", "")     \
  X(FireSpeed, Single, "25", 0.1, 99.9, 0.1, Field, "Spark Emit Speed (0.1 - 99):", "")       \
  X(FirePersist, Single, "0.95", 0.25, 0.99, 0.01, Field, "Spark Persistence (0.25 - 0.99):", \
    "")                                                                                       \
  X(FireGravity, Single, "0.02", 0, 9.9, 0.01, Field, "Vertical Gravity (0.0 - 9.9):", "")    \
  X(FireSizeDev, Integer, "1", 1, 999, 10, Field, "Extent Magnitude (1 - 999):", "")          \
  X(FireDamping, Single, "0.2", 0, 1, 0.1, Field, "Atmospheric Damping (0.0 - 1.0):", "")     \
  X(FireSplinePct, Integer, "0", 0, 100, 1, Field, "B-Spline Path Burst Percent (0 - 100):",  \
    "")                                                                                       \
  X(FireSplineKnot, Integer, "8", 4, 99, 1, Field, "B-Spline Controls Points (4 - 99):", "")  \
  X(FireScintPct, Integer, "5", 0, 100, 1, Field, "Scintillator Percent (1 - 100):", "")      \
  X(FireScintStyle, Integer, "9", 1, 9, 1, Field, "Style:  Maximum Pattern Size (1 - 9):",    \
    "")                                                                                       \
  X(FireMultiPct, Integer, "20", 0, 100, 1, Field, "Multi-Burst Percent (0 - 100):", "")      \
  X(FireMultiAge, Integer, "30", 5, 99, 1, Field, "Frame Age to Multi-Burst (5 - 99):", "")   \
  X(FireMultiBurst, Integer, "12", 1, 99, 1, Field, "Shells per Multi-Burst (1 - 99):", "")   \
  X(FireBurstPct, Integer, "10", 0, 100, 1, Field, "Jet-Burst Percent (0 - 100):", "")        \
  X(FireBurstAge, Integer, "20", 5, 99, 1, Field, "Min. Age to Decay (5 - 99):", "")          \
  X(FireBurstCount, Integer, "7", 1, 99, 1, Field, "Jets per Burst (1 - 99):", "")            \
  X(FireBurstRadius, Single, "3", 0.25, 99.9, 0.25, Field,                                    \
    "Spark Emission Radius (0.25 - 99.9):", "")                                               \
  X(FireLaunchPct, Integer, "100", 0, 100, 1, Field, "Launch Display Percent (0 - 100):", "") \
  X(FireLaunchPixel, Integer, "60", 10, 999, 1, Field, "Sparks per Launch (10 - 999):", "")   \
  X(FireLaunchRadius, Single, "1", 0.25, 99.9, 0.25, Field,                                   \
    "Spark Emission Radius (0.25 - 99.9):", "")                                               \
  X(FireLaunchSteps, Integer, "50", 1, 999, 1, Field, "Steps during Launch (1 - 999)", "")    \
  X(FireLaunchPersist, Single, "0.88", 0.25, 99.9, 0.01, Field,                               \
    "Spark Persistence (0.25 - 0.99):", "The dialog range is wider than its label says.")     \
  X(FireSparkPct, Integer, "10", 0, 100, 1, Field, "Sparkle-Burst Percent (0 - 100):", "")    \
  X(FireSparkAge, Integer, "30", 5, 99, 1, Field, "Frame Age to Sparkle-Burst (5 - 99):", "") \
  X(FireSparkPix, Integer, "9", 1, 30, 1, Field, "Pixels per Sparkle-Burst (1 - 30):", "")    \
  X(FireRingPct, Integer, "10", 0, 100, 1, Field, "Ring-Burst Percent (0 - 100):", "")        \
  X(FireRingEmb, Integer, "3", 1, 99, 1, Field, "Embedded Rings (1 - 99):", "")               \
  X(FireRingDeg, Integer, "5", 0, 180, 1, Field, "Band Width in Degrees (0 - 180):", "")      \
  X(FireTwistPct, Integer, "10", 0, 100, 1, Field, "Twister-Burst Percent (0 - 100):", "")    \
  X(FireTwistCnt, Integer, "12", 1, 99, 1, Field, "Twister Spark Elements (1 - 99):", "")     \
  X(FireTwistDeg, Integer, "15", 0, 90, 1, Field, "Twister Spark Rotation Degrees (0 - 90):", \
    "")                                                                                       \
  X(FireTwistRad, Single, "2", 0.1, 99.9, 1, Field, "Twister Spark Burst Radius (0.1 - 99.9):", \
    "The Properties dialog loads it as a whole number.")                                      \
  X(FireTwistExt, Single, "25", 0, 999.9, 1, Field,                                           \
    "Twister Spark Rotation Radius (0 - 999.9):",                                             \
    "The Properties dialog loads it as a whole number.")                                      \
  X(FirePatternPct, Integer, "40", 0, 100, 1, Field,                                          \
    "Geometric Solid Burst Percent (0 - 100):", "")                                           \
  X(FireMultiMoment, Switch, "1", 0, 1, 1, Switch, "Preserve Burst Momentum:", "")            \
  X(FireBurstShell, Switch, "1", 0, 1, 1, Switch, "Burst Shell on Trail Termination:", "")

#define LMVN_STARFIELD_KEYS(X)                                                                \
  X(Star_Stars, Integer, "120", 10, 999, 10, Field, "Stars (10 - 999):",                      \
    "Scaled by the performance multiplier.")                                                  \
  X(Star_Speed, Single, "0.005", 0.0001, 1, 0.001, Field, "Forward Speed (0.0001 - 1.0):", "") \
  X(Star_Comet_Percent, Integer, "50", 1, 100, 1, Field, "Percent (0 - 100):", "")            \
  X(Star_Comet_Lifespan, Integer, "200", 10, 999, 10, Field, "Lifespan (10 - 999):", "")      \
  X(Star_Comet_Expansion, Integer, "15", 1, 99, 1, Field, "Expansion Rate (1 - 99):", "")     \
  X(Star_Comet_NonBallistic, Switch, "1", 0, 1, 1, Switch, "Exhibit Non-ballistic Motion:",   \
    "")                                                                                       \
  X(Star_Dyson_Percent, Integer, "20", 1, 100, 1, Field, "Percent (0 - 100):", "")            \
  X(Star_Dyson_Laterals, Integer, "2", 1, 20, 1, Field, "Lateral Lines (1 - 20):", "")        \
  X(Star_Dyson_LatPixels, Integer, "10", 1, 50, 1, Field, "Stars per Lateral (1 - 50):", "")  \
  X(Star_Dyson_RotAngle, Integer, "1", 0, 90, 1, Field, "Rotation Angle (0 - 90):", "")       \
  X(Star_Dyson_Radius, Integer, "10", 1, 50, 1, Field, "Sphere Radius (1 - 50):", "")

#define LMVN_WARP_KEYS(X)                                                                     \
  X(Warp_Works, Integer, "100", 1, 999, 10, Field, "Splines (1 - 999):", "")                  \
  X(Warp_Sparks, Integer, "30", 10, 999, 10, Field, "Sparks per Spline (10 - 999):",          \
    "Scaled by the performance multiplier.")                                                  \
  X(Warp_Length, Integer, "12", 1, 99, 1, Field, "Spark Trail Length (1 - 99):", "")          \
  X(Warp_SplineIncs, Integer, "250", 1, 999, 10, Field, "Steps per Control Point (1 - 999):", \
    "")                                                                                       \
  X(Warp_Speed, Single, "8", 1, 999, 10, Field, "Spark Emit Speed (1 - 999):",                \
    "The Properties dialog shows it as a whole number.")                                      \
  X(Warp_Persist, Single, "0.98", 0.25, 0.99, 0.01, Field, "Spark Persistence (0.25 - 0.99):", \
    "")                                                                                       \
  X(Warp_SizeDev, Integer, "1", 1, 999, 10, Field, "Extent Magnitude (1 - 999):",             \
    "The Properties dialog loads it as a Single.")                                            \
  X(Warp_Damping, Single, "0.02", 0, 1, 0.01, Field, "Atmospheric Damping (0.0 - 1.0):", "")  \
  X(Warp_CyclePct, Integer, "100", 0, 100, 1, Field, "Lock Percent (0 - 100):",               \
    "The Properties dialog loads it as a Single.")                                            \
  X(Warp_Type, Integer, "4", 0, 4, 1, List, "Warp Type",                                      \
    "0 \"Central Random\", 1 \"Central Reflection\", 2 \"Central Symmetric\", 3 \"Symmetric " \
    "Reflection\", 4 \"Extended Symmetric\"")                                                 \
  X(Warp_HueLock, Switch, "1", 0, 1, 1, Switch, "Hue Lock:", "On exactly when 1.")

#define LMVN_SPARKLER_KEYS(X)                                                                 \
  X(B_Spline_Splines, Integer, "20", 1, 999, 1, Field, "Splines (1 - 999):", "")              \
  X(B_Spline_Pixels, Integer, "2400", 10, 9999, 10, Field, "Total Sparks (10 - 9999):",       \
    "Scaled by the performance multiplier.")                                                  \
  X(B_Spline_SSpeed, Integer, "120", 1, 999, 10, Field, "Steps per Control Point (1 - 999):", \
    "")                                                                                       \
  X(B_Spline_ESpeed, Single, "2", 0.25, 999, 0.25, Field, "Spark Emit Speed (0.25 - 999):",   \
    "")                                                                                       \
  X(B_Spline_Persist, Single, "0.95", 0.25, 0.99, 0.01, Field,                                \
    "Spark Persistence (0.25 - 0.99):", "")                                                   \
  X(B_Spline_Gravity, Single, "0", 0, 9.99, 0.01, Field, "Vertical Gravity (0.0 - 9.99):", "") \
  X(B_Spline_Damping, Single, "0", 0, 1, 0.01, Field, "Atmospheric Damping (0.0 - 1.0):", "") \
  X(B_Spline_AntiGrav, Integer, "4", 0, 999, 1, Field, "Solar Wind Magnitude (0.0 - 999):",   \
    "")                                                                                       \
  X(B_Spline_MaxExtent, Single, "0.75", 0, 99, 0.01, Field, "Max. Center Extent (0.001 - 99):", \
    "")                                                                                       \
  X(B_Spline_Symmetry, Switch, "1", 0, 1, 1, Switch, "Symmetric about Center:",               \
    "On exactly when 1.")

#define LMVN_GRAVITYWELL_KEYS(X)                                                              \
  X(Grav_Emitters, Integer, "1", 1, 9, 1, Field, "Emitters (1 - 9):", "")                     \
  X(Grav_Attractors, Integer, "2", 1, 9, 1, Field, "Attractors (1 - 9):", "")                 \
  X(Grav_Pixels, Integer, "2000", 10, 9999, 10, Field, "Particles (10 - 9999):",              \
    "Scaled by the performance multiplier.")                                                  \
  X(Grav_ESpeed, Single, "20", 1, 999, 10, Field, "Particle Emit Speed (1 - 999):",           \
    "The Properties dialog loads it as a whole number.")                                      \
  X(Grav_Gravity, Single, "125", 1, 30000, 10, Field, "Attractor Gravity (1 - 30000):",       \
    "The Properties dialog loads it as a 32-bit whole number.")                               \
  X(Grav_ARadius, Integer, "1", 0, 99, 1, Field, "Attractor Radius (0 - 99):", "")            \
  X(Grav_TrailLength, Long, "5", 1, 999, 10, Field, "Particle Trail Length (1 - 999):",       \
    "The Properties dialog loads it as a whole number.")                                      \
  X(Grav_ColorMult, Long, "1200", 1, 9999, 10, Field,                                         \
    "Particle Hue Computation Type / Multiplier (1 - 9999)",                                  \
    "The Properties dialog loads it as a whole number.")                                      \
  X(Grav_Refresh, Long, "1000", 0, 9999, 10, Field, "Frames per Cycle (0 - 9999):", "")       \
  X(Grav_ColorComp, Integer, "1", 0, 2, 1, List, "",                                          \
    "0 \"Distance of Stars from Viewer's Eye\", 1 \"Velocity of Stars\", 2 \"Acceleration "   \
    "of Stars\"")

// Keys that the dialog and template files write but no loader reads.
#define LMVN_GRAVITYWELL_UNREAD_KEYS(X)                                                       \
  X(Grav_StarMass, String, "", 0, 0, 0, Field, "",                                            \
    "Written by the Properties dialog (its Gravity field 6) and by template files; read by "  \
    "nothing.")

#define LMVN_GALAXY_KEYS(X)                                                                   \
  X(Galaxy_Stars, Integer, "2500", 10, 9999, 10, Field, "Stars (10 - 9999):",                 \
    "Scaled by the performance multiplier.")                                                  \
  X(Galaxy_Radius, Single, "225", 1, 9999, 10, Field, "Radius (1 - 9999):",                   \
    "The Properties dialog loads it as a whole number.")                                      \
  X(Galaxy_Rotation, Single, "500", 0, 9999, 10, Field, "Rotation Speed (0 - 9999):",         \
    "The Properties dialog loads it as a whole number.")                                      \
  X(Galaxy_Distance, Long, "200", 0, 9999, 10, Field, "Distance from Eye (0 - 9999):",        \
    "The Properties dialog loads it as a whole number.")                                      \
  X(Galaxy_Velocity, Integer, "100", 0, 9999, 10, Field,                                      \
    "Velocity through the Core (0 - 9999):", "")                                              \
  X(Galaxy_Trail, Integer, "3", 1, 999, 1, Field, "Star Trail Length (1 - 999):", "")         \
  X(Galaxy_ColorMult, Long, "2000", 1, 9999, 10, Field,                                       \
    "Star Hue Computation Type / Multiplier (1 - 9999)",                                      \
    "The Properties dialog loads it as a whole number.")                                      \
  X(Galaxy_NewFreq, Integer, "300", 0, 9999, 1, Field, "New Stars Frequency (0 - 9999):", "") \
  X(Galaxy_NewFrames, Integer, "10", 1, 999, 1, Field,                                        \
    "New Star Cycle Down Frames (1 - 999):", "")                                              \
  X(Galaxy_NewExtMult, Single, "250", 1, 9999, 1, Field,                                      \
    "Star Max. Extension Magnitude (1 - 9999):",                                              \
    "The Properties dialog loads it as a whole number.")                                      \
  X(Galaxy_NovaFreq, Integer, "150", 0, 9999, 1, Field, "Nova Stars Frequency (0 - 9999):",   \
    "")                                                                                       \
  X(Galaxy_NovaFrames, Integer, "40", 1, 999, 1, Field,                                       \
    "Nova Star Cycle Down Frames (1 - 999):", "")                                             \
  X(Galaxy_NovaExtMult, Single, "600", 1, 9999, 1, Field,                                     \
    "Nova Max. Extension Magnitude (1 - 9999):",                                              \
    "The Properties dialog loads it as a whole number.")                                      \
  X(Galaxy_BurstFreq, Integer, "200", 0, 9999, 1, Field, "Star Burst Frequency (0 - 9999):",  \
    "")                                                                                       \
  X(Galaxy_BurstStars, Integer, "100", 1, 999, 1, Field, "Pixels per Star Burst (1 - 999):",  \
    "")                                                                                       \
  X(Galaxy_BurstSpeed, Single, "500", 1, 9999, 1, Field, "Burst Expansion Rate (1 - 9999):",  \
    "The Properties dialog loads it as a whole number.")                                      \
  X(Galaxy_BurstPersist, Single, "0.95", 0.25, 0.99, 0.01, Field,                             \
    "Burst Star Persistence (0.25 - 0.99):", "")                                              \
  X(Galaxy_CometFreq, Integer, "250", 0, 9999, 1, Field, "Comet Frequency (0 - 9999):", "")   \
  X(Galaxy_CometStars, Integer, "50", 1, 999, 1, Field, "Stars per Comet (1 - 999):", "")     \
  X(Galaxy_CometOrbit, Single, "150", 0, 9999, 1, Field, "Comet Orbital Speed (0 - 9999):",   \
    "The Properties dialog loads it as a whole number.")                                      \
  X(Galaxy_CometSpeed, Single, "200", 0, 9999, 1, Field, "Exp. Rate, Solar Wind (1 - 9999):", \
    "The Properties dialog loads it as a whole number.")                                      \
  X(Galaxy_CometSWind, Single, "500", 1, 9999, 1, Field, "Exp. Rate, Solar Wind (1 - 9999):", \
    "The Properties dialog loads it as a whole number.")                                      \
  X(Galaxy_CometSPersist, Single, "0.95", 0.25, 0.9999, 0.0001, Field,                        \
    "Persist. Star, Comet (0.25 - 0.9999):", "")                                              \
  X(Galaxy_CometCPersist, Single, "0.998", 0.25, 0.9999, 0.0001, Field,                       \
    "Persist. Star, Comet (0.25 - 0.9999):",                                                  \
    "The Galaxy loader spells the name Galaxy_CometcPersist (the same value: names are "      \
    "case-insensitive).")                                                                     \
  X(Galaxy_AmbStars, Integer, "150", 0, 999, 1, Field, "Ambient Stars (0 - 999):",            \
    "Scaled by the performance multiplier.")                                                  \
  X(Galaxy_AmbRadius, Long, "2500", 100, 99999, 1, Field, "Domain Radius (100 - 99999):",     \
    "The Properties dialog loads it as a 16-bit whole number, so a stored value above "       \
    "32767 shows there as 0.")                                                                \
  X(Galaxy_AmbSymmetry, Single, "0", 0, 1, 0.01, Field, "Dispersion Symmetry (0.0 - 1.0):",   \
    "")                                                                                       \
  X(Galaxy_AmbPersist, Single, "0.99", 0.25, 1, 0.01, Field, "Star Persistence (0.25 - 1.0):", \
    "")                                                                                       \
  X(Galaxy_AmbCAgeInc, Single, "0.5", 0, 1, 0.01, Field, "Color Aging Increment (0.0 - 10.0):", \
    "The dialog range is narrower than its label says.")                                      \
  X(Galaxy_RadiusExp, Single, "1.5", 0, 99.9, 0.1, Field, "Radius, Height Exp. (0.0 - 99.9):", \
    "")                                                                                       \
  X(Galaxy_HeightExp, Single, "2", 0, 99.9, 0.1, Field, "Radius, Height Exp. (0.0 - 99.9):",  \
    "")                                                                                       \
  X(Galaxy_GHW_Ratio, Single, "0.6", 0, 99.9, 0.1, Field,                                     \
    "Galaxy Height / Width Ratio (0.0 - 99.9):", "")                                          \
  X(Galaxy_AngleTilt, Single, "20", 0, 360, 1, Field,                                         \
    "Tilt Angle, Inc. in Degrees (0 - 360):", "The dialog takes whole numbers.")              \
  X(Galaxy_AngleTInc, Single, "0.075", 0, 360, 0.001, Field,                                  \
    "Tilt Angle, Inc. in Degrees (0 - 360):", "")                                             \
  X(Galaxy_HWheelIdx, Integer, "240", 0, 359, 1, Field, "Initial Hue Wheel Value: (0 - 359):", \
    "The Properties dialog loads it as a Single.")                                            \
  X(Galaxy_ColorComp, Integer, "3", 0, 4, 1, List, "",                                        \
    "Hue source list (3 = \"Distance from Core (Squared)\").")                                \
  X(Galaxy_Profile, Integer, "0", 0, 6, 1, List, "Galay Profile:",                            \
    "Profile list (0 = \"Standard\").")

// clang-format on
