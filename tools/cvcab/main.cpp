// cvcab: list, test or extract a cabinet (and the cabinets that continue it) with the
// runtime's own reader.
//
//   cvcab l CAB        list the files
//   cvcab t CAB        decode every file and check it
//   cvcab x CAB DIR    extract into DIR (a file whose stored name has no file name part
//                      is skipped with a warning)
//
// A cabinet embedded in another file (after a stub, say) is found by searching for its
// header when the file does not begin with one.

#include "archive/cab_directory.h"
#include "archive/cab_reader.h"
#include "tools/cvcab/extract_to_folder.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace cv;

int usage() {
    std::fprintf(stderr, "usage: cvcab l CAB | cvcab t CAB | cvcab x CAB DIR\n");
    return 2;
}

int report(const std::string& cabinet, const cab::Result& r) {
    std::fprintf(stderr, "cvcab: %s: %s (%s)\n", cabinet.c_str(), r.message.c_str(),
                 cab::status_name(r.status));
    return 1;
}

// Offsets of the cabinets in `path`: 0 when it starts with one, else those found inside.
std::vector<std::uint64_t> cabinet_offsets(const std::string& path, cab::Result& first) {
    cab::FileIo io;
    auto stream = io.open(path);
    if (!stream) {
        first = {cab::Status::open_failed, "cannot open cabinet '" + path + "'"};
        return {};
    }
    cab::CabinetDirectory dir;
    first = cab::read_directory(*stream, 0, path, dir);
    if (first.ok() || first.status != cab::Status::not_cabinet)
        return {0};
    auto found = cab::find_cabinets(*stream);
    if (!found.empty())
        first = {};
    return found;
}

void print_date(std::uint16_t date, std::uint16_t time) {
    std::printf("%02u.%02u.%04u %02u:%02u:%02u", date & 31u, (date >> 5) & 15u,
                ((date >> 9) & 127u) + 1980u, (time >> 11) & 31u, (time >> 5) & 63u,
                (time & 31u) * 2u);
}

int list(const std::string& path, std::uint64_t offset) {
    cab::FileIo io;
    std::string name = path;
    const std::string folder = cab::folder_part(path);
    for (bool first = true;; first = false) {
        auto stream = io.open(name);
        if (!stream)
            return report(path, {cab::Status::missing_cabinet, "cannot open '" + name + "'"});
        cab::CabinetDirectory dir;
        const auto r = cab::read_directory(*stream, first ? offset : 0, name, dir);
        if (!r.ok())
            return report(name, r);
        std::printf("Cabinet %s (set %u, index %u)\n", name.c_str(), dir.header.set_id,
                    dir.header.index);
        for (const auto& f : dir.files) {
            if (f.from_previous())
                continue;
            std::printf("%10u  ", f.size);
            print_date(f.date, f.time);
            std::printf("  %s\n", f.name.c_str());
        }
        if (!dir.header.has_next())
            return 0;
        if (!cab::is_bare_name(dir.header.next_cabinet))
            return report(name, {cab::Status::corrupt, "next cabinet name '" +
                                                           dir.header.next_cabinet +
                                                           "' is not a plain file name"});
        name = io.locate(folder, dir.header.next_cabinet);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return usage();
    const std::string command = argv[1], path = argv[2];
    if (!((command == "l" || command == "t") && argc == 3) && !(command == "x" && argc == 4))
        return usage();

    cab::Result first;
    const auto offsets = cabinet_offsets(path, first);
    if (!first.ok())
        return report(path, first);

    for (const std::uint64_t offset : offsets) {
        if (command == "l") {
            if (const int rc = list(path, offset))
                return rc;
            continue;
        }
        cab::FileIo io;
        cab::ExtractOptions options;
        options.offset = offset;
        if (command == "t") {
            cvcab::TestHandler handler;
            const auto r = cab::extract(io, path, handler, options);
            if (!r.ok())
                return report(path, r);
            std::printf("%s: %zu files OK\n", path.c_str(), handler.files());
        } else {
            cvcab::FolderHandler handler(argv[3]);
            const auto r = cab::extract(io, path, handler, options);
            const std::string write_failure = handler.finish();
            // Skipped files are warned about; they alone do not make the run fail.
            for (const std::string& name : handler.skipped())
                std::fprintf(stderr, "cvcab: %s: %s\n", path.c_str(),
                             cab::skipped_file_warning(name).c_str());
            if (!r.ok())
                return report(path, r);
            if (!write_failure.empty())
                return report(path, {cab::Status::aborted, write_failure});
        }
    }
    return 0;
}
