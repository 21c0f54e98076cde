#include "archive/cab_reader.h"

#include "archive/cab_directory.h"
#include "archive/checked.h"
#include "archive/folder_stream.h"

#include <algorithm>

namespace cv::cab {

std::string folder_part(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string stored_file_name(const std::string& stored) {
    const auto cut = stored.find_last_of("/\\");
    std::string name = cut == std::string::npos ? stored : stored.substr(cut + 1);
    if (name == "." || name == "..")
        return {};
    return name;
}

std::string skipped_file_warning(const std::string& stored) {
    return "skipped '" + stored + "': its stored name has no file name part";
}

bool is_bare_name(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\:") == std::string::npos;
}

namespace {

using detail::FolderStream;
using detail::LogicalFolder;
using detail::OpenCabinet;

class SetReader {
  public:
    SetReader(Io& io, const std::string& path, ExtractHandler& handler,
              const ExtractOptions& options)
        : io_(io), path_(path), folder_(folder_part(path)), handler_(handler),
          options_(options) {}

    void run() {
        open_first();
        for (std::size_t current = 0;; ++current) {
            extract_cabinet(current);
            if (!cabinets_[current]->dir.header.has_next())
                break;
            // A file that spans cabinets may have opened the next one already.
            if (cabinets_.size() == current + 1)
                open_next();
        }
    }

  private:
    void open_first() {
        auto stream = io_.open(path_);
        check(stream != nullptr, Status::open_failed,
              [&] { return "cannot open cabinet '" + path_ + "'"; });
        auto cab = std::make_unique<OpenCabinet>();
        cab->name = path_;
        cab->dir = detail::load_directory(*stream, options_.offset, path_);
        cab->stream = std::move(stream);
        add_folders(*cab, nullptr);
        // Files that began before this cabinet cannot be decoded from here, and neither can
        // the rest of the folder they share.
        if (std::any_of(cab->dir.files.begin(), cab->dir.files.end(),
                        [](const FileRecord& f) { return f.from_previous(); }))
            cab->folders.front()->incomplete_start = true;
        cabinets_.push_back(std::move(cab));
        handler_.cabinet_info(cabinets_.back()->name, cabinets_.back()->dir.header);
    }

    // Builds the folder list of the newest cabinet; `continued` is the previous cabinet's
    // last folder when this cabinet's first folder carries it on.
    void add_folders(OpenCabinet& cab, std::shared_ptr<LogicalFolder> continued) {
        const std::size_t index = cabinets_.size();
        for (std::size_t i = 0; i < cab.dir.folders.size(); ++i) {
            if (i == 0 && continued) {
                continued->segments.push_back({index, 0});
                cab.folders.push_back(std::move(continued));
                continue;
            }
            auto f = std::make_shared<LogicalFolder>();
            f->compression = cab.dir.folders[i].compression;
            f->segments.push_back({index, i});
            cab.folders.push_back(std::move(f));
        }
    }

    // Opens the cabinet after the newest one, when the newest names one and it is not open.
    void open_next() {
        const OpenCabinet& prev = *cabinets_.back();
        const CabinetHeader& ph = prev.dir.header;
        if (!ph.has_next())
            return;
        const std::string& name = ph.next_cabinet;
        check(is_bare_name(name), Status::corrupt, [&] {
            return "cabinet '" + prev.name + "' is corrupt: its next cabinet name '" + name +
                   "' is not a plain file name";
        });
        // Looked up again on every try: the user may have inserted the disk meanwhile.
        std::string path;
        std::unique_ptr<Stream> stream;
        while (!(stream = io_.open(path = io_.locate(folder_, name)))) {
            check(handler_.next_cabinet({folder_, name, ph.next_disk}), Status::missing_cabinet,
                  [&] {
                      return "cabinet '" + prev.name + "' continues in '" + path + "' (disk '" +
                             ph.next_disk + "'), which cannot be opened";
                  });
        }
        auto cab = std::make_unique<OpenCabinet>();
        cab->name = path;
        cab->dir = detail::load_directory(*stream, 0, path);
        cab->stream = std::move(stream);
        check_continuation(prev, *cab);

        const bool continues =
            std::any_of(cab->dir.files.begin(), cab->dir.files.end(),
                        [](const FileRecord& f) { return f.from_previous(); }) ||
            std::any_of(prev.dir.files.begin(), prev.dir.files.end(),
                        [](const FileRecord& f) { return f.to_next(); });
        std::shared_ptr<LogicalFolder> carried;
        if (continues) {
            carried = prev.folders.back();
            check(carried->compression == cab->dir.folders.front().compression, Status::corrupt,
                  [&] {
                      return "cabinet '" + path + "' is corrupt: its first folder continues one "
                             "of '" + prev.name + "' but has another compression type";
                  });
        }
        add_folders(*cab, std::move(carried));
        cabinets_.push_back(std::move(cab));
        handler_.cabinet_info(cabinets_.back()->name, cabinets_.back()->dir.header);
    }

    static void check_continuation(const OpenCabinet& prev, const OpenCabinet& next) {
        const CabinetHeader& a = prev.dir.header;
        const CabinetHeader& b = next.dir.header;
        const std::string at = "cabinet '" + next.name + "' does not continue '" + prev.name + "': ";
        check(b.has_previous(), Status::corrupt,
              [&] { return at + "it does not name a previous cabinet"; });
        check(b.set_id == a.set_id, Status::corrupt, [&] {
            return at + "its set identifier is " + std::to_string(b.set_id) +
                   " when it should be " + std::to_string(a.set_id);
        });
        check(b.index == a.index + 1, Status::corrupt, [&] {
            return at + "its index in the set is " + std::to_string(b.index) +
                   " when it should be " + std::to_string(a.index + 1);
        });
        check(b.header_reserve == a.header_reserve && b.folder_reserve == a.folder_reserve &&
                  b.data_reserve == a.data_reserve,
              Status::corrupt, [&] {
                  return at + "its reserve sizes are " + std::to_string(b.header_reserve) + "/" +
                         std::to_string(b.folder_reserve) + "/" + std::to_string(b.data_reserve) +
                         " when they should be " + std::to_string(a.header_reserve) + "/" +
                         std::to_string(a.folder_reserve) + "/" + std::to_string(a.data_reserve);
              });
    }

    void extract_cabinet(std::size_t index) {
        handler_.enumeration(cabinets_[index]->name, cabinets_[index]->dir.files.size());
        // The cabinet list may grow while its files are extracted; index, not reference.
        for (std::size_t i = 0; i < cabinets_[index]->dir.files.size(); ++i) {
            const OpenCabinet& cab = *cabinets_[index];
            const FileRecord& file = cab.dir.files[i];
            std::shared_ptr<LogicalFolder> folder = cab.folders[cab.dir.folder_of(file)];
            if (file.from_previous() || folder->incomplete_start) {
                handler_.partial_file(cab.name, file);
                continue;
            }
            extract_file(cab.name, file, std::move(folder));
        }
    }

    void extract_file(const std::string& cabinet, const FileRecord& file,
                      std::shared_ptr<LogicalFolder> folder) {
        // The handler may keep what it gets; the record may move as cabinets open.
        const FileRecord record = file;
        std::unique_ptr<FileSink> sink = handler_.copy_file(cabinet, record);
        check(sink != nullptr, Status::aborted, [&] {
            return "file '" + record.name + "' of cabinet '" + cabinet +
                   "' was refused: " + handler_.refusal();
        });
        if (record.size > 0) {
            if (!stream_ || stream_->folder() != folder.get())
                stream_ = std::make_unique<FolderStream>(
                    folder, cabinets_, [this] { open_next(); }, options_.verify_checksums);
            stream_->seek(record.folder_offset, record.name);
            const bool written = stream_->read(record.size, record.name,
                                               [&](const std::uint8_t* p, std::size_t n) {
                                                   return sink->write(p, n);
                                               });
            check(written, Status::aborted, [&] {
                return "writing file '" + record.name + "' of cabinet '" + cabinet +
                       "' failed: " + sink->error();
            });
        }
        check(handler_.close_file(record, std::move(sink)), Status::aborted, [&] {
            return "file '" + record.name + "' of cabinet '" + cabinet +
                   "' could not be completed: " + handler_.refusal();
        });
    }

    Io& io_;
    const std::string path_;
    const std::string folder_;
    ExtractHandler& handler_;
    const ExtractOptions options_;
    std::vector<std::unique_ptr<OpenCabinet>> cabinets_;
    std::unique_ptr<FolderStream> stream_;
};

} // namespace

Result extract(Io& io, const std::string& path, ExtractHandler& handler,
               const ExtractOptions& options) {
    try {
        SetReader(io, path, handler, options).run();
        return {};
    } catch (const CabFailure& f) {
        return {f.status, f.message};
    } catch (const std::bad_alloc&) {
        return {Status::corrupt, "cabinet '" + path + "': out of memory"};
    }
}

} // namespace cv::cab
