#pragma once

#include <string>
#include <string_view>

// Replaces the file at path by text so that it holds either all of text or
// what it held before: the text goes to a temporary file beside it, which is
// flushed to disk and then renamed over it. An existing file keeps its
// permissions; a new one gets those the umask allows. Returns 0, or the errno
// of the step that failed, after removing the temporary file.
int ReplaceFileAtomically(const std::string &path, std::string_view text);
