#include "tools/driver/remote.h"

#include "framework/handle.h"

#include <commctrl.h>

#include <vector>

namespace cv::driver {

namespace {

std::vector<UniqueKernelHandle> g_frozen;

/// A block of memory in another process, freed with the object.
class RemoteBlock {
  public:
    RemoteBlock(HANDLE process, std::size_t size)
        : process_(process),
          address_(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteBlock() {
        if (address_)
            ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    char* get() const { return static_cast<char*>(address_); }

  private:
    HANDLE process_;
    void* address_;
};

LRESULT Ask(HWND w, UINT msg, WPARAM wp, LPARAM lp, bool& answered) {
    DWORD_PTR result = 0;
    answered = ::SendMessageTimeoutA(w, msg, wp, lp, SMTO_ABORTIFHUNG, 2000, &result) != 0;
    return static_cast<LRESULT>(result);
}

} // namespace

TreeItem ReadTreeItem(HWND tree, int index) {
    TreeItem found;
    bool answered = false;
    auto item = reinterpret_cast<HTREEITEM>(Ask(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0, answered));
    for (int i = 0; i < index && item; ++i)
        item = reinterpret_cast<HTREEITEM>(
            Ask(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item), answered));
    if (!item)
        return found;
    found.handle = item;

    DWORD pid = 0;
    ::GetWindowThreadProcessId(tree, &pid);
    UniqueKernelHandle process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    if (!process)
        return found;
    constexpr int kTextSize = 256;
    RemoteBlock block(process.get(), sizeof(TVITEMA) + kTextSize);
    if (!block.get())
        return found;
    TVITEMA query{};
    query.mask = TVIF_TEXT | TVIF_IMAGE;
    query.hItem = item;
    query.pszText = block.get() + sizeof(TVITEMA);
    query.cchTextMax = kTextSize;
    SIZE_T moved = 0;
    if (!::WriteProcessMemory(process.get(), block.get(), &query, sizeof query, &moved))
        return found;
    if (!Ask(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.get()), answered))
        return found;
    char text[kTextSize] = {};
    if (::ReadProcessMemory(process.get(), block.get(), &query, sizeof query, &moved) &&
        ::ReadProcessMemory(process.get(), block.get() + sizeof(TVITEMA), text, sizeof text - 1, &moved)) {
        found.image = query.iImage;
        found.text = text;
    }
    return found;
}

bool SetControlText(HWND edit, const std::string& text) {
    bool answered = false;
    Ask(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), answered);
    if (!answered)
        return false;
    if (::GetWindowLongA(edit, GWL_STYLE) & ES_MULTILINE)
        ::SendMessageTimeoutA(::GetParent(edit), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(edit), EN_CHANGE),
                              reinterpret_cast<LPARAM>(edit), SMTO_ABORTIFHUNG, 2000, nullptr);
    return true;
}

bool Freeze(HWND window) {
    DWORD thread_id = ::GetWindowThreadProcessId(window, nullptr);
    UniqueKernelHandle thread(::OpenThread(THREAD_SUSPEND_RESUME, FALSE, thread_id));
    if (!thread || ::SuspendThread(thread.get()) == static_cast<DWORD>(-1))
        return false;
    g_frozen.push_back(std::move(thread));
    return true;
}

void ThawAll() {
    for (UniqueKernelHandle& thread : g_frozen)
        ::ResumeThread(thread.get());
    g_frozen.clear();
}

} // namespace cv::driver
