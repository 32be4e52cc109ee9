#include "GuideWindow.h"

#include <QTextBrowser>
#include <QUrl>

void ShowGuide(QWidget *owner)
{
    auto *guide = owner->findChild<QTextBrowser *>("GuideWindow", Qt::FindDirectChildrenOnly);
    if (!guide) {
        guide = new QTextBrowser(owner);
        guide->setObjectName("GuideWindow");
        guide->setWindowFlag(Qt::Window);
        // The program ends with its main window, the guide open or not.
        guide->setAttribute(Qt::WA_QuitOnClose, false);
        guide->setWindowTitle(QObject::tr("Filonex guide"));
        guide->setOpenExternalLinks(true);
        // Built into the program with the pictures it shows (see CMakeLists.txt).
        guide->setSource(QUrl("qrc:/guide/guide.md"), QTextDocument::MarkdownResource);
        guide->resize(owner->width() * 2 / 3, owner->height());
    }
    guide->show();
    guide->raise();
    guide->activateWindow();
}
