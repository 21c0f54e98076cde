#include "tools/cvbuild/support_files.h"

#include "pages/layout.h"
#include "tools/cvbuild/build_error.h"
#include "common/table_section.h"
#include "engine/step_table.h"

#include <algorithm>
#include <cstdlib>

namespace cv::build {

namespace fs = std::filesystem;

namespace {

// Put in front of braced layout values by the layout reader. The reader removes every brace
// from the value itself, so a value that starts with "{" can only have come from a braced one.
constexpr const char* kBracedMarker = "{theme}\\";

bool HasVariable(const std::string& text) {
    return text.find('<') != std::string::npos;
}

bool HasFolderPart(const std::string& name) {
    return name.find_first_of("\\/") != std::string::npos;
}

class Collector {
  public:
    Collector(const ProfileFile& settings, BuildKind kind) : settings_(settings), kind_(kind) {}

    BuildKind kind() const { return kind_; }

    std::string Get(const char* section, const std::string& key) const {
        return settings_.get(section, key);
    }

    /// A name of which the setup uses only the file-name part.
    void AddByFileName(const std::string& value, const std::string& origin,
                       SupportReader reader) {
        const std::string name = FileNamePart(value);
        if (!name.empty()) {
            list_.files.push_back({name, value, origin, reader});
        }
    }

    /// A name that the setup puts behind its folder as it stands.
    void AddAsWritten(const std::string& name, const std::string& reference,
                      const std::string& origin, SupportReader reader) {
        if (HasFolderPart(name)) {
            throw BuildError(origin + ": \"" + reference +
                             "\" names a sub folder of the work folder; the setup's support "
                             "files lie at its top, so give the bare file name");
        }
        list_.files.push_back({name, reference, origin, reader});
    }

    /// A count of a table section, cut to `limit` with a warning.
    int Count(const char* section, const char* key, int limit) {
        const TableCount count = ParseTableCount(Get(section, key), static_cast<std::size_t>(limit));
        if (count.Cut()) {
            list_.warnings.push_back(std::string("setup.inf [") + section + "] " + key + "=" +
                                     std::to_string(count.total) + ": the setup holds " +
                                     std::to_string(limit) + "; the others are not packed");
        }
        return count.rows;
    }

    SupportFileList& list() { return list_; }

