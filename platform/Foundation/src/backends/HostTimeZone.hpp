#pragma once
// The host's time zone as the C library finds it: the TZ variable, else /etc/localtime (the link
// that systemd's timedatectl and the distributions set, or a copied zone file), else the name in
// /etc/timezone, else UTC. The files are looked up under the system root.
#include <string>

namespace hosttz {

/// A zone name of the time-zone database or a POSIX rule; "UTC" when nothing says otherwise.
std::string identifier();

}  // namespace hosttz
