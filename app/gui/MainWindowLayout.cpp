// Building the main window: toolbar, parameter and info panels, the 2D and 3D
// pages and the status bar, with the component names the rest of the window
// (and its tests) find them by.

#include "MainWindow.h"

#include "Cell.h"
#include "Chart.h"
#include "Chartexport.h"
#include "DisplayText.h"
#include "ToolGlyphs.h"
#include "ValueListEditor.h"
#include "Window3d.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Two toggles of which at most one is down; both may be up.
void MakeAtMostOneDown(QToolButton *a, QToolButton *b)
{
    QObject::connect(a, &QToolButton::toggled, b, [b](bool down) {
        if (down)
            b->setChecked(false);
    });
    QObject::connect(b, &QToolButton::toggled, a, [a](bool down) {
        if (down)
            a->setChecked(false);
    });
}

void MakeExactlyOneDown(QObject *owner, std::initializer_list<QToolButton *> buttons)
{
    auto *group = new QButtonGroup(owner);
    group->setExclusive(true);
    for (QToolButton *button : buttons)
        group->addButton(button);
}

QVBoxLayout *TightColumn(QWidget *widget)
{
    auto *column = new QVBoxLayout(widget);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    return column;
}

} // namespace

QToolButton *TfmMain::AddToolButton(QToolBar *bar, const char *name, const QString &text,
                                    const QString &hint, const QIcon &glyph, bool checkable)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setToolTip(hint);
    button->setIcon(glyph);
    button->setCheckable(checkable);
    button->setAutoRaise(true);
    // Glyph buttons show their glyph; the "T", "Ch" and "M" toggles their text.
    button->setToolButtonStyle(glyph.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
    bar->addWidget(button);
    return button;
}

void TfmMain::CreateToolBar()
{
    auto *bar = new QToolBar(tr("Run"), this);
    bar->setObjectName("ToolBar1");
    bar->setMovable(false);
    addToolBar(Qt::TopToolBarArea, bar);

    BtnStart = AddToolButton(bar, "BtnStart", tr("Start"), tr("Start or continue the run"),
                             ThemeGlyph("media-playback-start", QStyle::SP_MediaPlay), false);
    BtnStop = AddToolButton(bar, "BtnStop", tr("Stop"), tr("Stop the run"),
                            ThemeGlyph("media-playback-stop", QStyle::SP_MediaStop), false);
    BtnResertAndApply =
        AddToolButton(bar, "BtnResertAndApply", tr("Reset and apply"),
                      tr("Rebuild the world from the parameters"),
                      ThemeGlyph("view-refresh", QStyle::SP_BrowserReload), false);
    bar->addSeparator();
    BtnTextInfoT = AddToolButton(bar, "BtnTextInfoT", "T",
                                 tr("Refresh the lists at each observation"), {}, true);
    bar->addSeparator();
    BtnSimChem = AddToolButton(bar, "BtnSimChem", "Ch", tr("Chemistry alone"), {}, true);
    BtnSimMech = AddToolButton(bar, "BtnSimMech", "M", tr("Chemistry with mechanics"), {}, true);
    MakeAtMostOneDown(BtnSimChem, BtnSimMech);
    bar->addSeparator();
    BtnExit = AddToolButton(bar, "BtnExit", tr("Exit"), "Exit the program",
                            ThemeGlyph("application-exit", QStyle::SP_DialogCloseButton), false);

    BtnTextInfoT->setChecked(true);
    BtnSimMech->setChecked(true);

    connect(BtnStart, &QToolButton::clicked, this, [this] { BtnStartClick(); });
    connect(BtnStop, &QToolButton::clicked, this, [this] { Guarded([this] { BtnStopClick(); }); });
    connect(BtnResertAndApply, &QToolButton::clicked, this,
            [this] { BtnResertAndApplyClick(); });
    connect(BtnExit, &QToolButton::clicked, this, &QWidget::close);
}

