#include "RuduredOro/UUID.hpp"

namespace RuduredOro {

// Function-local statics: each identifier is made once, also under concurrent first use.
const CBUUID& UUID::batteryService() {
    static const CBUUID uuid("180F");
    return uuid;
}

const CBUUID& UUID::deviceInformation() {
    static const CBUUID uuid("180A");
    return uuid;
}

const CBUUID& UUID::batteryLevel() {
    static const CBUUID uuid("2A19");
    return uuid;
}

const CBUUID& UUID::modelNumber() {
    static const CBUUID uuid("2A24");
    return uuid;
}

const CBUUID& UUID::serialNumber() {
    static const CBUUID uuid("2A25");
    return uuid;
}

const CBUUID& UUID::firmwareRevision() {
    static const CBUUID uuid("2A26");
    return uuid;
}

const CBUUID& UUID::hardwareRevision() {
    static const CBUUID uuid("2A27");
    return uuid;
}

const CBUUID& UUID::softwareRevision() {
    static const CBUUID uuid("2A28");
    return uuid;
}

const CBUUID& UUID::manufacturerName() {
    static const CBUUID uuid("2A29");
    return uuid;
}

}  // namespace RuduredOro
