#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <optional>

#include <gtest/gtest.h>

#include "Ini.h"
#include "SettingsFile.h"

namespace lumark {
namespace {

struct LocationCase {
    PathStyle Style;
    SettingsPlace Place;
    const char* Expected;
};

TEST(SettingsLocationTest, BesideTheExecutableOnlyForAPortableOrWritableCopy) {
    constexpr PathStyle Win = PathStyle::Windows;
    constexpr PathStyle Posix = PathStyle::Posix;
    const char* roaming = R"(C:\Users\ann\AppData\Roaming\Lumark)";
    const LocationCase cases[] = {
        // Unpacked into a folder of the user's: beside it, also before the first write.
        {Win, {R"(C:\Lumark)", false, true, roaming}, R"(C:\Lumark\Lumark.ini)"},
        // Installed under Program Files: the roaming folder, unless the copy is portable.
        {Win,
         {R"(C:\Program Files\Lumark)", false, false, roaming},
         R"(C:\Users\ann\AppData\Roaming\Lumark\Lumark.ini)"},
        {Win,
         {R"(C:\Program Files\Lumark)", true, false, roaming},
         R"(C:\Program Files\Lumark\Lumark.ini)"},
        {Win,
         {R"(C:\Program Files\Lumark)", false, false, ""},
         R"(C:\Program Files\Lumark\Lumark.ini)"},
        {Win, {R"(C:\)", false, true, roaming}, R"(C:\\Lumark.ini)"},
        // A folder the user may write says nothing on Linux: /usr/local/bin often is one.
        {Posix,
         {"/usr/bin", false, false, "/home/ann/.config/Lumark"},
         "/home/ann/.config/Lumark/Lumark.ini"},
        {Posix,
         {"/usr/local/bin", false, true, "/home/ann/.config/Lumark"},
         "/home/ann/.config/Lumark/Lumark.ini"},
        {Posix,
         {"/media/stick/lumark", true, true, "/home/ann/.config/Lumark"},
         "/media/stick/lumark/Lumark.ini"},
        {Posix, {"/", true, false, "/home/ann/.config/Lumark"}, "//Lumark.ini"},
        {Posix, {"/opt/lumark", false, false, ""}, "/opt/lumark/Lumark.ini"},
    };
    for (const LocationCase& c : cases) {
        EXPECT_EQ(ChooseSettingsFilePath(c.Style, c.Place), c.Expected)
            << c.Place.ExecutableDir << " exists=" << c.Place.BesideExecutableExists
            << " writable=" << c.Place.ExecutableDirWritable;
    }
}

#ifndef _WIN32
// Sets an environment variable for the lifetime of the object, then puts the old value back.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const std::optional<QByteArray>& value) : name_(name) {
        if (qEnvironmentVariableIsSet(name)) {
            old_ = qgetenv(name);
        }
        Apply(value);
    }
    ~ScopedEnvironment() { Apply(old_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    void Apply(const std::optional<QByteArray>& value) const {
        if (value) {
            qputenv(name_, *value);
        } else {
            qunsetenv(name_);
        }
    }

    const char* name_;
    std::optional<QByteArray> old_;
};

// An executable folder and a home folder of their own, with XDG_CONFIG_HOME inside the home.
class SettingsLocationOnDiskTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(executable_.isValid());
        ASSERT_TRUE(home_.isValid());
    }

    std::string ExecutableDir() const { return executable_.path().toStdString(); }
    std::string InExecutableDir(const char* name) const {
        return executable_.filePath(name).toStdString();
    }
    std::string InHome(const char* relative) const {
        return home_.filePath(relative).toStdString();
    }

    QTemporaryDir executable_;
    QTemporaryDir home_;
    const ScopedEnvironment homeVariable_{"HOME", home_.path().toLocal8Bit()};
    const ScopedEnvironment configVariable_{"XDG_CONFIG_HOME", home_.filePath("xdg").toLocal8Bit()};
};

TEST_F(SettingsLocationOnDiskTest, InstalledCopyWritesIntoTheUserConfigFolder) {
    const std::string path = SettingsFilePathFor(ExecutableDir());
    EXPECT_EQ(path, InHome("xdg/Lumark/Lumark.ini"));

    // The folder exists before the first write, which creates the file there.
    EXPECT_EQ(Ini::WriteIniValue("Main", "LastDir", "/data/vis", path), -1);
    EXPECT_EQ(Ini::ReadIniValue("Main", "LastDir", "C:", path), "/data/vis");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(InExecutableDir("Lumark.ini"))));
}

TEST_F(SettingsLocationOnDiskTest, WithoutXdgConfigHomeUsesDotConfig) {
    const ScopedEnvironment unset("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(SettingsFilePathFor(ExecutableDir()), InHome(".config/Lumark/Lumark.ini"));
    EXPECT_TRUE(QDir(QString::fromStdString(InHome(".config/Lumark"))).exists());
}

TEST_F(SettingsLocationOnDiskTest, ExistingFileBesideTheExecutableMakesAPortableCopy) {
    QFile portable(QString::fromStdString(InExecutableDir("Lumark.ini")));
    ASSERT_TRUE(portable.open(QIODevice::WriteOnly));
    portable.close();

    EXPECT_EQ(SettingsFilePathFor(ExecutableDir()), InExecutableDir("Lumark.ini"));
    EXPECT_FALSE(QDir(QString::fromStdString(InHome("xdg/Lumark"))).exists());
}

TEST_F(SettingsLocationOnDiskTest, FolderNamedLikeTheFileIsNoPortableCopy) {
    ASSERT_TRUE(QDir(executable_.path()).mkdir("Lumark.ini"));
    EXPECT_EQ(SettingsFilePathFor(ExecutableDir()), InHome("xdg/Lumark/Lumark.ini"));
}

TEST_F(SettingsLocationOnDiskTest, RunningProgramWithoutAPortableCopy) {
    int argc = 1;
    char name[] = "lumark";
    char* argv[] = {name, nullptr};
    const QCoreApplication app(argc, argv);
    // The test binary's folder holds no Lumark.ini, so the user's folder is chosen.
    ASSERT_FALSE(QFile::exists(QCoreApplication::applicationDirPath() + "/Lumark.ini"));
    EXPECT_EQ(SettingsFilePath(), InHome("xdg/Lumark/Lumark.ini"));
}
#else
// A copy unpacked into a folder of the user's keeps its settings beside it, and finding out
// that the folder can be written leaves nothing in it.
TEST(SettingsLocationOnDiskTest, WritableFolderKeepsTheSettingsBesideTheExecutable) {
    const QTemporaryDir executable;
    ASSERT_TRUE(executable.isValid());
    const std::string folder = QDir::toNativeSeparators(executable.path()).toStdString();
    EXPECT_EQ(SettingsFilePathFor(folder), folder + "\\Lumark.ini");
    EXPECT_TRUE(QDir(executable.path()).isEmpty());
}
#endif

}  // namespace
}  // namespace lumark
