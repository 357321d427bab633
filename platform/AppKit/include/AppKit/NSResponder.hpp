#pragma once
// The common base of the objects that take part in handling the user's input: the application,
// windows, views and their controllers. Storyboards hand their controllers out as responders.
class NSResponder {
public:
    virtual ~NSResponder() = default;
};
