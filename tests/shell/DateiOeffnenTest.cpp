#include <gtest/gtest.h>

#include "DateiOeffnen.h"
#include "ScriptedDialogs.h"

namespace lumark {
namespace {

using namespace DateiOeffnen;
using namespace std::string_literals;

const std::string ProgramFilter = "Visibility File|visibility.txt|All Files|*.*";
const std::string ConvertedProgramFilter = "Visibility File\0visibility.txt\0All Files\0*.*\0\0"s;

TEST(DialogFlagsTest, EachOptionSetsItsBit) {
    EXPECT_EQ(DialogFlags(-1, 0, -1, 0, 0), 0x1001);
    EXPECT_EQ(DialogFlags(0, -1, 0, 0, 0), 0x200);
    EXPECT_EQ(DialogFlags(0, 0, 0, -1, 0), 0x4);
    EXPECT_EQ(DialogFlags(0, 0, 0, 0, 0), 0);
    // Hook and template bits are dropped, other extra flags kept.
    EXPECT_EQ(DialogFlags(-1, 0, -1, 0, 0x60 | 0x8), 0x1009);
    // A C++ truth value of 1 counts as true, not as a mask of all high bits.
    EXPECT_EQ(DialogFlags(1, 0, 1, 0, 0), 0x1001);
}

TEST(FilterTest, BarsAndColonsBecomeSeparators) {
    EXPECT_EQ(ConvertFilter(ProgramFilter), ConvertedProgramFilter);
    EXPECT_EQ(ConvertFilter(""), "\0\0"s);
    EXPECT_EQ(ConvertFilter("Files on C:|*.txt"), "Files on C\0\0*.txt\0\0"s);
}

TEST(FilterTest, GetFilterPairCountsFromOne) {
    EXPECT_EQ(GetFilterPair(ConvertedProgramFilter, 1), "Visibility File\0visibility.txt"s);
    EXPECT_EQ(GetFilterPair(ConvertedProgramFilter, 2), "All Files\0*.*"s);
    // Past the last pair only the closing NUL is left, which is taken as a pair of its own.
    EXPECT_EQ(GetFilterPair(ConvertedProgramFilter, 3), "\0"s);
    EXPECT_EQ(GetFilterPair(ConvertedProgramFilter, 4), "");
    EXPECT_EQ(GetFilterPair(ConvertedProgramFilter, 0), "");
    EXPECT_EQ(GetFilterPair("", 1), "");
    EXPECT_EQ(GetFilterPair("no separator", 1), "");
    EXPECT_EQ(GetFilterPair("A\0a"s, 1), "A\0a"s);
}

TEST(FilterTest, PairsForTheDialog) {
    const auto windows = FilterPairs(ConvertedProgramFilter, PathStyle::Windows);
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0].Description, "Visibility File");
    EXPECT_EQ(windows[0].Pattern, "visibility.txt");
    EXPECT_EQ(windows[1].Description, "All Files");
    EXPECT_EQ(windows[1].Pattern, "*.*");

    const auto posix = FilterPairs(ConvertFilter("Text|*.txt;*.*|All Files|*.*"), PathStyle::Posix);
    ASSERT_EQ(posix.size(), 2u);
    EXPECT_EQ(posix[0].Pattern, "*.txt;*");
    EXPECT_EQ(posix[1].Pattern, "*");

    // The colon splits the description; the list ends at the first empty description.
    const auto split = FilterPairs(ConvertFilter("Files on C:|*.txt"), PathStyle::Windows);
    ASSERT_EQ(split.size(), 2u);
    EXPECT_EQ(split[0].Description, "Files on C");
    EXPECT_EQ(split[0].Pattern, "");
    EXPECT_EQ(split[1].Description, "*.txt");
}

TEST(CutAtNulTest, KeepsTextBeforeTheFirstNul) {
    EXPECT_EQ(CutAtNul("C:\\vis.txt\0\0\0"s), "C:\\vis.txt");
    EXPECT_EQ(CutAtNul("no nul"), "no nul");
    EXPECT_EQ(CutAtNul("\0rest"s), "");
    EXPECT_EQ(CutAtNul(""), "");
}

TEST(FileOpenDialogTest, ChosenFileIsReturned) {
    ScriptedDialogs dialogs;
    dialogs.ChooseFile("/data/vis/visibility.txt");
    EXPECT_EQ(ShowFileOpenDialog(dialogs, "Open visibility file", ProgramFilter),
              "/data/vis/visibility.txt");

    ASSERT_EQ(dialogs.calls.size(), 1u);
    const DialogCall& call = dialogs.calls[0];
    EXPECT_EQ(call.Kind, DialogKind::OpenFile);
    EXPECT_EQ(call.Title, "Open visibility file");
    EXPECT_EQ(call.SelectedFilter, 0);
    ASSERT_EQ(call.Filters.size(), 2u);
    EXPECT_EQ(call.Filters[0].Description, "Visibility File");
    EXPECT_EQ(call.Filters[0].Pattern, "visibility.txt");
    EXPECT_EQ(call.Filters[1].Description, "All Files");
    EXPECT_EQ(call.Filters[1].Pattern, HostPathStyle == PathStyle::Windows ? "*.*" : "*");
}

