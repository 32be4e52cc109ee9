#include "Chart.h"
#include "Chartexport.h"
#include "Chartprompts.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct Message {
    QMessageBox::Icon Icon;
    QString Text;
};

// Answers the save dialog with a fixed name and records the messages.
class ChartExport : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Folder.isValid());
        ChartPrompts().SaveFileName = [this](QWidget *, TSaveKind kind) {
            AskedKinds.push_back(kind);
            return Answer;
        };
        ChartPrompts().Message = [this](QWidget *, QMessageBox::Icon icon, const QString &text) {
            Messages.push_back({icon, text});
        };
        Chart.BottomAxis().SetTitle("Time");
        Chart.LeftAxis().SetTitle("Number of molecules");
    }
    void TearDown() override { ChartPrompts() = DefaultChartPrompts(); }

    QByteArray ReadFile(const QString &path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    QTemporaryDir Folder;
    QString Answer;
    std::vector<TSaveKind> AskedKinds;
    std::vector<Message> Messages;
    TChart Chart;
};

} // namespace

TEST_F(ChartExport, TextOfTheExampleChartByteForByte)
{
    TChartSeries *acg = Chart.AddSeries("ACG");
    acg->AddXY(0, 57812);
    acg->AddXY(0.01, 57809);
    TChartSeries *acf = Chart.AddSeries("ACF");
    acf->AddXY(0, 0);
    acf->AddXY(0.01, 3);
    Answer = Folder.filePath("chart.txt");

    ExportChartText(&Chart);

    ASSERT_EQ(AskedKinds.size(), 1u);
    EXPECT_EQ(AskedKinds[0], TSaveKind::Text);
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(ReadFile(Answer), QByteArray("Curve: ACG\t\tCurve: ACF\t\t\r\n"
                                           "Time\tNumber of molecules\tTime\tNumber of molecules\t\r\n"
                                           "0\t57812\t0\t0\t\r\n"
                                           "0.01\t57809\t0.01\t3\t\r\n"));
}

TEST_F(ChartExport, TextLeavesOutInactiveCurvesAndReplacesAnExistingFile)
{
    Chart.AddSeries("ACG")->AddXY(1, 2);
    TChartSeries *hidden = Chart.AddSeries("ACF");
    hidden->AddXY(5, 6);
    hidden->SetActive(false);
    Answer = Folder.filePath("chart.txt");
    QFile old(Answer);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(500, 'x'));
    old.close();

    ExportChartText(&Chart);

    EXPECT_EQ(ReadFile(Answer), QByteArray("Curve: ACG\t\t\r\nTime\tNumber of molecules\t\r\n1\t2\t\r\n"));
}

TEST_F(ChartExport, TextOfAChartWithoutCurvesWarnsWithoutAsking)
{
    ExportChartText(&Chart);
    EXPECT_TRUE(AskedKinds.empty());
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Icon, QMessageBox::Warning);
    EXPECT_EQ(Messages[0].Text, "Nothing to be export!");
}

TEST_F(ChartExport, TextIntoAMissingFolderCannotBeCreated)
{
    Chart.AddSeries("ACG");
    Answer = Folder.filePath("missing/chart.txt");
    ExportChartText(&Chart);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Icon, QMessageBox::Critical);
    EXPECT_EQ(Messages[0].Text, "Cannot create file!");
}

TEST_F(ChartExport, CancellingWritesNothingAndSaysNothing)
{
    Chart.AddSeries("ACG");
    Answer.clear();
    ExportChartText(&Chart);
    ExportChartBitmap(&Chart);
    EXPECT_EQ(AskedKinds.size(), 2u);
    EXPECT_TRUE(Messages.empty());
    EXPECT_TRUE(QDir(Folder.path()).isEmpty());
}

TEST_F(ChartExport, BitmapOpensAsABmpOfTheChartSize)
{
    TChartSeries *series = Chart.AddSeries("ACG", Qt::red);
    for (int i = 0; i < 50; ++i)
        series->AddXY(i, (i * 37) % 11);
    Chart.resize(420, 260);
    Chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Chart));
    // Even under another extension the file is a BMP picture.
    Answer = Folder.filePath("chart.png");

    ExportChartBitmap(&Chart);

    ASSERT_EQ(AskedKinds.size(), 1u);
    EXPECT_EQ(AskedKinds[0], TSaveKind::Bitmap);
    EXPECT_TRUE(Messages.empty());
    EXPECT_TRUE(ReadFile(Answer).startsWith("BM"));
    QImageReader reader(Answer);
    reader.setDecideFormatFromContent(true);
    EXPECT_EQ(reader.format(), "bmp");
    const QImage picture = reader.read();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(420, 260));
    bool curveDrawn = false;
    for (int y = 0; y < picture.height() && !curveDrawn; ++y)
        for (int x = 0; x < picture.width() && !curveDrawn; ++x)
            curveDrawn = picture.pixelColor(x, y) == QColor(Qt::red);
    EXPECT_TRUE(curveDrawn);
}

