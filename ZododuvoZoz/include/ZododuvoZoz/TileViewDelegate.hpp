#pragma once
// What the owner of a selectable tile hears from it: clicks, and the pointer entering and leaving.
// A tile reports and leaves the decision to its owner, which holds nothing back by default. Views
// that only keep a delegate for their owner hold it weakly through this type.
namespace ZododuvoZoz {

class TileView;

class TileViewDelegate {
public:
    virtual ~TileViewDelegate() = default;
    virtual void tileClicked(TileView& /*tile*/) {}
    virtual void tileEntered(TileView& /*tile*/) {}
    virtual void tileExited(TileView& /*tile*/) {}
};

}  // namespace ZododuvoZoz
