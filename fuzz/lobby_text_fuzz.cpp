// Fuzz target: any bytes as a lobby message body and as a typed room code. A body is
// either refused with a reason or read as a line that writes back to the very same bytes;
// a typed code is refused or is six characters of the alphabet that read as themselves
// and name a room the room service can hold.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "net/lobby/lobby_text.h"

namespace {

using namespace vx::net::lobby;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "lobby text fuzz: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string why;
    if (const auto line = ReadLine(bytes, &why)) {
        Check(why.empty(), "a read line gives no reason");
        Check(WriteLine(*line) == bytes, "a read line writes back to the same bytes");
        Check(line->text.size() <= kMaxPathText, "text within its bound");
    } else {
        Check(!why.empty(), "a refused line says why");
    }
    if (const auto code = ReadRoomCode(bytes)) {
        Check(code->size() == kCodeLength, "a code has six characters");
        Check(ReadRoomCode(*code) == *code, "a code reads as itself");
        for (const char c : *code) Check(kCodeAlphabet.find(c) != std::string_view::npos, "alphabet only");
        const std::string room = RoomNameFor(*code) + WatchRoomNameFor(*code);
        for (const char c : room)
            Check((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-', "room name");
    }
    return 0;
}
