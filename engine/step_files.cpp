#include "engine/step_files.h"

#include "common/path_limit.h"
#include "common/text_replace.h"
#include "engine/engine.h"
#include "engine/file_backup.h"
#include "engine/registry_changes.h"
#include "engine/step_download.h"

namespace cv {

namespace {

constexpr const char* kFontsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

std::string FolderOf(const std::string& path) {
    std::size_t at = path.find_last_of("\\/");
    return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

// The font of `destination`: a second copy beside the source under the destination's name,
// then registration and the font's registry value. Failures are silent.
void InstallFont(CCVEngine& engine, const std::string& source, const std::string& destination) {
    IInstallTarget& target = engine.target();
    const std::string name(FileNamePart(destination));
    const std::string beside_source = FolderOf(source) + name;
    target.CopyFileReplacing(source, beside_source);
    // The installed font is registered when it is there: a font resource keeps its file
    // open for the session, and the copy beside the source lies in the work folder, which is
    // deleted at the end of the run.
    std::string font;
    if (target.FileExists(destination))
        font = destination;
    else if (target.FileExists(beside_source))
        font = beside_source;
    if (font.empty())
        return;
    target.RegisterFont(font);
    // The value of a font of the same file name installed before is reported, so that
    // removal can put it back; one that cannot be read is left as it is.
    const RegistryRead before = target.ReadRegistryValue(RegRoot::LocalMachine, kFontsKey, name, kMaxPriorValueBytes);
    if (before.status == RegistryRead::Status::Failed)
        return;
    if (before.status == RegistryRead::Status::Found)
        engine.prior().RegistryValueReplaced(RegRoot::LocalMachine, kFontsKey, name, before.value.type,
                                             before.value.bytes);
    target.WriteRegistryString(RegRoot::LocalMachine, kFontsKey, name, name);
}

} // namespace

std::string SourcePathOf(const std::string& source_folder, int position, const FileRecord& record) {
    return source_folder + "F" + std::to_string(position) + "_" + record.file_name;
}

std::string DestinationPathOf(const FileRecord& record) {
    std::string path = record.destination_folder;
    ReplaceAll(path, "Destination Computer\\", "");
    if (path.empty() || path.back() != '\\')
        path.push_back('\\');
    return path + record.file_name;
}

std::optional<std::uint32_t> AttributesAfterInstall(std::uint32_t current, std::int32_t flags) {
    std::uint32_t wanted = current & ~kAttrNormal;
    if (flags & kFlagReadOnly)
        wanted |= kAttrReadOnly;
    else
        wanted &= ~kAttrReadOnly;
    if (flags & kFlagHidden)
        wanted |= kAttrHidden;
    if (flags & kFlagSystem)
        wanted |= kAttrSystem;
    // "Normal" stands only for a file with no other attribute.
    if (wanted == 0)
        wanted = kAttrNormal;
    std::uint32_t now = current == 0 ? kAttrNormal : current;
    if (wanted == now)
        return std::nullopt;
    return wanted;
}

bool IsFontDestination(const std::string& destination) {
    return destination.find("Fonts") != std::string::npos;
}

bool CopyOneFile(CCVEngine& engine, const std::string& source, const std::string& destination,
                 bool critical, bool source_available) {
    IInstallTarget& target = engine.target();
    // The system cannot create a file under a longer path: the copy is not tried, and the
    // question says why.
    const bool too_long = destination.size() > kMaxPathLength;
    for (;;) {
        // A read-only destination cannot be overwritten: its attributes are reset and the copy
        // tried again. Looking only after a failed copy spares a call per file, which is
        // what installing many small files costs.
        bool copied = !too_long && source_available && target.CopyFileReplacing(source, destination);
        if (!copied && !too_long) {
            std::optional<std::uint32_t> attributes = target.GetAttributes(destination);
            if (attributes && (*attributes & kAttrReadOnly) && !(*attributes & kAttrDirectory)) {
                target.SetAttributes(destination, kAttrNormal);
                copied = source_available && target.CopyFileReplacing(source, destination);
            }
        }
        if (IsFontDestination(destination)) {
            InstallFont(engine, source, destination);
            engine.progress().RunLogLine("Installed font " + destination);
            return true;
        }
        if (copied) {
            engine.progress().RunLogLine("Installed " + destination);
            return true;
        }
        if (critical) {
            engine.progress().AskRetryIgnoreAbort("Corvane will abort installation, the file:\r\n" +
                                                      destination + "\r\nCan't be installed.",
                                                  true);
            engine.Abort();
            return false;
        }
        const std::string why =
            too_long ? "Its path is longer than " + std::to_string(kMaxPathLength) + " characters. " : "";
        int answer = engine.progress().AskRetryIgnoreAbort(
            "Corvane can't copy the file:\r\n" + destination + "\r\n" + why + "What you would like to do ?", false);
        if (answer == kAnswerRetry)
            continue; // the next pass looks at the destination afresh
        if (answer == kAnswerAbort) {
            engine.Abort();
            return false;
        }
        engine.progress().RunLogLine("Not installed " + destination + ": the copy failed and was ignored");
        return true;
    }
}

bool CopyFiles(CCVEngine& engine) {
    IInstallTarget& target = engine.target();
    const std::string work_folder = engine.Expand("<TempFolder>\\" + engine.context().work_folder_name + "\\");
    int position = 0;
    for (const FileRecord& record : engine.files()) {
        const int here = position++;
        engine.progress().SetPosition(here);
        std::string source = SourcePathOf(engine.source_folder(), here, record);
        const bool from_web = IsUrlSource(record.source);
        const std::string destination =
            engine.Expand(from_web ? UrlDestinationPathOf(record) : DestinationPathOf(record));
        if (destination.find("rcsemptyfolder") != std::string::npos)
            continue; // the record only stands for its (already created) folder
        if (engine.progress().CancelRequested())
            return false;
        if (!SystemMatches(record.system_mask, engine.token())) {
            engine.progress().RunLogLine("Skipped " + destination + ": not for this Windows version");
            continue;
        }
        const std::int32_t flags = record.flags;
        const bool kept = (flags & kFlagOnlyIfAbsent) && target.FileExists(destination);
        const bool wanted = engine.FeatureLetsThrough(record.feature);
        if (kept) {
            NoteKeptFile(engine, destination);
            engine.progress().RunLogLine("Skipped " + destination + ": already there, installed only when absent");
        } else if (!wanted) {
            engine.progress().RunLogLine("Skipped " + destination + ": feature " + record.feature + " not chosen");
        }
        if (!kept && wanted) {
            BackUpBeforeOverwrite(engine, destination, here);
            bool installed;
            if (from_web) {
                installed = InstallUrlRecord(engine, record.source, destination, flags & kFlagCritical);
            } else {
                std::string expanded_copy;
                bool available = true;
                if (flags & kFlagExpandInside) {
                    // The expanded text is written to the work folder (a disk-image source
                    // may be read-only) and removed once installed. A source that cannot be
                    // read is not replaced by an empty file: the copy then fails as usual;
                    // an expanded text that cannot be written fails it too, rather than
                    // installing the text unexpanded.
                    if (std::optional<std::string> text = target.ReadWholeFile(source)) {
                        std::string candidate = work_folder + std::string(FileNamePart(source)) + "2";
                        available = target.WriteWholeFile(candidate, engine.Expand(*text));
                        if (available)
                            expanded_copy = candidate;
                        source = candidate;
                    }
                }
                installed = CopyOneFile(engine, source, destination, flags & kFlagCritical, available);
                if (!expanded_copy.empty())
                    target.RemoveFile(expanded_copy);
            }
            if (!installed)
                return false;
        }
        if (!(flags & kFlagPermanent))
            engine.WriteLogEntry("FILE", destination);
        if (flags & kFlagSelfRegister) {
            target.StartProcess("regsvr32.exe /s \"" + destination + "\"");
            // A permanent library keeps its registration; any other is unregistered on removal.
            if (!(flags & kFlagPermanent))
                engine.prior().SelfRegistered(destination);
        }
        if (std::optional<std::uint32_t> now = target.GetAttributes(destination)) {
            if (std::optional<std::uint32_t> wanted = AttributesAfterInstall(*now, flags))
                target.SetAttributes(destination, *wanted);
        }
    }
    return true;
}

} // namespace cv
