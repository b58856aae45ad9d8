#include <QKeySequence>
#include <QRegularExpression>
#include <QShortcut>
#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "EditHistory.h"
#include "WindowCommands.h"
#include "WindowFixture.h"

namespace lumark {
namespace {

// A key as Qt reads it, or the empty sequence when the text is no single key.
QKeySequence OneKey(const QString& text) {
    const QKeySequence keys = QKeySequence::fromString(text, QKeySequence::PortableText);
    return keys.count() == 1 && keys.toString(QKeySequence::PortableText) == text ? keys
                                                                                  : QKeySequence();
}

// The keys of the first column of the README's key table.
std::vector<QKeySequence> ReadmeKeys() {
    std::ifstream readme(LUMARK_SOURCE_DIR "/README.md");
    std::string line;
    while (std::getline(readme, line) && line != "### Keys") {
    }
    std::vector<QKeySequence> keys;
    while (std::getline(readme, line) && (line.empty() || line[0] == '|')) {
        QString cell = QString::fromStdString(line).section(QLatin1Char('|'), 1, 1);
        cell.remove(QLatin1Char('`')).replace(QStringLiteral(" or "), QStringLiteral(","));
        for (QString key : cell.split(QRegularExpression(QStringLiteral("[,;]")))) {
            key = key.section(QLatin1Char('('), 0, 0).trimmed();
            keys.push_back(QKeySequence::fromString(key, QKeySequence::PortableText));
        }
    }
    return keys;
}

TEST(WindowCommandTable, EachKeyIsOneKeyBoundOnceAndNamedInTheReadme) {
    const std::vector<QKeySequence> readme = ReadmeKeys();
    std::map<QKeySequence, std::string> boundTo;
    std::set<int> menuSlots;
    for (const WindowCommand& command : WindowCommands()) {
        SCOPED_TRACE(command.Id);
        for (const char* text : command.Keys) {
            const QKeySequence key = OneKey(QString::fromLatin1(text));
            // The grid's keys may be described rather than named ("Arrows").
            if (command.Taker == TakenBy::Window) {
                ASSERT_FALSE(key.isEmpty()) << text;
                EXPECT_TRUE(std::find(readme.begin(), readme.end(), key) != readme.end())
                    << text << " is missing from the README's key table";
            }
            if (!key.isEmpty()) {
                const auto [was, added] = boundTo.emplace(key, command.Id);
                EXPECT_TRUE(added) << text << " is also " << was->second;
            }
        }
        // Whatever runs can be reached, and whatever is offered runs.
        EXPECT_EQ(command.Run != nullptr,
                  (command.Taker == TakenBy::Window && !command.Keys.empty()) ||
                      command.MenuText != nullptr || command.Button != nullptr);
        if (command.MenuText != nullptr) {
            EXPECT_TRUE(command.MenuSlot > 0 && menuSlots.insert(command.MenuSlot).second);
        }
        for (const char* text : {command.Tip, command.Description}) {
            EXPECT_FALSE(WithKeys(text).contains(QLatin1Char('{'))) << text;  // no such key
        }
    }
}

// The line that the buttons whose edits can be taken back add to their tips.
TEST(WindowCommandTable, TheHistoryKeysNameEveryKeyOfUndoAndRedo) {
    EXPECT_EQ(HistoryKeysText(), QStringLiteral("Undo: Ctrl+Z    Redo: Ctrl+Shift+Z or Ctrl+Y"));
}

using WindowCommandWiring = WindowTest;

TEST_F(WindowCommandWiring, EveryWindowKeyIsOneShortcutOfTheWindow) {
    std::multiset<std::string> shortcuts, table;
    for (const QShortcut* shortcut : window->findChildren<QShortcut*>()) {
        EXPECT_EQ(shortcut->context(), Qt::WindowShortcut);
        shortcuts.insert(shortcut->key().toString(QKeySequence::PortableText).toStdString());
    }
    for (const WindowCommand& command : WindowCommands()) {
        if (command.Taker == TakenBy::Window) {
            table.insert(command.Keys.begin(), command.Keys.end());
        }
    }
    EXPECT_EQ(shortcuts, table);  // a key made twice is ambiguous and does nothing
}

TEST_F(WindowCommandWiring, WithoutADocumentItsCommandsAskNothingAndChangeNothing) {
    // At most a message saying why nothing happens.
    const std::map<std::string, std::string> told = {
        {"SaveAs", ""},
        {"SelectBlocks", "There are no blocks to select: no file is loaded."},
        {"SetDistance", ""},
        {"RemoveOneWay", ""},
        {"GoToBlock", "There are no blocks to go to: no file is loaded."},
        {"Overview", ""},
    };
    for (const WindowCommand& command : WindowCommands()) {
        if (command.Need == Needs::Document) {
            SCOPED_TRACE(command.Id);
            ASSERT_EQ(told.count(command.Id), 1u);
            if (!told.at(command.Id).empty()) {
                dialogs.AnswerMsgBox(UserDialogs::vbOK);
            }
            dialogs.calls.clear();
            command.Run(*window);
            std::string said;
            for (const DialogCall& call : dialogs.calls) {
                said += call.Text;
            }
            EXPECT_EQ(said, told.at(command.Id));
            EXPECT_EQ(window->History().Count(), 0);
            EXPECT_TRUE(window->Session().FilePath().empty());
        }
    }
}

}  // namespace
}  // namespace lumark
