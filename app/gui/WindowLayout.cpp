#include "WindowLayout.h"

#include "Parameters.h"
#include "Settingsfile.h"

#include <QString>
#include <QStringList>

namespace {

constexpr std::string_view Section = kWindowSection;
// Smaller than this the window would be of no use; such a value is taken as
// damaged.
constexpr int MinimumSide = 100; // px

// Whole numbers separated by commas, each at least `minimum`; an empty list
// when the text is anything else.
QList<int> NumberList(const std::string &text, int minimum)
{
    QList<int> numbers;
    for (const QString &part : QString::fromStdString(text).split(',')) {
        bool ok = false;
        const int number = part.trimmed().toInt(&ok);
        if (!ok || number < minimum)
            return {};
        numbers << number;
    }
    return numbers;
}

void ReadList(const SettingsFile &settings, const char *ident, QList<int> &list)
{
    const QList<int> read = NumberList(settings.ReadString(Section, ident, ""), 0);
    if (read.size() == list.size())
        list = read;
}

void ReadSide(const SettingsFile &settings, const char *ident, int &side)
{
    const QList<int> read = NumberList(settings.ReadString(Section, ident, ""), MinimumSide);
    if (read.size() == 1)
        side = read.front();
}

std::string ListText(const QList<int> &list)
{
    QStringList parts;
    for (int number : list)
        parts << QString::number(number);
    return parts.join(',').toStdString();
}

} // namespace

WindowLayout ReadWindowLayout(const SettingsFile &settings)
{
    WindowLayout layout;
    ReadSide(settings, "Width", layout.Width);
    ReadSide(settings, "Height", layout.Height);
    ReadList(settings, "SplitterMain", layout.MainSplitter);
    ReadList(settings, "SplitterLeft", layout.LeftSplitter);
    return layout;
}

void WriteWindowLayout(SettingsFile &settings, const WindowLayout &layout)
{
    settings.WriteString(Section, "Width", std::to_string(layout.Width));
    settings.WriteString(Section, "Height", std::to_string(layout.Height));
    settings.WriteString(Section, "SplitterMain", ListText(layout.MainSplitter));
    settings.WriteString(Section, "SplitterLeft", ListText(layout.LeftSplitter));
}
