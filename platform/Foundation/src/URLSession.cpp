#include "Foundation/URLSession.hpp"

#include <curl/curl.h>

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstring>

#include "Foundation/Locale.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "backends/CurlTransfers.hpp"

namespace {
bool sameField(const std::string& a, const std::string& b) { return ::strcasecmp(a.c_str(), b.c_str()) == 0; }

std::string trimmed(const std::string& text) {
    auto start = text.find_first_not_of(" \t\r\n");
    auto end = text.find_last_not_of(" \t\r\n");
    return start == std::string::npos ? std::string() : text.substr(start, end - start + 1);
}

// RFC 9110's token: the characters a method or a field name may hold.
bool isToken(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) {
        return std::isalnum(c) || std::strchr("!#$%&'*+-.^_`|~", c) != nullptr;
    });
}

// Why the request's head cannot be sent as asked, or nothing when it can.
std::optional<URLError> malformedHead(const URLRequest& request) {
    if (!isToken(request.httpMethod()))
        return URLError{URLError::unknown, "The method \"" + request.httpMethod() + "\" is no token; the request was not sent."};
    for (const auto& [name, value] : request.allHTTPHeaderFields()) {
        if (!isToken(name))
            return URLError{URLError::unknown, "The header field name \"" + name + "\" is no token; the request was not sent."};
        if (value.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
            return URLError{URLError::unknown, "The value of the header field \"" + name +
                                                   "\" holds a line break or a NUL; the request was not sent."};
    }
    return std::nullopt;
}

// What libcurl works on while a task's transfer runs.
struct Transfer {
    CURL* curl = nullptr;
    curl_slist* headers = nullptr;
    Data body;
    std::vector<std::pair<std::string, std::string>> headerFields;
    std::size_t received = 0;
    const std::atomic<bool>* cancelled = nullptr;
    double idleLimit = 60.0;
    std::chrono::steady_clock::time_point lastActivity = std::chrono::steady_clock::now();
    curl_off_t lastTotal = -1;
    bool timedOut = false;
    bool tooLarge = false;

    ~Transfer() {
        if (headers) curl_slist_free_all(headers);
        if (curl) curl_easy_cleanup(curl);
    }

    // Counts what arrives against the largest answer taken.
    bool accept(std::size_t bytes) {
        received += bytes;
        tooLarge = received > URLSession::maximumResponseSize;
        return !tooLarge;
    }
};

URLError errorFor(CURLcode code, bool cancelled, const Transfer& transfer) {
    if (cancelled) return {URLError::cancelled, "cancelled"};
    if (transfer.timedOut) return {URLError::timedOut, "The request timed out."};
    if (transfer.tooLarge) return {URLError::dataLengthExceedsMaximum, "The answer is larger than 64 MiB."};
    switch (code) {
        case CURLE_OPERATION_TIMEDOUT: return {URLError::timedOut, "The request timed out."};
        case CURLE_COULDNT_RESOLVE_HOST: return {URLError::cannotFindHost, "A server with the specified hostname could not be found."};
        case CURLE_COULDNT_CONNECT: return {URLError::cannotConnectToHost, "Could not connect to the server."};
        case CURLE_UNSUPPORTED_PROTOCOL: return {URLError::unsupportedURL, "unsupported URL"};
        case CURLE_URL_MALFORMAT: return {URLError::badURL, "bad URL"};
        case CURLE_GOT_NOTHING:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_PARTIAL_FILE: return {URLError::networkConnectionLost, "The network connection was lost."};
        case CURLE_WEIRD_SERVER_REPLY: return {URLError::badServerResponse, "bad server response"};
        default: return {URLError::unknown, curl_easy_strerror(code)};
    }
}

size_t receiveBody(char* data, size_t size, size_t count, void* context) {
    auto* transfer = static_cast<Transfer*>(context);
    if (!transfer->accept(size * count)) return 0;
    transfer->body.insert(transfer->body.end(), data, data + size * count);
    return size * count;
}

size_t receiveHeader(char* data, size_t size, size_t count, void* context) {
    auto* transfer = static_cast<Transfer*>(context);
    if (!transfer->accept(size * count)) return 0;
    std::string line(data, size * count);
    if (line.rfind("HTTP/", 0) == 0) {
        transfer->headerFields.clear();  // a new answer (after a redirect or an interim status)
    } else if (auto colon = line.find(':'); colon != std::string::npos) {
        transfer->headerFields.emplace_back(trimmed(line.substr(0, colon)), trimmed(line.substr(colon + 1)));
    }
    return size * count;
}

int progress(void* context, curl_off_t downloadTotal, curl_off_t downloaded, curl_off_t uploadTotal, curl_off_t uploaded) {
    (void)downloadTotal;
    (void)uploadTotal;
    auto* transfer = static_cast<Transfer*>(context);
    if (transfer->cancelled->load()) return 1;
    auto now = std::chrono::steady_clock::now();
    curl_off_t total = downloaded + uploaded;
    if (total != transfer->lastTotal) {
        transfer->lastTotal = total;
        transfer->lastActivity = now;
    } else if (std::chrono::duration<double>(now - transfer->lastActivity).count() > transfer->idleLimit) {
        transfer->timedOut = true;
        return 1;
    }
    return 0;
}
}  // namespace

