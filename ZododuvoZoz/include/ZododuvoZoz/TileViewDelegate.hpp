#pragma once
// What the owner of a selectable tile hears from it. Views that only keep a delegate for their
// owner hold it weakly through this type.
namespace ZododuvoZoz {

class TileViewDelegate {
public:
    virtual ~TileViewDelegate() = default;
};

}  // namespace ZododuvoZoz
