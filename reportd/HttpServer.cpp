#include "reportd/HttpServer.h"

#include "observations/PageFetcher.h"
#include "platform/CalendarTime.h"
#include "reportd/HttpPolicy.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <array>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

namespace beast = boost::beast;
namespace http = boost::beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using namespace std::chrono_literals;

namespace {

constexpr std::size_t kLargestDrain = 4u * 1024u * 1024u; // of a refused body, then a close
constexpr auto kDrainTime = 1s;
// The statuses the server answers itself, each with its page made once.
constexpr int kOwnStatuses[] = {400, 405, 413, 414, 431, 500, 501, 503, 505};
constexpr int kRetryAfterSeconds = 5;
// What one read asks for: a whole request head, as a rule.
constexpr std::size_t kReadSize = 1024;

// "Date" changes once a second: made once a second per thread.
const std::string& DateNow() {
    thread_local std::int64_t made = -1;
    thread_local std::string text;
    const std::int64_t now = platform::CurrentTime();
    if (now != made) {
        text = HttpDate(now);
        made = now;
    }
    return text;
}

} // namespace

struct HttpServer::Impl {
    Handler atOnce, waiting;
    Options options;
    Logger requestLog, noticeLog;
    std::map<int, SharedAnswer> own; // read-only once made

    std::atomic<bool> running{false};
    std::atomic<bool> stopping{false};

    std::mutex admitted;
    int open = 0;
    std::unordered_map<std::string, int> perClient;

    std::mutex workMutex;
    std::condition_variable workReady;
    std::deque<std::function<void()>> work;
    std::vector<std::thread> workers;

    int threads;
    // Last, so that the connections it still holds go first, while the above live.
    net::io_context io;
    tcp::acceptor acceptor{io};
    net::steady_timer acceptPause{io};
    bool pauseSaid = false;

    ~Impl() {
        // Work not taken holds connections, which must go while the I/O context lives.
        std::lock_guard<std::mutex> lock(workMutex);
        work.clear();
    }
    Impl(Handler a, Handler w, const ErrorPage& errorPage, Options o)
        : atOnce(std::move(a)), waiting(std::move(w)), options(o),
          threads(o.ioThreads > 0
                      ? o.ioThreads
                      : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()))),
          io(threads) {
        for (int status : kOwnStatuses)
            own[status] =
                MakeErrorAnswer(status, errorPage(status), status == 503 ? kRetryAfterSeconds : 0);
    }

    void Notice(const std::string& text) {
        if (noticeLog)
            noticeLog(text);
    }
    bool Admit(const std::string& remote) {
        std::lock_guard<std::mutex> lock(admitted);
        int& mine = perClient[remote];
        if (!http_policy::Admit(open, mine, options.maxConnections,
                                options.maxConnectionsPerClient)) {
            if (mine == 0)
                perClient.erase(remote);
            return false;
        }
        ++open;
        ++mine;
        return true;
    }
    void Release(const std::string& remote) {
        std::lock_guard<std::mutex> lock(admitted);
        --open;
        if (--perClient[remote] <= 0)
            perClient.erase(remote);
    }
    // False when too much work waits already.
    bool Queue(std::function<void()> job) {
        {
            std::lock_guard<std::mutex> lock(workMutex);
            if (static_cast<int>(work.size()) >= options.maxQueuedWork)
                return false;
            work.push_back(std::move(job));
        }
        workReady.notify_one();
        return true;
    }
    void Work() {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock<std::mutex> lock(workMutex);
                workReady.wait(lock, [this] { return stopping || !work.empty(); });
                if (stopping)
                    return;
                job = std::move(work.front());
                work.pop_front();
            }
            job();
        }
    }
    void Accept();
};

namespace {

class Session : public std::enable_shared_from_this<Session> {
public:
    Session(HttpServer::Impl& server, tcp::socket socket, std::string remote)
        : m_server(server), m_stream(std::move(socket)), m_remote(std::move(remote)) {}
    ~Session() { m_server.Release(m_remote); }

    void Start() {
        m_stream.expires_after(std::chrono::milliseconds(m_server.options.requestDeadlineMs));
        Parse();
    }

private:
    using Response = http::response<http::span_body<const char>>;

