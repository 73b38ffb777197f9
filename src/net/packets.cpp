#include "net/packets.h"

#include <algorithm>
#include <cstring>

#include "core/stage_tables.h"

namespace vx::net {

namespace {

constexpr uint8_t kMagic0 = 'V';
constexpr uint8_t kMagic1 = 'X';
constexpr std::size_t kHeaderBytes = 3;        // magic, type
constexpr std::size_t kInputsFixedBytes = 14;  // match, first, ack, sender frame, count

// Little-endian writing and reading of the fixed-width fields.
class Writer {
  public:
    explicit Writer(PacketBytes& out) : out_(out) {}
    void U8(uint8_t v) { out_.push_back(v); }
    void U16(uint16_t v) {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v) {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void U64(uint64_t v) {
        U32(static_cast<uint32_t>(v));
        U32(static_cast<uint32_t>(v >> 32));
    }

  private:
    PacketBytes& out_;
};

class Reader {
  public:
    Reader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    uint8_t U8() { return data_[at_++]; }
    uint16_t U16() {
        const uint16_t lo = U8();
        return static_cast<uint16_t>(lo | (U8() << 8));
    }
    uint32_t U32() {
        const uint32_t lo = U16();
        return lo | (static_cast<uint32_t>(U16()) << 16);
    }
    uint64_t U64() {
        const uint64_t lo = U32();
        return lo | (static_cast<uint64_t>(U32()) << 32);
    }
    std::size_t Left() const { return size_ - at_; }

