#pragma once
// Naming of the saved captures.

#include <QString>
#include <cstdint>

namespace capture {

// The count after one more save. At the top of the type it starts again from the same last
// two digits plus one, so the numbering keeps cycling instead of overflowing.
std::int32_t nextSaveCount(std::int32_t saveCount);

// prefix exactly as typed, the last two decimal digits of saveCount, ".bmp":
// ("SAVE", 1) -> "SAVE01.bmp", ("SAVE", 100) -> "SAVE00.bmp", ("", 7) -> "07.bmp".
QString captureFileName(const QString& prefix, std::int32_t saveCount);

} // namespace capture
