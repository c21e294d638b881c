// zembrak-scores: a leaderboard whose every score was proved by playing its replay again.
//   zembrak-scores [--listen ADDRESS:PORT] [--database URL] [--verifier PATH] [--web FOLDER]
//                  [--trust-forwarded] [--verify-cpu SECONDS] [--verify-memory MIB]
#include <httplib.h>
#include <signal.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <thread>

#include "host_tools.h"
#include "options.h"
#include "read_limits.h"
#include "routes.h"
#include "store.h"

using namespace scores;

namespace {

// The store, or a message and nothing when the database cannot be opened.
std::unique_ptr<Store> openStoreOrSay(const std::string& database) {
    try {
        return openStore(database);
    } catch (const std::exception& error) {
        std::cerr << "zembrak-scores: " << error.what() << std::endl;
        return nullptr;
    }
}

// The port listened on (the one the system chose for port 0), or -1 with a message. A port
// that another server holds is refused: the library would share it (SO_REUSEPORT), and the
// system would deal requests out between two boards. A restart may still take its own port
// back at once.
int bindPort(httplib::Server& server, const Options& options) {
    int listening = -1;
    server.set_socket_options([&listening](int sock) {
        const int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        listening = sock;
    });
    int port = options.port;
    if (port == 0) {
        port = server.bind_to_any_port(options.host);
    } else if (!server.bind_to_port(options.host, port)) {
        port = -1;
    }
    // The library listens with a backlog of 5, so a burst of new connections (slow clients cut
    // and coming back) would make the next client wait a second for its SYN to be sent again.
    // Listening again only sets the backlog.
    if (port >= 0) listen(listening, SOMAXCONN);
    if (port < 0)
        std::cerr << "zembrak-scores: cannot listen on " << options.host << ":" << options.port << ": "
                  << strerror(errno) << std::endl;
    return port;
}

// SIGTERM and SIGINT end the serving loop; the requests in hand are finished first. They are
// taken by a thread of their own, never by a handler: a signal that comes before the loop has
// started waits for it, where the library's stop() would drop it and leave the server running.
void stopOnSignals(httplib::Server& server) {
    sigset_t stopping;
    sigemptyset(&stopping);
    sigaddset(&stopping, SIGTERM);
    sigaddset(&stopping, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopping, nullptr);  // every thread started from here on
    std::thread([&server, stopping] {
        int signal;
        sigwait(&stopping, &signal);
        while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        server.stop();
    }).detach();
}

void announce(const Options& options, int port) {
    const bool v6 = options.host.find(':') != std::string::npos;
    std::cout << "zembrak-scores: listening on http://" << (v6 ? "[" + options.host + "]" : options.host) << ":" << port
              << "/" << std::endl;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && isHostTool(argv[1])) return runHostTool(argc, argv);
    const Options options = parseOptions(argc, argv);
    signal(SIGPIPE, SIG_IGN);  // a client gone mid-answer is an error of that write only
    httplib::Server server;
    stopOnSignals(server);  // before any thread starts, the store's included
    const std::unique_ptr<Store> store = openStoreOrSay(options.database);
    if (!store) return 1;
    startWatchedWorkers(server, kWorkers);
    if (!addRoutes(server, *store, options)) return 1;
    const int port = bindPort(server, options);
    if (port < 0) return 1;
    announce(options, port);
    server.listen_after_bind();
    return 0;
}
