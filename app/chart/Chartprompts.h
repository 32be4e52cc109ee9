#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>

#include <functional>

class QFileDialog;
class QWidget;

enum class TSaveKind { Bitmap, Text };

// The questions the chart tools ask the user. They default to the real
// dialogs; tests replace them with answers of their own.
struct TChartPrompts {
    // The file name to save to, empty when the user cancelled.
    std::function<QString(QWidget *parent, TSaveKind kind)> SaveFileName;
    // Shows a message box titled with the application's title.
    std::function<void(QWidget *parent, QMessageBox::Icon icon, const QString &text)> Message;
    // A solid colour chosen starting from initial; invalid when cancelled.
    std::function<QColor(QWidget *parent, const QColor &initial)> Color;
};

// The process-wide prompts used by the chart tools.
TChartPrompts &ChartPrompts();
// The real dialogs, for restoring ChartPrompts() after a test.
TChartPrompts DefaultChartPrompts();

// The save dialog used by the default SaveFileName: filter, default extension,
// overwrite confirmation, and a folder that must exist.
QFileDialog *CreateSaveDialog(QWidget *parent, TSaveKind kind);

// Beeps and shows a message through ChartPrompts().Message.
void ShowChartMessage(QWidget *parent, QMessageBox::Icon icon, const QString &text);
