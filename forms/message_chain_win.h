// A window's message handling as a chain: the frame first, then the hosts
// of its controls, then the window's own handlers. A link that handles a
// message ends the walk with its result.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace forms {

class MessageFilter {
public:
    virtual ~MessageFilter() = default;
    // True when the message is handled; `result` is then the window's answer.
    virtual bool Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) = 0;
};

class MessageChain {
public:
    // The frame goes before every host: it sees the window's messages first.
    void SetFrame(MessageFilter* frame) { frame_ = frame; }
    void Add(MessageFilter* host) { hosts_.push_back(host); }
    void Remove(MessageFilter* host) { std::erase(hosts_, host); }

    bool Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
        if (frame_ && frame_->Filter(msg, wp, lp, result)) return true;
        for (MessageFilter* host : hosts_)
            if (host->Filter(msg, wp, lp, result)) return true;
        return false;
    }

private:
    MessageFilter* frame_ = nullptr;
    std::vector<MessageFilter*> hosts_;
};

}  // namespace forms
