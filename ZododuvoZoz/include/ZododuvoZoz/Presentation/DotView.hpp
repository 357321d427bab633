#pragma once
// A row of page dots centred in the view: the selected one in the accent colour, the others in the
// separator colour. A click on a dot selects it and tells the delegate.
#include <memory>

#include "AppKit/NSView.hpp"

namespace ZododuvoZoz {

class DotView;

class DotViewDelegate {
public:
    virtual ~DotViewDelegate() = default;
    /// The user clicked the dot at the index.
    virtual void dotView(DotView& dotView, int didSelect) = 0;
};

class DotView : public NSView {
public:
    explicit DotView(CGRect frame = {}) : NSView(frame) {}
    static std::shared_ptr<DotView> make(CGRect frame = {}) { return std::make_shared<DotView>(frame); }

    /// Held weakly.
    virtual std::shared_ptr<DotViewDelegate> delegate() const { return delegate_.lock(); }
    virtual void setDelegate(const std::shared_ptr<DotViewDelegate>& delegate) { delegate_ = delegate; }
    /// The number of dots; 5 unless set, never below 0 (a negative count shows none). Setting it
    /// redisplays.
    virtual int count() const { return count_; }
    virtual void setCount(int count);
    /// The highlighted dot; 0 unless set. Setting it redisplays.
    virtual int selectedDot() const { return selectedDot_; }
    virtual void setSelectedDot(int index);
    /// The gap between dots; 12 unless set. Setting it redisplays.
    virtual CGFloat distance() const { return distance_; }
    virtual void setDistance(CGFloat distance);

    /// The square of dot `index`: dots as high as the bounds less 2, one point above the bottom,
    /// the row centred on the middle of the width (rounded towards zero to whole points).
    CGRect dotRect(int index) const;

    void draw(const CGRect& dirtyRect) override;
    /// A click within a dot's width (its left edge included, its right edge not) selects it.
    void mouseDown(const NSEvent& event) override;

private:
    std::weak_ptr<DotViewDelegate> delegate_;
    int count_ = 5;
    int selectedDot_ = 0;
    CGFloat distance_ = 12;
};

}  // namespace ZododuvoZoz
