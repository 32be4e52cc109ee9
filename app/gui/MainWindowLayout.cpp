// Building the main window: toolbar, parameter and info panels, the 2D and 3D
// pages and the status bar, with the component names the rest of the window
// (and its tests) find them by.

#include "MainWindow.h"

#include "BacteriumReadouts.h"
#include "Cell.h"
#include "Chart.h"
#include "Chartexport.h"
#include "CompactTabWidget.h"
#include "DisplayText.h"
#include "GuideWindow.h"
#include "KeyboardAccess.h"
#include "ObservationColumns.h"
#include "ParameterTableModel.h"
#include "RunProgress.h"
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
#include <stdexcept>

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

QToolButton *TfmMain::AddToolButton(QToolBar *bar, const char *name, const QString &text, const QString &hint,
                                    const QIcon &glyph, bool checkable, const QKeySequence &key)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setToolTip(ActionHint(text, hint, key));
    button->setIcon(glyph);
    button->setCheckable(checkable);
    button->setAutoRaise(true);
    // Glyph buttons show their glyph; the "T", "Ch" and "M" toggles their text.
    button->setToolButtonStyle(glyph.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
    bar->addWidget(button);
    // The window's shortcut, not the button's: a button the toolbar has put
    // behind its "››" is hidden, and a hidden button hears no keys.
    if (!key.isEmpty())
        AddShortcut(key, [button] {
            if (button->isEnabled())
                button->click();
        });
    return button;
}

