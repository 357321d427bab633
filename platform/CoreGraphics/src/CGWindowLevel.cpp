#include "CoreGraphics/CGWindowLevel.hpp"

CGWindowLevel CGWindowLevelForKey(CGWindowLevelKey key) {
    switch (key) {
        case CGWindowLevelKey::baseWindow:
        case CGWindowLevelKey::minimumWindow: return -2000;
        case CGWindowLevelKey::desktopWindow: return -1000;
        case CGWindowLevelKey::normalWindow: return 0;
        case CGWindowLevelKey::floatingWindow:
        case CGWindowLevelKey::tornOffMenuWindow: return 3;
        case CGWindowLevelKey::modalPanelWindow: return 8;
        case CGWindowLevelKey::dockWindow: return 20;
        case CGWindowLevelKey::mainMenuWindow: return 24;
        case CGWindowLevelKey::statusWindow: return 25;
        case CGWindowLevelKey::popUpMenuWindow: return 101;
        case CGWindowLevelKey::draggingWindow: return 500;
        case CGWindowLevelKey::screenSaverWindow: return 1000;
        case CGWindowLevelKey::maximumWindow: return 2000;
    }
    return 0;
}
