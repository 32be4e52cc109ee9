// "Save world…" and "Open world…" of the toolbar: the window's world written
// to a world file and read back from one (see Worldfile.h), only while no run
// is active.

#include "WorldFileActions.h"

#include "Cell.h"
#include "DisplayText.h"
#include "MainWindow.h"
#include "Observationrecord.h"
#include "ValueListEditor.h"
#include "Worldfile.h"

#include <QFileDialog>
#include <QLabel>

QFileDialog *CreateWorldFileDialog(QWidget *parent, bool save)
{
    auto *dialog = new QFileDialog(parent, save ? QObject::tr("Save world") : QObject::tr("Open world"));
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setNameFilters(
        {QObject::tr("Filonex worlds (*.%1)").arg(Text(kWorldFileExtension)), QObject::tr("All files (*)")});
    if (save)
        dialog->setDefaultSuffix(Text(kWorldFileExtension));
    return dialog;
}

namespace {

// The path the user chose, or an empty text after a cancel.
QString AskWorldFilePath(QWidget *parent, bool save)
{
    QFileDialog *dialog = CreateWorldFileDialog(parent, save);
    const bool chosen = dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty();
    const QString path = chosen ? dialog->selectedFiles().front() : QString();
    delete dialog;
    return path;
}

} // namespace

void TfmMain::SaveWorldClicked()
{
    if (const QString path = AskWorldFilePath(this, true); !path.isEmpty())
        SaveWorldTo(path);
}

void TfmMain::OpenWorldClicked()
{
    // An edit still open would land on the world's parameters afterwards.
    CommitPendingEdits();
    if (const QString path = AskWorldFilePath(this, false); !path.isEmpty())
        OpenWorldFrom(path);
}

bool TfmMain::WorldFileAllowed()
{
    if (RunInProgress()) {
        Report(MessageKind::Warning, tr("Worlds are saved and opened only while no run is active."));
        return false;
    }
    return true;
}

bool TfmMain::SaveWorldTo(const QString &path)
{
    if (!WorldFileAllowed())
        return false;
    if (!WorldApplied) {
        Report(MessageKind::Warning, tr("There is no complete world to save: correct the reported "
                                        "value and press \"Reset and apply\" first."));
        return false;
    }
    try {
        SaveWorld(path.toStdString(), World(), AppliedParameters, TargetTime);
    } catch (const WorldFileError &error) {
        Report(MessageKind::Error, QString::fromUtf8(error.what()));
        return false;
    }
    if (const std::string warning = IncompleteRandomStateWarning(World()); !warning.empty())
        Report(MessageKind::Warning, tr("The world is saved, but %1.").arg(QString::fromUtf8(warning)));
    return true;
}

bool TfmMain::OpenWorldFrom(const QString &path)
{
    if (!WorldFileAllowed())
        return false;
    WorldContext world;
    try {
        world = LoadWorld(path.toStdString(), World());
    } catch (const WorldFileError &error) {
        Report(MessageKind::Error, QString::fromUtf8(error.what()));
        return false;
    }
    // The grids show the world's parameters; a reset-and-apply rebuilds
    // from them as from any others.
    for (std::size_t t = 0; t < ParameterGrids.size() && t < world.Parameters.Tables.size(); ++t)
        for (const ParameterRow &row : world.Parameters.Tables[t].Rows)
            ParameterGrids[t]->SetValueByKey(Text(row.Key), Text(row.Value));
    AppliedParameters = Store;
    ApplyFailed = false;
    MarkNotApplied();
    TargetTime = world.TargetTime;
    WorldApplied = true;
    Simulation->ForgetBodiesFarOutside();
    StatusWarning->clear();
    StatusWarning->setToolTip({});
    RefreshAfterApply(World().GetVolume() * 1000.0); // m^3 to litres
    if (!world.RandomStateComplete)
        Report(MessageKind::Warning,
               tr("This world was saved from a run that drew from the C library's rand(), whose "
                  "state a world file cannot hold: a run from it does not repeat the saved one."));
    return true;
}
