// A base for objects that must stay one of a kind: a copy would share a
// handle, a registration or a `this` that callbacks hold. It neither copies
// nor moves; a class states it once by deriving from it.
#pragma once

namespace quorlax {

class NonCopyable {
public:
    NonCopyable(const NonCopyable&) = delete;
    NonCopyable& operator=(const NonCopyable&) = delete;

protected:
    NonCopyable() = default;
    ~NonCopyable() = default;
};

}  // namespace quorlax
