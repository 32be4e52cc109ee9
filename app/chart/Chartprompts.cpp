#include "Chartprompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <memory>

namespace {

// Qt's save dialog, which keeps itself open while the chosen folder does not
// exist.
class TSaveDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        if (!chosen.isEmpty()) {
            const QFileInfo file(chosen.first());
            if (!file.isDir() && !file.absoluteDir().exists()) {
                ShowChartMessage(this, QMessageBox::Warning,
                                 QStringLiteral("The folder \"%1\" does not exist.")
                                     .arg(QDir::toNativeSeparators(file.absolutePath())));
                return;
            }
        }
        QFileDialog::accept();
    }
};

QString AskSaveFileName(QWidget *parent, TSaveKind kind)
{
    const std::unique_ptr<QFileDialog> dialog(CreateSaveDialog(parent, kind));
    if (dialog->exec() != QDialog::Accepted)
        return {};
    return dialog->selectedFiles().value(0);
}

void ShowMessageBox(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
    box.exec();
}

QColor AskColor(QWidget *parent, const QColor &initial)
{
    return QColorDialog::getColor(initial, parent);
}

} // namespace

TChartPrompts DefaultChartPrompts()
{
    return {AskSaveFileName, ShowMessageBox, AskColor};
}

TChartPrompts &ChartPrompts()
{
    static TChartPrompts prompts = DefaultChartPrompts();
    return prompts;
}

QFileDialog *CreateSaveDialog(QWidget *parent, TSaveKind kind)
{
    auto *dialog = new TSaveDialog(parent);
    // Qt's own dialog, so that the folder check above always runs.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog->setSizeGripEnabled(true);
    if (kind == TSaveKind::Bitmap) {
        dialog->setNameFilters({QStringLiteral("BMP files (*.bmp)"), QStringLiteral("All files (*)")});
        dialog->setDefaultSuffix(QStringLiteral("bmp"));
    } else {
        dialog->setNameFilters({QStringLiteral("Text files (*.txt)"), QStringLiteral("All files (*)")});
        dialog->setDefaultSuffix(QStringLiteral("txt"));
    }
    return dialog;
}

void ShowChartMessage(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    QApplication::beep();
    ChartPrompts().Message(parent, icon, text);
}
