#pragma once

#include <QStringList>
#include <QTabWidget>

// A tab widget whose tabs all stay in sight however narrow it is: when their
// captions do not fit side by side, every tab shows its brief caption where
// it has one (SetCaption), and if they still do not fit the longest are
// shortened first (each to an equal width, the short ones stay whole)
// instead of tabs being hidden behind scroll arrows. A caption not shown
// whole shows whole as the tab's hint.
class TCompactTabWidget : public QTabWidget {
    Q_OBJECT

public:
    explicit TCompactTabWidget(QWidget *parent = nullptr);

    // The caption of tab `index`, and the brief one it shows when the full
    // captions of all tabs do not fit side by side.
    void SetCaption(int index, const QString &full, const QString &brief);

protected:
    void tabInserted(int index) override;
    void tabRemoved(int index) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Full or brief captions, whichever the width allows.
    void ShowCaptions();

    QStringList full_;
    QStringList brief_;
};
