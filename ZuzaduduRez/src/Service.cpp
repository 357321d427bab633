#include "ZuzaduduRez/Service.hpp"

namespace ZuzaduduRez {

const std::shared_ptr<Service>& Services::bluetooth() {
    static const std::shared_ptr<Service> service = std::make_shared<Service>("SPBluetoothDataType");
    return service;
}

}  // namespace ZuzaduduRez
