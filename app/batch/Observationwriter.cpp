#include "Observationwriter.h"

#include "Numbertext.h"

ObservationWriter::ObservationWriter(const std::string &path, const ObservationColumns &columns)
    : file_(path), columns_(columns), points_(columns.Columns.size()), ended_(columns.Columns.size())
{
    std::string curves, titles;
    for (const ObservationColumn &column : columns_.Columns) {
        curves += "Curve: " + column.Chart + ": " + column.Curve + "\t\t";
        titles += std::string(kTimeTitle) + "\t" + column.Title() + "\t";
    }
    file_.Write(curves + "\r\n" + titles + "\r\n");
}

void ObservationWriter::Add(const ObservationRecord &record)
{
    const std::string time = FormatNumber(record.Time) + "\t";
    for (std::size_t i = 0; i < columns_.Columns.size(); ++i) {
        if (const std::optional<double> value = columns_.Columns[i].Read(record))
            points_[i].push_back(time + FormatNumber(*value) + "\t");
        else if (!first_)
            ended_[i] = true;
    }
    first_ = false;
    ++waitingRows_;
    WriteRows(false);
}

void ObservationWriter::Finish()
{
    WriteRows(true);
    file_.Commit();
}

void ObservationWriter::WriteRows(bool finishing)
{
    const auto ready = [this] {
        for (std::size_t i = 0; i < points_.size(); ++i)
            if (points_[i].empty() && !ended_[i])
                return false;
        return true;
    };
    for (; waitingRows_ > 0 && (finishing || ready()); --waitingRows_) {
        std::string row;
        for (std::deque<std::string> &points : points_)
            if (!points.empty()) {
                row += points.front();
                points.pop_front();
            }
        file_.Write(row + "\r\n");
    }
}
