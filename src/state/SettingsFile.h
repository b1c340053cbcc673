#pragma once
// The small settings files of the program folder that ini.txt has no line
// for (mseed.ini, monitor.ini): "key = value" lines; blank lines and lines
// starting with # or ; are skipped. A line that is not understood is ignored
// and said: "NAME line N ignored: why", at most five such notes, then
// "(N more)". A file larger than 64 KiB is not read at all.
#include <functional>
#include <string>

namespace q24 {

using SettingTaker = std::function<std::string(const std::string& key, const std::string& value)>;

// Hands each line of `text` to `take` with its key in lower case and both
// sides trimmed; `take` answers "" when it used the line, else why it
// ignored it. Returns the notes (empty when every line was used); `name` is
// the file's name in them, `fallback` says what holds when the text is too
// large to be read ("the default codes are used").
std::string ParseSettings(const std::string& name, const std::string& text, const std::string& fallback,
                          const SettingTaker& take);

// The same for the file at `path`; a missing file has no lines.
std::string ReadSettings(const std::string& path, const std::string& name, const std::string& fallback,
                         const SettingTaker& take);

// Blanks removed at both ends.
std::string Trimmed(std::string s);

}  // namespace q24
