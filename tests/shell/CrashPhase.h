#pragma once

#include <string>

// What the crash test's child editor shares with its slow disk.
namespace lumark::crash {

// The page shared with the test: 0 editing, 1 writing a record, 2 flushing one.
extern volatile int* phase;
// The folder of the recovery records, whose files the slow disk slows.
extern std::string recordFolder;

}  // namespace lumark::crash
