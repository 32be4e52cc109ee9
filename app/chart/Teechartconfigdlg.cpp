#include "Teechartconfigdlg.h"

#include "Chart.h"
#include "Chartprompts.h"
#include "Colorbox.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// What a row of the curves grid carries besides its text.
constexpr int RowValueRole = Qt::UserRole;
constexpr int FlagColumn = 0;
constexpr int ColorColumn = 1;
constexpr int NameColumn = 2;

// The images of the curves grid, by their index in the dialog's image list.
enum GridImage { ColorsHeaderImage = 0, ShownHeaderImage = 2, HiddenImage = 3, ShownImage = 4 };

QPixmap GridImagePixmap(GridImage image)
{
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (image) {
    case ColorsHeaderImage: {
        const QColor quarters[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
        for (int i = 0; i < 4; ++i)
            painter.fillRect(QRect(1 + (i % 2) * 6, 1 + (i / 2) * 6, 6, 6), quarters[i]);
        painter.setPen(Qt::black);
        painter.drawRect(QRectF(0.5, 0.5, 12, 12));
        break;
    }
    case ShownHeaderImage: // an eye
        painter.setPen(QPen(Qt::black, 1.2));
        painter.drawEllipse(QRectF(1, 4, 12, 6));
        painter.setBrush(Qt::black);
        painter.drawEllipse(QRectF(5, 5, 4, 4));
        break;
    case HiddenImage:
    case ShownImage:
        painter.setPen(Qt::black);
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(1.5, 1.5, 10, 10));
        if (image == ShownImage) {
            painter.setPen(QPen(QColor(0, 128, 0), 2));
            painter.drawPolyline(QPolygonF({QPointF(3.5, 7), QPointF(6, 9.5), QPointF(10.5, 3.5)}));
        }
        break;
    }
    return pixmap;
}

void DrawCentred(QPainter &painter, const QRect &cell, GridImage image)
{
    const QPixmap pixmap = GridImagePixmap(image);
    painter.drawPixmap(cell.center() - QPoint(pixmap.width() / 2 - 1, pixmap.height() / 2 - 1), pixmap);
}

// Paints the grid's header row like a fixed row, then the dialog's icons.
class TCurvesGridDelegate : public QStyledItemDelegate {
public:
    TCurvesGridDelegate(const TTeeChartConfigDlg &dialog, QObject *parent)
        : QStyledItemDelegate(parent), Dialog(dialog)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (index.row() == 0) {
            painter->fillRect(option.rect, option.palette.color(QPalette::Button));
            painter->drawText(option.rect.adjusted(2, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft,
                              index.data().toString());
        } else {
            QStyledItemDelegate::paint(painter, option, index);
        }
        Dialog.CurvesGridDrawCell(*painter, option.rect, index.row(), index.column());
    }

private:
    const TTeeChartConfigDlg &Dialog;
};

// The width of an edit that shows that many average characters whole (12 px
// for its frame and text margins).
int WidthOfCharacters(const QLineEdit &edit, int characters)
{
    return edit.fontMetrics().averageCharWidth() * characters + 12;
}

QLineEdit *NumberEdit(QWidget *parent, const QString &name)
{
    auto *edit = new QLineEdit(QStringLiteral("0"), parent);
    edit->setObjectName(name);
    edit->setEnabled(false);
    return edit;
}

} // namespace

