#include "Foundation/KeyValueObserving.hpp"

#include <algorithm>

#include "Foundation/FatalError.hpp"

void NSKeyValueObservable::addObserver(NSKeyValueObserver* observer, const std::string& keyPath,
                                       NSKeyValueObservingOptions options, void* context) {
    if (!observer) return;
    Registration registration{observer, keyPath, options, context};
    registrations_.push_back(registration);
    if (options.contains(NSKeyValueObservingOptions::initial())) notify(registration);
}

void NSKeyValueObservable::removeObserver(NSKeyValueObserver* observer, const std::string& keyPath) {
    auto it = std::find_if(registrations_.rbegin(), registrations_.rend(), [&](const Registration& registration) {
        return registration.observer == observer && registration.keyPath == keyPath;
    });
    if (it == registrations_.rend()) {
        fatalError("Cannot remove an observer for the key path \"" + keyPath +
                   "\" because it is not registered as an observer.");
    }
    registrations_.erase(std::next(it).base());
}

std::size_t NSKeyValueObservable::observationCount(const NSKeyValueObserver* observer, const std::string& keyPath) const {
    return static_cast<std::size_t>(std::count_if(registrations_.begin(), registrations_.end(), [&](const Registration& registration) {
        return registration.observer == observer && registration.keyPath == keyPath;
    }));
}

void NSKeyValueObservable::didChangeValue(const std::string& keyPath) {
    // An observer may remove itself (or others) while it hears the change.
    const auto registrations = registrations_;
    for (const auto& registration : registrations) {
        if (registration.keyPath != keyPath) continue;
        const bool stillRegistered = std::any_of(registrations_.begin(), registrations_.end(), [&](const Registration& r) {
            return r.observer == registration.observer && r.keyPath == registration.keyPath;
        });
        if (stillRegistered) notify(registration);
    }
}

void NSKeyValueObservable::notify(const Registration& registration) {
    NSKeyValueChange change;
    if (registration.options.contains(NSKeyValueObservingOptions::newValue())) change.newValue = valueForKeyPath(registration.keyPath);
    registration.observer->observeValue(registration.keyPath, this, change, registration.context);
}
