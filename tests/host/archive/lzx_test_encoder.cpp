#include "tests/host/archive/lzx_test_encoder.h"

#include <algorithm>
#include <cstring>
#include <queue>
#include <stdexcept>

namespace cv::test {

namespace {

constexpr std::uint32_t kFrame = 32768;
constexpr unsigned kMaxSlots = 50;

struct SlotTable {
    std::uint32_t extra[kMaxSlots];
    std::uint32_t base[kMaxSlots];
    SlotTable() {
        std::uint32_t b = 0;
        for (unsigned s = 0; s < kMaxSlots; ++s) {
            extra[s] = s < 4 ? 0 : std::min<std::uint32_t>(s / 2 - 1, 17);
            base[s] = b;
            b += 1u << extra[s];
        }
    }
    unsigned slot_of(std::uint32_t formatted) const {
        unsigned s = 3;
        while (s + 1 < kMaxSlots && base[s + 1] <= formatted)
            ++s;
        return s;
    }
};
const SlotTable kSlots;

unsigned slots_for(int window_bits) {
    return window_bits == 21 ? 50 : window_bits == 20 ? 42 : 2u * static_cast<unsigned>(window_bits);
}

// Huffman code lengths limited to `limit` bits: halve the counts until the tree fits.
std::vector<std::uint8_t> code_lengths(std::vector<std::uint32_t> freq, unsigned limit) {
    const std::size_t n = freq.size();
    std::vector<std::uint8_t> lengths(n, 0);
    std::vector<std::size_t> used;
    for (std::size_t i = 0; i < n; ++i)
        if (freq[i])
            used.push_back(i);
    if (used.empty())
        return lengths;
    if (used.size() == 1) {
        lengths[used[0]] = 1;
        lengths[used[0] == 0 ? 1 : 0] = 1;
        return lengths;
    }
    for (;;) {
        using Item = std::pair<std::uint64_t, std::size_t>;
        std::priority_queue<Item, std::vector<Item>, std::greater<>> queue;
        std::vector<std::size_t> parent(n, 0);
        for (std::size_t i : used) {
            queue.push({freq[i], i});
        }
        std::size_t next = n;
        parent.resize(2 * n);
        while (queue.size() > 1) {
            const Item a = queue.top();
            queue.pop();
            const Item b = queue.top();
            queue.pop();
            parent[a.second] = next;
            parent[b.second] = next;
            queue.push({a.first + b.first, next++});
        }
        const std::size_t root = queue.top().second;
        unsigned longest = 0;
        for (std::size_t i : used) {
            unsigned depth = 0;
            for (std::size_t k = i; k != root; k = parent[k])
                ++depth;
            lengths[i] = static_cast<std::uint8_t>(depth);
            longest = std::max(longest, depth);
        }
        if (longest <= limit)
            return lengths;
        for (std::size_t i : used)
            freq[i] = (freq[i] + 1) / 2;
    }
}

std::vector<std::uint32_t> canonical_codes(const std::vector<std::uint8_t>& lengths) {
    std::uint32_t count[18] = {}, next[18] = {};
    for (auto l : lengths)
        ++count[l];
    count[0] = 0;
    for (unsigned l = 1; l <= 16; ++l)
        next[l + 1] = (next[l] + count[l]) << 1;
    std::vector<std::uint32_t> codes(lengths.size(), 0);
    for (std::size_t s = 0; s < lengths.size(); ++s)
        if (lengths[s])
            codes[s] = next[lengths[s]]++;
    return codes;
}

struct Code {
    std::vector<std::uint8_t> lengths;
    std::vector<std::uint32_t> codes;
    Code(std::vector<std::uint32_t> freq, unsigned limit)
        : lengths(code_lengths(std::move(freq), limit)), codes(canonical_codes(lengths)) {}
};

struct Token {
    std::uint32_t main = 0;       // main tree symbol
    std::int32_t length_sym = -1; // length tree symbol, if any
    unsigned slot = 0;
    std::uint32_t footer = 0;
};

class Encoder {
  public:
    Encoder(const std::vector<std::uint8_t>& data, const LzxEncodeOptions& o)
        : data_(data), opt_(o), window_(1u << o.window_bits),
          main_symbols_(256 + 8 * slots_for(o.window_bits)), main_prev_(main_symbols_, 0),
          length_prev_(249, 0), head_(1u << 16, -1), chain_(data.size(), -1) {}