TTeeChartConfigDlg::TTeeChartConfigDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Configuration"));
    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("Pages"));
    Pages->addTab(CreateWindowPage(), QStringLiteral("Window"));
    Pages->addTab(CreateCurvesPage(), QStringLiteral("Curves"));
    Pages->addTab(CreateAxesPage(), QStringLiteral("Axes"));
    Pages->addTab(CreateLabelsPage(), QStringLiteral("Labels"));
    Pages->setCurrentWidget(CurvesTab);

    OKBtn = new QPushButton(QStringLiteral("&OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(OKBtn, &QPushButton::clicked, this, &TTeeChartConfigDlg::OKClicked);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(Pages);
    layout->addLayout(buttons);
    // Opens large enough for every control and its text, at least 325 x 204.
    resize(sizeHint().expandedTo(QSize(325, 204)));
}

TTeeChartConfigDlg::~TTeeChartConfigDlg() = default;

QWidget *TTeeChartConfigDlg::CreateWindowPage()
{
    WindowTab = new QWidget;
    WindowTab->setObjectName(QStringLiteral("WindowTab"));
    auto *layout = new QGridLayout(WindowTab);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setVerticalSpacing(2);
    const auto addBox = [&](const char *name, const QString &caption, int row) {
        auto *box = new TColorBox(WindowTab);
        box->setObjectName(QLatin1String(name));
        // Narrow enough to leave the captions their room.
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(8);
        auto *label = new QLabel(caption, WindowTab);
        label->setBuddy(box);
        layout->addWidget(label, row, 0);
        layout->addWidget(box, row, 1);
        return box;
    };
    BackgroundBox = addBox("BackgroundBox", QStringLiteral("Background color:"), 0);
    GridBox = addBox("GridBox", QStringLiteral("Grid color:"), 1);
    FontBox = addBox("FontBox", QStringLiteral("Font color:"), 2);
    MarginsBox = addBox("MarginsBox", QStringLiteral("Margins color:"), 3);
    DefaultColorsBtn = new QPushButton(QStringLiteral("Default"), WindowTab);
    DefaultColorsBtn->setObjectName(QStringLiteral("DefaultColorsBtn"));
    layout->addWidget(DefaultColorsBtn, 0, 2, Qt::AlignTop);
    layout->setColumnStretch(1, 1);
    connect(DefaultColorsBtn, &QPushButton::clicked, this, &TTeeChartConfigDlg::DefaultColorsBtnClick);
    return WindowTab;
}

QWidget *TTeeChartConfigDlg::CreateCurvesPage()
{
    CurvesTab = new QWidget;
    CurvesTab->setObjectName(QStringLiteral("CurvesTab"));
    CurvesGrid = new QTableWidget(2, 4, CurvesTab);
    CurvesGrid->setObjectName(QStringLiteral("CurvesGrid"));
    CurvesGrid->horizontalHeader()->hide();
    CurvesGrid->verticalHeader()->hide();
    CurvesGrid->verticalHeader()->setDefaultSectionSize(18);
    CurvesGrid->horizontalHeader()->setMinimumSectionSize(0);
    CurvesGrid->horizontalHeader()->setDefaultSectionSize(64);
    CurvesGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    CurvesGrid->setSelectionMode(QAbstractItemView::NoSelection);
    CurvesGrid->setFocusPolicy(Qt::NoFocus);
    CurvesGrid->setItemDelegate(new TCurvesGridDelegate(*this, CurvesGrid));
    CurvesGrid->viewport()->installEventFilter(this);
    const int widths[] = {18, 18, 128, 64};
    for (int column = 0; column < 4; ++column)
        CurvesGrid->setColumnWidth(column, widths[column]);
    CurvesGrid->setItem(0, NameColumn, new QTableWidgetItem(QStringLiteral("Name")));
    ShowNoCurves();
    auto *layout = new QVBoxLayout(CurvesTab);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(CurvesGrid);
    return CurvesTab;
}

TTeeChartConfigDlg::AxisControls TTeeChartConfigDlg::CreateAxisGroup(const QString &prefix,
                                                                     const QString &caption)
{
    AxisControls controls{};
    controls.Group = new QGroupBox(caption, AxesTab);
    controls.TitleCheckBox = new QCheckBox(QStringLiteral("Title:"), controls.Group);
    controls.TitleCheckBox->setObjectName(prefix + "TitleCheckBox");
    controls.TitleEdit = new QLineEdit(controls.Group);
    controls.TitleEdit->setObjectName(prefix + "TitleEdit");
    controls.AutoCheckBox = new QCheckBox(QStringLiteral("Automatic range"), controls.Group);
    controls.AutoCheckBox->setObjectName(prefix + "AutoCheckBox");
    controls.MinLabel = new QLabel(QStringLiteral("Min:"), controls.Group);
    controls.MinLabel->setObjectName(prefix + "MinLabel");
    controls.MinLabel->setEnabled(false);
    controls.MinEdit = NumberEdit(controls.Group, prefix + "MinEdit");
    controls.MaxLabel = new QLabel(QStringLiteral("Max:"), controls.Group);
    controls.MaxLabel->setObjectName(prefix + "MaxLabel");
    controls.MaxLabel->setEnabled(false);
    controls.MaxEdit = NumberEdit(controls.Group, prefix + "MaxEdit");
    controls.LogCheckBox = new QCheckBox(QStringLiteral("Logarithmic"), controls.Group);
    controls.LogCheckBox->setObjectName(prefix + "LogCheckBox");
    // Room for axis titles with their units, such as "Mean size [monomers]".
    controls.TitleEdit->setMinimumWidth(WidthOfCharacters(*controls.TitleEdit, 24));

    auto *layout = new QGridLayout(controls.Group);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setVerticalSpacing(2);
    layout->addWidget(controls.TitleCheckBox, 0, 0);
    layout->addWidget(controls.TitleEdit, 0, 1);
    layout->addWidget(controls.AutoCheckBox, 1, 0, 1, 2, Qt::AlignLeft);
    layout->addWidget(controls.MinLabel, 2, 0);
    layout->addWidget(controls.MinEdit, 2, 1);
    layout->addWidget(controls.MaxLabel, 3, 0);
    layout->addWidget(controls.MaxEdit, 3, 1);
    layout->addWidget(controls.LogCheckBox, 4, 0, 1, 2, Qt::AlignLeft);
    return controls;
}

QWidget *TTeeChartConfigDlg::CreateAxesPage()
{
    AxesTab = new QWidget;
    AxesTab->setObjectName(QStringLiteral("AxesTab"));
    LeftAxisControls = CreateAxisGroup(QStringLiteral("Y"), QStringLiteral(" Left "));
    BottomAxisControls = CreateAxisGroup(QStringLiteral("X"), QStringLiteral(" Bottom "));
    connect(LeftAxisControls.AutoCheckBox, &QCheckBox::clicked, this,
            &TTeeChartConfigDlg::YAutoCheckBoxClick);
    connect(BottomAxisControls.AutoCheckBox, &QCheckBox::clicked, this,
            &TTeeChartConfigDlg::XAutoCheckBoxClick);
    auto *layout = new QHBoxLayout(AxesTab);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(LeftAxisControls.Group);
    layout->addWidget(BottomAxisControls.Group);
    return AxesTab;
}

TTeeChartConfigDlg::LabelControls TTeeChartConfigDlg::CreateLabelGroup(const QString &prefix,
                                                                       const QString &caption)
{
    LabelControls controls{};
    controls.Group = new QGroupBox(caption, LabelsTab);
    controls.AutoCheckBox = new QCheckBox(QStringLiteral("Automatic"), controls.Group);
    controls.AutoCheckBox->setObjectName(prefix + "AutoLabelsCheckBox");
    controls.IncrementLabel = new QLabel(QStringLiteral("Increment:"), controls.Group);
    controls.IncrementLabel->setObjectName(prefix + "IncrementLabel");
    controls.IncrementEdit = new QLineEdit(controls.Group);
    controls.IncrementEdit->setObjectName(prefix + "IncrementEdit");
    controls.NoOverlapCheckBox = new QCheckBox(QStringLiteral("No overlapping"), controls.Group);
    controls.NoOverlapCheckBox->setObjectName(prefix + "NoOverlapCheckBox");
    controls.FormatEdit = new QLineEdit(controls.Group);
    controls.FormatEdit->setObjectName(prefix + "FormatEdit");
    controls.FormatEdit->setMinimumWidth(WidthOfCharacters(*controls.FormatEdit, 14));

    auto *layout = new QGridLayout(controls.Group);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setVerticalSpacing(2);
    layout->addWidget(controls.AutoCheckBox, 0, 0, 1, 2, Qt::AlignLeft);
    layout->addWidget(controls.IncrementLabel, 1, 0);
    layout->addWidget(controls.IncrementEdit, 1, 1);
    layout->addWidget(controls.NoOverlapCheckBox, 2, 0, 1, 2, Qt::AlignLeft);
    layout->addWidget(new QLabel(QStringLiteral("Format:"), controls.Group), 3, 0);
    layout->addWidget(controls.FormatEdit, 3, 1);
    return controls;
}

QWidget *TTeeChartConfigDlg::CreateLabelsPage()
{
    LabelsTab = new QWidget;
    LabelsTab->setObjectName(QStringLiteral("LabelsTab"));
    LeftLabelControls = CreateLabelGroup(QStringLiteral("Y"), QStringLiteral(" Left "));
    BottomLabelControls = CreateLabelGroup(QStringLiteral("X"), QStringLiteral(" Bottom "));
    connect(LeftLabelControls.AutoCheckBox, &QCheckBox::clicked, this,
            &TTeeChartConfigDlg::YAutoLabelsCheckBoxClick);
    connect(BottomLabelControls.AutoCheckBox, &QCheckBox::clicked, this,
            &TTeeChartConfigDlg::XAutoLabelsCheckBoxClick);
    auto *layout = new QHBoxLayout(LabelsTab);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(LeftLabelControls.Group);
    layout->addWidget(BottomLabelControls.Group);
    return LabelsTab;
}

void TTeeChartConfigDlg::ShowChartConfig(TChart *chart, std::initializer_list<int> pages)
{
    TTeeChartConfigDlg dialog(chart != nullptr ? chart->window() : nullptr);
    dialog.Chart = chart;
    for (int page = 0; page < dialog.Pages->count(); ++page)
        dialog.Pages->setTabVisible(page, std::find(pages.begin(), pages.end(), page) != pages.end());
    dialog.LoadFromChart();
    dialog.exec();
}

void TTeeChartConfigDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    move(screen()->availableGeometry().center() - rect().center());
}

