// Fuzz target: the values read from the settings store at start-up, any text
// (a hand-edited or foreign registry): the picture path, the colours, the
// font name, and the hall of fame's names and scores, which the hall-of-fame
// window shows and a new entry moves down.
//
// Input: UTF-16 code units, low byte first; U+FFFF separates the values, given
// in the order of Keys() (missing ones stay unset). Byte 0's low bit says
// whether the stored picture exists.
#include <cstdint>
#include <cwchar>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/counters.h"
#include "app/program.h"
#include "fuzz/fuzz_check.h"
#include "scores/hall_of_fame.h"
#include "support/fakes.h"

namespace {

using namespace quorlax;

constexpr GamePool kPools[] = {GamePool::Chinese, GamePool::English, GamePool::Digits};

struct Key {
    std::wstring section, key;
};

std::vector<Key> Keys() {
    std::vector<Key> keys = {{L"register", L"t1"},
                             {L"register", L"ys1"},
                             {L"register", L"wz1"},
                             {L"register", L"wzzt"}};
    for (GamePool pool : kPools) {
        for (int rank = 1; rank <= kRanks; ++rank) {
            keys.push_back({kSectionHallOfFame, HallOfFame::ScoreKey(pool, rank)});
            keys.push_back({kSectionHallOfFame, HallOfFame::NameKey(pool, rank)});
        }
    }
    return keys;
}

// The store the program reads, over the keys above: a flat table, so that
// each input spends its time in the program's code and not in building
// map keys (the map of the usual double costs three quarters of the run).
class FlatStore final : public ISettingsStore {
public:
    explicit FlatStore(std::vector<Key> keys) : keys_(std::move(keys)), values_(keys_.size()) {}
    std::wstring Get(std::wstring_view section, std::wstring_view key) override {
        const std::size_t i = Find(section, key);
        return i < values_.size() ? values_[i] : std::wstring();
    }
    bool Save(std::wstring_view section, std::wstring_view key, std::wstring_view value) override {
        const std::size_t i = Find(section, key);
        FUZZ_CHECK(i < values_.size());  // the program writes only what it reads
        values_[i] = value;
        return true;
    }
    std::size_t Size() const { return keys_.size(); }
    void Set(std::size_t i, std::wstring value) { values_[i] = std::move(value); }
    // Every value unset, their memory given back: each input allocates what it frees.
    void Clear() {
        for (auto& v : values_) std::wstring().swap(v);
    }

private:
    // Not instrumented: which key matched teaches the fuzzer nothing.
    FUZZ_NO_COVERAGE std::size_t Find(std::wstring_view section, std::wstring_view key) const {
        for (std::size_t i = 0; i < keys_.size(); ++i) {
            const Key& k = keys_[i];
            if (k.key.size() == key.size() && k.section.size() == section.size() &&
                std::wmemcmp(k.key.data(), key.data(), key.size()) == 0 &&
                std::wmemcmp(k.section.data(), section.data(), section.size()) == 0)
                return i;
        }
        return keys_.size();
    }
    std::vector<Key> keys_;
    std::vector<std::wstring> values_;
};

// One loaded main window over the flat store, kept for every input.
struct Loaded {
    test::FakeServices fakes;
    FlatStore store{Keys()};
    Services services{fakes.random, fakes.messages, fakes.files,  store,       fakes.sound, fakes.battle,
                      fakes.dialogs, fakes.pictures, fakes.shell, fakes.folders, fakes.clock};
    std::unique_ptr<Program> form;
    Loaded() {
        fakes.random.SetFallback({0.5, 0.25});
        form = std::make_unique<Program>(services, fakes.practiceFiles);
        FUZZ_CHECK(form->Load());
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Loaded program;
    test::FakeServices& fakes = program.fakes;
    FlatStore& store = program.store;
    Program& form = *program.form;

    store.Clear();
    std::wstring value;
    std::size_t next = 0;
    for (std::size_t i = 0; i + 1 < size && next < store.Size(); i += 2) {
        const wchar_t unit = static_cast<wchar_t>(data[i] | data[i + 1] << 8);
        if (unit == 0xFFFF) {
            store.Set(next++, std::move(value));
            value = std::wstring();
        } else {
            value.push_back(unit);
        }
    }
    if (next < store.Size() && !value.empty()) store.Set(next, std::move(value));
    const std::wstring path = store.Get(L"register", L"t1");
    fakes.pictures.existing.clear();
    fakes.pictures.loads.clear();
    if (size > 0 && (data[0] & 1)) fakes.pictures.existing.push_back(path);

    // Start-up: the picture, the colours and the font, the zero-filled scores.
    form.board.picture.reset();
    form.settings.RestoreStoredPicture();
    FUZZ_CHECK((form.board.picture != nullptr) == (!path.empty() && size > 0 && (data[0] & 1)));
    form.settings.Load();  // the stored colours and font, as at start-up
    const auto back = ParseInt32(store.Get(L"register", L"ys1"));
    FUZZ_CHECK(form.board.backColor == (back ? static_cast<forms::Color>(*back) : kDefaultBackColor));
    const std::wstring face = store.Get(L"register", L"wzzt");
    if (!face.empty()) FUZZ_CHECK(form.game.fallingLabels(1).Font.Name == face);
    HallOfFame table(store);
    table.StartupFill();

    // The hall-of-fame window shows what is stored.
    form.scores.hallOfFame.RankingMenu();
    for (GamePool pool : kPools) {
        for (int rank = 1; rank <= kRanks; ++rank) {
            FUZZ_CHECK(!table.ScoreText(pool, rank).empty());
            FUZZ_CHECK(form.scores.hallOfFame.scoreCells[TableIndex(pool)][rank - 1].Caption() ==
                       table.ScoreText(pool, rank));
            FUZZ_CHECK(form.scores.hallOfFame.nameCells[TableIndex(pool)][rank - 1].Caption() ==
                       table.Name(pool, rank));
        }
    }
    form.scores.hallOfFame.Unload();

    // Totals around the stored scores reach every case of the entry rules.
    for (GamePool pool : kPools) {
        const std::int64_t around = table.Score(pool, 1 + (size > 1 ? data[1] % kRanks : 0));
        for (std::int64_t total : {around - 1, around, around + 1}) {
            if (total < std::numeric_limits<std::int32_t>::min() ||
                total > std::numeric_limits<std::int32_t>::max())
                continue;
            const auto t = static_cast<std::int32_t>(total);
            const bool qualifies = table.Qualifies(pool, t);
            const int rank = table.Insert(pool, t, L"姓名");
            FUZZ_CHECK(rank >= 0 && rank <= kRanks);
            if (rank > 0) {
                FUZZ_CHECK(qualifies);
                FUZZ_CHECK(table.Name(pool, rank) == L"姓名");
                FUZZ_CHECK(table.Score(pool, rank) == t);
            }
        }
    }
    store.Clear();
    return 0;
}
