// GoogleTest customisation for MinGW-w64's win32 thread model.
//
// gtest is built without its thread support there: the test programs assert
// from their main thread only. Thread-safe on Windows, gtest starts a hidden
// watcher thread for each thread that first uses one of its thread-locals (a
// SCOPED_TRACE, a failed assertion), blocked until that thread ends. The main
// thread never ends before the process does, so the watcher is still waiting
// when the program exits.
// NOTE: Wine 8 ends such a thread with a signal while the exiting thread is
// already inside the C library's exit(); now and then the thread's signal
// handler faults there and the whole program dies of SIGSEGV after its tests
// passed.
// Without thread support gtest also needs no std::mutex, which this thread
// model lacks.
#ifndef GLINSPECT_GTEST_CUSTOM_PORT_H
#define GLINSPECT_GTEST_CUSTOM_PORT_H

#if defined(_WIN32) && !defined(_GLIBCXX_HAS_GTHREADS)
#include <windows.h>

#define GTEST_IS_THREADSAFE 0

namespace testing {
namespace internal {

// The owner of a handle that gtest's death tests use on Windows; gtest
// declares it only together with its thread support.
class AutoHandle {
public:
    typedef void* Handle;
    AutoHandle() : handle_(INVALID_HANDLE_VALUE) {}
    explicit AutoHandle(Handle handle) : handle_(handle) {}
    ~AutoHandle() { Reset(); }
    AutoHandle(const AutoHandle&) = delete;
    AutoHandle& operator=(const AutoHandle&) = delete;

    Handle Get() const { return handle_; }
    void Reset() { Reset(INVALID_HANDLE_VALUE); }
    void Reset(Handle handle)
    {
        if (handle_ != handle && handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
        handle_ = handle;
    }

private:
    Handle handle_;
};

}  // namespace internal
}  // namespace testing
#endif

#endif