void TTeeChartConfigDlg::LoadFromChart()
{
    if (Chart == nullptr)
        RaiseNoChart();
    if (IsPageVisible(QStringLiteral("Window page")))
        LoadWindowPage();
    if (IsPageVisible(QStringLiteral("Curves page")))
        LoadCurvesPage();
    if (IsPageVisible(QStringLiteral("Axes page")))
        LoadAxesPage();
    if (IsPageVisible(QStringLiteral("Labels page")))
        LoadLabelsPage();
    // Every curve in sight without scrolling, and the dialog as large as its
    // pages then need, within the screen.
    const QMargins frame = CurvesGrid->contentsMargins();
    int rowsHeight = 0;
    for (int row = 0; row < CurvesGrid->rowCount(); ++row)
        rowsHeight += CurvesGrid->rowHeight(row);
    CurvesGrid->setMinimumHeight(rowsHeight + frame.top() + frame.bottom());
    QSize wanted = size().expandedTo(sizeHint());
    if (const QScreen *shown = screen())
        wanted = wanted.boundedTo(shown->availableGeometry().size());
    resize(wanted);
}

void TTeeChartConfigDlg::OKBtnClick()
{
    if (Chart == nullptr)
        RaiseNoChart();
    if (IsPageVisible(QStringLiteral("Window page")))
        ApplyWindowPage();
    if (IsPageVisible(QStringLiteral("Curves page")))
        ApplyCurvesPage();
    if (IsPageVisible(QStringLiteral("Axes page")))
        ApplyAxesPage();
    if (IsPageVisible(QStringLiteral("Labels page")))
        ApplyLabelsPage();
    Chart->Repaint();
    accept();
}