  private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// The body size of each fixed-size type (index by type); inputs vary with the count.
constexpr std::size_t kStartBytes = 1 + 1 + 2 + 2 + 1 + 8;
constexpr std::array<std::size_t, packet_type::kLast + 1> kBodyBytes = {
    0,
    2 + kVersionTextBytes,
    kStartBytes,
    0,
    1 + 4,
    1 + 1,
    1 + 4 + 8,
    4 + 1,
    1 + 1,
    // watch, start, state and inputs (state and inputs vary with the count), ack, end
    2 + kVersionTextBytes,
    1 + kStartBytes + 4 + 2 + 8,
    0,
    0,
    1 + 4,
    1,
};
constexpr std::size_t kWatchStateFixedBytes = 3;   // offset, count
constexpr std::size_t kWatchInputsFixedBytes = 6;  // match, first frame, count

void WriteStart(Writer& w, const StartPacket& start) {
    w.U8(start.stage);
    w.U8(start.ruleKind);
    w.U16(static_cast<uint16_t>(start.timeLimit));
    w.U16(static_cast<uint16_t>(start.scoreLimit));
    w.U8(start.difficulty);
    w.U64(start.seed);
}

StartPacket ReadStart(Reader& r) {
    StartPacket start;
    start.stage = r.U8();
    start.ruleKind = r.U8();
    start.timeLimit = static_cast<int16_t>(r.U16());
    start.scoreLimit = static_cast<int16_t>(r.U16());
    start.difficulty = r.U8();
    start.seed = r.U64();
    return start;
}

std::size_t InputBytes(std::size_t count) {
    return (count + 3) / 4;  // two bits a frame
}

// The signed distance from expected to frame, in the frames' wrapping arithmetic.
bool WithinWindow(uint32_t frame, uint32_t expected) {
    const uint32_t ahead = frame - expected;
    const uint32_t behind = expected - frame;
    return ahead <= kFrameWindow || behind <= kFrameWindow;
}

}  // namespace

PacketBytes Encode(const Packet& p) {
    PacketBytes out;
    out.reserve(kMaxPacketBytes);
    Writer w(out);
    w.U8(kMagic0);
    w.U8(kMagic1);
    w.U8(p.type);
    switch (p.type) {
        case packet_type::kHello:
        case packet_type::kWatch: {
            const HelloPacket& hello = p.type == packet_type::kHello ? p.hello : p.watch;
            w.U16(hello.protocolVersion);
            for (char c : hello.programVersion) w.U8(static_cast<uint8_t>(c));
            break;
        }
        case packet_type::kStart: WriteStart(w, p.start); break;
        case packet_type::kWatchStart:
            w.U8(p.watchStart.match);
            WriteStart(w, p.watchStart.start);
            w.U32(p.watchStart.frame);
            w.U16(p.watchStart.stateBytes);
            w.U64(p.watchStart.stateHash);
            break;
        case packet_type::kWatchState: {
            const uint8_t count = std::min<uint8_t>(p.watchState.count, kWatchStateChunkBytes);
            w.U16(p.watchState.offset);
            w.U8(count);
            for (std::size_t i = 0; i < count; ++i) w.U8(p.watchState.bytes[i]);
            break;
        }
        case packet_type::kWatchInputs: {
            const uint8_t count = std::min<uint8_t>(p.watchInputs.count, kMaxWatchInputsPerPacket);
            w.U8(p.watchInputs.match);
            w.U32(p.watchInputs.firstFrame);
            w.U8(count);
            for (std::size_t i = 0; i < count; ++i) w.U8(p.watchInputs.frames[i] & 15u);
            break;
        }
        case packet_type::kWatchAck:
            w.U8(p.watchAck.match);
            w.U32(p.watchAck.frame);
            break;
        case packet_type::kWatchEnd: w.U8(p.watchEnd); break;
        case packet_type::kInputs: {
            const uint8_t count = std::min<uint8_t>(p.inputs.count, kMaxInputsPerPacket);
            w.U8(p.inputs.match);
            w.U32(p.inputs.firstFrame);
            w.U32(p.inputs.ackFrame);
            w.U32(p.inputs.senderFrame);
            w.U8(count);
            for (std::size_t i = 0; i < InputBytes(count); ++i) {
                uint8_t packed = 0;
                for (std::size_t k = 0; k < 4 && i * 4 + k < count; ++k)
                    packed = static_cast<uint8_t>(packed | ((p.inputs.inputs[i * 4 + k] & 3u) << (2 * k)));
                w.U8(packed);
            }
            break;
        }
        case packet_type::kControl:
            w.U8(p.control.kind);
            w.U32(p.control.frame);
            break;
        case packet_type::kChoice:
            w.U8(p.choice.kind);
            w.U8(p.choice.value);
            break;
        case packet_type::kHash:
            w.U8(p.hash.match);
            w.U32(p.hash.frame);
            w.U64(p.hash.hash);
            break;
        case packet_type::kKeepAlive:
            w.U32(p.keepAlive.stampMs);
            w.U8(p.keepAlive.isReply);
            break;
        case packet_type::kRequest:
            w.U8(p.request.kind);
            w.U8(p.request.answer);
            break;
        default: break;
    }
    return out;
}

Packet MakeHello(const std::string& programVersion) {
    Packet p;
    p.type = packet_type::kHello;
    const std::size_t n = std::min(programVersion.size(), kVersionTextBytes - 1);
    std::memcpy(p.hello.programVersion.data(), programVersion.data(), n);
    return p;
}

Packet MakeWatch(const std::string& programVersion) {
    Packet p = MakeHello(programVersion);
    p.type = packet_type::kWatch;
    p.watch = p.hello;
    p.hello = {};
    return p;
}

std::string VersionText(const HelloPacket& hello) {
    std::string text;
    for (char c : hello.programVersion) {
        if (c == '\0') break;
        text += (c >= 0x20 && c < 0x7f) ? c : '?';
    }
    return text;
}

std::optional<Packet> ReadPacket(const uint8_t* data, std::size_t size, uint32_t expectedFrame,
                                 DropCounts& drops) {
    if (data == nullptr || size < kHeaderBytes || size > kMaxPacketBytes) {
        ++drops.tooShortOrLong;
        return std::nullopt;
    }
    if (data[0] != kMagic0 || data[1] != kMagic1 || data[2] == 0 || data[2] > packet_type::kLast) {
        ++drops.badMagicOrType;
        return std::nullopt;
    }
    Packet p;
    p.type = data[2];
    Reader r(data + kHeaderBytes, size - kHeaderBytes);
    const std::size_t body = size - kHeaderBytes;
    if (p.type == packet_type::kInputs || p.type == packet_type::kWatchState ||
        p.type == packet_type::kWatchInputs) {
        const std::size_t fixed = p.type == packet_type::kInputs       ? kInputsFixedBytes
                                  : p.type == packet_type::kWatchState ? kWatchStateFixedBytes
                                                                       : kWatchInputsFixedBytes;
        if (body < fixed) {
            ++drops.tooShortOrLong;
            return std::nullopt;
        }
    } else if (body != kBodyBytes[p.type]) {
        ++drops.tooShortOrLong;
        return std::nullopt;
    }
    bool valid = true;
    switch (p.type) {
        case packet_type::kHello:
        case packet_type::kWatch: {
            HelloPacket& hello = p.type == packet_type::kHello ? p.hello : p.watch;
            hello.protocolVersion = r.U16();
            for (char& c : hello.programVersion) c = static_cast<char>(r.U8());
            break;
        }
        case packet_type::kStart:
            p.start = ReadStart(r);
            // Its values are checked against the match settings table by the peer, which
            // ends the connection naming the value: a match the guest could not show (or
            // read back from its replay) is never played.
            break;
        case packet_type::kWatchStart:
            // The settings are the watcher's to check, as a guest checks a start packet.
            p.watchStart.match = r.U8();
            p.watchStart.start = ReadStart(r);
            p.watchStart.frame = r.U32();
            p.watchStart.stateBytes = r.U16();
            p.watchStart.stateHash = r.U64();
            valid = p.watchStart.stateBytes <= kMaxWatchStateBytes &&
                    (p.watchStart.stateBytes == 0) == (p.watchStart.frame == 0);
            break;
        case packet_type::kWatchState:
            p.watchState.offset = r.U16();
            p.watchState.count = r.U8();
            if (p.watchState.count == 0 || p.watchState.count > kWatchStateChunkBytes ||
                r.Left() != p.watchState.count) {
                ++drops.tooShortOrLong;
                return std::nullopt;
            }
            for (std::size_t i = 0; i < p.watchState.count; ++i) p.watchState.bytes[i] = r.U8();
            valid = p.watchState.offset + p.watchState.count <= kMaxWatchStateBytes;
            break;
        case packet_type::kWatchInputs:
            p.watchInputs.match = r.U8();
            p.watchInputs.firstFrame = r.U32();
            p.watchInputs.count = r.U8();
            if (p.watchInputs.count == 0 || p.watchInputs.count > kMaxWatchInputsPerPacket ||
                r.Left() != p.watchInputs.count) {
                ++drops.tooShortOrLong;
                return std::nullopt;
            }
            for (std::size_t i = 0; i < p.watchInputs.count; ++i) {
                p.watchInputs.frames[i] = r.U8();
                valid = valid && p.watchInputs.frames[i] <= 15;
            }
            valid = valid && p.watchInputs.firstFrame + p.watchInputs.count > p.watchInputs.firstFrame;
            break;
        case packet_type::kWatchAck:
            p.watchAck.match = r.U8();
            p.watchAck.frame = r.U32();
            break;
        case packet_type::kWatchEnd:
            p.watchEnd = r.U8();
            valid = p.watchEnd >= 1 && p.watchEnd <= watch_end::kLast;
            break;
        case packet_type::kInputs: {
            p.inputs.match = r.U8();
            p.inputs.firstFrame = r.U32();
            p.inputs.ackFrame = r.U32();
            p.inputs.senderFrame = r.U32();
            p.inputs.count = r.U8();
            if (p.inputs.count == 0 || p.inputs.count > kMaxInputsPerPacket ||
                r.Left() != InputBytes(p.inputs.count)) {
                ++drops.tooShortOrLong;
                return std::nullopt;
            }
            for (std::size_t i = 0; i < InputBytes(p.inputs.count); ++i) {
                const uint8_t packed = r.U8();
                for (std::size_t k = 0; k < 4 && i * 4 + k < p.inputs.count; ++k)
                    p.inputs.inputs[i * 4 + k] = static_cast<InputBits>((packed >> (2 * k)) & 3u);
            }
            const uint32_t last = p.inputs.firstFrame + p.inputs.count - 1;
            if (last < p.inputs.firstFrame || !WithinWindow(p.inputs.firstFrame, expectedFrame) ||
                !WithinWindow(last, expectedFrame) || !WithinWindow(p.inputs.senderFrame, expectedFrame)) {
                ++drops.outsideFrameWindow;
                return std::nullopt;
            }
            break;
        }
        case packet_type::kControl:
            p.control.kind = r.U8();
            p.control.frame = r.U32();
            valid = p.control.kind >= 1 && p.control.kind <= control_kind::kLast;
            break;
        case packet_type::kChoice:
            p.choice.kind = r.U8();
            p.choice.value = r.U8();
            valid = p.choice.kind >= 1 && p.choice.kind <= choice_kind::kLast &&
                    (p.choice.kind != choice_kind::kStage ||
                     (p.choice.value >= 1 && p.choice.value <= kStageCount)) &&
                    (p.choice.kind != choice_kind::kSides || p.choice.value <= 1);
            break;
        case packet_type::kHash:
            p.hash.match = r.U8();
            p.hash.frame = r.U32();
            p.hash.hash = r.U64();
            break;
        case packet_type::kKeepAlive:
            p.keepAlive.stampMs = r.U32();
            p.keepAlive.isReply = r.U8();
            valid = p.keepAlive.isReply <= 1;
            break;
        case packet_type::kRequest:
            p.request.kind = r.U8();
            p.request.answer = r.U8();
            valid = p.request.kind >= 1 && p.request.kind <= request_kind::kLast &&
                    p.request.answer <= request_answer::kLast;
            break;
        default: break;
    }
    if (!valid) {
        ++drops.badValue;
        return std::nullopt;
    }
    return p;
}

}  // namespace vx::net
