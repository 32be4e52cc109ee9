#pragma once

#include <QStringList>
#include <QTableView>

struct ParameterTable;
class TParameterTableModel;

// A two-column name/value grid over a table of rows (see
// TParameterTableModel). A row may carry a pick list, edited with a combo box;
// a read-only row can be changed only by choosing an entry of its pick list.
// Rows are addressed by position, 0 being the first row under the titles.
//
// The value column is as wide as its longest text, within what the grid
// leaves to the names; long captions wrap, and whatever a column must cut
// shows whole as a hint.
class TValueListEditor : public QTableView {
    Q_OBJECT

public:
    TValueListEditor(ParameterTable &table, const QString &nameTitle, const QString &valueTitle,
                     QWidget *parent = nullptr);

    TParameterTableModel &Model() const { return *model_; }
    int RowCount() const;
    QString Key(int row) const;
    QString Caption(int row) const;
    QString Value(int row) const;
    QStringList PickList(int row) const;
    bool IsReadOnly(int row) const;
    int RowOfKey(const QString &key) const;

    // Program-side writes.
    void SetValue(int row, const QString &value);
    void SetValueByKey(const QString &key, const QString &value);

    // Hands the text of an editor that is still open (typed, not yet
    // confirmed with Enter) to the table and closes the editor. Tool buttons
    // take no focus, so a click on one leaves such an editor open.
    void CommitPendingEdit();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // A Space opens the cell's editor with its value, as F2 does, instead of
    // replacing the value by a blank.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FitColumns();
    void FitColumnsLater();

    TParameterTableModel *model_;
    int fittedWidth_ = -1; // px, the value column's width when rows were last fitted
    bool fitPending_ = false;
};