TValueListEditor *TfmMain::CreateGrid(const ParameterTable &table, const QString &nameTitle)
{
    auto *grid = new TValueListEditor(nameTitle, Text(kValueColumnTitle));
    grid->setObjectName(Text(table.SectionName));
    for (const ParameterRow &row : table.Rows) {
        const int at = grid->AddRow(Text(row.Key), Text(row.Caption), Text(row.Value));
        if (!row.PickList.empty() || row.ReadOnly) {
            QStringList items;
            for (const std::string &item : row.PickList)
                items << Text(item);
            grid->SetPickList(at, items, row.ReadOnly);
        }
    }
    return grid;
}

QWidget *TfmMain::CreateParameterPanel()
{
    auto *group = new QGroupBox(tr("Parameters:"));
    group->setObjectName("GroupBoxParameters");
    ParameterTabs = new QTabWidget(group);
    ParameterTabs->setObjectName("PageControlParameters");
    TightColumn(group)->addWidget(ParameterTabs);

    for (ParameterTable &table : Store.Tables) {
        TValueListEditor *grid = CreateGrid(table, Text(kNameColumnTitle));
        ParameterGrids.push_back(grid);
        ParameterTabs->addTab(grid, Text(table.TabCaption));
        // Edits go straight into the store; they take effect at the next
        // reset-and-apply (SIM_TIME also at the restart of a finished run).
        const std::string section = table.SectionName;
        connect(grid, &TValueListEditor::ValueEdited, this,
                [this, section](int row, const QString &, const QString &value) {
                    Store.Table(section)->Rows[row].Value = value.toStdString();
                });
    }
    ParameterTabs->setCurrentIndex(2); // "Simulation"
    return group;
}

QWidget *TfmMain::CreateInfoPanel()
{
    auto *group = new QGroupBox(tr("Info:"));
    group->setObjectName("GroupBoxInfo");
    InfoTabs = new QTabWidget(group);
    InfoTabs->setObjectName("PageControlInfo");
    TightColumn(group)->addWidget(InfoTabs);

    ValueListCurrentState = CreateGrid(Store.CurrentState, "Parameter");
    ValueListCurrentState->setEnabled(false);
    InfoTabs->addTab(ValueListCurrentState, "Current state");

    const auto addList = [this](const char *name, const char *tab, const char *nameTitle,
                                const auto &keys) {
        auto *grid = new TValueListEditor(nameTitle, "Value");
        grid->setObjectName(name);
        for (const char *key : keys)
            grid->AddRow(key, QString(), "0");
        InfoTabs->addTab(grid, tab);
        return grid;
    };
    ValueListNi = addList("ValueListNi", "N", "Player", CCell::SpeciesNames);
    ValueListNumOfReactions = addList("ValueListNumOfReactions", "Num of reactions", "Reaction",
                                      CCell::ReactionNames);
    ValueListA1i = addList("ValueListA1i", "A1", "Reaction", CCell::ReactionNames);
    ValueListAi = addList("ValueListAi", "A", "Reaction", CCell::ReactionNames);
    ValueListReactProb = addList("ValueListReactProb", "React prob", "Reaction",
                                 CCell::ReactionNames);
    InfoTabs->setCurrentIndex(0);
    return group;
}

