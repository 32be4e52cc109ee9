#include "Recording.h"

#include "Cell.h"
#include "Commandline.h"
#include "Movierecorder.h"
#include "Outputfile.h"
#include "RunSession.h"

#include <QFileDialog>

RunRecording::RunRecording(RunSession &session, QObject *parent) : QObject(parent)
{
    session.SetObservationHook([this](const CCell &cell) {
        if (Movie)
            Movie->Observe(cell);
    });
}

RunRecording::~RunRecording()
{
    WaitUntilClosed();
}

void RunRecording::WaitUntilClosed()
{
    if (Closing.joinable())
        Closing.join();
}

QString RunRecording::RunStarting(const CCell &cell, const TMatrix3D &view)
{
    MovieOptions options;
    options.Path = ArmedPath.toStdString();
    const QString path = ArmedPath;
    Disarm();
    // One movie closes at a time.
    if (Closing.joinable())
        Closing.join();
    try {
        Movie = std::make_unique<MovieRecorder>(options, view, cell);
        Movie->Observe(cell);
    } catch (const std::exception &e) {
        Movie.reset();
        return QString::fromUtf8(e.what());
    }
    MoviePath = path;
    return {};
}

void RunRecording::RunEnded(const CCell &cell, bool stopped)
{
    if (!Movie)
        return;
    Movie->TakeEnd(cell, stopped);
    Closing = std::thread([this, movie = std::shared_ptr<MovieRecorder>(std::move(Movie)), path = MoviePath] {
        try {
            movie->Close();
            QMetaObject::invokeMethod(
                this, [this, path] { emit Written(path); }, Qt::QueuedConnection);
        } catch (const std::exception &e) {
            const QString message = QString::fromUtf8(e.what());
            QMetaObject::invokeMethod(
                this, [this, message] { emit Failed(message); }, Qt::QueuedConnection);
        }
    });
}

QString RunRecording::AskPath(QWidget *parent)
{
    return QFileDialog::getSaveFileName(
        parent, tr("Record the next run"), QString(),
        tr("MP4 movie (*.mp4);;Animated GIF (*.gif);;Folder of PNG pictures (*)"));
}
