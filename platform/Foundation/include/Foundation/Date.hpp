#pragma once
// A point in time, kept as seconds since 1 January 1970 (UTC).
#include <compare>

class Date {
public:
    /// The present moment of the current clock.
    Date();
    explicit Date(double timeIntervalSince1970) : seconds_(timeIntervalSince1970) {}

    static Date now() { return Date(); }
    static Date fromTimeIntervalSince1970(double seconds) { return Date(seconds); }
    static Date distantPast() { return Date(-62135769600.0); }
    static Date distantFuture() { return Date(64092211200.0); }

    double timeIntervalSince1970() const { return seconds_; }
    /// Seconds since 1 January 2001, the platform's reference date.
    double timeIntervalSinceReferenceDate() const { return seconds_ - 978307200.0; }
    double timeIntervalSinceNow() const;
    double timeIntervalSince(const Date& other) const { return seconds_ - other.seconds_; }
    Date addingTimeInterval(double seconds) const { return Date(seconds_ + seconds); }

    auto operator<=>(const Date&) const = default;

private:
    double seconds_;
};
