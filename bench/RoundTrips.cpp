#include "RoundTrips.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include <dlfcn.h>

// The QPSQL driver is loaded at run time and binds its libpq calls to the
// first definition in the program: these, exported from the benchmark
// (ENABLE_EXPORTS), count each call and hand it on to libpq.

namespace {

std::atomic<int64_t> sent { 0 };

// TARVANE_BENCH_TRACE_PG=1 prints each call and the start of its text, to see
// what one operation sends.
// libpq's blocking calls run its sending calls inside; only the outer one counts.
thread_local int depth = 0;

struct Outer {
    Outer() { ++depth; }
    ~Outer() { --depth; }
    Outer(const Outer &) = delete;
    Outer &operator=(const Outer &) = delete;
};

void trace(const char *call, const char *text)
{
    if (depth > 1)
        return;
    ++sent;
    static const bool on = std::getenv("TARVANE_BENCH_TRACE_PG") != nullptr;
    if (on)
        std::fprintf(stderr, "pg %s: %.100s\n", call, text ? text : "");
}

void *libpqSymbol(const char *name)
{
    static void *handle = dlopen("libpq.so.5", RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        handle = dlopen("libpq.so.5", RTLD_NOW);
    void *symbol = handle ? dlsym(handle, name) : nullptr;
    return symbol ? symbol : dlsym(RTLD_NEXT, name);
}

template <typename F> F real(const char *name)
{
    return reinterpret_cast<F>(libpqSymbol(name));
}

} // namespace

int64_t RoundTrips::count()
{
    return sent.load();
}

void RoundTrips::reset()
{
    sent = 0;
}

extern "C" {

using Oid = unsigned int;

__attribute__((visibility("default"))) void *PQexec(void *conn, const char *query)
{
    static const auto call = real<void *(*)(void *, const char *)>("PQexec");
    const Outer outer;
    trace("PQexec", query);
    return call(conn, query);
}

__attribute__((visibility("default"))) void *PQexecParams(void *conn, const char *command, int nParams,
    const Oid *paramTypes, const char *const *paramValues, const int *paramLengths, const int *paramFormats,
    int resultFormat)
{
    static const auto call
        = real<void *(*)(void *, const char *, int, const Oid *, const char *const *, const int *, const int *, int)>(
            "PQexecParams");
    const Outer outer;
    trace("PQexecParams", command);
    return call(conn, command, nParams, paramTypes, paramValues, paramLengths, paramFormats, resultFormat);
}

__attribute__((visibility("default"))) void *PQprepare(
    void *conn, const char *stmtName, const char *query, int nParams, const Oid *paramTypes)
{
    static const auto call = real<void *(*)(void *, const char *, const char *, int, const Oid *)>("PQprepare");
    const Outer outer;
    trace("PQprepare", query);
    return call(conn, stmtName, query, nParams, paramTypes);
}

__attribute__((visibility("default"))) void *PQexecPrepared(void *conn, const char *stmtName, int nParams,
    const char *const *paramValues, const int *paramLengths, const int *paramFormats, int resultFormat)
{
    static const auto call
        = real<void *(*)(void *, const char *, int, const char *const *, const int *, const int *, int)>(
            "PQexecPrepared");
    const Outer outer;
    trace("PQexecPrepared", stmtName);
    return call(conn, stmtName, nParams, paramValues, paramLengths, paramFormats, resultFormat);
}

__attribute__((visibility("default"))) int PQsendQuery(void *conn, const char *query)
{
    static const auto call = real<int (*)(void *, const char *)>("PQsendQuery");
    const Outer outer;
    trace("PQsendQuery", query);
    return call(conn, query);
}

__attribute__((visibility("default"))) int PQsendQueryParams(void *conn, const char *command, int nParams,
    const Oid *paramTypes, const char *const *paramValues, const int *paramLengths, const int *paramFormats,
    int resultFormat)
{
    static const auto call
        = real<int (*)(void *, const char *, int, const Oid *, const char *const *, const int *, const int *, int)>(
            "PQsendQueryParams");
    const Outer outer;
    trace("PQsendQueryParams", command);
    return call(conn, command, nParams, paramTypes, paramValues, paramLengths, paramFormats, resultFormat);
}

__attribute__((visibility("default"))) int PQsendPrepare(
    void *conn, const char *stmtName, const char *query, int nParams, const Oid *paramTypes)
{
    static const auto call = real<int (*)(void *, const char *, const char *, int, const Oid *)>("PQsendPrepare");
    const Outer outer;
    trace("PQsendPrepare", query);
    return call(conn, stmtName, query, nParams, paramTypes);
}

__attribute__((visibility("default"))) int PQsendQueryPrepared(void *conn, const char *stmtName, int nParams,
    const char *const *paramValues, const int *paramLengths, const int *paramFormats, int resultFormat)
{
    static const auto call
        = real<int (*)(void *, const char *, int, const char *const *, const int *, const int *, int)>(
            "PQsendQueryPrepared");
    const Outer outer;
    trace("PQsendQueryPrepared", stmtName);
    return call(conn, stmtName, nParams, paramValues, paramLengths, paramFormats, resultFormat);
}
}
