#pragma once
// Worker threads of the interactive programs.
//
// A worker reports to its window only by posting messages (PostMessageW), so everything that writes files or
// changes a dialog's own state runs on the window's thread; flags shared with a worker are std::atomic. A
// window's own background work runs as its worker tasks (WorkerTasks.h), which are built on these.
#include <windows.h>

#include <memory>

#include "common/base/UniqueHandle.h"

using AFX_THREADPROC = UINT (*)(LPVOID param);

// One started thread. The object owns the thread's handle: it stays valid for waits until the object goes,
// whether or not the thread has ended. Dropping the object does not stop or wait for the thread.
class CWinThread {
public:
    CWinThread(UniqueHandle handle, DWORD id) : m_handle(std::move(handle)), m_id(id) {}

    HANDLE Handle() const { return m_handle.get(); }
    DWORD Id() const { return m_id; }
    // True when the thread ended within the time (INFINITE waits for ever).
    bool Wait(DWORD milliseconds) const { return ::WaitForSingleObject(m_handle.get(), milliseconds) == WAIT_OBJECT_0; }
    // The thread's result, or STILL_ACTIVE while it runs.
    DWORD ExitCode() const;

private:
    UniqueHandle m_handle;
    DWORD m_id;
};

// Starts fn(param) on a new thread with the given priority; null when the thread could not be started. With
// CREATE_SUSPENDED the thread waits for ResumeThread on its handle. Unlike the familiar one, the result owns
// the thread's handle and never deletes itself.
std::unique_ptr<CWinThread> AfxBeginThread(AFX_THREADPROC fn, LPVOID param,
                                           int priority = THREAD_PRIORITY_NORMAL, DWORD createFlags = 0);
