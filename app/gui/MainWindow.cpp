#include "MainWindow.h"

#include "Recording.h"
#include "Chart.h"
#include "CompactTabWidget.h"
#include "DisplayText.h"
#include "Exitstatus.h"
#include "Random.h"
#include "RememberedViews.h"
#include "Scene3d.h"
#include "Settingsfile.h"
#include "Stopsignals.h"
#include "ValueListEditor.h"
#include "Window3d.h"
#include "WindowLayout.h"
#include "Worldscene.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>

#include <cstdio>
#include <exception>

TfmMain::TfmMain(const QString &settingsPath, MessageSink messages, QWidget *parent)
    : QMainWindow(parent), Simulation(std::make_unique<RunSession>()), SettingsPath(settingsPath),
      Messages(std::move(messages)),
      AskAfterFailedSave([this](const QString &error) { return AskWithMessageBox(error); })
{
    setObjectName("fmMain");
    setWindowTitle("Filonex");

    World().Random.SeedFromClock();

    const SettingsFile settings(SettingsPath.toStdString());
    CreateParameterTables(Store, &settings);
    CreateReadoutTables();

    CreateToolBar();
    LeftSplitter = new QSplitter(Qt::Vertical);
    LeftSplitter->setObjectName("SplitterLeft");
    LeftSplitter->addWidget(CreateParameterPanel());
    LeftSplitter->addWidget(CreateInfoPanel());

    PageControl = new QTabWidget;
    PageControl->setObjectName("PageControlMain");
    PageControl->addTab(Create2DPage(), "2D");
    PageControl->addTab(Create3DPage(), "3D");
    PageControl->setCurrentIndex(1);
    CreatePageShortcuts();

    MainSplitter = new QSplitter(Qt::Horizontal);
    MainSplitter->setObjectName("SplitterMain");
    MainSplitter->addWidget(LeftSplitter);
    MainSplitter->addWidget(PageControl);
    // The left pane takes a third of a wider window, so that its tabs'
    // captions come out whole on a large screen.
    MainSplitter->setStretchFactor(0, 1);
    MainSplitter->setStretchFactor(1, 2);
    setCentralWidget(MainSplitter);

    for (TCompactTabWidget *tabs : {ParameterTabs, InfoTabs, ChartTabs})
        for (int tab = 0; tab < tabs->count(); ++tab)
            tabs->SetCaption(tab, tabs->tabText(tab), BriefCaption(tabs->tabText(tab)));
    CreateStatusBar();
    CreateSceneObjects();
    RestoreLayout(settings);

    Recording = std::make_unique<RunRecording>(*Simulation);
    AskMoviePath = [this] { return RunRecording::AskPath(this); };
    connect(Recording.get(), &RunRecording::Failed, this,
            [this](const QString &message) { Report(MessageKind::Error, message); });
    connect(Simulation.get(), &RunSession::Observed, this, &TfmMain::ShowObservations);
    connect(Simulation.get(), &RunSession::BodyFarOutside, this, &TfmMain::ShowFarOutsideWarning);
    connect(Simulation.get(), &RunSession::Finished, this, &TfmMain::OnRunFinished);
    connect(PageControl, &QTabWidget::currentChanged, this, [this] { UpdateRecordingWishes(); });
    for (QToolButton *toggle : {ChartsDuringRunButton, SceneDuringRunButton})
        connect(toggle, &QToolButton::toggled, this, [this] { UpdateRecordingWishes(); });
}

// The session stops a run still going and waits for it, before the
// recording it observes goes. The scene objects
// leave the scene as they are destroyed, before the view control (a child
// widget, destroyed after this) destroys its scene.
TfmMain::~TfmMain() = default;

QString TfmMain::SettingsFileBesideExecutable()
{
    const QFileInfo program(QCoreApplication::applicationFilePath());
    return program.path() + "/" + program.completeBaseName() + ".ini";
}

