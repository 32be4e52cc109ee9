#include "ParameterTableModel.h"

#include "DisplayText.h"

#include <QPalette>
#include <QFont>

namespace {

// Texts that mean the same value: equal but for blanks, or the same number
// ("12" and "12.0").
bool SameValue(const std::string &a, const std::string &b)
{
    const QString first = Text(a).trimmed();
    const QString second = Text(b).trimmed();
    if (first == second)
        return true;
    bool firstIsNumber = false;
    bool secondIsNumber = false;
    const double x = first.toDouble(&firstIsNumber);
    const double y = second.toDouble(&secondIsNumber);
    return firstIsNumber && secondIsNumber && x == y;
}

} // namespace

TParameterTableModel::TParameterTableModel(ParameterTable &table, const QString &nameTitle,
                                           const QString &valueTitle, QObject *parent)
    : QAbstractTableModel(parent), table_(table), titles_{nameTitle, valueTitle}
{
}

int TParameterTableModel::RowOfKey(const QString &key) const
{
    const std::string wanted = key.toStdString();
    for (std::size_t row = 0; row < table_.Rows.size(); ++row)
        if (table_.Rows[row].Key == wanted)
            return int(row);
    return -1;
}

void TParameterTableModel::SetValue(int row, const QString &value)
{
    std::string &stored = table_.Rows.at(std::size_t(row)).Value;
    std::string text = value.toStdString();
    if (stored == text)
        return;
    stored = std::move(text);
    RowChanged(row);
}

void TParameterTableModel::RowChanged(int row)
{
    // The caption too: it is bold while the value is not applied.
    emit dataChanged(index(row, NameColumn), index(row, ValueColumn));
}

void TParameterTableModel::SetAppliedValues(const ParameterTable *applied)
{
    applied_.assign(table_.Rows.size(), std::nullopt);
    for (std::size_t row = 0; applied && row < table_.Rows.size(); ++row)
        if (const ParameterRow *found = applied->Find(table_.Rows[row].Key))
            applied_[row] = found->Value;
    if (rowCount() > 0)
        emit dataChanged(index(0, NameColumn), index(rowCount() - 1, ValueColumn));
}

bool TParameterTableModel::NotApplied(int row) const
{
    const std::size_t at = std::size_t(row);
    return at < applied_.size() && applied_[at] && !SameValue(table_.Rows[at].Value, *applied_[at]);
}

void TParameterTableModel::SetValueByKey(const QString &key, const QString &value)
{
    const int row = RowOfKey(key);
    if (row >= 0) {
        SetValue(row, value);
        return;
    }
    const int at = rowCount();
    beginInsertRows({}, at, at);
    table_.Rows.push_back({key.toStdString(), {}, value.toStdString(), {}, false});
    endInsertRows();
}

void TParameterTableModel::SetUnusedRows(std::function<bool(const ParameterRow &)> unused)
{
    unused_ = std::move(unused);
    MarksChanged();
}

void TParameterTableModel::MarksChanged()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, NameColumn), index(rowCount() - 1, ValueColumn), {Qt::ForegroundRole});
}

int TParameterTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(table_.Rows.size());
}

int TParameterTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant TParameterTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const ParameterRow &row = table_.Rows[std::size_t(index.row())];
    if (role == Qt::ForegroundRole) {
        if (unused_ && unused_(row))
            return QPalette().color(QPalette::Disabled, QPalette::Text);
        return {};
    }
    if (role == Qt::FontRole && NotApplied(index.row())) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)
        return {};
    if (index.column() == ValueColumn && role == Qt::ToolTipRole && NotApplied(index.row()))
        return tr("%1 (not applied: the world has %2 until \"Reset and apply\")")
            .arg(Text(row.Value), Text(*applied_[std::size_t(index.row())]));
    if (index.column() == ValueColumn)
        return Text(row.Value);
    // Long captions may be cut by the column; the hint shows them whole.
    const QString caption = Text(row.Caption.empty() ? row.Key : row.Caption);
    return role == Qt::ToolTipRole && !row.Hint.empty() ? caption + "\n" + Text(row.Hint) : caption;
}

bool TParameterTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != ValueColumn || role != Qt::EditRole)
        return false;
    SetValue(index.row(), value.toString());
    return true;
}

Qt::ItemFlags TParameterTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags shown = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() != ValueColumn)
        return shown;
    // A read-only row can still be changed by choosing from its pick list.
    const ParameterRow &row = table_.Rows[std::size_t(index.row())];
    const bool editable = !row.ReadOnly || !row.PickList.empty();
    return editable ? shown | Qt::ItemIsEditable : shown;
}

QVariant TParameterTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && (section == 0 || section == 1))
        return titles_[section];
    return {};
}
