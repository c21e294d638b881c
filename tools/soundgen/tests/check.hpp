// Minimal test harness: TEST registers a function, CHECK records failures and goes on.
#pragma once
#include <functional>
#include <sstream>
#include <string>

void registerTest(const char* name, std::function<void()> fn);
void reportFailure(const char* file, int line, const std::string& what);

struct TestRegistrar {
    TestRegistrar(const char* name, std::function<void()> fn) { registerTest(name, std::move(fn)); }
};

#define TEST(name)                                            \
    static void name();                                       \
    static const TestRegistrar name##_registrar(#name, name); \
    static void name()

#define CHECK(cond)                                            \
    do {                                                       \
        if (!(cond)) reportFailure(__FILE__, __LINE__, #cond); \
    } while (0)

#define CHECK_NEAR(a, b, tol)                                                     \
    do {                                                                          \
        const double va_ = (a), vb_ = (b);                                        \
        if (!(va_ - vb_ <= (tol) && vb_ - va_ <= (tol))) {                        \
            std::ostringstream os_;                                               \
            os_ << #a << " = " << va_ << ", expected " << vb_ << " +- " << (tol); \
            reportFailure(__FILE__, __LINE__, os_.str());                         \
        }                                                                         \
    } while (0)

#define CHECK_THROWS(expr)                                                  \
    do {                                                                    \
        bool threw_ = false;                                                \
        try {                                                               \
            (void)(expr);                                                   \
        } catch (const std::exception&) {                                   \
            threw_ = true;                                                  \
        }                                                                   \
        if (!threw_) reportFailure(__FILE__, __LINE__, "no throw: " #expr); \
    } while (0)
