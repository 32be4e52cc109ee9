#include "MainWindow.h"

#include "Cell.h"
#include "Chart.h"
#include "Random.h"
#include "Settingsfile.h"
#include "Sphere3d.h"
#include "ValueListEditor.h"
#include "Vertexprimitive3darray.h"
#include "Vertexprimitive3dlist.h"
#include "Window3d.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QSplitter>
#include <QTabWidget>

#include <exception>

TfmMain::TfmMain(const QString &settingsPath, MessageSink messages, QWidget *parent)
    : QMainWindow(parent),
      Cell(std::make_unique<CCell>()),
      SettingsPath(settingsPath),
      Messages(std::move(messages))
{
    setObjectName("fmMain");
    setWindowTitle("Filonex");
    resize(669, 501);

    Cell->OnObserve = [this] { OnObservation(); };
    SeedRandom();

    {
        const SettingsFile settings(SettingsPath.toStdString());
        CreateParameterTables(Store, &settings);
    }

    CreateToolBar();
    LeftSplitter = new QSplitter(Qt::Vertical);
    LeftSplitter->setObjectName("SplitterLeft");
    LeftSplitter->addWidget(CreateParameterPanel());
    LeftSplitter->addWidget(CreateInfoPanel());
    LeftSplitter->setSizes({213, 250});

    PageControl = new QTabWidget;
    PageControl->setObjectName("PageControlMain");
    PageControl->addTab(Create2DPage(), "2D");
    PageControl->addTab(Create3DPage(), "3D");
    PageControl->setCurrentIndex(1);

    MainSplitter = new QSplitter(Qt::Horizontal);
    MainSplitter->setObjectName("SplitterMain");
    MainSplitter->addWidget(LeftSplitter);
    MainSplitter->addWidget(PageControl);
    MainSplitter->setStretchFactor(1, 1);
    MainSplitter->setSizes({309, 360});
    setCentralWidget(MainSplitter);

    CreateStatusBar();
    CreateSceneObjects();
}

// The scene objects leave the scene as they are destroyed, before the view
// control (a child widget, destroyed after this) destroys its scene.
TfmMain::~TfmMain() = default;

QString TfmMain::SettingsFileBesideExecutable()
{
    const QFileInfo program(QCoreApplication::applicationFilePath());
    return program.path() + "/" + program.completeBaseName() + ".ini";
}

void TfmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!ShownOnce) {
        ShownOnce = true;
        FormShow();
    }
}

void TfmMain::closeEvent(QCloseEvent *event)
{
    try {
        SaveSettings(Store, SettingsPath.toStdString());
    } catch (const std::exception &error) {
        // The window stays open; closing again retries the save.
        Report(MessageKind::Error, QString::fromUtf8(error.what()));
        event->ignore();
        return;
    }
    if (RunInProgress()) {
        // A run cannot be left in the middle: the window closes when it returns.
        CloseAfterRun = true;
        event->ignore();
        return;
    }
    event->accept();
}

void TfmMain::Guarded(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        Report(MessageKind::Error, QString::fromUtf8(error.what()));
    }
}

void TfmMain::Report(MessageKind kind, const QString &text)
{
    if (Messages) {
        Messages(kind, text);
        return;
    }
    QApplication::beep();
    if (kind == MessageKind::Error)
        QMessageBox::critical(this, "Filonex", text);
    else
        QMessageBox::warning(this, "Filonex", text);
}
