#pragma once
// Amounts of time in a unit, converted between units and written by ICU in the locale's words
// ("1.5 hr", "90 min", "5 sec" in English at the default medium width).
#include <string>

#include "Foundation/Locale.hpp"
#include "Foundation/NumberFormatter.hpp"

class UnitDuration {
public:
    static UnitDuration hours() { return UnitDuration("hour", "hr", 3600.0); }
    static UnitDuration minutes() { return UnitDuration("minute", "min", 60.0); }
    static UnitDuration seconds() { return UnitDuration("second", "s", 1.0); }
    static UnitDuration milliseconds() { return UnitDuration("millisecond", "ms", 1e-3); }
    static UnitDuration microseconds() { return UnitDuration("microsecond", "µs", 1e-6); }
    static UnitDuration nanoseconds() { return UnitDuration("nanosecond", "ns", 1e-9); }
    static UnitDuration picoseconds() { return UnitDuration("picosecond", "ps", 1e-12); }

    /// ICU's name of the unit ("hour").
    const std::string& name() const { return name_; }
    const std::string& symbol() const { return symbol_; }
    /// Seconds in one unit.
    double coefficient() const { return coefficient_; }
    bool operator==(const UnitDuration& other) const { return name_ == other.name_; }

private:
    UnitDuration(std::string name, std::string symbol, double coefficient)
        : name_(std::move(name)), symbol_(std::move(symbol)), coefficient_(coefficient) {}

    std::string name_;
    std::string symbol_;
    double coefficient_;
};

template <class Unit>
struct Measurement {
    double value;
    Unit unit;

    Measurement converted(const Unit& to) const { return {value * unit.coefficient() / to.coefficient(), to}; }
};

class MeasurementFormatter {
public:
    enum class UnitStyle { shortStyle = 1, mediumStyle = 2, longStyle = 3 };

    /// The current locale, the medium unit style and a decimal number formatter.
    MeasurementFormatter();

    UnitStyle unitStyle() const { return unitStyle_; }
    void setUnitStyle(UnitStyle style) { unitStyle_ = style; }
    const Locale& locale() const { return locale_; }
    void setLocale(Locale locale);
    NumberFormatter& numberFormatter() { return numberFormatter_; }
    const NumberFormatter& numberFormatter() const { return numberFormatter_; }

    std::string string(const Measurement<UnitDuration>& measurement) const;

private:
    UnitStyle unitStyle_ = UnitStyle::mediumStyle;
    Locale locale_;
    NumberFormatter numberFormatter_;
};
