#include "Chart.h"
#include "Chartexport.h"
#include "Chartprompts.h"
#include "Colorbox.h"
#include "Numbertext.h"
#include "Teechartconfigdlg.h"
#include "WaitForDrawing.h"

#include <qcustomplot.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

template <typename Control>
Control *Find(const QWidget &dialog, const char *name)
{
    auto *control = dialog.findChild<Control *>(QLatin1String(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

std::string ErrorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const std::exception &error) {
        return error.what();
    }
    return "no error";
}

// A dialog on a chart of three curves, loaded and shown, with the colour
// dialog answered by ChosenColor and the messages recorded.
class ChartConfigDialog : public testing::Test {
protected:
    void SetUp() override
    {
        Chart.BottomAxis().SetTitle("Time");
        Chart.LeftAxis().SetTitle("Number of molecules");
        for (const char *title : {"ACG", "ACF", "FIB"}) {
            TChartSeries *series = Chart.AddSeries(title);
            series->AddXY(0.0, 10.0);
            series->AddXY(2.0, 40.0);
        }
        Chart.resize(400, 300);
        ChartPrompts().Color = [this](QWidget *, const QColor &initial) {
            ColorAskedWith = initial;
            return ChosenColor;
        };
        ChartPrompts().Message = [this](QWidget *, QMessageBox::Icon icon, const QString &text) {
            MessageIcons.push_back(icon);
            Messages.push_back(text);
        };
        Open();
    }
    void TearDown() override { ChartPrompts() = DefaultChartPrompts(); }

    void Open()
    {
        Dialog = std::make_unique<TTeeChartConfigDlg>();
        Dialog->Chart = &Chart;
        Dialog->LoadFromChart();
        Dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Dialog.get()));
    }

    QTableWidget *Grid() { return Find<QTableWidget>(*Dialog, "CurvesGrid"); }
    QPoint CellCentre(int row, int column)
    {
        return Grid()->visualRect(Grid()->model()->index(row, column)).center();
    }
    void ClickCell(int row, int column)
    {
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(row, column));
    }
    void ClickOK() { QTest::mouseClick(Find<QPushButton>(*Dialog, "OKBtn"), Qt::LeftButton); }
    void ShowPage(const char *name)
    {
        auto *pages = Find<QTabWidget>(*Dialog, "Pages");
        pages->setCurrentWidget(Find<QWidget>(*Dialog, name));
    }

    TChart Chart;
    std::unique_ptr<TTeeChartConfigDlg> Dialog;
    QColor ChosenColor;
    QColor ColorAskedWith;
    std::vector<QMessageBox::Icon> MessageIcons;
    std::vector<QString> Messages;
};

} // namespace

TEST(ChartConfigDialogLayout, CaptionSizePagesAndAnEmptyGrid)
{
    TTeeChartConfigDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "Configuration");
    EXPECT_GE(dialog.width(), 325);
    EXPECT_GE(dialog.height(), 204);
    auto *pages = Find<QTabWidget>(dialog, "Pages");
    ASSERT_EQ(pages->count(), 4);
    EXPECT_EQ(pages->tabText(0), "Window");
    EXPECT_EQ(pages->tabText(1), "Curves");
    EXPECT_EQ(pages->tabText(2), "Axes");
    EXPECT_EQ(pages->tabText(3), "Labels");
    EXPECT_EQ(pages->currentWidget()->objectName(), "CurvesTab");
    auto *grid = Find<QTableWidget>(dialog, "CurvesGrid");
    EXPECT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(0, 2)->text(), "Name");
    EXPECT_EQ(grid->item(1, 2)->text(), "No Curves");
    EXPECT_FALSE(grid->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>(dialog, "YLogCheckBox")->isHidden());
    EXPECT_EQ(Find<QLineEdit>(dialog, "YMinEdit")->text(), "0");
    EXPECT_FALSE(Find<QLineEdit>(dialog, "YMinEdit")->isEnabled());
    EXPECT_EQ(Find<QPushButton>(dialog, "OKBtn")->text(), "&OK");
    EXPECT_TRUE(Find<QPushButton>(dialog, "OKBtn")->isDefault());
    EXPECT_EQ(Find<QPushButton>(dialog, "CancelBtn")->text(), "&Cancel");
}

