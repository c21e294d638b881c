#include "check.hpp"

#include <cstdio>
#include <exception>
#include <utility>
#include <vector>

namespace {
std::vector<std::pair<const char*, std::function<void()>>>& tests() {
    static std::vector<std::pair<const char*, std::function<void()>>> all;
    return all;
}
int failures = 0;
}  // namespace

void registerTest(const char* name, std::function<void()> fn) { tests().emplace_back(name, std::move(fn)); }

void reportFailure(const char* file, int line, const std::string& what) {
    ++failures;
    std::fprintf(stderr, "%s:%d: FAILED %s\n", file, line, what.c_str());
}

int main() {
    for (auto& [name, fn] : tests()) {
        const int before = failures;
        try {
            fn();
        } catch (const std::exception& e) {
            reportFailure(name, 0, std::string("unexpected exception: ") + e.what());
        }
        std::printf("%-40s %s\n", name, failures == before ? "ok" : "FAILED");
    }
    std::printf("%zu tests, %d failures\n", tests().size(), failures);
    return failures == 0 ? 0 : 1;
}