TEST_F(ChartExport, BitmapThatCannotBeWrittenIsReported)
{
    Chart.resize(100, 100);
    Answer = Folder.filePath("missing/chart.bmp");
    ExportChartBitmap(&Chart);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Icon, QMessageBox::Critical);
    EXPECT_TRUE(Messages[0].Text.startsWith("Cannot create file")) << Messages[0].Text.toStdString();
}

TEST_F(ChartExport, NoChartMeansNoAction)
{
    ExportChartText(nullptr);
    ExportChartBitmap(nullptr);
    ShowChartConfig(nullptr);
    EXPECT_TRUE(AskedKinds.empty());
    EXPECT_TRUE(Messages.empty());
}

TEST_F(ChartExport, SaveDialogsOfferFiltersDefaultExtensionAndOverwriteConfirmation)
{
    const std::unique_ptr<QFileDialog> bitmap(CreateSaveDialog(nullptr, TSaveKind::Bitmap));
    EXPECT_EQ(bitmap->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(bitmap->nameFilters(), QStringList({"BMP files (*.bmp)", "All files (*)"}));
    EXPECT_EQ(bitmap->defaultSuffix(), "bmp");
    EXPECT_FALSE(bitmap->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_TRUE(bitmap->isSizeGripEnabled());

    const std::unique_ptr<QFileDialog> text(CreateSaveDialog(nullptr, TSaveKind::Text));
    EXPECT_EQ(text->nameFilters(), QStringList({"Text files (*.txt)", "All files (*)"}));
    EXPECT_EQ(text->defaultSuffix(), "txt");
    text->setDirectory(Folder.path());
    text->selectFile("export");
    EXPECT_EQ(text->selectedFiles().value(0), Folder.filePath("export.txt"));
}

TEST_F(ChartExport, SaveDialogStaysOpenWhileTheFolderDoesNotExist)
{
    const std::unique_ptr<QFileDialog> dialog(CreateSaveDialog(nullptr, TSaveKind::Text));
    dialog->setDirectory(Folder.path());
    dialog->open();
    dialog->selectFile(Folder.filePath("missing/export.txt"));
    QMetaObject::invokeMethod(dialog.get(), "accept");
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Icon, QMessageBox::Warning);

    dialog->selectFile(Folder.filePath("export.txt"));
    QMetaObject::invokeMethod(dialog.get(), "accept");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(Messages.size(), 1u);
}

// The real dialogs: the message box titled with the application's title and
// the save dialog, answered as a user would.
TEST_F(ChartExport, RealMessageBoxCarriesTheApplicationTitle)
{
    ChartPrompts() = DefaultChartPrompts();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->windowTitle(), "Filonex");
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->text(), "Nothing to be export!");
        box->accept();
    });
    ExportChartText(&Chart);
    EXPECT_TRUE(seen);
}

TEST_F(ChartExport, RealSaveDialogAnsweredWithANameWithoutExtension)
{
    ChartPrompts().SaveFileName = DefaultChartPrompts().SaveFileName;
    Chart.AddSeries("ACG")->AddXY(0, 57812);
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->setDirectory(Folder.path());
        dialog->selectFile("export");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    ExportChartText(&Chart);
    EXPECT_EQ(ReadFile(Folder.filePath("export.txt")),
              QByteArray("Curve: ACG\t\t\r\nTime\tNumber of molecules\t\r\n0\t57812\t\r\n"));
}

TEST_F(ChartExport, RealSaveDialogCancelledWritesNothing)
{
    ChartPrompts().SaveFileName = DefaultChartPrompts().SaveFileName;
    Chart.AddSeries("ACG");
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->setDirectory(Folder.path());
        dialog->reject();
    });
    ExportChartBitmap(&Chart);
    EXPECT_TRUE(QDir(Folder.path()).isEmpty());
    EXPECT_TRUE(Messages.empty());
}
