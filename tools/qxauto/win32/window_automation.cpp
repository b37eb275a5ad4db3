#include "tools/qxauto/win32/window_automation.h"

#include <cstdio>

namespace qx {
namespace {

// Windows of other programs are looked at while they run; a short pause between looks keeps the
// search from taking the processor from the program being watched.
constexpr DWORD kPollMs = 10;

std::string TextOf(HWND window) {
    char text[2048] = {};
    DWORD_PTR length = 0;
    // WM_GETTEXT is marshalled between processes; a bound keeps a hung window from hanging us.
    if (SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 2000, &length) == 0) {
        GetWindowTextA(window, text, sizeof text);
    }
    return text;
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string StandardIconName(HICON icon) {
    const struct {
        LPCSTR id;
        const char* name;
    } icons[] = {
        {IDI_EXCLAMATION, "exclamation"}, {IDI_HAND, "stop"},
        {IDI_QUESTION, "question"},       {IDI_ASTERISK, "information"},
        {IDI_APPLICATION, "application"},
    };
    for (const auto& candidate : icons) {
        if (icon != nullptr && LoadIconA(nullptr, candidate.id) == icon) {
            return candidate.name;
        }
    }
    // Icons loaded by another process are its own copies, so only an icon this process shares
    // can be named; any other is reported without a name.
    return {};
}

ControlInfo Describe(HWND control) {
    ControlInfo info;
    info.id = GetDlgCtrlID(control);
    const std::string cls = ClassOf(control);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    if (lstrcmpiA(cls.c_str(), "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
        info.kind = "icon";
        DWORD_PTR icon = 0;
        SendMessageTimeoutA(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon);
        info.text = StandardIconName(reinterpret_cast<HICON>(icon));
        return info;
    }
    if (lstrcmpiA(cls.c_str(), "Static") == 0 && (style & SS_TYPEMASK) == SS_BITMAP) {
        info.kind = "bitmap";  // its window text is the resource number, not a text
        return info;
    }
    if (lstrcmpiA(cls.c_str(), "Static") == 0) {
        info.kind = "static";
    } else if (lstrcmpiA(cls.c_str(), "Button") == 0) {
        info.kind = "button";
    } else if (lstrcmpiA(cls.c_str(), "Edit") == 0) {
        info.kind = "edit";
    } else {
        info.kind = cls;
    }
    info.text = TextOf(control);
    return info;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    auto* snapshot = reinterpret_cast<WindowSnapshot*>(param);
    if (GetParent(child) == snapshot->window) {  // direct children, in tab order
        snapshot->controls.push_back(Describe(child));
    }
    return TRUE;
}

struct Search {
    const WindowQuery* query;
    HWND found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    const WindowQuery& q = *search->query;
    if (q.process_id != 0 ? process != q.process_id : process == GetCurrentProcessId()) {
        return TRUE;
    }
    if (!IsWindowVisible(window)) {
        return TRUE;
    }
    for (HWND seen : q.skip) {
        if (window == seen) {
            return TRUE;
        }
    }
    if (!q.window_class.empty() && ClassOf(window) != q.window_class) {
        return TRUE;
    }
    if (!q.caption.empty() && TextOf(window) != q.caption) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

std::string StripMnemonics(std::string_view label) {
    std::string out;
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size()) {
            ++i;  // "&&" stands for one '&'
        }
        out.push_back(label[i]);
    }
    return out;
}

}  // namespace

std::string WindowSnapshot::Transcript() const {
    std::string out = "window \"" + caption + "\" (" + window_class + ")\n";
    for (const ControlInfo& c : controls) {
        if (c.kind == "icon") {
            out += c.text.empty() ? "  icon\n" : "  icon " + c.text + "\n";
        } else if (c.kind == "bitmap") {
            out += "  bitmap\n";
        } else if (c.kind == "button") {
            out += "  button " + std::to_string(c.id) + " \"" + c.text + "\"\n";
        } else {
            out += "  " + c.kind + " \"" + c.text + "\"\n";
        }
    }
    return out;
}

WindowSnapshot Snapshot(HWND window) {
    WindowSnapshot snapshot;
    snapshot.window = window;
    GetWindowThreadProcessId(window, &snapshot.process_id);
    snapshot.caption = TextOf(window);
    snapshot.window_class = ClassOf(window);
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&snapshot));
    return snapshot;
}

std::optional<WindowSnapshot> WaitForWindow(const WindowQuery& query, DWORD timeout_ms) {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    for (;;) {
        Search search{&query};
        EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            // A window is read once it has settled: two looks in a row that agree.
            WindowSnapshot first = Snapshot(search.found);
            Sleep(kPollMs);
            WindowSnapshot second = Snapshot(search.found);
            if (first.Transcript() == second.Transcript() && IsWindowVisible(search.found)) {
                return second;
            }
            continue;
        }
        if (GetTickCount64() >= deadline) {
            return std::nullopt;
        }
        Sleep(kPollMs);
    }
}

bool PressButton(const WindowSnapshot& snapshot, std::string_view label) {
    const std::string wanted = StripMnemonics(label);
    for (const ControlInfo& c : snapshot.controls) {
        if (c.kind == "button" && StripMnemonics(c.text) == wanted) {
            HWND button = GetDlgItem(snapshot.window, c.id);
            return PostMessageA(snapshot.window, WM_COMMAND, MAKEWPARAM(c.id, BN_CLICKED),
                                reinterpret_cast<LPARAM>(button)) != 0;
        }
    }
    return false;
}

bool WaitUntilClosed(HWND window, DWORD timeout_ms) {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(kPollMs);
    }
    return true;
}

}  // namespace qx