  private:
    const ProfileFile& settings_;
    BuildKind kind_;
    SupportFileList list_;
};

std::string Origin(const char* section, const std::string& key) {
    return std::string("setup.inf [") + section + "] " + key;
}

void AddDialogTexts(Collector& c) {
    for (const char* key : {"CT0", "CT2"}) { // licence, readme
        c.AddByFileName(c.Get("DIALOGLIST", key), Origin("DIALOGLIST", key),
                        SupportReader::pages);
    }
}

void AddBackground(Collector& c) {
    if (c.Get("BACKGROUND", "0") == "1") {
        c.AddByFileName(c.Get("BACKGROUND", "5"), Origin("BACKGROUND", "5"),
                        SupportReader::work_folder);
    }
}

void AddBillboards(Collector& c) {
    const int total = c.Count("BILLBOARDSCV", "TOTAL", kMaxBillboards);
    for (int i = 0; i < total; ++i) {
        const std::string key = "B" + std::to_string(i);
        c.AddByFileName(c.Get("BILLBOARDSCV", key), Origin("BILLBOARDSCV", key),
                        SupportReader::pages);
    }
}

void AddFileActions(Collector& c) {
    // A split-files build clears "4" when it starts: its programs come from DiskImage1.
    const bool from_work_folder =
        c.Get("BUILDING", "4") == "Yes" && c.kind() != BuildKind::split_files;
    if (!from_work_folder && c.kind() == BuildKind::compressed) {
        return; // the setup takes them from a DiskImage1 that a compressed build has not got
    }
    const SupportReader reader =
        from_work_folder ? SupportReader::work_folder : SupportReader::pages;
    static const std::string kResourceDir = "<ResourceDir>";
    const int total = c.Count("FILEACTION", "TOTAL", kMaxFileActions);
    for (int i = 0; i < total; ++i) {
        const std::string key = "B" + std::to_string(i);
        const std::string value = c.Get("FILEACTION", key);
        std::string name = value;
        const std::size_t at = name.find(kResourceDir);
        if (at == std::string::npos) {
            continue;
        }
        for (std::size_t p = at; p != std::string::npos; p = name.find(kResourceDir)) {
            name.erase(p, kResourceDir.size());
        }
        name.erase(0, name.find_first_not_of("\\/"));
        if (!name.empty() && !HasVariable(name)) {
            c.AddAsWritten(name, value, Origin("FILEACTION", key), reader);
        }
    }
}

void AddUninstallFiles(Collector& c) {
    // A value with variables names a file on the target machine.
    const std::string program = c.Get("APPINFO", "a11");
    if (c.Get("APPINFO", "a10") == "Yes" && !HasVariable(program)) {
        c.AddByFileName(program, Origin("APPINFO", "a11"), SupportReader::source_folder);
    }
    const std::string icon = c.Get("APPINFO", "a18");
    if (c.Get("APPINFO", "a14") != "No" && !HasVariable(icon)) {
        c.AddByFileName(icon, Origin("APPINFO", "a18"), SupportReader::source_folder);
    }
}

void AddLinkIcons(Collector& c) {
    // The shortcut and association steps copy column H's icon from the work folder (by its
    // file name, after expanding it) into the install folder; an icon given with a variable
    // names a file on the target machine.
    for (const char* section : {"FOLDERCV", "EXTCV"}) {
        const int total = c.Count(section, "TOTAL", static_cast<int>(kMaxStepTableRows));
        for (int i = 0; i < total; ++i) {
            const std::string key = "H" + std::to_string(i);
            const std::string icon = c.Get(section, key);
            if (!icon.empty() && !HasVariable(icon)) {
                c.AddByFileName(icon, Origin(section, key), SupportReader::work_folder);
            }
        }
    }
}

void AddLiveClients(Collector& c) {
    // The installation copies these fixed names from its source folder.
    for (const char* section : {"LIVEUPDATE", "LIVESUPPORT"}) {
        if (c.Get(section, "1") != "Yes") {
            continue;
        }
        std::string base = section;
        std::transform(base.begin(), base.end(), base.begin(),
                       [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
        for (const char* extension : {".exe", ".inf"}) {
            c.AddByFileName(base + extension, Origin(section, "1"),
                            SupportReader::source_folder);
        }
    }
}

bool IsLayoutFile(const fs::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return ext == ".lcd";
}

void AddListFiles(Collector& c, const fs::path& theme_dir) {
    std::vector<fs::path> layouts;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(theme_dir, error)) {
        if (entry.is_regular_file() && IsLayoutFile(entry.path())) {
            layouts.push_back(entry.path());
        }
    }
    std::sort(layouts.begin(), layouts.end());
    for (const auto& path : layouts) {
        std::string load_error;
        const auto file = ProfileFile::load(path.string(), &load_error);
        if (!file) {
            throw BuildError(load_error);
        }
        const Layout layout = ReadLayout(&*file, kBracedMarker);
        for (const auto& element : layout.elements) {
            const std::string& list = element.Value(2);
            if (element.type->type != ElementType::ComboBox || list.empty() ||
                list.front() == '{') {
                continue; // a braced name is a file of the theme folder, shipped with it
            }
            const std::string& control =
                element.Value(0).empty() ? element.defaultName : element.Value(0);
            c.AddAsWritten(list, list,
                           "theme/" + path.filename().string() + " " + control + " (list file)",
                           SupportReader::work_folder);
        }
    }
}

} // namespace

SupportFileList FindSupportFiles(const ProfileFile& settings, const fs::path& theme_dir,
                                 BuildKind kind) {
    Collector c(settings, kind);
    AddDialogTexts(c);
    AddBackground(c);
    AddBillboards(c);
    AddFileActions(c);
    AddUninstallFiles(c);
    AddLinkIcons(c);
    AddLiveClients(c);
    AddListFiles(c, theme_dir);
    return std::move(c.list());
}

fs::path SupportSourcePath(const fs::path& product_dir, const std::string& reference) {
    const bool absolute = reference.starts_with('\\') || reference.starts_with('/') ||
                          (reference.size() >= 2 && reference[1] == ':');
    if (absolute || HasVariable(reference)) {
        return product_dir / FileNamePart(reference);
    }
    std::string relative = reference;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return product_dir / relative;
}

} // namespace cv::build
