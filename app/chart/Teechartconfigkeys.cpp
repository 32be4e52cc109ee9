#include "Teechartconfigdlg.h"

#include "Chart.h"
#include "Colorbox.h"
#include "Numbertext.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>

// The accessors that address the dialog's controls, pages and the chart's
// axes by text keys.

namespace {

// Shows text from its start, as a long number or title reads best.
void SetEditText(QLineEdit *edit, const QString &text)
{
    edit->setText(text);
    edit->setCursorPosition(0);
}

// On the grid of `step` where there is one, as the chart reads its points.
void SetEditNumber(QLineEdit *edit, double value, double step = 0.0)
{
    SetEditText(edit, QString::fromStdString(FormatOnGrid(value, step)));
}

double ParseEdit(const QLineEdit *edit)
{
    return ParseNumber(edit->text().toStdString());
}

[[noreturn]] void WrongKey(const QString &key, const char *what)
{
    throw EChartConfigError(QStringLiteral("Internal error of TeeChart ConfigDlg: \"%1\" is wrong %2!")
                                .arg(key, QLatin1String(what))
                                .toStdString());
}

} // namespace

void TTeeChartConfigDlg::RaiseNoChart()
{
    throw EChartConfigError("Internal error of TeeChart ConfigDlg: TeeChart pointer is NULL!");
}

TColorBox *TTeeChartConfigDlg::ColorBoxByKey(const QString &key) const
{
    if (key == "Background")
        return BackgroundBox;
    if (key == "Grid")
        return GridBox;
    if (key == "Fonts")
        return FontBox;
    if (key == "Margins")
        return MarginsBox;
    WrongKey(key, "Item");
}

void TTeeChartConfigDlg::SetColorItem(const QString &key, const QColor &color)
{
    ColorBoxByKey(key)->SetSelected(color);
}

QColor TTeeChartConfigDlg::GetColorItem(const QString &key) const
{
    return ColorBoxByKey(key)->Selected();
}

QWidget *TTeeChartConfigDlg::PageByKey(const QString &key) const
{
    if (key == "Window page")
        return WindowTab;
    if (key == "Curves page")
        return CurvesTab;
    if (key == "Axes page")
        return AxesTab;
    if (key == "Labels page")
        return LabelsTab;
    WrongKey(key, "Control");
}

void TTeeChartConfigDlg::SetPageVisible(const QString &key, bool visible)
{
    Pages->setTabVisible(Pages->indexOf(PageByKey(key)), visible);
}

bool TTeeChartConfigDlg::IsPageVisible(const QString &key) const
{
    return Pages->isTabVisible(Pages->indexOf(PageByKey(key)));
}

void TTeeChartConfigDlg::SetTitleText(const QString &key, const QString &text)
{
    if (key == "X axis")
        SetEditText(BottomAxisControls.TitleEdit, text);
    else if (key == "Y axis")
        SetEditText(LeftAxisControls.TitleEdit, text);
    else if (key != "Chart")
        WrongKey(key, "Item");
}

QString TTeeChartConfigDlg::GetTitleText(const QString &key) const
{
    if (key == "X axis")
        return BottomAxisControls.TitleEdit->text();
    if (key == "Y axis")
        return LeftAxisControls.TitleEdit->text();
    WrongKey(key, "Item");
}

void TTeeChartConfigDlg::SetTitleShown(const QString &key, bool shown)
{
    if (key == "X axis")
        BottomAxisControls.TitleCheckBox->setChecked(shown);
    else if (key == "Y axis")
        LeftAxisControls.TitleCheckBox->setChecked(shown);
    else if (key != "Chart")
        WrongKey(key, "Item");
}

bool TTeeChartConfigDlg::IsTitleShown(const QString &key) const
{
    if (key == "X axis")
        return BottomAxisControls.TitleCheckBox->isChecked();
    if (key == "Y axis")
        return LeftAxisControls.TitleCheckBox->isChecked();
    if (key == "Chart")
        return false;
    WrongKey(key, "Item");
}