TEST(FileOpenDialogTest, CancelReturnsEmptyText) {
    ScriptedDialogs dialogs;
    dialogs.ChooseFile("");
    EXPECT_EQ(ShowFileOpenDialog(dialogs, "Open visibility file", ProgramFilter), "");
}

TEST(FileOpenDialogTest, RequestOnSuccess) {
    ScriptedDialogs dialogs;
    dialogs.ChooseFile("/data/vis/visibility.txt");
    FileOpenRequest request;
    request.Filter = ProgramFilter;
    request.DialogTitle = "Open";
    EXPECT_EQ(RunFileOpenRequest(dialogs, request), -1);
    EXPECT_EQ(request.FileName, "/data/vis/visibility.txt");
    EXPECT_EQ(request.FileTitle, "visibility.txt");
    EXPECT_EQ(request.Filter, "Visibility File\0visibility.txt"s);
    EXPECT_EQ(request.FilterIndex, 1);
    EXPECT_EQ(request.ReadOnly, 0);
}

TEST(FileOpenDialogTest, RequestOnCancel) {
    ScriptedDialogs dialogs;
    dialogs.ChooseFile("");
    FileOpenRequest request;
    request.DialogTitle = "Open";
    request.ReadOnly = 0;
    EXPECT_EQ(RunFileOpenRequest(dialogs, request), 0);
    EXPECT_EQ(request.FileName, "");
    EXPECT_EQ(request.FileTitle, "");
    EXPECT_EQ(request.Filter, "");
    EXPECT_EQ(request.FilterIndex, -1);
    // Read-only was ticked for the dialog, but a cancel leaves the caller's value alone.
    EXPECT_EQ(request.ReadOnly, 0);
    // An empty filter offers all files.
    ASSERT_EQ(dialogs.calls.size(), 1u);
    ASSERT_EQ(dialogs.calls[0].Filters.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].Filters[0].Description, "All Files");
}

TEST(FileOpenDialogTest, CallFillsBuffersAndFlags) {
    ScriptedDialogs dialogs;
    dialogs.ChooseFile("/data/visibility.txt");
    std::string fileName;
    std::string fileTitle;
    std::string filter = ProgramFilter;
    std::int16_t readOnly = 0;
    std::int32_t filterIndex = 2;
    std::int32_t flags = 0x8 | 0x20;
    EXPECT_EQ(CallGetOpenFileName(dialogs, fileName, fileTitle, -1, 0, readOnly, 0, filter,
                                  filterIndex, "", "Open", "", -1, flags),
              -1);
    EXPECT_EQ(fileName.size(), NameBufferSize);
    EXPECT_EQ(CutAtNul(fileName), "/data/visibility.txt");
    EXPECT_EQ(fileTitle.size(), NameBufferSize);
    EXPECT_EQ(CutAtNul(fileTitle), "visibility.txt");
    EXPECT_EQ(flags, 0x1008);
    EXPECT_EQ(readOnly, 0);
    // The entry in use when the file was chosen comes back, with its pair.
    EXPECT_EQ(dialogs.calls.at(0).SelectedFilter, 1);
    EXPECT_EQ(filterIndex, 2);
    EXPECT_EQ(filter, "All Files\0*.*"s);
}

TEST(FileOpenDialogTest, ReadOnlyFlagTicksTheBox) {
    ScriptedDialogs dialogs;
    dialogs.ChooseFile("/data/visibility.txt");
    std::string fileName;
    std::string fileTitle;
    std::string filter = ProgramFilter;
    std::int16_t readOnly = 0;
    std::int32_t filterIndex = 0;
    std::int32_t flags = 0x1;
    EXPECT_EQ(CallGetOpenFileName(dialogs, fileName, fileTitle, 0, 0, readOnly, 0, filter,
                                  filterIndex, "", "Open", "", -1, flags),
              -1);
    EXPECT_EQ(flags, 0x1);
    EXPECT_EQ(readOnly, -1);
}

TEST(FileOpenDialogTest, PathLongerThanTheBufferCountsAsCancel) {
    const std::string fits = "/" + std::string(NameBufferSize - 2, 'a');
    const std::string tooLong = fits + "a";
    ScriptedDialogs dialogs;
    dialogs.ChooseFile(fits).ChooseFile(tooLong);
    EXPECT_EQ(ShowFileOpenDialog(dialogs, "Open", ProgramFilter), fits);
    EXPECT_EQ(ShowFileOpenDialog(dialogs, "Open", ProgramFilter), "");
}

}  // namespace
}  // namespace lumark
