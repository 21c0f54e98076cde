#include "archive/compress.h"

#include "archive/cab_directory.h"
#include "archive/cab_reader.h"
#include "common/setup_state.h"
#include "engine/uninstall_log.h"
#include "framework/handle.h"
#include "framework/thread.h"
#include "common/file_system.h"

#include <windows.h>

namespace cv {

namespace {

/// The bare file name of a stored name: any folder part is dropped, so nothing is written
/// outside the destination folder; "" for a name with no file name part ("/", "dir\\").
std::string BareName(const std::string& stored) { return cab::stored_file_name(stored); }

/// The system's words for an error, with its number ("There is not enough space on the
/// disk. (error 112)").
std::string SystemErrorText(DWORD error) {
    char text[256] = {};
    DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                               sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' '))
        --n;
    std::string number = "(error " + std::to_string(error) + ")";
    return n > 0 ? std::string(text, n) + " " + number : number;
}

/// Ends the unpacking with `status` and the reason the user is told.
unsigned Fail(int status, std::string failure) {
    ExtractionState& state = extractionState();
    state.failure = std::move(failure);
    state.status = status;
    return 0;
}

void TraceStep(const std::string& step) {
    const ExtractTrace& trace = extractionState().trace;
    if (trace)
        trace(step);
}

/// Writes one extracted file through a Win32 handle.
class HandleSink : public cab::FileSink {
  public:
    explicit HandleSink(UniqueFile file) : file_(std::move(file)) {}
    bool write(const std::uint8_t* data, std::size_t n) override {
        while (n > 0) {
            DWORD chunk = n > (1u << 20) ? (1u << 20) : static_cast<DWORD>(n), done = 0;
            if (!::WriteFile(file_.get(), data, chunk, &done, nullptr)) {
                error_ = SystemErrorText(::GetLastError());
                return false;
            }
            // Wine reports a full disk as a write that succeeds short, without an error: the
            // rest is tried again, and a write that takes nothing is the full disk.
            if (done == 0) {
                error_ = SystemErrorText(ERROR_DISK_FULL);
                return false;
            }
            data += done;
            n -= done;
        }
        return true;
    }
    std::string error() const override { return error_; }
    /// Gives the file its stored time through the handle still open (no second opening of
    /// the file, which costs as much as a small file's writing), then closes it.
    void Close(std::uint16_t date, std::uint16_t time) {
        FILETIME local{}, utc{};
        if (file_ && ::DosDateTimeToFileTime(date, time, &local) && ::LocalFileTimeToFileTime(&local, &utc))
            ::SetFileTime(file_.get(), &utc, nullptr, &utc);
        file_.reset();
    }

  private:
    UniqueFile file_;
    std::string error_;
};

/// The extraction notification handler.
class UnpackHandler : public cab::ExtractHandler {
  public:
    void enumeration(const std::string&, std::size_t files) override {
        ExtractionState& state = extractionState();
        bool expected = false;
        if (state.progress && state.progressRangeSet.compare_exchange_strong(expected, true))
            state.progress->SetFileCount(files);
        else if (!state.progress)
            state.progressRangeSet = true;
    }

    std::unique_ptr<cab::FileSink> copy_file(const std::string&, const cab::FileRecord& file) override {
        ExtractionState& state = extractionState();
        const std::string name = BareName(file.name);
        if (name.empty()) {
            // Such a file has nowhere to go; the rest of the cabinet still comes out. Its
            // bytes are decoded all the same, as the files after it in its folder need them.
            TraceStep("CompactFilesTH6 " + cab::skipped_file_warning(file.name));
            AdvanceProgress(state);
            return std::make_unique<cab::DiscardSink>();
        }
        std::string path = state.destination + name;
        if (state.log)
            state.log->WriteLogEntry("FILE", path);
        UniqueFile out(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!out) {
            refusal_ = "cannot create " + path + ": " + SystemErrorText(::GetLastError());
            return nullptr;
        }
        AdvanceProgress(state);
        return std::make_unique<HandleSink>(std::move(out));
    }

    bool close_file(const cab::FileRecord& file, std::unique_ptr<cab::FileSink> sink) override {
        // Time and attributes go to the file just written. Applying them to the stored name
        // as it stands would reach another file, or one outside the destination, when the
        // name carries a folder part.
        auto* written = dynamic_cast<HandleSink*>(sink.get());
        if (!written)
            return true; // a skipped file
        written->Close(file.date, file.time);
        // A file just created has the archive attribute and no other; only other attributes
        // need a call.
        const std::uint32_t attributes = file.attributes & 0x27;
        if (attributes != FILE_ATTRIBUTE_ARCHIVE) {
            std::string path = extractionState().destination + BareName(file.name);
            ::SetFileAttributesA(path.c_str(), attributes);
        }
        return true;
    }

