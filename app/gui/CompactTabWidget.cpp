#include "CompactTabWidget.h"

#include <QTabBar>

#include <algorithm>
#include <vector>

namespace {

class CompactTabBar : public QTabBar {
public:
    using QTabBar::QTabBar;

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
    setTabToolTip(index, tabText(index));
}

void TCompactTabWidget::resizeEvent(QResizeEvent *event)
{
    // The bar lays its tabs out again only when its own size changes, and the
    // tab widget sizes it by the tab widths of its last layout: a bar once
    // shortened would stay short. Resized first, it takes the widths that
    // suit the new width.
    tabBar()->resize(width(), tabBar()->height());
    QTabWidget::resizeEvent(event);
}
