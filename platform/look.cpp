// Loaded pictures' version numbers.
#include "platform/look.h"

namespace quorlax {

Image::Image() {
    static std::uint64_t loaded = 0;  // the UI thread is the only one
    version_ = ++loaded;
}

}  // namespace quorlax
