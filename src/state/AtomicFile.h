#pragma once
// Replace a file only when its new content is complete: the content goes to a
// temporary file beside the target, is flushed to the disk, and then renamed
// over the target. A full disk or a crash leaves the old file as it was.
#include <string>

namespace q24 {

// Returns an empty string on success, else the reason in words
// (for example "No space left on device").
std::string WriteFileAtomically(const std::string& path, const std::string& content);

}  // namespace q24
