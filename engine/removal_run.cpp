#include "engine/removal_run.h"

#include "engine/uninstall_log_reader.h"

namespace cv {

namespace {

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

// True when the step's thing is gone or put back.
bool Carry(const RemovalStep& s, IRemovalTarget& t, RemovalReport& report) {
    switch (s.action) {
    case RemovalAction::RunProgram:
        return t.RunAndWait(s.path);
    case RemovalAction::OpenUrl:
        return t.OpenUrl(s.path);
    case RemovalAction::DeleteService:
        return t.StopAndDeleteService(s.name);
    case RemovalAction::RemoveShortcut:
    case RemovalAction::RemoveFile:
        // A "FILE" line may name a folder (the live-update lines do): the folder steps decide.
        // FileExists is false for a folder, so one look at the path tells both.
        if (!t.FileExists(s.path))
            return true;
        return t.RemoveFile(s.path);
    case RemovalAction::RemoveFont:
        if (!t.FileExists(s.path))
            return true;
        t.UnregisterFont(s.path);
        return t.RemoveFile(s.path);
    case RemovalAction::RestoreFile:
        if (!t.FileExists(s.data)) {
            report.kept.push_back(DescribeRemovalStep(s) + " (no copy)");
            return true;
        }
        return t.RestoreFile(s.data, s.path);
    case RemovalAction::RemoveFolderIfEmpty:
        if (t.FolderExists(s.path) && !t.RemoveFolderIfEmpty(s.path))
            report.kept.push_back(DescribeRemovalStep(s));
        return true;
    case RemovalAction::EmptyInstallFolder:
        return !t.FolderExists(s.path) || t.EmptyFolder(s.path);
    case RemovalAction::DeleteLogFolder:
        return !t.FolderExists(s.path) || t.DeleteTree(s.path);
    case RemovalAction::RemoveSharedUninstaller:
        return !t.FileExists(s.path) || t.RemoveFileNowOrAtRestart(s.path);
    case RemovalAction::DeleteClassKey:
    case RemovalAction::DeleteUninstallEntry:
        return !t.RegistryKeyExists(s.root, s.path) || t.DeleteRegistryTree(s.root, s.path);
    case RemovalAction::DeleteValue:
        return !t.ReadRegistryValue(s.root, s.path, s.name) || t.DeleteRegistryValue(s.root, s.path, s.name);
    case RemovalAction::RestoreValue:
        return t.WriteRegistryValue(s.root, s.path, s.name, {s.type, s.data});
    case RemovalAction::DeleteKeyIfEmpty:
        if (t.RegistryKeyExists(s.root, s.path) && !t.DeleteRegistryKeyIfEmpty(s.root, s.path))
            report.kept.push_back(DescribeRemovalStep(s));
        return true;
    case RemovalAction::RemoveEnvironmentEntry: {
        std::optional<IRemovalTarget::RegistryData> now = t.ReadRegistryValue(s.root, s.path, s.name);
        if (!now)
            return true;
        std::optional<std::string> rest = WithoutListEntry(now->data, s.data);
        if (!rest)
            return true; // the entry is no longer there
        return t.WriteRegistryValue(s.root, s.path, s.name, {now->type, *rest});
    }
    case RemovalAction::NotifyEnvironment:
        t.BroadcastEnvironmentChange();
        return true;
    case RemovalAction::DeleteIniEntry:
        return !t.FileExists(s.path) || !t.ReadIniEntry(s.path, s.section, s.name) ||
               t.DeleteIniEntry(s.path, s.section, s.name);
    case RemovalAction::RestoreIniEntry:
        return t.WriteIniEntry(s.path, s.section, s.name, s.data);
    }
    return false;
}

} // namespace

std::optional<std::string> WithoutListEntry(std::string_view value, std::string_view entry) {
    if (entry.empty())
        return std::nullopt;
    std::size_t text_end = value.size();
    while (text_end > 0 && value[text_end - 1] == '\0')
        --text_end;
    const std::string_view text = value.substr(0, text_end);
    // The items' [start, end) ranges, in order.
    std::vector<std::pair<std::size_t, std::size_t>> items;
    for (std::size_t at = 0;;) {
        const std::size_t semi = text.find(';', at);
        const std::size_t end = semi == std::string_view::npos ? text.size() : semi;
        items.emplace_back(at, end);
        if (semi == std::string_view::npos)
            break;
        at = semi + 1;
    }
    for (std::size_t i = items.size(); i-- > 0;) {
        const auto [start, end] = items[i];
        if (!SameText(text.substr(start, end - start), entry))
            continue;
        std::string out;
        if (i > 0) // with the separator before it
            out.append(text.substr(0, start - 1)).append(text.substr(end));
        else if (items.size() > 1) // the first item: with the separator after it
            out.append(text.substr(end + 1));
        out.append(value.substr(text_end));
        return out;
    }
    return std::nullopt;
}

RemovalReport CarryOutRemoval(const RemovalPlan& plan, IRemovalTarget& target, const RemovalProgress& progress) {
    RemovalReport report;
    const int count = static_cast<int>(plan.steps.size());
    for (int i = 0; i < count; ++i) {
        const RemovalStep& step = plan.steps[static_cast<std::size_t>(i)];
        if (progress)
            progress(i, count, step);
        if (!Carry(step, target, report))
            report.failures.push_back(DescribeRemovalStep(step));
    }
    return report;
}

} // namespace cv
