#include "AppKit/ContentBackgroundColors.hpp"

const std::vector<std::shared_ptr<NSColor>>& alternatingContentBackgroundColors() {
    static const std::vector<std::shared_ptr<NSColor>> colors{
        NSColor::controlBackgroundColor(),
        NSColor::dynamic(CGColor{244 / 255.0, 245 / 255.0, 245 / 255.0, 1}, CGColor::gray(1, 0.05),
                         std::string("alternatingContentBackgroundColor")),
    };
    return colors;
}