QWidget *TfmMain::Create2DPage()
{
    auto *page = new QWidget;
    page->setObjectName("TabSheet2D");
    QVBoxLayout *column = TightColumn(page);

    auto *bar = new QToolBar(page);
    bar->setObjectName("ToolBar2D");
    column->addWidget(bar);
    Btn2DInfoT = AddToolButton(bar, "Btn2DInfoT", "T",
                               tr("Add chart points at each observation"), {}, true);
    Btn2DInfoT->setChecked(true);
    bar->addSeparator();
    QToolButton *config =
        AddToolButton(bar, "Btn2DChartConfig", tr("Configure"), tr("Configure the chart"),
                      ThemeGlyph("document-properties", QStyle::SP_FileDialogDetailedView), false);
    QToolButton *saveBmp =
        AddToolButton(bar, "Btn2ChartSaveBmp", tr("Save picture"),
                      tr("Save the chart as a bitmap"),
                      ThemeGlyph("image-x-generic", QStyle::SP_DesktopIcon), false);
    QToolButton *saveTxt = AddToolButton(bar, "Btn2ChartSaveTxt", tr("Save text"),
                                         tr("Save the chart's curves as text"),
                                         ThemeGlyph("document-save", QStyle::SP_DialogSaveButton),
                                         false);
    QToolButton *clear =
        AddToolButton(bar, "Btn2DChartClear", tr("Clear"), tr("Empty all curves of all charts"),
                      ThemeGlyph("edit-clear", QStyle::SP_DialogResetButton), false);

    ChartTabs = new QTabWidget(page);
    ChartTabs->setObjectName("PageControl2D");
    column->addWidget(ChartTabs, 1);
    const auto addChart = [this](const char *name, const char *tab) {
        auto *chart = new TChart;
        chart->setObjectName(name);
        chart->BottomAxis().SetTitle("Time");
        chart->LeftAxis().SetTitle("Number of molecules");
        ChartTabs->addTab(chart, tab);
        return chart;
    };
    Chart2DN = addChart("Chart2DN", "N");
    Chart2DNumOfReactions = addChart("Chart2DNumOfReactions", "Num of reactions");
    Chart2DA = addChart("Chart2DA", "A");
    Chart2DReactProb = addChart("Chart2DReactProb", "React prob");
    Chart2DSizeOfFilament = addChart("Chart2DSizeOfFilament", "Filament size");
    ChartTabs->setCurrentIndex(0);

    const auto addCurves = [](TChart *chart, const auto &names) {
        chart->RemoveAllSeries();
        for (const char *name : names)
            chart->AddSeries(name);
    };
    addCurves(Chart2DN, CCell::SpeciesNames);
    addCurves(Chart2DNumOfReactions, CCell::ReactionNames);
    addCurves(Chart2DA, CCell::ReactionNames);
    addCurves(Chart2DReactProb, CCell::ReactionNames);
    Chart2DSizeOfFilament->AddSeries("MeanFilamentSize", Qt::blue);
    Chart2DSizeOfFilament->AddSeries("FilamentSizeDistrib", Qt::red);

    connect(config, &QToolButton::clicked, this, [this] {
        Guarded([this] {
            if (TChart *chart = ActiveChart())
                ShowChartConfig(chart);
        });
    });
    connect(saveBmp, &QToolButton::clicked, this, [this] {
        Guarded([this] {
            if (TChart *chart = ActiveChart())
                ExportChartBitmap(chart);
        });
    });
    connect(saveTxt, &QToolButton::clicked, this, [this] {
        Guarded([this] {
            if (TChart *chart = ActiveChart())
                ExportChartText(chart);
        });
    });
    connect(clear, &QToolButton::clicked, this, [this] { ClearCharts(); });
    return page;
}

