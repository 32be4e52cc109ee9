#include "ValueListEditor.h"

#include <QComboBox>
#include <QHeaderView>
#include <QStyledItemDelegate>

namespace {

constexpr int NameColumn = 0;
constexpr int ValueColumn = 1;
constexpr int NameColumnWidth = 190; // px

// Edits rows that have a pick list with a combo box: free text is allowed
// unless the row is read-only. Other rows get the ordinary line editor.
class PickListDelegate : public QStyledItemDelegate {
public:
    explicit PickListDelegate(TValueListEditor *grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        const QStringList items = grid_->PickList(index.row());
        if (items.isEmpty())
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto *combo = new QComboBox(parent);
        combo->addItems(items);
        combo->setEditable(!grid_->IsReadOnly(index.row()));
        // A choice takes effect at once, without leaving the cell first.
        connect(combo, &QComboBox::activated, combo, [this, combo] {
            auto *self = const_cast<PickListDelegate *>(this);
            emit self->commitData(combo);
            emit self->closeEditor(combo);
        });
        return combo;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            const QString text = index.data(Qt::EditRole).toString();
            const int at = combo->findText(text);
            if (at >= 0)
                combo->setCurrentIndex(at);
            else if (combo->isEditable())
                combo->setEditText(text);
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override
    {
        if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            model->setData(index, combo->currentText(), Qt::EditRole);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }

private:
    TValueListEditor *grid_;
};

} // namespace

TValueListEditor::TValueListEditor(const QString &nameTitle, const QString &valueTitle,
                                   QWidget *parent)
    : QTableWidget(0, 2, parent)
{
    setHorizontalHeaderLabels({nameTitle, valueTitle});
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Interactive);
    // Captions are longer than values: the names get most of a narrow grid.
    horizontalHeader()->resizeSection(NameColumn, NameColumnWidth);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setItemDelegateForColumn(ValueColumn, new PickListDelegate(this));
    connect(this, &QTableWidget::itemChanged, this, &TValueListEditor::OnItemChanged);
}

int TValueListEditor::AddRow(const QString &key, const QString &caption, const QString &value)
{
    const int row = RowCount();
    rows_.push_back({key, {}, false});
    const bool wasWriting = std::exchange(programWrite_, true);
    insertRow(row);
    auto *name = new QTableWidgetItem(caption.isEmpty() ? key : caption);
    name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    // Long captions are cut by the column; the hint shows them whole.
    name->setToolTip(name->text());
    setItem(row, NameColumn, name);
    setItem(row, ValueColumn, new QTableWidgetItem(value));
    programWrite_ = wasWriting;
    return row;
}

void TValueListEditor::SetPickList(int row, const QStringList &items, bool readOnly)
{
    rows_[row].pickList = items;
    rows_[row].readOnly = readOnly;
    QTableWidgetItem *value = item(row, ValueColumn);
    const bool editable = !readOnly || !items.isEmpty();
    const bool wasWriting = std::exchange(programWrite_, true);
    value->setFlags(editable ? value->flags() | Qt::ItemIsEditable
                             : value->flags() & ~Qt::ItemIsEditable);
    programWrite_ = wasWriting;
}

QString TValueListEditor::Caption(int row) const
{
    return item(row, NameColumn)->text();
}

QString TValueListEditor::Value(int row) const
{
    return item(row, ValueColumn)->text();
}

int TValueListEditor::RowOfKey(const QString &key) const
{
    for (int row = 0; row < RowCount(); ++row)
        if (rows_[row].key == key)
            return row;
    return -1;
}

void TValueListEditor::SetValue(int row, const QString &value)
{
    QTableWidgetItem *cell = item(row, ValueColumn);
    // Unchanged texts are skipped: the read-out lists are rewritten at every
    // observation, and most of their values do not change between two.
    if (cell->text() == value)
        return;
    const bool wasWriting = std::exchange(programWrite_, true);
    cell->setText(value);
    programWrite_ = wasWriting;
}

void TValueListEditor::SetValueByKey(const QString &key, const QString &value)
{
    const int row = RowOfKey(key);
    if (row < 0)
        AddRow(key, QString(), value);
    else
        SetValue(row, value);
}

void TValueListEditor::OnItemChanged(QTableWidgetItem *changed)
{
    if (programWrite_ || changed->column() != ValueColumn)
        return;
    const int row = changed->row();
    emit ValueEdited(row, rows_[row].key, changed->text());
}
