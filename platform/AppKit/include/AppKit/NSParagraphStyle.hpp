#pragma once
// How a paragraph of text is set: its alignment and where its lines break.
#include <memory>

enum class NSTextAlignment { left, right, center, justified, natural };
enum class NSLineBreakMode {
    byWordWrapping, byCharWrapping, byClipping, byTruncatingHead, byTruncatingTail, byTruncatingMiddle
};

class NSMutableParagraphStyle;

class NSParagraphStyle {
public:
    virtual ~NSParagraphStyle() = default;
    /// Natural alignment, lines broken at words.
    static std::shared_ptr<const NSParagraphStyle> defaultStyle();

    NSTextAlignment alignment() const { return alignment_; }
    NSLineBreakMode lineBreakMode() const { return lineBreakMode_; }
    std::shared_ptr<NSMutableParagraphStyle> mutableCopy() const;

protected:
    NSTextAlignment alignment_ = NSTextAlignment::natural;
    NSLineBreakMode lineBreakMode_ = NSLineBreakMode::byWordWrapping;
};
