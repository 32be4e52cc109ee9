#include "Colorbox.h"

#include "Chartprompts.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>

#include <utility>

namespace {

QIcon Swatch(const QColor &color)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

} // namespace

TColorBox::TColorBox(QWidget *parent) : QComboBox(parent)
{
    const std::pair<const char *, QColor> standard[] = {
        {"Black", QColor(0, 0, 0)},       {"Maroon", QColor(128, 0, 0)},    {"Green", QColor(0, 128, 0)},
        {"Olive", QColor(128, 128, 0)},   {"Navy", QColor(0, 0, 128)},      {"Purple", QColor(128, 0, 128)},
        {"Teal", QColor(0, 128, 128)},    {"Gray", QColor(128, 128, 128)},  {"Silver", QColor(192, 192, 192)},
        {"Red", QColor(255, 0, 0)},       {"Lime", QColor(0, 255, 0)},      {"Yellow", QColor(255, 255, 0)},
        {"Blue", QColor(0, 0, 255)},      {"Fuchsia", QColor(255, 0, 255)}, {"Aqua", QColor(0, 255, 255)},
        {"White", QColor(255, 255, 255)},
    };
    const QPalette system = QApplication::palette();
    const std::pair<const char *, QPalette::ColorRole> systemColors[] = {
        {"Button Face", QPalette::Button},
        {"Button Text", QPalette::ButtonText},
        {"Button Highlight", QPalette::Light},
        {"Button Shadow", QPalette::Dark},
        {"Window", QPalette::Base},
        {"Window Text", QPalette::Text},
        {"Window Background", QPalette::Window},
        {"Highlight", QPalette::Highlight},
        {"Highlight Text", QPalette::HighlightedText},
        {"Info Background", QPalette::ToolTipBase},
    };
    for (const auto &[name, color] : standard)
        AddColor(QString::fromLatin1(name), color, count());
    for (const auto &[name, role] : systemColors)
        AddColor(QString::fromLatin1(name), system.color(QPalette::Active, role), count());
    addItem(QStringLiteral("Custom..."));
    SetSelected(Qt::black);
    connect(this, &QComboBox::activated, this, &TColorBox::ItemActivated);
}

void TColorBox::AddColor(const QString &name, const QColor &color, int at)
{
    insertItem(at, Swatch(color), name, color);
}

QColor TColorBox::Selected() const
{
    return Current;
}

void TColorBox::SetSelected(const QColor &color)
{
    Current = color.toRgb();
    for (int i = 0; i < CustomIndex(); ++i) {
        if (itemData(i).value<QColor>().rgb() == Current.rgb()) {
            setCurrentIndex(i);
            return;
        }
    }
    AddColor(Current.name().toUpper(), Current, CustomIndex());
    setCurrentIndex(CustomIndex() - 1);
}

void TColorBox::ItemActivated(int index)
{
    if (index != CustomIndex()) {
        Current = itemData(index).value<QColor>();
        return;
    }
    const QColor chosen = ChartPrompts().Color(this, Current);
    SetSelected(chosen.isValid() ? chosen : Current);
}
