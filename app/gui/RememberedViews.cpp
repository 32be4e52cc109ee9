#include "RememberedViews.h"

#include "Chart.h"
#include "Parameters.h"
#include "Settingsfile.h"

#include <QStringList>

#include <cmath>
#include <optional>
#include <vector>

namespace {

constexpr std::string_view Section = kWindowSection;

std::string Ident(const TChart &chart, const char *part)
{
    return chart.objectName().toStdString() + "." + part;
}

// The comma-separated parts of an entry; empty when it is missing.
QStringList Parts(const SettingsFile &settings, const std::string &ident)
{
    const QString text = QString::fromStdString(settings.ReadString(Section, ident, ""));
    return text.isEmpty() ? QStringList() : text.split(',');
}

void WriteParts(SettingsFile &settings, const std::string &ident, const QStringList &parts)
{
    settings.WriteString(Section, ident, parts.join(',').toStdString());
}

// Colours as "#rrggbb"; none when one of them cannot be read.
std::optional<std::vector<QColor>> Colors(const QStringList &parts)
{
    std::vector<QColor> colors;
    for (const QString &part : parts) {
        const QColor color = QColor::fromString(part.trimmed());
        if (!color.isValid())
            return std::nullopt;
        colors.push_back(color);
    }
    return colors;
}

// Numbers that are finite; none when one of them is not.
std::optional<std::vector<double>> Numbers(const QStringList &parts)
{
    std::vector<double> numbers;
    for (const QString &part : parts) {
        bool ok = false;
        const double number = part.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(number))
            return std::nullopt;
        numbers.push_back(number);
    }
    return numbers;
}

QString NumberText(double value)
{
    return QString::number(value, 'g', 17); // s or the axis' unit, read back exactly
}

// "auto" or "minimum,maximum".
QStringList RangeText(const TChartAxis &axis)
{
    if (axis.Automatic())
        return {"auto"};
    return {NumberText(axis.Minimum()), NumberText(axis.Maximum())};
}

void ReadRange(const QStringList &parts, TChartAxis &axis)
{
    if (parts == QStringList{"auto"}) {
        axis.SetAutomatic(true);
        return;
    }
    if (const auto range = Numbers(parts); range && range->size() == 2 && (*range)[0] < (*range)[1])
        axis.SetMinMax((*range)[0], (*range)[1]);
}

} // namespace

void WriteChartView(SettingsFile &settings, const TChart &chart)
{
    // As the "Window" page of the configuration dialog: margins, background,
    // grid and fonts.
    WriteParts(settings, Ident(chart, "WindowColors"),
               {chart.Color().name(), chart.BackColor().name(), chart.BottomAxis().GridColor().name(),
                chart.TitleFontColor().name()});
    QStringList curveColors;
    QStringList shown;
    for (int i = 0; i < chart.SeriesCount(); ++i) {
        curveColors << chart.Series(i)->Color().name();
        shown << (chart.Series(i)->Active() ? "1" : "0");
    }
    WriteParts(settings, Ident(chart, "CurveColors"), curveColors);
    WriteParts(settings, Ident(chart, "CurvesShown"), shown);
    WriteParts(settings, Ident(chart, "BottomRange"), RangeText(chart.BottomAxis()));
    WriteParts(settings, Ident(chart, "LeftRange"), RangeText(chart.LeftAxis()));
    WriteParts(settings, Ident(chart, "Logarithmic"),
               {chart.BottomAxis().Logarithmic() ? "1" : "0", chart.LeftAxis().Logarithmic() ? "1" : "0"});
}

void ReadChartView(const SettingsFile &settings, TChart &chart)
{
    if (const auto colors = Colors(Parts(settings, Ident(chart, "WindowColors")));
        colors && colors->size() == 4) {
        const QColor &fonts = (*colors)[3];
        chart.SetColor((*colors)[0]);
        chart.SetBackColor((*colors)[1]);
        for (TChartAxis *axis : {&chart.BottomAxis(), &chart.LeftAxis()}) {
            axis->SetGridColor((*colors)[2]);
            axis->SetLabelsFontColor(fonts);
        }
        chart.SetTitleFontColor(fonts);
    }
    const int curves = chart.SeriesCount();
    if (const auto colors = Colors(Parts(settings, Ident(chart, "CurveColors")));
        colors && int(colors->size()) == curves)
        for (int i = 0; i < curves; ++i)
            chart.Series(i)->SetColor((*colors)[std::size_t(i)]);
    if (const QStringList shown = Parts(settings, Ident(chart, "CurvesShown"));
        shown.size() == curves && shown.count("0") + shown.count("1") == curves)
        for (int i = 0; i < curves; ++i)
            chart.Series(i)->SetActive(shown[i] == "1");
    ReadRange(Parts(settings, Ident(chart, "BottomRange")), chart.BottomAxis());
    ReadRange(Parts(settings, Ident(chart, "LeftRange")), chart.LeftAxis());
    // Bottom, left: "1" logarithmic, "0" linear.
    if (const QStringList logarithmic = Parts(settings, Ident(chart, "Logarithmic"));
        logarithmic.size() == 2 && logarithmic.count("0") + logarithmic.count("1") == 2) {
        chart.BottomAxis().SetLogarithmic(logarithmic[0] == "1");
        chart.LeftAxis().SetLogarithmic(logarithmic[1] == "1");
    }
    chart.Repaint();
}

void WritePageShown(SettingsFile &settings, int page)
{
    settings.WriteString(Section, "Page", page == 0 ? "2D" : "3D");
}

int ReadPageShown(const SettingsFile &settings, int shown)
{
    const std::string page = settings.ReadString(Section, "Page", "");
    return page == "2D" ? 0 : page == "3D" ? 1 : shown;
}

void WriteViewMatrix(SettingsFile &settings, const TMatrix3D &view)
{
    QStringList parts;
    for (int i = 0; i < 16; ++i)
        parts << QString::number(double(view[i]), 'g', 9); // a float read back exactly
    WriteParts(settings, "View3D", parts);
}

bool ReadViewMatrix(const SettingsFile &settings, TMatrix3D &view)
{
    const auto numbers = Numbers(Parts(settings, "View3D"));
    if (!numbers || numbers->size() != 16)
        return false;
    for (int i = 0; i < 16; ++i)
        view[i] = float((*numbers)[std::size_t(i)]);
    return true;
}
