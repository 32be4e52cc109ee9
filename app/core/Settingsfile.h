#pragma once

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

// The settings file: INI text of "[Section]" lines and "Ident=Value" entries,
// held in memory line by line so that everything this program does not know
// (other sections and idents, comments, blank lines) survives a save.
// Section and ident names compare without regard to case; blanks around
// names and values are not part of them.
class SettingsFile {
public:
    // Reads the file at path. A file that is missing or cannot be read
    // behaves as an empty one. A UTF-8 byte-order mark is skipped.
    explicit SettingsFile(std::string path);

    const std::string &Path() const { return path_; }

    // The value of ident in section, or defaultValue when the section or the
    // ident is missing. An ident present with an empty value gives the empty
    // text. Values are cut to their first 2047 characters.
    std::string ReadString(std::string_view section, std::string_view ident,
                           std::string_view defaultValue) const;

    // Whether the file has the ident in that section.
    bool HasValue(std::string_view section, std::string_view ident) const;

    // The sections in file order, each with the idents of its entries.
    struct SectionIdents {
        std::string Name;
        std::vector<std::string> Idents;
    };
    std::vector<SectionIdents> Contents() const;
    // Whether any line is more than blanks or a comment (";" or "#").
    bool HasText() const;

    // Replaces an existing entry in place; a missing ident is added at the end
    // of its section, a missing section at the end of the file. Only the copy
    // in memory changes until Save.
    void WriteString(std::string_view section, std::string_view ident, std::string_view value);

    // Writes the file so that it is either completely replaced or left as it
    // was: the text goes to a temporary file beside it, which is then renamed
    // over it. Raises SettingsWriteError when that fails.
    void Save() const;

private:
    // The line range [first, end) of a section's entries, or first == npos.
    struct Section {
        std::size_t header, first, end;
    };

    Section FindSection(std::string_view section) const;
    std::size_t FindIdent(const Section &section, std::string_view ident) const;

    std::string path_;
    std::vector<std::string> lines_;
};

// Where a program keeps its settings: its own path with the extension replaced
// by ".ini" (appended when the name has none).
std::string SettingsPathBeside(const std::string &executablePath);

// The full path of the running executable.
std::string ExecutablePath();
