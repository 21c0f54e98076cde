// The test driver: a console program that starts one Windows program and works its windows
// on command. It reads one command per line from standard input and answers each with one
// or more lines on standard output (the last one "ok ...", "end", "timeout" or "error ...").
//
//   start EXE DIR [ARG...]        start EXE with DIR as its current folder and the
//                                 arguments ARG... joined by spaces -> ok PID
//   windows                       top-level windows, top first -> win HWND VISIBLE X Y W H
//                                 CLASS CAPTION OWNER lines, end
//   wait CLASS CAPTION MS         wait for a visible window ("*" matches all) -> ok HWND
//   waitany CLASS CAPTION MS      the same for a window of any process
//   exists CLASS MS               wait for a window of that class, hidden or not, any process
//   controls HWND                 child controls -> ctl ID ENABLED VISIBLE CLASS TEXT HWND, end
//   click HWND CAPTION            press the button with that caption (& ignored) -> ok
//   answer CAPTION MS             press CAPTION in the program's next dialog box -> ok TEXT
//   sendmsg HWND MSG WPARAM LPARAM send a message (numbers) -> ok RESULT
//   postmsg HWND MSG WPARAM LPARAM post it, for messages whose handling waits for the user
//   settext HWND ID TEXT          set the text of control ID of HWND (as typed) -> ok
//   treeitem HWND INDEX           top-level item INDEX of a tree view -> ok ITEM IMAGE TEXT
//   menu INDEX MS                 choose entry INDEX (from 0) of the program's popup menu -> ok
//   freeze CLASS CAPTION EXCEPT DELAY MS
//                                 wait for a visible window other than EXCEPT, then after
//                                 DELAY ms suspend its thread (to photograph it) -> ok HWND
//   thaw                          resume every suspended thread -> ok
//   gone MS                       wait until the program shows no window -> ok
//   exit MS                       wait for the program to end -> exit CODE
//   watch MS                      until the program ends (or MS pass), look every few ms for
//                                 a visible top-level window of it -> seen HWND CLASS CAPTION
//                                 lines (each window once), then exit CODE or timeout
//   kill                          end the program -> ok
//   quit
#include "tools/driver/command_line.h"
#include "tools/driver/remote.h"
#include "framework/handle.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

using cv::driver::Quote;

struct Program {
    cv::UniqueKernelHandle process;
    DWORD pid = 0;
};
Program g_program;

std::string ClassOf(HWND w) {
    char buf[256] = {};
    ::GetClassNameA(w, buf, sizeof buf);
    return buf;
}

std::string TextOf(HWND w) {
    // WM_GETTEXT with a timeout: a hung window must not hang the driver.
    char buf[4096] = {};
    DWORD_PTR len = 0;
    ::SendMessageTimeoutA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG,
                          2000, &len);
    return buf;
}

std::string WithoutAmpersands(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&' && i + 1 < s.size() && s[i + 1] != '&')
            continue;
        out += s[i];
    }
    return out;
}

std::string HandleText(HWND w) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(w)));
    return buf;
}

HWND ParseHandle(const std::string& s) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(s.c_str(), nullptr, 16)));
}

struct EnumContext {
    std::vector<HWND> found;
    DWORD pid = 0;
    bool any = true;
};

