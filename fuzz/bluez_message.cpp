// BlueZ's signals and its answer to GetManagedObjects, read into the tree of its objects and a
// snapshot of it, from sd-bus messages that the input writes. The input is: a byte that chooses
// the message (InterfacesAdded, InterfacesRemoved, PropertiesChanged, GetManagedObjects' answer),
// the signature of its arguments ending with a zero byte, then the arguments in order:
//   b y n q i u x t d   that many bytes, little-endian (b: its low bit)
//   s o g               text up to a zero byte
//   a                   a count (two bytes), then as many elements
//   v                   the signature of its value (text up to a zero byte), then the value
//   ( ) { }             their fields in order
// Input that sd-bus does not take (a text that is no valid path, a signature that does not parse)
// makes no message.
#include <sys/socket.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include <systemd/sd-bus.h>

#include "Foundation/backends/BluezSnapshot.hpp"

namespace {

// The bytes of the input, taken from the front.
class Input {
public:
    Input(const std::uint8_t* bytes, std::size_t size) : at_(bytes), end_(bytes + size) {}

    std::size_t left() const { return static_cast<std::size_t>(end_ - at_); }

    template <class T>
    T number() {
        T value{};
        const auto size = std::min(sizeof(T), left());
        std::memcpy(&value, at_, size);
        at_ += size;
        return value;
    }

    std::string text() {
        const auto* zero = static_cast<const std::uint8_t*>(std::memchr(at_, 0, left()));
        std::string taken(at_, zero ? zero : end_);
        at_ = zero ? zero + 1 : end_;
        return taken;
    }

private:
    const std::uint8_t* at_;
    const std::uint8_t* end_;
};

constexpr int deepest = 64;            // D-Bus nests no deeper
constexpr std::size_t longest = 255;   // nor has a longer signature

// The length of the complete type at the front of the signature; 0 when there is none.
std::size_t completeType(std::string_view signature, int depth = 0) {
    if (signature.empty() || depth > deepest) return 0;
    const char type = signature[0];
    if (type == 'a') {
        const auto element = completeType(signature.substr(1), depth + 1);
        return element ? 1 + element : 0;
    }
    if (type == '(' || type == '{') {
        const char close = type == '(' ? ')' : '}';
        std::size_t at = 1;
        while (at < signature.size() && signature[at] != close) {
            const auto field = completeType(signature.substr(at), depth + 1);
            if (!field) return 0;
            at += field;
        }
        return at < signature.size() && at > 1 ? at + 1 : 0;
    }
    return std::string_view("bynqiuxtdsogv").find(type) == std::string_view::npos ? 0 : 1;
}

// Writes the arguments of the signature into the message, from the input.
class Writer {
public:
    Writer(sd_bus_message* message, Input& input)
        : message_(message), input_(input), budget_(4 * input.left() + 64) {}

    bool arguments(std::string_view signature, int depth = 0) {
        if (signature.size() > longest || depth > deepest) return false;
        while (!signature.empty()) {
            const auto length = completeType(signature);
            if (!length || !value(signature.substr(0, length), depth)) return false;
            signature.remove_prefix(length);
        }
        return true;
    }

private:
    bool value(std::string_view type, int depth) {
        if (budget_ == 0) return false;
        --budget_;
        switch (type[0]) {
        case 'b': return basic('b', static_cast<int>(input_.number<std::uint8_t>() & 1));
        case 'y': return basic('y', input_.number<std::uint8_t>());
        case 'n': return basic('n', input_.number<std::int16_t>());
        case 'q': return basic('q', input_.number<std::uint16_t>());
        case 'i': return basic('i', input_.number<std::int32_t>());
        case 'u': return basic('u', input_.number<std::uint32_t>());
        case 'x': return basic('x', input_.number<std::int64_t>());
        case 't': return basic('t', input_.number<std::uint64_t>());
        case 'd': return basic('d', input_.number<double>());
        case 's':
        case 'o':
        case 'g': {
            const auto text = input_.text();
            return sd_bus_message_append_basic(message_, type[0], text.c_str()) >= 0;
        }
        case 'v': {
            const auto contents = input_.text();
            if (contents.empty() || completeType(contents) != contents.size()) return false;
            return container('v', contents, [&] { return arguments(contents, depth + 1); });
        }
        case 'a': {
            const std::string element(type.substr(1));
            // As many elements as are asked for while the budget lasts (none once the input ends).
            const auto count = input_.left() ? input_.number<std::uint16_t>() : 0;
            return container('a', element, [&] {
                for (std::uint16_t i = 0; i < count && budget_ > 0; ++i) {
                    if (!arguments(element, depth + 1)) return false;
                }
                return true;
            });
        }
        default: {
            const std::string fields(type.substr(1, type.size() - 2));
            return container(type[0] == '(' ? 'r' : 'e', fields, [&] { return arguments(fields, depth + 1); });
        }
        }
    }

