#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumark {

class UserDialogs;

// What the user is asked about a record that a Lumark no longer running left behind.
struct RecoveryOffer {
    std::string FilePath;
    std::int64_t UpdatedNs = 0;  // when the record was last brought up to date
    std::size_t StepCount = 0;
    bool FileChanged = false;  // the file's bytes on disk are not those the record began from
};

// "Recover unsaved changes": the file, when the record was last brought up to date (local
// date and time), how many steps it holds, a sentence when the file has changed on disk since,
// and "Recover them?". The answer: Yes, No or Cancel.
int AskToRecover(UserDialogs& dialogs, const RecoveryOffer& offer);

// Names the records that cannot be read, with the reasons, in one message: they are kept.
// Each entry is "PATH: reason".
void SayUnreadableRecords(UserDialogs& dialogs, const std::vector<std::string>& records);

}  // namespace lumark
