#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "Foundation/Thread.hpp"
#include "LoopbackServer.hpp"
#include "ZuzeDiv/DataExtensions.hpp"
#include "ZuzeDiv/WebRequest.hpp"

using namespace ZuzeDiv;
using namespace std::chrono_literals;

namespace {
struct Answer {
    std::optional<Data> data;
    std::optional<URLError> error;
    std::thread::id thread;
};

// Starts a call with a completion that fulfils a promise, and waits for it.
Answer await(const std::function<void(WebRequest::Completion)>& call) {
    auto promise = std::make_shared<std::promise<Answer>>();
    auto future = promise->get_future();
    call([promise](std::optional<Data> data, std::optional<URLError> error) {
        promise->set_value(Answer{std::move(data), std::move(error), std::this_thread::get_id()});
    });
    if (future.wait_for(20s) != std::future_status::ready) throw std::runtime_error("no answer");
    return future.get();
}

LoopbackServer echoServer() {
    return LoopbackServer([](const LoopbackServer::Request& request) -> std::optional<std::string> {
        if (request.target.rfind("/missing", 0) == 0) return LoopbackServer::answer(404, "Not Found", "no such page");
        return LoopbackServer::answer(200, "OK", request.method + " " + request.target);
    });
}
}  // namespace

TEST(WebRequest, EncodedGetEscapesBlanksAndPercentSigns) {
    auto server = echoServer();
    auto answer = await([&](auto done) { WebRequest::get(server.base() + "/a path?q=50% off", done); });
    EXPECT_FALSE(answer.error);
    ASSERT_TRUE(answer.data);
    EXPECT_EQ(stringFromData(*answer.data), "GET /a%20path?q=50%25%20off");
    EXPECT_NE(answer.thread, std::this_thread::get_id());

    auto already = await([&](auto done) { WebRequest::get(server.base() + "/x%41", done); });
    EXPECT_EQ(stringFromData(*already.data), "GET /x%2541");
    auto unencoded = await([&](auto done) { WebRequest::getUnencoded(server.base() + "/x%41", done); });
    EXPECT_EQ(stringFromData(*unencoded.data), "GET /x%41");
    EXPECT_EQ(server.requests().size(), 3u);  // nothing came from a cache
}

TEST(WebRequest, AddressesThatFormNoURLAnswerAtOnceWithNeitherDataNorError) {
    int calls = 0;
    std::optional<URLError> error = URLError{URLError::unknown, ""};
    std::optional<Data> data = Data{1};
    WebRequest::getUnencoded("http://127.0.0.1/a path", [&](std::optional<Data> d, std::optional<URLError> e) {
        ++calls;
        data = d;
        error = e;
    });
    EXPECT_EQ(calls, 1);  // on the calling thread, before returning
    EXPECT_FALSE(data);
    EXPECT_FALSE(error);

    calls = 0;
    WebRequest::get("", [&](std::optional<Data> d, std::optional<URLError> e) {
        ++calls;
        EXPECT_FALSE(d);
        EXPECT_FALSE(e);
    });
    WebRequest::post("", std::nullopt, [&](std::optional<Data> d, std::optional<URLError> e) {
        ++calls;
        EXPECT_FALSE(d);
        EXPECT_FALSE(e);
    });
    WebRequest::get("", {}, [&](std::optional<Data> d, std::shared_ptr<URLResponse> r, std::optional<URLError> e) {
        ++calls;
        EXPECT_FALSE(d);
        EXPECT_FALSE(r);
        EXPECT_FALSE(e);
    });
    EXPECT_EQ(calls, 3);
}

TEST(WebRequest, ErrorStatusesAreAnswersNotFailures) {
    auto server = echoServer();
    auto answer = await([&](auto done) { WebRequest::get(server.base() + "/missing", done); });
    EXPECT_FALSE(answer.error);
    ASSERT_TRUE(answer.data);
    EXPECT_EQ(stringFromData(*answer.data), "no such page");

}

TEST(WebRequest, HeaderStatusReachesTheCaller) {
    auto server = echoServer();
    auto promise = std::make_shared<std::promise<int>>();
    auto future = promise->get_future();
    WebRequest::get(server.base() + "/missing", {{"X-Token", "abc"}}, [promise](std::optional<Data>, std::shared_ptr<URLResponse> response, std::optional<URLError>) {
        auto http = std::dynamic_pointer_cast<HTTPURLResponse>(response);
        promise->set_value(http ? http->statusCode() : -1);
    });
    ASSERT_EQ(future.wait_for(20s), std::future_status::ready);
    EXPECT_EQ(future.get(), 404);
    EXPECT_EQ(server.requests().back().header("X-Token"), "abc");
    EXPECT_EQ(server.requests().back().header("Accept"), "*/*");  // the session's default
}

