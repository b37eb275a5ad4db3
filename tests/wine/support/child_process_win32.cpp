#include "tests/wine/support/child_process_win32.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace qx::test {

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::string& command_line) {
    std::unique_ptr<ChildProcess> child(new ChildProcess());
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE in_read = nullptr, out_write = nullptr;
    if (!CreatePipe(&in_read, &child->input_, &inherit, 0) ||
        !CreatePipe(&child->output_, &out_write, &inherit, 0)) {
        ADD_FAILURE() << "cannot make pipes for " << command_line;
        return nullptr;
    }
    // Our ends stay ours.
    SetHandleInformation(child->input_, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(child->output_, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in_read;
    startup.hStdOutput = out_write;
    startup.hStdError = out_write;
    std::vector<char> line(command_line.begin(), command_line.end());
    line.push_back('\0');
    const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &child->info_);
    CloseHandle(in_read);
    CloseHandle(out_write);
    if (!started) {
        ADD_FAILURE() << "cannot start " << command_line << " (error " << GetLastError() << ")";
        return nullptr;
    }
    child->reader_ = std::thread([c = child.get()] { c->ReadOutput(); });
    return child;
}

ChildProcess::~ChildProcess() {
    if (info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        Kill();
    }
    CloseInput();
    if (reader_.joinable()) {
        reader_.join();
    }
    if (output_ != nullptr) {
        CloseHandle(output_);
    }
    if (info_.hProcess != nullptr) {
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
}

void ChildProcess::ReadOutput() {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(output_, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        std::string chunk(buffer, got);
        // Text mode output from the child arrives with CR LF; tests compare plain lines.
        std::string plain;
        for (char c : chunk) {
            if (c != '\r') {
                plain.push_back(c);
            }
        }
        std::lock_guard lock(mutex_);
        text_ += plain;
        changed_.notify_all();
    }
    std::lock_guard lock(mutex_);
    ended_ = true;
    changed_.notify_all();
}

bool ChildProcess::WaitForOutput(std::string_view text, DWORD timeout_ms) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] {
        return text_.find(text) != std::string::npos || ended_;
    }) && text_.find(text) != std::string::npos;
}

std::string ChildProcess::Output() {
    std::lock_guard lock(mutex_);
    return text_;
}

void ChildProcess::CloseInput() {
    if (input_ != nullptr) {
        CloseHandle(input_);
        input_ = nullptr;
    }
}

int ChildProcess::Wait(DWORD timeout_ms) {
    // Windows of this test keep answering while the child runs: it may be broadcasting to them.
    if (!WaitPumping(info_.hProcess, timeout_ms)) {
        Kill();
        return -1;
    }
    if (reader_.joinable()) {
        reader_.join();  // all output is in once the pipe has closed
    }
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<int>(code);
}

void ChildProcess::Kill() {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, kWaitMs);
}

void PumpPending() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool WaitPumping(HANDLE object, DWORD timeout_ms) {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        const DWORD woke = MsgWaitForMultipleObjects(1, &object, FALSE, left, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) {
            PumpPending();
            return true;
        }
        if (woke != WAIT_OBJECT_0 + 1) {
            return false;
        }
        PumpPending();
    }
}

std::string RunToEnd(const std::string& command_line, int* exit_code) {
    auto child = ChildProcess::Start(command_line);
    if (!child) {
        return {};
    }
    child->CloseInput();
    const int code = child->Wait();
    if (exit_code != nullptr) {
        *exit_code = code;
    }
    return child->Output();
}

}  // namespace qx::test