TEST(ChartConfigDialogKeys, UnknownKeysRaiseTheInternalErrors)
{
    TTeeChartConfigDlg dialog;
    const std::string prefix = "Internal error of TeeChart ConfigDlg: ";
    EXPECT_EQ(ErrorOf([&] { dialog.GetColorItem("Wall"); }), prefix + "\"Wall\" is wrong Item!");
    EXPECT_EQ(ErrorOf([&] { dialog.SetColorItem("Wall", Qt::red); }), prefix + "\"Wall\" is wrong Item!");
    EXPECT_EQ(ErrorOf([&] { dialog.IsPageVisible("Legend page"); }),
              prefix + "\"Legend page\" is wrong Control!");
    EXPECT_EQ(ErrorOf([&] { dialog.SetAutoBox("Z axis", true); }), prefix + "\"Z axis\" is wrong Item!");
    EXPECT_EQ(ErrorOf([&] { dialog.GetTitleText("Chart"); }), prefix + "\"Chart\" is wrong Item!");
    EXPECT_EQ(ErrorOf([&] { dialog.SetIncrement("Z", 1.0); }), prefix + "\"Z\" is wrong Axis!");
    EXPECT_EQ(ErrorOf([&] { dialog.IsLogarithmic("X2"); }), prefix + "\"X2\" is wrong Axis!");
    EXPECT_EQ(ErrorOf([&] { dialog.AxisByName("X"); }), prefix + "TeeChart pointer is NULL!");
    EXPECT_EQ(ErrorOf([&] { dialog.LoadFromChart(); }), prefix + "TeeChart pointer is NULL!");
    EXPECT_EQ(ErrorOf([&] { dialog.OKBtnClick(); }), prefix + "TeeChart pointer is NULL!");

    // "Chart" has a title key but no title: the setters ignore it.
    EXPECT_EQ(ErrorOf([&] { dialog.SetTitleText("Chart", "x"); }), "no error");
    EXPECT_EQ(ErrorOf([&] { dialog.SetTitleShown("Chart", true); }), "no error");
    EXPECT_FALSE(dialog.IsTitleShown("Chart"));

    TChart chart;
    dialog.Chart = &chart;
    EXPECT_EQ(&dialog.AxisByName("X"), &chart.BottomAxis());
    EXPECT_EQ(&dialog.AxisByName("Y"), &chart.LeftAxis());
    EXPECT_EQ(&dialog.AxisByName("X2"), &chart.TopAxis());
    EXPECT_EQ(&dialog.AxisByName("Y2"), &chart.RightAxis());
    EXPECT_EQ(ErrorOf([&] { dialog.AxisByName("Z"); }), prefix + "\"Z\" is wrong Axis!");
}

TEST(ChartConfigDialogCurves, AChartWithoutCurvesShowsNoCurvesAndOKChangesNone)
{
    TChart chart;
    TTeeChartConfigDlg dialog;
    dialog.Chart = &chart;
    dialog.LoadFromChart();
    auto *grid = Find<QTableWidget>(dialog, "CurvesGrid");
    EXPECT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(1, 2)->text(), "No Curves");
    EXPECT_FALSE(grid->isEnabled());
    dialog.OKBtnClick();
    EXPECT_EQ(chart.SeriesCount(), 0);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(ChartConfigDialog, CurvesGridListsTheCurvesWithFlagsAndColours)
{
    QTableWidget *grid = Grid();
    EXPECT_TRUE(grid->isEnabled());
    EXPECT_EQ(grid->rowCount(), 4);
    EXPECT_EQ(grid->columnCount(), 6);
    EXPECT_EQ(grid->item(1, 2)->text(), "ACG");
    EXPECT_EQ(grid->item(3, 2)->text(), "FIB");
    EXPECT_EQ(grid->columnWidth(0), 18);
    EXPECT_EQ(grid->columnWidth(1), 18);
    // The name takes the room of the blank columns after it.
    EXPECT_GT(grid->columnWidth(2), 128);
    for (int column = 3; column < 6; ++column)
        EXPECT_TRUE(grid->isColumnHidden(column));

    // The swatch of row 2 is the second curve's colour.
    const QImage picture = grid->viewport()->grab().toImage();
    EXPECT_EQ(picture.pixelColor(CellCentre(2, 1)), Chart.Series(1)->Color());
}

