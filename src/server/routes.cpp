#include "routes.h"

#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <iostream>

#include "answers.h"
#include "checks.h"
#include "page.h"
#include "read_limits.h"
#include "read_rate.h"
#include "verify.h"

namespace scores {

namespace {

using Handled = httplib::Server::HandlerResponse;

// The version of the game this server's verifier plays: its board is the one shown first.
const char kServerVersion[] = ZK_VERSION;

// Bodies declared larger than a connection may bring are refused before a byte of them is
// read; between that and the replay limit, the server reads and drops them so that the
// client, still sending, sees its 413.
constexpr uint64_t kDropLimit = kMaxRequestBytes - 16 * 1024;
// A replay turned away by a full line of verifiers: after most of them have played.
constexpr int kBusyRetrySeconds = 30;

// What the routes share for as long as the server runs.
struct Service {
    Store& store;
    const Options& options;
    VerifierTurns turns;
    ReadRate reads;
};
std::unique_ptr<Service> service;

int64_t nowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The address a rate limit counts: the peer's, or behind a trusted load balancer the one it
// appended last to X-Forwarded-For.
std::string clientAddress(const httplib::Request& req, bool trustForwarded) {
    const std::string forwarded = trustForwarded ? lastForwarded(req.get_header_value("X-Forwarded-For")) : "";
    return forwarded.empty() ? req.remote_addr : forwarded;
}

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The verifier's answer, in a turn of its own; `busy` when every verifier and place in line is
// taken.
Verified verifyInTurn(const std::string& tape, Verdict& verdict, std::string& why, bool& busy) {
    busy = !service->turns.take();
    if (busy) return Verified::failed;
    struct Turn {
        ~Turn() { service->turns.giveBack(); }
    } turn;
    return verifyTape(service->options.verifier, tape, service->options.limits, verdict, why);
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
        return refuse(res, 429,
                      std::to_string(kUploadsPerMinute) + " uploads a minute from one address: try again in a minute");
    }
    const std::string digest = sha256Hex(req.body);
    Earlier earlier;
    if (store.findEarlier(digest, "", earlier)) return refuseCopy(res, earlier);

    Verdict verdict;
    bool busy = false;
    switch (verifyInTurn(req.body, verdict, why, busy)) {
        case Verified::yes: break;
        case Verified::no: return refuse(res, 422, why);
        case Verified::failed:
            if (busy) {
                res.set_header("Retry-After", std::to_string(kBusyRetrySeconds));
                return refuse(res, 503, "every verifier is busy: send the replay again in a minute");
            }
            std::cerr << "zembrak-scores: " << why << std::endl;
            return refuse(res, 500, "the server could not check the replay");
    }
    NewEntry entry{name,         verdict.score, verdict.frames,  verdict.library,      verdict.version,
                   nowSeconds(), digest,        verdict.gameKey, verdictPace(verdict), req.body};
    int64_t id = 0, rank = 0;
    if (!store.add(entry, id, rank, earlier)) return refuseCopy(res, earlier);
    std::cout << "added #" << id << ": score " << verdict.score << " from " << address << std::endl;
    answer(res, 201, addedJson(id, rank, verdict.score));
}

void listScores(Store& store, const httplib::Request& req, httplib::Response& res) {
    int64_t limit = 50, offset = 0;
    if (req.has_param("limit") && !parseCount(req.get_param_value("limit"), kMaxListed, limit))
        return refuse(res, 400, "limit is a number from 0 to " + std::to_string(kMaxListed));
    if (req.has_param("offset") && !parseCount(req.get_param_value("offset"), INT32_MAX, offset))
        return refuse(res, 400, "offset is a number from 0");
    const std::string version = req.get_param_value("version");
    if (version.size() > 40) return refuse(res, 400, "no such version");
    answer(res, 200, boardJson(store.list(version, limit, offset)));
}

void sendTape(Store& store, const httplib::Request& req, httplib::Response& res) {
    std::string bytes;
    if (!store.tape(std::stoll(req.matches[1].str()), bytes)) return refuse(res, 404, "no such replay");
    res.set_header("Content-Disposition", "attachment; filename=\"" + req.matches[1].str() + ".replay\"");
    res.set_content(bytes, "application/octet-stream");
}

// The board of the version asked for (`all` for every one), this server's own by default,
// ahead of any index.html in the web folder.
void sendBoardPage(Store& store, bool watchable, const httplib::Request& req, httplib::Response& res) {
    BoardView view;
    view.current = view.version = kServerVersion;
    if (req.has_param("version")) view.version = req.get_param_value("version").substr(0, 40);
    if (view.version == "all") view.version.clear();
    if (req.has_param("offset") && !parseCount(req.get_param_value("offset"), INT32_MAX, view.offset)) view.offset = 0;
    view.entries = store.list(view.version, kPageSize + 1, view.offset);
    view.pageSize = kPageSize;
    view.more = static_cast<int64_t>(view.entries.size()) > kPageSize;
    if (view.more) view.entries.pop_back();
    view.versions = store.versions();
    view.watchable = watchable;
    res.set_content(boardPage(view), "text/html; charset=utf-8");
}

void sendEntryPage(Store& store, bool watchable, const httplib::Request& req, httplib::Response& res) {
    Entry entry;
    if (!store.entry(std::stoll(req.matches[1].str()), entry)) {
        res.status = 404;
        return res.set_content(missingEntryPage(), "text/html; charset=utf-8");
    }
    res.set_content(entryPage(entry, kServerVersion, watchable), "text/html; charset=utf-8");
}

// Bodies are read whole into memory by the HTTP library: only those it can bound get that far.
Handled checkBody(const httplib::Request& req, httplib::Response& res) {
    if (req.has_header("Transfer-Encoding")) {
        refuse(res, 411, "send the replay with a Content-Length, not in chunks");
        return Handled::Handled;
    }
    const bool hasLength = req.has_header("Content-Length");
    if (!hasLength && (req.method == "POST" || req.method == "PUT" || req.method == "PATCH")) {
        refuse(res, 411, "send the replay with a Content-Length");
        return Handled::Handled;
    }
    if (hasLength) {
        const std::string length = req.get_header_value("Content-Length");
        errno = 0;
        char* end = nullptr;
        const unsigned long long declared = strtoull(length.c_str(), &end, 10);
        if (length.empty() || *end != '\0' || errno != 0 || declared > kDropLimit) {
            res.set_header("Connection", "close");
            refuse(res, 413, tapeTooLarge());
            return Handled::Handled;
        }
    }
    return Handled::Unhandled;
}

// A web game served from elsewhere may post to the API: the browser asks first.
void allowCrossOrigin(httplib::Response& res) {
    res.status = 204;
    res.set_header("Access-Control-Allow-Methods", "GET, POST");
    res.set_header("Access-Control-Allow-Headers", "Content-Type");
    res.set_header("Access-Control-Max-Age", "86400");
}

Handled beforeRoutes(Store& store, bool watchable, const httplib::Request& req, httplib::Response& res) {
    beginRequest(std::strtoull(req.get_header_value("Content-Length").c_str(), nullptr, 10));
    if (checkBody(req, res) == Handled::Handled) return Handled::Handled;
    if (!service->reads.allow(clientAddress(req, service->options.trustForwarded), steadySeconds())) {
        res.set_header("Retry-After", "10");
        refuse(res, 429,
               std::to_string(service->options.readsPerMinute) +
                   " requests a minute from one address: try again in a few seconds");
        return Handled::Handled;
    }
    if (req.method == "OPTIONS" && req.path.rfind("/api/", 0) == 0) {
        allowCrossOrigin(res);
        return Handled::Handled;
    }
    if ((req.method == "GET" || req.method == "HEAD") && req.path == "/") {
        sendBoardPage(store, watchable, req, res);
        return Handled::Handled;
    }
    return Handled::Unhandled;
}

// A fault in a route is the database's: nothing else there throws.
void databaseFault(const httplib::Request&, httplib::Response& res, std::exception_ptr thrown) {
    try {
        std::rethrow_exception(thrown);
    } catch (const std::exception& error) {
        std::cerr << "zembrak-scores: " << error.what() << std::endl;
    } catch (...) {
    }
    refuse(res, 503, "the leaderboard's database is not answering; try again later");
}

// Errors the library answers itself (no such page, body too large) in JSON as well.
void libraryError(const httplib::Request&, httplib::Response& res) {
    if (!res.body.empty()) return;
    const std::string why = res.status == 404   ? "no such page"
                            : res.status == 413 ? tapeTooLarge()
                                                : "the request was not understood";
    refuse(res, res.status, why);
}

}  // namespace

