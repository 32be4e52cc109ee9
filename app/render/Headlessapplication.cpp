#include "Headlessapplication.h"

namespace {

QtMessageHandler qtHandler = nullptr;

void LeaveOutRuntimeFolderNote(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith("QStandardPaths: XDG_RUNTIME_DIR not set"))
        return;
    qtHandler(type, context, message);
}

// Runs before the application is made, which is when Qt reads these.
int &Prepared(int &argc)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qtHandler = qInstallMessageHandler(LeaveOutRuntimeFolderNote);
    return argc;
}

} // namespace

HeadlessApplication::HeadlessApplication(int &argc, char **argv) : Application(Prepared(argc), argv)
{
}
