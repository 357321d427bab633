#pragma once
// The power sources of the machine: its batteries and uninterruptible supplies, each described by
// a dictionary keyed by text ("Name", "Type", "Current Capacity", "Is Charging", ...). A snapshot
// is taken from the current registry's provider (IORegistry::current()); the list and the
// descriptions are read from that snapshot, so they agree with each other however the machine
// changes meanwhile.
#include "IOKit/CFValue.hpp"

/// A snapshot of the power sources; empty when none can be had.
CFTypeRef IOPSCopyPowerSourcesInfo();
/// The sources of a snapshot, as an array with one reference per source in the system's order;
/// empty for an empty snapshot or one of another shape.
CFTypeRef IOPSCopyPowerSourcesList(const CFTypeRef& blob);
/// The description of one source of the snapshot; empty when the reference names no source of
/// it or the source is not described by a dictionary.
CFDictionaryRef IOPSGetPowerSourceDescription(const CFTypeRef& blob, const CFValue& powerSource);
