#include "tests/host/archive/quantum_test_encoder.h"
#include "tests/host/archive/archive_test_support.h"

#include "archive/quantum_model.h"

#include <algorithm>
#include <deque>
#include <memory>

namespace cv::test {
namespace {

using cv::cab::quantum::Model;
constexpr std::size_t kFrame = 32768;

// Slot tables derived from their rules here (rather than copied from the decoder), so a
// slip in either copy shows up as a mismatch against cabextract.
struct Slots {
    std::uint32_t position_base[42], length_base[27];
    int position_extra[42], length_extra[27];
    Slots() {
        std::uint32_t base = 0;
        for (int s = 0; s < 42; ++s) {
            position_extra[s] = s < 4 ? 0 : s / 2 - 1;
            position_base[s] = base;
            base += 1u << position_extra[s];
        }
        base = 0;
        for (int s = 0; s < 27; ++s) {
            length_extra[s] = s < 6 || s == 26 ? 0 : (s - 2) / 4;
            length_base[s] = base;
            base += 1u << length_extra[s];
        }
    }
};
const Slots kSlots;

int slot_of(const std::uint32_t* base, int count, std::uint32_t value) {
    int s = 0;
    while (s + 1 < count && base[s + 1] <= value)
        ++s;
    return s;
}

class BitSink {
  public:
    explicit BitSink(std::vector<std::uint8_t>& out) : out_(out) {}
    void put(std::uint32_t bit) {
        acc_ = (acc_ << 1) | (bit & 1);
        if (++count_ == 8) {
            out_.push_back(static_cast<std::uint8_t>(acc_));
            acc_ = 0;
            count_ = 0;
        }
    }
    void put_bits(std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i)
            put(value >> i);
    }
    void align() {
        while (count_ != 0)
            put(0);
    }

  private:
    std::vector<std::uint8_t>& out_;
    std::uint32_t acc_ = 0;
    int count_ = 0;
};

// Arithmetic coder of one frame. The decoder reads raw extra bits from the stream right
// after a symbol, when its code register already holds the next 16 code bits; so raw bits
// are queued and written once the code stream has reached that point.
class FrameCoder {
  public:
    explicit FrameCoder(std::vector<std::uint8_t>& out) : sink_(out) {}

    void encode(Model& m, int symbol) {
        int i = 0;
        while (m.symbol(i) != symbol)
            ++i;
        const std::uint32_t range = high_ - low_ + 1, total = m.total();
        high_ = low_ + m.cumfreq(i) * range / total - 1;
        low_ = low_ + m.cumfreq(i + 1) * range / total;
        m.update(i);
        for (;;) {
            if (!((low_ ^ high_) & 0x8000)) {
                const std::uint32_t bit = high_ >> 15;
                code_bit(bit);
                for (; pending_ > 0; --pending_)
                    code_bit(bit ^ 1);
            } else if ((low_ & 0x4000) && !(high_ & 0x4000)) {
                ++pending_;
                low_ &= 0x3FFF;
                high_ |= 0x4000;
            } else {
                break;
            }
            low_ = (low_ << 1) & 0xFFFF;
            high_ = ((high_ << 1) | 1) & 0xFFFF;
            ++shifts_;
        }
    }

    void raw(std::uint32_t value, int count) {
        if (count > 0)
            queue_.push_back({16 + shifts_, value, count});
    }

    void finish() {
        ++pending_;
        const std::uint32_t bit = low_ >= 0x4000 ? 1 : 0;
        code_bit(bit);
        for (; pending_ > 0; --pending_)
            code_bit(bit ^ 1);
        while (emitted_ < 16 + shifts_)
            code_bit(0);
        sink_.align();
    }

  private:
    struct Raw {
        std::uint64_t at;
        std::uint32_t value;
        int count;
    };
    void code_bit(std::uint32_t bit) {
        sink_.put(bit);
        ++emitted_;
        while (!queue_.empty() && queue_.front().at == emitted_) {
            sink_.put_bits(queue_.front().value, queue_.front().count);
            queue_.pop_front();
        }
    }

    BitSink sink_;
    std::uint32_t low_ = 0, high_ = 0xFFFF;
    int pending_ = 0;
    std::uint64_t shifts_ = 0, emitted_ = 0;
    std::deque<Raw> queue_;
};

struct Models {
    Model selector, literal[4], position3, position4, position_long, length_long;
    explicit Models(int window_bits) {
        const int slots = 2 * window_bits;
        selector.reset(0, 7);
        for (int i = 0; i < 4; ++i)
            literal[i].reset(i * 64, 64);
        position3.reset(0, std::min(slots, 24));
        position4.reset(0, std::min(slots, 36));
        position_long.reset(0, slots);
        length_long.reset(0, 27);
    }
};

} // namespace

struct QuantumTestWriter::State {
    explicit State(int window_bits) : models(window_bits), slots(2 * window_bits) {}
    Models models;
    int slots;
    std::vector<std::uint8_t> frame;
    std::unique_ptr<FrameCoder> coder = std::make_unique<FrameCoder>(frame);
};

