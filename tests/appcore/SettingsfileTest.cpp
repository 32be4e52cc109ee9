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
        {"[ValueListConcentration]\nC_ACG=0\n",
         {"unknown section [ValueListConcentration] in " + path +
              " is ignored; did you mean [ValueListConcentrations]?", noSection}},
        {"[ValueListRates]\nRATE_FROM=1\n",
         {"unknown ident RATE_FROM in [ValueListRates] of " + path + " is ignored; did you mean RATE_FORM?"}},
        {"hello\n", {noSection}},
        {"[ValueListRates]\nRATE_FORM=1\nrate_form=2\n[valuelistrates]\n",
         {"rate_form appears again in [ValueListRates] of " + path + "; only its first value is read",
          "section [valuelistrates] appears again in " + path + "; only its first appearance is read"}},
    };
    for (const auto &[text, warnings] : cases) {
        WriteFile(path, text);
        EXPECT_EQ(SettingsFileWarnings(SettingsFile(path), store), warnings) << text;
    }
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