    // Between requests: the idle time until a byte comes, then the request deadline.
    void AwaitNext() {
        if (m_buffer.size() > 0) {
            Start();
            return;
        }
        m_stream.expires_after(std::chrono::milliseconds(m_server.options.keepAliveIdleMs));
        m_stream.async_read_some(
            m_buffer.prepare(kReadSize),
            [self = shared_from_this()](beast::error_code ec, std::size_t got) {
                if (ec)
                    return self->Close();
                self->m_buffer.commit(got);
                self->Start();
            });
    }

    void ReadMore() {
        m_stream.async_read_some(
            m_buffer.prepare(kReadSize),
            [self = shared_from_this()](beast::error_code ec, std::size_t got) {
                // Bytes that came before the end of the stream were parsed already.
                if (ec)
                    return self->Close();
                self->m_buffer.commit(got);
                self->Parse();
            });
    }

    void Parse() {
        if (!m_parser) {
            m_parser.emplace();
            // Beast counts the head with its blank line.
            m_parser->header_limit(static_cast<std::uint32_t>(m_server.options.maxHeadBytes + 4));
            m_parser->eager(false);
            // Bodies are refused by the policy, whatever size they announce, never read.
            m_parser->body_limit(std::numeric_limits<std::uint64_t>::max());
        }
        if (m_buffer.size() == 0)
            return ReadMore();
        beast::error_code ec;
        const auto bytes = m_buffer.data();
        const std::size_t used = m_parser->put(bytes, ec);
        if (ec == http::error::need_more)
            return ReadMore();
        const std::string_view raw(static_cast<const char*>(bytes.data()),
                                   ec ? bytes.size() : used);
        if (ec) {
            using http_policy::ParseFailure;
            const ParseFailure failure = ec == http::error::header_limit  ? ParseFailure::OverLimit
                                         : ec == http::error::bad_version ? ParseFailure::BadVersion
                                                                          : ParseFailure::Malformed;
            return Refuse(http_policy::ParseFailureStatus(
                failure, raw.substr(0, m_server.options.maxHeadBytes + 4)));
        }
        const auto& head = m_parser->get();
        http_policy::HeadFacts facts;
        facts.version = head.version();
        facts.knownMethod = head.method() != http::verb::unknown;
        facts.getOrHead = head.method() == http::verb::get || head.method() == http::verb::head;
        facts.target = std::string_view(head.target().data(), head.target().size());
        facts.hostFields = static_cast<int>(head.count(http::field::host));
        facts.bodyAnnounced = m_parser->content_length().value_or(0) > 0 ||
                              head.count(http::field::transfer_encoding) > 0;
        // The parser unfolds continued values; a CRLF followed by a blank shows one (the
        // request line cannot hold it).
        facts.obsFold = raw.find("\r\n ") != std::string_view::npos ||
                        raw.find("\r\n\t") != std::string_view::npos;
        if (const int status = http_policy::RefusalStatus(facts))
            return Refuse(status, std::string(head.method_string()), std::string(facts.target));

        m_request = {};
        m_request.method = std::string(head.method_string());
        m_request.target = std::string(facts.target);
        const std::string origin = *http_policy::OriginForm(facts.target);
        const std::size_t mark = origin.find('?');
        m_request.path = origin.substr(0, mark);
        m_request.query = mark == std::string::npos ? std::string() : origin.substr(mark + 1);
        m_request.remote = m_remote;
        m_head = head.method() == http::verb::head;
        const auto field = [&head](http::field f) {
            const auto value = head[f];
            return std::string(value.data(), value.size());
        };
        m_gzip = http_policy::AcceptsGzip(field(http::field::accept_encoding));
        m_ifNoneMatch = field(http::field::if_none_match);
        m_ifModifiedSince = field(http::field::if_modified_since);
        ++m_served;
        m_keepAlive =
            http_policy::KeepAlive(head.keep_alive(), m_served, m_server.options.keepAliveRequests);
        m_buffer.consume(used);
        m_parser.reset();
        Dispatch();
    }

