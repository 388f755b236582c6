#include "settings/themes_galaxy.h"

#include <array>

namespace lmvn {
namespace {

// Seventeen names of 23 characters each, one after the other.
constexpr std::string_view kGalaxyThemeNames =
    "< NONE >               "
    "Classical              "
    "Vast Red-Orange Disk   "
    "Cool Green Sphere      "
    "Holiday Ornament       "
    "Dual-Dome Interior     "
    "Solar Wind Comets      "
    "Twisting Ring World    "
    "Huge Hollow Shell      "
    "Cylindrical Hourglass  "
    "Cylinder-Disk Hybrid   "
    "Rotating Comet Disk    "
    "Spine-Disk Hybrid      "
    "Polar Hemispheres      "
    "Diamond in the Sky     "
    "Unstable Activity      "
    "Dark Matter Sparklers  ";
static_assert(kGalaxyThemeNames.size() == 17 * 23);

// Groups, in order: galaxy (0-7), shape and colour (8-15), new stars (16-18), novas (19-21),
// bursts (22-25), comets (26-32), ambient stars (33-37).
constexpr std::array<std::string_view, kGalaxyThemeCount> kGalaxyThemes = {{
    "2000,200,500,250,100,3,0,2000, 2,2,0.65,20,0.1,240,3,0, 400,10,250, 200,40,500, "
    "100,100,500,0.95, 200,50,100,100,200,0.94,0.9975, 100,2000,0,0.995,0.5,",  // 1
    "2250,1000,1000,750,250,5,0,700, 2,2,0.2,20,0.04,0,3,1, 300,10,250, 100,200,4000, "
    "100,100,300,0.95, 200,50,200,100,200,0.94,0.9975, 100,2000,0,0.99,1,",  // 2
    "2250,225,400,300,100,4,0,2750, 1,1,1,20,0.1,120,3,2, 200,20,1000, 100,30,500, "
    "100,100,300,0.95, 200,50,100,100,200,0.94,0.9975, 100,2000,0,0.995,0.5,",  // 3
    "2000,150,350,250,100,3,0,400, 2,1.4,4,20,0.2,60,3,1, 400,10,200, 200,30,1000, "
    "100,100,300,0.95, 200,50,400,100,200,0.94,0.9975, 100,2000,0,0.995,0.5,",  // 4
    "2250,360,600,450,200,3,0,6000, 1,0.02,0.5,20,0.2,240,3,0, 250,10,250, 200,50,1500, "
    "300,150,600,0.94, 600,50,25,100,800,0.94,0.995, 100,3000,0,0.99,0.6,",  // 5
    "1500,200,600,250,100,3,0,1200, 1.6,1.6,0.68,20,0.1,240,3,0, 250,10,200, 100,40,1000, "
    "75,100,2000,0.95, 1000,50,125,150,2500,0.94,0.9975, 100,2000,0,0.995,0.5,",  // 6
    "2000,200,1000,225,100,4,0,7500, 0.1,1,0.5,160,359,240,3,2, 400,10,200, 200,40,500, "
    "100,100,600,0.95, 200,50,250,100,200,0.94,0.9975, 100,2000,0,0.995,0.5,",  // 7
    "2250,200,500,275,100,3,0,8000, 0.2,0.2,1,60,0.1,180,3,2, 400,10,200, 200,40,800, "
    "100,100,800,0.95, 200,50,150,100,300,0.94,0.9975, 100,2000,0,0.995,0.5,",  // 8
    "2250,150,400,300,100,3,0,720, 1.3,0.7,3,45,0.25,60,3,6, 300,10,275, 120,30,600, "
    "100,100,750,0.92, 200,50,100,100,500,0.94,0.9975, 100,2000,0,0.96,2,",  // 9
    "2250,500,500,600,125,4,0,1000, 1,1,1.5,45,0.1,330,3,5, 300,10,200, 125,100,1500, "
    "100,100,300,0.95, 200,50,200,125,300,0.94,0.9975, 100,4000,0,0.99,0.8,",  // 10
    "1500,250,6000,300,100,3,0,1200, 2,2,1,20,0.3,210,3,4, 250,10,250, 125,40,500, "
    "100,100,1000,0.95, 1200,50,600,300,2000,0.94,0.995, 100,2000,0,0.99,1,",  // 11
    "2250,200,300,225,100,3,0,1000, 5,5,3,20,0.125,330,3,4, 250,10,250, 200,50,2000, "
    "100,100,500,0.92, 200,100,100,100,300,0.96,0.9975, 100,2000,0,0.99,0.75,",  // 12
    "2250,500,600,675,75,3,0,9000, 2,0.05,0.75,90,0.1,250,3,2, 250,10,250, 200,40,500, "
    "100,100,1000,0.95, 200,50,0,300,8000,0.94,0.9975, 100,2000,0,0.99,1,",  // 13
    "2250,200,200,320,80,3,0,3200, 3,3,2,170,359.85,180,3,3, 300,10,500, 150,40,4000, "
    "150,100,2000,0.9, 600,40,0,100,1000,0.95,0.995, 100,2000,0,0.99,1,",  // 14
    "1250,200,500,250,100,3,0,800, 2,2,0.75,20,0.1,240,3,0, 500,5,2000, 250,20,8000, "
    "500,100,1000,0.95, 1000,100,0,2000,0,0.94,0.9, 100,2000,0,0.97,2,",  // 15
    "1200,200,600,200,80,3,0,2000, 2,2,0.75,20,0.1,0,4,0, 1200,10,360, 200,100,1000, "
    "0,100,1000,0.95, 0,100,150,200,400,0.95,0.925, 100,2000,0,0.99,1,",  // 16
}};

constexpr std::array<std::string_view, kGalaxyThemeFields> kGalaxyThemeKeys = {{
    "Galaxy_Stars",
    "Galaxy_Radius",
    "Galaxy_Rotation",
    "Galaxy_Distance",
    "Galaxy_Velocity",
    "Galaxy_Trail",
    "",
    "Galaxy_ColorMult",
    "Galaxy_RadiusExp",
    "Galaxy_HeightExp",
    "Galaxy_GHW_Ratio",
    "Galaxy_AngleTilt",
    "Galaxy_AngleTInc",
    "Galaxy_HWheelIdx",
    "Galaxy_ColorComp",
    "Galaxy_Profile",
    "Galaxy_NewFreq",
    "Galaxy_NewFrames",
    "Galaxy_NewExtMult",
    "Galaxy_NovaFreq",
    "Galaxy_NovaFrames",
    "Galaxy_NovaExtMult",
    "Galaxy_BurstFreq",
    "Galaxy_BurstStars",
    "Galaxy_BurstSpeed",
    "Galaxy_BurstPersist",
    "Galaxy_CometFreq",
    "Galaxy_CometStars",
    "Galaxy_CometOrbit",
    "Galaxy_CometSpeed",
    "Galaxy_CometSWind",
    "Galaxy_CometSPersist",
    "Galaxy_CometCPersist",
    "Galaxy_AmbStars",
    "Galaxy_AmbRadius",
    "Galaxy_AmbSymmetry",
    "Galaxy_AmbPersist",
    "Galaxy_AmbCAgeInc",
}};

}  // namespace

std::string_view GalaxyThemeName(Integer index) {
  if (index < 0 || index > kGalaxyThemeCount) return {};
  return kGalaxyThemeNames.substr(static_cast<std::size_t>(index) * 23, 23);
}

std::string GalaxyTheme(Integer n) {
  if (n < 1 || n > kGalaxyThemeCount) return {};
  return std::string(kGalaxyThemes[static_cast<std::size_t>(n - 1)]);
}

std::string_view GalaxyThemeKey(int field) {
  if (field < 0 || field >= kGalaxyThemeFields) return {};
  return kGalaxyThemeKeys[static_cast<std::size_t>(field)];
}

}  // namespace lmvn
