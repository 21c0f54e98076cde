#pragma once
/// The records of a cabinet file (Microsoft Cabinet format 1.3) as the reader and writer see
/// them. All numbers in the file are little-endian.

#include <cstdint>
#include <string>
#include <vector>

namespace cv::cab {

inline constexpr std::uint32_t kSignature = 0x4643534D; // "MSCF"
inline constexpr std::uint16_t kVersion = 0x0103;
inline constexpr std::size_t kHeaderSize = 36;
inline constexpr std::size_t kFolderRecordSize = 8;
inline constexpr std::size_t kFileRecordSize = 16;
inline constexpr std::size_t kBlockHeaderSize = 8;
inline constexpr std::size_t kMaxString = 255;       ///< characters, without the zero byte
inline constexpr std::uint16_t kMaxHeaderReserve = 60000;

inline constexpr std::uint16_t kFlagPrevious = 1;
inline constexpr std::uint16_t kFlagNext = 2;
inline constexpr std::uint16_t kFlagReserve = 4;

/// Folder index values of files that span cabinets.
inline constexpr std::uint16_t kFromPrevious = 0xFFFD; ///< began in an earlier cabinet
inline constexpr std::uint16_t kToNext = 0xFFFE;       ///< goes on in the next cabinet
inline constexpr std::uint16_t kPreviousAndNext = 0xFFFF;

enum CompressionType { kStored = 0, kMszip = 1, kQuantum = 2, kLzx = 3 };

struct CabinetHeader {
    std::uint32_t cabinet_size = 0;
    std::uint32_t files_offset = 0;
    std::uint16_t folder_count = 0, file_count = 0, flags = 0, set_id = 0, index = 0;
    std::uint16_t header_reserve = 0;
    std::uint8_t folder_reserve = 0, data_reserve = 0;
    std::string previous_cabinet, previous_disk, next_cabinet, next_disk;

    bool has_previous() const { return (flags & kFlagPrevious) != 0; }
    bool has_next() const { return (flags & kFlagNext) != 0; }
};

struct FolderRecord {
    std::uint32_t data_offset = 0; ///< from the start of the cabinet
    std::uint16_t block_count = 0;
    std::uint16_t compression = 0; ///< low 4 bits the type, bits 8-12 the window exponent

    int type() const { return compression & 15; }
    int window_bits() const { return (compression >> 8) & 31; }
};

struct FileRecord {
    std::uint32_t size = 0;
    std::uint32_t folder_offset = 0; ///< in the folder's uncompressed data
    std::uint16_t folder_index = 0;
    std::uint16_t date = 0, time = 0, attributes = 0;
    std::string name;

    bool from_previous() const {
        return folder_index == kFromPrevious || folder_index == kPreviousAndNext;
    }
    bool to_next() const { return folder_index == kToNext || folder_index == kPreviousAndNext; }
};

/// One cabinet's header, folders and files, as read and checked by read_directory.
struct CabinetDirectory {
    std::uint64_t base = 0; ///< where the cabinet starts in its stream
    CabinetHeader header;
    std::vector<FolderRecord> folders;
    std::vector<FileRecord> files;

    /// The folder (index into `folders`) that holds the data of file `f`.
    std::size_t folder_of(const FileRecord& f) const;
};

} // namespace cv::cab
