#pragma once

#include <QColor>
#include <QDialog>
#include <QString>

#include <initializer_list>
#include <stdexcept>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class QTabWidget;
class QTableWidget;
class TChart;
class TChartAxis;
class TColorBox;

// Raised for a key the configuration dialog's accessors do not know; the
// message starts with "Internal error of TeeChart ConfigDlg: ".
class EChartConfigError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The modal dialog that edits one chart: its colours (Window page), which
// curves are shown and in what colour (Curves page), the ranges and titles of
// the left and bottom axes (Axes page) and their label spacing and format
// (Labels page). It reads the chart when it opens and writes it back on OK.
//
// Loading and applying address controls, pages and axes by text keys:
// colours "Background", "Grid", "Fonts", "Margins"; pages "Window page",
// "Curves page", "Axes page", "Labels page"; titles "X axis", "Y axis" (and
// "Chart", which has none); automatic boxes "X labels", "Y labels",
// "X axis", "Y axis"; axes "X", "Y" (and "X2", "Y2" for AxisByName).
class TTeeChartConfigDlg : public QDialog {
    Q_OBJECT

public:
    explicit TTeeChartConfigDlg(QWidget *parent = nullptr);
    ~TTeeChartConfigDlg() override;

    // Creates the dialog for chart with the pages whose indices are listed
    // (0 Window, 1 Curves, 2 Axes, 3 Labels), loads it, shows it modally and
    // destroys it.
    static void ShowChartConfig(TChart *chart, std::initializer_list<int> pages);

    TChart *Chart = nullptr; // the chart being edited, not owned

    // Reads the chart into the visible pages; raises EChartConfigError
    // without a chart.
    void LoadFromChart();
    // Writes the visible pages into the chart, repaints it and closes the
    // dialog with OK. A number text that does not convert raises
    // ConversionError; what was applied before it stays applied.
    void OKBtnClick();
    void DefaultColorsBtnClick();
    void YAutoCheckBoxClick();
    void XAutoCheckBoxClick();
    void YAutoLabelsCheckBoxClick();
    void XAutoLabelsCheckBoxClick();

    void SetColorItem(const QString &key, const QColor &color);
    QColor GetColorItem(const QString &key) const;
    void SetPageVisible(const QString &key, bool visible);
    bool IsPageVisible(const QString &key) const;
    void SetTitleText(const QString &key, const QString &text);
    QString GetTitleText(const QString &key) const;
    void SetTitleShown(const QString &key, bool shown);
    bool IsTitleShown(const QString &key) const;
    void SetAutoBox(const QString &key, bool checked);
    bool IsAutoBox(const QString &key) const;
    void SetMinValue(const QString &axis, double value);
    double GetMinValue(const QString &axis) const;
    void SetMaxValue(const QString &axis, double value);
    double GetMaxValue(const QString &axis) const;
    // The grid the chart reads the axis' values on (0: none).
    double AxisStep(const QString &axis) const;
    void SetLabelFormat(const QString &axis, const QString &format);
    QString GetLabelFormat(const QString &axis) const;
    void SetIncrement(const QString &axis, double increment);
    double GetIncrement(const QString &axis) const;
    void SetNoOverlapping(const QString &axis, bool checked);
    bool IsNoOverlapping(const QString &axis) const;
    void SetLogarithmic(const QString &axis, bool checked);
    bool IsLogarithmic(const QString &axis) const;
    TChartAxis &AxisByName(const QString &key) const;

    // Paints the icons and colour swatches of one cell of the curves grid.
    void CurvesGridDrawCell(QPainter &painter, const QRect &cell, int row, int column) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The controls of one axis on the Axes page and on the Labels page.
    struct AxisControls {
        QGroupBox *Group;
        QCheckBox *TitleCheckBox;
        QLineEdit *TitleEdit;
        QCheckBox *AutoCheckBox;
        QLabel *MinLabel;
        QLineEdit *MinEdit;
        QLabel *MaxLabel;
        QLineEdit *MaxEdit;
        QCheckBox *LogCheckBox;
    };
    struct LabelControls {
        QGroupBox *Group;
        QCheckBox *AutoCheckBox;
        QLabel *IncrementLabel;
        QLineEdit *IncrementEdit;
        QCheckBox *NoOverlapCheckBox;
        QLineEdit *FormatEdit;
    };

    QWidget *CreateWindowPage();
    QWidget *CreateCurvesPage();
    QWidget *CreateAxesPage();
    QWidget *CreateLabelsPage();
    AxisControls CreateAxisGroup(const QString &prefix, const QString &caption);
    LabelControls CreateLabelGroup(const QString &prefix, const QString &caption);

    void LoadWindowPage();
    void LoadCurvesPage();
    void LoadAxesPage();
    void LoadLabelsPage();
    void ApplyWindowPage();
    void ApplyCurvesPage();
    void ApplyAxesPage();
    void ApplyLabelsPage();
    void ShowNoCurves();
    void LoadAxisTitle(const QString &key, const QString &axis, const QString &opposite);
    void ApplyAxisTitle(const QString &key, const QString &axis, const QString &opposite);
    void ApplyAxisRange(const QString &axis);

    // The "Automatic range" and label "Automatic" boxes: the enabled state
    // that follows a box, and what a click on it shows.
    void EnableRangeEdits(const QString &axis);
    void EnableIncrementEdits(const QString &axis);
    void AutoRangeClicked(const QString &axis);
    void AutoLabelsClicked(const QString &axis);

    void CurvesGridMouseDown(const QPoint &position);
    void CurvesGridMouseUp(const QPoint &position);
    void OKClicked();

    [[noreturn]] static void RaiseNoChart();
    QWidget *PageByKey(const QString &key) const;
    TColorBox *ColorBoxByKey(const QString &key) const;
    const AxisControls &AxisGroup(const QString &axis) const;
    const LabelControls &LabelGroup(const QString &axis) const;
    QCheckBox *AutoBoxByKey(const QString &key) const;

    QTabWidget *Pages;
    QWidget *WindowTab;
    QWidget *CurvesTab;
    QWidget *AxesTab;
    QWidget *LabelsTab;
    TColorBox *BackgroundBox;
    TColorBox *GridBox;
    TColorBox *FontBox;
    TColorBox *MarginsBox;
    QPushButton *DefaultColorsBtn;
    QTableWidget *CurvesGrid;
    AxisControls LeftAxisControls;
    AxisControls BottomAxisControls;
    LabelControls LeftLabelControls;
    LabelControls BottomLabelControls;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
    int PressedRow = -1; // the grid cell under the last press
    int PressedColumn = -1;
};
