#pragma once

#include <QColor>
#include <QString>

#include <QSharedPointer>

class QCPAxis;
class QCPAxisTicker;

// One axis of a chart with the properties the chart tools edit. The axis
// range is either automatic (fitted to the data whenever the chart is drawn)
// or fixed by SetMinMax.
//
// Tick labels are written with a value format in the style of FormatFloat
// ("#,##0.###" by default, see Valueformat.h). The increment is the distance
// between labels, 0 for one the axis chooses itself; labels separation is the
// least gap between neighbouring labels in percent of a label's size, 0 to
// let labels overlap.
//
// Changes show at the chart's next drawing (TChart::Repaint).
class TChartAxis {
public:
    explicit TChartAxis(QCPAxis *axis);
    ~TChartAxis();
    TChartAxis(const TChartAxis &) = delete;
    TChartAxis &operator=(const TChartAxis &) = delete;

    QString Title() const;
    void SetTitle(const QString &title);

    QColor GridColor() const;
    void SetGridColor(const QColor &color);
    QColor LabelsFontColor() const;
    void SetLabelsFontColor(const QColor &color);

    bool Automatic() const { return IsAutomatic; }
    void SetAutomatic(bool automatic) { IsAutomatic = automatic; }
    double Minimum() const;
    double Maximum() const;
    // Fixes the range (the axis is no longer automatic).
    void SetMinMax(double minimum, double maximum);

    bool Logarithmic() const;
    void SetLogarithmic(bool logarithmic);

    QString ValueFormat() const { return Format; }
    void SetValueFormat(const QString &format) { Format = format; }
    double Increment() const { return Step; }
    void SetIncrement(double increment) { Step = increment; }
    int LabelsSeparation() const { return Separation; }
    void SetLabelsSeparation(int percent) { Separation = percent; }
    // The distance between labels the axis uses for its current range, size
    // and settings.
    double CalcIncrement() const;

    // The tick label of a value, as drawn.
    QString LabelText(double value) const;

    QCPAxis *Axis() const { return Target; }

private:
    class Ticker;
    // The label distance for the range lower..upper: the increment, or a
    // round number when it is 0, widened as needed to keep the labels apart.
    double StepFor(double lower, double upper) const;

    class LogTicker;
    QCPAxis *Target;
    bool IsAutomatic = true;
    QString Format = QStringLiteral("#,##0.###");
    double Step = 0.0;
    int Separation = 10;
    QSharedPointer<Ticker> LinearTicks;
    QSharedPointer<LogTicker> LogTicks;
};