void TTeeChartConfigDlg::OKClicked()
{
    // The error of a number text that does not convert is shown, and the
    // dialog stays open for the user to mend it.
    try {
        OKBtnClick();
    } catch (const std::exception &error) {
        ShowChartMessage(this, QMessageBox::Critical, QString::fromUtf8(error.what()));
    }
}

// Window page.

void TTeeChartConfigDlg::LoadWindowPage()
{
    SetColorItem(QStringLiteral("Margins"), Chart->Color());
    SetColorItem(QStringLiteral("Background"), Chart->BackColor());
    SetColorItem(QStringLiteral("Grid"), AxisByName(QStringLiteral("X")).GridColor());
    SetColorItem(QStringLiteral("Fonts"), Chart->TitleFontColor());
}

void TTeeChartConfigDlg::ApplyWindowPage()
{
    Chart->SetColor(GetColorItem(QStringLiteral("Margins")));
    Chart->SetBackColor(GetColorItem(QStringLiteral("Background")));
    const QColor grid = GetColorItem(QStringLiteral("Grid"));
    const QColor fonts = GetColorItem(QStringLiteral("Fonts"));
    for (const QString &axis : {QStringLiteral("X"), QStringLiteral("Y")}) {
        AxisByName(axis).SetGridColor(grid);
        AxisByName(axis).SetLabelsFontColor(fonts);
    }
    Chart->SetTitleFontColor(fonts);
}

