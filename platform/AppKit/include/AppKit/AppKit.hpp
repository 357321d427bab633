#pragma once
// The whole AppKit stand-in.
#include "AppKit/NSFont.hpp"
#include "AppKit/NSImage.hpp"
#include "AppKit/NSLayoutConstraint.hpp"
#include "AppKit/NSView.hpp"
#include "AppKit/NSWorkspace.hpp"
#include "AppKit/SymbolCatalogue.hpp"
