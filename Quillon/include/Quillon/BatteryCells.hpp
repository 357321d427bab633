#pragma once
// The table cell views of the device list: a row with one level (the only kind the list fills)
// and a row with two levels.
#include <memory>

#include "AppKit/NSImageView.hpp"
#include "AppKit/NSTableCellView.hpp"
#include "AppKit/NSTextField.hpp"
#include "ZododuvoZoz/DoubleGauge.hpp"
#include "ZododuvoZoz/Gauge.hpp"

namespace Quillon {

/// One device: its picture in the cell's image view, its name, a ring gauge of its level, the
/// level text and the charging mark.
class SingleBatteryCell : public NSTableCellView {
public:
    explicit SingleBatteryCell(CGRect frame = {}) : NSTableCellView(frame) {}

    // Outlets, connected by whoever builds the cell.
    std::weak_ptr<NSTextField> name;
    std::weak_ptr<ZododuvoZoz::Gauge> value;
    std::weak_ptr<NSTextField> level;
    std::weak_ptr<NSImageView> isChargingIcon;
};

/// A device with a left and a right level on one double gauge.
class DoubleBatteryCell : public NSTableCellView {
public:
    explicit DoubleBatteryCell(CGRect frame = {}) : NSTableCellView(frame) {}

    std::weak_ptr<NSTextField> name;
    std::weak_ptr<ZododuvoZoz::DoubleGauge> gauge;
    std::weak_ptr<NSTextField> left;
    std::weak_ptr<NSTextField> right;
};

}  // namespace Quillon