TEST_F(ChartConfigDialog, ClicksToggleCurvesAndPickColoursAppliedOnOK)
{
    ClickCell(2, 0);
    ChosenColor = QColor(10, 20, 30);
    ClickCell(3, 1);
    EXPECT_EQ(ColorAskedWith, Chart.Series(2)->Color());
    // Nothing reaches the chart before OK.
    EXPECT_TRUE(Chart.Series(1)->Active());
    EXPECT_NE(Chart.Series(2)->Color(), ChosenColor);

    ClickOK();
    EXPECT_TRUE(Chart.Series(0)->Active());
    EXPECT_FALSE(Chart.Series(1)->Active());
    EXPECT_EQ(Chart.Series(2)->Color(), ChosenColor);
    EXPECT_FALSE(Dialog->isVisible());
}

TEST_F(ChartConfigDialog, CancelledColourAndStrayClicksChangeNothing)
{
    const QColor before = Chart.Series(0)->Color();
    ChosenColor = QColor(); // cancelled
    ClickCell(1, 1);
    // Released over another cell than the one pressed.
    QTest::mousePress(Grid()->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(1, 0));
    QTest::mouseRelease(Grid()->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(2, 0));
    // The header row.
    ChosenColor = Qt::green;
    ClickCell(0, 0);
    ClickCell(0, 1);
    ClickOK();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(Chart.Series(i)->Active()) << i;
    EXPECT_EQ(Chart.Series(0)->Color(), before);
}

