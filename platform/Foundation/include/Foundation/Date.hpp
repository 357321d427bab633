#pragma once
// A point in time, kept as seconds since 1 January 2001 (UTC), the platform's reference date, so
// that a date read from a binary property list is written back bit for bit; seconds since 1970
// are reckoned from it.
#include <compare>

class Date {
public:
    /// The present moment of the current clock.
    Date();
    explicit Date(double timeIntervalSince1970) : seconds_(timeIntervalSince1970 - referenceDateOffset) {}

    static Date now() { return Date(); }
    static Date fromTimeIntervalSince1970(double seconds) { return Date(seconds); }
    static Date fromTimeIntervalSinceReferenceDate(double seconds) { return Date(Reference{}, seconds); }
    static Date distantPast() { return Date(-62135769600.0); }
    static Date distantFuture() { return Date(64092211200.0); }

    double timeIntervalSince1970() const { return seconds_ + referenceDateOffset; }
    /// Seconds since 1 January 2001, the platform's reference date.
    double timeIntervalSinceReferenceDate() const { return seconds_; }
    double timeIntervalSinceNow() const;
    double timeIntervalSince(const Date& other) const { return seconds_ - other.seconds_; }
    Date addingTimeInterval(double seconds) const { return Date(Reference{}, seconds_ + seconds); }

    auto operator<=>(const Date&) const = default;

private:
    // Seconds from 1970 to the reference date.
    static constexpr double referenceDateOffset = 978307200.0;
    struct Reference {};
    Date(Reference, double secondsSinceReferenceDate) : seconds_(secondsSinceReferenceDate) {}

    double seconds_;
};
