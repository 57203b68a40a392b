// The chosen practice text: a text file's bytes turned into the one line of
// characters a practice run copies, and what the run reads from it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorlax {

inline constexpr int kPracticeCells = 406;  // cells of the practice grid
inline constexpr int kCellsPerRow = 29;     // 14 rows of 29 cells
// Larger files are refused: the whole text is held in memory, and its length
// must stay a 32-bit count.
inline constexpr std::uint64_t kMaxPracticeFileBytes = 64ull * 1024 * 1024;

// Why a chosen file gives no text. A file that holds no character to
// practise (empty, only a byte-order mark or line ends) is as unreadable.
enum class PracticeFileError { None, TooLarge, Unreadable };

// The text of a chosen file, ready for a chosen-text run.
struct ChosenFile {
    PracticeFileError error = PracticeFileError::None;
    std::wstring text;  // all lines joined, line ends dropped; empty on error
    // `chosenLength`: the text's length in characters.
    std::int32_t length() const { return static_cast<std::int32_t>(text.size()); }
};

// True for a file too large to practise on (more than 64 MiB); the host
// checks the size before reading the file.
bool PracticeFileTooLarge(std::uint64_t size);

// Decodes a practice file. A UTF-8 byte-order mark means UTF-8, a UTF-16 one
// (little or big end first) UTF-16; without a mark, bytes that are valid
// UTF-8 and hold some non-ASCII byte are UTF-8, anything else GBK. Then every
// line end (CR LF, CR or LF) is dropped, so lines join without a gap; a tab
// becomes one blank and other control characters are dropped. Characters
// beyond the 16-bit range, which take no single cell, and broken sequences
// become U+FFFD. More than 64 MiB gives TooLarge and no text; no character
// left gives Unreadable.
ChosenFile DecodePracticeFile(std::string_view bytes);

// The message the user sees when a chosen file gives no text, naming it.
std::wstring PracticeFileMessage(PracticeFileError error, std::wstring_view file_name);

// The caption of grid cell `cell` (1..406) for a run on `text`: its
// character there, or empty past the end of the text and outside the grid.
std::wstring CellCaption(std::wstring_view text, int cell);

}  // namespace quorlax
