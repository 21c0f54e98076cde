#pragma once
// Helpers for driving this process's own modal dialogs from a second thread while the test
// thread sits in the dialog's message loop.

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace cv::test {

/// A visible top-level dialog of this process with `caption` ("*" for any), or null after
/// `timeout_ms`. `not_this` is skipped (to find a message box over a dialog).
HWND WaitForDialog(const std::string& caption, DWORD timeout_ms = 10000, HWND not_this = nullptr);

/// Waits until `wnd` is no longer a window; false after `timeout_ms`.
bool WaitGone(HWND wnd, DWORD timeout_ms = 5000);

std::string TextOf(HWND wnd);
bool Visible(HWND dialog, int id);
/// The texts of a message box's static controls joined (the icon has none).
std::string MessageBoxText(HWND box);
/// Presses button `id` of `dialog` as a click does.
void Press(HWND dialog, int id);
/// Saves the screen as <CV_TEST_OUTPUT>/<name>.png; false when it could not.
bool Screenshot(const std::string& name);

/// Runs `body` on a second thread and joins it when the scope ends.
class Watcher {
  public:
    explicit Watcher(std::function<void()> body) : thread_(std::move(body)) {}
    ~Watcher() { thread_.join(); }
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

  private:
    std::thread thread_;
};

/// Dispatches this thread's messages for `ms` milliseconds.
void Pump(DWORD ms);

/// A fresh folder under the temp folder, with a trailing backslash.
std::string TestFolder(const std::string& name);
void WriteText(const std::string& path, const std::string& text);

} // namespace cv::test
