#include "archive/block_decoder.h"
#include "archive/inflate.h"

namespace cv::cab {

namespace {

// MSZIP: every block starts with "CK" and holds one deflate stream whose matches may reach
// into the output of the folder's earlier blocks.
class MszipDecoder : public BlockDecoder {
  public:
    bool decode(const std::uint8_t* in, std::size_t in_size, std::uint8_t* out,
                std::size_t out_size) override {
        if (in_size < 2 || in[0] != 'C' || in[1] != 'K') {
            error_ = "MSZIP block does not begin with \"CK\"";
            return false;
        }
        if (!inflater_.inflate(in + 2, in_size - 2, out, out_size)) {
            error_ = "MSZIP block is corrupt: " + inflater_.error();
            return false;
        }
        error_.clear();
        return true;
    }
    const std::string& error() const override { return error_; }

  private:
    Inflater inflater_;
    std::string error_;
};

} // namespace

std::unique_ptr<BlockDecoder> make_mszip_decoder() { return std::make_unique<MszipDecoder>(); }

} // namespace cv::cab
