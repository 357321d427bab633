#pragma once
// Turns the indented text report of the system profiler into a tree of headings.
//
// A heading line is a name followed by ":"; a property line is "key: value". A line belongs to the
// nearest open heading that is less indented than itself (indentation counts leading spaces
// only), so that sibling headings stay siblings however the indentation falls before them. A line
// not deeper than the first heading ends the report.
#include <memory>
#include <optional>
#include <string>

#include "ZuzaduduRez/OutputTree.hpp"

namespace ZuzaduduRez {

class ProfilerOutputParser {
public:
    const std::string propertySplitter = ": ";

    /// An empty tree for absent or empty text.
    std::shared_ptr<OutputTree> parse(const std::optional<std::string>& text) const;

private:
    void addProperty(OutputNode& node, const std::string& line) const;
};

}  // namespace ZuzaduduRez
