#include "RarAvi/DistributedNotifications.hpp"

namespace RarAvi {

void DistributedNotifications::addObserver(const std::shared_ptr<void>& observer,
                                           DistributedNotificationCenter::Callback selector, const std::string& name,
                                           const std::optional<std::string>& object) {
    DistributedNotificationCenter::defaultCenter().addObserver(observer, std::move(selector), name, object);
}

void DistributedNotifications::removeObserver(const std::shared_ptr<void>& observer, const std::string& name) {
    DistributedNotificationCenter::defaultCenter().removeObserver(observer, name);
}

void DistributedNotifications::post(const std::string& name, const std::optional<std::string>& object) {
    DistributedNotificationCenter::defaultCenter().post(name, object);
}

}  // namespace RarAvi
