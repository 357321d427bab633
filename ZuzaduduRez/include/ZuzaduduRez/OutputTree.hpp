#pragma once
// A parsed profiler report: at most one top heading with everything under it.
#include <memory>
#include <string>
#include <vector>

#include "ZuzaduduRez/OutputNode.hpp"

namespace ZuzaduduRez {

class OutputTree {
public:
    OutputTree() = default;
    /// Breaks the links between parents and children first, so that every node is freed.
    ~OutputTree() { clear(); }
    OutputTree(const OutputTree&) = delete;
    OutputTree& operator=(const OutputTree&) = delete;

    std::vector<std::shared_ptr<OutputNode>> nodes;

    /// The tree as indented text: "name:" lines, the properties two spaces deeper ("key: value"),
    /// then the children two spaces deeper.
    std::string description() const;
    /// Unlinks every node from its parent and its children and empties the tree.
    void clear();
};

}  // namespace ZuzaduduRez
