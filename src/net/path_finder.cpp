#include "net/path_finder.h"

namespace vx::net {

const char* PathName(PathKind kind) {
    switch (kind) {
        case PathKind::kLan: return "lan";
        case PathKind::kDirect: return "direct";
        case PathKind::kPunched: return "punched";
        case PathKind::kMapped: return "mapped";
        case PathKind::kRelay: return "relay";
    }
    return "direct";
}

}  // namespace vx::net