    std::vector<std::vector<std::uint8_t>> run() {
        if (data_.empty())
            return {};
        frames_.emplace_back();
        frame_end_ = kFrame;
        if (opt_.call_translation) {
            put(1, 1);
            put(static_cast<std::uint32_t>(opt_.translation_size) >> 16, 16);
            put(static_cast<std::uint32_t>(opt_.translation_size) & 0xFFFF, 16);
        } else {
            put(0, 1);
        }
        std::size_t type_index = 0;
        while (pos_ < data_.size()) {
            const auto size = static_cast<std::uint32_t>(
                std::min<std::size_t>(opt_.block_size, data_.size() - pos_));
            const int type = opt_.block_types[type_index++ % opt_.block_types.size()];
            if (type == 3)
                uncompressed_block(size);
            else
                compressed_block(type, size);
        }
        align();
        return std::move(frames_);
    }

  private:
    // --- bit output, 16-bit little-endian words, most significant bit first ---
    void put(std::uint32_t value, unsigned n) {
        for (unsigned i = n; i-- > 0;) {
            acc_ = (acc_ << 1) | ((value >> i) & 1);
            if (++count_ == 16) {
                frames_.back().push_back(static_cast<std::uint8_t>(acc_));
                frames_.back().push_back(static_cast<std::uint8_t>(acc_ >> 8));
                acc_ = 0;
                count_ = 0;
            }
        }
    }
    void align() {
        if (count_)
            put(0, 16 - count_);
    }
    // Starts the next data block when the output has reached the frame end.
    void cut_frame_if_due() {
        if (out_pos_ < frame_end_)
            return;
        align();
        frames_.emplace_back();
        frame_end_ += kFrame;
    }

    void insert_hash(std::size_t p) {
        if (p + 3 > data_.size())
            return;
        const std::uint32_t h = (data_[p] * 2654435761u ^ data_[p + 1] * 40503u ^ data_[p + 2]) & 0xFFFF;
        chain_[p] = head_[h];
        head_[h] = static_cast<std::int64_t>(p);
    }

    std::uint32_t match_length(std::size_t p, std::uint32_t offset, std::uint32_t max) const {
        std::uint32_t len = 0;
        while (len < max && data_[p + len] == data_[p + len - offset])
            ++len;
        return len;
    }

    std::vector<Token> tokenize(std::uint32_t size, std::vector<std::uint32_t>& main_freq,
                                std::vector<std::uint32_t>& length_freq,
                                std::vector<std::uint32_t>& aligned_freq, bool aligned) {
        std::vector<Token> tokens;
        const std::size_t end = pos_ + size;
        std::size_t p = pos_;
        const std::uint32_t max_offset = window_ - 3;
        while (p < end) {
            const std::size_t frame_end = (p / kFrame + 1) * kFrame;
            const auto max = static_cast<std::uint32_t>(std::min({end, frame_end, p + 257}) - p);
            std::uint32_t best_len = 0, best_off = 0;
            if (max >= 2) {
                for (std::uint32_t r : {r_[0], r_[1], r_[2]}) {
                    if (r == 0 || r > p || r > max_offset)
                        continue;
                    const std::uint32_t len = match_length(p, r, max);
                    if (len > best_len) {
                        best_len = len;
                        best_off = r;
                    }
                }
                int depth = opt_.search_depth;
                for (std::int64_t q = p + 3 <= data_.size() ? head_[(data_[p] * 2654435761u ^ data_[p + 1] * 40503u ^ data_[p + 2]) & 0xFFFF] : -1;
                     q >= 0 && depth-- > 0; q = chain_[q]) {
                    const std::size_t offset = p - static_cast<std::size_t>(q);
                    if (offset > max_offset)
                        break;
                    const std::uint32_t len = match_length(p, static_cast<std::uint32_t>(offset), max);
                    if (len > best_len + 1) {
                        best_len = len;
                        best_off = static_cast<std::uint32_t>(offset);
                    }
                }
            }
            const bool repeat = best_off == r_[0] || best_off == r_[1] || best_off == r_[2];
            if (best_len >= 3 || (best_len == 2 && repeat)) {
                tokens.push_back(match_token(best_len, best_off, main_freq, length_freq, aligned_freq, aligned));
                for (std::uint32_t i = 0; i < best_len; ++i)
                    insert_hash(p + i);
                p += best_len;
            } else {
                Token t;
                t.main = data_[p];
                ++main_freq[t.main];
                tokens.push_back(t);
                insert_hash(p);
                ++p;
            }
        }
        return tokens;
    }

