#include "common/framework/Thread.h"

#include <process.h>

namespace {

struct Start {
    AFX_THREADPROC fn;
    LPVOID param;
};

unsigned __stdcall ThreadMain(void* raw) {
    const Start start = *static_cast<Start*>(raw);
    delete static_cast<Start*>(raw);
    return start.fn(start.param);
}

}  // namespace

DWORD CWinThread::ExitCode() const {
    DWORD code = 0;
    return ::GetExitCodeThread(m_handle.get(), &code) ? code : 0;
}

std::unique_ptr<CWinThread> AfxBeginThread(AFX_THREADPROC fn, LPVOID param, int priority, DWORD createFlags) {
    if (!fn) return nullptr;
    auto* start = new Start{fn, param};
    unsigned id = 0;
    // Created suspended so the priority is set before the first instruction runs.
    const uintptr_t raw = ::_beginthreadex(nullptr, 0, &ThreadMain, start, CREATE_SUSPENDED, &id);
    if (raw == 0) {
        delete start;
        return nullptr;
    }
    UniqueHandle handle(reinterpret_cast<HANDLE>(raw));
    if (priority != THREAD_PRIORITY_NORMAL) ::SetThreadPriority(handle.get(), priority);
    if (!(createFlags & CREATE_SUSPENDED)) ::ResumeThread(handle.get());
    return std::make_unique<CWinThread>(std::move(handle), id);
}
