#pragma once

#include <QStringList>
#include <QTableWidget>

#include <vector>

// A two-column name/value grid. Each row has a key (never shown), a caption
// shown in the name column (the key itself when no caption is given) and a
// value text. A row may carry a pick list, edited with a combo box; a
// read-only row can be changed only by choosing an entry of its pick list.
// Rows are addressed by position, 0 being the first row under the titles.
class TValueListEditor : public QTableWidget {
    Q_OBJECT

public:
    TValueListEditor(const QString &nameTitle, const QString &valueTitle,
                     QWidget *parent = nullptr);

    // Appends a row and returns its position.
    int AddRow(const QString &key, const QString &caption, const QString &value);
    void SetPickList(int row, const QStringList &items, bool readOnly);

    int RowCount() const { return int(rows_.size()); }
    QString Key(int row) const { return rows_[row].key; }
    QString Caption(int row) const;
    QString Value(int row) const;
    QStringList PickList(int row) const { return rows_[row].pickList; }
    bool IsReadOnly(int row) const { return rows_[row].readOnly; }
    int RowOfKey(const QString &key) const;

    // Program-side writes; they do not raise ValueEdited.
    void SetValue(int row, const QString &value);
    // Replaces the value of the row with this key, or appends a row for it.
    void SetValueByKey(const QString &key, const QString &value);

signals:
    // The user changed a value (typed text or a pick-list choice).
    void ValueEdited(int row, const QString &key, const QString &value);

private:
    struct Row {
        QString key;
        QStringList pickList;
        bool readOnly = false;
    };

    void OnItemChanged(QTableWidgetItem *item);

    std::vector<Row> rows_;
    bool programWrite_ = false;
};
