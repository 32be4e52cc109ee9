#pragma once

#include <QTabWidget>

// A tab widget whose tabs all stay in sight however narrow it is: when their
// captions do not fit side by side, the longest are shortened first (each
// to an equal width, the short ones stay whole) instead of tabs being hidden
// behind scroll arrows. A shortened caption shows whole as the tab's hint.
class TCompactTabWidget : public QTabWidget {
    Q_OBJECT

public:
    explicit TCompactTabWidget(QWidget *parent = nullptr);

protected:
    void tabInserted(int index) override;
    void resizeEvent(QResizeEvent *event) override;
};