BOOL CALLBACK CollectWindow(HWND w, LPARAM l) {
    auto* c = reinterpret_cast<EnumContext*>(l);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(w, &pid);
    if (c->any || pid == c->pid)
        c->found.push_back(w);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(bool any_process) {
    EnumContext ctx{{}, g_program.pid, any_process};
    ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

bool Matches(HWND w, const std::string& cls, const std::string& caption) {
    if (!::IsWindowVisible(w))
        return false;
    if (cls != "*" && ClassOf(w) != cls)
        return false;
    return caption == "*" || TextOf(w).find(caption) != std::string::npos;
}

HWND WaitForWindow(const std::string& cls, const std::string& caption, DWORD ms, bool any,
                   HWND except = nullptr) {
    DWORD start = ::GetTickCount();
    for (;;) {
        for (HWND w : TopLevelWindows(any))
            if (w != except && Matches(w, cls, caption))
                return w;
        if (::GetTickCount() - start >= ms)
            return nullptr;
        ::Sleep(50);
    }
}

std::vector<HWND> Children(HWND parent) {
    EnumContext ctx;
    ::EnumChildWindows(parent, &CollectWindow, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

bool Click(HWND dialog, const std::string& caption) {
    for (HWND c : Children(dialog)) {
        if (ClassOf(c) != "Button" || WithoutAmpersands(TextOf(c)) != WithoutAmpersands(caption))
            continue;
        // The button's owner gets the click as the button itself would report it; posting
        // keeps the driver free while the program opens further dialogs.
        HWND owner = ::GetParent(c);
        int id = ::GetDlgCtrlID(c);
        ::PostMessageA(owner, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(c));
        return true;
    }
    return false;
}

std::string DialogText(HWND dialog) {
    std::string text;
    for (HWND c : Children(dialog))
        if (ClassOf(c) == "Static" && !TextOf(c).empty())
            text += (text.empty() ? "" : "\n") + TextOf(c);
    return text;
}

void Reply(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

DWORD Ms(const std::vector<std::string>& words, std::size_t i, DWORD fallback) {
    return i < words.size() ? static_cast<DWORD>(std::strtoul(words[i].c_str(), nullptr, 10)) : fallback;
}

void Start(const std::string& exe, const std::string& dir, const std::string& arguments = {}) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string command = "\"" + exe + "\"" + arguments;
    if (!::CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          dir.empty() ? nullptr : dir.c_str(), &si, &pi)) {
        Reply("error cannot start " + Quote(exe) + " code " + std::to_string(::GetLastError()));
        return;
    }
    ::CloseHandle(pi.hThread);
    g_program.process.reset(pi.hProcess);
    g_program.pid = pi.dwProcessId;
    Reply("ok " + std::to_string(pi.dwProcessId));
}

bool Run(const std::vector<std::string>& w) {
    const std::string& cmd = w[0];
    if (cmd == "quit")
        return false;
    if (cmd == "start" && w.size() >= 2) {
        std::string arguments;
        for (std::size_t i = 3; i < w.size(); ++i)
            arguments += " " + w[i];
        Start(w[1], w.size() > 2 ? w[2] : "", arguments);
    } else if (cmd == "windows") {
        for (HWND h : TopLevelWindows(false)) {
            // Visibility first: a window placed before it is shown is then never reported
            // visible at the place it had before.
            const bool visible = ::IsWindowVisible(h) != FALSE;
            RECT rc{};
            ::GetWindowRect(h, &rc);
            Reply("win " + HandleText(h) + " " + std::to_string(visible ? 1 : 0) + " " +
                  std::to_string(rc.left) + " " + std::to_string(rc.top) + " " +
                  std::to_string(rc.right - rc.left) + " " + std::to_string(rc.bottom - rc.top) + " " +
                  Quote(ClassOf(h)) + " " + Quote(TextOf(h)) + " " + HandleText(::GetWindow(h, GW_OWNER)));
        }
        Reply("end");
    } else if ((cmd == "wait" || cmd == "waitany") && w.size() >= 3) {
        HWND h = WaitForWindow(w[1], w[2], Ms(w, 3, 10000), cmd == "waitany");
        Reply(h ? "ok " + HandleText(h) : "timeout");
    } else if (cmd == "exists" && w.size() >= 2) {
        DWORD start = ::GetTickCount(), ms = Ms(w, 2, 10000);
        HWND h = nullptr;
        while (!(h = ::FindWindowA(w[1].c_str(), nullptr)) && ::GetTickCount() - start < ms)
            ::Sleep(50);
        Reply(h ? "ok " + HandleText(h) : "timeout");
    } else if (cmd == "controls" && w.size() >= 2) {
        for (HWND c : Children(ParseHandle(w[1])))
            Reply("ctl " + std::to_string(::GetDlgCtrlID(c)) + " " +
                  std::to_string(::IsWindowEnabled(c) ? 1 : 0) + " " +
                  std::to_string(::IsWindowVisible(c) ? 1 : 0) + " " + Quote(ClassOf(c)) + " " +
                  Quote(TextOf(c)) + " " + HandleText(c));
        Reply("end");
    } else if (cmd == "click" && w.size() >= 3) {
        Reply(Click(ParseHandle(w[1]), w[2]) ? "ok" : "error no button " + Quote(w[2]));
    } else if (cmd == "answer" && w.size() >= 2) {
        // The program's dialog box that has a button with that caption (pages are dialogs too).
        DWORD start = ::GetTickCount(), ms = Ms(w, 2, 10000);
        bool done = false;
        while (!done) {
            for (HWND box : TopLevelWindows(false)) {
                if (!Matches(box, "#32770", "*"))
                    continue;
                std::string text = DialogText(box);
                if (Click(box, w[1])) {
                    Reply("ok " + Quote(text));
                    done = true;
                    break;
                }
            }
            if (!done && ::GetTickCount() - start >= ms) {
                Reply("timeout");
                break;
            }
            if (!done)
                ::Sleep(50);
        }
    } else if (cmd == "sendmsg" && w.size() >= 5) {
        DWORD_PTR result = 0;
        // Read at 64 bits so that a parameter keeps its value (and "-1" its sign) at the
        // width of the build's WPARAM and LPARAM.
        auto number = [](const std::string& t) { return std::strtoull(t.c_str(), nullptr, 0); };
        if (::SendMessageTimeoutA(ParseHandle(w[1]), number(w[2]), number(w[3]), number(w[4]), SMTO_ABORTIFHUNG,
                                  2000, &result))
            Reply("ok " + std::to_string(static_cast<long long>(static_cast<LONG_PTR>(result))));
        else
            Reply("error no answer");
    } else if (cmd == "postmsg" && w.size() >= 5) {
        auto number = [](const std::string& t) { return std::strtoull(t.c_str(), nullptr, 0); };
        Reply(::PostMessageA(ParseHandle(w[1]), number(w[2]), number(w[3]), number(w[4])) ? "ok" : "error not posted");
    } else if (cmd == "settext" && w.size() >= 4) {
        HWND control = nullptr;
        for (HWND c : Children(ParseHandle(w[1])))
            if (::GetDlgCtrlID(c) == std::atoi(w[2].c_str()))
                control = c;
        if (!control)
            Reply("error no control " + w[2]);
        else
            Reply(cv::driver::SetControlText(control, w[3]) ? "ok" : "error no answer");
    } else if (cmd == "treeitem" && w.size() >= 3) {
        cv::driver::TreeItem item = cv::driver::ReadTreeItem(ParseHandle(w[1]), std::atoi(w[2].c_str()));
        if (!item.handle)
            Reply("error no item " + w[2]);
        else
            Reply("ok " + HandleText(reinterpret_cast<HWND>(item.handle)) + " " + std::to_string(item.image) + " " +
                  Quote(item.text));
    } else if (cmd == "menu" && w.size() >= 2) {
        // The menu's own loop takes keys from the thread's queue: Down from no selection
        // reaches the first entry.
        HWND menu = WaitForWindow("#32768", "*", Ms(w, 2, 10000), false);
        if (!menu) {
            Reply("timeout");
        } else {
            for (int i = 0; i <= std::atoi(w[1].c_str()); ++i)
                ::PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
            ::PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
            Reply("ok " + HandleText(menu));
        }
    } else if (cmd == "freeze" && w.size() >= 4) {
        HWND h = WaitForWindow(w[1], w[2], Ms(w, 5, 10000), false, ParseHandle(w[3]));
        if (!h) {
            Reply("timeout");
        } else {
            ::Sleep(Ms(w, 4, 0));
            Reply(cv::driver::Freeze(h) ? "ok " + HandleText(h) : "error cannot suspend");
        }
    } else if (cmd == "thaw") {
        cv::driver::ThawAll();
        Reply("ok");
    } else if (cmd == "gone") {
        DWORD start = ::GetTickCount(), ms = Ms(w, 1, 10000);
        for (;;) {
            bool visible = false;
            for (HWND h : TopLevelWindows(false))
                visible = visible || ::IsWindowVisible(h);
            if (!visible) {
                Reply("ok");
                break;
            }
            if (::GetTickCount() - start >= ms) {
                Reply("timeout");
                break;
            }
            ::Sleep(50);
        }
    } else if (cmd == "exit") {
        if (!g_program.process) {
            Reply("error no program");
        } else if (::WaitForSingleObject(g_program.process.get(), Ms(w, 1, 10000)) != WAIT_OBJECT_0) {
            Reply("timeout");
        } else {
            DWORD code = 0;
            ::GetExitCodeProcess(g_program.process.get(), &code);
            Reply("exit " + std::to_string(code));
        }
    } else if (cmd == "watch") {
        // A silent program must never show a window, not even for a moment: polling from the
        // test over the pipe would miss a short one.
        if (!g_program.process) {
            Reply("error no program");
            return true;
        }
        std::vector<HWND> seen;
        const DWORD start = ::GetTickCount(), ms = Ms(w, 1, 10000);
        for (;;) {
            const bool ended = ::WaitForSingleObject(g_program.process.get(), 5) == WAIT_OBJECT_0;
            for (HWND h : TopLevelWindows(false)) {
                bool known = false;
                for (HWND s : seen)
                    known = known || s == h;
                if (!known && ::IsWindowVisible(h)) {
                    seen.push_back(h);
                    Reply("seen " + HandleText(h) + " " + Quote(ClassOf(h)) + " " + Quote(TextOf(h)));
                }
            }
            if (ended) {
                DWORD code = 0;
                ::GetExitCodeProcess(g_program.process.get(), &code);
                Reply("exit " + std::to_string(code));
                break;
            }
            if (::GetTickCount() - start >= ms) {
                Reply("timeout");
                break;
            }
        }
    } else if (cmd == "kill") {
        cv::driver::ThawAll();
        if (g_program.process)
            ::TerminateProcess(g_program.process.get(), 99);
        Reply("ok");
    } else {
        Reply("error unknown command " + Quote(cmd));
    }
    return true;
}

} // namespace

int main() {
    std::string line;
    while (std::getline(std::cin, line)) {
        auto words = cv::driver::SplitWords(line);
        if (words.empty())
            continue;
        if (!Run(words))
            break;
    }
    return 0;
}
