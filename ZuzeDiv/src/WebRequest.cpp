#include "ZuzeDiv/WebRequest.hpp"

namespace ZuzeDiv {

namespace {
// The request for an address: percent-encoded first when asked, no cache, the 10 s time-out.
std::optional<URLRequest> makeRequest(const std::string& urlString, bool encode) {
    std::optional<std::string> text = urlString;
    if (encode) text = addingPercentEncoding(urlString, URLCharacterSet::urlQueryAllowed);
    if (!text) return std::nullopt;
    auto url = URL::string(*text);
    if (!url) return std::nullopt;
    return URLRequest(*url, URLRequest::CachePolicy::reloadIgnoringLocalAndRemoteCacheData, WebRequest::timeoutInterval);
}

void run(const std::shared_ptr<URLSession>& session, const URLRequest& request, WebRequest::Completion completion) {
    session
        ->dataTask(request,
                   [completion = std::move(completion)](std::optional<Data> data, std::shared_ptr<URLResponse>,
                                                        std::optional<URLError> error) {
                       if (completion) completion(std::move(data), std::move(error));
                   })
        ->resume();
}

std::shared_ptr<URLSession> ephemeralSession() {
    return URLSession::make(URLSessionConfiguration::ephemeralSessionConfiguration());
}
}  // namespace

// An address that forms no URL answers at once, on the calling thread, with no data and no
// error: no data is the failure.

void WebRequest::get(const std::string& urlString, Completion completion) {
    auto request = makeRequest(urlString, true);
    if (!request) {
        if (completion) completion(std::nullopt, std::nullopt);
        return;
    }
    run(ephemeralSession(), *request, std::move(completion));
}

void WebRequest::getUnencoded(const std::string& urlString, Completion completion) {
    auto request = makeRequest(urlString, false);
    if (!request) {
        if (completion) completion(std::nullopt, std::nullopt);
        return;
    }
    run(ephemeralSession(), *request, std::move(completion));
}

void WebRequest::get(const std::string& urlString, const std::map<std::string, std::string>& headers,
                     ResponseCompletion completion) {
    auto request = makeRequest(urlString, true);
    if (!request) {
        if (completion) completion(std::nullopt, nullptr, std::nullopt);
        return;
    }
    for (const auto& [field, value] : headers) request->addValue(value, field);
    ephemeralSession()->dataTask(*request, std::move(completion))->resume();
}

void WebRequest::post(const std::string& urlString, const std::optional<std::string>& parameters, Completion completion) {
    auto request = makeRequest(urlString, true);
    if (!request) {
        if (completion) completion(std::nullopt, std::nullopt);
        return;
    }
    request->setHTTPMethod("POST");
    if (parameters) {
        request->setValue("application/x-www-form-urlencoded", "Content-Type");
        request->setHTTPBody(dataFromString(*parameters));
    }
    run(URLSession::shared(), *request, std::move(completion));
}

void WebRequest::send(const URLRequest& request, Completion completion) { run(ephemeralSession(), request, std::move(completion)); }

}  // namespace ZuzeDiv
