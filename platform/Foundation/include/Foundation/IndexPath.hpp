#pragma once
// The place of an item in a list of sections: the section, then the item within it.
#include <compare>

struct IndexPath {
    int section = 0;
    int item = 0;

    static IndexPath make(int item, int section) { return IndexPath{section, item}; }
    auto operator<=>(const IndexPath&) const = default;
};
