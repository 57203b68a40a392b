// A loaded Program over fake services, for the rule tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/program.h"
#include "core/counters.h"
#include "support/fakes.h"

namespace quorlax::test {

class FormTest : public ::testing::Test {
protected:
    void SetUp() override { random().SetFallback({0.5, 0.0, 0.25, 0.75, 0.1, 0.9, 0.3, 0.6, 0.45}); }

    // Loads the form; individual tests change the fakes first.
    bool Load() {
        form_ = std::make_unique<Program>(fakes_.services, fakes_.practiceFiles);
        return form_->Load();
    }
    Program& form() { return *form_; }
    SequenceRandom& random() { return fakes_.random; }

    double Score() { return CounterValue(form().game.scoreLabel.Caption()); }
    double Bonus() { return CounterValue(form().game.bonusLabel.Caption()); }
    double Lives() { return CounterValue(form().game.livesLabel.Caption()); }

    // The counters as a game starts them: score, bonus and speed 0, five
    // lives, the clock's first second, the first level.
    void ExpectCountersAtStart() {
        EXPECT_EQ(form().game.scoreLabel.Caption(), L"0");
        EXPECT_EQ(form().game.bonusLabel.Caption(), L"0");
        EXPECT_EQ(form().game.speedLabel.Caption(), L"0");
        EXPECT_EQ(form().game.livesLabel.Caption(), L"5");
        EXPECT_EQ(form().board.ElapsedSeconds(), 1);
        EXPECT_EQ(form().game.Level(), 0);
    }

    // Types text into the typing box as the user would, one change.
    void Type(const std::wstring& text) { form().game.typingBox.SetText(text); }
    // Runs shot ticks until the shot lands; returns how many it took.
    int FlyShot(int limit = 20) {
        int ticks = 0;
        while (form().game.shotTimer.Enabled() && ticks < limit) {
            form().game.OnShotTick();
            ++ticks;
        }
        return ticks;
    }

    FakeServices fakes_;
    std::unique_ptr<Program> form_;
};

// A loaded form for the practice room's tests, typed into as the user types.
class PracticeFormTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_TRUE(Load());
    }
    PracticeRoom& room() { return form().practice; }
    // One typed character in practiceBox.
    void Key(wchar_t c) { room().practiceBox.SetText(room().practiceBox.Text() + c); }
    // Backspace as the box gives it: the key first, then the shorter text.
    void Backspace() {
        room().OnPracticeBoxKey(kKeyBackspace);
        std::wstring text = room().practiceBox.Text();
        text.pop_back();
        room().practiceBox.SetText(text);
    }
};

}  // namespace quorlax::test