QCheckBox *TTeeChartConfigDlg::AutoBoxByKey(const QString &key) const
{
    if (key == "X labels")
        return BottomLabelControls.AutoCheckBox;
    if (key == "Y labels")
        return LeftLabelControls.AutoCheckBox;
    if (key == "X axis")
        return BottomAxisControls.AutoCheckBox;
    if (key == "Y axis")
        return LeftAxisControls.AutoCheckBox;
    WrongKey(key, "Item");
}

void TTeeChartConfigDlg::SetAutoBox(const QString &key, bool checked)
{
    AutoBoxByKey(key)->setChecked(checked);
    // The edits that a box governs follow it.
    const QString axis = key.left(1);
    if (key.endsWith(QStringLiteral(" axis")))
        EnableRangeEdits(axis);
    else
        EnableIncrementEdits(axis);
}

bool TTeeChartConfigDlg::IsAutoBox(const QString &key) const
{
    return AutoBoxByKey(key)->isChecked();
}

const TTeeChartConfigDlg::AxisControls &TTeeChartConfigDlg::AxisGroup(const QString &axis) const
{
    if (axis == "X")
        return BottomAxisControls;
    if (axis == "Y")
        return LeftAxisControls;
    WrongKey(axis, "Axis");
}

const TTeeChartConfigDlg::LabelControls &TTeeChartConfigDlg::LabelGroup(const QString &axis) const
{
    if (axis == "X")
        return BottomLabelControls;
    if (axis == "Y")
        return LeftLabelControls;
    WrongKey(axis, "Axis");
}

double TTeeChartConfigDlg::AxisStep(const QString &axis) const
{
    return Chart != nullptr && axis == QStringLiteral("X") ? Chart->XStep() : 0.0;
}

void TTeeChartConfigDlg::SetMinValue(const QString &axis, double value)
{
    SetEditNumber(AxisGroup(axis).MinEdit, value, AxisStep(axis));
}

double TTeeChartConfigDlg::GetMinValue(const QString &axis) const
{
    return ParseEdit(AxisGroup(axis).MinEdit);
}

void TTeeChartConfigDlg::SetMaxValue(const QString &axis, double value)
{
    SetEditNumber(AxisGroup(axis).MaxEdit, value, AxisStep(axis));
}

double TTeeChartConfigDlg::GetMaxValue(const QString &axis) const
{
    return ParseEdit(AxisGroup(axis).MaxEdit);
}

void TTeeChartConfigDlg::SetLabelFormat(const QString &axis, const QString &format)
{
    SetEditText(LabelGroup(axis).FormatEdit, format);
}

QString TTeeChartConfigDlg::GetLabelFormat(const QString &axis) const
{
    return LabelGroup(axis).FormatEdit->text();
}

void TTeeChartConfigDlg::SetIncrement(const QString &axis, double increment)
{
    SetEditNumber(LabelGroup(axis).IncrementEdit, increment);
}

double TTeeChartConfigDlg::GetIncrement(const QString &axis) const
{
    return ParseEdit(LabelGroup(axis).IncrementEdit);
}

void TTeeChartConfigDlg::SetNoOverlapping(const QString &axis, bool checked)
{
    LabelGroup(axis).NoOverlapCheckBox->setChecked(checked);
}

bool TTeeChartConfigDlg::IsNoOverlapping(const QString &axis) const
{
    return LabelGroup(axis).NoOverlapCheckBox->isChecked();
}

void TTeeChartConfigDlg::SetLogarithmic(const QString &axis, bool checked)
{
    AxisGroup(axis).LogCheckBox->setChecked(checked);
}

bool TTeeChartConfigDlg::IsLogarithmic(const QString &axis) const
{
    return AxisGroup(axis).LogCheckBox->isChecked();
}

TChartAxis &TTeeChartConfigDlg::AxisByName(const QString &key) const
{
    if (Chart == nullptr)
        RaiseNoChart();
    if (key == "X")
        return Chart->BottomAxis();
    if (key == "Y")
        return Chart->LeftAxis();
    if (key == "X2")
        return Chart->TopAxis();
    if (key == "Y2")
        return Chart->RightAxis();
    WrongKey(key, "Axis");
}
