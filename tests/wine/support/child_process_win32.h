#pragma once
// Another program started by a test, with its output collected as it comes. Tests wait on what
// the program says or on its end, never for a fixed time.

#include <windows.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace qx::test {

inline constexpr DWORD kWaitMs = 30000;  // a bound for waits that should end much sooner

class ChildProcess {
  public:
    // Starts `command_line` (resolved like CreateProcess does: the test's own folder first) with
    // its standard input, output and error connected to this test.
    static std::unique_ptr<ChildProcess> Start(const std::string& command_line);
    ~ChildProcess();

    // True once the output contains `text`; false if the program ended or the wait ran out first.
    bool WaitForOutput(std::string_view text, DWORD timeout_ms = kWaitMs);
    std::string Output();
    // Ends the program's input (a 'hold' then lets go).
    void CloseInput();
    // The exit code, or -1 when the program had not ended within the wait (it is then killed).
    int Wait(DWORD timeout_ms = kWaitMs);
    void Kill();
    DWORD process_id() const { return info_.dwProcessId; }
    HANDLE handle() const { return info_.hProcess; }

  private:
    ChildProcess() = default;
    void ReadOutput();

    PROCESS_INFORMATION info_{};
    HANDLE input_ = nullptr;
    HANDLE output_ = nullptr;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string text_;
    bool ended_ = false;
};

// Waits for `object` while dispatching this thread's window messages, as a program with windows
// must while another program broadcasts to them. True when the object was signalled in time.
bool WaitPumping(HANDLE object, DWORD timeout_ms = kWaitMs);
// Dispatches whatever messages are already waiting for this thread.
void PumpPending();

// Runs a program to its end and returns its output; the exit code goes to `exit_code`.
std::string RunToEnd(const std::string& command_line, int* exit_code = nullptr);

}  // namespace qx::test
