#pragma once
// Key-value observation: an object tells the observers registered for a key path when the value
// there changes. Observers are not retained; one must be removed before it goes away, and
// removing one that is not registered for the key path stops the process, as it raises on the
// platform.
#include <any>
#include <string>
#include <vector>

struct NSKeyValueObservingOptions {
    unsigned rawValue = 0;
    static constexpr NSKeyValueObservingOptions newValue() { return {0x01}; }
    static constexpr NSKeyValueObservingOptions oldValue() { return {0x02}; }
    static constexpr NSKeyValueObservingOptions initial() { return {0x04}; }
    static constexpr NSKeyValueObservingOptions prior() { return {0x08}; }
    bool contains(NSKeyValueObservingOptions other) const { return (rawValue & other.rawValue) == other.rawValue; }
    NSKeyValueObservingOptions operator|(NSKeyValueObservingOptions other) const { return {rawValue | other.rawValue}; }
};

struct NSKeyValueChange {
    /// The value now, when the observer asked for it.
    std::any newValue;
};

class NSKeyValueObserver {
public:
    virtual ~NSKeyValueObserver() = default;
    virtual void observeValue(const std::string& keyPath, const void* object, const NSKeyValueChange& change,
                              void* context) = 0;
};

class NSKeyValueObservable {
public:
    virtual ~NSKeyValueObservable() = default;

    /// Registers the observer; with the initial option it hears the current value at once.
    void addObserver(NSKeyValueObserver* observer, const std::string& keyPath, NSKeyValueObservingOptions options,
                     void* context = nullptr);
    /// Removes the observer's latest registration for the key path.
    void removeObserver(NSKeyValueObserver* observer, const std::string& keyPath);
    /// How many registrations the observer has for the key path.
    std::size_t observationCount(const NSKeyValueObserver* observer, const std::string& keyPath) const;

protected:
    /// The value at a key path, handed to observers that ask for new values.
    virtual std::any valueForKeyPath(const std::string& keyPath) const = 0;
    /// Tells the key path's observers that its value changed.
    void didChangeValue(const std::string& keyPath);

private:
    struct Registration {
        NSKeyValueObserver* observer;
        std::string keyPath;
        NSKeyValueObservingOptions options;
        void* context;
    };
    void notify(const Registration& registration);

    std::vector<Registration> registrations_;
};
