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
    const char* ExecutableDir;
    bool BesideExecutableExists;
    const char* UserConfigDir;
    const char* Expected;
};

TEST(SettingsLocationTest, WindowsAlwaysBesideTheExecutable) {
    const LocationCase cases[] = {
        {R"(C:\Lumark)", false, R"(C:\Users\ann\AppData\Local\Lumark)", R"(C:\Lumark\Lumark.ini)"},
        {R"(C:\Lumark)", true, R"(C:\Users\ann\AppData\Local\Lumark)", R"(C:\Lumark\Lumark.ini)"},
        {R"(C:\Program Files\Lumark)", false, "", R"(C:\Program Files\Lumark\Lumark.ini)"},
        {R"(C:\)", false, R"(C:\Users\ann\AppData\Local\Lumark)", R"(C:\\Lumark.ini)"},
    };
    for (const LocationCase& c : cases) {
        EXPECT_EQ(ChooseSettingsFilePath(PathStyle::Windows, c.ExecutableDir,
                                         c.BesideExecutableExists, c.UserConfigDir),
                  c.Expected)
            << c.ExecutableDir << " exists=" << c.BesideExecutableExists;
    }
}

TEST(SettingsLocationTest, PosixBesideTheExecutableOnlyForAPortableCopy) {
    const LocationCase cases[] = {
        {"/usr/bin", false, "/home/ann/.config/Lumark", "/home/ann/.config/Lumark/Lumark.ini"},
        {"/usr/local/bin", false, "/home/ann/.config/Lumark",
         "/home/ann/.config/Lumark/Lumark.ini"},
        {"/media/stick/lumark", true, "/home/ann/.config/Lumark", "/media/stick/lumark/Lumark.ini"},
        {"/", true, "/home/ann/.config/Lumark", "//Lumark.ini"},
        {"/opt/lumark", false, "", "/opt/lumark/Lumark.ini"},
    };
    for (const LocationCase& c : cases) {
        EXPECT_EQ(ChooseSettingsFilePath(PathStyle::Posix, c.ExecutableDir,
                                         c.BesideExecutableExists, c.UserConfigDir),
                  c.Expected)
            << c.ExecutableDir << " exists=" << c.BesideExecutableExists;
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
#endif

}  // namespace
}  // namespace lumark
