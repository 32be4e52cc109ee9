#include "Chartaxis.h"

#include "Valueformat.h"

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>

// Linear ticks at the axis's label distance, labelled with its value format.
class TChartAxis::Ticker : public QCPAxisTicker {
public:
    explicit Ticker(const TChartAxis &owner) : Owner(owner) {}

protected:
    double getTickStep(const QCPRange &range) override
    {
        LastStep = Owner.StepFor(range.lower, range.upper);
        return LastStep;
    }
    QString getTickLabel(double tick, const QLocale &, QChar, int) override
    {
        // Ticks are multiples of the step and may miss 0 by a rounding error.
        if (std::abs(tick) < LastStep * 1e-9)
            tick = 0.0;
        return Owner.LabelText(tick);
    }

private:
    const TChartAxis &Owner;
    double LastStep = 1.0;
};

// Ticks at the powers of ten, labelled with the axis's value format.
class TChartAxis::LogTicker : public QCPAxisTickerLog {
public:
    explicit LogTicker(const TChartAxis &owner) : Owner(owner) {}

protected:
    QString getTickLabel(double tick, const QLocale &, QChar, int) override { return Owner.LabelText(tick); }

private:
    const TChartAxis &Owner;
};

namespace {

// The smallest of 1, 2, 5 times a power of ten that is at least step.
double RoundStep(double step)
{
    const double magnitude = std::pow(10.0, std::floor(std::log10(step)));
    for (double mantissa : {1.0, 2.0, 5.0, 10.0})
        if (mantissa * magnitude >= step * (1.0 - 1e-9))
            return mantissa * magnitude;
    return 10.0 * magnitude;
}

} // namespace

TChartAxis::TChartAxis(QCPAxis *axis)
    : Target(axis), LinearTicks(QSharedPointer<Ticker>::create(*this)),
      LogTicks(QSharedPointer<LogTicker>::create(*this))
{
    Target->setTicker(LinearTicks);
    Target->grid()->setPen(QPen(QColor(192, 192, 192), 0, Qt::DotLine));
}

TChartAxis::~TChartAxis() = default;

QString TChartAxis::Title() const
{
    return Target->label();
}

void TChartAxis::SetTitle(const QString &title)
{
    Target->setLabel(title);
}

QColor TChartAxis::GridColor() const
{
    return Target->grid()->pen().color();
}

void TChartAxis::SetGridColor(const QColor &color)
{
    QPen pen = Target->grid()->pen();
    pen.setColor(color);
    Target->grid()->setPen(pen);
}

QColor TChartAxis::LabelsFontColor() const
{
    return Target->tickLabelColor();
}

void TChartAxis::SetLabelsFontColor(const QColor &color)
{
    Target->setTickLabelColor(color);
}

double TChartAxis::Minimum() const
{
    return Target->range().lower;
}

double TChartAxis::Maximum() const
{
    return Target->range().upper;
}

void TChartAxis::SetMinMax(double minimum, double maximum)
{
    IsAutomatic = false;
    Target->setRange(minimum, maximum);
}

bool TChartAxis::Logarithmic() const
{
    return Target->scaleType() == QCPAxis::stLogarithmic;
}

void TChartAxis::SetLogarithmic(bool logarithmic)
{
    Target->setScaleType(logarithmic ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    if (logarithmic)
        Target->setTicker(LogTicks);
    else
        Target->setTicker(LinearTicks);
}

double TChartAxis::CalcIncrement() const
{
    return StepFor(Minimum(), Maximum());
}

QString TChartAxis::LabelText(double value) const
{
    return FormatFloat(Format, value);
}

double TChartAxis::StepFor(double lower, double upper) const
{
    const double size = upper - lower;
    if (!(size > 0.0))
        return Step > 0.0 ? Step : 1.0;
    const bool horizontal = Target->orientation() == Qt::Horizontal;
    const QRect plotArea = Target->axisRect()->rect();
    const double pixels = std::max(1, horizontal ? plotArea.width() : plotArea.height());
    const QFontMetrics metrics(Target->tickLabelFont());

    // The room one label takes along the axis at a given distance.
    const auto labelExtent = [&](double step) {
        if (!horizontal)
            return double(metrics.height());
        const double first = std::ceil(lower / step) * step;
        int widest = 0;
        for (double value : {lower, upper, first, first + step, std::floor(upper / step) * step})
            widest = std::max(widest, metrics.horizontalAdvance(LabelText(value)));
        return double(widest);
    };
    const auto choose = [&](double extent) {
        const double spacing = std::max(1.0, extent * (1.0 + Separation / 100.0));
        const double labels = std::max(1.0, std::floor(pixels / spacing));
        if (Step <= 0.0)
            return RoundStep(size / labels);
        // A given increment is widened to keep labels apart; without
        // separation labels may overlap, but at most one per pixel is drawn.
        const double least = Separation > 0 ? size / labels : size / pixels;
        return Step * std::max(1.0, std::ceil(least / Step - 1e-9));
    };
    const double first = choose(labelExtent(size));
    const double second = choose(labelExtent(first));
    return std::max(first, second);
}