TEST_F(ChartConfigDialog, DefaultColoursTouchTheChartOnlyOnOK)
{
    const QColor margins = Chart.Color();
    ShowPage("WindowTab");
    QTest::mouseClick(Find<QPushButton>(*Dialog, "DefaultColorsBtn"), Qt::LeftButton);
    EXPECT_EQ(Find<TColorBox>(*Dialog, "BackgroundBox")->Selected(), QColor(128, 128, 128));
    EXPECT_EQ(Find<TColorBox>(*Dialog, "GridBox")->Selected(), QColor(192, 192, 192));
    EXPECT_EQ(Find<TColorBox>(*Dialog, "FontBox")->Selected(), QColor(0, 0, 0));
    EXPECT_EQ(Find<TColorBox>(*Dialog, "MarginsBox")->Selected(),
              QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(Chart.BackColor(), QColor(Qt::white));
    EXPECT_EQ(Chart.Color(), margins);

    Chart.SetColor(Qt::yellow);
    ClickOK();
    EXPECT_EQ(Chart.BackColor(), QColor(128, 128, 128));
    EXPECT_EQ(Chart.Color(), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(Chart.BottomAxis().GridColor(), QColor(192, 192, 192));
    EXPECT_EQ(Chart.LeftAxis().GridColor(), QColor(192, 192, 192));
    EXPECT_EQ(Chart.LeftAxis().LabelsFontColor(), QColor(0, 0, 0));
    EXPECT_EQ(Chart.TitleFontColor(), QColor(0, 0, 0));
}

TEST_F(ChartConfigDialog, WindowPageLoadsTheChartColours)
{
    Chart.SetColor(QColor(0, 128, 128));
    Chart.SetBackColor(QColor(1, 2, 3));
    Chart.BottomAxis().SetGridColor(Qt::red);
    Chart.SetTitleFontColor(Qt::blue);
    Open();
    EXPECT_EQ(Dialog->GetColorItem("Margins"), QColor(0, 128, 128));
    EXPECT_EQ(Find<TColorBox>(*Dialog, "MarginsBox")->currentText(), "Teal");
    EXPECT_EQ(Dialog->GetColorItem("Background"), QColor(1, 2, 3));
    EXPECT_EQ(Dialog->GetColorItem("Grid"), QColor(Qt::red));
    EXPECT_EQ(Dialog->GetColorItem("Fonts"), QColor(Qt::blue));
}

TEST_F(ChartConfigDialog, AnUncheckedTitleKeepsItsTextOnTheOppositeAxis)
{
    ShowPage("AxesTab");
    auto *titleBox = Find<QCheckBox>(*Dialog, "YTitleCheckBox");
    EXPECT_TRUE(titleBox->isChecked());
    EXPECT_EQ(Find<QLineEdit>(*Dialog, "YTitleEdit")->text(), "Number of molecules");
    QTest::mouseClick(titleBox, Qt::LeftButton);
    ClickOK();
    EXPECT_EQ(Chart.LeftAxis().Title(), "");
    EXPECT_EQ(Chart.RightAxis().Title(), "Number of molecules");
    EXPECT_EQ(Chart.BottomAxis().Title(), "Time");
    EXPECT_EQ(Chart.TopAxis().Title(), "");

    Open();
    EXPECT_FALSE(Dialog->IsTitleShown("Y axis"));
    EXPECT_EQ(Dialog->GetTitleText("Y axis"), "Number of molecules");
    EXPECT_TRUE(Dialog->IsTitleShown("X axis"));

    // Checked again, the text returns to the left axis.
    QTest::mouseClick(Find<QCheckBox>(*Dialog, "YTitleCheckBox"), Qt::LeftButton);
    ClickOK();
    EXPECT_EQ(Chart.LeftAxis().Title(), "Number of molecules");
    EXPECT_EQ(Chart.RightAxis().Title(), "");
}

TEST_F(ChartConfigDialog, FixedRangeAppliedAndAutomaticRangeShowsTheDataExtent)
{
    ShowPage("AxesTab");
    auto *automatic = Find<QCheckBox>(*Dialog, "YAutoCheckBox");
    auto *minimum = Find<QLineEdit>(*Dialog, "YMinEdit");
    auto *maximum = Find<QLineEdit>(*Dialog, "YMaxEdit");
    EXPECT_TRUE(automatic->isChecked());
    EXPECT_FALSE(minimum->isEnabled());

    QTest::mouseClick(automatic, Qt::LeftButton);
    EXPECT_TRUE(minimum->isEnabled());
    EXPECT_TRUE(maximum->isEnabled());
    minimum->setText("-5");
    maximum->setText("1.5E2");

    // Checked, the edits show where the data lie.
    QTest::mouseClick(automatic, Qt::LeftButton);
    EXPECT_FALSE(maximum->isEnabled());
    EXPECT_EQ(minimum->text(), "10");
    EXPECT_EQ(maximum->text(), "40");

    QTest::mouseClick(automatic, Qt::LeftButton);
    minimum->setText("-5");
    maximum->setText("1.5E2");
    ClickOK();
    EXPECT_FALSE(Chart.LeftAxis().Automatic());
    EXPECT_EQ(Chart.LeftAxis().Minimum(), -5.0);
    EXPECT_EQ(Chart.LeftAxis().Maximum(), 150.0);
    EXPECT_TRUE(Chart.BottomAxis().Automatic());

    Open();
    EXPECT_FALSE(Dialog->IsAutoBox("Y axis"));
    EXPECT_EQ(Dialog->GetMinValue("Y"), -5.0);
    EXPECT_EQ(Dialog->GetMaxValue("Y"), 150.0);
    EXPECT_TRUE(Find<QLineEdit>(*Dialog, "YMinEdit")->isEnabled());
}

TEST_F(ChartConfigDialog, OKUndoesAZoom)
{
    Chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Chart));
    WaitForDrawing(Chart);
    QWidget *plot = Chart.Plot();
    QTest::mousePress(plot, Qt::LeftButton, Qt::NoModifier, QPoint(150, 100));
    QTest::mouseMove(plot, QPoint(250, 200));
    QTest::mouseRelease(plot, Qt::LeftButton, Qt::NoModifier, QPoint(250, 200));
    ASSERT_TRUE(Chart.Zoomed());
    Open();
    ClickOK();
    EXPECT_FALSE(Chart.Zoomed());
}

