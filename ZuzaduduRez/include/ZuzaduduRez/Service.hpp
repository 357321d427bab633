#pragma once
// The data types the system profiler reports on.
#include <memory>
#include <string>

namespace ZuzaduduRez {

/// One data type of the profiler command, such as "SPBluetoothDataType".
class Service {
public:
    explicit Service(std::string name) : name(std::move(name)) {}

    std::string name;
};

class Services {
public:
    Services() = delete;
    /// "SPBluetoothDataType", made once on first use and shared afterwards.
    static const std::shared_ptr<Service>& bluetooth();
};

}  // namespace ZuzaduduRez
