#include "platform/sequencer.h"

namespace vx {

std::string ShortPathName(const std::string& longPath) {
    return longPath;
}

}  // namespace vx