    Token match_token(std::uint32_t len, std::uint32_t offset, std::vector<std::uint32_t>& main_freq,
                      std::vector<std::uint32_t>& length_freq, std::vector<std::uint32_t>& aligned_freq,
                      bool aligned) {
        Token t;
        if (offset == r_[0]) {
            t.slot = 0;
        } else if (offset == r_[1]) {
            t.slot = 1;
            std::swap(r_[0], r_[1]);
        } else if (offset == r_[2]) {
            t.slot = 2;
            std::swap(r_[0], r_[2]);
        } else {
            t.slot = kSlots.slot_of(offset + 2);
            t.footer = offset + 2 - kSlots.base[t.slot];
            r_[2] = r_[1];
            r_[1] = r_[0];
            r_[0] = offset;
            if (aligned && kSlots.extra[t.slot] >= 3)
                ++aligned_freq[t.footer & 7];
        }
        const std::uint32_t header = std::min<std::uint32_t>(len - 2, 7);
        t.main = 256 + t.slot * 8 + header;
        ++main_freq[t.main];
        if (header == 7) {
            t.length_sym = static_cast<std::int32_t>(len - 9);
            ++length_freq[len - 9];
        }
        return t;
    }

    void write_tree(std::vector<std::uint8_t>& prev, const std::vector<std::uint8_t>& next,
                    unsigned first, unsigned last) {
        struct Item {
            unsigned code, extra_bits, extra;
            int change = -1; // second pretree code of a code-19 run
        };
        std::vector<Item> items;
        std::vector<std::uint32_t> freq(20, 0);
        for (unsigned x = first; x < last;) {
            unsigned run = 1;
            while (x + run < last && next[x + run] == next[x] && run < 51)
                ++run;
            if (next[x] == 0 && run >= 20) {
                items.push_back({18, 5, run - 20});
                ++freq[18];
                x += run;
            } else if (next[x] == 0 && run >= 4) {
                run = std::min(run, 19u);
                items.push_back({17, 4, run - 4});
                ++freq[17];
                x += run;
            } else if (run >= 4) {
                run = std::min(run, 5u);
                const unsigned change = (prev[x] + 17 - next[x]) % 17;
                items.push_back({19, 1, run - 4, static_cast<int>(change)});
                ++freq[19];
                ++freq[change];
                x += run;
            } else {
                const unsigned change = (prev[x] + 17 - next[x]) % 17;
                items.push_back({change, 0, 0});
                ++freq[change];
                ++x;
            }
        }
        const Code pre(freq, 15);
        for (unsigned i = 0; i < 20; ++i)
            put(pre.lengths[i], 4);
        for (const Item& it : items) {
            put(pre.codes[it.code], pre.lengths[it.code]);
            if (it.extra_bits)
                put(it.extra, it.extra_bits);
            if (it.change >= 0)
                put(pre.codes[it.change], pre.lengths[it.change]);
        }
        std::copy(next.begin() + first, next.begin() + last, prev.begin() + first);
    }

    void block_header(int type, std::uint32_t size) {
        cut_frame_if_due();
        put(static_cast<std::uint32_t>(type), 3);
        put(size >> 8, 16);
        put(size & 0xFF, 8);
    }

