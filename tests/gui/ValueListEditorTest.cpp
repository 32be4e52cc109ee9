#include "ValueListEditor.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

class ValueListEditorTest : public QObject {
    Q_OBJECT

private:
    struct Grid {
        TValueListEditor editor{"Name", "Value"};
        Grid()
        {
            editor.AddRow("SIM_CUBESIZE", "Consider cube with side length [um]", "2");
            const int method = editor.AddRow("SIM_METHOD", "Simulation method", "First reaction");
            editor.SetPickList(method, {"First reaction", "Next reaction", "Tau-leap"}, true);
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
        QCOMPARE(grid.editor.horizontalHeaderItem(0)->text(), QString("Name"));
        QCOMPARE(grid.editor.horizontalHeaderItem(1)->text(), QString("Value"));
        QCOMPARE(grid.editor.item(0, 0)->text(), QString("Consider cube with side length [um]"));
        QCOMPARE(grid.editor.item(1, 0)->text(), QString("Simulation method"));
        QCOMPARE(grid.editor.Key(1), QString("SIM_METHOD"));
        // A row without caption shows its key.
        grid.editor.SetValueByKey("STATE_X", "0");
        QCOMPARE(grid.editor.RowCount(), 3);
        QCOMPARE(grid.editor.item(2, 0)->text(), QString("STATE_X"));
        // Names are not editable.
        QVERIFY(!(grid.editor.item(0, 0)->flags() & Qt::ItemIsEditable));
    }

    void TypedTextIsReportedAsAnEdit()
    {
        Grid grid;
        QSignalSpy edits(&grid.editor, &TValueListEditor::ValueEdited);
        auto *line = qobject_cast<QLineEdit *>(OpenEditor(grid.editor, 0));
        QVERIFY(line != nullptr);
        line->selectAll();
        QTest::keyClicks(line, "3,5");
        QTest::keyClick(line, Qt::Key_Return);
        // The editor hands its text over in the next turn of the event loop.
        QTRY_COMPARE(grid.editor.Value(0), QString("3,5"));
        QCOMPARE(edits.count(), 1);
        QCOMPARE(edits.at(0).at(1).toString(), QString("SIM_CUBESIZE"));
        QCOMPARE(edits.at(0).at(2).toString(), QString("3,5"));
    }

    void ProgramWritesAreNotReportedAsEdits()
    {
        Grid grid;
        QSignalSpy edits(&grid.editor, &TValueListEditor::ValueEdited);
        grid.editor.SetValue(0, "7");
        grid.editor.SetValueByKey("SIM_CUBESIZE", "8");
        QCOMPARE(grid.editor.Value(0), QString("8"));
        QCOMPARE(edits.count(), 0);
    }

    void ReadOnlyPickListRowChangesOnlyThroughItsList()
    {
        Grid grid;
        QSignalSpy edits(&grid.editor, &TValueListEditor::ValueEdited);
        auto *combo = qobject_cast<QComboBox *>(OpenEditor(grid.editor, 1));
        QVERIFY(combo != nullptr);
        QVERIFY(!combo->isEditable());
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(2), QString("Tau-leap"));
        QCOMPARE(combo->currentText(), QString("First reaction"));
        combo->setCurrentIndex(1);
        emit combo->activated(1);
        QCOMPARE(grid.editor.Value(1), QString("Next reaction"));
        QCOMPARE(edits.count(), 1);
        QCOMPARE(edits.at(0).at(2).toString(), QString("Next reaction"));
    }

    void ReadOnlyRowWithoutListCannotBeEdited()
    {
        Grid grid;
        grid.editor.SetPickList(0, {}, true);
        QVERIFY(!(grid.editor.item(0, 1)->flags() & Qt::ItemIsEditable));
        QVERIFY(OpenEditor(grid.editor, 0) == nullptr);
    }

    void DisabledGridTakesNoInput()
    {
        Grid grid;
        grid.editor.setEnabled(false);
        QSignalSpy edits(&grid.editor, &TValueListEditor::ValueEdited);
        const QRect cell = grid.editor.visualRect(grid.editor.model()->index(0, 1));
        QTest::mouseDClick(grid.editor.viewport(), Qt::LeftButton, {}, cell.center());
        QTest::keyClicks(grid.editor.viewport(), "9");
        QCOMPARE(grid.editor.Value(0), QString("2"));
        QCOMPARE(edits.count(), 0);
    }
};

QTEST_MAIN(ValueListEditorTest)
#include "ValueListEditorTest.moc"
