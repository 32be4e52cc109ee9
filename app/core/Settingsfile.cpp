#include "Settingsfile.h"

#include "Outputfile.h"
#include "Regularfile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

SettingsWriteError::SettingsWriteError(const std::string &path)
    : std::runtime_error("Unable to write to " + path)
{
}

namespace {

// The longest value a read returns, as with a 2048-byte read buffer.
constexpr std::size_t kMaxValueLength = 2047;
constexpr std::size_t kNone = std::string::npos;
// Editors on some systems begin a UTF-8 file with this mark.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == kNone)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// The section name of a "[Name]" line, or nothing when line is no section line.
bool SectionName(std::string_view line, std::string_view &name)
{
    line = Trimmed(line);
    if (line.empty() || line.front() != '[')
        return false;
    const auto close = line.find(']');
    if (close == kNone)
        return false;
    name = Trimmed(line.substr(1, close - 1));
    return true;
}

// Splits an "Ident=Value" line; false for a line without an equals sign.
bool SplitEntry(std::string_view line, std::string_view &ident, std::string_view &value)
{
    const auto equals = line.find('=');
    if (equals == kNone)
        return false;
    ident = Trimmed(line.substr(0, equals));
    value = Trimmed(line.substr(equals + 1));
    return true;
}

// Lines ended by LF, CR LF or CR alone.
std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        lines.emplace_back(text.substr(start, end - start));
        start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    }
    return lines;
}

bool IsComment(std::string_view line)
{
    const std::string_view text = Trimmed(line);
    return !text.empty() && (text.front() == ';' || text.front() == '#');
}

std::string EntryLine(std::string_view ident, std::string_view value)
{
    return std::string(ident) + "=" + std::string(value);
}

} // namespace

std::string SettingsTextProblem(std::string_view text)
{
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF") ||
        text.find('\0') != std::string_view::npos)
        return "it is UTF-16 text or holds NUL bytes; save it as UTF-8 text";
    return {};
}

SettingsFile::SettingsFile(std::string path) : path_(std::move(path))
{
    std::string text;
    try {
        text = ReadRegularFile(path_, kLargestSettingsFile);
    } catch (const FileReadError &) {
        return;
    }
    textProblem_ = SettingsTextProblem(text);
    if (!textProblem_.empty())
        return;
    std::string_view content = text;
    if (content.starts_with(kByteOrderMark))
        content.remove_prefix(kByteOrderMark.size());
    lines_ = SplitLines(content);
}

SettingsFile::Section SettingsFile::FindSection(std::string_view section) const
{
    Section found{kNone, kNone, kNone};
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name;
        if (!SectionName(lines_[i], name))
            continue;
        if (found.header != kNone) {
            found.end = i;
            return found;
        }
        if (SameName(name, section))
            found = {i, i + 1, lines_.size()};
    }
    return found;
}

void SettingsFile::RemoveSection(std::string_view section)
{
    const Section found = FindSection(section);
    if (found.header != kNone)
        lines_.erase(lines_.begin() + std::ptrdiff_t(found.header), lines_.begin() + std::ptrdiff_t(found.end));
}

std::size_t SettingsFile::FindIdent(const Section &section, std::string_view ident) const
{
    if (section.header == kNone)
        return kNone;
    for (std::size_t i = section.first; i < section.end; ++i) {
        std::string_view name, value;
        if (SplitEntry(lines_[i], name, value) && SameName(name, ident))
            return i;
    }
    return kNone;
}

std::string SettingsFile::ReadString(std::string_view section, std::string_view ident,
                                     std::string_view defaultValue) const
{
    const std::size_t line = FindIdent(FindSection(section), ident);
    if (line == kNone)
        return std::string(defaultValue.substr(0, kMaxValueLength));
    std::string_view name, value;
    SplitEntry(lines_[line], name, value);
    return std::string(value.substr(0, kMaxValueLength));
}

bool SettingsFile::HasValue(std::string_view section, std::string_view ident) const
{
    return FindIdent(FindSection(section), ident) != kNone;
}

std::vector<SettingsFile::SectionIdents> SettingsFile::Contents() const
{
    std::vector<SectionIdents> sections;
    for (const std::string &line : lines_) {
        std::string_view name, value;
        if (SectionName(line, name))
            sections.push_back({std::string(name), {}});
        else if (!sections.empty() && !IsComment(line) && SplitEntry(line, name, value))
            sections.back().Idents.emplace_back(name);
    }
    return sections;
}

bool SettingsFile::HasText() const
{
    return std::any_of(lines_.begin(), lines_.end(),
                       [](const std::string &line) { return !Trimmed(line).empty() && !IsComment(line); });
}

std::vector<SettingsFile::IgnoredLine> SettingsFile::IgnoredLines() const
{
    std::vector<IgnoredLine> ignored;
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name, value;
        if (SectionName(lines_[i], name))
            inSection = true;
        else if (!Trimmed(lines_[i]).empty() && !IsComment(lines_[i]) &&
                 !(inSection && SplitEntry(lines_[i], name, value)))
            ignored.push_back({i + 1, lines_[i]});
    }
    return ignored;
}

void SettingsFile::WriteString(std::string_view section, std::string_view ident, std::string_view value)
{
    const Section found = FindSection(section);
    if (found.header == kNone) {
        if (!lines_.empty() && !Trimmed(lines_.back()).empty())
            lines_.emplace_back();
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(EntryLine(ident, value));
        return;
    }
    const std::size_t line = FindIdent(found, ident);
    if (line != kNone) {
        lines_[line] = EntryLine(ident, value);
        return;
    }
    // After the section's last non-blank line, so that a blank line that
    // separates it from the next section stays in place.
    std::size_t at = found.end;
    while (at > found.first && Trimmed(lines_[at - 1]).empty())
        --at;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), EntryLine(ident, value));
}

void SettingsFile::Save(Durability durability) const
{
    if (!textProblem_.empty())
        throw SettingsWriteError(path_);
    std::string text;
    for (const std::string &line : lines_)
        text += line + "\n";

    try {
        WriteOutputFile(path_, text, durability);
    } catch (const OutputError &) {
        throw SettingsWriteError(path_);
    }
}

std::string SettingsPathBeside(const std::string &executablePath)
{
    std::filesystem::path path(executablePath);
    path.replace_extension(".ini");
    return path.string();
}

std::string ExecutablePath()
{
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}