TEST_F(ChartConfigDialog, AutomaticLabelsShowZeroAndSetSeparationFive)
{
    Chart.LeftAxis().SetLabelsSeparation(0);
    Chart.LeftAxis().SetIncrement(7.0);
    Chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Chart));
    WaitForDrawing(Chart);
    Open();
    ShowPage("LabelsTab");
    auto *automatic = Find<QCheckBox>(*Dialog, "YAutoLabelsCheckBox");
    auto *increment = Find<QLineEdit>(*Dialog, "YIncrementEdit");
    auto *noOverlap = Find<QCheckBox>(*Dialog, "YNoOverlapCheckBox");
    EXPECT_FALSE(automatic->isChecked());
    EXPECT_EQ(increment->text(), "7");
    EXPECT_FALSE(noOverlap->isChecked());
    EXPECT_TRUE(increment->isEnabled());

    QTest::mouseClick(automatic, Qt::LeftButton);
    EXPECT_EQ(increment->text(), "0");
    EXPECT_TRUE(noOverlap->isChecked());
    EXPECT_FALSE(increment->isEnabled());
    EXPECT_FALSE(noOverlap->isEnabled());
    ClickOK();
    EXPECT_EQ(Chart.LeftAxis().Increment(), 0.0);
    EXPECT_EQ(Chart.LeftAxis().LabelsSeparation(), 5);

    // Cleared again, the edit offers the increment the axis now computes.
    Open();
    ShowPage("LabelsTab");
    EXPECT_TRUE(Dialog->IsAutoBox("Y labels"));
    QTest::mouseClick(Find<QCheckBox>(*Dialog, "YAutoLabelsCheckBox"), Qt::LeftButton);
    EXPECT_EQ(Dialog->GetIncrement("Y"), Chart.LeftAxis().CalcIncrement());
    EXPECT_GT(Dialog->GetIncrement("Y"), 0.0);
    EXPECT_TRUE(Find<QLineEdit>(*Dialog, "YIncrementEdit")->isEnabled());
}

TEST_F(ChartConfigDialog, ABadIncrementIsReportedAndTheDialogStaysOpen)
{
    Dialog->SetColorItem("Margins", QColor(0, 0, 128));
    Dialog->SetLabelFormat("Y", "0.0");
    Dialog->SetAutoBox("Y labels", false);
    Find<QLineEdit>(*Dialog, "YIncrementEdit")->setText("abc");
    Dialog->SetNoOverlapping("Y", false);
    ClickOK();

    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(MessageIcons[0], QMessageBox::Critical);
    EXPECT_EQ(Messages[0], "'abc' is not a valid floating point value");
    EXPECT_TRUE(Dialog->isVisible());
    // What came before the increment was applied, what comes after was not.
    EXPECT_EQ(Chart.Color(), QColor(0, 0, 128));
    EXPECT_EQ(Chart.LeftAxis().ValueFormat(), "0.0");
    EXPECT_EQ(Chart.LeftAxis().LabelsSeparation(), 10);

    Find<QLineEdit>(*Dialog, "YIncrementEdit")->setText("2.5");
    ClickOK();
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(Chart.LeftAxis().Increment(), 2.5);
    EXPECT_EQ(Chart.LeftAxis().LabelsSeparation(), 0);
}

