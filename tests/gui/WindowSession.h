#pragma once

// The window under test: one window on a settings file in a fresh folder,
// driven as a user would, with its messages recorded.

#include "Cell.h"
#include "Chart.h"
#include "MainWindow.h"
#include "Random.h"
#include "ValueListEditor.h"

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>
#include <optional>

// One window on a settings file in a fresh folder, with its messages recorded.
struct Session {
    QTemporaryDir folder;
    QString settingsPath = folder.filePath("filonex.ini");
    QStringList errors;
    QStringList warnings;
    std::unique_ptr<TfmMain> window;

    // With a seed, the first apply draws as a runner seeded alike does.
    void Open(std::optional<std::uint32_t> seed = {})
    {
        window =
            std::make_unique<TfmMain>(settingsPath, [this](TfmMain::MessageKind kind, const QString &text) {
                (kind == TfmMain::MessageKind::Error ? errors : warnings) << text;
            });
        if (seed)
            window->World().Random.SeedWith(*seed);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    template <class T>
    T *Find(const char *name) const
    {
        T *widget = window->findChild<T *>(name);
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    TValueListEditor *Grid(const char *name) const { return Find<TValueListEditor>(name); }
    QToolButton *Button(const char *name) const { return Find<QToolButton>(name); }
    TChart *Chart(const char *name) const { return Find<TChart>(name); }
    CCell &Cell() const { return window->World(); }

    void Click(const char *name) const { QTest::mouseClick(Button(name), Qt::LeftButton); }

    // Types into a parameter grid the way an edit arrives from the user.
    void SetParameter(const char *grid, const char *key, const QString &text) const
    {
        TValueListEditor *editor = Grid(grid);
        const int row = editor->RowOfKey(key);
        QVERIFY(row >= 0);
        editor->model()->setData(editor->model()->index(row, 1), text);
        QCOMPARE(QString::fromStdString(ParameterText(window->Parameters(), grid, key)), text);
    }

    QString State(const char *key) const
    {
        TValueListEditor *state = Grid("ValueListCurrentState");
        return state->Value(state->RowOfKey(key));
    }

    // Runs action on the window's thread while the run just started goes on
    // (in a world whose run lasts longer than the wait for this).
    void DuringRun(std::function<void()> action) const
    {
        QTimer::singleShot(0, window.get(), std::move(action));
    }

    // Answers the question a close during a run asks with the button of that
    // text, recording the question.
    void AnswerRunQuestion(const QString &button, QStringList &asked) const
    {
        AnswerQuestion("RunInProgressQuestion", button, asked);
    }

    // Answers the next question box of that object name with the button of
    // that text, recording the question.
    void AnswerQuestion(const QString &name, const QString &button, QStringList &asked) const
    {
        auto *poll = new QTimer(window.get());
        QObject::connect(poll, &QTimer::timeout, poll, [poll, name, button, &asked] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || box->objectName() != name)
                return;
            asked << box->text();
            for (QAbstractButton *choice : box->buttons())
                if (choice->text() == button)
                    choice->click();
            poll->deleteLater();
        });
        poll->start(10);
    }

    void WaitForRunEnd() const { QTRY_VERIFY_WITH_TIMEOUT(!window->RunInProgress(), 120000); }

    void Run(const char *button = "BtnStart") const
    {
        Click(button);
        WaitForRunEnd();
    }

    // A quick world: chemistry alone, short maximum time.
    void QuickChemistry(const QString &maxTime) const
    {
        SetParameter("ValueListSimulation", "SIM_TIME", maxTime);
        if (!Button("BtnSimChem")->isChecked())
            Click("BtnSimChem");
        Click("BtnResertAndApply");
    }

    int Points(const char *chart, int curve = 0) const { return Chart(chart)->Series(curve)->Count(); }
};
