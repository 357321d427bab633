#pragma once
// One heading of a profiler report, with its properties and sub-headings.
#include <memory>
#include <string>
#include <vector>

#include "ZuzaduduRez/PropertyCollection.hpp"

namespace ZuzaduduRez {

class OutputNode {
public:
    /// A node named after a heading line: blanks and tabs trimmed from both ends, then one
    /// trailing ":" removed. No children, no properties, no parent.
    explicit OutputNode(const std::string& line);
    static std::shared_ptr<OutputNode> make(const std::string& line) { return std::make_shared<OutputNode>(line); }

    std::string name;
    /// Sub-headings in report order.
    std::vector<std::shared_ptr<OutputNode>> children;
    std::shared_ptr<PropertyCollection> properties = std::make_shared<PropertyCollection>();
    /// Held strongly: a parsed tree is a web of cycles that OutputTree::clear() breaks.
    std::shared_ptr<OutputNode> parent;

    const std::string& description() const { return name; }
};

}  // namespace ZuzaduduRez
