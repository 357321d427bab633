#pragma once
// A version text compared part by part as numbers: 1.9 < 1.10 and 2.0 > 1.12.
#include <string>

namespace ZuzeDiv {

class Version {
public:
    explicit Version(std::string string) : string_(std::move(string)) {}

    const std::string& string() const { return string_; }
    const std::string& description() const { return string_; }

    bool operator==(const Version& other) const;
    bool operator<(const Version& other) const;
    bool operator>(const Version& other) const;

private:
    std::string string_;
};

}  // namespace ZuzeDiv
