// Fuzz target: the word pool (vbyx.dll) and the code table (vbcx.dll) holding
// any bytes: decoding them as the program loads them, drawing words, the
// practice text check and build, and the F1 code look-up.
//
// Input: bytes 0-1 give where the pool's bytes end, byte 2 seeds the draws
// (its low bit asks for a whole practice text), the rest is the two files.
#include <cstdint>
#include <string>
#include <string_view>

#include "game/generators.h"
#include "fuzz/fuzz_check.h"
#include "platform/gbk.h"
#include "practice/builtin_text.h"
#include "core/code_table.h"

namespace {

using namespace quorlax;

// Uniform values in [0, 1) from a fixed seed, so that a saved input replays.
struct SeededRandom final : IRandom {
    explicit SeededRandom(std::uint32_t seed) : state(seed * 2654435761u + 1) {}
    double Next() override {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state >> 11) / 9007199254740992.0;
    }
    std::uint64_t state;
};

// What the program keeps of a data file: decoded from GBK, lines joined.
std::wstring Load(std::string_view bytes) { return JoinLines(DecodeGbk(bytes)); }

void CheckLookUp(std::wstring_view codeTable, std::wstring_view next) {
    const auto label = LookUpCode(codeTable, next);
    if (!label) return;
    FUZZ_CHECK(!next.empty() && label->size() >= 2 && label->size() <= 6);
    FUZZ_CHECK((*label)[0] == next[0] && (*label)[1] == L'：');
    FUZZ_CHECK(codeTable.substr(0, codeTable.size() - 1).find(next[0]) != std::wstring_view::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::string_view files(reinterpret_cast<const char*>(data + 3), size - 3);
    const std::size_t split = (data[0] | data[1] << 8) % (files.size() + 1);
    SeededRandom random(data[2]);

    const WordPool pool(Load(files.substr(0, split)));
    const std::wstring codeTable = Load(files.substr(split));
    for (wchar_t c : pool.Text()) FUZZ_CHECK(c != L'\r' && c != L'\n');

    std::wstring word;
    if (pool.CanDrawWord()) {
        for (int draw = 0; draw < 8; ++draw) {
            const auto drawn = DrawHanzi(pool, random);
            if (!drawn) continue;
            FUZZ_CHECK(!drawn->empty() && drawn->size() <= 4);
            FUZZ_CHECK(pool.Text().find(*drawn) != std::wstring::npos);
            // A word opens with a wide character and holds no narrow one; the
            // characters after its first may have no GBK form at all.
            FUZZ_CHECK(ClassifyGbk((*drawn)[0]) == CharClass::Wide);
            for (wchar_t c : *drawn) FUZZ_CHECK(ClassifyGbk(c) != CharClass::Narrow);
            word = *drawn;
        }
    }

    const bool practice = CanBuildPracticeText(pool);
    FUZZ_CHECK(!practice || pool.CanDrawWord());
    if (practice && (data[2] & 1)) {
        std::wstring lastWord;
        const std::wstring text = BuildPracticeText(pool, random, lastWord);
        FUZZ_CHECK(text.size() <= 4u * kPracticeWords);
        word = lastWord;
    }

    // The look-up of what a player would ask for: a drawn word's first
    // character, and the first characters of both files.
    CheckLookUp(codeTable, word);
    CheckLookUp(codeTable, std::wstring_view(pool.Text()).substr(0, 1));
    for (std::size_t i = 0; i < codeTable.size() && i < 4; ++i) CheckLookUp(codeTable, std::wstring_view(codeTable).substr(i, 1));
    return 0;
}
