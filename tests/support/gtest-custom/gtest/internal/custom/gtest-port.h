// GoogleTest customisation for MinGW-w64's win32 thread model, which has no
// std::mutex: gtest's own Notification is replaced by one on a Win32 event.
#ifndef GLINSPECT_GTEST_CUSTOM_PORT_H
#define GLINSPECT_GTEST_CUSTOM_PORT_H

#if defined(_WIN32) && !defined(_GLIBCXX_HAS_GTHREADS)
#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace internal
}  // namespace testing
#endif

#endif
