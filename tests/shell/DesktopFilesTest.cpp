#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

const QString Resources = QStringLiteral(LUMARK_SOURCE_DIR "/resources/");
const QString DesktopEntry = Resources + "org.lumark.Lumark.desktop";
const QString Metainfo = Resources + "org.lumark.Lumark.metainfo.xml";
const QString MimePackage = Resources + "lumark-mime.xml";

struct RunResult {
    int ExitCode = -1;
    QString Output;
};

RunResult RunProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAll())};
}

// Empty when `program` is missing; the caller then skips, naming the package to install.
QString Find(const QString& program) {
    return QStandardPaths::findExecutable(program);
}

QString ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The value of `key` in the desktop entry, or an empty text.
QString DesktopValue(const QString& key) {
    for (const QString& line : ReadAll(DesktopEntry).split('\n')) {
        if (line.startsWith(key + '=')) {
            return line.mid(key.size() + 1);
        }
    }
    return {};
}

// The texts of every `element` in the metainfo file, in order.
QStringList MetainfoTexts(const QString& element) {
    QFile file(Metainfo);
    QStringList texts;
    if (!file.open(QIODevice::ReadOnly)) {
        return texts;
    }
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == element) {
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        }
    }
    return texts;
}

TEST(DesktopFilesTest, DesktopEntryPassesTheValidatorWithoutRemarks) {
    const QString validator = Find("desktop-file-validate");
    if (validator.isEmpty()) {
        GTEST_SKIP() << "desktop-file-validate is not installed (Debian package "
                        "desktop-file-utils); the desktop entry was not checked";
    }
    const RunResult result = RunProgram(validator, {DesktopEntry});
    EXPECT_EQ(result.ExitCode, 0) << result.Output.toStdString();
    EXPECT_TRUE(result.Output.trimmed().isEmpty()) << result.Output.toStdString();
}

TEST(DesktopFilesTest, MetainfoPassesTheValidator) {
    const QString validator = Find("appstreamcli");
    if (validator.isEmpty()) {
        GTEST_SKIP() << "appstreamcli is not installed (Debian package appstream); the "
                        "metainfo file was not checked";
    }
    const RunResult result = RunProgram(validator, {"validate", "--no-net", Metainfo});
    EXPECT_EQ(result.ExitCode, 0) << result.Output.toStdString();
}

TEST(DesktopFilesTest, MimePackageMapsTheFileNameToATextSubclass) {
    const QString updater = Find("update-mime-database");
    if (updater.isEmpty()) {
        GTEST_SKIP() << "update-mime-database is not installed (Debian package "
                        "shared-mime-info); the MIME package was not checked";
    }
    const QTemporaryDir mime;
    ASSERT_TRUE(mime.isValid());
    ASSERT_TRUE(QDir(mime.path()).mkdir("packages"));
    ASSERT_TRUE(QFile::copy(MimePackage, mime.filePath("packages/lumark.xml")));
    // The updater reports a package it cannot parse but still exits 0, so its output files are
    // what tells whether the package says what it should.
    const RunResult result = RunProgram(updater, {mime.path()});
    ASSERT_EQ(result.ExitCode, 0) << result.Output.toStdString();
    const QStringList globs = ReadAll(mime.filePath("globs2")).split('\n');
    const QStringList parents = ReadAll(mime.filePath("subclasses")).split('\n');
    EXPECT_TRUE(globs.contains("50:application/x-lumark-visibility:visibility.txt"))
        << globs.join('\n').toStdString();
    EXPECT_TRUE(parents.contains("application/x-lumark-visibility text/plain"))
        << parents.join('\n').toStdString();
}

// The three files name each other; a rename in one of them breaks the link silently.
TEST(DesktopFilesTest, FilesAgreeOnNames) {
    EXPECT_EQ(DesktopValue("MimeType"), "application/x-lumark-visibility;");
    EXPECT_EQ(DesktopValue("Exec"), "lumark %f");
    EXPECT_EQ(DesktopValue("Icon"), "lumark");
    EXPECT_EQ(MetainfoTexts("id"), QStringList{"org.lumark.Lumark"});
    EXPECT_EQ(MetainfoTexts("launchable"), QStringList{"org.lumark.Lumark.desktop"});
    EXPECT_EQ(MetainfoTexts("mediatype"), QStringList{"application/x-lumark-visibility"});
    EXPECT_EQ(MetainfoTexts("binary"), QStringList{"lumark"});
}

TEST(DesktopFilesTest, IconsExistAtEverySize) {
    EXPECT_TRUE(ReadAll(Resources + "icons/lumark.svg").contains("<svg"));
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const QString path = Resources + QStringLiteral("icons/%1x%1/lumark.png").arg(size);
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), "png") << path.toStdString();
        EXPECT_EQ(reader.size(), QSize(size, size)) << path.toStdString();
    }
}

}  // namespace
