#pragma once
// A dictionary guarded by its own dispatch queue: subscript reads wait, subscript writes are
// queued, and a change of one entry in place runs as one exclusive step.
#include <functional>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ZuzeDiv/ThreadedObject.hpp"

namespace ZuzeDiv {

template <class Key, class Value>
class ThreadedDictionary : public ThreadedObject<std::unordered_map<Key, Value>> {
public:
    using Dictionary = std::unordered_map<Key, Value>;
    using Base = ThreadedObject<Dictionary>;
    struct Element {
        Key key;
        Value value;
    };

    /// An empty dictionary on a concurrent queue.
    ThreadedDictionary() : Base(Dictionary{}, ThreadingType::concurrent) {}
    explicit ThreadedDictionary(Dictionary value, ThreadingType threadingType = ThreadingType::concurrent)
        : Base(std::move(value), threadingType) {}

    /// The entry of a key, read and written through the queue.
    class Entry {
    public:
        Entry(ThreadedDictionary& owner, Key key) : owner_(owner), key_(std::move(key)) {}
        /// The value, read synchronously; absent when the key is not set.
        operator std::optional<Value>() const { return owner_.get(key_); }
        std::optional<Value> value() const { return owner_.get(key_); }
        /// Stores the value asynchronously; an absent value removes the key.
        Entry& operator=(std::optional<Value> value) {
            owner_.set(key_, std::move(value));
            return *this;
        }
        /// Changes the entry in place as one exclusive step, so that concurrent changes of the
        /// same entry are never lost; returns the new value.
        std::optional<Value> modify(const std::function<void(std::optional<Value>&)>& change) {
            return owner_.modify(key_, change);
        }

    private:
        ThreadedDictionary& owner_;
        Key key_;
    };

    Entry operator[](const Key& key) { return Entry(*this, key); }
    std::optional<Value> operator[](const Key& key) const { return get(key); }

    std::optional<Value> get(const Key& key) const {
        return this->read([&](const Dictionary& d) -> std::optional<Value> {
            auto it = d.find(key);
            if (it == d.end()) return std::nullopt;
            return it->second;
        });
    }

    void set(const Key& key, std::optional<Value> value) {
        this->write([key, value = std::move(value)](Dictionary& d) {
            if (value) {
                d.insert_or_assign(key, *value);
            } else {
                d.erase(key);
            }
        });
    }

    std::optional<Value> modify(const Key& key, const std::function<void(std::optional<Value>&)>& change) {
        return this->writeAndWait([&](Dictionary& d) -> std::optional<Value> {
            auto it = d.find(key);
            std::optional<Value> current = it == d.end() ? std::nullopt : std::optional<Value>(it->second);
            change(current);
            if (current) {
                d.insert_or_assign(key, *current);
            } else if (it != d.end()) {
                d.erase(it);
            }
            return current;
        });
    }

    /// Empties the dictionary and lets go of its storage; returns once it is empty.
    void removeAll() {
        this->writeAndWait([](Dictionary& d) { Dictionary().swap(d); });
    }

    std::vector<Value> values() const {
        return this->read([](const Dictionary& d) {
            std::vector<Value> out;
            out.reserve(d.size());
            for (const auto& [key, value] : d) out.push_back(value);
            return out;
        });
    }

    std::size_t count() const {
        return this->read([](const Dictionary& d) { return d.size(); });
    }
    bool isEmpty() const { return count() == 0; }

    /// The entries as they are now, taken in one read: iterating never sees a half-done write.
    std::vector<Element> elements() const {
        return this->read([](const Dictionary& d) {
            std::vector<Element> out;
            out.reserve(d.size());
            for (const auto& [key, value] : d) out.push_back(Element{key, value});
            return out;
        });
    }

    /// Iteration walks a snapshot of the entries.
    class Snapshot {
    public:
        explicit Snapshot(std::vector<Element> elements) : elements_(std::move(elements)) {}
        auto begin() const { return elements_.begin(); }
        auto end() const { return elements_.end(); }

    private:
        std::vector<Element> elements_;
    };
    Snapshot snapshot() const { return Snapshot(elements()); }
};

}  // namespace ZuzeDiv
