#include "QuartzCore/CAMediaTimingFunction.hpp"

CAMediaTimingFunction::CAMediaTimingFunction(CAMediaTimingFunctionName name) {
    switch (name) {
        case CAMediaTimingFunctionName::linear: points_ = {0, 0, 1, 1}; break;
        case CAMediaTimingFunctionName::easeIn: points_ = {0.42f, 0, 1, 1}; break;
        case CAMediaTimingFunctionName::easeOut: points_ = {0, 0, 0.58f, 1}; break;
        case CAMediaTimingFunctionName::easeInEaseOut: points_ = {0.42f, 0, 0.58f, 1}; break;
        case CAMediaTimingFunctionName::defaultTiming: points_ = {0.25f, 0.1f, 0.25f, 1}; break;
    }
}

std::array<float, 2> CAMediaTimingFunction::controlPoint(int index) const {
    switch (index) {
        case 1: return {points_[0], points_[1]};
        case 2: return {points_[2], points_[3]};
        case 3: return {1, 1};
        default: return {0, 0};
    }
}
