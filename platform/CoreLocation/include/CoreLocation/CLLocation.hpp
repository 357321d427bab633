#pragma once
// Places on the Earth by latitude and longitude (degrees), and the distance between them along
// the surface of the WGS-84 ellipsoid.
#include <cmath>

struct CLLocationCoordinate2D {
    double latitude = 0;
    double longitude = 0;
    bool operator==(const CLLocationCoordinate2D&) const = default;
};

class CLLocation {
public:
    CLLocation(double latitude, double longitude) : coordinate_{latitude, longitude} {}

    const CLLocationCoordinate2D& coordinate() const { return coordinate_; }
    /// Metres between the two places (geodesic distance on the WGS-84 ellipsoid).
    double distance(const CLLocation& from) const;

private:
    CLLocationCoordinate2D coordinate_;
};
