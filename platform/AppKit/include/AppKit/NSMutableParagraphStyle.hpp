#pragma once
// A paragraph style that can be changed.
#include "AppKit/NSParagraphStyle.hpp"

class NSMutableParagraphStyle : public NSParagraphStyle {
public:
    void setAlignment(NSTextAlignment alignment) { alignment_ = alignment; }
    void setLineBreakMode(NSLineBreakMode mode) { lineBreakMode_ = mode; }
};