void TfmMain::RestoreLayout(const SettingsFile &settings)
{
    const WindowLayout layout = ReadWindowLayout(settings);
    resize(layout.Width, layout.Height);
    MainSplitter->setSizes(layout.MainSplitter);
    LeftSplitter->setSizes(layout.LeftSplitter);
    for (TChart *chart : Charts())
        ReadChartView(settings, *chart);
    PageControl->setCurrentIndex(ReadPageShown(settings, PageControl->currentIndex()));
    if (ReadViewMatrix(settings, Scene().ViewMatrix))
        Scene().UpdateMatrix();
}

void TfmMain::SaveSettingsFile() const
{
    SettingsFile settings(SettingsPath.toStdString());
    for (const ParameterTable &table : Store.Tables)
        SaveParameterTable(table, settings);
    WriteWindowLayout(settings, {width(), height(), MainSplitter->sizes(), LeftSplitter->sizes()});
    for (const TChart *chart : Charts())
        WriteChartView(settings, *chart);
    WritePageShown(settings, PageControl->currentIndex());
    WriteViewMatrix(settings, Window3D->GetScene3D()->ViewMatrix);
    // Written as the window closes, which must not wait for a disk that other
    // programs keep busy: the settings are whole or as they were for every
    // later start, but a power cut at once may lose them.
    settings.Save(Durability::ProcessEnd);
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
    CommitPendingEdits();
    if (RunInProgress()) {
        const bool stop = CloseAfterRun || ClosingOnSignal || AskStopAndClose();
        // The run may have returned while the question was open.
        if (RunInProgress() || !stop) {
            if (stop) {
                // The window closes when the stopped run has returned.
                CloseAfterRun = true;
                Simulation->Stop();
            }
            event->ignore();
            return;
        }
    }
    if (!SaveSettingsAtClosing()) {
        event->ignore();
        return;
    }
    event->accept();
}

bool TfmMain::SaveSettingsAtClosing()
{
    while (!SavingDeclined) {
        try {
            SaveSettingsFile();
            return true;
        } catch (const std::exception &error) {
            if (ClosingOnSignal) {
                std::fprintf(stderr, "filonex: %s\nThe parameters and the window layout were not saved.\n",
                             error.what());
                return true;
            }
            const SaveFailureChoice choice = AskAfterFailedSave(QString::fromUtf8(error.what()));
            if (choice == SaveFailureChoice::Cancel)
                return false;
            SavingDeclined = choice == SaveFailureChoice::CloseWithoutSaving;
        }
    }
    return true;
}

void TfmMain::CloseOnSignal(int signal)
{
    ClosingOnSignal = true;
    if (RunInProgress() && !Simulation->Returning()) {
        std::fprintf(stderr, "filonex: stopped by %s\n", StopSignalName(signal));
        ResultStatus = MoreSeriousStatus(ResultStatus, StoppedStatus(signal));
    }
    // A question open now would hold the close until answered.
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *dialog = qobject_cast<QDialog *>(widget); dialog && dialog->isVisible())
            dialog->reject();
    close();
}

void TfmMain::WaitForResults()
{
    Recording->WaitUntilClosed();
}

bool TfmMain::AskStopAndClose()
{
    QMessageBox box(QMessageBox::Question, "Filonex", tr("A run is in progress."), QMessageBox::NoButton,
                    this);
    box.setObjectName("RunInProgressQuestion");
    QPushButton *stop = box.addButton(tr("Stop and close"), QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(stop);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == stop;
}

TfmMain::SaveFailureChoice TfmMain::AskWithMessageBox(const QString &error)
{
    QMessageBox box(QMessageBox::Warning, "Filonex",
                    error + "\n\n" + tr("The parameters and the window layout were not saved."),
                    QMessageBox::NoButton, this);
    QPushButton *retry = box.addButton(tr("Retry"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(tr("Close without saving"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(retry);
    box.setEscapeButton(cancel);
    QApplication::beep();
    box.exec();
    if (box.clickedButton() == retry)
        return SaveFailureChoice::Retry;
    return box.clickedButton() == discard ? SaveFailureChoice::CloseWithoutSaving : SaveFailureChoice::Cancel;
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
