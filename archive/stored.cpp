#include "archive/block_decoder.h"

#include <cstring>

namespace cv::cab {

namespace {

// Uncompressed folders: each block's data are its output.
class StoredDecoder : public BlockDecoder {
  public:
    bool decode(const std::uint8_t* in, std::size_t in_size, std::uint8_t* out,
                std::size_t out_size) override {
        if (in_size != out_size) {
            error_ = "uncompressed block holds " + std::to_string(in_size) +
                     " bytes when its header says " + std::to_string(out_size);
            return false;
        }
        error_.clear();
        std::memcpy(out, in, out_size);
        return true;
    }
    const std::string& error() const override { return error_; }

  private:
    std::string error_;
};

} // namespace

std::unique_ptr<BlockDecoder> make_stored_decoder() { return std::make_unique<StoredDecoder>(); }

} // namespace cv::cab
