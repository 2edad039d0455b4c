// What the C and C++ runtime import by themselves, linked as VELDA's
// programs are: a program that does nothing but use the parts of the
// runtime they use (threads, locks, once-flags, error codes). The ANSI
// functions it imports are the runtime's own, with names it makes itself
// (its DLLs, unnamed events); ansi_imports.sh allows those alone.
#include <cstdio>
#include <mutex>
#include <system_error>
#include <thread>

int wmain() {
    static std::once_flag once;
    static std::mutex lock;
    std::thread worker([] { std::call_once(once, [] { const std::lock_guard<std::mutex> held(lock); }); });
    worker.join();
    return std::puts(std::error_code(5, std::system_category()).message().c_str()) < 0;
}
