#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "LumarkMain.h"
#include "ScriptedDialogs.h"
#include "SessionState.h"

namespace lumark {

// A window with scripted dialogs and a settings file of its own in a temporary folder. The
// current directory is restored afterwards, since "Load" may change it.
class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        savedCurrent_ = QDir::currentPath();
        settings = Path("Lumark.ini");
        MakeWindow("");
    }

    void TearDown() override {
        window.reset();
        QDir::setCurrent(savedCurrent_);
    }

    void MakeWindow(const std::string& commandLine) {
        window = std::make_unique<LumarkMain>(dialogs, settings, commandLine);
    }

    // The test's folder as the system's dialogs give it.
    std::string Folder() const { return QDir::toNativeSeparators(dir.path()).toStdString(); }
    std::string Path(const std::string& name) const {
        return QDir::toNativeSeparators(dir.filePath(QString::fromStdString(name))).toStdString();
    }

    static void WriteBytes(const std::string& path, const std::string& bytes) {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    static std::string ReadBytes(const std::string& path) {
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return file.readAll().toStdString();
    }

    // A new-layout file of `blocks` blocks in which every block sees only itself.
    std::string MakeVisibilityFile(const std::string& name, int blocks) {
        std::string text = "Version: 1.2\r\nBlocks: " + std::to_string(blocks) + "\r\n";
        for (int b = 0; b < blocks; ++b) {
            text += "Block: " + std::to_string(b) + "\r\n" + std::to_string(b) + "\r\n-1\r\n\r\n";
        }
        const std::string path = Path(name);
        WriteBytes(path, text);
        return path;
    }

    // Makes every write of the file at `path` fail from now on: its folder goes; on Windows,
    // which keeps a folder that the window watches, the file turns read-only instead.
    void MakeWritingFail(const std::string& path) {
        const QFileInfo file(QString::fromStdString(path));
        if (LUMARK_POSIX_TESTS) {
            EXPECT_TRUE(file.dir().removeRecursively());
        } else {
            EXPECT_TRUE(QFile::setPermissions(file.filePath(), QFile::ReadOwner | QFile::ReadUser));
        }
    }

    QTemporaryDir dir;
    std::string settings;
    ScriptedDialogs dialogs;
    std::unique_ptr<LumarkMain> window;

  private:
    QString savedCurrent_;
};

}  // namespace lumark
