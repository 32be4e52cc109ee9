#include "RunProgress.h"

#include "Numbertext.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>
#include <cmath>

void RunSpeed::Begin(double time)
{
    *this = {};
    start_ = time_ = time;
}

void RunSpeed::Observe(double wall, double time)
{
    const double wallStep = wall - wall_;
    if (wallStep <= 0.0)
        return;
    const double decay = std::exp(-wallStep / RecentTime);
    weightedSimulated_ = weightedSimulated_ * decay + (time - time_);
    weightedWall_ = weightedWall_ * decay + wallStep;
    time_ = time;
    wall_ = wall;
}

bool RunSpeed::Steady() const
{
    return std::abs(Recent() - Overall()) <= UnsteadyShare * Overall();
}

namespace {

// A wall-clock duration as "7 s", "2:05" or "1:02:05".
QString DurationText(double seconds)
{
    const auto whole = std::llround(std::min(seconds, 1e9));
    if (whole < 60)
        return QObject::tr("%1 s").arg(whole);
    const QString minutesSeconds = QString("%1:%2").arg((whole / 60) % 60).arg(whole % 60, 2, 10, QChar('0'));
    if (whole < 3600)
        return minutesSeconds;
    return QString("%1:%2").arg(whole / 3600).arg(minutesSeconds.rightJustified(5, '0'));
}

} // namespace

TRunProgress::TRunProgress(QWidget *parent)
    : QWidget(parent), bar_(new QProgressBar(this)), speed_(new QLabel(this)), left_(new QLabel(this))
{
    bar_->setObjectName("StatusProgress");
    bar_->setRange(0, Steps);
    bar_->setValue(0);
    // The bar takes what room the labels leave.
    bar_->setMinimumWidth(bar_->fontMetrics().horizontalAdvance("8.88 of 8.88–8.88 s"));
    speed_->setObjectName("StatusSpeed");
    speed_->setToolTip(tr("Recent speed: simulated seconds per second"));
    left_->setObjectName("StatusTimeLeft");
    left_->setToolTip(tr("Time left at the recent speed; \"about\" while it differs from the run's "
                         "mean speed by more than a fifth"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(bar_, 1);
    row->addWidget(speed_);
    row->addWidget(left_);
}

QString TRunProgress::TimeText(double time) const
{
    return QString::fromStdString(FormatOnGrid(time, step_));
}

void TRunProgress::ShowWorld(double time, double from, double end, double step)
{
    from_ = from;
    end_ = end;
    step_ = step;
    speed_->clear();
    left_->clear();
    ShowBar(time);
}

void TRunProgress::ShowBar(double time)
{
    const double stretch = end_ - from_;
    const double fraction = stretch > 0.0 ? std::clamp((time - from_) / stretch, 0.0, 1.0) : 0.0;
    bar_->setValue(int(std::lround(fraction * Steps)));
    if (from_ == 0.0) {
        bar_->setFormat(tr("%1 of %2 s").arg(TimeText(time), TimeText(end_)));
        bar_->setToolTip(tr("Simulated time of the run's end time"));
    } else {
        bar_->setFormat(tr("%1 of %2–%3 s").arg(TimeText(time), TimeText(from_), TimeText(end_)));
        bar_->setToolTip(tr("Simulated time of the run's extension from %1 s to %2 s")
                             .arg(TimeText(from_), TimeText(end_)));
    }
}

void TRunProgress::BeginRun(double time)
{
    measured_.Begin(time);
    ShowBar(time);
}

void TRunProgress::ShowRun(double time, double wall)
{
    measured_.Observe(wall, time);
    ShowBar(time);
    if (!measured_.Known())
        return;
    const double speed = measured_.Recent(); // simulated s per s
    // Three significant digits.
    const double digit = std::pow(10.0, std::floor(std::log10(speed)) - 2.0);
    speed_->setText(tr("%1 s/s").arg(QString::fromStdString(FormatOnGrid(speed, digit))));
    const QString left = DurationText(std::max(0.0, end_ - time) / speed);
    // At the end (read on the observation grid) nothing is left to guess.
    const bool sure = measured_.Steady() || end_ - time < 0.5 * step_ || time >= end_;
    left_->setText(sure ? tr("%1 left").arg(left) : tr("about %1 left").arg(left));
}

void TRunProgress::Clear()
{
    bar_->setValue(0);
    bar_->setFormat({});
    speed_->clear();
    left_->clear();
}
