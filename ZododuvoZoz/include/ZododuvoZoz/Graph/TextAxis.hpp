#pragma once
// An x axis that labels the plot with one text per category: spread evenly from the left edge to
// the right edge, or each centred in its own cell. Centred labels can carry a detail line under
// them, and their cells can be filled, one of them shown as selected by an animated change of
// colours. An empty text leaves its place blank.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSFont.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "QuartzCore/CATextLayer.hpp"
#include "ZododuvoZoz/Graph/PlottingInterfaces.hpp"

namespace ZododuvoZoz {

enum class TextAlignMode { evenly, centered };

class TextAxis : public IAxis {
public:
    TextAxis() = default;
    static std::shared_ptr<TextAxis> make() { return std::make_shared<TextAxis>(); }

    /// 36 with filled cells, else 24.
    CGFloat height() const override { return fillLabel_ ? 36 : 24; }
    void layout(const std::shared_ptr<CALayer>& layer, CGFloat lineWidth) override;
    void clear() override;

    const std::vector<std::string>& texts() const { return texts_; }
    void setTexts(const std::vector<std::string>& texts) { texts_ = texts; }
    /// Lines under the labels of the centred layout, used when there is one per text.
    const std::vector<std::optional<std::string>>& details() const { return details_; }
    void setDetails(const std::vector<std::optional<std::string>>& details) { details_ = details; }
    CGFloat fontSize() const { return fontSize_; }
    void setFontSize(CGFloat size) { fontSize_ = size; }
    CGFloat detailFontSize() const { return detailFontSize_; }
    void setDetailFontSize(CGFloat size) { detailFontSize_ = size; }
    NSFont::Weight fontWeight() const { return fontWeight_; }
    void setFontWeight(NSFont::Weight weight) { fontWeight_ = weight; }
    TextAlignMode alignMode() const { return alignMode_; }
    void setAlignMode(TextAlignMode mode) { alignMode_ = mode; }
    /// Fill the cells (centred layout) and make the axis taller.
    bool fillLabel() const { return fillLabel_; }
    void setFillLabel(bool fill) { fillLabel_ = fill; }
    /// Horizontal shift of the fills, half of it applied.
    CGFloat fillOffset() const { return fillOffset_; }
    void setFillOffset(CGFloat offset) { fillOffset_ = offset; }
    const std::shared_ptr<NSColor>& fillColor() const { return fillColor_; }
    void setFillColor(const std::shared_ptr<NSColor>& color) { fillColor_ = color; }
    /// Setting it animates the old cell back and the new one to the selected colours.
    std::optional<int> selectedIndex() const { return selectedIndex_; }
    void setSelectedIndex(std::optional<int> index);
    const std::shared_ptr<NSColor>& selectedColor() const { return selectedColor_; }
    void setSelectedColor(const std::shared_ptr<NSColor>& color) { selectedColor_ = color; }
    const std::shared_ptr<NSColor>& selectedTextColor() const { return selectedTextColor_; }
    void setSelectedTextColor(const std::shared_ptr<NSColor>& color) { selectedTextColor_ = color; }

    /// Animates the fill and text colours of the old and new category (nothing when they agree).
    void updateSelection(std::optional<int> oldIndex, std::optional<int> newIndex);
    void layoutEvenly(const std::shared_ptr<CALayer>& layer, CGFloat lineWidth);
    void layoutCentered(const std::shared_ptr<CALayer>& layer);
    /// The right edge of a cell when the rectangle's width is cut into one cell per text of whole
    /// points; the last cell takes what is left.
    CGFloat cellEnd(int index, const CGRect& rect) const;

    /// The text layers and cell fills now shown.
    const std::vector<std::shared_ptr<CATextLayer>>& layers() const { return layers_; }
    const std::vector<std::shared_ptr<CAShapeLayer>>& fillLayers() const { return fillLayers_; }

private:
    std::shared_ptr<NSFont> font(CGFloat size) const { return NSFont::systemFont(size, fontWeight_); }

    std::vector<std::shared_ptr<CATextLayer>> layers_;
    std::vector<std::shared_ptr<CAShapeLayer>> fillLayers_;
    // The label and fill of each category of the last layout (none where a text was empty), so
    // that a selection reaches the right cell whatever was left blank or added below.
    std::vector<std::shared_ptr<CATextLayer>> categoryLabels_;
    std::vector<std::shared_ptr<CAShapeLayer>> categoryFills_;
    std::vector<std::string> texts_;
    std::vector<std::optional<std::string>> details_;
    CGFloat fontSize_ = 12;
    CGFloat detailFontSize_ = 10;
    NSFont::Weight fontWeight_ = NSFont::Weight::regular();
    TextAlignMode alignMode_ = TextAlignMode::evenly;
    bool fillLabel_ = false;
    CGFloat fillOffset_ = 4;
    std::shared_ptr<NSColor> fillColor_ = NSColor::separatorColor();
    std::optional<int> selectedIndex_;
    std::shared_ptr<NSColor> selectedColor_ = NSColor::blackColor();
    std::shared_ptr<NSColor> selectedTextColor_ = NSColor::whiteColor();
};

}  // namespace ZododuvoZoz