QuantumTestWriter::QuantumTestWriter(int window_bits)
    : s_(std::make_unique<State>(window_bits)) {}
QuantumTestWriter::~QuantumTestWriter() = default;

void QuantumTestWriter::literal(std::uint8_t byte) {
    s_->coder->encode(s_->models.selector, byte >> 6);
    s_->coder->encode(s_->models.literal[byte >> 6], byte);
}

void QuantumTestWriter::match(std::uint32_t length, std::uint32_t offset) {
    Models& m = s_->models;
    FrameCoder& coder = *s_->coder;
    Model* pos_model = &m.position_long;
    if (length == 3) {
        coder.encode(m.selector, 4);
        pos_model = &m.position3;
    } else if (length == 4) {
        coder.encode(m.selector, 5);
        pos_model = &m.position4;
    } else {
        coder.encode(m.selector, 6);
        const std::uint32_t lv = length - 5;
        const int ls = slot_of(kSlots.length_base, 27, lv);
        coder.encode(m.length_long, ls);
        coder.raw(lv - kSlots.length_base[ls], kSlots.length_extra[ls]);
    }
    const std::uint32_t v = offset - 1;
    const int ps = slot_of(kSlots.position_base, pos_model->entries(), v);
    coder.encode(*pos_model, ps);
    coder.raw(v - kSlots.position_base[ps], kSlots.position_extra[ps]);
}

std::vector<std::uint8_t> QuantumTestWriter::end_frame(int trailer_zeros) {
    s_->coder->finish();
    std::vector<std::uint8_t> out = std::move(s_->frame);
    out.insert(out.end(), static_cast<std::size_t>(trailer_zeros), 0);
    s_->frame.clear();
    s_->coder = std::make_unique<FrameCoder>(s_->frame);
    return out;
}

std::vector<std::vector<std::uint8_t>> quantum_encode(const std::vector<std::uint8_t>& data,
                                                      int window_bits, int trailer_zeros) {
    const std::size_t window = std::size_t{1} << window_bits;
    const int slots = 2 * window_bits;
    const int slots3 = std::min(slots, 24), slots4 = std::min(slots, 36);
    const std::uint32_t max_offset3 =
        kSlots.position_base[slots3 - 1] + (1u << kSlots.position_extra[slots3 - 1]);
    const std::uint32_t max_offset4 =
        kSlots.position_base[slots4 - 1] + (1u << kSlots.position_extra[slots4 - 1]);
    QuantumTestWriter writer(window_bits);
    std::vector<std::int64_t> head(1 << 16, -1), prev(data.size(), -1);
    auto hash = [&](std::size_t p) {
        return ((data[p] << 8) ^ (data[p + 1] << 4) ^ data[p + 2]) & 0xFFFF;
    };

    std::vector<std::vector<std::uint8_t>> blocks;
    for (std::size_t start = 0; start < data.size(); start += kFrame) {
        const std::size_t end = std::min(data.size(), start + kFrame);
        std::size_t p = start;
        while (p < end) {
            // Greedy longest match within the window and the frame.
            std::size_t best_len = 0, best_off = 0;
            if (p + 3 <= end) {
                int chain = 48;
                for (std::int64_t q = head[hash(p)]; q >= 0 && chain-- > 0; q = prev[q]) {
                    const std::size_t off = p - static_cast<std::size_t>(q);
                    if (off > window)
                        break;
                    std::size_t len = 0;
                    while (p + len < end && len < 259 && data[q + len] == data[p + len])
                        ++len;
                    if (len > best_len) {
                        best_len = len;
                        best_off = off;
                    }
                }
            }
            if (best_len == 4 && best_off > max_offset4)
                best_len = 3;
            if (best_len == 3 && best_off > max_offset3)
                best_len = 0;
            std::size_t step = 1;
            if (best_len >= 3) {
                writer.match(static_cast<std::uint32_t>(best_len),
                             static_cast<std::uint32_t>(best_off));
                step = best_len;
            } else {
                writer.literal(data[p]);
            }
            for (std::size_t k = 0; k < step; ++k, ++p) {
                if (p + 3 <= data.size()) {
                    prev[p] = head[hash(p)];
                    head[hash(p)] = static_cast<std::int64_t>(p);
                }
            }
        }
        blocks.push_back(writer.end_frame(end - start == kFrame ? trailer_zeros : 0));
    }
    return blocks;
}

std::vector<std::uint8_t> write_quantum_cabinet(const std::vector<std::uint8_t>& data,
                                                int window_bits, const std::string& name) {
    return write_one_folder_cabinet(quantum_encode(data, window_bits),
                                    2u | static_cast<std::uint32_t>(window_bits) << 8, data.size(), name);
}

std::vector<std::uint8_t> write_quantum_cabinet_ending_early(const std::vector<std::uint8_t>& data,
                                                             std::size_t kept, int window_bits,
                                                             const std::string& name) {
    return write_one_folder_cabinet(quantum_encode(data, window_bits),
                                    2u | static_cast<std::uint32_t>(window_bits) << 8, kept, name);
}

} // namespace cv::test