void TTeeChartConfigDlg::DefaultColorsBtnClick()
{
    SetColorItem(QStringLiteral("Background"), QColor(128, 128, 128));
    SetColorItem(QStringLiteral("Grid"), QColor(192, 192, 192));
    SetColorItem(QStringLiteral("Fonts"), QColor(0, 0, 0));
    SetColorItem(QStringLiteral("Margins"), QApplication::palette().color(QPalette::Button));
}

// Curves page.

void TTeeChartConfigDlg::ShowNoCurves()
{
    CurvesGrid->setRowCount(2);
    for (int column = 0; column < CurvesGrid->columnCount(); ++column)
        CurvesGrid->setItem(1, column, new QTableWidgetItem);
    CurvesGrid->item(1, NameColumn)->setText(QStringLiteral("No Curves"));
    CurvesGrid->setEnabled(false);
}

void TTeeChartConfigDlg::LoadCurvesPage()
{
    CurvesGrid->setEnabled(false);
    CurvesGrid->setColumnCount(6);
    // The columns after the name hold nothing; the name takes their room.
    for (int column = NameColumn + 1; column < CurvesGrid->columnCount(); ++column)
        CurvesGrid->setColumnHidden(column, true);
    CurvesGrid->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    if (Chart->SeriesCount() == 0) {
        ShowNoCurves();
        return;
    }
    CurvesGrid->setRowCount(Chart->SeriesCount() + 1);
    for (int i = 0; i < Chart->SeriesCount(); ++i) {
        TChartSeries *series = Chart->Series(i);
        const int row = i + 1;
        for (int column = 0; column < CurvesGrid->columnCount(); ++column)
            CurvesGrid->setItem(row, column, new QTableWidgetItem);
        CurvesGrid->item(row, NameColumn)->setText(series->Title());
        CurvesGrid->item(row, NameColumn)->setData(RowValueRole, QVariant::fromValue<void *>(series));
        CurvesGrid->item(row, FlagColumn)->setData(RowValueRole, series->Active());
        CurvesGrid->item(row, ColorColumn)->setData(RowValueRole, series->Color());
    }
    CurvesGrid->setEnabled(true);
}

void TTeeChartConfigDlg::ApplyCurvesPage()
{
    if (!CurvesGrid->isEnabled())
        return;
    for (int row = 1; row < CurvesGrid->rowCount(); ++row) {
        auto *series = static_cast<TChartSeries *>(
            CurvesGrid->item(row, NameColumn)->data(RowValueRole).value<void *>());
        series->SetActive(CurvesGrid->item(row, FlagColumn)->data(RowValueRole).toBool());
        series->SetColor(CurvesGrid->item(row, ColorColumn)->data(RowValueRole).value<QColor>());
    }
}

void TTeeChartConfigDlg::CurvesGridDrawCell(QPainter &painter, const QRect &cell, int row, int column) const
{
    if (row == 0) {
        if (column == ColorColumn)
            DrawCentred(painter, cell, ColorsHeaderImage);
        else if (column == FlagColumn)
            DrawCentred(painter, cell, ShownHeaderImage);
        return;
    }
    const QTableWidgetItem *item = CurvesGrid->item(row, column);
    if (item == nullptr || !item->data(RowValueRole).isValid())
        return;
    if (column == ColorColumn) {
        const QRect swatch = cell.adjusted(2, 2, -3, -3);
        painter.fillRect(swatch, item->data(RowValueRole).value<QColor>());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(swatch);
    } else if (column == FlagColumn) {
        DrawCentred(painter, cell, item->data(RowValueRole).toBool() ? ShownImage : HiddenImage);
    }
}