    void compressed_block(int type, std::uint32_t size) {
        const bool aligned = type == 2;
        std::vector<std::uint32_t> main_freq(main_symbols_, 0), length_freq(249, 0), aligned_freq(8, 0);
        const std::vector<Token> tokens = tokenize(size, main_freq, length_freq, aligned_freq, aligned);
        const Code main(main_freq, 16), length(length_freq, 16), aligned_code(aligned_freq, 7);

        block_header(type, size);
        if (aligned)
            for (unsigned i = 0; i < 8; ++i)
                put(aligned_code.lengths[i], 3);
        write_tree(main_prev_, main.lengths, 0, 256);
        write_tree(main_prev_, main.lengths, 256, main_symbols_);
        write_tree(length_prev_, length.lengths, 0, 249);

        for (const Token& t : tokens) {
            cut_frame_if_due();
            put(main.codes[t.main], main.lengths[t.main]);
            if (t.main < 256) {
                ++out_pos_;
                continue;
            }
            const std::uint32_t header = (t.main - 256) & 7;
            std::uint32_t len = header + 2;
            if (t.length_sym >= 0) {
                put(length.codes[t.length_sym], length.lengths[t.length_sym]);
                len += static_cast<std::uint32_t>(t.length_sym);
            }
            if (t.slot >= 3) {
                const std::uint32_t extra = kSlots.extra[t.slot];
                if (aligned && extra >= 3) {
                    put(t.footer >> 3, extra - 3);
                    put(aligned_code.codes[t.footer & 7], aligned_code.lengths[t.footer & 7]);
                } else {
                    put(t.footer, extra);
                }
            }
            out_pos_ += len;
        }
        pos_ += size;
    }

    void uncompressed_block(std::uint32_t size) {
        block_header(3, size);
        put(0, count_ == 0 ? 16 : 16 - count_); // 1 to 16 bits of padding
        for (std::uint32_t r : r_)
            for (int k = 0; k < 4; ++k)
                frames_.back().push_back(static_cast<std::uint8_t>(r >> (8 * k)));
        for (std::uint32_t i = 0; i < size; ++i) {
            if (out_pos_ == frame_end_) {
                frames_.emplace_back();
                frame_end_ += kFrame;
            }
            frames_.back().push_back(data_[pos_]);
            insert_hash(pos_);
            ++pos_;
            ++out_pos_;
        }
        if (size & 1) {
            if (opt_.pad_byte_in_next_frame && out_pos_ == frame_end_ && pos_ < data_.size()) {
                frames_.emplace_back();
                frame_end_ += kFrame;
            }
            frames_.back().push_back(0);
        }
    }

    const std::vector<std::uint8_t>& data_;
    LzxEncodeOptions opt_;
    const std::uint32_t window_;
    const unsigned main_symbols_;
    std::vector<std::uint8_t> main_prev_, length_prev_;
    std::vector<std::int64_t> head_, chain_;
    std::uint32_t r_[3] = {1, 1, 1};
    std::size_t pos_ = 0;     // next input byte to tokenize / copy
    std::size_t out_pos_ = 0; // output bytes written to the bit stream so far
    std::size_t frame_end_ = 0;
    std::vector<std::vector<std::uint8_t>> frames_;
    std::uint32_t acc_ = 0;
    unsigned count_ = 0;
};

} // namespace

void lzx_translate_calls(std::vector<std::uint8_t>& data, std::int32_t translation_size) {
    for (std::size_t frame = 0; frame < data.size() && frame < 0x40000000; frame += kFrame) {
        const std::size_t size = std::min<std::size_t>(kFrame, data.size() - frame);
        if (size <= 10)
            continue;
        for (std::size_t i = 0; i < size - 10; ++i) {
            std::uint8_t* p = &data[frame + i];
            if (*p != 0xE8)
                continue;
            const auto position = static_cast<std::int64_t>(frame + i);
            std::int32_t rel;
            std::memcpy(&rel, p + 1, 4);
            const std::int64_t absolute = position + rel;
            if (absolute >= 0 && absolute < static_cast<std::int64_t>(translation_size) + position) {
                const std::int64_t value = absolute < translation_size ? absolute : rel - static_cast<std::int64_t>(translation_size);
                const auto v = static_cast<std::uint32_t>(value);
                std::memcpy(p + 1, &v, 4);
            }
            i += 4;
        }
    }
}

std::vector<std::vector<std::uint8_t>> lzx_encode(const std::vector<std::uint8_t>& input,
                                                  const LzxEncodeOptions& options) {
    if (options.window_bits < 15 || options.window_bits > 21 || options.block_types.empty() ||
        options.block_size == 0)
        throw std::invalid_argument("lzx_encode: bad options");
    std::vector<std::uint8_t> data = input;
    if (options.call_translation)
        lzx_translate_calls(data, options.translation_size);
    Encoder encoder(data, options);
    return encoder.run();
}

} // namespace cv::test
