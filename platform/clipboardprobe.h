#pragma once
// Whether the program that owns the clipboard answers requests. Qt waits seconds for an owner
// that has stopped answering; asking first keeps a hung owner from freezing our window.

namespace platform::detail {

// True when the owner answered within timeoutMs, when nobody owns the clipboard, or when the
// display has no such wait (the question is then left to the clipboard read itself).
bool clipboardOwnerAnswers(int timeoutMs);

} // namespace platform::detail
