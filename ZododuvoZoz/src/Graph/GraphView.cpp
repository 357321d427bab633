#include "ZododuvoZoz/Graph/GraphView.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "AppKit/NSAttributedString.hpp"
#include "AppKit/NSBezierPath.hpp"
#include "Foundation/DispatchQueue.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZododuvoZoz/Utilities.hpp"
#include "ZododuvoZoz/ViewExtensions.hpp"
#include "ZuzeDiv/ArrayExtensions.hpp"

namespace ZododuvoZoz {
namespace {
constexpr std::array<std::pair<ScaleMode, double>, 19> kScaleSteps{{
    {ScaleMode::none, 0},        {ScaleMode::one, 1},          {ScaleMode::two, 2},
    {ScaleMode::three, 3},       {ScaleMode::four, 4},         {ScaleMode::five, 5},
    {ScaleMode::ten, 10},        {ScaleMode::fifteen, 15},     {ScaleMode::twenty, 20},
    {ScaleMode::twentyFive, 25}, {ScaleMode::thirty, 30},      {ScaleMode::thirtyFive, 35},
    {ScaleMode::fourty, 40},     {ScaleMode::fourtyFive, 45},  {ScaleMode::fifty, 50},
    {ScaleMode::hundred, 100},   {ScaleMode::thousand, 1000},  {ScaleMode::kilobytes, 1048576},
    {ScaleMode::megabytes, 1073741824},
}};

constexpr CGFloat kLabelWidth = 128;

/// step × q, with q the quotient rounded half away from zero, formed in 64-bit integers. Nothing
/// when the quotient is not finite or the product does not fit: the caller keeps the value.
std::optional<CGFloat> roundedToStep(CGFloat quotient, double step) {
    double q = std::round(quotient);
    if (!std::isfinite(q)) return std::nullopt;
    // 2^63 / step bounds the quotient whose product still fits a signed 64-bit integer.
    if (std::abs(q) >= 9223372036854775808.0 / step) return std::nullopt;
    return static_cast<CGFloat>(static_cast<std::int64_t>(step) * static_cast<std::int64_t>(q));
}

/// A speed taken as a whole number of bytes per second. Speeds below 0 (a minimum rounded below
/// zero) and values that are not numbers count as 0; speeds beyond the 64-bit range as its top.
std::uint64_t wholeBytes(CGFloat value) {
    if (!(value > 0)) return 0;
    if (value >= 18446744073709551616.0) return std::numeric_limits<std::uint64_t>::max();
    return static_cast<std::uint64_t>(value);
}

CGFloat measuredHeight(const std::string& text, const std::shared_ptr<NSFont>& font, CGFloat width) {
    return NSAttributedString(text, {{NSAttributedStringKey::font(), font}}).size(width).height;
}
}  // namespace

double rawValue(ScaleMode mode) {
    for (const auto& [m, step] : kScaleSteps) {
        if (m == mode) return step;
    }
    return 0;
}

std::optional<ScaleMode> scaleModeFrom(double raw) {
    for (const auto& [m, step] : kScaleSteps) {
        if (step == raw) return m;
    }
    return std::nullopt;
}

GridOptions::GridOptions() : gridLineWidth(2.0 / Constants::screenScale()) {}

GraphView::GraphView(CGRect frame) : NSView(frame) { refresh(); }

void GraphView::setReverseCoordinates(bool value) {
    reverseCoordinates_ = value;
    layout();
}

CGFloat GraphView::bottomOffset() const {
    if (axisX_) return axisX_->height();
    if (tickOptions_.showTickMarks && tickOptions_.numberOfTicks > 0) return 4.0;
    return 0;
}

void GraphView::setAxisX(const std::shared_ptr<IAxis>& axis) {
    auto old = std::exchange(axisX_, axis);
    if (old) old->clear();
    effectiveAppearance()->performAsCurrentDrawingAppearance([&] {
        drawGrid();
        if (axisX_) axisX_->layout(layer(), gridOptions_.gridLineWidth);
        drawTicks();
    });
    refresh();
}

std::shared_ptr<IDataPlotter> GraphView::plotterAt(std::size_t index) const {
    return index < plotters_.size() ? plotters_[index] : nullptr;
}

void GraphView::setMinValue(CGFloat value) {
    if (std::isnan(value) || useZeroAsMin_) {
        mMinValue_ = 0;
        return;
    }
    double step = rawValue(scaleMode_);
    if (step == 0) {
        mMinValue_ = value;
        return;
    }
    mMinValue_ = roundedToStep((value - step) / step, step).value_or(value);
}

void GraphView::setMaxValue(CGFloat value) {
    double step = rawValue(scaleMode_);
    if (step == 0) {
        mMaxValue_ = value;
        return;
    }
    // A maximum that is not a finite number can be neither rounded nor given a unit: the last one stays.
    if (!std::isfinite(value)) return;
    if (autoGraphMode_ == AutoGraphMode::none) {
        mMaxValue_ = roundedToStep((step + value) / step, step).value_or(value);
        return;
    }
    mMaxValue_ = value;
    unit_ = Utilities::speedUnit(wholeBytes(value), autoGraphMode_ == AutoGraphMode::bitSpeed);
}

void GraphView::setLabelsEnabled(bool enabled) {
    isLabelsEnabled_ = enabled;
    refresh();
}

void GraphView::addPlotter(const std::shared_ptr<IDataPlotter>& plotter) {
    if (!plotter) return;
    plotters_.push_back(plotter);
    std::shared_ptr<PlotterDelegate> self;
    if (auto view = weak_from_this().lock()) self = std::shared_ptr<PlotterDelegate>(view, static_cast<PlotterDelegate*>(this));
    plotter->setDelegate(self);
    if (plotter->data().empty()) {
        effectiveAppearance()->performAsCurrentDrawingAppearance(
            [&] { plotter->draw(layer(), mMinValue_, mMaxValue_, bottomOffset()); });
    } else {
        dataChanged(plotter->data(), plotter);
    }
}

void GraphView::animate() {
    effectiveAppearance()->performAsCurrentDrawingAppearance([&] {
        for (const auto& plotter : std::vector<std::shared_ptr<IDataPlotter>>(plotters_)) {
            if (auto animatable = std::dynamic_pointer_cast<IAnimatable>(plotter)) {
                animatable->animate(layer(), mMinValue_, mMaxValue_, bottomOffset());
            }
        }
    });
}

void GraphView::clear() {
    for (const auto& plotter : std::vector<std::shared_ptr<IDataPlotter>>(plotters_)) plotter->clear();
    plotters_.clear();
}

void GraphView::refresh() {
    // Colours resolve against the view's own appearance, as they do while AppKit lays it out.
    effectiveAppearance()->performAsCurrentDrawingAppearance([&] {
        setWantsLayer(true);
        auto host = layer();
        host->setMasksToBounds(true);
        host->setGeometryFlipped(isFlipped());
        redraw();
        drawLabels();
    });
}

void GraphView::redraw() {
    drawGrid();
    for (const auto& plotter : std::vector<std::shared_ptr<IDataPlotter>>(plotters_)) {
        plotter->draw(layer(), mMinValue_, mMaxValue_, bottomOffset());
    }
    if (axisX_) axisX_->layout(layer(), gridOptions_.gridLineWidth);
}

void GraphView::drawGrid() {
    gridLayer_->removeFromSuperlayer();
    bottomLineLayer_->removeFromSuperlayer();
    const GridOptions& options = gridOptions_;
    if (!options.drawTopLine && !options.drawBottomLine && options.horizontalSegments == 0 &&
        options.verticalSegments == 0) {
        return;
    }
    auto host = layer();
    if (!host) return;
    const CGFloat w = bounds().width(), h = bounds().height();
    const CGFloat lw = options.gridLineWidth, b = bottomOffset();
    const CGFloat scale = Constants::screenScale();
    const std::optional<CGColor> stroke =
        options.color ? std::optional<CGColor>(options.color->cgColor()) : std::nullopt;

    gridLayer_->setStrokeColor(stroke);
    gridLayer_->setLineWidth(lw);
    gridLayer_->setFillColor(std::nullopt);
    gridLayer_->setContentsScale(scale);
    gridLayer_->setLineDashPhase(options.lineDashPhase);
    gridLayer_->setLineDashPattern(options.lineDashPattern.value_or(std::vector<CGFloat>{}));

    NSBezierPath grid;
    if (options.drawTopLine) {
        grid.move({0, lw / 2});
        grid.line({w, lw / 2});
    }
    if (options.drawBottomLine) {
        // The bottom line is always solid: it never takes the grid's dash settings.
        bottomLineLayer_->setStrokeColor(stroke);
        bottomLineLayer_->setLineWidth(lw);
        bottomLineLayer_->setFillColor(std::nullopt);
        bottomLineLayer_->setContentsScale(scale);
        NSBezierPath line;
        line.move({0, h - b - lw / 2});
        line.line({w, h - b - lw / 2});
        bottomLineLayer_->setPath(cgPath(line));
        host->addSublayer(bottomLineLayer_);
    }
    if (options.horizontalSegments > 1) {
        for (int i = 1; i < options.horizontalSegments; ++i) {
            CGFloat y = (h - b) / options.horizontalSegments * i - lw / 2;
            grid.move({0, y});
            grid.line({w, y});
        }
    }
    if (options.verticalSegments > 1) {
        for (int i = 1; i < options.verticalSegments; ++i) {
            CGFloat x = w / options.verticalSegments * i;
            grid.move({x, 0});
            grid.line({x, h - b});
        }
    }
    gridLayer_->setPath(cgPath(grid));
    host->addSublayer(gridLayer_);
}

void GraphView::drawTicks() {
    if (largeTickLayer_) largeTickLayer_->remove();
    if (smallTickLayer_) smallTickLayer_->remove();
    const TickOptions& options = tickOptions_;
    const CGFloat b = bottomOffset();
    // A count below zero shows no marks, like a count of zero.
    if (!options.showTickMarks || options.numberOfTicks <= 0 || b == 0) return;
    auto host = layer();
    const int n = options.numberOfTicks;
    const CGFloat w = frame().width(), h = frame().height();

    largeTickLayer_ = GradientLayer::make(host, options.fillColors, bounds());
    if (options.enableSmallTicks) smallTickLayer_ = GradientLayer::make(host, {NSColor::separatorColor()}, bounds());

    auto large = NSBezierPath::make();
    auto small = NSBezierPath::make();
    const CGFloat y = h - b;
    for (int i = 0; i < n; ++i) {
        CGFloat x = i == 0 ? options.largeRadius : (i == n - 1 ? w - options.largeRadius : w / (n - 1) * i);
        large->move({x, y});
        large->appendArc({x, y}, options.largeRadius, 0, 360);
        // A single mark has no spacing to put a small mark half of it away, so it gets none.
        if (options.enableSmallTicks && n > 1) {
            CGFloat spacing = w / (n - 1);
            CGFloat sx = spacing * i - spacing / 2;
            small->move({sx, y});
            small->appendArc({sx, y}, options.smallRadius, 0, 360);
        }
    }
    auto shape = [](GradientLayer& dots, const std::shared_ptr<NSBezierPath>& path) {
        // The black fill only makes the mask opaque; the gradient gives the colours.
        dots.setStrokeColor(NSColor::clearColor());
        dots.setFillColor(NSColor::blackColor());
        dots.setLineWidth(0);
        dots.setPath(path);
    };
    if (options.enableSmallTicks && smallTickLayer_) shape(*smallTickLayer_, small);
    if (largeTickLayer_) shape(*largeTickLayer_, large);
}

void GraphView::drawLabels() {
    ZuzeDiv::removeAllFromSuperlayer(textLayers_);
    if (!isLabelsEnabled_) return;
    auto host = layer();
    if (!host) return;
    const auto& font = fontOptions_.font ? fontOptions_.font : NSFont::systemFont(13, NSFont::Weight::semibold());
    const CGFloat w = bounds().width(), h = bounds().height(), b = bottomOffset();
    const CGFloat x = w - kLabelWidth - 4;
    const CGColor color = isDarkMode(*this) ? CGColor::white() : CGColor::black();
    auto addLabel = [&](const std::string& text, CGFloat y) {
        auto label = CATextLayer::make();
        label->setFont(font->fontName());
        label->setFontSize(font->pointSize());
        label->setAlignmentMode(CATextLayerAlignmentMode::right);
        label->setContentsScale(Constants::screenScale());
        label->setZPosition(512);
        label->setForegroundColor(color);
        label->setString(text);
        label->setFrame({x, y, kLabelWidth, font->pointSize()});
        host->addSublayer(label);
        textLayers_.push_back(label);
    };
    if (fontOptions_.showMinValue) {
        std::string text = labelText(mMinValue_);
        addLabel(text, h - b - 4 - measuredHeight(text, font, kLabelWidth));
    }
    if (fontOptions_.showHalfValue) {
        std::string text = labelText(mMinValue_ + (mMaxValue_ - mMinValue_) * 0.5);
        addLabel(text, (h * 0.5 - b * 0.5) - measuredHeight(text, font, kLabelWidth) * 0.5);
    }
    if (fontOptions_.showMaxValue) addLabel(labelText(mMaxValue_), 4.0);
}

std::string GraphView::labelText(CGFloat value) const {
    CGFloat x = value * autoGraphModeTextScale_;
    // In a speed mode every label is written in the unit the maximum chose, so the labels of one
    // graph compare.
    switch (autoGraphMode_) {
        case AutoGraphMode::none: break;
        case AutoGraphMode::byteSpeed: x = x / Utilities::speedDivisor(wholeBytes(mMaxValue_), false); break;
        case AutoGraphMode::bitSpeed: x = x * 8 / Utilities::speedDivisor(wholeBytes(mMaxValue_), true); break;
    }
    int length = std::snprintf(nullptr, 0, "%.0f", x);
    std::string number(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    std::snprintf(number.data(), number.size() + 1, "%.0f", x);
    // A small negative value rounds to 0, not to "-0".
    if (number == "-0") number = "0";
    return number + " " + unit_;
}

void GraphView::calculateMax() {
    CGFloat result = std::numeric_limits<double>::min();
    for (const auto& plotter : plotters_) {
        for (const auto& sample : plotter->data()) {
            if (sample && *sample > result) result = *sample;
        }
    }
    setMaxValue(result);
}

void GraphView::redraw(const std::shared_ptr<IDataPlotter>& plotter) { scheduleDraw(plotter); }

void GraphView::dataChanged(const DataSeries&, const std::shared_ptr<IDataPlotter>& plotter) {
    if (autoCalculateMax_) calculateMax();
    scheduleDraw(plotter);
}

void GraphView::scheduleDraw(const std::shared_ptr<IDataPlotter>& plotter) {
    // The range and offset are read when the block runs, not now.
    std::weak_ptr<NSView> weak = weak_from_this();
    DispatchQueue::main().async([weak, plotter] {
        auto view = std::dynamic_pointer_cast<GraphView>(weak.lock());
        if (!view || !plotter) return;
        // A plotter cleared or taken out of the graph since then draws nothing into it.
        const auto& current = view->plotters_;
        if (std::find(current.begin(), current.end(), plotter) == current.end()) return;
        view->effectiveAppearance()->performAsCurrentDrawingAppearance([&] {
            plotter->draw(view->layer(), view->mMinValue_, view->mMaxValue_, view->bottomOffset());
        });
    });
}

void GraphView::viewWillMoveToSuperview(const std::shared_ptr<NSView>& superview) {
    NSView::viewWillMoveToSuperview(superview);
    if (superview) return;
    clear();
    if (axisX_) axisX_->clear();
    setAxisX(nullptr);
}

void GraphView::viewDidChangeEffectiveAppearance() {
    NSView::viewDidChangeEffectiveAppearance();
    refresh();
}

void GraphView::layout() {
    NSView::layout();
    // Tick marks stand on the bottom band, so they move with the rest.
    effectiveAppearance()->performAsCurrentDrawingAppearance([&] { drawTicks(); });
    refresh();
}

}  // namespace ZododuvoZoz