    void Dispatch() {
        SharedAnswer answer;
        try {
            answer = m_server.atOnce(m_request);
        } catch (...) {
            answer = m_server.own.at(500);
        }
        if (answer)
            return Send(std::move(answer));
        auto self = shared_from_this();
        const bool queued = m_server.Queue([self] {
            SharedAnswer made;
            try {
                made = self->m_server.waiting(self->m_request);
            } catch (...) {
            }
            if (!made)
                made = self->m_server.own.at(500);
            net::post(self->m_stream.get_executor(),
                      [self, made = std::move(made)]() mutable { self->Send(std::move(made)); });
        });
        if (!queued)
            Send(m_server.own.at(503));
    }

    void Refuse(int status, std::string method = "-", std::string target = "(refused)") {
        m_request = {};
        m_request.method = std::move(method);
        m_request.target = std::move(target);
        m_keepAlive = false;
        m_drain = true;
        m_head = false;
        Send(m_server.own.at(status));
    }

    void Send(SharedAnswer answer) {
        m_answer = std::move(answer);
        const HttpAnswer& a = *m_answer;
        const bool gzip = m_gzip && !a.gzipBody.empty();
        const bool notModified =
            http_policy::NotModified(a, gzip, m_ifNoneMatch, m_ifModifiedSince);
        const std::string& body = gzip ? a.gzipBody : a.body;
        m_response.clear();
        m_response.body() = {};
        m_response.version(11);
        m_response.result(notModified ? 304 : a.status);
        m_response.set(http::field::date, DateNow());
        if (!notModified)
            m_response.set(http::field::content_type, a.contentType);
        m_response.set(http::field::cache_control, a.cacheControl);
        if (!a.etag.empty())
            m_response.set(http::field::etag, gzip ? a.gzipTag : a.etag);
        if (!a.lastModifiedText.empty())
            m_response.set(http::field::last_modified, a.lastModifiedText);
        if (!a.gzipBody.empty())
            m_response.set(http::field::vary, "Accept-Encoding");
        if (gzip && !notModified)
            m_response.set(http::field::content_encoding, "gzip");
        if (a.status == 405)
            m_response.set(http::field::allow, "GET, HEAD");
        if (a.retryAfter > 0)
            m_response.set(http::field::retry_after, std::to_string(a.retryAfter));
        m_response.set(http::field::connection, m_keepAlive ? "keep-alive" : "close");
        if (!notModified)
            m_response.set(http::field::content_length, std::to_string(body.size()));
        if (!notModified && !m_head)
            m_response.body() = {body.data(), body.size()};
        if (m_server.requestLog)
            m_server.requestLog(m_remote + " " + m_request.method + " " + m_request.target + " " +
                                std::to_string(m_response.result_int()) + " " +
                                std::to_string(m_response.body().size()));

        m_stream.expires_after(std::chrono::milliseconds(m_server.options.writeDeadlineMs));
        http::async_write(m_stream, m_response,
                          [self = shared_from_this()](beast::error_code ec, std::size_t) {
                              if (ec)
                                  return self->Close();
                              self->m_answer.reset();
                              if (self->m_drain)
                                  return self->Drain();
                              if (!self->m_keepAlive)
                                  return self->Close();
                              self->AwaitNext();
                          });
    }

    // After a refusal, what the client still sends is read and dropped for a moment, so that
    // closing does not reset the connection before the client has read the answer.
    void Drain() {
        beast::error_code ignored;
        m_stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
        m_stream.expires_after(kDrainTime);
        m_buffer.consume(m_buffer.size());
        m_scratch = std::make_unique<std::array<char, 16384>>();
        DrainMore();
    }
    void DrainMore() {
        m_stream.async_read_some(
            net::buffer(*m_scratch),
            [self = shared_from_this()](beast::error_code ec, std::size_t got) {
                self->m_drained += got;
                if (ec || self->m_drained >= kLargestDrain)
                    return self->Close();
                self->DrainMore();
            });
    }

    void Close() {
        beast::error_code ignored;
        m_stream.socket().shutdown(tcp::socket::shutdown_both, ignored);
        m_stream.close();
    }

    HttpServer::Impl& m_server;
    beast::tcp_stream m_stream;
    std::string m_remote;
    beast::flat_buffer m_buffer;
    std::optional<http::request_parser<http::empty_body>> m_parser;

