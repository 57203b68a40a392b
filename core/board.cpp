// The board's own work: the data files, the clock, telling once.
#include "core/board.h"

#include "platform/gbk.h"

namespace quorlax {
const forms::Font& Board::TextFont() const {
    static const forms::Font none;
    return textSample_ ? textSample_->Font : none;
}

bool Board::LoadData(IDataFiles& files) {
    std::wstring pool, codes;
    for (auto [name, target] : {std::pair{kWordPoolFile, &pool}, std::pair{kCodeTableFile, &codes}}) {
        DataFile file = files.Read(name);
        if (!file.ok) {
            messages_.Show(std::wstring(L"无法读取数据文件 ") + name + L"。\n它应当放在这个文件夹里：\n" +
                           file.folder + L"\n\n请重新安装 Quorlax。程序将退出。");
            return false;
        }
        *target = JoinLines(file.text);
        folder_ = file.folder;
    }
    files_ = &files;
    SetData(std::move(pool), std::move(codes));
    return true;
}

void Board::SetData(std::wstring poolText, std::wstring codeTable) {
    pool_ = WordPool(std::move(poolText));
    codeTable_ = std::move(codeTable);
}

void Board::SetCodeMode(bool on) {
    codeMode_ = on;
    codeModeChanged(on);
}

const FiveStrokeCodes* Board::Codes() {
    if (codesRead_) return codes_.get();
    codesRead_ = true;
    if (!files_) return nullptr;
    const std::wstring path = folder_ + L"\\" + kFiveStrokeCodesFile;
    FileBytes file = files_->ReadBytes(path, 16u << 20);
    if (file.status != FileBytes::Status::Ok || file.bytes.empty()) {
        TellOnce(std::wstring(L"无法读取数据文件 ") + kFiveStrokeCodesFile + L"，五笔编码输入暂不可用。\n它应当放在这个文件夹里：\n" +
                 folder_);
        return nullptr;
    }
    codes_ = std::make_unique<FiveStrokeCodes>(FiveStrokeCodes::Parse(file.bytes));
    return codes_.get();
}

void Board::OnClockTick() {
    ++elapsed_;
    // A clock read as zero has no speed to show.
    if (elapsed_ != 0) clockTicked(static_cast<double>(elapsed_));
}

void Board::TellOnce(std::wstring_view message) {
    for (const auto& told : told_)
        if (told == message) return;
    told_.emplace_back(message);
    messages_.Show(message);
}

}  // namespace quorlax