TEST(WebRequest, HeaderFieldsThatWouldBreakTheRequestAreNeverSent) {
    auto server = echoServer();
    const std::vector<std::map<std::string, std::string>> broken{
        {{"X-Token", "abc\r\nX-Injected: 1"}}, {{"X-Token", "abc\nX-Injected: 1"}}, {{"X-Token\r\nX-Injected", "1"}}, {{"Bad Name", "1"}}};
    for (const auto& headers : broken) {
        auto promise = std::make_shared<std::promise<std::optional<URLError>>>();
        auto future = promise->get_future();
        WebRequest::get(server.base() + "/h", headers, [promise](std::optional<Data> data, std::shared_ptr<URLResponse> response, std::optional<URLError> error) {
            EXPECT_FALSE(data);
            EXPECT_FALSE(response);
            promise->set_value(error);
        });
        ASSERT_EQ(future.wait_for(20s), std::future_status::ready);
        auto error = future.get();
        ASSERT_TRUE(error);
        EXPECT_NE(error->localizedDescription.find("not sent"), std::string::npos);
    }
    EXPECT_TRUE(server.requests().empty());
}

TEST(WebRequest, AnswersBeyondTheLargestSizeFail) {
    // A small deflated body that inflates to one byte more than is taken.
    const auto deflated = stringFromData(*zlibCompressed(Data(URLSession::maximumResponseSize + 1, 'x')));
    LoopbackServer server([&](const auto&) -> std::optional<std::string> {
        return "HTTP/1.1 200 OK\r\nContent-Encoding: deflate\r\nContent-Length: " + std::to_string(deflated.size()) +
               "\r\nConnection: close\r\n\r\n" + deflated;
    });
    auto answer = await([&](auto done) { WebRequest::get(server.base() + "/big", done); });
    EXPECT_FALSE(answer.data);
    ASSERT_TRUE(answer.error);
    EXPECT_EQ(answer.error->code, URLError::dataLengthExceedsMaximum);
}

