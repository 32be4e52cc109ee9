#include "ValueListEditor.h"

#include "ParameterTableModel.h"
#include "Parameters.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPalette>
#include <QTest>

class ValueListEditorTest : public QObject {
    Q_OBJECT

private:
    struct Grid {
        ParameterTable table{"ValueListSimulation",
                             "Simulation",
                             {{"SIM_CUBESIZE", "Consider cube with side length [um]", "2", {}, false},
                              {"SIM_METHOD",
                               "Simulation method",
                               "First reaction",
                               {"First reaction", "Next reaction", "Tau-leap"},
                               true}}};
        TValueListEditor editor{table, "Name", "Value"};
        Grid()
        {
            editor.resize(400, 200);
            editor.show();
            QVERIFY(QTest::qWaitForWindowExposed(&editor));
        }
    };

    static QWidget *OpenEditor(TValueListEditor &editor, int row)
    {
        const QModelIndex index = editor.model()->index(row, 1);
        editor.setCurrentIndex(index);
        editor.edit(index);
        return editor.indexWidget(index);
    }

private slots:
    void ShowsTitlesAndCaptionsButNeverKeys()
    {
        Grid grid;
        QAbstractItemModel *model = grid.editor.model();
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QString("Name"));
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QString("Value"));
        QCOMPARE(grid.editor.Caption(0), QString("Consider cube with side length [um]"));
        QCOMPARE(grid.editor.Caption(1), QString("Simulation method"));
        QCOMPARE(grid.editor.Key(1), QString("SIM_METHOD"));
        // A row without caption shows its key, and lands in the table.
        grid.editor.SetValueByKey("STATE_X", "0");
        QCOMPARE(grid.editor.RowCount(), 3);
        QCOMPARE(grid.editor.Caption(2), QString("STATE_X"));
        QCOMPARE(grid.table.Rows.size(), std::size_t(3));
        // Names are not editable.
        QVERIFY(!(model->flags(model->index(0, 0)) & Qt::ItemIsEditable));
    }

    void UnusedRowsAreGreyUntilTheTestSaysOtherwise()
    {
        Grid grid;
        TParameterTableModel &model = grid.editor.Model();
        bool cubeUnused = true;
        model.SetUnusedRows([&](const ParameterRow &row) { return cubeUnused && row.Key == "SIM_CUBESIZE"; });
        const QVariant grey = QPalette().color(QPalette::Disabled, QPalette::Text);
        QCOMPARE(model.index(0, 1).data(Qt::ForegroundRole), grey);
        QVERIFY(!model.index(1, 1).data(Qt::ForegroundRole).isValid());
        cubeUnused = false;
        int repaints = 0;
        connect(&model, &QAbstractItemModel::dataChanged, [&] { ++repaints; });
        model.MarksChanged();
        QCOMPARE(repaints, 1);
        QVERIFY(!model.index(0, 1).data(Qt::ForegroundRole).isValid());
    }

    void TypedTextGoesIntoTheTable()
    {
        Grid grid;
        auto *line = qobject_cast<QLineEdit *>(OpenEditor(grid.editor, 0));
        QVERIFY(line != nullptr);
        line->selectAll();
        QTest::keyClicks(line, "3,5");
        QTest::keyClick(line, Qt::Key_Return);
        // The editor hands its text over in the next turn of the event loop.
        QTRY_COMPARE(grid.editor.Value(0), QString("3,5"));
        QCOMPARE(grid.table.Rows[0].Value, std::string("3,5"));
    }

    void PendingEditIsCommittedOnRequest()
    {
        Grid grid;
        auto *line = qobject_cast<QLineEdit *>(OpenEditor(grid.editor, 0));
        QVERIFY(line != nullptr);
        line->selectAll();
        QTest::keyClicks(line, "4");
        QCOMPARE(grid.table.Rows[0].Value, std::string("2"));
        grid.editor.CommitPendingEdit();
        QCOMPARE(grid.table.Rows[0].Value, std::string("4"));
        QVERIFY(grid.editor.indexWidget(grid.editor.model()->index(0, 1)) == nullptr);
        // Nothing open: nothing changes.
        grid.editor.CommitPendingEdit();
        QCOMPARE(grid.editor.Value(0), QString("4"));
    }

    void ValueColumnFitsItsLongestText()
    {
        Grid grid;
        const QString wide = "6772.51107412345";
        grid.editor.SetValue(0, wide);
        const int needed = grid.editor.fontMetrics().horizontalAdvance(wide);
        QTRY_VERIFY(grid.editor.columnWidth(1) > needed);
        QCOMPARE(grid.editor.model()->index(0, 1).data(Qt::ToolTipRole).toString(), wide);
        // In a narrow grid the captions keep their share.
        grid.editor.resize(120, 200);
        QTRY_VERIFY(grid.editor.columnWidth(0) >= int(0.4 * grid.editor.viewport()->width()));
    }

    void ReadOnlyPickListRowChangesOnlyThroughItsList()
    {
        Grid grid;
        auto *combo = qobject_cast<QComboBox *>(OpenEditor(grid.editor, 1));
        QVERIFY(combo != nullptr);
        QVERIFY(!combo->isEditable());
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(2), QString("Tau-leap"));
        QCOMPARE(combo->currentText(), QString("First reaction"));
        combo->setCurrentIndex(1);
        emit combo->activated(1);
        QCOMPARE(grid.editor.Value(1), QString("Next reaction"));
        QCOMPARE(grid.table.Rows[1].Value, std::string("Next reaction"));
    }

    void ReadOnlyRowWithoutListCannotBeEdited()
    {
        Grid grid;
        grid.table.Rows[0].ReadOnly = true;
        QVERIFY(!(grid.editor.model()->flags(grid.editor.model()->index(0, 1)) & Qt::ItemIsEditable));
        QVERIFY(OpenEditor(grid.editor, 0) == nullptr);
    }

    void DisabledGridTakesNoInput()
    {
        Grid grid;
        grid.editor.setEnabled(false);
        const QRect cell = grid.editor.visualRect(grid.editor.model()->index(0, 1));
        QTest::mouseDClick(grid.editor.viewport(), Qt::LeftButton, {}, cell.center());
        QTest::keyClicks(grid.editor.viewport(), "9");
        QCOMPARE(grid.editor.Value(0), QString("2"));
    }
};

QTEST_MAIN(ValueListEditorTest)
#include "ValueListEditorTest.moc"