    HttpRequest m_request;
    bool m_head = false;
    bool m_gzip = false;
    std::string m_ifNoneMatch, m_ifModifiedSince;
    int m_served = 0;
    bool m_keepAlive = false;

    SharedAnswer m_answer; // held while it is sent
    Response m_response;
    bool m_drain = false;
    std::size_t m_drained = 0;
    std::unique_ptr<std::array<char, 16384>> m_scratch; // only while draining
};

} // namespace

void HttpServer::Impl::Accept() {
    // With one I/O thread its order is the connections' order; with more, each has a strand.
    const auto executor =
        threads > 1 ? net::any_io_executor(net::make_strand(io)) : io.get_executor();
    acceptor.async_accept(executor, [this](beast::error_code ec, tcp::socket socket) {
        if (stopping || !acceptor.is_open())
            return;
        if (ec) {
            // Out of descriptors (or memory): the pending connection stays queued in the kernel;
            // accepting again at once would only spin. Rest a moment, and say so once.
            const int error = ec.value();
            if (error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM) {
                if (!pauseSaid)
                    Notice("out of file descriptors (" + ec.message() +
                           "): accepting paused for a moment");
                pauseSaid = true;
                acceptPause.expires_after(std::chrono::milliseconds(options.acceptPauseMs));
                acceptPause.async_wait([this](beast::error_code waitError) {
                    if (!waitError)
                        Accept();
                });
                return;
            }
            Accept();
            return;
        }
        pauseSaid = false;
        beast::error_code ignored;
        const auto peer = socket.remote_endpoint(ignored);
        std::string remote = peer.address().to_string();
        if (Admit(remote)) {
            socket.set_option(tcp::no_delay(true), ignored);
            std::make_shared<Session>(*this, std::move(socket), std::move(remote))->Start();
        } else {
            socket.close(ignored); // full: the client may try again
        }
        Accept();
    });
}

HttpServer::HttpServer(Handler atOnce, Handler waiting, ErrorPage errorPage, Options options)
    : m(std::make_unique<Impl>(std::move(atOnce), std::move(waiting), errorPage, options)) {}

HttpServer::~HttpServer() {
    Stop();
}

void HttpServer::SetLoggers(Logger requests, Logger notices) {
    m->requestLog = std::move(requests);
    m->noticeLog = std::move(notices);
}

int HttpServer::Bind(const std::string& host, int port) {
    beast::error_code ec;
    tcp::resolver resolver(m->io);
    const auto found =
        resolver.resolve(host.empty() ? "0.0.0.0" : host, std::to_string(port),
                         tcp::resolver::passive | tcp::resolver::numeric_service, ec);
    if (ec || found.empty()) {
        errno = EADDRNOTAVAIL;
        return -1;
    }
    for (const auto& entry : found) {
        ec = {};
        m->acceptor.open(entry.endpoint().protocol(), ec);
        // Only a port left in TIME_WAIT is taken again; a port another server listens on is
        // not (no SO_REUSEPORT, which would let two servers split the requests).
        if (!ec)
            m->acceptor.set_option(net::socket_base::reuse_address(true), ec);
        if (!ec)
            m->acceptor.bind(entry.endpoint(), ec);
        if (!ec)
            m->acceptor.listen(m->options.backlog, ec);
        if (!ec)
            return m->acceptor.local_endpoint().port();
        beast::error_code ignored;
        m->acceptor.close(ignored);
    }
    errno = ec.value();
    return -1;
}

bool HttpServer::Run() {
    if (!m->acceptor.is_open())
        return false;
    for (int i = 0; i < m->options.workers; ++i)
        m->workers.emplace_back([this] { m->Work(); });
    m->Accept();
    m->running = true;
    std::vector<std::thread> more;
    for (int i = 1; i < m->threads; ++i)
        more.emplace_back([this] { m->io.run(); });
    m->io.run();
    for (std::thread& t : more)
        t.join();
    // Stopping: no new work; the workers end after what they are doing.
    m->stopping = true;
    m->workReady.notify_all();
    for (std::thread& t : m->workers)
        t.join();
    m->workers.clear();
    m->running = false;
    return true;
}

void HttpServer::Stop() {
    m->stopping = true;
    m->workReady.notify_all();
    m->io.stop();
}

bool HttpServer::IsRunning() const {
    return m->running.load();
}
