#pragma once

#include <string>

// Replaces the file at path by text so that readers see either the old file
// or the whole new one, never a part: the text goes to a temporary file
// beside it, which is then renamed over it. Raises std::runtime_error,
// naming the file and the reason, when that fails.
void WriteWholeFile(const std::string &path, const std::string &text);
