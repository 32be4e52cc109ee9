#pragma once

#include "Outputfile.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Raised when the settings file cannot be written; the message is
// "Unable to write to <path>".
class SettingsWriteError : public std::runtime_error {
public:
    explicit SettingsWriteError(const std::string &path);
};

// Far above any settings file; a larger file is no settings file.
inline constexpr std::uint64_t kLargestSettingsFile = std::uint64_t(64) << 20;

// Why text cannot be read as a settings file, or an empty text: UTF-16 text
// (a UTF-16 byte-order mark or NUL bytes), which would read as nothing.
std::string SettingsTextProblem(std::string_view text);

// The settings file: INI text of "[Section]" lines and "Ident=Value" entries,
// held in memory line by line so that everything this program does not know
// (other sections and idents, comments, blank lines) survives a save.
// Section and ident names compare without regard to case; blanks around
// names and values are not part of them.
class SettingsFile {
public:
    // Reads the file at path. A file that is missing or cannot be read, or
    // whose text has a SettingsTextProblem, behaves as an empty one. A UTF-8
    // byte-order mark is skipped; lines end with LF, CR LF or CR alone.
    explicit SettingsFile(std::string path);

    const std::string &Path() const { return path_; }
    // The SettingsTextProblem of the file's text.
    const std::string &TextProblem() const { return textProblem_; }

    // The value of ident in section, or defaultValue when the section or the
    // ident is missing. An ident present with an empty value gives the empty
    // text. Values are cut to their first 2047 characters.
    std::string ReadString(std::string_view section, std::string_view ident,
                           std::string_view defaultValue) const;

    // Whether the file has the ident in that section.
    bool HasValue(std::string_view section, std::string_view ident) const;

    // The sections in file order, each with the idents of its entries (a
    // comment is no entry).
    struct SectionIdents {
        std::string Name;
        std::vector<std::string> Idents;
    };
    std::vector<SectionIdents> Contents() const;
    // Whether any line is more than blanks or a comment (";" or "#").
    bool HasText() const;

    // A line that no read uses: neither blank, a comment, a "[Section]" line
    // nor an "Ident=Value" entry after one. Numbered from 1.
    struct IgnoredLine {
        std::size_t Number;
        std::string Text;
    };
    std::vector<IgnoredLine> IgnoredLines() const;

    // Replaces an existing entry in place; a missing ident is added at the end
    // of its section, a missing section at the end of the file. Only the copy
    // in memory changes until Save.
    void WriteString(std::string_view section, std::string_view ident, std::string_view value);
    // Removes the first section of that name, its header and entries, from
    // the copy in memory.
    void RemoveSection(std::string_view section);

    // Writes the file so that it is either completely replaced or left as it
    // was: the text goes to a temporary file beside it, which is then renamed
    // over it. Raises SettingsWriteError when that fails, and for a file
    // with a TextProblem, whose text would be lost. ProcessEnd leaves out
    // the flushes to the disk (see Durability).
    void Save(Durability durability = Durability::PowerCut) const;

private:
    // The line range [first, end) of a section's entries, or first == npos.
    struct Section {
        std::size_t header, first, end;
    };

    Section FindSection(std::string_view section) const;
    std::size_t FindIdent(const Section &section, std::string_view ident) const;

    std::string path_;
    std::string textProblem_;
    std::vector<std::string> lines_;
};

// Where a program keeps its settings: its own path with the extension replaced
// by ".ini" (appended when the name has none).
std::string SettingsPathBeside(const std::string &executablePath);

// The full path of the running executable.
std::string ExecutablePath();
