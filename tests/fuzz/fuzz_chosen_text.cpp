// Fuzz target: a practice file the player chooses, any bytes: decoding, the
// grid's captions, and typing the start of it in a chosen-text run.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "practice/chosen_text.h"
#include "practice/practice_run.h"

namespace {

using namespace quorlax;

// A practice window with 练习/选择 checked; clearing the box reports the change.
struct ChosenHost final : IPracticeHost {
    PracticeRun* run = nullptr;
    bool BuiltInChecked() const override { return false; }
    bool ChosenChecked() const override { return true; }
    forms::Color WindowBackColor() const override { return 0x00FF8000; }
    void AskRestart() override {}
    void StartBuiltInRun() override {}
    void ClearInput() override { run->InputChanged(*this, L""); }
    void StopClock() override {}
    std::uint64_t Milliseconds() override { return ++now; }
    std::uint64_t now = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ChosenFile file = DecodePracticeFile(bytes);
    // Refused exactly when no character is left.
    FUZZ_CHECK(file.error == (file.text.empty() ? PracticeFileError::Unreadable : PracticeFileError::None));
    // At most one character per byte; only characters a grid cell can show.
    FUZZ_CHECK(file.text.size() <= size);
    FUZZ_CHECK(file.length() == static_cast<std::int32_t>(file.text.size()));
    if (file.error != PracticeFileError::None) return 0;
    for (wchar_t c : file.text) {
        FUZZ_CHECK(c >= 0x20 && !(c >= 0x7F && c <= 0x9F));
        FUZZ_CHECK(static_cast<std::uint32_t>(c) <= 0xFFFF && !(c >= 0xD800 && c <= 0xDFFF));
    }

    // The cells around both ends of the grid and of the text.
    const int length = file.length();
    for (int cell : {-1, 0, 1, 2, length - 1, length, length + 1, kPracticeCells, kPracticeCells + 1}) {
        const std::wstring caption = CellCaption(file.text, cell);
        const bool inText = cell >= 1 && cell <= kPracticeCells && cell <= length;
        FUZZ_CHECK(caption.size() == (inText ? 1u : 0u));
        if (inText) FUZZ_CHECK(caption[0] == file.text[static_cast<std::size_t>(cell) - 1]);
    }

    // A chosen-text run on it: the grid shows the text; the player types its
    // start, the last character wrong.
    PracticeRun run;
    ChosenHost host;
    host.run = &run;
    run.BeginChosen(host);
    run.ShowChosenText(file.text);
    run.MarkStart();
    FUZZ_CHECK(run.chosenLength() == file.length());
    for (int cell : {1, length, kPracticeCells})
        FUZZ_CHECK(run.Caption(cell) == CellCaption(file.text, cell));
    const std::size_t typed = std::min<std::size_t>(file.text.size(), 4);
    std::wstring box;
    for (std::size_t i = 0; i < typed; ++i) {
        box.push_back(i + 1 == typed ? L'\x2603' : file.text[i]);
        run.InputChanged(host, box);
        FUZZ_CHECK(run.typedCount() == static_cast<std::int32_t>(box.size()));
    }
    run.KeyDown(host, kKeyBackspace);
    return 0;
}
