#include "Foundation/Date.hpp"

#include "Foundation/Clock.hpp"

Date::Date() : Date(Clock::current()->now()) {}

double Date::timeIntervalSinceNow() const { return seconds_ - Date().seconds_; }