TEST_F(ChartConfigDialog, BadRangeTextsRaiseTheConversionError)
{
    Dialog->SetAutoBox("Y axis", false);
    Find<QLineEdit>(*Dialog, "YMinEdit")->setText("1,5x");
    EXPECT_THROW(Dialog->GetMinValue("Y"), ConversionError);
    EXPECT_EQ(ErrorOf([&] { Dialog->OKBtnClick(); }), "'1,5x' is not a valid floating point value");
    EXPECT_TRUE(Chart.LeftAxis().Automatic());
}

TEST_F(ChartConfigDialog, HiddenPagesAreNeitherLoadedNorApplied)
{
    Dialog->SetPageVisible("Window page", false);
    EXPECT_FALSE(Dialog->IsPageVisible("Window page"));
    Dialog->SetColorItem("Background", Qt::red);
    Dialog->OKBtnClick();
    EXPECT_EQ(Chart.BackColor(), QColor(Qt::white));
}

TEST_F(ChartConfigDialog, ShowChartConfigOpensModallyOnAllPages)
{
    Dialog.reset();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<TTeeChartConfigDlg *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        auto *pages = Find<QTabWidget>(*dialog, "Pages");
        for (int page = 0; page < 4; ++page)
            EXPECT_TRUE(pages->isTabVisible(page)) << page;
        EXPECT_EQ(dialog->Chart, &Chart);
        EXPECT_EQ(Find<QTableWidget>(*dialog, "CurvesGrid")->rowCount(), 4);
        dialog->SetColorItem("Background", Qt::red);
        QTest::mouseClick(Find<QPushButton>(*dialog, "CancelBtn"), Qt::LeftButton);
    });
    ShowChartConfig(&Chart);
    EXPECT_TRUE(seen);
    EXPECT_EQ(Chart.BackColor(), QColor(Qt::white));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ChartConfigDialog, ShowChartConfigShowsOnlyTheListedPages)
{
    Dialog.reset();
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<TTeeChartConfigDlg *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(dialog->IsPageVisible("Window page"));
        EXPECT_TRUE(dialog->IsPageVisible("Curves page"));
        EXPECT_FALSE(dialog->IsPageVisible("Axes page"));
        EXPECT_FALSE(dialog->IsPageVisible("Labels page"));
        QTest::mouseClick(Find<QPushButton>(*dialog, "OKBtn"), Qt::LeftButton);
    });
    TTeeChartConfigDlg::ShowChartConfig(&Chart, {1});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ChartConfigDialog, ColourBoxesNameKnownColoursAndOfferCustomOnes)
{
    auto *box = Find<TColorBox>(*Dialog, "BackgroundBox");
    box->SetSelected(QColor(255, 0, 0));
    EXPECT_EQ(box->currentText(), "Red");
    box->SetSelected(QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(box->Selected(), QApplication::palette().color(QPalette::Button));

    ChosenColor = QColor(0x12, 0x34, 0x56);
    box->setCurrentIndex(box->count() - 1);
    emit box->activated(box->count() - 1);
    EXPECT_EQ(box->Selected(), ChosenColor);
    EXPECT_EQ(box->currentText(), "#123456");

    // A cancelled choice keeps the colour shown before.
    ChosenColor = QColor();
    box->setCurrentIndex(box->count() - 1);
    emit box->activated(box->count() - 1);
    EXPECT_EQ(box->Selected(), QColor(0x12, 0x34, 0x56));
}
TEST_F(ChartConfigDialog, OpensShowingEveryControlAndTextWhole)
{
    Chart.LeftAxis().SetTitle("Mean size [monomers]");
    Open();
    for (const char *page : {"WindowTab", "CurvesTab", "AxesTab", "LabelsTab"}) {
        ShowPage(page);
        QWidget *shown = Find<QWidget>(*Dialog, page);
        QTest::qWait(20);
        for (QWidget *control : shown->findChildren<QWidget *>()) {
            if (!control->isVisibleTo(shown) || qobject_cast<QAbstractScrollArea *>(control->parentWidget()))
                continue;
            const QRect onPage(control->mapTo(shown, QPoint(0, 0)), control->size());
            EXPECT_TRUE(shown->rect().contains(onPage)) << page << " " << control->objectName().toStdString();
            EXPECT_GE(control->width(), control->minimumSizeHint().width())
                << control->objectName().toStdString();
        }
        for (QLineEdit *edit : shown->findChildren<QLineEdit *>())
            EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->text()) + 8, edit->width())
                << edit->objectName().toStdString() << " cuts " << edit->text().toStdString();
    }
    // The curves grid shows no blank column: the name fills the rest.
    QTableWidget *grid = Grid();
    int shownWidth = 0;
    for (int column = 0; column < grid->columnCount(); ++column)
        shownWidth += grid->isColumnHidden(column) ? 0 : grid->columnWidth(column);
    EXPECT_EQ(shownWidth, grid->viewport()->width());
    EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
}

