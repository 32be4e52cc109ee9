#include "ValueListEditor.h"

#include "DisplayText.h"
#include "ParameterTableModel.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

constexpr int NameColumn = TParameterTableModel::NameColumn;
constexpr int ValueColumn = TParameterTableModel::ValueColumn;
// The names keep at least this share of the grid's width, so that captions
// stay readable beside a long value.
constexpr double MinimumNameShare = 0.45;

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

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
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

TValueListEditor::TValueListEditor(ParameterTable &table, const QString &nameTitle, const QString &valueTitle,
                                   QWidget *parent)
    : QTableView(parent), model_(new TParameterTableModel(table, nameTitle, valueTitle, this))
{
    setModel(model_);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setMinimumSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(ValueColumn, QHeaderView::Fixed);
    // Long captions wrap onto a second line rather than being cut.
    setWordWrap(true);
    setTextElideMode(Qt::ElideRight);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    // Tab leaves the grid for the next control; the arrows move between cells.
    setTabKeyNavigation(false);
    setItemDelegateForColumn(ValueColumn, new PickListDelegate(this));
    // The rows' heights follow the names' width, which the header settles
    // only after the grid has been laid out.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section) {
        if (section == NameColumn) {
            fittedWidth_ = -1;
            FitColumnsLater();
        }
    });
    connect(model_, &QAbstractItemModel::dataChanged, this, [this] { FitColumnsLater(); });
    connect(model_, &QAbstractItemModel::rowsInserted, this, [this] { FitColumnsLater(); });
}

int TValueListEditor::RowCount() const
{
    return model_->rowCount();
}

QString TValueListEditor::Key(int row) const
{
    return Text(model_->Table().Rows.at(std::size_t(row)).Key);
}

QString TValueListEditor::Caption(int row) const
{
    return model_->index(row, NameColumn).data().toString();
}

QString TValueListEditor::Value(int row) const
{
    return model_->index(row, ValueColumn).data().toString();
}

QStringList TValueListEditor::PickList(int row) const
{
    QStringList items;
    for (const std::string &item : model_->Table().Rows.at(std::size_t(row)).PickList)
        items << Text(item);
    return items;
}

bool TValueListEditor::IsReadOnly(int row) const
{
    return model_->Table().Rows.at(std::size_t(row)).ReadOnly;
}

int TValueListEditor::RowOfKey(const QString &key) const
{
    return model_->RowOfKey(key);
}

void TValueListEditor::SetValue(int row, const QString &value)
{
    model_->SetValue(row, value);
}

void TValueListEditor::SetValueByKey(const QString &key, const QString &value)
{
    model_->SetValueByKey(key, value);
}

void TValueListEditor::CommitPendingEdit()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget *editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void TValueListEditor::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier &&
        state() != QAbstractItemView::EditingState && edit(currentIndex(), EditKeyPressed, event))
        return;
    QTableView::keyPressEvent(event);
}

void TValueListEditor::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    fittedWidth_ = -1; // the names' column changed width
    FitColumns();
}

void TValueListEditor::showEvent(QShowEvent *event)
{
    QTableView::showEvent(event);
    FitColumns();
}

void TValueListEditor::FitColumnsLater()
{
    // Once for all the values written in one turn of the event loop, and
    // only for a grid in sight (the others fit when shown).
    if (fitPending_ || !isVisible())
        return;
    fitPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            fitPending_ = false;
            FitColumns();
        },
        Qt::QueuedConnection);
}

void TValueListEditor::FitColumns()
{
    // The values get what their longest text needs, the names the rest; only
    // when both cannot fit are the values cut, and never below their share.
    const int available = viewport()->width();
    const int values =
        std::max(sizeHintForColumn(ValueColumn), horizontalHeader()->sectionSizeHint(ValueColumn));
    const int names =
        std::max(sizeHintForColumn(NameColumn), horizontalHeader()->sectionSizeHint(NameColumn));
    const int namesKeep = std::min(names, int(available * MinimumNameShare));
    const int width = std::max(std::min(values, available - namesKeep), 1);
    if (horizontalHeader()->sectionSize(ValueColumn) == width && width == fittedWidth_)
        return;
    fittedWidth_ = width;
    horizontalHeader()->resizeSection(ValueColumn, width);
    resizeRowsToContents();
}
