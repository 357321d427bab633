#pragma once
// The backgrounds that the rows of lists and tables alternate between.
#include <memory>
#include <vector>

#include "AppKit/NSColor.hpp"

/// Two colours that follow the appearance: the content background (white, or near black when
/// dark), then a slightly darker (light appearance) or slightly lighter (dark) one.
const std::vector<std::shared_ptr<NSColor>>& alternatingContentBackgroundColors();