bool TTeeChartConfigDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == CurvesGrid->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            CurvesGridMouseDown(static_cast<QMouseEvent *>(event)->position().toPoint());
        else if (event->type() == QEvent::MouseButtonRelease)
            CurvesGridMouseUp(static_cast<QMouseEvent *>(event)->position().toPoint());
    }
    return QDialog::eventFilter(watched, event);
}

void TTeeChartConfigDlg::CurvesGridMouseDown(const QPoint &position)
{
    const QModelIndex cell = CurvesGrid->indexAt(position);
    PressedRow = cell.row();
    PressedColumn = cell.column();
}

void TTeeChartConfigDlg::CurvesGridMouseUp(const QPoint &position)
{
    const QModelIndex cell = CurvesGrid->indexAt(position);
    if (!cell.isValid() || cell.row() != PressedRow || cell.column() != PressedColumn || cell.row() < 1)
        return;
    QTableWidgetItem *item = CurvesGrid->item(cell.row(), cell.column());
    if (cell.column() == ColorColumn) {
        const QColor chosen = ChartPrompts().Color(this, item->data(RowValueRole).value<QColor>());
        if (chosen.isValid())
            item->setData(RowValueRole, chosen);
    } else if (cell.column() == FlagColumn) {
        item->setData(RowValueRole, !item->data(RowValueRole).toBool());
    }
}

// Axes page.

void TTeeChartConfigDlg::LoadAxesPage()
{
    for (const QString &axis : {QStringLiteral("Y"), QStringLiteral("X")}) {
        const TChartAxis &chartAxis = AxisByName(axis);
        SetAutoBox(axis + " axis", chartAxis.Automatic());
        SetMinValue(axis, chartAxis.Minimum());
        SetMaxValue(axis, chartAxis.Maximum());
    }
    LoadAxisTitle(QStringLiteral("Y axis"), QStringLiteral("Y"), QStringLiteral("Y2"));
    LoadAxisTitle(QStringLiteral("X axis"), QStringLiteral("X"), QStringLiteral("X2"));
    SetLogarithmic(QStringLiteral("X"), AxisByName(QStringLiteral("X")).Logarithmic());
    SetLogarithmic(QStringLiteral("Y"), AxisByName(QStringLiteral("Y")).Logarithmic());
}

void TTeeChartConfigDlg::LoadAxisTitle(const QString &key, const QString &axis, const QString &opposite)
{
    const QString title = AxisByName(axis).Title();
    const bool shown = !title.isEmpty();
    SetTitleText(key, shown ? title : AxisByName(opposite).Title());
    SetTitleShown(key, shown);
}

void TTeeChartConfigDlg::ApplyAxesPage()
{
    Chart->UndoZoom();
    ApplyAxisRange(QStringLiteral("Y"));
    ApplyAxisTitle(QStringLiteral("Y axis"), QStringLiteral("Y"), QStringLiteral("Y2"));
    ApplyAxisRange(QStringLiteral("X"));
    ApplyAxisTitle(QStringLiteral("X axis"), QStringLiteral("X"), QStringLiteral("X2"));
    AxisByName(QStringLiteral("X")).SetLogarithmic(IsLogarithmic(QStringLiteral("X")));
    AxisByName(QStringLiteral("Y")).SetLogarithmic(IsLogarithmic(QStringLiteral("Y")));
}

void TTeeChartConfigDlg::ApplyAxisRange(const QString &axis)
{
    TChartAxis &chartAxis = AxisByName(axis);
    if (IsAutoBox(axis + " axis"))
        chartAxis.SetAutomatic(true);
    else
        chartAxis.SetMinMax(GetMinValue(axis), GetMaxValue(axis));
}

