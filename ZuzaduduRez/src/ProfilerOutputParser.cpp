#include "ZuzaduduRez/ProfilerOutputParser.hpp"

#include <utility>
#include <vector>

#include "Foundation/StringTrimming.hpp"

namespace ZuzaduduRez {

namespace {

std::vector<std::string> nonEmptyLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::size_t indentation(const std::string& line) {
    std::size_t count = 0;
    while (count < line.size() && line[count] == ' ') ++count;
    return count;
}

}  // namespace

std::shared_ptr<OutputTree> ProfilerOutputParser::parse(const std::optional<std::string>& text) const {
    auto tree = std::make_shared<OutputTree>();
    if (!text) return tree;
    auto lines = nonEmptyLines(*text);
    if (lines.empty()) return tree;

    auto top = OutputNode::make(lines.front());
    const auto topDepth = indentation(lines.front());
    // The open headings, each with the indentation of its line, innermost last.
    std::vector<std::pair<std::size_t, std::shared_ptr<OutputNode>>> open{{topDepth, top}};
    // Property lines at the top heading's own indentation, right after it, are its own.
    bool underTop = true;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto& line = lines[i];
        auto depth = indentation(line);
        if (underTop && depth == topDepth && line.find(propertySplitter) != std::string::npos) {
            addProperty(*top, line);
            continue;
        }
        underTop = false;
        while (!open.empty() && open.back().first >= depth) open.pop_back();
        if (open.empty()) break;  // not inside the top heading: the report is over
        const auto& owner = open.back().second;
        if (line.find(propertySplitter) != std::string::npos) {
            addProperty(*owner, line);
        } else {
            auto node = OutputNode::make(line);
            node->parent = owner;
            owner->children.push_back(node);
            open.emplace_back(depth, std::move(node));
        }
    }
    tree->nodes.push_back(std::move(top));
    return tree;
}

void ProfilerOutputParser::addProperty(OutputNode& node, const std::string& line) const {
    // Only "key: value" with exactly one splitter is a property; a value that itself holds the
    // splitter cannot be told apart from its key and is dropped.
    auto first = line.find(propertySplitter);
    if (first == std::string::npos) return;
    auto valueStart = first + propertySplitter.size();
    if (line.find(propertySplitter, valueStart) != std::string::npos) return;
    node.properties->data[trimmingCharacters(line.substr(0, first), CharacterSet::whitespaces)] = line.substr(valueStart);
}

}  // namespace ZuzaduduRez
