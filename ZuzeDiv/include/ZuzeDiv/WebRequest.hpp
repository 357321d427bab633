#pragma once
// HTTP GET and POST with a 10-second time-out and no caching. Every call returns at once; the
// completion runs later, once, on the session's background queue (callers that touch the
// interface hop to the main queue themselves). An address that forms no URL answers at once
// with no data and no error; a request that fails answers with no data and the session's
// error; HTTP error statuses are answers, their bodies handed on as data.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "Foundation/Data.hpp"
#include "Foundation/URLSession.hpp"

namespace ZuzeDiv {

class WebRequest {
public:
    using Completion = std::function<void(std::optional<Data>, std::optional<URLError>)>;
    using ResponseCompletion =
        std::function<void(std::optional<Data>, std::shared_ptr<URLResponse>, std::optional<URLError>)>;

    WebRequest() = delete;

    /// The time-out of every request built from an address.
    static constexpr double timeoutInterval = 10.0;

    /// GET of the address percent-encoded with the URL-query set, through a new ephemeral session.
    static void get(const std::string& urlString, Completion completion);
    /// GET of the address as given.
    static void getUnencoded(const std::string& urlString, Completion completion);
    /// GET with header fields added to the request (a field already present gets a further value).
    static void get(const std::string& urlString, const std::map<std::string, std::string>& headers,
                    ResponseCompletion completion);
    /// POST through the shared session; form text, when given, is sent as it is with the type
    /// "application/x-www-form-urlencoded"; without it there is neither body nor that header.
    static void post(const std::string& urlString, const std::optional<std::string>& parameters, Completion completion);
    /// Sends a ready request as it is, through a new ephemeral session.
    static void send(const URLRequest& request, Completion completion);
};

}  // namespace ZuzeDiv
