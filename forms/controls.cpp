// Behaviour of the portable control models.
#include "forms/controls.h"

#include <stdexcept>
#include <string>

namespace forms {

float Control::FormLeft() const { return Left + (Container ? Container->FormLeft() : 0.0f); }
float Control::FormTop() const { return Top + (Container ? Container->FormTop() : 0.0f); }
bool Control::Shown() const { return Visible && (!Container || Container->Shown()); }

void Label::SetCaption(std::wstring text) {
    caption_ = std::move(text);
    if (Change) Change();
}

void TextBox::SetText(std::wstring text) {
    if (text == text_) return;
    text_ = std::move(text);
    if (OnTextPushed) OnTextPushed(text_);
    if (Change) Change();
}

void Timer::SetInterval(int ms) {
    if (ms < 0) ms = 0;
    if (ms == interval_) return;
    interval_ = ms;
    if (OnChange) OnChange(*this);
}

void Timer::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    if (OnChange) OnChange(*this);
}

void ThrowIndexOutOfRange(int index) {
    throw std::out_of_range("control array index " + std::to_string(index) + " out of range");
}

}  // namespace forms
