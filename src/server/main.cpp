// zembrak-scores: a leaderboard whose every score was proved by playing its replay again.
//   zembrak-scores [--listen ADDRESS:PORT] [--database URL] [--verifier PATH] [--web FOLDER]
//                  [--trust-forwarded] [--verify-cpu SECONDS] [--verify-memory MIB]
#include <httplib.h>
#include <openssl/evp.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "checks.h"
#include "page.h"
#include "read_limits.h"
#include "store.h"
#include "verify.h"

using namespace scores;

namespace {

struct Options {
    std::string host = "127.0.0.1";
    int port = 8080;
    std::string database, verifier, web;
    bool trustForwarded = false;
    VerifyLimits limits;
};

constexpr int kUploadsPerMinute = 10;
constexpr int64_t kPageSize = 100;
constexpr int64_t kMaxListed = 500;
// Bodies declared larger than a connection may bring are refused before a byte of them is
// read; between that and the replay limit, the server reads and drops them so that the
// client, still sending, sees its 413.
constexpr uint64_t kDropLimit = kMaxRequestBytes - 16 * 1024;

const char kUsage[] =
    "usage: zembrak-scores [--listen ADDRESS:PORT] [--database URL] [--verifier PATH] [--web FOLDER]\n"
    "                      [--trust-forwarded] [--verify-cpu SECONDS] [--verify-memory MIB]\n";

[[noreturn]] void usage(const std::string& why) {
    std::cerr << "zembrak-scores: " << why << "\n" << kUsage;
    exit(2);
}

int64_t nowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The folder of the running program, for the verifier installed beside it.
std::string programFolder() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    path[length] = '\0';
    std::string folder(path);
    return folder.substr(0, folder.rfind('/'));
}

// scores.sqlite in the state folder systemd made, or in $XDG_DATA_HOME/zembrak-scores, made
// as needed.
std::string defaultDatabase() {
    if (const char* state = getenv("STATE_DIRECTORY"); state && state[0] == '/') {
        const std::string first(state, strcspn(state, ":"));
        return first + "/scores.sqlite";
    }
    std::string base;
    if (const char* xdg = getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') {
        base = xdg;
    } else if (const char* home = getenv("HOME"); home && home[0] == '/') {
        base = std::string(home) + "/.local/share";
    } else {
        usage("set HOME or XDG_DATA_HOME, or name a database with --database");
    }
    const std::string folder = base + "/zembrak-scores";
    for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
        mkdir(folder.substr(0, slash).c_str(), 0700);
    mkdir(folder.c_str(), 0700);
    return folder + "/scores.sqlite";
}

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) usage(option + " needs a value");
            return argv[++i];
        };
        int64_t number;
        if (option == "--listen") {
            const std::string address = value();
            const size_t colon = address.rfind(':');
            if (colon == std::string::npos || !parseCount(address.substr(colon + 1), 65535, number))
                usage("--listen wants ADDRESS:PORT, e.g. 127.0.0.1:8080 or [::]:8080");
            options.host = address.substr(0, colon);
            if (options.host.size() >= 2 && options.host.front() == '[' && options.host.back() == ']')
                options.host = options.host.substr(1, options.host.size() - 2);
            options.port = static_cast<int>(number);
        } else if (option == "--database") {
            options.database = value();
        } else if (option == "--verifier") {
            options.verifier = value();
        } else if (option == "--web") {
            options.web = value();
        } else if (option == "--trust-forwarded") {
            options.trustForwarded = true;
        } else if (option == "--verify-cpu") {
            if (!parseCount(value(), 3600, number) || number == 0) usage("--verify-cpu wants 1 to 3600 seconds");
            options.limits.cpuSeconds = static_cast<int>(number);
            options.limits.wallSeconds = static_cast<int>(3 * number + 10);
        } else if (option == "--verify-memory") {
            if (!parseCount(value(), 1 << 20, number)) usage("--verify-memory wants MiB, 0 for no limit");
            options.limits.memoryMiB = static_cast<long>(number);
        } else if (option == "--help" || option == "-h") {
            std::cout << "zembrak-scores: a leaderboard of verified replays (man zembrak-scores)\n" << kUsage;
            exit(0);
        } else {
            usage("unknown option " + option);
        }
    }
    if (options.verifier.empty()) options.verifier = programFolder() + "/zembrak-verify";
    if (options.database.empty()) options.database = defaultDatabase();
    return options;
}

std::string sha256Hex(const std::string& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1)
        throw std::runtime_error("SHA-256 failed");
    static const char hex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += hex[digest[i] >> 4];
        text += hex[digest[i] & 15];
    }
    return text;
}

void answer(httplib::Response& res, int status, const std::string& json) {
    res.status = status;
    res.set_content(json + "\n", "application/json");
}

void refuse(httplib::Response& res, int status, const std::string& why) {
    answer(res, status, "{\"error\": " + jsonString(why) + "}");
}

