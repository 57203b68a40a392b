// Tests' build only: makes the skin's subclassing fail, as a system that
// refuses to replace a window procedure, or to keep a window property, would.
#pragma once

#include <string>

#include "platform/non_copyable.h"

namespace quorlax::skin::test {

// While one lives, every window-procedure install of the skin is refused
// (the skin raises 13081).
class RefusedSubclassing : NonCopyable {
public:
    RefusedSubclassing();
    ~RefusedSubclassing();
};

// While one lives, the subclassing service cannot set the property `name`.
class RefusedProperty : NonCopyable {
public:
    explicit RefusedProperty(std::string name);
    ~RefusedProperty();
};

}  // namespace quorlax::skin::test
