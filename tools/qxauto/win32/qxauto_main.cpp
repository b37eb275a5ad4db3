// qxauto: waits for another program's window, prints what it shows and presses a button.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/qxauto/win32/window_automation.h"

namespace {

constexpr char kUsage[] =
    "usage: qxauto [--caption TEXT] [--class NAME] [--press LABEL] [--count N] [--timeout MS]\n"
    "              [--transcript FILE]\n"
    "\n"
    "Waits for a visible top-level window of another program whose caption is TEXT and whose\n"
    "class is NAME (either may be left out), prints its caption, texts, icon and buttons, and\n"
    "presses the button labelled LABEL ('&' markers may be left out), then waits until the\n"
    "window has closed. With --count N it handles N such windows one after the other. The\n"
    "transcript is also appended to FILE when given. --timeout (default 10000) bounds each wait.\n"
    "\n"
    "Exit status: 0 when every window was found (and answered), 1 when one did not appear or its\n"
    "button was missing, 2 on a usage error.\n";

int Usage(const char* problem) {
    if (problem != nullptr) {
        std::fprintf(stderr, "qxauto: %s\n\n", problem);
    }
    std::fputs(kUsage, problem != nullptr ? stderr : stdout);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    qx::WindowQuery query;
    std::string press, transcript_file;
    unsigned long count = 1, timeout = 10000;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            return Usage(nullptr);
        }
        if (i + 1 >= argc) {
            return Usage(("missing value after " + arg).c_str());
        }
        const char* value = argv[++i];
        if (arg == "--caption") {
            query.caption = value;
        } else if (arg == "--class") {
            query.window_class = value;
        } else if (arg == "--press") {
            press = value;
        } else if (arg == "--transcript") {
            transcript_file = value;
        } else if (arg == "--count" || arg == "--timeout") {
            char* end = nullptr;
            const unsigned long n = std::strtoul(value, &end, 10);
            if (end == value || *end != '\0') {
                return Usage(("not a number: " + std::string(value)).c_str());
            }
            (arg == "--count" ? count : timeout) = n;
        } else {
            return Usage(("unknown option " + arg).c_str());
        }
    }

    for (unsigned long n = 0; n < count; ++n) {
        const auto window = qx::WaitForWindow(query, timeout);
        if (!window) {
            std::fprintf(stderr, "qxauto: no window appeared within %lu ms\n", timeout);
            return 1;
        }
        query.skip.push_back(window->window);
        const std::string transcript = window->Transcript();
        std::fputs(transcript.c_str(), stdout);
        std::fflush(stdout);
        if (!transcript_file.empty()) {
            if (FILE* f = std::fopen(transcript_file.c_str(), "ab")) {
                std::fputs(transcript.c_str(), f);
                std::fclose(f);
            }
        }
        if (press.empty()) {
            continue;
        }
        if (!qx::PressButton(*window, press)) {
            std::fprintf(stderr, "qxauto: the window has no button \"%s\"\n", press.c_str());
            return 1;
        }
        if (!qx::WaitUntilClosed(window->window, timeout)) {
            std::fprintf(stderr, "qxauto: the window did not close within %lu ms\n", timeout);
            return 1;
        }
    }
    return 0;
}