// The address a rate limit counts: the peer's, or behind a trusted load balancer the one it
// appended last to X-Forwarded-For.
std::string clientAddress(const httplib::Request& req, bool trustForwarded) {
    const std::string forwarded = trustForwarded ? lastForwarded(req.get_header_value("X-Forwarded-For")) : "";
    return forwarded.empty() ? req.remote_addr : forwarded;
}

std::string entryJson(const Entry& entry) {
    return "{\"id\": " + std::to_string(entry.id) + ", \"rank\": " + std::to_string(entry.rank) +
           ", \"name\": " + jsonString(entry.name) + ", \"score\": " + std::to_string(entry.score) +
           ", \"frames\": " + std::to_string(entry.frames) +
           ", \"platform\": " + jsonString(platformOf(entry.library)) + ", \"library\": " + jsonString(entry.library) +
           ", \"version\": " + jsonString(entry.version) + ", \"date\": " + jsonString(dateOf(entry.submitted)) +
           ", \"submitted\": " + std::to_string(entry.submitted) + ", \"replay\": \"/replays/" +
           std::to_string(entry.id) + ".replay\"}";
}

void upload(Store& store, const Options& options, const httplib::Request& req, httplib::Response& res) {
    std::string name, why;
    if (!req.has_param("name")) return refuse(res, 400, "give a name: POST /api/scores?name=NAME");
    if (!cleanName(req.get_param_value("name"), name, why)) return refuse(res, 400, why);
    const std::string type = req.get_header_value("Content-Type");
    if (!type.empty() && type.rfind("application/octet-stream", 0) != 0)
        return refuse(res, 400, "send the replay as application/octet-stream");
    if (!tapeSizeFits(req.body.size(), why)) return refuse(res, req.body.size() > kMaxTape ? 413 : 400, why);

    // Counted before the replay is played, whatever it turns out to be: playing it is what costs.
    const std::string address = clientAddress(req, options.trustForwarded);
    if (!store.allowUpload(address, nowSeconds(), kUploadsPerMinute)) {
        res.set_header("Retry-After", "60");
        return refuse(res, 429, "ten uploads a minute from one address: try again in a minute");
    }
    const std::string digest = sha256Hex(req.body);
    if (store.hasTape(digest)) return refuse(res, 409, "this replay is on the board already");

    Verdict verdict;
    switch (verifyTape(options.verifier, req.body, options.limits, verdict, why)) {
        case Verified::yes: break;
        case Verified::no: return refuse(res, 422, why);
        case Verified::failed:
            std::cerr << "zembrak-scores: " << why << std::endl;
            return refuse(res, 500, "the server could not check the replay");
    }
    NewEntry entry{name,         verdict.score, verdict.frames, verdict.library, verdict.version,
                   nowSeconds(), digest,        req.body};
    int64_t id = 0, rank = 0;
    if (!store.add(entry, id, rank)) return refuse(res, 409, "this replay is on the board already");
    std::cout << "added #" << id << ": score " << verdict.score << " from " << address << std::endl;
    answer(res, 201,
           "{\"id\": " + std::to_string(id) + ", \"rank\": " + std::to_string(rank) +
               ", \"score\": " + std::to_string(verdict.score) + "}");
}

// Bodies are read whole into memory by the HTTP library: only those it can bound get that far.
httplib::Server::HandlerResponse checkBody(const httplib::Request& req, httplib::Response& res) {
    if (req.has_header("Transfer-Encoding")) {
        refuse(res, 411, "send the replay with a Content-Length, not in chunks");
        return httplib::Server::HandlerResponse::Handled;
    }
    const bool hasLength = req.has_header("Content-Length");
    if (!hasLength && (req.method == "POST" || req.method == "PUT" || req.method == "PATCH")) {
        refuse(res, 411, "send the replay with a Content-Length");
        return httplib::Server::HandlerResponse::Handled;
    }
    if (hasLength) {
        const std::string length = req.get_header_value("Content-Length");
        errno = 0;
        char* end = nullptr;
        const unsigned long long declared = strtoull(length.c_str(), &end, 10);
        if (length.empty() || *end != '\0' || errno != 0 || declared > kDropLimit) {
            res.set_header("Connection", "close");
            refuse(res, 413, "a replay is at most 1 MiB");
            return httplib::Server::HandlerResponse::Handled;
        }
    }
    return httplib::Server::HandlerResponse::Unhandled;
}

// The library's pool of worker threads, each connection watched while it is handled.
class WatchedPool : public httplib::TaskQueue {
   public:
    explicit WatchedPool(size_t threads) : pool_(threads) {}
    void enqueue(std::function<void()> task) override {
        pool_.enqueue([task] {
            beginConnection();
            task();
            endConnection();
        });
    }
    void shutdown() override { pool_.shutdown(); }

   private:
    httplib::ThreadPool pool_;
};

