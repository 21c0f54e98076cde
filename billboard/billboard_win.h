#pragma once
/// The billboard slide show: `CBillboard`, a borderless window on top of the others that
/// shows one picture after another at its position and in its size, and `CBillBoardTH`, the
/// user-interface thread that runs it. The thread gets its own copy of everything it needs
/// when it starts and shares nothing with the other threads afterwards.

#include "billboard/billboard_list.h"
#include "framework/dialog.h"
#include "framework/handle.h"

#include <functional>
#include <string>

namespace cv {

/// What the show needs, copied into its thread.
struct BillboardShow {
    BillboardList list;
    PictureFolders folders;
    /// The trace line; called from the show's thread.
    std::function<void(const std::string&)> trace;
};

class CBillboard : public CDialog {
  public:
    explicit CBillboard(BillboardShow show);

    /// Stores the position of the next picture (below 1 counts as 1), finds `name` and
    /// loads it; a picture that cannot be loaded leaves the previous one on screen.
    void ShowPicture(const std::string& name, int x, int y);

    bool PictureLoaded() const { return pictureLoaded_; }

  protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT_PTR id) override;
    BOOL OnDialogMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;

  private:
    void ShowCurrent();
    void Paint();
    void Trace(const std::string& text) const;

    BillboardShow show_;
    UniqueBitmap picture_;
    bool pictureLoaded_ = false;
    int width_ = 0, height_ = 0;
    int x_ = 1, y_ = 1;
    int current_ = 0;
};

/// The show's thread: it creates the billboard window without a parent and runs its
/// messages until the window has closed, then ends. Nobody waits for it.
class CBillBoardTH {
  public:
    /// Starts the show on a thread of its own; false when the thread could not be made.
    static bool Start(BillboardShow show);

  private:
    static DWORD WINAPI Run(void* show);
};

} // namespace cv
