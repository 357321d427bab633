#include "Foundation/URL.hpp"

#include <cctype>
#include <cstring>

#include "Foundation/HexDigits.hpp"

namespace {
bool isUnreserved(unsigned char c) { return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~'; }

bool allowedIn(URLCharacterSet set, unsigned char c) {
    if (c >= 0x80) return false;
    switch (set) {
        case URLCharacterSet::alphanumerics: return std::isalnum(c);
        case URLCharacterSet::urlQueryAllowed:
        case URLCharacterSet::urlFragmentAllowed:
            return isUnreserved(c) || std::strchr("!$&'()*+,;=:@/?", c);
        case URLCharacterSet::urlPathAllowed: return isUnreserved(c) || std::strchr("!$&'()*+,;=:@/", c);
        case URLCharacterSet::urlHostAllowed: return isUnreserved(c) || std::strchr("!$&'()*+,;=:[]", c);
        case URLCharacterSet::urlUserAllowed: return isUnreserved(c) || std::strchr("!$&'()*+,;=", c);
    }
    return false;
}

bool validUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 4;
        if (extra == 4 || i + extra >= text.size() + (extra == 0 ? 1 : 0)) return false;
        for (std::size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2) return false;
        i += extra + 1;
    }
    return true;
}
}  // namespace

std::optional<std::string> addingPercentEncoding(const std::string& text, URLCharacterSet allowed) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (allowedIn(allowed, c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

std::optional<std::string> removingPercentEncoding(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        auto byte = hexNumber(std::string_view(text).substr(i + 1, 2));
        if (!byte) return std::nullopt;
        out += static_cast<char>(*byte);
        i += 2;
    }
    if (!validUtf8(out)) return std::nullopt;
    return out;
}

std::optional<URL> URL::string(const std::string& text) {
    if (text.empty()) return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c <= 0x20 || c >= 0x7F || std::strchr("\"<>\\^`{}|", c)) return std::nullopt;
        if (c == '%' && (i + 2 >= text.size() || !hexNumber(std::string_view(text).substr(i + 1, 2))))
            return std::nullopt;
    }
    URL url;
    if (!url.parse(text)) return std::nullopt;
    return url;
}

bool URL::parse(const std::string& text) {
    text_ = text;
    std::string rest = text;
    // scheme ":" — letters first, then letters, digits, "+", "-", "."
    auto colon = rest.find(':');
    if (colon != std::string::npos && colon > 0 && std::isalpha(static_cast<unsigned char>(rest[0]))) {
        bool isScheme = true;
        for (std::size_t i = 0; i < colon; ++i) {
            char c = rest[i];
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') isScheme = false;
        }
        if (isScheme) {
            std::string scheme = rest.substr(0, colon);
            for (auto& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            scheme_ = scheme;
            rest = rest.substr(colon + 1);
        }
    }
    if (auto hash = rest.find('#'); hash != std::string::npos) {
        fragment_ = rest.substr(hash + 1);
        rest = rest.substr(0, hash);
    }
    if (auto question = rest.find('?'); question != std::string::npos) {
        query_ = rest.substr(question + 1);
        rest = rest.substr(0, question);
    }
    if (rest.rfind("//", 0) == 0) {
        auto slash = rest.find('/', 2);
        std::string authority = rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
        rest = slash == std::string::npos ? std::string() : rest.substr(slash);
        if (auto at = authority.rfind('@'); at != std::string::npos) authority = authority.substr(at + 1);
        auto portColon = authority.rfind(':');
        if (portColon != std::string::npos && authority.find(']', portColon) == std::string::npos) {
            std::string port = authority.substr(portColon + 1);
            authority = authority.substr(0, portColon);
            if (!port.empty()) {
                for (char c : port)
                    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
                if (port.size() > 5) return false;
                port_ = std::stoi(port);
            }
        }
        host_ = authority;
    }
    path_ = rest;
    return true;
}

URL URL::fileURLWithPath(const std::string& path, bool isDirectory) {
    std::string absolute = path;
    if (absolute.empty() || absolute[0] != '/') absolute = "/" + absolute;
    if (isDirectory && absolute.back() != '/') absolute += '/';
    URL url;
    url.parse("file://" + *addingPercentEncoding(absolute, URLCharacterSet::urlPathAllowed));
    return url;
}

std::string URL::path() const {
    std::string decoded = removingPercentEncoding(path_).value_or(path_);
    if (decoded.size() > 1 && decoded.back() == '/') decoded.pop_back();
    return decoded;
}

std::string URL::lastPathComponent() const { return ::lastPathComponent(path()); }

std::string URL::pathExtension() const {
    auto last = lastPathComponent();
    auto dot = last.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == last.size()) return {};
    return last.substr(dot + 1);
}

URL URL::appendingPathComponent(const std::string& component, bool isDirectory) const {
    std::string base = text_;
    std::string suffix;
    // Keep query and fragment after the new path.
    auto cut = base.find_first_of("?#", scheme_ ? scheme_->size() + 1 : 0);
    if (cut != std::string::npos) {
        suffix = base.substr(cut);
        base = base.substr(0, cut);
    }
    if (base.empty() || base.back() != '/') base += '/';
    base += *addingPercentEncoding(component, URLCharacterSet::urlPathAllowed);
    if (isDirectory && base.back() != '/') base += '/';
    URL url;
    url.parse(base + suffix);
    return url;
}

URL URL::deletingLastPathComponent() const {
    std::string trimmed = path_;
    if (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
    auto slash = trimmed.rfind('/');
    std::string parent = slash == std::string::npos ? "./" : trimmed.substr(0, slash + 1);
    std::string prefix = text_.substr(0, text_.find(path_, scheme_ ? scheme_->size() + 1 : 0));
    URL url;
    url.parse(prefix + parent);
    return url;
}

std::string lastPathComponent(const std::string& path) {
    if (path.empty()) return {};
    auto end = path.find_last_not_of('/');
    if (end == std::string::npos) return "/";
    auto start = path.rfind('/', end);
    return path.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1) + 1);
}
