#pragma once
// A column of a table: an identifier, a title for the header and a width.
#include <memory>
#include <string>

#include "CoreGraphics/CGGeometry.hpp"

class NSTableColumn {
public:
    explicit NSTableColumn(std::string identifier) : identifier_(std::move(identifier)) {}
    static std::shared_ptr<NSTableColumn> make(std::string identifier) {
        return std::make_shared<NSTableColumn>(std::move(identifier));
    }

    const std::string& identifier() const { return identifier_; }
    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    /// 100 points unless set; the last column of a table also takes the width left over.
    CGFloat width() const { return width_; }
    void setWidth(CGFloat width) { width_ = width; }

private:
    std::string identifier_;
    std::string title_;
    CGFloat width_ = 100;
};
