// Parameters edited since the world was built: marked bold in their grid, on
// their tab and above the grids, and asked about when a run starts, so that
// no run goes on with values other than the grids show without saying so.

#include "MainWindow.h"

#include "Cell.h"
#include "CompactTabWidget.h"
#include "DisplayText.h"
#include "ParameterTableModel.h"
#include "ValueListEditor.h"

#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>

void TfmMain::MarkNotApplied()
{
    for (std::size_t t = 0; t < ParameterGrids.size(); ++t)
        ParameterGrids[t]->Model().SetAppliedValues(
            t < AppliedParameters.Tables.size() ? &AppliedParameters.Tables[t] : nullptr);
    ShowNotAppliedNotes();
}

namespace {

int NotAppliedRows(const TValueListEditor &grid)
{
    int rows = 0;
    for (int row = 0; row < grid.RowCount(); ++row)
        rows += grid.Model().NotApplied(row) ? 1 : 0;
    return rows;
}

} // namespace

void TfmMain::ShowNotAppliedNotes()
{
    const QString hint = tr("Changed values not applied: they take effect at \"Reset and apply\"");
    bool any = false;
    for (std::size_t t = 0; t < ParameterGrids.size(); ++t) {
        const QString caption = Text(Store.Tables[t].TabCaption);
        const bool changed = NotAppliedRows(*ParameterGrids[t]) > 0;
        any = any || changed;
        // The star in front, where a tab too narrow for its caption keeps it.
        const QString star = changed ? "* " : "";
        ParameterTabs->SetCaption(int(t), star + caption, star + BriefCaption(caption));
        if (changed)
            ParameterTabs->setTabToolTip(int(t), caption + ": " + hint);
    }
    if (auto *group = qobject_cast<QGroupBox *>(ParameterTabs->parentWidget())) {
        if (ApplyFailed) {
            group->setTitle(tr("Parameters: not applied, no world built from them"));
            group->setToolTip(tr("\"Reset and apply\" stopped at a value it cannot use: correct it and "
                                 "press \"Reset and apply\" again"));
        } else {
            group->setTitle(any ? tr("Parameters: not applied") : tr("Parameters:"));
            group->setToolTip(any ? hint : QString());
        }
    }
}

TfmMain::NotAppliedChoice TfmMain::AskAboutNotApplied()
{
    // A run at its end is extended by the grid's maximum time as it stands.
    const bool extending = World().Time >= TargetTime;
    QStringList captions;
    for (const TValueListEditor *grid : ParameterGrids)
        for (int row = 0; row < grid->RowCount(); ++row)
            if (grid->Model().NotApplied(row) && !(extending && grid->Key(row) == "SIM_TIME"))
                captions << grid->Caption(row);
    if (captions.isEmpty())
        return NotAppliedChoice::Continue;
    QMessageBox box(QMessageBox::Question, "Filonex",
                    tr("These parameters were changed but not applied; the world runs with the values it "
                       "was built from:\n\n%1")
                        .arg(captions.join('\n')),
                    QMessageBox::NoButton, this);
    box.setObjectName("NotAppliedQuestion");
    QPushButton *apply =
        box.addButton(tr("Apply the changed parameters (a new run)"), QMessageBox::AcceptRole);
    QPushButton *keep = box.addButton(tr("Continue with the applied ones"), QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(apply);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == apply)
        return NotAppliedChoice::Apply;
    return box.clickedButton() == keep ? NotAppliedChoice::Continue : NotAppliedChoice::Cancel;
}
