#pragma once
// What the desktop's services on the session bus share: whether one answers, or can be started.
#include <string>

#include <sdbus-c++/sdbus-c++.h>

namespace DesktopBus {

/// Whether a peer owns `name` on the bus or the bus can start one for it.
bool canReach(sdbus::IConnection& connection, const std::string& name);

}  // namespace DesktopBus
