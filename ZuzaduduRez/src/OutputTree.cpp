#include "ZuzaduduRez/OutputTree.hpp"

#include <charconv>
#include <cstdint>
#include <utility>

#include "Foundation/StringTrimming.hpp"

namespace ZuzaduduRez {

namespace {

std::string printed(const std::any& value) {
    if (const auto* text = std::any_cast<std::string>(&value)) return *text;
    if (const auto* text = std::any_cast<const char*>(&value)) return *text;
    if (const auto* flag = std::any_cast<bool>(&value)) return *flag ? "true" : "false";
    if (const auto* number = std::any_cast<int>(&value)) return std::to_string(*number);
    if (const auto* number = std::any_cast<std::int64_t>(&value)) return std::to_string(*number);
    if (const auto* number = std::any_cast<double>(&value)) {
        char buffer[32];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, *number);
        return std::string(buffer, result.ptr);
    }
    return {};
}

}  // namespace

OutputNode::OutputNode(const std::string& line) : name(trimmingCharacters(line, CharacterSet::whitespaces)) {
    if (!name.empty() && name.back() == ':') name.pop_back();
}

std::string OutputTree::description() const {
    std::string text;
    // Depth first without recursion: a report may nest thousands of levels.
    std::vector<std::pair<const OutputNode*, std::size_t>> pending;
    for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) pending.emplace_back(it->get(), 0);
    while (!pending.empty()) {
        auto [node, depth] = pending.back();
        pending.pop_back();
        text.append(depth, ' ').append(node->name).append(":\n");
        for (const auto& [key, value] : node->properties->data) {
            text.append(depth + 2, ' ').append(key).append(": ").append(printed(value)).append("\n");
        }
        for (auto it = node->children.rbegin(); it != node->children.rend(); ++it) {
            pending.emplace_back(it->get(), depth + 2);
        }
    }
    return text;
}

void OutputTree::clear() {
    // Iterative, so that a deep tree is unlinked (and then freed) node by node.
    std::vector<std::shared_ptr<OutputNode>> pending = std::move(nodes);
    nodes.clear();
    while (!pending.empty()) {
        auto node = std::move(pending.back());
        pending.pop_back();
        node->parent.reset();
        for (auto& child : node->children) pending.push_back(std::move(child));
        node->children.clear();
    }
}

}  // namespace ZuzaduduRez