httplib::Server* running = nullptr;

}  // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    signal(SIGPIPE, SIG_IGN);
    std::unique_ptr<Store> store;
    try {
        store = openStore(options.database);
    } catch (const std::exception& error) {
        std::cerr << "zembrak-scores: " << error.what() << std::endl;
        return 1;
    }

    httplib::Server server;
    server.set_payload_max_length(kMaxTape);
    // A browser takes every answer for what it says it is: a replay is never run as a page.
    server.set_default_headers({{"X-Content-Type-Options", "nosniff"}});
    if (!options.web.empty() && !server.set_mount_point("/", options.web)) {
        std::cerr << "zembrak-scores: --web " << options.web << " is not a folder" << std::endl;
        return 1;
    }
    server.new_task_queue = [] { return new WatchedPool(CPPHTTPLIB_THREAD_POOL_COUNT); };
    server.set_pre_routing_handler([&](const httplib::Request& req, httplib::Response& res) {
        beginRequest();
        if (checkBody(req, res) == httplib::Server::HandlerResponse::Handled)
            return httplib::Server::HandlerResponse::Handled;
        // A web game served from elsewhere may post to the API: the browser asks first.
        if (req.method == "OPTIONS" && req.path.rfind("/api/", 0) == 0) {
            res.status = 204;
            res.set_header("Access-Control-Allow-Methods", "GET, POST");
            res.set_header("Access-Control-Allow-Headers", "Content-Type");
            res.set_header("Access-Control-Max-Age", "86400");
            return httplib::Server::HandlerResponse::Handled;
        }
        // The board, ahead of any index.html in the web folder.
        if ((req.method == "GET" || req.method == "HEAD") && req.path == "/") {
            int64_t offset = 0;
            if (req.has_param("offset") && !parseCount(req.get_param_value("offset"), INT32_MAX, offset)) offset = 0;
            std::vector<Entry> entries = store->list("", kPageSize + 1, offset);
            const bool more = static_cast<int64_t>(entries.size()) > kPageSize;
            if (more) entries.pop_back();
            res.set_content(boardPage(entries, offset, kPageSize, more), "text/html; charset=utf-8");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server.Post("/api/scores",
                [&](const httplib::Request& req, httplib::Response& res) { upload(*store, options, req, res); });
    server.Get("/api/scores", [&](const httplib::Request& req, httplib::Response& res) {
        int64_t limit = 50, offset = 0;
        if (req.has_param("limit") && !parseCount(req.get_param_value("limit"), kMaxListed, limit))
            return refuse(res, 400, "limit is a number from 0 to 500");
        if (req.has_param("offset") && !parseCount(req.get_param_value("offset"), INT32_MAX, offset))
            return refuse(res, 400, "offset is a number from 0");
        const std::string version = req.get_param_value("version");
        if (version.size() > 40) return refuse(res, 400, "no such version");
        std::string json = "{\"scores\": [";
        const std::vector<Entry> entries = store->list(version, limit, offset);
        for (size_t i = 0; i < entries.size(); ++i) json += (i ? ",\n  " : "\n  ") + entryJson(entries[i]);
        answer(res, 200, json + "]}");
    });
    server.Get(R"(/replays/(\d{1,18})\.replay)", [&](const httplib::Request& req, httplib::Response& res) {
        std::string bytes;
        if (!store->tape(std::stoll(req.matches[1].str()), bytes)) return refuse(res, 404, "no such replay");
        res.set_header("Content-Disposition", "attachment; filename=\"" + req.matches[1].str() + ".replay\"");
        res.set_content(bytes, "application/octet-stream");
    });
    server.Get("/healthz", [&](const httplib::Request&, httplib::Response& res) {
        answer(res, 200, "{\"status\": \"ok\", \"entries\": " + std::to_string(store->count()) + "}");
    });
    // The API and the replays are public: any page may read them and post to them.
    server.set_post_routing_handler([](const httplib::Request& req, httplib::Response& res) {
        if (req.path.rfind("/api/", 0) == 0 || req.path.rfind("/replays/", 0) == 0)
            res.set_header("Access-Control-Allow-Origin", "*");
    });
    server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr thrown) {
        try {
            std::rethrow_exception(thrown);
        } catch (const std::exception& error) {
            std::cerr << "zembrak-scores: " << error.what() << std::endl;
        } catch (...) {
        }
        refuse(res, 503, "the leaderboard's database is not answering; try again later");
    });
    // Errors the library answers itself (no such page, body too large) in JSON as well.
    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (!res.body.empty()) return;
        const char* why = res.status == 404   ? "no such page"
                          : res.status == 413 ? "a replay is at most 1 MiB"
                                              : "the request was not understood";
        refuse(res, res.status, why);
    });

    int port = options.port;
    if (port == 0) {
        port = server.bind_to_any_port(options.host);
    } else if (!server.bind_to_port(options.host, port)) {
        port = -1;
    }
    if (port < 0) {
        std::cerr << "zembrak-scores: cannot listen on " << options.host << ":" << options.port << ": "
                  << strerror(errno) << std::endl;
        return 1;
    }
    running = &server;
    signal(SIGTERM, [](int) { running->stop(); });
    signal(SIGINT, [](int) { running->stop(); });
    const bool v6 = options.host.find(':') != std::string::npos;
    std::cout << "zembrak-scores: listening on http://" << (v6 ? "[" + options.host + "]" : options.host) << ":" << port
              << "/" << std::endl;
    server.listen_after_bind();
    return 0;
}
