#pragma once
// An action message: what a menu item, toolbar item or control sends to its target when the user
// chooses it. It carries the method's name ("aboutClicked:") and the method itself; it reaches a
// target only when the target is of the class that declares the method, as a message reaches only
// an object that responds to it. The sender is passed as an untyped object.
#include <functional>
#include <memory>
#include <string>

#include "AppKit/NSResponder.hpp"

class Selector {
public:
    using Sender = std::shared_ptr<void>;

    Selector() = default;

    /// The method `method` of class T under the name `name`.
    template <class T>
    static Selector make(std::string name, void (T::*method)(const Sender& sender)) {
        Selector selector;
        selector.name_ = std::move(name);
        selector.send_ = [method](NSResponder& target, const Sender& sender) {
            auto* receiver = dynamic_cast<T*>(&target);
            if (!receiver) return false;
            (receiver->*method)(sender);
            return true;
        };
        selector.responds_ = [](NSResponder& target) { return dynamic_cast<T*>(&target) != nullptr; };
        return selector;
    }

    const std::string& name() const { return name_; }
    explicit operator bool() const { return static_cast<bool>(send_); }
    bool operator==(const Selector& other) const { return name_ == other.name_; }

    /// Whether the target answers to this message.
    bool respondsTo(NSResponder& target) const { return responds_ && responds_(target); }
    /// Sends the message to the target; false when the target does not answer to it.
    bool send(NSResponder& target, const Sender& sender) const { return send_ && send_(target, sender); }

private:
    std::string name_;
    std::function<bool(NSResponder&, const Sender&)> send_;
    std::function<bool(NSResponder&)> responds_;
};
