// What a distance in degrees of longitude and latitude spans on the ground,
// for a reader who thinks in metres: a tolerance of 0.05 is 5.6 km.
#ifndef LOOPWEAVE_TOOL_DEGREE_LENGTHS_H
#define LOOPWEAVE_TOOL_DEGREE_LENGTHS_H

namespace lwtool {

struct DegreeLengths {
    double northSouth;  // metres, along a meridian
    double eastWest;    // metres, along the parallel: shorter, down to none at a pole
};

// `degrees` at `latitude` (in degrees) on the WGS 84 ellipsoid; other
// ellipsoids differ by less than a part in ten thousand.
DegreeLengths DegreesInMetres(double degrees, double latitude);

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_DEGREE_LENGTHS_H
