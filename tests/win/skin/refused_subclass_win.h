// Tests' build only: makes the skin's subclassing fail, as a system that
// refuses to replace a window procedure, or to keep a window property, would.
#pragma once

#include <string>

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

// While one lives, the subclassing service cannot set the property `name`.
class RefusedProperty {
public:
    explicit RefusedProperty(std::string name);
    ~RefusedProperty();
    RefusedProperty(const RefusedProperty&) = delete;
    RefusedProperty& operator=(const RefusedProperty&) = delete;
};

}  // namespace quorlax::skin::test