HTTPURLResponse::HTTPURLResponse(URL url, int statusCode, std::vector<std::pair<std::string, std::string>> headerFields)
    : URLResponse(std::move(url), std::nullopt, -1), statusCode_(statusCode), headerFields_(std::move(headerFields)) {}

std::optional<std::string> HTTPURLResponse::value(const std::string& field) const {
    std::optional<std::string> result;
    for (const auto& [name, value] : headerFields_) {
        if (!sameField(name, field)) continue;
        result = result ? *result + ", " + value : value;
    }
    return result;
}

URLRequest::URLRequest(URL url, CachePolicy cachePolicy, double timeoutInterval)
    : url_(std::move(url)), cachePolicy_(cachePolicy), timeoutInterval_(timeoutInterval) {}

std::optional<std::string> URLRequest::value(const std::string& field) const {
    for (const auto& [name, value] : headerFields_)
        if (sameField(name, field)) return value;
    return std::nullopt;
}

void URLRequest::setValue(const std::optional<std::string>& value, const std::string& field) {
    auto it = std::find_if(headerFields_.begin(), headerFields_.end(), [&](const auto& entry) { return sameField(entry.first, field); });
    if (!value) {
        if (it != headerFields_.end()) headerFields_.erase(it);
    } else if (it != headerFields_.end()) {
        it->second = *value;
    } else {
        headerFields_.emplace_back(field, *value);
    }
}

void URLRequest::addValue(const std::string& value, const std::string& field) {
    auto it = std::find_if(headerFields_.begin(), headerFields_.end(), [&](const auto& entry) { return sameField(entry.first, field); });
    if (it != headerFields_.end()) {
        it->second += ", " + value;
    } else {
        headerFields_.emplace_back(field, value);
    }
}

URLSessionDataTask::URLSessionDataTask(std::shared_ptr<URLSession> session, URLRequest request, Completion completion)
    : session_(std::move(session)), request_(std::move(request)), completion_(std::move(completion)) {}

void URLSessionDataTask::resume() {
    auto expected = State::suspended;
    if (state_.compare_exchange_strong(expected, State::running)) start();
}

void URLSessionDataTask::cancel() {
    cancelled_ = true;
    auto expected = State::suspended;
    if (state_.compare_exchange_strong(expected, State::canceling)) {
        // Never started: it answers with the cancelled error all the same, on the session's queue.
        finish(std::nullopt, nullptr, URLError{URLError::cancelled, "cancelled"});
        return;
    }
    expected = State::running;
    state_.compare_exchange_strong(expected, State::canceling);
    if (auto number = transferNumber_.load()) CurlTransfers::shared().cancel(number);
}

