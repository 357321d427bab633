#include "CoreLocation/CLLocation.hpp"

#include <cmath>
#include <numbers>

double CLLocation::distance(const CLLocation& from) const {
    // Vincenty's inverse formula on the WGS-84 ellipsoid; for nearly antipodal places, where it
    // does not settle, the great-circle distance on the mean sphere stands in.
    constexpr double a = 6378137.0;
    constexpr double f = 1 / 298.257223563;
    constexpr double b = a * (1 - f);
    constexpr double radians = std::numbers::pi / 180.0;
    const double lat1 = coordinate_.latitude * radians, lat2 = from.coordinate_.latitude * radians;
    const double L = (from.coordinate_.longitude - coordinate_.longitude) * radians;
    const double U1 = std::atan((1 - f) * std::tan(lat1)), U2 = std::atan((1 - f) * std::tan(lat2));
    const double sinU1 = std::sin(U1), cosU1 = std::cos(U1), sinU2 = std::sin(U2), cosU2 = std::cos(U2);

    double lambda = L, sinSigma = 0, cosSigma = 0, sigma = 0, cos2Alpha = 0, cos2SigmaM = 0;
    bool settled = false;
    for (int i = 0; i < 200; ++i) {
        const double sinLambda = std::sin(lambda), cosLambda = std::cos(lambda);
        sinSigma = std::sqrt(std::pow(cosU2 * sinLambda, 2) + std::pow(cosU1 * sinU2 - sinU1 * cosU2 * cosLambda, 2));
        if (sinSigma == 0) return 0;  // the same place
        cosSigma = sinU1 * sinU2 + cosU1 * cosU2 * cosLambda;
        sigma = std::atan2(sinSigma, cosSigma);
        const double sinAlpha = cosU1 * cosU2 * sinLambda / sinSigma;
        cos2Alpha = 1 - sinAlpha * sinAlpha;
        cos2SigmaM = cos2Alpha != 0 ? cosSigma - 2 * sinU1 * sinU2 / cos2Alpha : 0;
        const double C = f / 16 * cos2Alpha * (4 + f * (4 - 3 * cos2Alpha));
        const double previous = lambda;
        lambda = L + (1 - C) * f * sinAlpha * (sigma + C * sinSigma * (cos2SigmaM + C * cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM)));
        if (std::fabs(lambda - previous) < 1e-12) {
            settled = true;
            break;
        }
    }
    if (!settled) {
        constexpr double meanRadius = 6371008.8;
        const double dLat = lat2 - lat1;
        const double h = std::pow(std::sin(dLat / 2), 2) + std::cos(lat1) * std::cos(lat2) * std::pow(std::sin(L / 2), 2);
        return 2 * meanRadius * std::asin(std::min(1.0, std::sqrt(h)));
    }
    const double u2 = cos2Alpha * (a * a - b * b) / (b * b);
    const double A = 1 + u2 / 16384 * (4096 + u2 * (-768 + u2 * (320 - 175 * u2)));
    const double B = u2 / 1024 * (256 + u2 * (-128 + u2 * (74 - 47 * u2)));
    const double deltaSigma =
        B * sinSigma * (cos2SigmaM + B / 4 * (cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM) -
                                              B / 6 * cos2SigmaM * (-3 + 4 * sinSigma * sinSigma) * (-3 + 4 * cos2SigmaM * cos2SigmaM)));
    return b * A * (sigma - deltaSigma);
}
