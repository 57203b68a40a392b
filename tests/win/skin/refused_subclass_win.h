// Tests' build only: makes the skin's subclassing fail, as a system that
// refuses to replace a window procedure would.
#pragma once

namespace quorlax::skin::test {

// While one lives, every window-procedure install of the skin is refused
// (the skin raises 13081).
class RefusedSubclassing {
public:
    RefusedSubclassing();
    ~RefusedSubclassing();
    RefusedSubclassing(const RefusedSubclassing&) = delete;
    RefusedSubclassing& operator=(const RefusedSubclassing&) = delete;
};

}  // namespace quorlax::skin::test