void TfmMain::CreateToolBar()
{
    auto *bar = new QToolBar(tr("Run"), this);
    bar->setObjectName("ToolBar1");
    bar->setMovable(false);
    addToolBar(Qt::TopToolBarArea, bar);

    StartButton = AddToolButton(bar, "BtnStart", tr("Start"), tr("start or continue the run"),
                                ThemeGlyph("media-playback-start", QStyle::SP_MediaPlay), false,
                                Qt::Key_F5);
    StopButton = AddToolButton(bar, "BtnStop", tr("Stop"), tr("stop the run"),
                               ThemeGlyph("media-playback-stop", QStyle::SP_MediaStop), false,
                               Qt::SHIFT | Qt::Key_F5);
    ResetAndApplyButton = AddToolButton(bar, "BtnResertAndApply", tr("Reset and apply"),
                                        tr("build a new world from the parameters"),
                                        ThemeGlyph("view-refresh", QStyle::SP_BrowserReload), false,
                                        Qt::CTRL | Qt::Key_R);
    SaveWorldButton = AddToolButton(bar, "BtnSaveWorld", tr("Save world…"),
                                    tr("save the world to a file, to continue it exactly later"),
                                    ThemeGlyph("document-save", QStyle::SP_DialogSaveButton), false,
                                    QKeySequence::Save);
    OpenWorldButton =
        AddToolButton(bar, "BtnOpenWorld", tr("Open world…"), tr("continue a world saved in a file"),
                      ThemeGlyph("document-open", QStyle::SP_DialogOpenButton), false, QKeySequence::Open);
    QToolButton *saveTable =
        AddToolButton(bar, "BtnSaveTable", tr("Save table…"),
                      tr("save the observations of the run as a table, as filonex-batch --table writes it"),
                      ThemeGlyph("x-office-spreadsheet", QStyle::SP_FileDialogListView), false,
                      Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    connect(saveTable, &QToolButton::clicked, this, [this] { Guarded([this] { SaveTableClicked(); }); });
    bar->addSeparator();
    ListsDuringRunButton =
        AddToolButton(bar, "BtnTextInfoT", "T", tr("refresh the lists at each observation"), {}, true);
    bar->addSeparator();
    ChemistryOnlyButton = AddToolButton(bar, "BtnSimChem", "Ch", tr("chemistry alone"), {}, true);
    WithMechanicsButton = AddToolButton(bar, "BtnSimMech", "M", tr("chemistry with mechanics"), {}, true);
    MakeAtMostOneDown(ChemistryOnlyButton, WithMechanicsButton);
    bar->addSeparator();
    QToolButton *guide = AddToolButton(bar, "BtnGuide", tr("Guide"), tr("the user guide"),
                                       ThemeGlyph("help-contents", QStyle::SP_DialogHelpButton), false,
                                       QKeySequence::HelpContents);
    connect(guide, &QToolButton::clicked, this, [this] { ShowGuide(this); });
    ExitButton = AddToolButton(bar, "BtnExit", tr("Exit"), tr("close the program"),
                               ThemeGlyph("application-exit", QStyle::SP_DialogCloseButton), false,
                               QKeySequence::Quit);

    ListsDuringRunButton->setChecked(true);
    WithMechanicsButton->setChecked(true);

    connect(StartButton, &QToolButton::clicked, this, [this] { StartClicked(); });
    connect(StopButton, &QToolButton::clicked, this, [this] { Guarded([this] { StopClicked(); }); });
    connect(ResetAndApplyButton, &QToolButton::clicked, this, [this] { ResetAndApplyClicked(); });
    connect(SaveWorldButton, &QToolButton::clicked, this,
            [this] { Guarded([this] { SaveWorldClicked(); }); });
    connect(OpenWorldButton, &QToolButton::clicked, this,
            [this] { Guarded([this] { OpenWorldClicked(); }); });
    connect(ExitButton, &QToolButton::clicked, this, &QWidget::close);
}

TValueListEditor *TfmMain::CreateGrid(ParameterTable &table, const QString &nameTitle,
                                      const QString &valueTitle)
{
    auto *grid = new TValueListEditor(table, nameTitle, valueTitle);
    grid->setObjectName(Text(table.SectionName));
    return grid;
}

void TfmMain::CreateReadoutTables()
{
    const auto fill = [](ParameterTable &table, const char *name, const char *tab, const auto &keys) {
        table.SectionName = name;
        table.TabCaption = tab;
        for (const char *key : keys)
            table.Rows.push_back({key, {}, "0", {}, true});
    };
    fill(Readouts[0], "ValueListNi", "N", CCell::SpeciesNames);
    fill(Readouts[1], "ValueListNumOfReactions", "Num of reactions", ChannelNames());
    fill(Readouts[2], "ValueListA1i", "A1", ChannelNames());
    fill(Readouts[3], "ValueListAi", "A", ChannelNames());
    fill(Readouts[4], "ValueListReactProb", "React prob", ChannelNames());
    ParameterTable &bacterium = Readouts[5];
    bacterium.SectionName = "ValueListBacteriumMotion";
    bacterium.TabCaption = "Bacterium";
    for (const auto &[key, caption, hint] : kBacteriumReadouts)
        bacterium.Rows.push_back({key, caption, {}, {}, true, hint});
}

QWidget *TfmMain::CreateParameterPanel()
{
    auto *group = new QGroupBox(tr("Parameters:"));
    group->setObjectName("GroupBoxParameters");
    ParameterTabs = new TCompactTabWidget(group);
    ParameterTabs->setObjectName("PageControlParameters");
    TightColumn(group)->addWidget(ParameterTabs);

    for (ParameterTable &table : Store.Tables) {
        TValueListEditor *grid = CreateGrid(table, Text(kNameColumnTitle), Text(kValueColumnTitle));
        ParameterGrids.push_back(grid);
        // Edits go straight into the store; they take effect at the next
        // reset-and-apply (SIM_TIME also at the restart of a finished run).
        ParameterTabs->addTab(grid, Text(table.TabCaption));
        grid->Model().SetUnusedRows([this, section = table.SectionName](const ParameterRow &row) {
            return IsUnusedByMechanicsModel(Store, section, row.Key);
        });
        // A new mechanics model greys other rows, in this grid and the others.
        if (table.SectionName == kMechanics)
            connect(&grid->Model(), &QAbstractItemModel::dataChanged, this,
                    [this](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                        if (roles.contains(Qt::ForegroundRole))
                            return;
                        for (TValueListEditor *each : ParameterGrids)
                            each->Model().MarksChanged();
                    });
        connect(&grid->Model(), &QAbstractItemModel::dataChanged, this, [this] { ShowNotAppliedNotes(); });
    }
    ParameterTabs->setCurrentIndex(2); // "Simulation"
    return group;
}

QWidget *TfmMain::CreateInfoPanel()
{
    auto *group = new QGroupBox(tr("Info:"));
    group->setObjectName("GroupBoxInfo");
    InfoTabs = new TCompactTabWidget(group);
    InfoTabs->setObjectName("PageControlInfo");
    TightColumn(group)->addWidget(InfoTabs);

    // The current state is shown, never edited: its rows are read-only (and
    // the grid stays enabled, so that its hints show).
    for (ParameterRow &row : Store.CurrentState.Rows)
        row.ReadOnly = true;
    CurrentStateList = CreateGrid(Store.CurrentState, "Parameter", Text(kValueColumnTitle));
    InfoTabs->addTab(CurrentStateList, Text(Store.CurrentState.TabCaption));

    const auto addList = [this](ParameterTable &table, const char *nameTitle, const char *valueTitle) {
        TValueListEditor *grid = CreateGrid(table, nameTitle, valueTitle);
        InfoTabs->addTab(grid, Text(table.TabCaption));
        return grid;
    };
    // Counts are whole numbers; c and a are per second (c of one combination
    // of reacting molecules, whatever the channel's order).
    SpeciesList = addList(Readouts[0], "Species", "Molecules");
    ReactionCountList = addList(Readouts[1], "Reaction", "Reactions");
    RateConstantList = addList(Readouts[2], "Reaction", "Rate constant c [1/s]");
    PropensityList = addList(Readouts[3], "Reaction", "Propensity [1/s]");
    ProbabilityList = addList(Readouts[4], "Reaction", "Probability");
    BacteriumList = addList(Readouts[5], "Quantity", "Value");
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
    ChartsDuringRunButton =
        AddToolButton(bar, "Btn2DInfoT", "T", tr("add chart points at each observation"), {}, true);
    ChartsDuringRunButton->setChecked(true);
    bar->addSeparator();
    QToolButton *config =
        AddToolButton(bar, "Btn2DChartConfig", tr("Configure"), tr("configure the chart"),
                      ThemeGlyph("document-properties", QStyle::SP_FileDialogDetailedView), false);
    QToolButton *saveBmp =
        AddToolButton(bar, "Btn2ChartSaveBmp", tr("Save picture"), tr("save the chart as a bitmap"),
                      ThemeGlyph("image-x-generic", QStyle::SP_DesktopIcon), false);
    QToolButton *saveTxt =
        AddToolButton(bar, "Btn2ChartSaveTxt", tr("Save text"), tr("save the chart's curves as text"),
                      ThemeGlyph("document-save", QStyle::SP_DialogSaveButton), false);
    QToolButton *clear =
        AddToolButton(bar, "Btn2DChartClear", tr("Clear"), tr("empty all curves of all charts"),
                      ThemeGlyph("edit-clear", QStyle::SP_DialogResetButton), false);
    bar->addSeparator();
    LegendButton =
        AddToolButton(bar, "Btn2DLegend", tr("Legend"), tr("show which curve is which on every chart"),
                      Glyph(DrawnGlyph::Legend), true);

    ChartTabs = new TCompactTabWidget(page);
    ChartTabs->setObjectName("PageControl2D");
    column->addWidget(ChartTabs, 1);
    const ObservationColumns &columns = StandardColumns();
    for (const ObservationChart &kind : columns.Charts) {
        auto *chart = new TChart;
        chart->setObjectName(Text(kind.ObjectName));
        chart->BottomAxis().SetTitle(Text(kind.XTitle));
        chart->LeftAxis().SetTitle(Text(kind.YTitle));
        ChartTabs->addTab(chart, Text(kind.Tab));
        ChartList.push_back(chart);
    }
    ChartTabs->setCurrentIndex(0);
    const auto chartOf = [&](const std::string &tab) {
        for (std::size_t i = 0; i < columns.Charts.size(); ++i)
            if (columns.Charts[i].Tab == tab)
                return ChartList[i];
        throw std::logic_error("no chart '" + tab + "'");
    };
    for (const ObservationColumn &column : columns.Columns) {
        TChartSeries *curve = nullptr;
        if (column.Charted) {
            TChart *chart = chartOf(column.Chart);
            curve = chart->AddSeries(Text(column.Curve), column.Colour ? QColor::fromRgb(*column.Colour) : QColor());
        }
        ColumnCurves.push_back(curve);
    }
    // Sizes in monomers, not times: drawn from the filament list.
    SizeDistributionChart = chartOf("Size distribution");
    SizeDistributionChart->AddSeries("FilamentSizeDistrib", Qt::red);
    // Displacements span nanometres down to 1E-16 m: the general number
    // format, which switches to an exponent where fixed digits would show 0.
    chartOf("Bacterium")->LeftAxis().SetValueFormat({});

    connect(LegendButton, &QToolButton::toggled, this, [this](bool shown) {
        for (TChart *chart : Charts())
            chart->SetLegendVisible(shown);
    });
    LegendButton->setChecked(true);

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
    SceneDuringRunButton =
        AddToolButton(bar, "Btn3DInfoT", "T", tr("refresh the 3D view at each observation"), {}, true);
    SceneDuringRunButton->setChecked(true);
    bar->addSeparator();
    RotateViewButton = AddToolButton(bar, "Btn3DChartRotate", tr("Rotate"), tr("dragging rotates the view"),
                                     Glyph(DrawnGlyph::Rotate), true);
    PanViewButton = AddToolButton(bar, "Btn3DChartMoveXY", tr("Move XY"),
                                  tr("dragging shifts the view sideways and up or down"),
                                  Glyph(DrawnGlyph::MoveXY), true);
    ZoomViewButton = AddToolButton(bar, "Btn3DChartMoveZ", tr("Move Z"),
                                   tr("dragging shifts the view in depth"), Glyph(DrawnGlyph::MoveZ), true);
    MakeExactlyOneDown(this, {RotateViewButton, PanViewButton, ZoomViewButton});
    RotateViewButton->setChecked(true);
    QToolButton *resetView = AddToolButton(bar, "Btn3DChartResert", tr("Reset view"),
                                           tr("the whole box, seen from the front"),
                                           Glyph(DrawnGlyph::ResetView), false);
    bar->addSeparator();
    SolidBacteriumButton = AddToolButton(bar, "SpeedButton1", tr("Solid"), tr("draw the bacterium filled"),
                                         Glyph(DrawnGlyph::SolidSphere), true);
    WireFrameBacteriumButton =
        AddToolButton(bar, "SpeedButton2", tr("Wire frame"), tr("draw the bacterium as a wire frame"),
                      Glyph(DrawnGlyph::WireSphere), true);
    MakeExactlyOneDown(this, {SolidBacteriumButton, WireFrameBacteriumButton});
    SolidBacteriumButton->setChecked(true);
    bar->addSeparator();
    QToolButton *savePicture = AddToolButton(bar, "Btn3DSavePicture", tr("Save 3D picture…"),
                                             tr("save the 3D view as a PNG picture"),
                                             ThemeGlyph("image-x-generic", QStyle::SP_DesktopIcon), false);
    connect(savePicture, &QToolButton::clicked, this,
            [this] { Guarded([this] { Save3DPictureClicked(); }); });

    bar->addSeparator();
    RecordButton =
        AddToolButton(bar, "Btn3DRecord", tr("Record"),
                      tr("write a movie of the next run, a frame at each observation step"),
                      Glyph(DrawnGlyph::Record), true);

    Window3D = new TWindow3D(page);
    Window3D->setObjectName("Window3D");
    // A cube drawn square and a sphere round whatever the panel's shape.
    Window3D->SetProportional(true);
    column->addWidget(Window3D, 1);

    connect(resetView, &QToolButton::clicked, this, [this] { ResetViewClicked(); });
    connect(RecordButton, &QToolButton::toggled, this, [this](bool down) { RecordToggled(down); });
    connect(SolidBacteriumButton, &QToolButton::clicked, this, [this] { BacteriumStyleClicked(); });
    connect(WireFrameBacteriumButton, &QToolButton::clicked, this, [this] { BacteriumStyleClicked(); });
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
        {100, "", QFrame::Panel, QFrame::Sunken, Left},
        {12, "s", QFrame::NoFrame, QFrame::Plain, Left},
        {4, "", QFrame::Panel, QFrame::Raised, Left},
        {110, "Number of reactions:", QFrame::NoFrame, QFrame::Plain, Right},
        {75, "", QFrame::Panel, QFrame::Sunken, Left},
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
    // Wide enough for every time on a millisecond grid below 10^5 s (times
    // are shown as the observation step resolves them) and every count below
    // 10^12; anything longer shows whole as a hint.
    const auto fit = [](QLabel *label, const char *widest) {
        const QMargins frame = label->contentsMargins();
        const int needed = label->fontMetrics().horizontalAdvance(widest) + frame.left() + frame.right() + 6;
        label->setFixedWidth(std::max(label->minimumWidth(), needed));
    };
    fit(StatusTime, "88888.888");
    fit(StatusReactions, "888888888888");
    // The run's progress, before the warning.
    Progress = new TRunProgress(bar);
    bar->insertWidget(8, Progress, 1);
    // The last panel widens to show a warning of the run.
    StatusWarning = labels[9];
    StatusWarning->setObjectName("StatusWarning");
    StatusWarning->setMaximumWidth(QWIDGETSIZE_MAX);
    // Empty, it leaves its room to the progress.
    StatusWarning->setMinimumWidth(0);
}

TChart *TfmMain::ActiveChart() const
{
    return qobject_cast<TChart *>(ChartTabs->currentWidget());
}