void TTeeChartConfigDlg::ApplyAxisTitle(const QString &key, const QString &axis, const QString &opposite)
{
    // An unchecked title keeps its text, unseen, on the opposite axis.
    const QString text = GetTitleText(key);
    const bool shown = IsTitleShown(key);
    AxisByName(axis).SetTitle(shown ? text : QString());
    AxisByName(opposite).SetTitle(shown ? QString() : text);
}

void TTeeChartConfigDlg::EnableRangeEdits(const QString &axis)
{
    const AxisControls &controls = AxisGroup(axis);
    const bool enabled = !controls.AutoCheckBox->isChecked();
    for (QWidget *control :
         {static_cast<QWidget *>(controls.MinLabel), static_cast<QWidget *>(controls.MinEdit),
          static_cast<QWidget *>(controls.MaxLabel), static_cast<QWidget *>(controls.MaxEdit)})
        control->setEnabled(enabled);
}

void TTeeChartConfigDlg::AutoRangeClicked(const QString &axis)
{
    EnableRangeEdits(axis);
    if (!AxisGroup(axis).AutoCheckBox->isChecked() || Chart == nullptr)
        return;
    const bool vertical = axis == "Y";
    SetMinValue(axis, vertical ? Chart->MinYValue() : Chart->MinXValue());
    SetMaxValue(axis, vertical ? Chart->MaxYValue() : Chart->MaxXValue());
}

void TTeeChartConfigDlg::YAutoCheckBoxClick()
{
    AutoRangeClicked(QStringLiteral("Y"));
}

void TTeeChartConfigDlg::XAutoCheckBoxClick()
{
    AutoRangeClicked(QStringLiteral("X"));
}

// Labels page.

void TTeeChartConfigDlg::LoadLabelsPage()
{
    for (const QString &axis : {QStringLiteral("Y"), QStringLiteral("X")}) {
        const TChartAxis &chartAxis = AxisByName(axis);
        SetLabelFormat(axis, chartAxis.ValueFormat());
        SetAutoBox(axis + " labels", chartAxis.Increment() == 0.0);
        SetIncrement(axis, chartAxis.Increment());
        SetNoOverlapping(axis, chartAxis.LabelsSeparation() != 0);
    }
}

void TTeeChartConfigDlg::ApplyLabelsPage()
{
    TChartAxis &left = AxisByName(QStringLiteral("Y"));
    TChartAxis &bottom = AxisByName(QStringLiteral("X"));
    left.SetValueFormat(GetLabelFormat(QStringLiteral("Y")));
    bottom.SetValueFormat(GetLabelFormat(QStringLiteral("X")));
    left.SetIncrement(GetIncrement(QStringLiteral("Y")));
    bottom.SetIncrement(GetIncrement(QStringLiteral("X")));
    left.SetLabelsSeparation(IsNoOverlapping(QStringLiteral("Y")) ? 5 : 0);
    bottom.SetLabelsSeparation(IsNoOverlapping(QStringLiteral("X")) ? 5 : 0);
}

void TTeeChartConfigDlg::EnableIncrementEdits(const QString &axis)
{
    const LabelControls &controls = LabelGroup(axis);
    const bool enabled = !controls.AutoCheckBox->isChecked();
    controls.IncrementLabel->setEnabled(enabled);
    controls.IncrementEdit->setEnabled(enabled);
    controls.NoOverlapCheckBox->setEnabled(enabled);
}

void TTeeChartConfigDlg::AutoLabelsClicked(const QString &axis)
{
    EnableIncrementEdits(axis);
    if (LabelGroup(axis).AutoCheckBox->isChecked()) {
        SetIncrement(axis, 0.0);
        SetNoOverlapping(axis, true);
    } else {
        SetIncrement(axis, AxisByName(axis).CalcIncrement());
    }
}

void TTeeChartConfigDlg::YAutoLabelsCheckBoxClick()
{
    AutoLabelsClicked(QStringLiteral("Y"));
}

void TTeeChartConfigDlg::XAutoLabelsCheckBoxClick()
{
    AutoLabelsClicked(QStringLiteral("X"));
}
