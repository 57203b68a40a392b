// Behaviour of the portable control models.
#include "forms/controls.h"

#include <algorithm>
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

void CommandButton::Press() {
    if (Enabled && Shown() && Click) Click();
}

void ToolForm::Unload() {
    if (!loaded_) return;
    loaded_ = false;
    OnUnload();
    if (OnUnloaded) OnUnloaded();
}

bool ToolForm::Show() {
    loaded_ = true;
    if (OnLoaded && !OnLoaded()) loaded_ = false;
    return loaded_;
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

Label::Label(Scene& scene, Layer layer, unsigned reach) { scene.Add(*this, layer, reach); }
Picture::Picture(Scene& scene, Layer layer) { scene.Add(*this, layer); }
Panel::Panel(Scene& scene, Layer layer) { scene.Add(*this, layer); }

Scene::Scene() {
    prepareTimer.Tick = [this] { sliceDue_ = true; };
}

void Scene::Prepare(const Font& font, std::wstring_view text) {
    CancelPrepare();
    if (font != prepareFont_) {
        prepareFont_ = font;
        taken_.assign(taken_.size(), false);
    }
    for (wchar_t c : text)
        if (c > L' ' && static_cast<size_t>(c) < taken_.size() && !taken_[c]) {
            taken_[c] = true;
            preparing_ += c;
        }
    prepareTimer.SetEnabled(!preparing_.empty());
}

void Scene::CancelPrepare() {
    for (wchar_t c : preparing_) taken_[c] = false;
    preparing_.clear();
    prepareTimer.SetEnabled(false);
}

std::optional<std::pair<Font, std::wstring>> Scene::TakePrepareSlice(size_t most) {
    if (!sliceDue_ || preparing_.empty()) return std::nullopt;
    sliceDue_ = false;
    std::wstring slice = preparing_.substr(0, most);
    preparing_.erase(0, slice.size());
    if (preparing_.empty()) prepareTimer.SetEnabled(false);
    return std::make_pair(prepareFont_, std::move(slice));
}

void Scene::Insert(Entry entry) {
    // Stable by layer: the declaration order decides within one layer.
    auto at = std::upper_bound(entries_.begin(), entries_.end(), entry.layer,
                               [](Layer l, const Entry& e) { return l < e.layer; });
    entries_.insert(at, entry);
}

void Scene::Add(Label& label, Layer layer, unsigned reach) { Insert({&label, Kind::Label, layer, reach}); }
void Scene::Add(Picture& picture, Layer layer) { Insert({&picture, Kind::Picture, layer, kNoSetting}); }
void Scene::Add(Panel& panel, Layer layer) { Insert({&panel, Kind::Panel, layer, kNoSetting}); }

const std::vector<Scene::Entry>& Scene::Entries() const { return entries_; }

std::vector<Label*> Scene::Reached(Reach setting) const {
    std::vector<Label*> labels;
    for (const Entry& e : entries_)
        if (e.kind == Kind::Label && (e.reach & setting)) labels.push_back(static_cast<Label*>(e.control));
    return labels;
}

void ThrowIndexOutOfRange(int index) {
    throw std::out_of_range("control array index " + std::to_string(index) + " out of range");
}

}  // namespace forms
