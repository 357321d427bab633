#pragma once
// The host's time zone as the GNU C library finds it: the TZ variable (a zone file's name under
// $TZDIR or /usr/share/zoneinfo, a zone file's path, or a POSIX rule), else /etc/localtime (the
// link that systemd's timedatectl and the distributions set, or a copied zone file), else the zone
// /etc/timezone names, else UTC. Absolute paths and the zone folder are looked up under the system
// root.
#include <memory>
#include <string>

#include "Foundation/backends/TimeZoneRules.hpp"

namespace hosttz {

struct Zone {
    /// A zone name of the time-zone database ("Europe/Berlin"), a POSIX rule, or "UTC".
    std::string identifier;
    /// Empty where the system has no rules for the name and ICU's own data stands in.
    std::shared_ptr<const TimeZoneRules> rules;
};

/// The zone the C library would take now.
Zone current();
/// The rules a name stands for: its zone file (UTC's when damaged), else the POSIX rule it writes;
/// empty when neither.
std::shared_ptr<const TimeZoneRules> rulesNamed(const std::string& name);

}  // namespace hosttz
