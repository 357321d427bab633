#pragma once
// The object that stands for null inside collections, where an absent value cannot be stored.

class NSNull {
public:
    bool operator==(const NSNull&) const = default;
};
