#include "degree_lengths.h"

#include <cmath>

namespace lwtool {

DegreeLengths DegreesInMetres(double degrees, double latitude) {
    constexpr double kSemiMajorAxis = 6378137.0;               // WGS 84, metres
    constexpr double kEccentricitySquared = 0.00669437999014;  // WGS 84
    constexpr double kRadiansPerDegree = 0.017453292519943295;
    const double sine = std::sin(latitude * kRadiansPerDegree);
    const double w = 1 - kEccentricitySquared * sine * sine;
    // The radii of curvature along the meridian and across it.
    const double meridian = kSemiMajorAxis * (1 - kEccentricitySquared) / (w * std::sqrt(w));
    const double normal = kSemiMajorAxis / std::sqrt(w);
    const double radians = degrees * kRadiansPerDegree;
    return {meridian * radians, normal * std::cos(latitude * kRadiansPerDegree) * radians};
}

}  // namespace lwtool
