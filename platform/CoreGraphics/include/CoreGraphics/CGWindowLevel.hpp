#pragma once
// Window levels: windows of a higher level stay in front of those of a lower one.
#include <cstdint>

enum class CGWindowLevelKey : std::int32_t {
    baseWindow = 1,
    minimumWindow = 2,
    desktopWindow = 3,
    normalWindow = 4,
    floatingWindow = 5,
    tornOffMenuWindow = 6,
    dockWindow = 7,
    mainMenuWindow = 8,
    statusWindow = 9,
    modalPanelWindow = 10,
    popUpMenuWindow = 11,
    draggingWindow = 12,
    screenSaverWindow = 13,
    maximumWindow = 14,
};

using CGWindowLevel = std::int32_t;

/// The level of a key: normal windows are at 0, floating ones at 3, and the others in the key's
/// order around them.
CGWindowLevel CGWindowLevelForKey(CGWindowLevelKey key);
