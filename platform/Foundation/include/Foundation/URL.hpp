#pragma once
// Addresses: web and file URLs, parsed into their parts, with percent-encoding.
#include <optional>
#include <string>

/// Sets of characters left as they are by percent-encoding.
enum class URLCharacterSet { urlQueryAllowed, urlPathAllowed, urlHostAllowed, urlFragmentAllowed, urlUserAllowed, alphanumerics };

/// Percent-encodes every byte of the UTF-8 text outside the set ("%XX", upper-case hex).
std::optional<std::string> addingPercentEncoding(const std::string& text, URLCharacterSet allowed);
/// Decodes "%XX" escapes; absent when an escape is malformed or the result is no UTF-8.
std::optional<std::string> removingPercentEncoding(const std::string& text);

class URL {
public:
    /// Absent for an empty text, a text with characters a URL cannot hold (blanks, controls,
    /// non-ASCII, `"<>\^{}|` and the backtick) or with a malformed percent escape.
    static std::optional<URL> string(const std::string& text);
    static URL fileURLWithPath(const std::string& path, bool isDirectory = false);

    const std::string& absoluteString() const { return text_; }
    std::optional<std::string> scheme() const { return scheme_; }
    std::optional<std::string> host() const { return host_; }
    std::optional<int> port() const { return port_; }
    std::optional<std::string> query() const { return query_; }
    std::optional<std::string> fragment() const { return fragment_; }
    bool isFileURL() const { return scheme_ && *scheme_ == "file"; }
    /// The path, percent-decoded, without a trailing "/" (except for the root).
    std::string path() const;
    /// The path as written, percent escapes kept.
    const std::string& encodedPath() const { return path_; }
    std::string lastPathComponent() const;
    std::string pathExtension() const;
    bool hasDirectoryPath() const { return !path_.empty() && path_.back() == '/'; }

    URL appendingPathComponent(const std::string& component, bool isDirectory = false) const;
    URL deletingLastPathComponent() const;

    bool operator==(const URL& other) const { return text_ == other.text_; }

private:
    URL() = default;
    bool parse(const std::string& text);

    std::string text_;
    std::optional<std::string> scheme_, host_, query_, fragment_;
    std::optional<int> port_;
    std::string path_;
};

/// Path rules of the platform's strings: the last component, ignoring a trailing "/";
/// "/" for the root, "" for an empty path.
std::string lastPathComponent(const std::string& path);