    bool next_cabinet(const cab::MissingCabinet& missing) override {
        std::string path = missing.folder + missing.cabinet_name;
        if (PathExists(path))
            return true;
        std::string text = "Please insert " + missing.disk_name + ".\r\nFile: " + missing.folder + missing.cabinet_name;
        if (const DiskPrompt& ask = extractionState().askDisk)
            return ask(text);
        int answer = ::MessageBoxA(nullptr, text.c_str(), nullptr,
                                   MB_RETRYCANCEL | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
        if (answer == IDCANCEL)
            ::ExitProcess(0);
        return true; // the reader looks again, and asks again while the cabinet is missing
    }

    std::string refusal() const override { return refusal_; }

  private:
    /// A skipped file moves the bar too, so that it still reaches its end.
    static void AdvanceProgress(ExtractionState& state) {
        int count = ++state.filesUnpacked;
        if (state.progress)
            state.progress->SetFilesUnpacked(count);
    }

    std::string refusal_;
};

} // namespace

ExtractionState& extractionState() {
    static ExtractionState state;
    return state;
}

CCompress::CCompress() { extractionState().status = -1; }
CCompress::~CCompress() = default;

unsigned CompactFilesTH() {
    ExtractionState& state = extractionState();
    SetupState& setup = setupState();
    TraceStep("CompactFilesTH1");
    std::string destination = setup.splitBuild == kOn ? setup.installFolder : setup.workFolder;
    // The destination is held in 255 characters. A longer one is refused rather than cut,
    // which would unpack the files into another folder.
    if (destination.size() > kMaxDestinationFolder) {
        TraceStep("CompactFilesTH1 the destination folder is longer than " +
                  std::to_string(kMaxDestinationFolder) + " characters: " + destination);
        return Fail(4, "The folder's path is longer than " + std::to_string(kMaxDestinationFolder) + " characters.");
    }
    state.destination = destination;
    const std::string archive = setup.setupFolder + "file1.cab";

    TraceStep("CompactFilesTH2");
    cab::FileIo io;
    TraceStep("CompactFilesTH3");
    std::unique_ptr<cab::Stream> stream = io.open(archive);
    if (!stream)
        return Fail(2, "The archive " + archive + " cannot be opened.");
    TraceStep("CompactFilesTH4");
    cab::CabinetDirectory directory;
    cab::Result probe = cab::read_directory(*stream, 0, archive, directory);
    if (probe.status == cab::Status::not_cabinet)
        return Fail(3, "The archive " + archive + " is not a cabinet.");
    TraceStep("CompactFilesTH5");
    stream.reset();
    TraceStep("CompactFilesTH6");
    UnpackHandler handler;
    cab::Result result = cab::extract(io, archive, handler);
    if (!result.ok()) {
        TraceStep("CompactFilesTH6 " + result.message);
        return Fail(4, result.message);
    }
    TraceStep("CompactFilesTH7");
    TraceStep("CompactFilesTH8");
    return 0;
}

bool CCompress::UnCompress() {
    ExtractionState& state = extractionState();
    SetupState& setup = setupState();
    state.trace = trace;
    TraceStep("UnCompress");
    state.filesUnpacked = 0;
    state.failure.clear();
    state.log = engine;
    state.progress = progress;
    state.askDisk = askDisk;

    CWinThread worker([] { return CompactFilesTH(); });
    if (worker.CreateThread())
        worker.WaitDispatching();
    else
        Fail(1, "The unpacking could not start: " + SystemErrorText(::GetLastError()));

    TraceStep("UnCompress2");
    if (state.status != -1) {
        TraceStep("UnCompress6");
        return false;
    }
    TraceStep("UnCompress3");
    if (setup.splitBuild == kOn) {
        const std::string first = setup.setupFolder + "file1.cab";
        for (;;) {
            if (PathExists(first)) {
                TraceStep("UnCompress4");
                break;
            }
            std::string text = "Please insert DISK1...\r\n" + first;
            if (state.askDisk) {
                if (!state.askDisk(text))
                    return false;
                continue;
            }
            if (::MessageBoxA(nullptr, text.c_str(), nullptr, MB_OKCANCEL | MB_ICONEXCLAMATION | MB_SYSTEMMODAL) ==
                IDCANCEL)
                ::ExitProcess(0);
        }
    }
    TraceStep("UnCompress5");
    return true;
}

} // namespace cv