QWidget *TfmMain::Create3DPage()
{
    auto *page = new QWidget;
    page->setObjectName("TabSheet3D");
    QVBoxLayout *column = TightColumn(page);

    auto *bar = new QToolBar(page);
    bar->setObjectName("ToolBar3D");
    column->addWidget(bar);
    Btn3DInfoT = AddToolButton(bar, "Btn3DInfoT", "T",
                               tr("Refresh the 3D view at each observation"), {}, true);
    Btn3DInfoT->setChecked(true);
    bar->addSeparator();
    Btn3DChartRotate =
        AddToolButton(bar, "Btn3DChartRotate", tr("Rotate"), tr("Dragging rotates the view"),
                      ThemeGlyph("object-rotate-left", QStyle::SP_BrowserReload), true);
    Btn3DChartMoveXY = AddToolButton(bar, "Btn3DChartMoveXY", tr("Move XY"),
                                     tr("Dragging shifts the view sideways and up or down"),
                                     Glyph(DrawnGlyph::MoveXY), true);
    Btn3DChartMoveZ = AddToolButton(bar, "Btn3DChartMoveZ", tr("Move Z"),
                                    tr("Dragging shifts the view in depth"),
                                    Glyph(DrawnGlyph::MoveZ), true);
    MakeExactlyOneDown(this, {Btn3DChartRotate, Btn3DChartMoveXY, Btn3DChartMoveZ});
    Btn3DChartRotate->setChecked(true);
    QToolButton *resetView =
        AddToolButton(bar, "Btn3DChartResert", tr("Reset view"), tr("Reset the view"),
                      ThemeGlyph("go-home", QStyle::SP_DirHomeIcon), false);
    bar->addSeparator();
    SpeedButton1 = AddToolButton(bar, "SpeedButton1", tr("Solid"), tr("Draw the bacterium filled"),
                                 Glyph(DrawnGlyph::SolidSphere), true);
    SpeedButton2 = AddToolButton(bar, "SpeedButton2", tr("Wire frame"),
                                 tr("Draw the bacterium as a wire frame"),
                                 Glyph(DrawnGlyph::WireSphere), true);
    MakeExactlyOneDown(this, {SpeedButton1, SpeedButton2});
    SpeedButton1->setChecked(true);

    Window3D = new TWindow3D(page);
    Window3D->setObjectName("Window3D");
    column->addWidget(Window3D, 1);

    connect(resetView, &QToolButton::clicked, this, [this] { Btn3DChartResertClick(); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    return page;
}

void TfmMain::CreateStatusBar()
{
    struct Panel {
        int width;
        const char *text;
        QFrame::Shape shape;
        QFrame::Shadow shadow;
        Qt::Alignment alignment;
    };
    constexpr Qt::Alignment Left = Qt::AlignLeft | Qt::AlignVCenter;
    constexpr Qt::Alignment Right = Qt::AlignRight | Qt::AlignVCenter;
    const Panel panels[] = {
        {2, "", QFrame::Panel, QFrame::Raised, Left},
        {35, "Time:", QFrame::NoFrame, QFrame::Plain, Right},
        {100, "0.01", QFrame::Panel, QFrame::Sunken, Left},
        {12, "s", QFrame::NoFrame, QFrame::Plain, Left},
        {4, "", QFrame::Panel, QFrame::Raised, Left},
        {110, "Number of reactions:", QFrame::NoFrame, QFrame::Plain, Right},
        {75, "123400", QFrame::Panel, QFrame::Sunken, Left},
        {2, "", QFrame::NoFrame, QFrame::Plain, Left},
        {4, "", QFrame::Panel, QFrame::Raised, Left},
        {50, "", QFrame::NoFrame, QFrame::Plain, Left},
    };
    QStatusBar *bar = statusBar();
    bar->setObjectName("StatusBar1");
    bar->setSizeGripEnabled(false);
    std::vector<QLabel *> labels;
    for (const Panel &panel : panels) {
        auto *label = new QLabel(panel.text, bar);
        // The designed widths, widened where this platform's font needs more.
        label->setFixedWidth(std::max(panel.width, label->sizeHint().width()));
        label->setFrameStyle(panel.shape | panel.shadow);
        label->setAlignment(panel.alignment);
        bar->addWidget(label);
        labels.push_back(label);
    }
    StatusTime = labels[2];
    StatusTime->setObjectName("StatusTime");
    StatusReactions = labels[6];
    StatusReactions->setObjectName("StatusReactions");
    // The last panel widens to show a warning of the run.
    StatusWarning = labels[9];
    StatusWarning->setObjectName("StatusWarning");
    StatusWarning->setMaximumWidth(QWIDGETSIZE_MAX);
}

TChart *TfmMain::ActiveChart() const
{
    return qobject_cast<TChart *>(ChartTabs->currentWidget());
}
