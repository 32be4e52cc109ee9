#include "Chartexport.h"

#include "Chart.h"
#include "Charttext.h"
#include "Chartprompts.h"
#include "Outputfile.h"
#include "Teechartconfigdlg.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>


namespace {

std::string Utf8(const QString &text)
{
    return text.toUtf8().toStdString();
}

// The chart as the text writer sees it.
ChartModel TextModel(TChart &chart)
{
    ChartModel model;
    model.AxisTitles = {Utf8(chart.BottomAxis().Title()), Utf8(chart.TopAxis().Title()),
                        Utf8(chart.LeftAxis().Title()), Utf8(chart.RightAxis().Title())};
    for (int i = 0; i < chart.SeriesCount(); ++i) {
        const TChartSeries &series = *chart.Series(i);
        ChartCurve curve{Utf8(series.Title()), series.Active(), {}};
        curve.Points.reserve(series.Count());
        for (int j = 0; j < series.Count(); ++j)
            curve.Points.push_back({series.XValue(j), series.YValue(j)});
        model.Curves.push_back(std::move(curve));
    }
    return model;
}

} // namespace

void ShowChartConfig(TChart *chart)
{
    if (chart != nullptr)
        TTeeChartConfigDlg::ShowChartConfig(chart, {0, 1, 2, 3});
}

void ExportChartBitmap(TChart *chart)
{
    if (chart == nullptr)
        return;
    const QString fileName = ChartPrompts().SaveFileName(chart, TSaveKind::Bitmap);
    if (fileName.isEmpty())
        return;
    // Encoded in memory first, so that the file is written whole or not at all.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    QString error;
    if (!writer.write(chart->Picture()))
        error = writer.errorString();
    else
        try {
            WriteOutputFile(QFile::encodeName(fileName).toStdString(),
                            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        } catch (const OutputError &e) {
            error = QString::fromStdString(e.Reason());
        }
    if (!error.isEmpty())
        ShowChartMessage(
            chart, QMessageBox::Critical,
            QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(fileName), error));
}

void ExportChartText(TChart *chart)
{
    if (chart == nullptr)
        return;
    if (chart->SeriesCount() == 0) {
        ShowChartMessage(chart, QMessageBox::Warning,
                         QString::fromUtf8(ChartTextMessage(ChartTextOutcome::NothingToExport)));
        return;
    }
    const QString fileName = ChartPrompts().SaveFileName(chart, TSaveKind::Text);
    if (fileName.isEmpty())
        return;
    const ChartTextOutcome outcome =
        WriteChartText(TextModel(*chart), QFile::encodeName(fileName).toStdString());
    if (outcome != ChartTextOutcome::Written)
        ShowChartMessage(chart, QMessageBox::Critical, QString::fromUtf8(ChartTextMessage(outcome)));
}
