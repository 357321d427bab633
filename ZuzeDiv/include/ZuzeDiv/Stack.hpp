#pragma once
// A last-in-first-out list.
#include <cstddef>
#include <optional>
#include <vector>

namespace ZuzeDiv {

template <class Element>
struct Stack {
    /// The elements from bottom to top.
    std::vector<Element> array;

    void push(Element element) { array.push_back(std::move(element)); }
    std::optional<Element> pop() {
        if (array.empty()) return std::nullopt;
        Element top = std::move(array.back());
        array.pop_back();
        return top;
    }
    std::optional<Element> peek() const {
        if (array.empty()) return std::nullopt;
        return array.back();
    }
    bool isEmpty() const { return array.empty(); }
    std::size_t count() const { return array.size(); }
    /// Empties the stack and lets go of its storage.
    void removeAll() { std::vector<Element>().swap(array); }
};

}  // namespace ZuzeDiv
