#pragma once
// How hot the machine runs, from the kernel's thermal zones (/sys/class/thermal under the system
// root; attributes that are regular files of at most a page): the gravest trip point that some
// enabled zone's temperature has reached.
#include "Foundation/ProcessInfo.hpp"

namespace thermalzones {

/// Nominal when no zone has passed a trip point (or none can be read), fair past a passive trip
/// point (the kernel slows the processors), serious past a hot one, critical past a critical one.
ProcessInfo::ThermalState state();

}  // namespace thermalzones
