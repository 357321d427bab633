#pragma once
// What the refresh controller calls after every refresh.

namespace Quillon {

class Observer {
public:
    virtual ~Observer() = default;
    /// The key under which the observer is registered.
    virtual int id() const = 0;
    virtual void setId(int id) = 0;
    /// Called after each refresh; the observer reads the controller's list itself.
    virtual void update() = 0;
};

}  // namespace Quillon
