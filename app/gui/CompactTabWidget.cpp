#include "CompactTabWidget.h"

#include <QTabBar>

#include <algorithm>
#include <vector>

namespace {

class CompactTabBar : public QTabBar {
public:
    using QTabBar::QTabBar;

    // The width tab `index` would take with `text`, uncut.
    int NaturalWidth(int index, const QString &text) const
    {
        return QTabBar::tabSizeHint(index).width() - fontMetrics().horizontalAdvance(tabText(index)) +
               fontMetrics().horizontalAdvance(text);
    }

protected:
    QSize tabSizeHint(int index) const override
    {
        QSize size = QTabBar::tabSizeHint(index);
        size.setWidth(std::min(size.width(), WidestTab()));
        return size;
    }

private:
    // The width w at which the tabs, each min(its own width, w) wide, fill
    // the tab widget exactly; unlimited when all fit whole.
    int WidestTab() const
    {
        const int available = parentWidget() ? parentWidget()->width() : width();
        std::vector<int> widths;
        for (int i = 0; i < count(); ++i)
            widths.push_back(QTabBar::tabSizeHint(i).width());
        std::sort(widths.begin(), widths.end());
        int left = available;
        for (std::size_t i = 0; i < widths.size(); ++i) {
            const int share = left / int(widths.size() - i);
            if (widths[i] > share)
                return std::max(share, 1);
            left -= widths[i];
        }
        return available;
    }
};

} // namespace

TCompactTabWidget::TCompactTabWidget(QWidget *parent) : QTabWidget(parent)
{
    auto *bar = new CompactTabBar(this);
    // Narrow margins leave more of each caption in sight.
    bar->setStyleSheet("QTabBar::tab { padding: 3px 6px; }");
    bar->setUsesScrollButtons(false);
    bar->setElideMode(Qt::ElideRight);
    bar->setExpanding(false);
    setTabBar(bar);
}

void TCompactTabWidget::tabInserted(int index)
{
    QTabWidget::tabInserted(index);
    full_.insert(index, tabText(index));
    brief_.insert(index, tabText(index));
    setTabToolTip(index, tabText(index));
}

void TCompactTabWidget::tabRemoved(int index)
{
    QTabWidget::tabRemoved(index);
    full_.removeAt(index);
    brief_.removeAt(index);
}

void TCompactTabWidget::SetCaption(int index, const QString &full, const QString &brief)
{
    full_[index] = full;
    brief_[index] = brief;
    setTabToolTip(index, full);
    ShowCaptions();
}

void TCompactTabWidget::ShowCaptions()
{
    const auto *bar = static_cast<const CompactTabBar *>(tabBar());
    int needed = 0;
    for (int i = 0; i < count(); ++i)
        needed += bar->NaturalWidth(i, full_[i]);
    const QStringList &shown = needed > width() ? brief_ : full_;
    for (int i = 0; i < count(); ++i)
        if (tabText(i) != shown[i])
            setTabText(i, shown[i]);
}

void TCompactTabWidget::resizeEvent(QResizeEvent *event)
{
    // The bar lays its tabs out again only when its own size changes, and the
    // tab widget sizes it by the tab widths of its last layout: a bar once
    // shortened would stay short. Resized first, it takes the widths that
    // suit the new width.
    ShowCaptions();
    tabBar()->resize(width(), tabBar()->height());
    QTabWidget::resizeEvent(event);
}
