// The window by keyboard: keys of the whole window, and hints that name them.

#include "KeyboardAccess.h"

#include "MainWindow.h"

#include <QShortcut>
#include <QTabWidget>

QString ActionHint(const QString &name, const QString &what, const QKeySequence &key)
{
    const QString keyText = key.toString(QKeySequence::NativeText);
    return keyText.isEmpty() ? QString("%1: %2").arg(name, what) : QString("%1 (%2): %3").arg(name, keyText, what);
}

void TfmMain::AddShortcut(const QKeySequence &key, const std::function<void()> &action)
{
    auto *shortcut = new QShortcut(key, this);
    connect(shortcut, &QShortcut::activated, this, action);
}

void TfmMain::CreatePageShortcuts()
{
    for (int page = 0; page < PageControl->count(); ++page) {
        const QKeySequence key(Qt::CTRL | Qt::Key(Qt::Key_1 + page));
        AddShortcut(key, [this, page] { PageControl->setCurrentIndex(page); });
        PageControl->setTabToolTip(page, ActionHint(PageControl->tabText(page),
                                                    page == 0 ? tr("the charts") : tr("the 3D view"), key));
    }
}