TEST(WebRequest, PostSendsTheFormAsGivenOrNothing) {
    auto server = echoServer();
    auto withForm = await([&](auto done) { WebRequest::post(server.base() + "/form", "a=1&b=two%20words", done); });
    EXPECT_EQ(stringFromData(*withForm.data), "POST /form");
    auto sent = server.requests().back();
    EXPECT_EQ(sent.header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(sent.body, "a=1&b=two%20words");

    await([&](auto done) { WebRequest::post(server.base() + "/bare", std::nullopt, done); });
    auto bare = server.requests().back();
    EXPECT_EQ(bare.method, "POST");
    EXPECT_FALSE(bare.header("Content-Type"));
    EXPECT_TRUE(bare.body.empty());
}

TEST(WebRequest, SendUsesTheRequestAsGiven) {
    auto server = echoServer();
    URLRequest request(*URL::string(server.base() + "/raw%20path"));
    request.setHTTPMethod("PUT");
    request.setHTTPBody(dataFromString("payload"));
    request.addValue("one", "X-List");
    request.addValue("two", "x-list");
    auto answer = await([&](auto done) { WebRequest::send(request, done); });
    EXPECT_EQ(stringFromData(*answer.data), "PUT /raw%20path");
    auto sent = server.requests().back();
    EXPECT_EQ(sent.body, "payload");
    EXPECT_EQ(sent.header("X-List"), "one, two");
}

TEST(WebRequest, UnreachableAndSilentServersEndInErrors) {
    int closedPort;
    {
        LoopbackServer gone([](const auto&) { return std::nullopt; });
        closedPort = gone.port();
    }
    auto refused = await([&](auto done) { WebRequest::get("http://127.0.0.1:" + std::to_string(closedPort) + "/", done); });
    EXPECT_FALSE(refused.data);
    ASSERT_TRUE(refused.error);
    EXPECT_EQ(refused.error->code, URLError::cannotConnectToHost);

    LoopbackServer silent([](const auto&) { return std::nullopt; });
    URLRequest request(*URL::string(silent.base() + "/slow"), URLRequest::CachePolicy::reloadIgnoringLocalAndRemoteCacheData, 0.5);
    const auto start = std::chrono::steady_clock::now();
    auto timedOut = await([&](auto done) { WebRequest::send(request, done); });
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_FALSE(timedOut.data);
    ASSERT_TRUE(timedOut.error);
    EXPECT_EQ(timedOut.error->code, URLError::timedOut);
}

TEST(URLSession, CancelledTasksAnswerOnceOnTheSessionsQueue) {
    LoopbackServer silent([](const auto&) { return std::nullopt; });
    auto session = URLSession::make(URLSessionConfiguration::ephemeralSessionConfiguration());
    auto promise = std::make_shared<std::promise<std::pair<int, std::string>>>();
    auto calls = std::make_shared<std::atomic<int>>(0);
    auto task = session->dataTask(URLRequest(*URL::string(silent.base() + "/wait")),
                                  [promise, calls](std::optional<Data>, std::shared_ptr<URLResponse>, std::optional<URLError> error) {
                                      if (calls->fetch_add(1) == 0)
                                          promise->set_value({error ? error->code : 0, DispatchQueue::currentLabel()});
                                  });
    task->resume();
    std::this_thread::sleep_for(100ms);
    task->cancel();
    auto future = promise->get_future();
    ASSERT_EQ(future.wait_for(10s), std::future_status::ready);
    auto [code, queue] = future.get();
    EXPECT_EQ(code, URLError::cancelled);
    EXPECT_EQ(queue, session->delegateQueue().label());
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(calls->load(), 1);
    EXPECT_EQ(task->state(), URLSessionDataTask::State::completed);
}

TEST(URLSession, WaitingRequestsHoldNoWorkerOfTheGlobalQueue) {
    // More requests than the global queue has workers wait on a silent server; other work of the
    // global queue runs all the same.
    LoopbackServer silent([](const auto&) { return std::nullopt; });
    auto session = URLSession::make(URLSessionConfiguration::ephemeralSessionConfiguration());
    auto answered = std::make_shared<std::atomic<int>>(0);
    auto allAnswered = std::make_shared<std::promise<void>>();
    std::vector<std::shared_ptr<URLSessionDataTask>> tasks;
    for (int i = 0; i < 80; ++i) {
        URLRequest request(*URL::string(silent.base() + "/wait"), URLRequest::CachePolicy::reloadIgnoringLocalAndRemoteCacheData, 60);
        tasks.push_back(session->dataTask(request, [answered, allAnswered](auto, auto, auto) {
            if (++*answered == 80) allAnswered->set_value();
        }));
        tasks.back()->resume();
    }
    std::promise<void> ran;
    DispatchQueue::global().async([&] { ran.set_value(); });
    EXPECT_EQ(ran.get_future().wait_for(10s), std::future_status::ready);
    for (auto& task : tasks) task->cancel();
    EXPECT_EQ(allAnswered->get_future().wait_for(20s), std::future_status::ready);
}

// A task resumed while no thread can be started (at the process's limit of threads) answers with
// an error, or runs where the transfers' thread was there already, on the session's queue once a
// thread can start; the task after it runs as usual.
TEST(URLSession, ATaskResumedWhileNoThreadCanStartAnswersAndTheNextRuns) {
    auto server = echoServer();
    auto session = URLSession::make(URLSessionConfiguration::ephemeralSessionConfiguration());
    auto task = [&](const std::string& path) {
        auto answer = std::make_shared<std::promise<Answer>>();
        session->dataTask(URLRequest(*URL::string(server.base() + path)), [answer](auto data, auto, auto error) {
            answer->set_value(Answer{std::move(data), std::move(error), std::this_thread::get_id()});
        })->resume();
        return answer->get_future();
    };
    Thread::setStartsFail(true);
    auto first = task("/first");
    Thread::setStartsFail(false);
    auto second = task("/second");
    ASSERT_EQ(second.wait_for(20s), std::future_status::ready);
    ASSERT_EQ(first.wait_for(20s), std::future_status::ready);
    auto answered = first.get();
    const auto requests = server.requests();
    if (std::none_of(requests.begin(), requests.end(), [](const auto& request) { return request.target == "/first"; })) {
        EXPECT_TRUE(answered.error);
    }
    auto next = second.get();
    EXPECT_FALSE(next.error);
    ASSERT_TRUE(next.data);
    EXPECT_EQ(stringFromData(*next.data), "GET /second");
}