bool addRoutes(httplib::Server& server, Store& store, const Options& options) {
    service.reset(new Service{store, options, VerifierTurns(options.verifiers, options.verifyQueue),
                              ReadRate(options.readsPerMinute)});
    server.set_payload_max_length(kMaxTape);
    // A browser takes every answer for what it says it is: a replay is never run as a page.
    server.set_default_headers({{"X-Content-Type-Options", "nosniff"}});
    if (!options.web.empty() && !server.set_mount_point("/", options.web)) {
        std::cerr << "zembrak-scores: --web " << options.web << " is not a folder" << std::endl;
        return false;
    }
    // The board's Watch buttons open the web build's page, when it is served beside it.
    struct stat page;
    const bool watchable = !options.web.empty() && stat((options.web + "/index.html").c_str(), &page) == 0;
    server.set_pre_routing_handler([&store, watchable](const httplib::Request& req, httplib::Response& res) {
        return beforeRoutes(store, watchable, req, res);
    });
    server.Post("/api/scores", [&store, &options](const httplib::Request& req, httplib::Response& res) {
        upload(store, options, req, res);
    });
    server.Get("/api/scores",
               [&store](const httplib::Request& req, httplib::Response& res) { listScores(store, req, res); });
    server.Get(R"(/replays/(\d{1,18})\.replay)",
               [&store](const httplib::Request& req, httplib::Response& res) { sendTape(store, req, res); });
    server.Get(R"(/scores/(\d{1,18}))", [&store, watchable](const httplib::Request& req, httplib::Response& res) {
        sendEntryPage(store, watchable, req, res);
    });
    server.Get("/healthz", [&store](const httplib::Request&, httplib::Response& res) {
        answer(res, 200, healthJson(store.count()));
    });
    // The API and the replays are public: any page may read them and post to them.
    server.set_post_routing_handler([](const httplib::Request& req, httplib::Response& res) {
        endRequest();
        if (req.path.rfind("/api/", 0) == 0 || req.path.rfind("/replays/", 0) == 0)
            res.set_header("Access-Control-Allow-Origin", "*");
    });
    server.set_exception_handler(databaseFault);
    server.set_error_handler(libraryError);
    return true;
}

}  // namespace scores
