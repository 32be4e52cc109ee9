// "Save table…" and "Save 3D picture…": the observations of the run as the
// runner's table (see Observationtable.h) and the 3D view as a PNG picture;
// and the results that `filonex --run --quit-when-done` writes as it closes.

#include "MainWindow.h"

#include "Cell.h"
#include "Exitstatus.h"
#include "Observationtable.h"
#include "WindowOptions.h"
#include "Window3d.h"
#include "Worldfile.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QSaveFile>
#include <QSpinBox>

#include <cstdio>

namespace {

// The path the user chose to save to, or an empty text after a cancel.
QString AskSavePath(QWidget *parent, const QString &title, const QString &filter, const QString &suffix)
{
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({filter, QObject::tr("All files (*)")});
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

// The size to draw the picture at, the view's own to begin with; empty after
// a cancel.
QSize AskPictureSize(QWidget *parent, QSize shown)
{
    QDialog dialog(parent);
    dialog.setObjectName("PictureSizeDialog");
    dialog.setWindowTitle(QObject::tr("Save 3D picture"));
    auto *form = new QFormLayout(&dialog);
    QSpinBox *sides[2] = {new QSpinBox, new QSpinBox};
    for (const int side : {0, 1}) {
        sides[side]->setRange(16, 8192); // px; OpenGL's smallest texture limit
        sides[side]->setSuffix(" px");
        sides[side]->setValue(side == 0 ? shown.width() : shown.height());
    }
    form->addRow(QObject::tr("Width"), sides[0]);
    form->addRow(QObject::tr("Height"), sides[1]);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return {sides[0]->value(), sides[1]->value()};
}

} // namespace

void TfmMain::SaveTableClicked()
{
    const QString path =
        AskSavePath(this, tr("Save table"), tr("Tables of tab-separated values (*.tsv)"), "tsv");
    if (!path.isEmpty())
        SaveTableTo(path);
}

void TfmMain::WriteTable(const std::string &path) const
{
    if (const std::string problem = ResultPathsProblem(path, {}, SettingsPath.toStdString());
        !problem.empty())
        throw OutputError(problem, 0);
    ObservationTableWriter table(path);
    for (const ObservationRecord &record : RunTable)
        table.Add(record);
    table.Finish();
}

bool TfmMain::SaveTableTo(const QString &path)
{
    if (RunTable.empty()) {
        Report(MessageKind::Warning, tr("There is no run to save yet: the table holds the observations of "
                                        "the run since the last \"Reset and apply\"."));
        return false;
    }
    try {
        WriteTable(path.toStdString());
    } catch (const OutputError &error) {
        Report(MessageKind::Error, QString::fromUtf8(error.what()));
        return false;
    }
    return true;
}

void TfmMain::Save3DPictureClicked()
{
    const QSize size = AskPictureSize(this, Window3D->size());
    if (size.isEmpty())
        return;
    const QString path = AskSavePath(this, tr("Save 3D picture"), tr("PNG pictures (*.png)"), "png");
    if (!path.isEmpty())
        Save3DPictureTo(path, size);
}

bool TfmMain::Save3DPictureTo(const QString &path, QSize size)
{
    // The view is drawn at the size asked for, off the layout, and put back.
    const QSize shown = Window3D->size();
    if (size.isEmpty())
        size = shown;
    Window3D->resize(size);
    const QImage picture = Window3D->GrabFramebuffer();
    Window3D->resize(shown);
    Window3D->Render();
    if (picture.isNull()) {
        Report(MessageKind::Error, tr("The 3D view cannot be drawn: OpenGL is not available."));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit()) {
        Report(MessageKind::Error, tr("Cannot save the picture to '%1': %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

void TfmMain::WriteResultsAtClosing(const QString &runError)
{
    const auto fail = [this](int status, const std::string &message) {
        std::fprintf(stderr, "filonex: %s\n", message.c_str());
        ResultStatus = MoreSeriousStatus(ResultStatus, status);
    };
    if (!runError.isEmpty())
        fail(kExitRunFailed, runError.toStdString());
    if (const auto &path = QuitResults.World) {
        if (!runError.isEmpty()) {
            fail(kExitOutputFailed, "the world is not saved to '" + *path +
                                        "': the run ended by an error, which may have left it in the "
                                        "middle of a step");
        } else {
            if (const std::string warning = IncompleteRandomStateWarning(World()); !warning.empty())
                std::fprintf(stderr, "filonex: warning: %s\n", warning.c_str());
            try {
                SaveWorld(*path, World(), AppliedParameters, TargetTime);
            } catch (const WorldFileError &error) {
                fail(kExitOutputFailed, error.what());
            }
        }
    }
    if (const auto &path = QuitResults.Table) {
        try {
            WriteTable(*path);
        } catch (const OutputError &error) {
            fail(kExitOutputFailed, error.what());
        }
    }
}