TEST_F(ChartConfigDialog, OpensWithEveryCurveInSightAndTimesOnTheChartsGrid)
{
    for (int i = 3; i < 10; ++i)
        Chart.AddSeries(QString("Curve %1").arg(i))->AddXY(0.0, 1.0);
    // 500 observation steps of 0.01 s add up to 4.99999999999994.
    double end = 0.0;
    for (int k = 0; k < 500; ++k)
        end += 0.01;
    Chart.SetXResolution(0.01);
    Chart.BottomAxis().SetMinMax(0.0, end);
    Open();
    ShowPage("CurvesTab");
    QTableWidget *grid = Grid();
    const int last = grid->rowCount() - 1;
    ASSERT_EQ(last, 10);
    EXPECT_LE(grid->rowViewportPosition(last) + grid->rowHeight(last), grid->viewport()->height());
    EXPECT_EQ(Find<QLineEdit>(*Dialog, "XMaxEdit")->text(), "5");
    EXPECT_EQ(Find<QLineEdit>(*Dialog, "YMaxEdit")->text(),
              QString::fromStdString(FormatNumber(Chart.LeftAxis().Maximum())));
}

TEST_F(ChartConfigDialog, LogarithmicAxesAreAppliedOnOKAndShownWhenLoaded)
{
    ShowPage("AxesTab");
    QTest::mouseClick(Find<QCheckBox>(*Dialog, "YLogCheckBox"), Qt::LeftButton);
    ClickOK();
    EXPECT_TRUE(Chart.LeftAxis().Logarithmic());
    EXPECT_FALSE(Chart.BottomAxis().Logarithmic());
    EXPECT_EQ(Chart.Plot()->yAxis->scaleType(), QCPAxis::stLogarithmic);
    // Ticks at powers of ten over the data's 10 to 40.
    Chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Chart));
    WaitForDrawing(Chart);
    EXPECT_TRUE(Chart.Plot()->yAxis->tickVector().contains(10.0));
    Open();
    EXPECT_TRUE(Find<QCheckBox>(*Dialog, "YLogCheckBox")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(*Dialog, "XLogCheckBox")->isChecked());
    ShowPage("AxesTab");
    QTest::mouseClick(Find<QCheckBox>(*Dialog, "YLogCheckBox"), Qt::LeftButton);
    ClickOK();
    EXPECT_FALSE(Chart.LeftAxis().Logarithmic());
    EXPECT_EQ(Chart.Plot()->yAxis->scaleType(), QCPAxis::stLinear);
}
