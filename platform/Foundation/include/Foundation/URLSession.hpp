#pragma once
// HTTP requests over libcurl. Every transfer of the process runs on one network thread, side by
// side with the others and without holding a dispatch worker while it waits; the completion of a
// data task runs once, on its session's own serial queue (never the caller's thread, never the
// main queue). Nothing is cached. The time-out of a request is an idle time-out: the task fails
// when no byte has moved for that long. HTTP error statuses are answers, not failures. A request
// whose method or header fields would break the request's head (a line break in a value, a name
// that is no token) is not sent: it fails. An answer larger than URLSession::maximumResponseSize
// fails as well.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Foundation/Data.hpp"
#include "Foundation/DispatchQueue.hpp"
#include "Foundation/URL.hpp"

/// A failed transfer: a code of the URL error domain and a text.
struct URLError {
    enum Code {
        unknown = -1,
        cancelled = -999,
        badURL = -1000,
        timedOut = -1001,
        unsupportedURL = -1002,
        cannotFindHost = -1003,
        cannotConnectToHost = -1004,
        networkConnectionLost = -1005,
        badServerResponse = -1011,
        dataLengthExceedsMaximum = -1103,
    };
    int code = unknown;
    std::string localizedDescription;
    static constexpr const char* domain = "NSURLErrorDomain";
};

class URLResponse {
public:
    URLResponse(URL url, std::optional<std::string> mimeType, std::int64_t expectedContentLength)
        : url_(std::move(url)), mimeType_(std::move(mimeType)), expectedContentLength_(expectedContentLength) {}
    virtual ~URLResponse() = default;

    const URL& url() const { return url_; }
    const std::optional<std::string>& mimeType() const { return mimeType_; }
    /// -1 when unknown.
    std::int64_t expectedContentLength() const { return expectedContentLength_; }

private:
    URL url_;
    std::optional<std::string> mimeType_;
    std::int64_t expectedContentLength_;
};

class HTTPURLResponse : public URLResponse {
public:
    HTTPURLResponse(URL url, int statusCode, std::vector<std::pair<std::string, std::string>> headerFields);

    int statusCode() const { return statusCode_; }
    /// The header fields in the order received.
    const std::vector<std::pair<std::string, std::string>>& allHeaderFields() const { return headerFields_; }
    /// A field by name, without regard to letter case; repeated fields joined with ", ".
    std::optional<std::string> value(const std::string& field) const;

private:
    int statusCode_;
    std::vector<std::pair<std::string, std::string>> headerFields_;
};

class URLRequest {
public:
    enum class CachePolicy {
        useProtocolCachePolicy = 0,
        reloadIgnoringLocalCacheData = 1,
        returnCacheDataElseLoad = 2,
        returnCacheDataDontLoad = 3,
        reloadIgnoringLocalAndRemoteCacheData = 4,
        reloadRevalidatingCacheData = 5,
    };

    explicit URLRequest(URL url, CachePolicy cachePolicy = CachePolicy::useProtocolCachePolicy,
                        double timeoutInterval = 60.0);

    const URL& url() const { return url_; }
    CachePolicy cachePolicy() const { return cachePolicy_; }
    void setCachePolicy(CachePolicy policy) { cachePolicy_ = policy; }
    double timeoutInterval() const { return timeoutInterval_; }
    void setTimeoutInterval(double seconds) { timeoutInterval_ = seconds; }
    const std::string& httpMethod() const { return httpMethod_; }
    void setHTTPMethod(std::string method) { httpMethod_ = std::move(method); }
    const std::optional<Data>& httpBody() const { return httpBody_; }
    void setHTTPBody(std::optional<Data> body) { httpBody_ = std::move(body); }

    /// The header fields set on the request, in the order first set.
    const std::vector<std::pair<std::string, std::string>>& allHTTPHeaderFields() const { return headerFields_; }
    std::optional<std::string> value(const std::string& field) const;
    /// Replaces a field (names without regard to letter case); an absent value removes it.
    void setValue(const std::optional<std::string>& value, const std::string& field);
    /// Adds a value to a field: a field already present gets ", " and the value appended.
    void addValue(const std::string& value, const std::string& field);

private:
    URL url_;
    CachePolicy cachePolicy_;
    double timeoutInterval_;
    std::string httpMethod_ = "GET";
    std::optional<Data> httpBody_;
    std::vector<std::pair<std::string, std::string>> headerFields_;
};

class URLSessionConfiguration {
public:
    /// Persistent settings (the shared session's kind).
    static URLSessionConfiguration defaultConfiguration() { return URLSessionConfiguration(false); }
    /// Nothing of a request (cookies, credentials, cache) outlives it.
    static URLSessionConfiguration ephemeralSessionConfiguration() { return URLSessionConfiguration(true); }

    bool isEphemeral() const { return ephemeral_; }

private:
    explicit URLSessionConfiguration(bool ephemeral) : ephemeral_(ephemeral) {}
    bool ephemeral_;
};

class URLSession;

class URLSessionDataTask : public std::enable_shared_from_this<URLSessionDataTask> {
public:
    using Completion = std::function<void(std::optional<Data>, std::shared_ptr<URLResponse>, std::optional<URLError>)>;
    enum class State { suspended, running, canceling, completed };

    URLSessionDataTask(std::shared_ptr<URLSession> session, URLRequest request, Completion completion);

    /// Starts the transfer (once; later calls do nothing).
    void resume();
    /// Stops the transfer; the completion receives the cancelled error.
    void cancel();
    State state() const { return state_.load(); }
    const URLRequest& originalRequest() const { return request_; }

private:
    void start();
    void finish(std::optional<Data> data, std::shared_ptr<URLResponse> response, std::optional<URLError> error);

    std::shared_ptr<URLSession> session_;
    URLRequest request_;
    Completion completion_;
    std::atomic<State> state_ = State::suspended;
    std::atomic<bool> cancelled_ = false;
    // The number of the running transfer; 0 before it starts.
    std::atomic<std::uint64_t> transferNumber_ = 0;
};

class URLSession : public std::enable_shared_from_this<URLSession> {
public:
    /// The largest answer (header fields and body, the body as decoded) a task accepts: 64 MiB.
    static constexpr std::size_t maximumResponseSize = std::size_t{64} << 20;

    /// The process-wide session of the default configuration.
    static std::shared_ptr<URLSession> shared();
    static std::shared_ptr<URLSession> make(const URLSessionConfiguration& configuration);

    explicit URLSession(const URLSessionConfiguration& configuration);

    const URLSessionConfiguration& configuration() const { return configuration_; }
    /// The serial queue on which completions run.
    const DispatchQueue& delegateQueue() const { return delegateQueue_; }

    /// A task for the request, not yet started: call resume().
    std::shared_ptr<URLSessionDataTask> dataTask(const URLRequest& request, URLSessionDataTask::Completion completion);

private:
    URLSessionConfiguration configuration_;
    DispatchQueue delegateQueue_;
};
