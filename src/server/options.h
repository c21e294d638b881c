// The server's command line: where it listens, which database and verifier it uses, and how
// far it trusts the address a load balancer forwards.
#pragma once

#include <string>

#include "verify.h"

namespace scores {

struct Options {
    std::string host = "127.0.0.1";
    int port = 8080;
    std::string database, verifier, web;
    bool trustForwarded = false;
    VerifyLimits limits;
    int verifiers = 0;         // at once; 0 for one a core
    int verifyQueue = 4;       // uploads waiting for a verifier
    int readsPerMinute = 300;  // requests of any kind from one address
};

// The options given, with the verifier beside the program and the database in the state
// folder when none is named. Prints the usage and exits 2 on a bad option, 0 after --help.
Options parseOptions(int argc, char** argv);

}  // namespace scores
