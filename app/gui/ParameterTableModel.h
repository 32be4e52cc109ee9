#pragma once

#include "Parameters.h"

#include <QAbstractTableModel>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// A two-column model over one table of rows kept elsewhere (a parameter table
// of the store, the current state, a read-out list): column 0 the caption (the
// key when there is none), column 1 the value text. The table is the one copy
// of the rows: an edit in a view writes into it at once, and program writes
// go through SetValue so that every view follows.
class TParameterTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int NameColumn = 0;
    static constexpr int ValueColumn = 1;

    TParameterTableModel(ParameterTable &table, const QString &nameTitle, const QString &valueTitle,
                         QObject *parent = nullptr);

    const ParameterTable &Table() const { return table_; }
    int RowOfKey(const QString &key) const;

    // Program-side writes; an unchanged text is left alone, so views repaint
    // only what changed.
    void SetValue(int row, const QString &value);
    // Replaces the value of the row with this key, or appends a row for it.
    void SetValueByKey(const QString &key, const QString &value);

    // Rows for which `unused` holds are shown in grey; MarksChanged repaints
    // them when what the test reads has changed.
    void SetUnusedRows(std::function<bool(const ParameterRow &)> unused);
    void MarksChanged();

    // The values the world was built from, found by key (null: none). A row
    // whose value differs from its applied one is shown bold, with the
    // applied value in its hint.
    void SetAppliedValues(const ParameterTable *applied);
    bool NotApplied(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void RowChanged(int row);

    ParameterTable &table_;
    QString titles_[2];
    std::function<bool(const ParameterRow &)> unused_;
    std::vector<std::optional<std::string>> applied_; // by row
};