void URLSessionDataTask::start() {
    if (auto error = malformedHead(request_)) {
        finish(std::nullopt, nullptr, std::move(error));
        return;
    }
    auto transfer = std::make_shared<Transfer>();
    transfer->cancelled = &cancelled_;
    transfer->idleLimit = request_.timeoutInterval() > 0 ? request_.timeoutInterval() : 60.0;
    CURL* curl = transfer->curl = curl_easy_init();
    if (!curl) {
        finish(std::nullopt, nullptr, URLError{URLError::unknown, "the transfer could not be set up"});
        return;
    }
    const auto& address = request_.url().absoluteString();
    curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 16L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::ceil(transfer->idleLimit * 1000)));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, receiveBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, transfer.get());
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, receiveHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, transfer.get());
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, transfer.get());

    const auto& method = request_.httpMethod();
    const auto& body = request_.httpBody();
    if (method == "GET") {
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    } else if (method == "HEAD") {
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    } else {
        curl_easy_setopt(curl, CURLOPT_POST, 1L);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body ? body->size() : 0));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body && !body->empty() ? reinterpret_cast<const char*>(body->data()) : "");
        if (method != "POST") curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method.c_str());
    }

    // The request's own fields, then the defaults it does not set. curl adds a form content
    // type to every body and "Expect" to large ones: both are removed unless asked for.
    curl_slist*& headers = transfer->headers;
    bool hasAccept = false, hasAgent = false, hasLanguage = false, hasType = false;
    for (const auto& [name, value] : request_.allHTTPHeaderFields()) {
        headers = curl_slist_append(headers, (name + ": " + value).c_str());
        hasAccept |= sameField(name, "Accept");
        hasAgent |= sameField(name, "User-Agent");
        hasLanguage |= sameField(name, "Accept-Language");
        hasType |= sameField(name, "Content-Type");
    }
    if (!hasAccept) headers = curl_slist_append(headers, "Accept: */*");
    if (!hasAgent) headers = curl_slist_append(headers, ("User-Agent: " + ProcessInfo::processInfo().processName()).c_str());
    if (!hasLanguage) {
        std::string languages;
        for (const auto& language : Locale::preferredLanguages()) languages += (languages.empty() ? "" : ", ") + language;
        if (!languages.empty()) headers = curl_slist_append(headers, ("Accept-Language: " + languages).c_str());
    }
    if (!hasType) headers = curl_slist_append(headers, "Content-Type:");
    headers = curl_slist_append(headers, "Expect:");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);

    auto done = [self = shared_from_this(), transfer](CURLcode result) {
        if (result != CURLE_OK || self->cancelled_) {
            self->finish(std::nullopt, nullptr, errorFor(result, self->cancelled_.load(), *transfer));
            return;
        }
        long status = 0;
        char* effective = nullptr;
        curl_easy_getinfo(transfer->curl, CURLINFO_RESPONSE_CODE, &status);
        curl_easy_getinfo(transfer->curl, CURLINFO_EFFECTIVE_URL, &effective);
        auto url = effective ? URL::string(effective) : std::nullopt;
        auto response = std::make_shared<HTTPURLResponse>(url.value_or(self->request_.url()), static_cast<int>(status),
                                                          std::move(transfer->headerFields));
        self->finish(std::move(transfer->body), std::move(response), std::nullopt);
    };
    transferNumber_ = CurlTransfers::shared().start(curl, std::move(done));
    if (cancelled_) CurlTransfers::shared().cancel(transferNumber_);
}

void URLSessionDataTask::finish(std::optional<Data> data, std::shared_ptr<URLResponse> response, std::optional<URLError> error) {
    session_->delegateQueue().async([self = shared_from_this(), data = std::move(data), response = std::move(response),
                                     error = std::move(error)]() mutable {
        self->state_ = State::completed;
        auto completion = std::move(self->completion_);
        self->session_.reset();
        if (completion) completion(std::move(data), std::move(response), std::move(error));
    });
}

std::shared_ptr<URLSession> URLSession::shared() {
    static const auto session = make(URLSessionConfiguration::defaultConfiguration());
    return session;
}

std::shared_ptr<URLSession> URLSession::make(const URLSessionConfiguration& configuration) {
    return std::make_shared<URLSession>(configuration);
}

URLSession::URLSession(const URLSessionConfiguration& configuration)
    : configuration_(configuration), delegateQueue_("com.quillon.urlsession.delegate", DispatchQueue::Attributes::serial) {}

std::shared_ptr<URLSessionDataTask> URLSession::dataTask(const URLRequest& request, URLSessionDataTask::Completion completion) {
    return std::make_shared<URLSessionDataTask>(shared_from_this(), request, std::move(completion));
}
