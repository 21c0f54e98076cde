#include "framework/picture_loader.h"

#include <ole2.h>
#include <olectl.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace cv {

namespace {

std::vector<char> ReadWholeFile(const std::string& path) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return {};
    DWORD size = ::GetFileSize(file.get(), nullptr);
    if (size == INVALID_FILE_SIZE || size == 0 || size > (256u << 20))
        return {};
    std::vector<char> bytes(size);
    DWORD got = 0;
    if (!::ReadFile(file.get(), bytes.data(), size, &got, nullptr) || got != size)
        return {};
    return bytes;
}

// A bitmap file too short for its own headers. The system's picture loader reads such a file
// past its end and, depending on what lies there, may even "load" it; refuse it first.
bool TruncatedBitmapFile(const std::vector<char>& bytes) {
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    constexpr std::size_t kFileHeader = 14;
    if (bytes.size() < kFileHeader + 4)
        return true;
    std::uint32_t info_header = 0;
    std::memcpy(&info_header, bytes.data() + kFileHeader, sizeof info_header);
    return info_header < 12 || info_header > bytes.size() - kFileHeader;
}

} // namespace

UniqueBitmap LoadPictureFile(const std::string& path) {
    std::vector<char> bytes = ReadWholeFile(path);
    if (bytes.empty() || TruncatedBitmapFile(bytes))
        return {};
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory)
        return {};
    if (void* target = ::GlobalLock(memory)) {
        std::memcpy(target, bytes.data(), bytes.size());
        ::GlobalUnlock(memory);
    }
    ComPtr<IStream> stream;
    // The stream frees the memory when it is released.
    if (FAILED(::CreateStreamOnHGlobal(memory, TRUE, stream.receive()))) {
        ::GlobalFree(memory);
        return {};
    }
    ComPtr<IPicture> picture;
    if (FAILED(::OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(picture.receive()))))
        return {};
    short type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP ||
        FAILED(picture->get_Handle(&handle)))
        return {};
    // The picture owns its bitmap; keep a copy that outlives it.
    HANDLE copy = ::CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)), IMAGE_BITMAP, 0, 0,
                              LR_CREATEDIBSECTION);
    return UniqueBitmap(static_cast<HBITMAP>(copy));
}

} // namespace cv
