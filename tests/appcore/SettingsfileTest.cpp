#include "Parameters.h"
#include "Settingsfile.h"
#include "Settingsfilecheck.h"
#include "TestSupport.h"

namespace {

TEST(SettingsFile, MissingFileGivesDefaults)
{
    ScratchDirectory dir;
    const SettingsFile settings(dir.File("none.ini"));
    EXPECT_EQ(settings.ReadString("ValueListRates", "RATE_FORM", "1E-6"), "1E-6");
    EXPECT_FALSE(settings.HasValue("ValueListRates", "RATE_FORM"));
}

TEST(SettingsFile, ReadsByCaseInsensitiveSectionAndIdent)
{
    ScratchDirectory dir;
    WriteFile(dir.File("a.ini"), "; comment\r\n"
                                 "[First]\r\n"
                                 "Key = value with blanks  \r\n"
                                 "Empty=\r\n"
                                 "[Second]\r\n"
                                 "key=other\r\n");
    const SettingsFile settings(dir.File("a.ini"));
    EXPECT_EQ(settings.ReadString("first", "KEY", "d"), "value with blanks");
    EXPECT_EQ(settings.ReadString("First", "Empty", "d"), "");
    EXPECT_EQ(settings.ReadString("Second", "Key", "d"), "other");
    EXPECT_EQ(settings.ReadString("Second", "Empty", "d"), "d");
    EXPECT_EQ(settings.ReadString("Third", "Key", "d"), "d");
}

TEST(SettingsFile, WarningsNameWhatIsNotKnownAndTheClosestKnownName)
{
    ScratchDirectory dir;
    const std::string path = dir.File("a.ini");
    ParameterStore store;
    CreateParameterTables(store, nullptr);
    const std::string noSection = "no known section in " + path + "; the default parameters are used";
    const std::pair<const char *, std::vector<std::string>> cases[] = {
        {"", {}},
        {"; only a comment\n\n[valuelistrates]\nrate_form=1\n", {}},
        {"[window]\nWidth=900\n[ValueListRates]\nRATE_FORM=1\n", {}},
        {"[ValueListConcentration]\nC_ACG=0\n",
         {"unknown section [ValueListConcentration] in " + path +
              " is ignored; did you mean [ValueListConcentrations]?",
          noSection}},
        {"[ValueListRates]\nRATE_FROM=1\n",
         {"unknown ident RATE_FROM in [ValueListRates] of " + path + " is ignored; did you mean RATE_FORM?"}},
        {"hello\n",
         {"line 1 of " + path + " is ignored (neither a [Section] line nor an Ident=Value entry): hello",
          noSection}},

        // Lines that are not understood, with their numbers.
        {"[ValueListConcentrations]\n\n; C_ACG=1\nC_ACG: 0\nC_CAP\xEF\xBC\x9D"
         "2\n[Win\n",
         {"line 4 of " + path + " is ignored (neither a [Section] line nor an Ident=Value entry): C_ACG: 0",
          "line 5 of " + path +
              " is ignored (neither a [Section] line nor an Ident=Value entry): C_CAP\xEF\xBC\x9D"
              "2",
          "line 6 of " + path + " is ignored (neither a [Section] line nor an Ident=Value entry): [Win"}},
        {"C_ACG=1\n[ValueListConcentrations]\n",
         {"line 1 of " + path + " is ignored (an entry before the first [Section] line): C_ACG=1"}},
        // Line ends of CR alone.
        {"[ValueListRates]\rRATE_FROM=1\r\r[ValueListRates]\r",
         {"unknown ident RATE_FROM in [ValueListRates] of " + path + " is ignored; did you mean RATE_FORM?",
          "section [ValueListRates] appears again in " + path + "; only its first appearance is read"}},
        {"[ValueListRates]\nRATE_FORM=1\nrate_form=2\n[valuelistrates]\n",
         {"rate_form appears again in [ValueListRates] of " + path + "; only its first value is read",
          "section [valuelistrates] appears again in " + path + "; only its first appearance is read"}},
    };
    for (const auto &[text, warnings] : cases) {
        WriteFile(path, text);
        EXPECT_EQ(SettingsFileWarnings(SettingsFile(path), store), warnings) << text;
    }
}

TEST(SettingsFile, LinesEndWithLfCrLfOrCrAlone)
{
    ScratchDirectory dir;
    WriteFile(dir.File("a.ini"), "[A]\rK=1\r\n[B]\r\rK=2\n");
    const SettingsFile settings(dir.File("a.ini"));
    EXPECT_EQ(settings.ReadString("A", "K", "d"), "1");
    EXPECT_EQ(settings.ReadString("B", "K", "d"), "2");
    EXPECT_TRUE(settings.IgnoredLines().empty());
}

// UTF-16 text reads as nothing: it is refused, and never replaced by a save.
TEST(SettingsFile, Utf16TextIsRefusedAndKept)
{
    ScratchDirectory dir;
    const std::string path = dir.File("a.ini");
    for (const std::string &text : {std::string("\xFF\xFE[\0A\0]\0\n\0", 10), std::string("\xFE\xFF\0[", 4),
                                    std::string("[A]\nK=\0\n", 8)}) {
        WriteFile(path, text);
        SettingsFile settings(path);
        EXPECT_NE(settings.TextProblem().find("UTF-16"), std::string::npos);
        settings.WriteString("A", "K", "1");
        EXPECT_THROW(settings.Save(), SettingsWriteError);
        EXPECT_EQ(ReadFile(path), text);
    }
    WriteFile(path, "\xEF\xBB\xBF[A]\nK=\xC3\xA9\n");
    EXPECT_EQ(SettingsFile(path).TextProblem(), "");
}

TEST(SettingsFile, ValuesAreReadUpTo2047Characters)
{
    ScratchDirectory dir;
    const std::string longValue = std::string(2047, 'a') + "bcdef";
    WriteFile(dir.File("a.ini"), "[S]\nK=" + longValue + "\n");
    const SettingsFile settings(dir.File("a.ini"));
    EXPECT_EQ(settings.ReadString("S", "K", ""), std::string(2047, 'a'));
}

TEST(SettingsFile, WritesInPlaceAndAppendsWhatIsMissing)
{
    ScratchDirectory dir;
    const std::string path = dir.File("a.ini");
    WriteFile(path, "[Foreign]\n"
                    "X=1\n"
                    "\n"
                    "[Mine]\n"
                    "A=old\n"
                    "Unknown=kept\n"
                    "\n"
                    "[Other]\n"
                    "Y=2\n");
    SettingsFile settings(path);
    settings.WriteString("Mine", "A", "new");
    settings.WriteString("mine", "B", "added");
    settings.WriteString("New", "C", "3");
    settings.Save();
    EXPECT_EQ(ReadFile(path), "[Foreign]\n"
                              "X=1\n"
                              "\n"
                              "[Mine]\n"
                              "A=new\n"
                              "Unknown=kept\n"
                              "B=added\n"
                              "\n"
                              "[Other]\n"
                              "Y=2\n"
                              "\n"
                              "[New]\n"
                              "C=3\n");
    EXPECT_EQ(SettingsFile(path).ReadString("Mine", "B", ""), "added");
}

TEST(SettingsFile, SaveCreatesTheFile)
{
    ScratchDirectory dir;
    const std::string path = dir.File("new.ini");
    SettingsFile settings(path);
    settings.WriteString("S", "K", "v");
    settings.Save();
    EXPECT_EQ(ReadFile(path), "[S]\nK=v\n");
}

TEST(SettingsFile, FailedSaveReportsThePathAndLeavesNothingBehind)
{
    ScratchDirectory dir;
    const std::string missingFolder = dir.File("missing/a.ini");
    SettingsFile settings(missingFolder);
    settings.WriteString("S", "K", "v");
    try {
        settings.Save();
        FAIL() << "no error";
    } catch (const SettingsWriteError &e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + missingFolder);
    }

    // A directory in the way: the temporary file is written but cannot
    // replace it, and is removed again.
    const std::string blocked = dir.File("blocked.ini");
    std::filesystem::create_directory(blocked);
    std::filesystem::create_directory(blocked + "/inside");
    SettingsFile blockedSettings(blocked);
    blockedSettings.WriteString("S", "K", "v");
    EXPECT_THROW(blockedSettings.Save(), SettingsWriteError);
    int entries = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(dir.Path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(SettingsFile, PathBesideTheExecutable)
{
    EXPECT_EQ(SettingsPathBeside("/opt/bin/filonex"), "/opt/bin/filonex.ini");
    EXPECT_EQ(SettingsPathBeside("/opt/bin/filonex.exe"), "/opt/bin/filonex.ini");
    EXPECT_EQ(SettingsPathBeside("/opt/v1.2/filonex"), "/opt/v1.2/filonex.ini");
    EXPECT_FALSE(ExecutablePath().empty());
}

} // namespace