    template <class T>
    bool basic(char type, T value) {
        return sd_bus_message_append_basic(message_, type, &value) >= 0;
    }

    template <class Fill>
    bool container(char type, const std::string& contents, Fill fill) {
        return sd_bus_message_open_container(message_, type, contents.c_str()) >= 0 && fill() &&
               sd_bus_message_close_container(message_) >= 0;
    }

    sd_bus_message* message_;
    Input& input_;
    std::size_t budget_;  // values yet to write: the input bounds the message
};

// A bus that makes messages without a daemon: one end of a socket pair, whose other end no one
// reads.
sd_bus* looseBus() {
    static sd_bus* bus = [] {
        int ends[2];
        sd_bus* made = nullptr;
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) < 0 || sd_bus_new(&made) < 0 ||
            sd_bus_set_fd(made, ends[0], ends[0]) < 0 || sd_bus_start(made) < 0) {
            __builtin_trap();
        }
        return made;
    }();
    return bus;
}

constexpr const char* adapterPath = "/org/bluez/hci0";
constexpr const char* devicePath = "/org/bluez/hci0/dev_A4_83_E7_00_00_01";

// What the signals change: an adapter with a device that has a battery.
bluez::Objects knownObjects() {
    bluez::Objects objects;
    objects[adapterPath][bluez::adapterInterface] = {{"Address", std::string("00:1A:7D:DA:71:13")}, {"Powered", true}};
    objects[devicePath][bluez::deviceInterface] = {{"Address", std::string("A4:83:E7:00:00:01")},
                                                   {"Adapter", std::string(adapterPath)}};
    objects[devicePath][bluez::batteryInterface] = {{"Percentage", std::int64_t{50}}};
    return objects;
}

struct Kind {
    const char* path;
    const char* interface;
    const char* member;
};
constexpr Kind kinds[] = {
    {"/", bluez::objectManagerInterface, "InterfacesAdded"},
    {"/", bluez::objectManagerInterface, "InterfacesRemoved"},
    {devicePath, "org.freedesktop.DBus.Properties", "PropertiesChanged"},
    {"/", bluez::objectManagerInterface, "GetManagedObjects"},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size == 0) return 0;
    Input input(bytes + 1, size - 1);
    const auto& kind = kinds[bytes[0] % std::size(kinds)];
    sd_bus_message* message = nullptr;
    if (sd_bus_message_new_signal(looseBus(), &message, kind.path, kind.interface, kind.member) < 0) return 0;
    const auto signature = input.text();
    if (Writer(message, input).arguments(signature) && sd_bus_message_seal(message, 1, 0) >= 0) {
        auto objects = knownObjects();
        try {
            if (std::string_view(kind.member) == "GetManagedObjects") {
                objects = bluez::readObjects(message);
            } else {
                bluez::apply(objects, bluez::readChange(message));
            }
        } catch (const sdbus::Error&) {
        }
        bluez::Snapshot::of(bluez::Presence::present, objects);
    }
    sd_bus_message_unref(message);
    return 0;
}
